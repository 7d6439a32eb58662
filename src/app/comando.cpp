#include "app/comando.h"

#include "app/lotto.h"

#include "app/avvio.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "ui/comandi.h"
#include "ui/incarico.h"
#include "core/allegato.h"
#include "core/tipi.h"
#include "core/verifica.h"
#include "core/calcoli.h"
#include "estimates/finestre.h"
#include "reports/dati_rapporti.h"
#include "reports/docx.h"
#include "reports/documento.h"
#include "reports/foglio.h"
#include "ui/fileomi.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cstdio>

namespace perix {

namespace {

const QString programma = QStringLiteral("perix");

RigaDiComando risposta(const QString &testo, bool suErrori, int stato)
{
    RigaDiComando r;
    r.azione = RigaDiComando::Azione::Rispondi;
    r.risposta = testo;
    r.suErrori = suErrori;
    r.stato = stato;
    return r;
}

RigaDiComando usoErrato(const QString &errore)
{
    return risposta(QStringLiteral("%1: %2\nUsare «%1 --help» per l'elenco delle opzioni.\n").arg(programma, errore),
                    true, statoUsoErrato);
}

void scriviErrori(const QString &riga)
{
    std::fputs(qUtf8Printable(riga + u'\n'), stderr);
    std::fflush(stderr);
}

// The window that opens the kind's files, loaded and not shown.
FinestraStima *finestraDi(TipoArchivio tipo)
{
    switch (tipo) {
    case TipoArchivio::Menu: return finestraStima(1);
    case TipoArchivio::Disaggregati:
    case TipoArchivio::Percentuali: return finestraStima(2);
    case TipoArchivio::Sintetici: return finestraStima(3);
    case TipoArchivio::Tipologie: return finestraStima(4);
    case TipoArchivio::Altezze: return finestraStima(5);
    }
    return finestraStima(1);
}

// Runs the window's own Apri ("apri percentuali" for a percentages file) on the file.
// True when the window took what the file holds.
bool apriNellaFinestra(TipoArchivio tipo, FinestraStima *finestra, const QString &file)
{
    // Whole, as the open dialog gives it: a later "Salva" lands on it wherever the folder is.
    FileGiaScelto scelta(QFileInfo(file).absoluteFilePath());
    if (tipo == TipoArchivio::Percentuali)
        static_cast<risultatidisaggregati *>(finestra)->aprip_Click();
    else
        finestra->esegui(Comando::Apri);
    return scelta.letto();
}

QString impossibileAprire(const QString &file, const QString &motivo)
{
    return QStringLiteral("Impossibile aprire il file %1: %2").arg(QFileInfo(file).fileName(), motivo);
}

// Every name a path goes by: as given and with its links resolved, so that no document
// is ever written over a file named among those to convert, however it was named.
QSet<QString> percorsiDati(const QStringList &percorsi)
{
    QSet<QString> nomi;
    for (const QString &p : percorsi) {
        const QFileInfo info(p);
        nomi.insert(QDir::cleanPath(info.absoluteFilePath()));
        if (const QString vero = info.canonicalFilePath(); !vero.isEmpty())
            nomi.insert(vero);
    }
    return nomi;
}

QString pagine(int n)
{
    return n == 1 ? QStringLiteral("1 pagina") : QStringLiteral("%1 pagine").arg(n);
}

} // namespace

QString testoVersione()
{
    Modulo::datiprogramma();
    return QStringLiteral("%1 %2\n").arg(Modulo::nomeprogramma, Modulo::versioneprogramma);
}

QString testoAiuto()
{
    Modulo::datiprogramma();
    return QStringLiteral(
               "Uso: %1 [OPZIONE]... [FILE]...\n"
               "%2: %3.\n"
               "\n"
               "Senza FILE mostra la finestra di presentazione. Ogni FILE d'archivio si apre nella\n"
               "finestra del suo tipo, riconosciuto dall'inizio del nome (Perix-menu-, Perix-disaggr-,\n"
               "Perix-percentuali-, Perix-sint-, Perix-tipol-, Perix-alt-) o, se il nome non lo dice,\n"
               "dal contenuto.\n"
               "\n"
               "Opzioni:\n"
               "      --pdf CARTELLA  crea per ogni FILE il documento di \"Stampa dati finestra\"\n"
               "                      come CARTELLA/<nome del FILE>.pdf, senza aprire finestre\n"
               "                      e senza bisogno di uno schermo grafico\n"
               "      --xlsx CARTELLA crea per ogni FILE il foglio di calcolo della stima, con i\n"
               "                      risultati come formule sui dati, come CARTELLA/<nome del\n"
               "                      FILE>.xlsx (Excel, LibreOffice); come --pdf\n"
               "      --omi FILE [COMUNE [ZONA]]\n"
               "                      legge le quotazioni OMI dell'Agenzia Entrate dal file\n"
               "                      QI_..._VALORI.csv (o dallo .zip scaricato): senza COMUNE\n"
               "                      ne dice il semestre e i conteggi, con COMUNE stampa una\n"
               "                      riga per quotazione del comune (e della ZONA), campi\n"
               "                      separati da tabulazione: COMUNE PROV ZONA FASCIA\n"
               "                      DESCRIZIONE TIPOLOGIA STATO PREVALENTE MIN MAX SUPERFICIE;\n"
               "                      «NOME (PR)» sceglie fra comuni omonimi\n"
               "      --procedimento  con --pdf o --xlsx, aggiunge ai documenti delle stime di\n"
               "                      aree fabbricabili il procedimento di calcolo e l'analisi di\n"
               "                      sensibilità (senza, non li contengono mai)\n"
               "  -h, --help          mostra questo aiuto ed esce\n"
               "  -v, --version       mostra la versione ed esce\n"
               "\n"
               "Stato d'uscita:\n"
               "  0  tutto riuscito\n"
               "  1  con --pdf o --xlsx, almeno un FILE non è stato convertito; con --omi, file\n"
               "     illeggibile o nessuna quotazione trovata; senza, nessuno schermo grafico\n"
               "  2  riga di comando errata\n"
               "\n"
               "Esempi:\n"
               "  %1 Perix-menu-via-roma          apre la stima nella finestra Menu\n"
               "  %1 --pdf rapporti Perix-*       un PDF in rapporti/ per ogni file d'archivio\n"
               "  %1 --xlsx fogli Perix-*         un foglio di calcolo in fogli/ per ciascuno\n"
               "  %1 --omi QI.zip \"SAN TEODORO (NU)\" B1\n"
               "                                  le quotazioni della zona B1 di San Teodoro (NU)\n"
               "\n"
               "Sito di %2: <https://www.velmora.example/>\n")
        .arg(programma, Modulo::nomeprogramma, Modulo::descrizioneprogramma);
}

namespace {

// --pdf CARTELLA, --xlsx CARTELLA (or --pdf=CARTELLA): the format of the documents asked for.
std::optional<FormatoRapporto> opzioneCartella(const QString &a)
{
    const QString nome = a.section(u'=', 0, 0);
    if (nome == QLatin1String("--pdf"))
        return FormatoRapporto::Pdf;
    if (nome == QLatin1String("--xlsx"))
        return FormatoRapporto::Xlsx;
    return std::nullopt;
}

} // namespace

RigaDiComando leggiRigaDiComando(const QStringList &argomenti)
{
    RigaDiComando r;
    bool soloFile = false;
    for (qsizetype i = 0; i < argomenti.size(); ++i) {
        const QString &a = argomenti[i];
        if (soloFile || !a.startsWith(u'-') || a == QLatin1String("-")) {
            r.file << a;
        } else if (a == QLatin1String("--")) {
            soloFile = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            return risposta(testoAiuto(), false, statoRiuscito);
        } else if (a == QLatin1String("-v") || a == QLatin1String("--version")) {
            return risposta(testoVersione(), false, statoRiuscito);
        } else if (a == QLatin1String("--omi")) {
            // The file, then up to a comune and a zone, nothing else.
            if (r.azione != RigaDiComando::Azione::Avvia || !r.file.isEmpty())
                return usoErrato(QStringLiteral("l'opzione --omi non si combina con altre opzioni né con altri FILE"));
            r.omi = argomenti.mid(i + 1);
            if (r.omi.isEmpty())
                return usoErrato(QStringLiteral("l'opzione --omi richiede il FILE delle quotazioni OMI"));
            if (r.omi.size() > 3)
                return usoErrato(QStringLiteral("l'opzione --omi accetta al più FILE, COMUNE e ZONA"));
            if (r.omi.first().isEmpty())
                return usoErrato(QStringLiteral("l'opzione --omi richiede il FILE delle quotazioni OMI"));
            r.azione = RigaDiComando::Azione::Omi;
            return r;
        } else if (a == QLatin1String("--procedimento")) {
            r.procedimento = true;
        } else if (const auto formato = opzioneCartella(a)) {
            const QString opzione = a.section(u'=', 0, 0);
            QString cartella;
            if (a.contains(u'=')) {
                cartella = a.section(u'=', 1);
            } else if (i + 1 < argomenti.size()) {
                cartella = argomenti[++i];
            }
            if (cartella.isEmpty())
                return usoErrato(QStringLiteral("l'opzione %1 richiede la CARTELLA dei documenti").arg(opzione));
            if (r.azione == RigaDiComando::Azione::Pdf)
                return usoErrato(r.formato == *formato
                                     ? QStringLiteral("l'opzione %1 è data più di una volta").arg(opzione)
                                     : QStringLiteral("le opzioni --pdf e --xlsx non vanno insieme: una per volta"));
            r.azione = RigaDiComando::Azione::Pdf;
            r.formato = *formato;
            r.cartella = cartella;
        } else {
            return usoErrato(QStringLiteral("opzione non riconosciuta: «%1»").arg(a));
        }
    }
    if (r.procedimento && r.azione != RigaDiComando::Azione::Pdf)
        return usoErrato(QStringLiteral("l'opzione --procedimento vale solo con --pdf o --xlsx"));
    if (r.azione == RigaDiComando::Azione::Pdf && r.file.isEmpty())
        return usoErrato(QStringLiteral("l'opzione %1 richiede almeno un FILE da convertire")
                             .arg(r.formato == FormatoRapporto::Xlsx ? QStringLiteral("--xlsx") : QStringLiteral("--pdf")));
    return r;
}

RigaDiComando leggiRigaDiComando(int argc, char *argv[])
{
    QStringList argomenti;
    for (int i = 1; i < argc; ++i)
        argomenti << QString::fromLocal8Bit(argv[i]);
    RigaDiComando r = leggiRigaDiComando(argomenti);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Without a display the window system would abort the program; say why instead.
    if (r.azione == RigaDiComando::Azione::Avvia && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_SOCKET")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return risposta(QStringLiteral("%1: nessuno schermo grafico (DISPLAY e WAYLAND_DISPLAY non impostati): avviare "
                                       "Perix da una sessione desktop; i documenti PDF si creano anche senza schermo "
                                       "con «%1 --pdf CARTELLA FILE...»\n")
                            .arg(programma),
                        true, statoFileNonRiusciti);
#endif
    return r;
}

