// `perix --pdf` on 50 archive files of the five kinds that have a report (ten each, their
// figures varied): total wall time, time per document and the peak memory of the process and
// of the helper processes it shares the batch with, together; the time in one process too.
// Then the same for 50 building-plot files whose reports carry the calculation trail and the
// sensitivity pages with their chart (`--procedimento`; where the program does not know the
// option yet, the remembered choice of the report window, set in the benchmark's own
// settings folder, asks for the same pages).
// Beside it, where LibreOffice is installed, `soffice --headless --convert-to pdf` of the same
// 50 reports saved as .docx, in one invocation with a fresh profile. LibreOffice is no
// dependency of Perix: `make bench` installs it through bench/prepara, the benchmarks' own
// set-up; without it that half is skipped and said so. Figures are printed, never judged.
//
//   bench_lotto [giri [CARTELLA]]  (giri default 3: each figure is the median of the runs, memory
//                                   the largest; CARTELLA keeps the 50 archive files)

#include "app/avvio.h"
#include "app/comando.h"
#include "processo.h"
#include "reports/rapporti.h"
#include "core/campi.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_sintetici.h"
#include "core/calcoli_tipologie.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using namespace perix;
using namespace perix::banco;

constexpr int documenti = 50;

// A figure as the windows keep it typed: digits, Italian grouping.
QString cifra(double x) { return QLocale(QLocale::Italian, QLocale::Italy).toString(x, 'f', 0); }
QString intero(double x) { return QString::number(std::llround(x)); }

// Ten files of each kind, written by the windows' own record writers from the samples with
// their figures varied, so that no two reports are the same.
QStringList preparaArchivi(const QString &cartella, bool soloAree)
{
    const QString esempi = QStringLiteral(PERIX_ESEMPI);
    const auto campi = [&](const char *tipo, int quanti) {
        return leggiArchivio(esempi + QStringLiteral("/Perix-%1-esempio").arg(QLatin1String(tipo)), quanti).value();
    };
    const auto disaggr = leggiDisaggregati(campi("disaggr", 5 + categorie)).value();
    const auto sint = leggiSintetici(campi("sint", campiSintetici)).value();
    const auto tipol = leggiRecordTipologie(campi("tipol", campiTipologie)).value();
    const auto alt = leggiRecordAltezze(campi("alt", campiAltezze)).value();

    QStringList file;
    for (int i = 0; i < documenti; ++i) {
        const double f = 1.0 + 0.013 * i;
        Record r;
        QString tipo;
        switch (soloAree ? 0 : i % 5) {
        case 0:
            tipo = QStringLiteral("menu");
            // Plain digits, as typed in the main window: "650.000" would be a figure its check
            // questions (a single full stop reads as decimals), and the batch would refuse it.
            r = {{QStringLiteral("Valori in euro"), intero(1200000 * f), intero(650000 * f)},
                 {QString::number(1 + i % 7), intero(1500 * f)}};
            break;
        case 1: {
            tipo = QStringLiteral("disaggr");
            RecordDisaggregati d = disaggr;
            d.vm = cifra(1850000 * f);
            d.profitto = cifra(1850000 * f - 1120000);
            r = recordDisaggregati(d);
            break;
        }
        case 2: {
            tipo = QStringLiteral("sint");
            DatiSintetici d = sint;
            d.classe = 1 + i % 3;
            r = recordSintetici(d);
            break;
        }
        case 3: {
            tipo = QStringLiteral("tipol");
            RecordTipologie d = tipol;
            d.costonetto = cifra(1350 * f);
            d.tipologiascelta = 1 + i % 9;
            r = recordTipologie(d);
            break;
        }
        default: {
            tipo = QStringLiteral("alt");
            RecordAltezze d = alt;
            d.costopieno = cifra(420 * f);
            d.altezzascelta = 1 + i % 14;
            r = recordAltezze(d);
            break;
        }
        }
        const QString nome = QDir(cartella).filePath(QStringLiteral("Perix-%1-%2").arg(tipo).arg(i, 2, 10, QLatin1Char('0')));
        if (!salvaAtomico(nome, codificaRecord(r)))
            std::fprintf(stderr, "impossibile scrivere %s\n", qUtf8Printable(nome));
        file << nome;
    }
    return file;
}

