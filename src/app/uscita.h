#pragma once
// Files the command line writes: each lands in the folder the user named, under its own
// name, and nowhere else.

#include <QString>
#include <functional>
#include <optional>

class QIODevice;

namespace perix {

// Why the file at `percorso` cannot be replaced by a new one: something other than a
// regular file stands there (a symbolic link, a folder, a FIFO, a device, a socket).
// Nothing when the name is free or holds a regular file.
std::optional<QString> ostacoloUscita(const QString &percorso);

// Writes through `scrivi` into a temporary file beside `percorso`, puts it on the disk and
// then renames it over `percorso`, so an interrupted run never leaves half a file in place
// of a good one. Whatever ostacoloUscita refuses is refused before anything is written:
// a link is never followed, a FIFO never opened. False, with the reason, on failure, and
// nothing is left behind.
// `Registrazione::AFineLotto` is for a run that writes many new files and calls
// registraLottoSuDisco once at its end: a new name is only renamed into place, while a file
// being replaced is still put on the disk before the rename, so a crash never costs a good
// old file.
enum class Registrazione { Subito, AFineLotto };
bool scriviUscita(const QString &percorso, const std::function<bool(QIODevice &, QString *)> &scrivi,
                  QString *motivo = nullptr, Registrazione registrazione = Registrazione::Subito);

// Puts on the disk everything written so far in `cartella`'s file system, and the folder's
// names with it. False when the system says it could not.
bool registraLottoSuDisco(const QString &cartella);

} // namespace perix
