#pragma once
// The fonts of the PDF writer (pdf.cpp): each face's glyph outlines, read once per program
// run and kept for the next document, and the compact font (CFF) subsets embedded from them.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QRectF>
#include <QString>

namespace perix {

// Outlines are taken at 1000 pixels to the em, the glyph space of a compact font (CFF) whose
// font matrix is the default thousandth.
inline constexpr double glyphSpace = 1000;

struct Glyph {
    QByteArray charString; // the outline as a Type 2 charstring
    double advance = 0;
};

struct Face {
    QRawFont outlines; // at glyphSpace pixels
    QByteArray name;   // as PDF names it: "URWGothic-Book"
    QHash<quint32, Glyph> glyphs;
    QHash<quint32, char32_t> characters;
    QRectF box; // of every glyph read so far, for the font's bounding box
    double ascent = 0, descent = 0;

    const Glyph &glyph(quint32 index);
    // What the glyph stands for: a ligature ("ﬁ") as the letters it joins.
    QString text(quint32 index) const;
};

// The face of a font met in a text layout, read the first time it is met in this run.
Face &faceOf(const QRawFont &font);

// A compact font (CFF) of the given glyphs, the n-th of them named "g<n>" and drawn by the
// n-th code of the PDF font: what a PDF reader rasterises as it does any embedded font.
QByteArray compactFont(Face &face, const QList<quint32> &glyphs);

// The character map (ToUnicode) of a subset: the text of each code that has one.
QByteArray unicodeMap(const QHash<int, QString> &texts);

} // namespace perix
