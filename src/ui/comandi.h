#pragma once
// The open, save and delete commands shared by the estimation windows: each window
// only says which files are its own and what its record holds.

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "ui/dialoghi.h"
#include "core/allegato.h"
#include "core/campi.h"

class QWidget;

namespace perix {

struct DescrizioneArchivio {
    QString prefisso{};     // "Perix-menu-": names the window's files in the dialogs' filter
    QString titoloApri{};   // "Apri file (menu)"
    QString nomeProposto{}; // proposed in every dialog; empty for the window records,
                            // whose save dialog proposes the prefix
    // The percentages file saves through the open dialog's filters ("Tutti i file" too,
    // the prefix preselected) instead of the prefix alone.
    bool salvaConTuttiIFile = false;
    // Tells the window's own record from any other file opened through "Tutti i file":
    // "Salva" then asks for a name instead of overwriting that file. Every line with its
    // fields. No test: every file counts as the window's own.
    std::function<bool(const QList<QList<Campo>> &righe)> riconosci{};
};

// {"Tutti i file", "*.*"} then the prefix's own filter: the open and delete dialogs.
QList<dialoghi::Filtro> filtriApertura(const DescrizioneArchivio &archivio);
// {"File <prefisso> ", "<prefisso>*"}.
dialoghi::Filtro filtroPrefisso(const DescrizioneArchivio &archivio);

// Open: asks for a file and reads its first `quantiCampi` fields. Cancelling gives
// nothing silently; a file that cannot be read is reported in a stop message titled
// `titoloMessaggi`, gives nothing and leaves `nomefile` as it was; otherwise `nomefile`
// takes the chosen name.
// A file read but not recognised as the window's record leaves `nomefile` empty. A file
// whose name starts with the window's prefix but whose lines are not laid out as its
// record (a field too many, a blank line in between, another kind's record) is reported
// as one that cannot be read: its values would land in the wrong places.
// `letto`, when given, gets the file read whatever `nomefile` becomes; `allegato`, the job's
// data and the figures' sources that follow the record (a file whose appendix is damaged is
// one that cannot be read).
std::optional<QList<Campo>> apriArchivio(QWidget *parent, const DescrizioneArchivio &archivio,
                                         QString &nomefile, int quantiCampi,
                                         const QString &titoloMessaggi, QString *letto = nullptr,
                                         Allegato *allegato = nullptr);

// A file chosen before its Apri runs: the command line names a file, and the window's own
// Apri then takes it as the open dialog's answer instead of asking, so the file goes
// through exactly the reading and checks the user's choice would. Only the first open
// while this lives takes it.
class FileGiaScelto
{
public:
    explicit FileGiaScelto(const QString &percorso);
    ~FileGiaScelto();
    FileGiaScelto(const FileGiaScelto &) = delete;
    FileGiaScelto &operator=(const FileGiaScelto &) = delete;

    bool preso() const; // an Apri took the file
    bool letto() const; // and the window took what it holds
};

// Runs `apri` (a window's Apri) on `dati` as if the user had chosen a file named `nome` that
// holds them: the bytes go through exactly the reading and checks of a chosen file. True when
// the window took what they hold. The file lives in a temporary folder only meanwhile.
bool apriDaDati(const QString &nome, const QByteArray &dati, const std::function<void()> &apri);

// The window refuses the record apriArchivio read (a field it questions): says why in a
// stop message (when there is a reason), and a file named before the command counts as
// not read.
void rifiutaRecordAperto(QWidget *parent, const QString &percorso, const QString &motivo,
                         const QString &titoloMessaggi);

// The name a file is saved under: the chosen one, its prefix put in front when it lacks
// it ("Lotto via Roma" -> "Perix-menu-Lotto via Roma"), so that Apri lists it.
QString nomeConPrefisso(const QString &percorso, const QString &prefisso);

// Save: asks for a name only when `nomefile` is empty (cancelling writes nothing and
// says nothing) and gives it the prefix it lacks, asking before replacing a file that
// has that full name; then replaces that file with the record. False when nothing was
// saved; a failed save is reported in a stop message titled `titoloMessaggi`.
bool salvaArchivio(QWidget *parent, const DescrizioneArchivio &archivio, QString &nomefile,
                   const QString &titoloDialogo, const Record &record,
                   const QString &titoloMessaggi);

// Moves the file into the desktop's trash; false where there is no trash to move it to
// (the file is then where it was).
bool cestina(const QString &percorso);

// Delete: asks for a file in an open dialog titled `titoloElimina` and moves it to the
// desktop's trash at once (deletes it where there is no trash), without confirmation. `nomefile` keeps the deleted name, so a later save writes it again.
bool eliminaArchivio(QWidget *parent, const DescrizioneArchivio &archivio, QString &nomefile,
                     const QString &titoloElimina, const QString &titoloMessaggi);

} // namespace perix
