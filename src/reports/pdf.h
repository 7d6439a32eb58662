#pragma once
// A document's pages written straight into a PDF, from the page layout (impaginazione.h):
// the cells' shading and grid as filled rectangles, the text as the glyphs the layout placed,
// pictures as images. Every file is PDF/A-1b: XMP metadata, the sRGB output intent, an
// identifier, fonts embedded as subsets (see pdf_caratteri.h) with the characters each glyph
// stands for, so the text can be searched and copied; pictures opaque and lossless. The same
// document gives the same bytes, dated by SOURCE_DATE_EPOCH where it is set.

class QIODevice;
class QString;

namespace perix {

class Document;

// False, with the reason in Italian, when the device does not take the whole file.
bool scriviPdf(const Document &documento, QIODevice &dispositivo, QString *motivo = nullptr);

} // namespace perix