void preparaPiattaforma(const RigaDiComando &riga)
{
    if (riga.azione != RigaDiComando::Azione::Pdf && riga.azione != RigaDiComando::Azione::Omi)
        return;
    // No window of a batch run is ever meant to be seen: offscreen, whatever the session.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries one line per file. The platform's remarks on windows nobody
    // sees ("does not support raise()") and the like are no news to the user; errors are.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext &, const QString &testo) {
        if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
            scriviErrori(QStringLiteral("%1: %2").arg(programma, testo));
    });
}

int eseguiRigaDiComando(const RigaDiComando &riga)
{
    switch (riga.azione) {
    case RigaDiComando::Azione::Rispondi:
        std::fputs(qUtf8Printable(riga.risposta), riga.suErrori ? stderr : stdout);
        return riga.stato;
    case RigaDiComando::Azione::Pdf:
        preparaApplicazione();
        return rapportiPdf(riga.cartella, riga.file, riga.formato, riga.procedimento);
    case RigaDiComando::Azione::Omi:
        return quotazioniOmiDaRigaDiComando(riga.omi, stdout, stderr);
    case RigaDiComando::Azione::Avvia:
        break;
    }
    avviaPerix();
    if (!riga.file.isEmpty())
        apriDaRigaDiComando(riga.file);
    return QApplication::exec();
}

