#pragma once
// The word processor's own format: a QTextDocument written as WordprocessingML (.docx).
// Paragraphs keep font, size, bold, italics, colour, alignment, spacing and page breaks;
// tables keep their column widths, cell text, shading, heading rows and grid lines; the
// section keeps the page size and margins.

#include <QByteArray>
#include <QString>

class QIODevice;
class QTextDocument;

namespace perix {

// Writes the whole .docx to a device open for writing. False, with the reason, when the
// package cannot be made or the device does not take all of it.
bool scriviDocx(const QTextDocument &documento, QIODevice &dispositivo, QString *motivo = nullptr);

// The same into a file, replaced atomically: a failed save leaves the old file as it was.
bool scriviDocx(const QTextDocument &documento, const QString &percorso, QString *motivo = nullptr);

// The package in memory (empty, with the reason, on failure).
QByteArray componiDocx(const QTextDocument &documento, QString *motivo = nullptr);

} // namespace perix
