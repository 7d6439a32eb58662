#pragma once
// What the document (documento.cpp) lends its ranges, tables and selection (selezione.cpp):
// paragraphs typed in, cell formats, and the look of table format 9.

#include <QColor>
#include <QString>
#include <QTextCursor>
#include <QTextFormat>
#include <QTextTable>

namespace perix {

QTextBlockFormat withoutBreak(QTextBlockFormat f);
// Inserts text at c; each "\r" starts a new paragraph shaped like `paragraph`.
void insertParagraphs(QTextCursor &c, const QString &text, const QTextCharFormat &type,
                      const QTextBlockFormat &paragraph);
void mergeCellFormat(QTextTableCell cell, const QTextCharFormat &change);

// The grid colour and heading row of table format `format` (0: none).
void setTableLook(QTextTableFormat &table, int format);
// The shading of row `row` (from 0) under `format`; invalid for none.
QColor rowShade(int row, int format);
// The type of format 9's heading row: bold, light on the dark shade.
QTextCharFormat headingType();

} // namespace perix
