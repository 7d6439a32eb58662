// Prints how long the disaggregated window takes from a keystroke in a typed percentage to
// the whole table recalculated, and for one X redistribution; asserts nothing.
//   bench_disaggregati [VOLTE]
#include "app/avvio.h"
#include "ui/dialoghi.h"
#include "ui/registro.h"
#include "estimates/disaggregati.h"
#include "estimates/menu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace perix;

namespace {

void stampa(const char *cosa, std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    std::printf("%s (%zu volte): mediana %.1f µs, 99%% %.1f µs\n", cosa, us.size(), us[us.size() / 2],
                us[us.size() * 99 / 100]);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    const int volte = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    auto *m = registro::mostra<menu>();
    const auto clic = [](QWidget *w, const QString &nome) { w->findChild<QAbstractButton *>(nome)->click(); };
    clic(m, QStringLiteral("moneta(2)"));
    clic(m, QStringLiteral("disaggregati"));
    QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("valoremercato")), QStringLiteral("1500000"));
    QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("costitotali")), QStringLiteral("1000000"));
    clic(m, QStringLiteral("Option1(3)"));
    auto *d = registro::mostra<risultatidisaggregati>();
    // Fifteen fields at 6 and one that moves between 10 and 100: the sum meets 100 every
    // other keystroke, so half the keystrokes also fill the typed amounts.
    for (int k = 1; k <= 15; ++k)
        QTest::keyClicks(d->findChild<QLineEdit *>(QStringLiteral("p2(%1)").arg(k)), QStringLiteral("6"));
    auto *e = d->findChild<QLineEdit *>(QStringLiteral("p2(16)"));
    QTest::keyClicks(e, QStringLiteral("10"));
    std::vector<double> tasti;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(e, i % 2 ? Qt::Key_Backspace : Qt::Key_0);
        tasti.push_back(t.nsecsElapsed() / 1e3);
    }
    stampa("da un tasto in p2(16) alla tabella ricalcolata", tasti);

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
