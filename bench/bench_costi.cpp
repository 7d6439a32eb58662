// Prints how long a keystroke in the typology and height costs takes until every row of
// the table is updated; asserts nothing.
//   bench_costi [TASTI]
#include "app/avvio.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "estimates/altezze.h"
#include "estimates/tipologie.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace perix;

namespace {

struct Misura {
    double mediana, p99;
};

// Alternates a "7" and a backspace at the end of a figure, so every keystroke recomputes.
Misura tasti(QWidget *w, const char *campo, const char *riga, int quanti, QLabel *ultima, QString *letto)
{
    auto *e = w->findChild<QLineEdit *>(QString::fromLatin1(campo));
    QTest::keyClicks(e, QStringLiteral("1250"));
    w->findChild<QAbstractButton *>(QString::fromLatin1(riga))->click();
    std::vector<double> us;
    for (int i = 0; i < quanti; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(e, i % 2 ? Qt::Key_Backspace : Qt::Key_7);
        us.push_back(t.nsecsElapsed() / 1e3);
    }
    *letto = ultima->text();
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100]};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    const int quanti = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    QString letto;
    auto *t = registro::mostra<risultatitipologie>();
    const Misura mt = tasti(t, "costonetto", "tipologia(1)", quanti, t->findChild<QLabel *>(QStringLiteral("vano(9)")), &letto);
    std::printf("da un tasto in costonetto alle 9 righe aggiornate (%d tasti): mediana %.1f µs, 99%% %.1f µs (vano(9) %s)\n",
                quanti, mt.mediana, mt.p99, qPrintable(letto));
    auto *v = registro::mostra<variocosto>();
    const Misura mv = tasti(v, "costopieno", "Optvario(4)", quanti, v->findChild<QLabel *>(QStringLiteral("Label4(14)")), &letto);
    std::printf("da un tasto in costopieno alle 14 righe aggiornate (%d tasti): mediana %.1f µs, 99%% %.1f µs (Label4(14) %s)\n",
                quanti, mv.mediana, mv.p99, qPrintable(letto));
    return 0;
}
