// Prints how long the disaggregated window takes from a keystroke in a typed percentage to
// the whole table recalculated, and for one X redistribution; asserts nothing.
//   bench_disaggregati [VOLTE]
#include "app/avvio.h"
#include "finestre.h"
#include "ui/dialoghi.h"

#include <QApplication>

using namespace perix;
using namespace perix::banco;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    const int volte = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    auto [m, d] = menuConDisaggregati();
    // Fifteen fields at 6 and one that moves between 10 and 100: the sum meets 100 every
    // other keystroke, so half the keystrokes also fill the typed amounts.
    for (int k = 1; k <= 15; ++k)
        QTest::keyClicks(d->findChild<QLineEdit *>(QStringLiteral("p2(%1)").arg(k)), QStringLiteral("6"));
    auto *e = d->findChild<QLineEdit *>(QStringLiteral("p2(16)"));
    QTest::keyClicks(e, QStringLiteral("10"));
    stampa("da un tasto in p2(16) alla tabella ricalcolata", tasti(e, volte, Qt::Key_0));

    std::vector<double> rimozioni;
    for (int i = 0; i < std::min(volte, 400); ++i) {
        if (i % 15 == 0)
            clic(m, QStringLiteral("Option1(3)")); // the schedule back whole
        const QString x = QStringLiteral("annulla(%1)").arg(1 + i % 15);
        QElapsedTimer t;
        t.start();
        clic(d, x);
        rimozioni.push_back(t.nsecsElapsed() / 1e3);
    }
    stampa("una ridistribuzione con il tasto X", rimozioni);
    return 0;
}
