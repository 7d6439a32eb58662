#pragma once
// The command line: `perix [FILE]...` opens archive files in the windows of their kind,
// `perix --pdf CARTELLA FILE...` turns them into the reports their windows print, and
// `perix --xlsx CARTELLA FILE...` into spreadsheets of the same figures, without a window or
// a display; --help and --version answer at once.

#include "core/scrittura.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace perix {

enum class FormatoRapporto { Pdf, Docx, Xlsx };

struct RigaDiComando {
    // Pdf: the files converted into a folder, as --pdf or --xlsx asks (`formato`).
    enum class Azione { Avvia, Pdf, Rispondi, Omi };
    Azione azione = Azione::Avvia;
    FormatoRapporto formato = FormatoRapporto::Pdf;
    QStringList file;  // the archive files named
    QString cartella;  // --pdf, --xlsx: where the documents go
    QStringList omi;   // --omi: the file, then the comune and the zone when given
    // Rispondi: what to print (help, version or the mistake), where, and the exit status.
    QString risposta;
    bool suErrori = false;
    int stato = 0;
};

// Exit statuses of the command line.
inline constexpr int statoRiuscito = 0;
inline constexpr int statoFileNonRiusciti = 1;
inline constexpr int statoUsoErrato = 2;

// Reads the arguments that follow the program's name; prints nothing.
RigaDiComando leggiRigaDiComando(const QStringList &argomenti);
// The same before the application exists, from main's arguments; where a window system
// needs a display and there is none, a plain start is answered with why.
RigaDiComando leggiRigaDiComando(int argc, char *argv[]);
QString testoAiuto();
QString testoVersione();

// Before the application is made: the reports are drawn on the offscreen platform, so that
// no window can ever reach a screen and none is needed.
void preparaPiattaforma(const RigaDiComando &riga);

// With the application made: does what the line asks and returns the exit status (the
// event loop's, when windows are shown).
int eseguiRigaDiComando(const RigaDiComando &riga);

// `perix --omi FILE [COMUNE [ZONA]]`: the file's semester and counts, or one line per
// quotation of the comune (and zone), tab-separated, on `uscita`; the reason on `errori`.
// The exit status.
int quotazioniOmiDaRigaDiComando(const QStringList &argomenti, FILE *uscita, FILE *errori);

// Each file opened in the window of its kind exactly as that window's Apri does, the
// splash left behind as after its click. A file that cannot be opened is told in the
// usual stop message and the main window comes forward. True when every file was read.
bool apriDaRigaDiComando(const QStringList &file);

struct EsitoRapporto {
    bool riuscito = false;
    QString motivo; // why not, in Italian, as the window said it
    int pagine = 0;
};

// The report the file's window prints after opening it in a fresh session, written to
// `uscita` (as a spreadsheet of the same figures with FormatoRapporto::Xlsx). It is computed from the file's record alone: no window is made and the shared
// state is neither read nor changed, so each file's report depends on that file alone.
// Only a regular file or a free name is written: a link, a folder, a FIFO or a device at
// `uscita` is refused before anything is written, with the system's reason.
EsitoRapporto rapportoDiFile(const QString &file, const QString &uscita,
                             FormatoRapporto formato = FormatoRapporto::Pdf,
                             Registrazione registrazione = Registrazione::Subito);

// `rapportoDiFile` for every file into `cartella` as "<file name>.pdf" (".xlsx", ".docx"),
// one line of progress each on standard error; the exit status.
int rapportiPdf(const QString &cartella, const QStringList &file, FormatoRapporto formato = FormatoRapporto::Pdf);

} // namespace perix
