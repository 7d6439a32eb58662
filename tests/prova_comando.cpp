// The command line: --version and --help, archive files opened from it in the window of
// their kind, --pdf turning them into the windows' own reports; the desktop's MIME types.
#include "app/comando.h"
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "core/tipi.h"
#include "core/verifica.h"
#include "reports/dati_rapporti.h"
#include "reports/rapporti.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "reports/finestrareport.h"
#include "supporto.h"

#include <QMimeDatabase>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace perix;
using namespace perix::prova;

namespace {

// A disaggregated-costs record with the given market value.
QByteArray disaggregato(const QByteArray &vm)
{
    return "\"Valori in euro\",\"Edificio di tipo medio\",\"" + vm + "\",\"1.000.000\",\"200.000\"\r\n"
        + QByteArray("\"40.000\"\r\n").repeated(16);
}

struct Uscita {
    int stato = -1;
    QString out, err;
};

// The installed program's way: a process of its own, with no display at all.
Uscita esegui(const QStringList &argomenti, const QList<QPair<QString, QString>> &variabili = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[nome, valore] : variabili)
        env.insert(nome, valore);
    for (const char *v : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(v));
    // Settings of its own, empty: what a user or a window session saved changes no document.
    static QTemporaryDir impostazioni;
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), impostazioni.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PERIX_ESEGUIBILE), argomenti);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString nomefileDi(QWidget *w, bool percentuali)
{
    if (auto *f = qobject_cast<menu *>(w))
        return f->nomefile();
    if (auto *f = qobject_cast<risultatidisaggregati *>(w))
        return percentuali ? f->nomefilePercentuali() : f->nomefile();
    if (auto *f = qobject_cast<risultatisintetici *>(w))
        return f->nomefile();
    if (auto *f = qobject_cast<risultatitipologie *>(w))
        return f->nomefile();
    if (auto *f = qobject_cast<variocosto *>(w))
        return f->nomefile();
    return QStringLiteral("<finestra sconosciuta>");
}

} // namespace

class ProvaComando : public QObject
{
    Q_OBJECT
    QTemporaryDir m_cartella;

    // The sample renamed so that only its content tells its kind.
    QString senzaPrefisso(const QString &tipo)
    {
        const QString copia = m_cartella.filePath(QStringLiteral("stima-") + tipo);
        QFile::remove(copia);
        return QFile::copy(esempio(tipo), copia) ? copia : QString();
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        QVERIFY(m_cartella.isValid());
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
        azzeraScelte();
    }

