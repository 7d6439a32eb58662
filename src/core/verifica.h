#pragma once
// Whether an archive file holds its kind's record exactly as the program writes it, and
// whether its figures are ones its window would take without a question. A field too
// many, or a blank line in between, moves every later value into the wrong place; a
// figure that is no number prints as if it were one. Qt Core only.
//
// Each check takes the record and gives the reason, in Italian, or nothing when all is well.

#include "core/campi.h"
#include "core/tipi.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace perix {

// Why the lines are not laid out as a record of `tipo`: another kind's record, lines too
// many or too few, a line with fields too many or too few, a blank line between them, a
// text without its quotes. Blank lines at the end are allowed. Nothing when they are.
std::optional<QString> difettoForma(TipoArchivio tipo, const QList<QList<Campo>> &righe);

// Why a record laid out as its kind's holds a figure no window of the program ever holds,
// so that reading it would show or print something else than the file says: a control or
// invisible character in a figure, digits other than 0-9, a stored result that is not a
// whole amount as the windows write it ("1,500", "1e3", "NaN", "-5" for a cost), a column
// of results filled only in part. Nothing when every figure can be taken as it stands.
// Both a window's Apri and a report made without a window refuse such a record.
std::optional<QString> difettoLettura(TipoArchivio tipo, const QList<QList<Campo>> &righe);

// The one reading of a record of `tipo`: the lines before any appendix, checked with
// difettoForma and difettoLettura, and their fields in file order. Nothing, with the
// reason, when the bytes are not text or the record fails either check.
std::optional<QList<Campo>> leggiRecord(TipoArchivio tipo, const QByteArray &dati, QString *motivo = nullptr);

// Why a record laid out as its kind's holds figures its window's data check would refuse
// or its notes would question: a missing currency caption, a market value, cost or grid
// cell that is no number, a cost that is empty, negative or too large, no chosen row.
// Nothing when they are fine. The lines must already pass difettoForma; difettoLettura
// is asked first.
std::optional<QString> difettoDati(TipoArchivio tipo, const QList<QList<Campo>> &righe);

// Both checks on the bytes of a file (which must be text): what a report made without a
// window asks before it uses a single value.
std::optional<QString> difettoArchivio(TipoArchivio tipo, const QByteArray &dati);
// The same on a file read whole (a file that cannot be read gives why).
std::optional<QString> difettoArchivio(TipoArchivio tipo, const QString &percorso);

} // namespace perix