int quotazioniOmiDaRigaDiComando(const QStringList &argomenti, FILE *uscita, FILE *errori)
{
    const auto errore = [errori](const QString &m) {
        std::fputs(qUtf8Printable(QStringLiteral("%1: %2\n").arg(programma, m)), errori);
        return statoFileNonRiusciti;
    };
    if (argomenti.isEmpty())
        return errore(QStringLiteral("manca il FILE delle quotazioni OMI"));
    QString motivo;
    const auto q = caricaQuotazioniOmi(argomenti[0], &motivo);
    if (!q)
        return errore(motivo);
    QString testo;
    if (argomenti.size() < 2) {
        testo = QStringLiteral("Semestre %1\n%2 comuni, %3 zone, %4 quotazioni\n")
                    .arg(q->semestre().isEmpty() ? QStringLiteral("non indicato") : q->semestre())
                    .arg(q->comuni().size())
                    .arg(q->numeroZone())
                    .arg(q->quotazioni());
        if (q->righeNonLette() > 0)
            testo += q->righeNonLette() == 1 ? QStringLiteral("1 riga non letta\n")
                                             : QStringLiteral("%1 righe non lette\n").arg(q->righeNonLette());
    } else {
        const QList<int> trovati = q->comuniDiNome(argomenti[1]);
        if (trovati.isEmpty())
            return errore(QStringLiteral("nessun comune «%1» nel file delle quotazioni OMI").arg(argomenti[1]));
        if (trovati.size() > 1) {
            QStringList nomi;
            for (int c : trovati)
                nomi << q->comuni()[std::size_t(c)].visibile();
            return errore(QStringLiteral("«%1» è il nome di più comuni: %2; aggiungere la provincia fra parentesi, "
                                         "ad esempio «%3»")
                              .arg(argomenti[1], nomi.join(QStringLiteral(", ")), nomi.first()));
        }
        const ComuneOmi &c = q->comuni()[std::size_t(trovati.first())];
        const QString zona = argomenti.size() > 2 ? argomenti[2].trimmed() : QString();
        const QList<QuotazioneOmi> righe = q->quotazioniDi(trovati.first(), zona);
        if (righe.isEmpty())
            return errore(QStringLiteral("nessuna zona «%1» per il comune %2 nel file delle quotazioni OMI")
                              .arg(zona, c.visibile()));
        // Tabs and line ends inside a field would shift the columns: blanks in their place.
        const auto pulito = [](QString s) {
            for (QChar &ch : s)
                if (ch == u'\t' || ch == u'\n' || ch == u'\r')
                    ch = u' ';
            return s;
        };
        for (const QuotazioneOmi &r : righe) {
            QStringList campi{c.nome, c.provincia, r.zona, r.fascia, r.descrizione, r.tipologia, r.stato,
                              r.prevalente ? QStringLiteral("P") : QString(), r.minimo, r.massimo, r.superficie};
            for (QString &campo : campi)
                campo = pulito(campo);
            testo += campi.join(u'\t') + u'\n';
        }
    }
    std::fputs(testo.toUtf8().constData(), uscita);
    std::fflush(uscita);
    return statoRiuscito;
}

