#pragma once
// The tips file: one tip per line, read whole into a list. Qt Core only.
//
// A line ends at CR LF, CR or LF; the end is not part of the tip, and a file that ends
// with a line end has no empty tip after it. Every other line is a tip, empty ones
// included; control and invisible format characters (bidi controls, zero-width spaces)
// are dropped from it. Valid UTF-8 is read as such (a leading byte-order mark dropped), anything
// else as Windows-1252, the code page older versions wrote.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace perix {

// The tips file is a few kilobytes; a larger one is read only up to these caps, so a
// wrong file picked by name cannot fill memory or hold the window for long.
inline constexpr qint64 suggerimentiByteMassimi = 1024 * 1024;
inline constexpr int suggerimentiMassimi = 10000;

// The tips held by the bytes, at most suggerimentiMassimi.
QStringList dividiSuggerimenti(QByteArray dati);

// The tips of the file at `percorso`, its first suggerimentiByteMassimi bytes (cut at
// the last line end within them). Nothing when the name is empty or the file is missing,
// is not a regular file, or cannot be read.
std::optional<QStringList> leggiSuggerimenti(const QString &percorso);

} // namespace perix
