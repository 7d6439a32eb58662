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
bool scriviUscita(const QString &percorso, const std::function<bool(QIODevice &, QString *)> &scrivi,
                  QString *motivo = nullptr);

} // namespace perix
