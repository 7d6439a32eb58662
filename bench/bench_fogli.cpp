// Prints how long a spreadsheet takes: each kind's workbook built from its sample file, and
// the batch (`perix --xlsx`) over many files, per workbook; asserts nothing.
//   bench_fogli [FILE_PER_TIPO]
#include "app/avvio.h"
#include "app/comando.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

using namespace perix;

namespace {

// The processor time of this process so far (user and system), in ms: on a loaded machine
// it says what a workbook costs, where the clock also counts the waits for the processor.
double processore()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    preparaApplicazione();
    const int perTipo = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    QTemporaryDir cartella;
    const QDir esempi(QStringLiteral(PERIX_ESEMPI));
    const char *const tipi[] = {"menu", "disaggr", "sint", "tipol", "alt"};
    QStringList tutti;
    for (const char *tipo : tipi) {
        const QString esempio = esempi.filePath(QStringLiteral("Perix-%1-esempio").arg(QLatin1String(tipo)));
        std::vector<double> ms;
        // One file at a time, the disk flush included, as a single export does it.
        for (int i = 0; i < perTipo; ++i) {
            const QString uscita = cartella.filePath(QStringLiteral("singolo-%1.xlsx").arg(QLatin1String(tipo)));
            QElapsedTimer t;
            t.start();
            const EsitoRapporto e = rapportoDiFile(esempio, uscita, FormatoRapporto::Xlsx);
            ms.push_back(t.nsecsElapsed() / 1e6);
            if (!e.riuscito) {
                std::fprintf(stderr, "%s: %s\n", tipo, qPrintable(e.motivo));
                return 1;
            }
        }
        std::sort(ms.begin(), ms.end());
        std::printf("foglio di calcolo %-8s (uno alla volta, %d volte): mediana %.2f ms, massimo %.2f ms\n", tipo, perTipo,
                    ms[ms.size() / 2], ms.back());
        for (int i = 0; i < perTipo; ++i) {
            const QString copia = cartella.filePath(QStringLiteral("Perix-%1-%2").arg(QLatin1String(tipo)).arg(i));
            QFile::copy(esempio, copia);
            tutti << copia;
        }
    }
    // The batch: every file into one folder, one flush at the end, its lines on standard error.
    const QString fogli = cartella.filePath(QStringLiteral("fogli"));
    std::fflush(stdout);
    std::FILE *errori = std::freopen("/dev/null", "w", stderr);
    QElapsedTimer t;
    const double cpu = processore();
    t.start();
    const int stato = rapportiPdf(fogli, tutti, FormatoRapporto::Xlsx);
    const double ms = t.nsecsElapsed() / 1e6;
    const double cpuMs = processore() - cpu;
    (void)errori;
    const double n = double(tutti.size());
    std::printf("perix --xlsx in lotto su %lld file: %.0f ms, %.2f ms per foglio di calcolo "
                "(tempo di processore %.2f ms per foglio; stato %d, %lld fogli)\n",
                qlonglong(tutti.size()), ms, ms / n, cpuMs / n, stato, qlonglong(QDir(fogli).entryList(QDir::Files).size()));
    return 0;
}
