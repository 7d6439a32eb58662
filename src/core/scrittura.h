#pragma once
// Files written in one step: the new content goes to a temporary file beside the final one,
// reaches the disk, and only then takes the final name, so a failed or interrupted write
// never damages the file that was there and never leaves half a file behind. Qt Core only.

#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace perix {

// Fills the new file's content through `dispositivo`, open for writing; false, with the
// reason, when it cannot.
using Scrittore = std::function<bool(QIODevice &dispositivo, QString *motivo)>;

// When the data reach the disk: before the call returns, or, for a run that writes many
// new files, once at its end (registraLottoSuDisco). A file being replaced is put on the
// disk before the rename all the same, so a crash never costs a good old file.
enum class Registrazione { Subito, AFineLotto };

struct ModoScrittura {
    // Whatever is not a regular file at the name (a symbolic link, a folder, a FIFO, a
    // device) is refused before anything is written: a link is never followed, a FIFO never
    // opened, and the rename replaces the name itself. Otherwise the file is saved through
    // QSaveFile, which writes to the target of a link the user chose.
    bool soloFileNormali = false;
    // The reason of a failure in Italian, one for each step; otherwise the system's own.
    bool motiviInItaliano = true;
    Registrazione registrazione = Registrazione::Subito;
};

// The user's documents (exports, .docx copies): a link is followed, the system says why.
inline constexpr ModoScrittura modoDocumento{.motiviInItaliano = false};

// Replaces the file at `percorso` with what `scrivi` writes, in one step. A new file gets
// the permissions a plain new file would, a replaced one keeps its own. False, with the
// reason in `motivo`, on failure; the file that was there is then untouched.
bool scriviAtomico(const QString &percorso, const Scrittore &scrivi, QString *motivo = nullptr,
                   ModoScrittura modo = {});

// Puts on the disk everything written so far in `cartella`'s file system, and the folder's
// names with it. False when the system says it could not.
bool registraLottoSuDisco(const QString &cartella);

// Sets the reason, where one is asked for; false.
bool falso(QString *motivo, const QString &perche);
// The same for routines that return nothing when they refuse.
inline std::nullopt_t rifiuta(QString *motivo, const QString &perche)
{
    falso(motivo, perche);
    return std::nullopt;
}

} // namespace perix
