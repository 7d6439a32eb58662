// How long the main window's report takes: from the request to its window painted on
// screen, then its PDF export and its .docx, without and with the calculation trail and
// sensitivity sections. Figures are printed, never judged.
//
//   bench_rapporti [giri] [cartella]   (default 20; QT_QPA_PLATFORM=offscreen unless set)
//
// With a folder, the last PDF and .docx of each kind stay there to be looked at.

#include "ui/modulo.h"
#include "reports/docx.h"
#include "reports/documento.h"
#include "reports/finestrareport.h"
#include "reports/rapporti.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Serie {
    const char *nome;
    std::vector<double> ms;
    std::vector<double> cpu = {};
};

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double trascorsi(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// The process's own processor time, in ms: on a machine shared with other work it tells what
// the step costs when the wall clock also counts the others.
double cpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Opens the report `giri` + 1 times, exporting and saving it each time; prints the medians.
bool misura(const perix::DatiRapportoMenu &dati, int giri, const QString &base)
{
    const QString pdf = base + QStringLiteral(".pdf");
    const QString docx = base + QStringLiteral(".docx");
    Serie finestra{"rapporto fino alla finestra disegnata", {}};
    Serie esportazione{"esportazione PDF", {}};
    Serie salvataggio{"salvataggio .docx", {}};
    double primo = 0;

    // The first run loads fonts and the printing engine: reported apart, left out of the median.
    for (int i = 0; i <= giri; ++i) {
        QElapsedTimer t;
        t.start();
        double c = cpu();
        perix::finestrareport *f = perix::rapportoMenu(dati);
        if (!f) {
            std::fprintf(stderr, "rapporto non aperto\n");
            return false;
        }
        QApplication::processEvents(); // the window's first paint
        const double aperto = trascorsi(t), apertoCpu = cpu() - c;

        QString motivo;
        t.restart();
        c = cpu();
        if (!f->documento()->exportPdf(pdf, &motivo)) {
            std::fprintf(stderr, "PDF: %s\n", qPrintable(motivo));
            return false;
        }
        const double esportato = trascorsi(t), esportatoCpu = cpu() - c;

        t.restart();
        c = cpu();
        if (!perix::scriviDocx(*f->documento(), docx, &motivo)) {
            std::fprintf(stderr, "docx: %s\n", qPrintable(motivo));
            return false;
        }
        const double salvato = trascorsi(t), salvatoCpu = cpu() - c;

        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (i == 0) {
            primo = aperto;
            continue;
        }
        finestra.ms.push_back(aperto);
        esportazione.ms.push_back(esportato);
        salvataggio.ms.push_back(salvato);
        finestra.cpu.push_back(apertoCpu);
        esportazione.cpu.push_back(esportatoCpu);
        salvataggio.cpu.push_back(salvatoCpu);
    }

    std::printf("rapporto della finestra menu%s, %d giri (più uno di riscaldamento: %.1f ms)\n",
                dati.procedimento.value_or(false) ? " con procedimento e sensibilità" : "", giri, primo);
    for (const Serie *s : {&finestra, &esportazione, &salvataggio}) {
        const auto [lo, hi] = std::minmax_element(s->ms.begin(), s->ms.end());
        std::printf("  %-40s mediana %7.2f ms   min %7.2f   max %7.2f   CPU mediana %7.2f ms\n", s->nome,
                    mediana(s->ms), *lo, *hi, mediana(s->cpu));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QFont::insertSubstitution(QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"));
    perix::Modulo::impostatesti();

    const int giri = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir temporanea;
    const QString cartella = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporanea.path();

    perix::DatiRapportoMenu dati;
    dati.valuta = QStringLiteral("in euro");
    dati.valoremercato = QStringLiteral("1000000");
    dati.costitotali = QStringLiteral("500000");
    dati.anni = QStringLiteral("2");
    dati.superficie = QStringLiteral("1000");
    dati.risultati = {QString(), QStringLiteral("349.375"), QStringLiteral("165.289"), QStringLiteral("257.332"),
                      QStringLiteral("349"), QStringLiteral("165"), QStringLiteral("257")};

    for (const bool sezioni : {false, true}) {
        dati.procedimento = sezioni;
        if (!misura(dati, giri, cartella + (sezioni ? QStringLiteral("/stima-con-procedimento") : QStringLiteral("/stima"))))
            return 1;
    }
    return 0;
}