bool apriDaRigaDiComando(const QStringList &file)
{
    // As after the splash's click: the music paused, the splash behind the windows.
    if (frmSplash *s = registro::seEsiste<frmSplash>())
        s->musica().pausa();
    bool tutti = true;
    for (const QString &f : file) {
        QString motivo;
        const auto tipo = tipoArchivio(f, &motivo);
        bool letto = false;
        if (!tipo) {
            dialoghi::stop(nullptr, impossibileAprire(f, motivo), Modulo::titolocontrollo);
        } else {
            FinestraStima *finestra = finestraDi(*tipo);
            letto = apriNellaFinestra(*tipo, finestra, f);
            if (letto) {
                finestra->show();
                finestra->raise();
                finestra->activateWindow();
            }
        }
        if (!letto) {
            Modulo::vaiamenu();
            tutti = false;
        }
    }
    return tutti;
}

namespace {

// The report's figures computed from the fields as the window would show them, built into
// its document; nothing, with the window's own refusal, when it would print nothing.
std::unique_ptr<Document> documentoDiCampi(TipoArchivio tipo, const QList<Campo> &campi, const QByteArray &dati,
                                           const QString &file, bool procedimento, QString *motivo)
{
    // The job's data after the record (checked whole before), the surveyor of the settings.
    const Allegato allegato = allegatoDaDati(dati).value_or(Allegato{});
    const Frontespizio frontespizio{allegato.incarico, leggiTecnico(), QFileInfo(file).fileName()};
    const auto costruisci = [&](auto d, auto costruttore) -> std::unique_ptr<Document> {
        if (!d)
            return nullptr;
        d->frontespizio = frontespizio;
        return costruttore(*d);
    };
    switch (tipo) {
    case TipoArchivio::Menu: {
        // The command line says whether the calculation trail is printed, never a setting
        // left by a window session: the same command gives the same documents.
        auto d = datiRapportoMenu(campi, motivo);
        if (d) {
            d->procedimento = procedimento;
            fontiDaAllegato(*d, allegato);
        }
        return costruisci(d, documentoMenu);
    }
    case TipoArchivio::Disaggregati:
        return costruisci(datiRapportoDisaggregati(campi, motivo), documentoDisaggregati);
    case TipoArchivio::Sintetici: return costruisci(datiRapportoSintetici(campi, motivo), documentoSintetici);
    case TipoArchivio::Tipologie: return costruisci(datiRapportoTipologie(campi, motivo), documentoTipologie);
    case TipoArchivio::Altezze: return costruisci(datiRapportoAltezze(campi, motivo), documentoAltezze);
    case TipoArchivio::Percentuali: break;
    }
    return nullptr;
}

// The same figures as a spreadsheet: the writer that fills the workbook, or nothing with
// the same refusal.
Scrittore foglioDiCampi(TipoArchivio tipo, const QList<Campo> &campi, bool procedimento, QString *motivo)
{
    const auto scrittore = [](const auto &dati, auto scrivi) -> Scrittore {
        if (!dati)
            return {};
        return [d = *dati, scrivi](QIODevice &dispositivo, QString *m) { return scrivi(d, dispositivo, m, {}); };
    };
    switch (tipo) {
    case TipoArchivio::Menu: {
        auto d = datiRapportoMenu(campi, motivo);
        if (d)
            d->procedimento = procedimento;
        return scrittore(d, scriviFoglioMenu);
    }
    case TipoArchivio::Disaggregati:
        return scrittore(datiRapportoDisaggregati(campi, motivo), scriviFoglioDisaggregati);
    case TipoArchivio::Sintetici: return scrittore(datiRapportoSintetici(campi, motivo), scriviFoglioSintetici);
    case TipoArchivio::Tipologie: return scrittore(datiRapportoTipologie(campi, motivo), scriviFoglioTipologie);
    case TipoArchivio::Altezze: return scrittore(datiRapportoAltezze(campi, motivo), scriviFoglioAltezze);
    case TipoArchivio::Percentuali: break;
    }
    return {};
}

struct CampiDiFile {
    TipoArchivio tipo;
    QList<Campo> campi;
    QByteArray dati; // the whole file: the appendix after the record too
};

// The record's fields of the file, checked, or why there is no document of it. The steps run
// in order and the first that fails gives the reason: the kind, the record, the figures.
std::optional<CampiDiFile> campiDiFile(const QString &file, QString *motivo)
{
    const auto nessuno = [motivo](const QString &perche) -> std::optional<CampiDiFile> {
        falso(motivo, perche);
        return std::nullopt;
    };
    QString perche;
    const auto tipo = tipoArchivio(file, &perche);
    if (!tipo)
        return nessuno(impossibileAprire(file, perche));
    if (*tipo == TipoArchivio::Percentuali)
        return nessuno(QStringLiteral("un file di percentuali non ha un documento proprio (si apre nella finestra "
                                      "dei costi disaggregati, accanto ai dati di un file Perix-disaggr-)"));
    // Read once: every check and the report itself see the same bytes.
    const auto dati = leggiFile(file, &perche);
    if (!dati)
        return nessuno(impossibileAprire(file, perche));
    // The whole record is checked before anything is built from it: one laid out otherwise,
    // or with figures its window would question, never becomes a clean-looking document.
    if (const auto difetto = difettoArchivio(*tipo, *dati))
        return nessuno(impossibileAprire(file, *difetto));
    // The one reading the check approved, the window's Apri's too: the record's fields as
    // its lines hold them, nothing else.
    const auto campi = leggiRecord(*tipo, *dati, &perche);
    if (!campi)
        return nessuno(impossibileAprire(file, perche));
    // Figures the window's own check would question never become a clean-looking document.
    if (const auto no = *tipo == TipoArchivio::Menu ? rifiutoRecordMenu(*campi) : std::nullopt)
        return nessuno(*no);
    return CampiDiFile{*tipo, *campi, *dati};
}

// The document of the file's report, or why there is none.
std::unique_ptr<Document> documentoDiFile(const QString &file, bool procedimento, QString *motivo)
{
    const auto c = campiDiFile(file, motivo);
    return c ? documentoDiCampi(c->tipo, c->campi, c->dati, file, procedimento, motivo) : nullptr;
}

QString estensione(FormatoRapporto formato)
{
    switch (formato) {
    case FormatoRapporto::Pdf: return QStringLiteral(".pdf");
    case FormatoRapporto::Docx: return QStringLiteral(".docx");
    case FormatoRapporto::Xlsx: return QStringLiteral(".xlsx");
    }
    return {};
}

} // namespace

