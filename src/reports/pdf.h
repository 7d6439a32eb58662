#pragma once
// A document's pages written straight into a PDF, from the page layout (impaginazione.h):
// the cells' shading and grid as filled rectangles, the text as the glyphs the layout placed,
// pictures as images. Each font goes in as a subset holding the outlines of the glyphs the
// document uses (a compact font, CFF), with the characters they stand for, so the text can
// be searched and copied; the outlines are kept for the next document, so a batch reads each
// glyph once.

class QIODevice;
class QString;

namespace perix {

class Document;

// False, with the reason in Italian, when the device does not take the whole file.
bool scriviPdf(const Document &documento, QIODevice &dispositivo, QString *motivo = nullptr);

} // namespace perix