int pdfIn(const QString &cartella, const char *estensione)
{
    return int(QDir(cartella).entryList({QStringLiteral("*.") + QLatin1String(estensione)}, QDir::Files).size());
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void stampa(const char *chi, const std::vector<Misura> &giri, int fatti)
{
    std::vector<double> s, c;
    double picco = -1;
    for (const Misura &m : giri) {
        s.push_back(m.secondi);
        c.push_back(m.cpu);
        picco = std::max(picco, m.piccoMB);
    }
    const double totale = mediana(s);
    std::printf("%s\n", chi);
    std::printf("  tempo totale          %8.2f s   (mediana di %zu giri)\n", totale, giri.size());
    std::printf("  tempo per documento   %8.1f ms\n", totale * 1000.0 / documenti);
    if (mediana(c) >= 0)
        std::printf("  CPU per documento     %8.1f ms   (utente + sistema: conta anche su una macchina occupata)\n",
                    mediana(c) * 1000.0 / documenti);
    if (picco >= 0)
        std::printf("  memoria massima       %8.1f MB  (resident set del processo e dei suoi figli, sommati)\n", picco);
    else
        std::printf("  memoria massima       non misurata su questo sistema\n");
    std::printf("  documenti PDF creati  %8d su %d, stato d'uscita %d\n", fatti, documenti, giri.back().stato);
}

// A benchmark that converts fewer files measures something else: say which and why.
void stampaNonRiusciti(const QString &registro)
{
    QFile f(registro);
    if (!f.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &riga : f.readAll().split('\n'))
        if (riga.contains("NON RIUSCITO"))
            std::printf("  %s\n", riga.constData());
}

double dimensioneMedia(const QString &cartella)
{
    const QFileInfoList f = QDir(cartella).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    qint64 n = 0;
    for (const QFileInfo &i : f)
        n += i.size();
    return f.isEmpty() ? 0 : double(n) / f.size() / 1024.0;
}

int processori()
{
    return std::min(4, QThread::idealThreadCount());
}

// Perix and, where installed, LibreOffice on the same 50 reports; the ratio of the two.
void confronto(const QString &cartella, const QString &nome, const QStringList &file, const QStringList &opzioni,
               int giri, const char *titolo)
{
    std::vector<Misura> perix;
    const QString uscitaPerix = QDir(cartella).filePath(QStringLiteral("pdf-perix-") + nome);
    const QString registro = QDir(cartella).filePath(QStringLiteral("perix-%1.txt").arg(nome));
    for (int g = 0; g < giri; ++g) {
        QDir(uscitaPerix).removeRecursively();
        perix.push_back(esegui(QStringList{QStringLiteral(PERIX_ESEGUIBILE)} + opzioni
                                   + QStringList{QStringLiteral("--pdf"), uscitaPerix} + file,
                               registro));
    }
    // The same with every document in one process: what the batch's helpers add.
    std::vector<double> solo;
    qputenv("PERIX_PROCESSI", "1");
    for (int g = 0; g < giri; ++g) {
        QDir(uscitaPerix).removeRecursively();
        solo.push_back(esegui(QStringList{QStringLiteral(PERIX_ESEGUIBILE)} + opzioni
                                  + QStringList{QStringLiteral("--pdf"), uscitaPerix} + file,
                              registro)
                           .secondi);
    }
    qunsetenv("PERIX_PROCESSI");
    std::printf("%s\n\n", titolo);
    stampa(qPrintable(QStringLiteral("perix %1--pdf CARTELLA FILE... (piattaforma offscreen, senza schermo)")
                          .arg(opzioni.isEmpty() ? QString() : opzioni.join(QLatin1Char(' ')) + QLatin1Char(' '))),
           perix, pdfIn(uscitaPerix, "pdf"));
    std::printf("  in un solo processo   %8.1f ms per documento   (PERIX_PROCESSI=1; altrimenti uno per "
                "processore, qui %d)\n",
                mediana(solo) * 1000.0 / documenti, processori());
    std::printf("  dimensione media      %8.1f kB per PDF\n", dimensioneMedia(uscitaPerix));
    stampaNonRiusciti(registro);

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("\nsoffice --headless --convert-to pdf: saltato, LibreOffice non è installato su questa "
                    "macchina\n  (lo installa bench/prepara, che `make bench` esegue prima dei benchmark)\n\n");
        return;
    }
    // The same 50 reports, made by the same code, saved as Word documents.
    const QString docx = QDir(cartella).filePath(QStringLiteral("docx-") + nome);
    QDir().mkpath(docx);
    QStringList documentiDocx;
    for (const QString &f : file) {
        const QString d = QDir(docx).filePath(QFileInfo(f).fileName() + QStringLiteral(".docx"));
        if (rapportoDiFile(f, d, FormatoRapporto::Docx).riuscito)
            documentiDocx << d;
    }
    std::vector<Misura> lo;
    const QString uscitaLo = QDir(cartella).filePath(QStringLiteral("pdf-libreoffice-") + nome);
    for (int g = 0; g < giri; ++g) {
        QDir(uscitaLo).removeRecursively();
        const QString profilo = QDir(cartella).filePath(QStringLiteral("profilo-%1-%2").arg(nome).arg(g)); // fresh each run
        lo.push_back(esegui(QStringList{soffice, QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo).toString(),
                                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                        QStringLiteral("--outdir"), uscitaLo} + documentiDocx,
                            QDir(cartella).filePath(QStringLiteral("soffice-%1.txt").arg(nome))));
    }
    std::printf("\n");
    stampa("soffice --headless --convert-to pdf dei 50 .docx (una sola invocazione, profilo nuovo)", lo,
           pdfIn(uscitaLo, "pdf"));
    std::vector<double> sp, sl, cp, cl;
    double mp = 0, ml = 0;
    for (const Misura &m : perix) { sp.push_back(m.secondi); cp.push_back(m.cpu); mp = std::max(mp, m.piccoMB); }
    for (const Misura &m : lo) { sl.push_back(m.secondi); cl.push_back(m.cpu); ml = std::max(ml, m.piccoMB); }
    std::printf("\nPerix rispetto a LibreOffice: %.1f volte più veloce (obiettivo: almeno 20), memoria %.2f volte "
                "la sua (obiettivo: 0.33 o meno)\n",
                mediana(sl) / mediana(sp), ml > 0 ? mp / ml : 0.0);
    if (mediana(cp) > 0 && mediana(cl) > 0)
        std::printf("  in tempo di CPU: %.1f volte meno di LibreOffice\n", mediana(cl) / mediana(cp));
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir cartella;
    // The benchmark's own settings, for itself and the programs it runs: the report
    // window's remembered choices of the user are neither read nor changed.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(cartella.filePath(QStringLiteral("impostazioni"))));
    QApplication app(argc, argv);
    preparaApplicazione();
    const int giri = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    // A folder named after the runs keeps the archive files, for profiling `perix --pdf` on them.
    const QString archivi = argc > 2 ? QString::fromLocal8Bit(argv[2]) : cartella.filePath(QStringLiteral("archivi"));
    const QString aree = archivi + QStringLiteral("-aree");
    QDir().mkpath(archivi);
    QDir().mkpath(aree);

    impostaIncludiProcedimento(false);
    confronto(cartella.path(), QStringLiteral("semplici"), preparaArchivi(archivi, false), {}, giri,
              "50 file d'archivio: 10 per tipo (menu, disaggr, sint, tipol, alt)");

    // The plot reports with the trail and the sensitivity pages. The option where the
    // program has it (an unknown option ends it with the usage error, status 2).
    impostaIncludiProcedimento(true);
    const QStringList fileAree = preparaArchivi(aree, true);
    QStringList opzioni{QStringLiteral("--procedimento")};
    const Misura prova = esegui(QStringList{QStringLiteral(PERIX_ESEGUIBILE)} + opzioni
                                    + QStringList{QStringLiteral("--pdf"), cartella.filePath(QStringLiteral("prova")), fileAree.first()},
                                cartella.filePath(QStringLiteral("prova.txt")));
    if (prova.stato == 2)
        opzioni.clear();
    confronto(cartella.path(), QStringLiteral("procedimento"), fileAree, opzioni, giri,
              opzioni.isEmpty() ? "50 file d'archivio di aree fabbricabili, rapporti con procedimento di calcolo e analisi di "
                                  "sensibilità\n(scelta ricordata dalla finestra del rapporto: questo perix non ha ancora "
                                  "--procedimento)"
                                : "50 file d'archivio di aree fabbricabili, rapporti con procedimento di calcolo e analisi di "
                                  "sensibilità");
    impostaIncludiProcedimento(false);
    return 0;
}
