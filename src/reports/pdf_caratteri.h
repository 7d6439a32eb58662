#pragma once
// The fonts of the PDF writer (pdf.cpp). A face is read once per program run: its metrics,
// the characters its glyphs stand for, and the HarfBuzz face the subsets are cut from. Each
// document embeds, per face, the subset of the glyphs it uses, cut by HarfBuzz's subsetter
// with the glyph ids kept (so the page's codes are the glyph ids): the compact font (CFF)
// table of an OpenType face, or the whole TrueType file of a TrueType one. Nothing a face
// holds depends on the documents written before.
//
// A face HarfBuzz cannot read (a Type 1 file, say) goes in as a Type 3 font: each glyph's
// outline, as Qt reads it, written as a PDF path.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <memory>

struct hb_face_t;
struct hb_font_t;

namespace perix {

struct Face {
    Face() = default;
    ~Face();
    Face(const Face &) = delete;
    Face &operator=(const Face &) = delete;

    enum class Kind { Cff, TrueType, Outlines };
    Kind kind = Kind::Outlines;
    QRawFont outlines; // at 1000 pixels to the em: outlines in thousandths of the em
    QByteArray name;   // as PDF names it: "URWGothic-Book"
    QHash<quint32, char32_t> characters; // the font's own map, glyph to character
    // In thousandths of the em, as PDF's font metrics are.
    QRectF box; // the font's bounding box (its head table), y upwards
    double ascent = 0, descent = 0, capHeight = 0, italicAngle = 0;

    // The glyph's advance in thousandths of the em: the font program's own.
    double advance(quint32 glyph) const;
    // What the glyph stands for in the font's map: a ligature ("ﬁ") as the letters it joins.
    QString text(quint32 glyph) const;
    // The font program of the subset holding `glyphs` (sorted), glyph ids kept: empty when
    // the subsetter fails. The last few are kept, since a batch asks for the same ones.
    QByteArray subset(const QList<quint32> &glyphs);
    // The glyph's outline as PDF path operators, y upwards, filled: for a Type 3 font.
    QByteArray path(quint32 glyph, QRectF *bounds = nullptr) const;

    hb_face_t *hb = nullptr;
    hb_font_t *hbFont = nullptr;
    double unitsPerEm = 1000;
    QList<std::pair<QList<quint32>, QByteArray>> subsets_;
};

// The face of a font met in a text layout, read the first time it is met in this run.
Face &faceOf(const QRawFont &font);

// The character map (ToUnicode) of a font: the text of each code that has one, codes of
// `bytes` bytes.
QByteArray unicodeMap(const QHash<int, QString> &texts, int bytes);

} // namespace perix
