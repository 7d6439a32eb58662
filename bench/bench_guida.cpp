// How long the whole help set takes: built from the nine pages and shown in its report
// window (painted), then saved as .docx. Figures are printed, never judged.
//
//   bench_guida [giri]      (default 20; QT_QPA_PLATFORM=offscreen unless set)

#include "app/avvio.h"
#include "ui/modulo.h"
#include "help/pagine.h"
#include "reports/documento.h"
#include "reports/finestrareport.h"
#include "reports/rapporto_guida.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double trascorsi(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

void stampaSerie(const char *nome, const std::vector<double> &ms)
{
    const auto [lo, hi] = std::minmax_element(ms.begin(), ms.end());
    std::printf("  %-44s mediana %7.2f ms   min %7.2f   max %7.2f\n", nome, mediana(ms), *lo, *hi);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    perix::preparaApplicazione();

    const int giri = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir cartella;

    QList<perix::PaginaStampata> pagine;
    for (int i = 0; i < perix::pagineGuidaTotali; ++i) {
        const perix::PaginaGuida *g = perix::paginaGuida(i);
        pagine.append({g->Label1()->text(), g->Label2()->text()});
    }

    std::vector<double> mostrata, salvata;
    double primo = 0;
    int pagineDisegnate = 0;
    // The first run loads fonts and the printing engine: reported apart, left out of the median.
    for (int i = 0; i <= giri; ++i) {
        QElapsedTimer t;
        t.start();
        perix::finestrareport *f = perix::rapportoGuida(pagine);
        if (!f) {
            std::fprintf(stderr, "guida non aperta\n");
            return 1;
        }
        QApplication::processEvents(); // the window's first paint
        const double aperta = trascorsi(t);
        pagineDisegnate = f->pagine();

        QString motivo;
        t.restart();
        if (!perix::salvaGuida(*f->documento(), {cartella.path()}, &motivo)) {
            std::fprintf(stderr, "docx: %s\n", qPrintable(motivo));
            return 1;
        }
        const double scritta = trascorsi(t);

        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (i == 0) {
            primo = aperta;
            continue;
        }
        mostrata.push_back(aperta);
        salvata.push_back(scritta);
    }

    std::printf("guida completa (%d pagine), %d giri (più uno di riscaldamento: %.1f ms)\n", pagineDisegnate, giri,
                primo);
    stampaSerie("costruita e mostrata nella finestra", mostrata);
    stampaSerie("salvata come Perix-guida.docx", salvata);
    return 0;
}
