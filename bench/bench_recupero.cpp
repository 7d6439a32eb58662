// Prints what keeping recovery copies costs: a keystroke in the main window and in a typed
// percentage with recovery off and on, the timer's work on the windows' thread (compare,
// encode, hand over), and the copies reaching the disk on their own thread; asserts nothing.
//   bench_recupero [VOLTE]
#include "app/avvio.h"
#include "finestre.h"
#include "ui/dialoghi.h"
#include "ui/recupero.h"

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

using namespace perix;
using namespace perix::banco;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    const int volte = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    QTemporaryDir cartella; // the copies go here, not among the user's
    auto [m, d] = menuConDisaggregati();
    for (int k = 1; k <= 16; ++k)
        QTest::keyClicks(campo(d, QStringLiteral("p2(%1)").arg(k)), QStringLiteral("6"));
    clic(m, QStringLiteral("aree")); // the plot estimate: the main window's own record
    auto *superficie = campo(m, QStringLiteral("superficie"));
    QTest::keyClicks(campo(m, QStringLiteral("anni")), QStringLiteral("2"));
    QTest::keyClicks(superficie, QStringLiteral("1000"));
    auto *p2 = campo(d, QStringLiteral("p2(16)"));

    stampa("tasto nella finestra Menu, senza copie di recupero", tasti(superficie, volte, Qt::Key_5));
    stampa("tasto in p2(16), senza copie di recupero", tasti(p2, volte, Qt::Key_5));
    recupero::aggiorna();

    auto gestore = std::make_unique<recupero::Gestore>(cartella.path());
    stampa("tasto nella finestra Menu, con le copie di recupero", tasti(superficie, volte, Qt::Key_5));
    stampa("tasto in p2(16), con le copie di recupero", tasti(p2, volte, Qt::Key_5));

    // The timer's work after a change in each of the two windows, on the windows' thread;
    // then the two copies reaching the disk on the writer's own thread.
    std::vector<double> lavoro, disco;
    for (int i = 0; i < std::max(10, volte / 20); ++i) {
        QTest::keyClick(superficie, i % 2 ? Qt::Key_Backspace : Qt::Key_5);
        QTest::keyClick(p2, i % 2 ? Qt::Key_Backspace : Qt::Key_5);
        QElapsedTimer t;
        t.start();
        recupero::aggiorna();
        lavoro.push_back(double(t.nsecsElapsed()) / 1e3);
        t.restart();
        gestore->attendi();
        disco.push_back(double(t.nsecsElapsed()) / 1e3);
    }
    stampa("lavoro del timer sul thread delle finestre (al più una volta ogni 2 s, due copie)", lavoro);
    stampa("scrittura delle due copie fino al disco, sul thread delle copie", disco);
    gestore->rimuoviTutte();
    return 0;
}