EsitoRapporto rapportoDiFile(const QString &file, const QString &uscita, FormatoRapporto formato,
                             Registrazione registrazione, bool procedimento)
{
    EsitoRapporto esito;
    std::unique_ptr<Document> documento;
    Scrittore scrivi;
    if (formato == FormatoRapporto::Xlsx) {
        if (const auto c = campiDiFile(file, &esito.motivo))
            scrivi = foglioDiCampi(c->tipo, c->campi, procedimento, &esito.motivo);
    } else if ((documento = documentoDiFile(file, procedimento, &esito.motivo))) {
        scrivi = [&](QIODevice &d, QString *m) {
            return formato == FormatoRapporto::Pdf ? documento->exportPdf(d, m) : scriviDocx(*documento, d, m);
        };
    }
    if (!scrivi)
        return esito;

    QString motivo;
    // A link is never followed nor a FIFO opened: the file lands under its own name, nowhere else.
    const bool scritto = scriviAtomico(uscita, scrivi, &motivo,
                                       {.soloFileNormali = true, .motiviInItaliano = false,
                                        .registrazione = registrazione});
    if (!scritto) {
        esito.motivo = QStringLiteral("Impossibile scrivere il documento %1: %2")
                           .arg(QDir::toNativeSeparators(uscita), motivo);
        return esito;
    }
    esito.riuscito = true;
    esito.pagine = documento ? documento->pageCount() : 0;
    return esito;
}