    void rispostaSenzaSchermo_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("uscita");  // the start of standard output
        QTest::addColumn<QString>("errori");  // a part of standard error
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "Perix 3.09.04\n" << "";
        QTest::newRow("-v") << QStringList{"-v"} << 0 << "Perix 3.09.04\n" << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Uso: perix [OPZIONE]... [FILE]...\n" << "";
        QTest::newRow("-h prima di un file") << QStringList{"-h", "Perix-menu-x"} << 0 << "Uso: perix" << "";
        QTest::newRow("opzione ignota") << QStringList{"--stampa"} << 2 << ""
                                        << "perix: opzione non riconosciuta: «--stampa»\nUsare «perix --help»";
        QTest::newRow("--pdf senza cartella") << QStringList{"--pdf"} << 2 << "" << "richiede la CARTELLA";
        QTest::newRow("--pdf senza file") << QStringList{"--pdf", "rapporti"} << 2 << "" << "almeno un FILE";
        QTest::newRow("--xlsx senza cartella") << QStringList{"--xlsx"} << 2 << "" << "--xlsx richiede la CARTELLA";
        QTest::newRow("--xlsx senza file") << QStringList{"--xlsx=fogli"} << 2 << "" << "--xlsx richiede almeno un FILE";
        QTest::newRow("--pdf e --xlsx") << QStringList{"--pdf", "r", "--xlsx", "f", "x"} << 2 << ""
                                        << "le opzioni --pdf e --xlsx non vanno insieme";
        QTest::newRow("--procedimento senza --pdf") << QStringList{"--procedimento", esempio("menu")} << 2 << ""
                                                    << "l'opzione --procedimento vale solo con --pdf o --xlsx";
        QTest::newRow("finestre senza schermo") << QStringList{esempio("menu")} << 1 << ""
                                                << "perix: nessuno schermo grafico (DISPLAY e WAYLAND_DISPLAY";
    }
    void rispostaSenzaSchermo()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, stato);
        QFETCH(QString, uscita);
        QFETCH(QString, errori);
        const Uscita u = esegui(argomenti);
        QCOMPARE(u.stato, stato);
        QVERIFY2(uscita.isEmpty() ? u.out.isEmpty() : u.out.startsWith(uscita), qPrintable(u.out));
        QVERIFY2(errori.isEmpty() ? u.err.isEmpty() : u.err.contains(errori), qPrintable(u.err));
        if (argomenti.first() == QLatin1String("--help"))
            for (const char *parte : {"--pdf CARTELLA", "--xlsx CARTELLA", "--procedimento", "-h, --help", "-v, --version", "Stato d'uscita:", "Perix-sint-"})
                QVERIFY2(u.out.contains(QLatin1String(parte)), parte);
    }

    void apreNellaFinestraDelTipo_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("rinominato");
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valore");
        const struct {
            const char *tipo, *finestra, *campo, *valore;
        } tipi[] = {{"menu", "menu", "valoremercato", "1200000"},
                    {"disaggr", "risultatidisaggregati", "vm", "1.850.000"},
                    {"percentuali", "risultatidisaggregati", "p2(2)", "19"},
                    {"sint", "risultatisintetici", "rissint2(2)", "1.250"},
                    {"tipol", "risultatitipologie", "costonetto", "1.350"},
                    {"alt", "variocosto", "costopieno", "420"}};
        for (const auto &t : tipi)
            for (bool rinominato : {false, true})
                QTest::addRow("%s%s", t.tipo, rinominato ? " (dal contenuto)" : "")
                    << t.tipo << rinominato << t.finestra << t.campo << t.valore;
    }
    void apreNellaFinestraDelTipo()
    {
        QFETCH(QString, tipo);
        QFETCH(bool, rinominato);
        QFETCH(QString, finestra);
        QFETCH(QString, campo);
        QFETCH(QString, valore);
        const QString file = rinominato ? senzaPrefisso(tipo) : esempio(tipo);
        frmSplash *splash = registro::mostra<frmSplash>();

        QVERIFY(apriDaRigaDiComando({file}));
        QCOMPARE(splash->musica().stato(), Musica::Stato::InPausa); // as after its click
        QWidget *w = finestraVisibile(finestra);
        QVERIFY2(w, qPrintable(finestra));
        QCOMPARE(nomefileDi(w, tipo == QLatin1String("percentuali")), file);
        QCOMPARE(testo(w, campo), valore);
        QCOMPARE(messaggiMostrati(), 0);
    }

    void fileCheNonSiApre_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("contenuto"); // none: the file is not there
        QTest::addColumn<QString>("motivo");
        QTest::newRow("mancante") << "Perix-menu-mancante" << QByteArray() << "il file non esiste";
        QTest::newRow("di nessun tipo") << "appunti.txt" << QByteArray("spesa: pane, latte\r\n")
                                        << "non è un file d'archivio di Perix";
        QTest::newRow("classe fuori") << "Perix-sint-classe"
                                      << QByteArray("\"Valori in euro\",7\r\n" + QByteArray("\"1\",\"2\",\"3\"\r\n").repeated(5))
                                      << "il tipo di edificio scelto «7»";
        // Named as the window's record but not laid out as one: its values would shift.
        QTest::newRow("campo in più") << "Perix-menu-campo"
                                      << QByteArray("\"Valori in euro\",\"1000000\",\"500000\",\"x\"\r\n\"2\",\"1000\"\r\n")
                                      << "la riga 1 ha 4 campi invece di 3";
        QTest::newRow("record d'altro tipo") << "Perix-menu-rinominato" << disaggregato("1.200.000")
                                             << "il contenuto è quello di un file Perix-disaggr-";
    }
    void fileCheNonSiApre()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, motivo);
        const QString file = m_cartella.filePath(nome);
        QFile::remove(file);
        if (!contenuto.isNull())
            QVERIFY(scrivi(file, contenuto));
        QVERIFY(!apriDaRigaDiComando({file}));
        const auto m = ultimoMostrato();
        QCOMPARE(m.icona, dialoghi::Icona::Stop);
        QCOMPARE(m.titolo, Modulo::titolocontrollo);
        QVERIFY2(m.testo.startsWith(QStringLiteral("Impossibile aprire il file %1: ").arg(nome)) && m.testo.contains(motivo),
                 qPrintable(m.testo));
        QVERIFY(finestraVisibile(QStringLiteral("menu"))); // then the main window
        QVERIFY(!finestraVisibile(QStringLiteral("risultatisintetici")));
        QVERIFY(registro::prendi<menu>()->nomefile().isEmpty());
    }

    // The batch report of each kind is the document its window prints and exports.
    void pdfComeLaFinestra_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("finestra");
        QTest::newRow("menu") << "menu" << "menu";
        QTest::newRow("disaggr") << "disaggr" << "risultatidisaggregati";
        QTest::newRow("sint") << "sint" << "risultatisintetici";
        QTest::newRow("tipol") << "tipol" << "risultatitipologie";
        QTest::newRow("alt") << "alt" << "variocosto";
    }
    void pdfComeLaFinestra()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, finestra);
        const QString cartella = m_cartella.filePath(QStringLiteral("lotto-") + tipo);
        const Uscita u = esegui({QStringLiteral("--pdf"), cartella, esempio(tipo)});
        QCOMPARE(u.stato, 0);
        const QString lotto = QDir(cartella).filePath(QFileInfo(esempio(tipo)).fileName() + QStringLiteral(".pdf"));
        QVERIFY2(u.err.contains(QStringLiteral("[1/1] %1: creato %2 (1 pagina)\n").arg(esempio(tipo), lotto)),
                 qPrintable(u.err));

        QVERIFY(apriDaRigaDiComando({esempio(tipo)}));
        QVERIFY(attiva(finestraVisibile(finestra), QStringLiteral("solodati")));
        auto *documento = qobject_cast<finestrareport *>(Modulo::wordapp.data());
        QVERIFY(documento);
        const QString stampato = m_cartella.filePath(QStringLiteral("finestra-%1.pdf").arg(tipo));
        dialoghi::prova::accodaFile(stampato);
        QVERIFY(documento->esportaPdf());

        const QString testoLotto = poppler(QStringLiteral("pdftotext"), lotto);
        if (testoLotto.isEmpty())
            QSKIP("pdftotext (poppler-utils) non è installato");
        QCOMPARE(testoLotto, poppler(QStringLiteral("pdftotext"), stampato));
        QVERIFY(testoLotto.contains(QStringLiteral("Valori in euro"), Qt::CaseInsensitive));
        const QString info = poppler(QStringLiteral("pdfinfo"), lotto);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))) && info.contains(QStringLiteral("(A4)")),
                 qPrintable(info));
    }

    // A file the window would read wrongly or question is refused, never printed.
    void pdfRifiutaRecordDubbi_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("motivo");
        const QByteArray sint("\"Valori in euro\",2\r\n\"1.000\",\"1.091\",\"abc\"\r\n");
        QByteArray conVuota = disaggregato("1.200.000");
        conVuota.insert(conVuota.indexOf("\"40.000\""), "\r\n");
        QTest::newRow("campo in più") << "Perix-menu-campo"
                                      << QByteArray("\"Valori in euro\",\"1\",\"2\",\"3\"\r\n\"4\",\"5\"\r\n")
                                      << "la riga 1 ha 4 campi invece di 3";
        QTest::newRow("riga vuota") << "Perix-disaggr-vuota" << conVuota << "la riga 2 è vuota";
        QTest::newRow("rinominato") << "Perix-menu-rinominato" << disaggregato("1.200.000")
                                    << "il contenuto è quello di un file Perix-disaggr-";
        QTest::newRow("valore non numerico") << "Perix-disaggr-abc" << disaggregato("abc")
                                             << "il valore di mercato «abc» non è un numero";
        QTest::newRow("cella non numerica") << "Perix-sint-abc" << sint + QByteArray("\"1\",\"2\",\"3\"\r\n").repeated(4)
                                            << "il costo della riga 1 per la classe 3 «abc» non è un numero";
        QTest::newRow("costo negativo") << "Perix-tipol-negativo"
                                        << "\"Valori in euro\",\"-1.350\",3\r\n" + QByteArray("\"1\",\"18\"\r\n").repeated(9)
                                        << "il costo al mq. di superficie netta «-1.350» è negativo";
        // Shown as 1200000, read as 0 while the controls stayed in.
        QTest::newRow("bidi intorno al valore") << "Perix-disaggr-bidi" << disaggregato("\xe2\x80\xae" "abc\xe2\x80\xac")
                                                << "il valore di mercato «abc» contiene un carattere invisibile (U+202E";
        const auto menuCon = [](const QByteArray &V) {
            return "\"Valori in euro\",\"" + V + "\",\"650000\"\r\n\"3\",\"1500\"\r\n";
        };
        QTest::newRow("cifra oltre un campo") << "Perix-menu-lungo" << menuCon(QByteArray(40000, '0') + "1200000")
                                              << "il campo 2 della riga 1 è più lungo";
        QTest::newRow("cifra capovolta") << "Perix-menu-capovolto" << menuCon("\xe2\x80\xae" "0000021\xe2\x80\xac")
                                         << "il dato di 'Valore di mercato del fabbricato' «0000021» contiene un "
                                            "carattere invisibile (U+202E";
        QTest::newRow("a capo nella cifra") << "Perix-menu-acapo" << menuCon("12\r\n00000")
                                            << "il campo 2 della riga 1 va a capo dentro le virgolette";
        QTest::newRow("testo dopo le virgolette") << "Perix-menu-coda" << QByteArray(menuCon("1200")).replace("\"1200\"", "\"1200\"000")
                                                  << "il campo 2 della riga 1 ha del testo dopo le virgolette chiuse («000»)";
        QTest::newRow("profitto NaN") << "Perix-disaggr-nan"
                                      << QByteArray(disaggregato("1.200.000")).replace("\"200.000\"", "\"NaN\"")
                                      << "il profitto netto «NaN» non è un numero intero";
        QTest::newRow("cella 1e308") << "Perix-sint-enorme"
                                     << "\"Valori in euro\",2\r\n\"1.000\",\"1e308\",\"1\"\r\n"
                                            + QByteArray("\"1\",\"2\",\"3\"\r\n").repeated(4)
                                     << "il costo della riga 1 per la classe 2 «1e308» non è un numero intero";
    }
    void pdfRifiutaRecordDubbi()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, motivo);
        const QString file = m_cartella.filePath(nome);
        QVERIFY(scrivi(file, contenuto));
        const QString cartella = m_cartella.filePath(QStringLiteral("dubbi"));
        // Refused the same way as a document and as a spreadsheet.
        for (const char *formato : {"pdf", "xlsx"}) {
            const Uscita u = esegui({QStringLiteral("--") + QLatin1String(formato), cartella, file});
            QCOMPARE(u.stato, 1);
            const QString riga = QStringLiteral("[1/1] %1: NON RIUSCITO: Impossibile aprire il file %2: ").arg(file, nome);
            QVERIFY2(u.err.contains(riga + motivo), qPrintable(u.err));
            QVERIFY(!QFile::exists(QDir(cartella).filePath(nome + u'.' + QLatin1String(formato))));
        }
        const Uscita u = esegui({QStringLiteral("--pdf"), cartella, file});
        // The window's Apri refuses the same record with the same words, unless the record
        // is sound and only its figures are questioned: the window opens it and says so itself.
        if (nome == QLatin1String("Perix-tipol-negativo"))
            return;
        const qsizetype da = u.err.indexOf(QStringLiteral("Impossibile aprire"));
        const QString perche = u.err.mid(da, u.err.indexOf(u'\n', da) - da);
        QVERIFY(!apriDaRigaDiComando({file}));
        QCOMPARE(ultimoMessaggio(), perche);
    }

    // A document is never written over a file still to be converted.
    void pdfNonSostituisceUnFileDato()
    {
        const QString cartella = m_cartella.filePath(QStringLiteral("stessa"));
        QVERIFY(QDir().mkpath(cartella));
        const QString archivio = QDir(cartella).filePath(QStringLiteral("Perix-menu-a"));
        QFile::remove(archivio);
        QVERIFY(QFile::copy(esempio(QStringLiteral("menu")), archivio));
        for (const char *formato : {"pdf", "xlsx"}) {
            const QString omonimo = archivio + u'.' + QLatin1String(formato);
            QVERIFY(scrivi(omonimo, "dati"));
            const Uscita u = esegui({QStringLiteral("--") + QLatin1String(formato), cartella, archivio, omonimo});
            QCOMPARE(u.stato, 1);
            QVERIFY2(u.err.contains(QStringLiteral("[1/2] %1: NON RIUSCITO: il documento %2 prenderebbe il posto di un "
                                                   "file da convertire").arg(archivio, omonimo)),
                     qPrintable(u.err));
            QCOMPARE(contenuto(omonimo), QByteArray("dati"));
        }
    }

    // Good and bad files together: each named on its own line, the good ones made anyway.
    void pdfConFileCattivi()
    {
        const QString cartella = m_cartella.filePath(QStringLiteral("misti"));
        const QString assente = m_cartella.filePath(QStringLiteral("Perix-alt-assente"));
        const QStringList file{esempio(QStringLiteral("menu")), assente, esempio(QStringLiteral("percentuali")),
                               senzaPrefisso(QStringLiteral("tipol")), esempio(QStringLiteral("menu"))};
        const Uscita u = esegui(QStringList{QStringLiteral("--pdf"), cartella} + file);
        QCOMPARE(u.stato, 1);
        // The program's own lines (a sanitizer build adds its report after them).
        const QStringList righe = u.err.split(u'\n').filter(QRegularExpression(QStringLiteral("^(\\[|perix: )")));
        QCOMPARE(righe.size(), 6);
        QVERIFY(righe[0].startsWith(QStringLiteral("[1/5] %1: creato").arg(file[0])));
        QCOMPARE(righe[1], QStringLiteral("[2/5] %1: NON RIUSCITO: Impossibile aprire il file Perix-alt-assente: "
                                          "il file non esiste").arg(assente));
        QVERIFY2(righe[2].contains(QStringLiteral("NON RIUSCITO: un file di percentuali non ha un documento proprio")),
                 qPrintable(righe[2]));
        QVERIFY(righe[3].startsWith(QStringLiteral("[4/5] %1: creato").arg(file[3])));
        // The same name twice would overwrite the first document: the second is refused.
        QVERIFY2(righe[4].contains(QStringLiteral("NON RIUSCITO: un altro file con lo stesso nome")), qPrintable(righe[4]));
        QCOMPARE(righe[5], QStringLiteral("perix: 2 documenti creati in %1, 3 file non riusciti").arg(cartella));
        QCOMPARE(QDir(cartella).entryList(QDir::Files),
                 (QStringList{QStringLiteral("Perix-menu-esempio.pdf"), QStringLiteral("stima-tipol.pdf")}));
        if (const QString info = poppler(QStringLiteral("pdfinfo"), QDir(cartella).filePath(QStringLiteral("stima-tipol.pdf")));
            !info.isEmpty())
            QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    }

    // A batch shared among processes gives the same documents, byte for byte, and the same
    // lines in the files' order as one process alone: failures, a name given twice, a file
    // that would be overwritten, among documents of every kind.
    void pdfDivisoTraProcessi()
    {
        QStringList file;
        for (const char *tipo : {"menu", "disaggr", "sint", "tipol", "alt"})
            file << esempio(QLatin1String(tipo)) << senzaPrefisso(QLatin1String(tipo));
        file.insert(3, m_cartella.filePath(QStringLiteral("Perix-alt-assente")));
        file.insert(6, esempio(QStringLiteral("menu")));
        QMap<QString, QStringList> righe;
        QMap<QString, QMap<QString, QByteArray>> documenti;
        for (const char *processi : {"1", "3"}) {
            const QString cartella = m_cartella.filePath(QStringLiteral("processi-") + QLatin1String(processi));
            const Uscita u = esegui(QStringList{QStringLiteral("--procedimento"), QStringLiteral("--pdf"), cartella} + file,
                                    {{QStringLiteral("PERIX_PROCESSI"), QString::fromLatin1(processi)},
                                     {QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1700000000")}});
            QCOMPARE(u.stato, 1);
            righe[processi] = QString(u.err).replace(cartella, QStringLiteral("CARTELLA"))
                                  .split(u'\n')
                                  .filter(QRegularExpression(QStringLiteral("^(\\[|perix: )")));
            for (const QString &pdf : QDir(cartella).entryList(QDir::Files))
                documenti[processi][pdf] = contenuto(QDir(cartella).filePath(pdf));
        }
        QCOMPARE(righe["3"], righe["1"]);
        QCOMPARE(righe["1"].size(), file.size() + 1);
        QCOMPARE(righe["1"].last(), QStringLiteral("perix: 10 documenti creati in CARTELLA, 2 file non riusciti"));
        QCOMPARE(documenti["1"].keys(), documenti["3"].keys());
        QCOMPARE(documenti["1"].size(), 10);
        for (const QString &pdf : documenti["1"].keys())
            QVERIFY2(documenti["1"][pdf] == documenti["3"][pdf], qPrintable(pdf));
    }

    // What stands under the report's name in the folder: only a regular file is replaced;
    // a link, a folder or a FIFO is refused for that file alone, left as it was, and the
    // next file still goes.
    void pdfSoloSuFileNormali_data()
    {
        QTest::addColumn<QString>("ostacolo");
        QTest::addColumn<QString>("motivo"); // empty: replaced
        QTest::newRow("file normale") << "file" << "";
        QTest::newRow("collegamento fuori dalla cartella") << "collegamento" << "collegamento simbolico";
        QTest::newRow("collegamento rotto") << "rotto" << "collegamento simbolico";
        QTest::newRow("cartella") << "cartella" << "una cartella";
        QTest::newRow("FIFO") << "fifo" << "FIFO";
    }
    void pdfSoloSuFileNormali()
    {
        QFETCH(QString, ostacolo);
        QFETCH(QString, motivo);
        QTemporaryDir base;
        const QString cartella = base.filePath(QStringLiteral("rapporti"));
        const QString fuori = base.filePath(QStringLiteral("appunti.txt"));
        QVERIFY(QDir().mkpath(cartella));
        QVERIFY(scrivi(fuori, "da non perdere\n"));
        const QString nome = QDir(cartella).filePath(QStringLiteral("Perix-menu-esempio.pdf"));
        if (ostacolo == QLatin1String("file"))
            QVERIFY(QFile::copy(fuori, nome));
        else if (ostacolo == QLatin1String("collegamento"))
            QVERIFY(QFile::link(QStringLiteral("../appunti.txt"), nome));
        else if (ostacolo == QLatin1String("rotto"))
            QVERIFY(QFile::link(base.filePath(QStringLiteral("mancante.txt")), nome));
        else if (ostacolo == QLatin1String("cartella"))
            QVERIFY(QDir().mkpath(nome));
        else
            QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {nome}), 0);

        const Uscita u = esegui({QStringLiteral("--pdf"), cartella, esempio(QStringLiteral("menu")), esempio(QStringLiteral("alt"))});
        QVERIFY2(u.err.contains(QStringLiteral("[2/2] %1: creato").arg(esempio(QStringLiteral("alt")))), qPrintable(u.err));
        const QFileInfo dopo(nome);
        if (motivo.isEmpty()) {
            QCOMPARE(u.stato, 0);
            QVERIFY(contenuto(nome).startsWith("%PDF-"));
        } else {
            QCOMPARE(u.stato, 1);
            QVERIFY2(u.err.contains(QStringLiteral("[1/2] %1: NON RIUSCITO: Impossibile scrivere il documento %2: ")
                                        .arg(esempio(QStringLiteral("menu")), nome))
                         && u.err.contains(motivo),
                     qPrintable(u.err));
            QCOMPARE(dopo.isSymLink(), ostacolo == QLatin1String("collegamento") || ostacolo == QLatin1String("rotto"));
            QCOMPARE(dopo.isDir(), ostacolo == QLatin1String("cartella"));
        }
        QVERIFY(!QFileInfo::exists(base.filePath(QStringLiteral("mancante.txt"))));
        QCOMPARE(contenuto(fuori), QByteArray("da non perdere\n"));
        // Nothing half-written left beside the reports.
        QCOMPARE(QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).filter(
                     QStringLiteral(".Perix")), QStringList());
    }

    // Main-window files whose figures the window's own check questions are refused, each
    // on its line with the check's reason; the sound ones, Italian figures included, go.
    void pdfRifiutaFigureDubbie()
    {
        const QString cartella = m_cartella.filePath(QStringLiteral("dubbie"));
        struct Caso {
            QString anni, superficie, motivo; // empty reason: made
        };
        const QList<Caso> casi{
            {"3", "1500", ""}, {"2,5", "1500", ""}, {"-3", "1500", "«-3» di 'Anni per redditività' è un numero negativo"},
            {"-100", "1500", "«-100» di 'Anni per redditività' è un numero negativo"},
            {"abc", "1500", "«abc» di 'Anni per redditività' non è un numero; scrivere ad esempio 2 oppure 2,5."},
            {"nan", "1500", "«nan» di 'Anni per redditività'"}, {"inf", "1500", "«inf» di 'Anni per redditività'"},
            {"", "1500", "Digitare il numero di anni per redditività."},
            {"1e308", "1500", "«1e308» di 'Anni per redditività' non è un numero"},
            {"1,500", "1500", "«1,500» di 'Anni per redditività' è ambiguo; scrivere 1500 oppure 1,5."},
            {"3", "1.200", "«1.200» di 'Superficie del terreno in mq.' è ambiguo; scrivere 1200 oppure 1,2."},
            {"3", "100.5", ""},
        };
        QStringList file;
        for (qsizetype i = 0; i < casi.size(); ++i) {
            file << m_cartella.filePath(QStringLiteral("Perix-menu-dubbio%1").arg(i));
            QVERIFY(scrivi(file.last(), QStringLiteral("\"Valori in euro\",\"1.200.000\",\"650000\"\r\n\"%1\",\"%2\"\r\n")
                                            .arg(casi[i].anni, casi[i].superficie).toUtf8()));
        }
        const Uscita u = esegui(QStringList{QStringLiteral("--pdf"), cartella} + file);
        QCOMPARE(u.stato, 1);
        const QStringList righe = u.err.split(u'\n').filter(QRegularExpression(QStringLiteral("^\\[")));
        QCOMPARE(righe.size(), casi.size());
        for (qsizetype i = 0; i < casi.size(); ++i) {
            const QString &motivo = casi[i].motivo;
            const QString capo = QStringLiteral("[%1/%2] %3: ").arg(i + 1).arg(casi.size()).arg(file[i]);
            QVERIFY2(righe[i].startsWith(capo + (motivo.isEmpty() ? QStringLiteral("creato")
                                                                   : QStringLiteral("NON RIUSCITO: Controllo dati immessi: ")))
                         && righe[i].contains(motivo),
                     qPrintable(righe[i]));
            QCOMPARE(QFile::exists(QDir(cartella).filePath(QFileInfo(file[i]).fileName() + QStringLiteral(".pdf"))),
                     motivo.isEmpty());
        }
    }

    // Each kind's report, as PDF and as a Word document (what the benchmark hands to
    // LibreOffice), built without a single widget: no window, preview or report window.
    // The calculation trail of a plot report is the command line's to ask for: the choice a
    // window session left behind changes nothing in the documents of the same command.
    void pdfProcedimentoDallaRiga_data()
    {
        QTest::addColumn<bool>("scelta");  // what a window session chose last
        QTest::addColumn<bool>("opzione"); // --procedimento given
        QTest::newRow("scelta accesa, senza opzione") << true << false;
        QTest::newRow("scelta spenta, senza opzione") << false << false;
        QTest::newRow("scelta spenta, con opzione") << false << true;
        QTest::newRow("scelta accesa, con opzione") << true << true;
    }
    void pdfProcedimentoDallaRiga()
    {
        QFETCH(bool, scelta);
        QFETCH(bool, opzione);
        const bool prima = includiProcedimento();
        impostaIncludiProcedimento(scelta);
        const QString cartella = m_cartella.filePath(QStringLiteral("procedimento"));
        QStringList argomenti{QStringLiteral("--pdf"), cartella, esempio(QStringLiteral("menu"))};
        if (opzione)
            argomenti.insert(2, QStringLiteral("--procedimento"));
        const Uscita u = esegui(argomenti);
        impostaIncludiProcedimento(prima);
        QCOMPARE(u.stato, 0);
        // The pages of the same figures' document with the trail asked for or not.
        const auto campi = leggiRecord(TipoArchivio::Menu, contenuto(esempio(QStringLiteral("menu"))));
        QVERIFY(campi);
        auto dati = datiRapportoMenu(*campi);
        QVERIFY(dati);
        dati->procedimento = opzione;
        const int pagine = documentoMenu(*dati)->pageCount();
        QVERIFY2(u.err.contains(pagine == 1 ? QStringLiteral("(1 pagina)") : QStringLiteral("(%1 pagine)").arg(pagine)),
                 qPrintable(u.err));
        const QString testo = poppler(QStringLiteral("pdftotext"),
                                      QDir(cartella).filePath(QStringLiteral("Perix-menu-esempio.pdf")));
        if (testo.isEmpty())
            QSKIP("pdftotext (poppler-utils) non è installato");
        QCOMPARE(testo.contains(QStringLiteral("Procedimento di calcolo")), opzione);
    }

    // What the windows write today opens again in them and converts: the one reading refuses
    // damage, never a record the program itself wrote.
    void fileScrittiDalleFinestre_data()
    {
        QTest::addColumn<QStringList>("menu");  // market value, total costs, years, surface
        QTest::addColumn<QString>("costo");     // the one typed cost of the cost windows
        QTest::newRow("interi") << QStringList{"1200000", "650000", "3", "1500"} << "1250";
        QTest::newRow("decimali all'italiana") << QStringList{"1.200.000,50", "650.000,00", "3,5", "1.500,5"} << "1.250,75";
        QTest::newRow("costi oltre il valore") << QStringList{"500000", "650000", "2", "1000"} << "0,5";
    }
    void fileScrittiDalleFinestre()
    {
        QFETCH(QStringList, menu);
        QFETCH(QString, costo);
        sessioneNuova();
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
        const auto file = [&](const char *prefisso) { return m_cartella.filePath(QLatin1String(prefisso) + tag); };
        auto *m = registro::prendi<perix::menu>();
        m->show();
        stimaArea(m, menu[0], menu[1], menu[2], menu[3]);
        QVERIFY(attivaConFile(m, QStringLiteral("salvanome"), file("Perix-menu-")));
        clicca(m, QStringLiteral("disaggregati"));
        digita(m, QStringLiteral("valoremercato"), menu[0]);
        digita(m, QStringLiteral("costitotali"), menu[1]);
        clicca(m, QStringLiteral("Option1(2)"));
        QVERIFY(attivaConFile(finestraVisibile(QStringLiteral("risultatidisaggregati")), QStringLiteral("salvanome"),
                              file("Perix-disaggr-")));
        clicca(m, QStringLiteral("sintetici"));
        digita(m, QStringLiteral("costolordo"), costo);
        clicca(m, QStringLiteral("Option1(3)"));
        QVERIFY(attivaConFile(finestraVisibile(QStringLiteral("risultatisintetici")), QStringLiteral("salvanome"),
                              file("Perix-sint-")));
        clicca(m, QStringLiteral("tipologici"));
        QWidget *tipologie = finestraVisibile(QStringLiteral("risultatitipologie"));
        digita(tipologie, QStringLiteral("costonetto"), costo);
        clicca(tipologie, QStringLiteral("tipologia(7)"));
        QVERIFY(attivaConFile(tipologie, QStringLiteral("salvanome"), file("Perix-tipol-")));
        clicca(m, QStringLiteral("altezze"));
        QWidget *altezze = finestraVisibile(QStringLiteral("variocosto"));
        digita(altezze, QStringLiteral("costopieno"), costo);
        clicca(altezze, QStringLiteral("Optvario(11)"));
        QVERIFY(attivaConFile(altezze, QStringLiteral("salvanome"), file("Perix-alt-")));
        PERIX_NESSUNA_DOMANDA_SOSPESA();

        const QStringList scritti{file("Perix-menu-"), file("Perix-disaggr-"), file("Perix-sint-"), file("Perix-tipol-"),
                                  file("Perix-alt-")};
        for (const QString &f : scritti) {
            QString motivo;
            QVERIFY2(leggiRecord(*tipoDaNome(f), contenuto(f), &motivo), qPrintable(f + u' ' + motivo));
        }
        sessioneNuova();
        QVERIFY(apriDaRigaDiComando(scritti));
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        const Uscita u = esegui(QStringList{QStringLiteral("--pdf"), m_cartella.filePath(QStringLiteral("scritti"))}
                                + scritti);
        QVERIFY2(u.stato == 0 && u.err.contains(QStringLiteral("5 documenti creati")), qPrintable(u.err));
    }

    void rapportoSenzaFinestre_data() { pdfComeLaFinestra_data(); }
    void rapportoSenzaFinestre()
    {
        QFETCH(QString, tipo);
        const qsizetype widget = QApplication::allWidgets().size();
        for (const auto &[formato, estensione] : {std::pair{FormatoRapporto::Pdf, ".pdf"}, {FormatoRapporto::Docx, ".docx"},
                                                  {FormatoRapporto::Xlsx, ".xlsx"}}) {
            const QString uscita = m_cartella.filePath(QStringLiteral("senza-finestre-") + tipo + QLatin1String(estensione));
            const EsitoRapporto e = rapportoDiFile(esempio(tipo), uscita, formato);
            QVERIFY2(e.riuscito, qPrintable(e.motivo));
            QVERIFY(contenuto(uscita).startsWith(formato == FormatoRapporto::Pdf ? "%PDF" : "PK"));
        }
        QCOMPARE(QApplication::allWidgets().size(), widget);
        QVERIFY(!Modulo::wordapp);
    }

    // The installed MIME package and desktop entry name the kinds the program tells apart.
    void tipiDelDesktop()
    {
        const QString installato = qEnvironmentVariable("PERIX_INSTALLATO");
        if (installato.isEmpty())
            QSKIP("nessuna installazione di prova (PERIX_INSTALLATO)");
        const QByteArray voce = contenuto(installato + QStringLiteral("/share/applications/example.velmora.Perix.desktop"));
        const auto riga = QRegularExpression(QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption)
                              .match(QString::fromUtf8(voce));
        const QStringList mimeVoce = riga.captured(1).split(u';', Qt::SkipEmptyParts);
        QMimeDatabase db;
        QStringList mimeTipi;
        for (const DescrizioneTipo &d : tipiArchivio()) {
            const QString file = d.prefisso + QStringLiteral("via-roma");
            QCOMPARE(db.mimeTypeForFile(file, QMimeDatabase::MatchExtension).name(), d.mime);
            QCOMPARE(tipoDaNome(QStringLiteral("/cartella/") + file.toLower()), d.tipo);
            mimeTipi << d.mime;
        }
        QCOMPARE(mimeVoce, mimeTipi);
    }
};

QTEST_MAIN(ProvaComando)
#include "prova_comando.moc"
