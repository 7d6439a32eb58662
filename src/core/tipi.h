#pragma once
// The six kinds of archive file and how a file's kind is told: by the prefix its name
// starts with, or, for a file renamed by hand, by the shape of its record. Qt Core only.

#include "core/campi.h"

#include <QList>
#include <QString>
#include <optional>

namespace perix {

enum class TipoArchivio { Menu, Disaggregati, Percentuali, Sintetici, Tipologie, Altezze };

struct DescrizioneTipo {
    TipoArchivio tipo;
    QString prefisso; // "Perix-menu-"
    QString mime;     // "application/x-perix-menu", as the desktop knows the kind
};

// The six kinds, in the order of the windows.
const QList<DescrizioneTipo> &tipiArchivio();
const DescrizioneTipo &descrizioneTipo(TipoArchivio tipo);

// The kind whose prefix starts the file's name (the folder does not count; the case of
// the letters does not matter, as on the desktop that names the files).
std::optional<TipoArchivio> tipoDaNome(const QString &percorso);
// The lines of each kind's record, one letter per field: T a text in quotes, N a bare field
// (a chosen class: a number or nothing), P either (a typed percentage: a text, a number or
// nothing).
QList<QByteArray> formaRecord(TipoArchivio tipo);
// Whether the lines are laid out exactly as the kind's record, blank lines at the end apart
// (for the percentages, beyond their sixteen lines): the shape that tells a window's own
// record from another file read through "Tutti i file".
bool haForma(TipoArchivio tipo, const QList<QList<Campo>> &righe);

// The kind whose record the lines hold; nothing when they hold none of them.
std::optional<TipoArchivio> tipoDaRighe(const QList<QList<Campo>> &righe);
// The kind by name, otherwise by content. Nothing (and why, in Italian) when the file
// cannot be read or is no archive of the program.
std::optional<TipoArchivio> tipoArchivio(const QString &percorso, QString *motivo = nullptr);

} // namespace perix