int rapportiPdf(const QString &cartella, const QStringList &file, FormatoRapporto formato, bool procedimento)
{
    if (!QDir().mkpath(cartella) || !QFileInfo(cartella).isDir()) {
        scriviErrori(QStringLiteral("%1: impossibile creare la cartella %2").arg(programma, QDir::toNativeSeparators(cartella)));
        return statoFileNonRiusciti;
    }
    const QSet<QString> ingressi = percorsiDati(file);
    const auto n = file.size();
    QStringList uscite, chiavi;
    QHash<QString, int> quante; // files giving each document
    for (const QString &f : file) {
        uscite << QDir(cartella).filePath(QFileInfo(f).fileName() + estensione(formato));
        chiavi << QFileInfo(uscite.last()).absoluteFilePath();
        ++quante[chiavi.last()];
    }
    QSet<QString> scritti;
    int riusciti = 0;
    LavoriDelLotto l;
    l.quanti = n;
    // Two files giving the same document are done here, in order: the second is refused
    // only if the first was written.
    l.divisibile = [&](qsizetype i) { return quante.value(chiavi[i]) == 1; };
    l.fai = [&](qsizetype i) {
        EsitoRapporto e;
        if (percorsiDati({uscite[i]}).intersects(ingressi))
            e.motivo = QStringLiteral("il documento %1 prenderebbe il posto di un file da convertire: "
                                      "scegliere un'altra CARTELLA")
                           .arg(QDir::toNativeSeparators(uscite[i]));
        else if (scritti.contains(chiavi[i]))
            e.motivo = QStringLiteral("un altro file con lo stesso nome ha già dato %1 in questa esecuzione")
                           .arg(QDir::toNativeSeparators(uscite[i]));
        else
            e = rapportoDiFile(file[i], uscite[i], formato, Registrazione::AFineLotto, procedimento);
        if (e.riuscito)
            scritti.insert(chiavi[i]);
        return e;
    };
    l.fatto = [&](qsizetype i, const EsitoRapporto &e) {
        const QString capo = QStringLiteral("[%1/%2] %3: ").arg(i + 1).arg(n).arg(QDir::toNativeSeparators(file[i]));
        if (e.riuscito) {
            ++riusciti;
            scriviErrori(capo + (e.pagine > 0 ? QStringLiteral("creato %1 (%2)").arg(QDir::toNativeSeparators(uscite[i]), pagine(e.pagine))
                                              : QStringLiteral("creato %1").arg(QDir::toNativeSeparators(uscite[i]))));
        } else {
            scriviErrori(capo + QStringLiteral("NON RIUSCITO: ") + e.motivo);
        }
    };
    eseguiLotto(l);
    // One flush for the whole batch instead of one per document: the run says it is done
    // only once every document it created is on the disk.
    if (riusciti > 0 && !registraLottoSuDisco(cartella)) {
        scriviErrori(QStringLiteral("%1: i documenti creati in %2 potrebbero non essere stati registrati sul disco")
                         .arg(programma, QDir::toNativeSeparators(cartella)));
        return statoFileNonRiusciti;
    }
    const auto falliti = n - riusciti;
    scriviErrori(QStringLiteral("%1: %2 in %3, %4")
                     .arg(programma,
                          riusciti == 1 ? QStringLiteral("1 documento creato")
                                        : QStringLiteral("%1 documenti creati").arg(riusciti),
                          QDir::toNativeSeparators(cartella),
                          falliti == 1 ? QStringLiteral("1 file non riuscito")
                                       : QStringLiteral("%1 file non riusciti").arg(falliti)));
    return falliti == 0 ? statoRiuscito : statoFileNonRiusciti;
}

} // namespace perix
