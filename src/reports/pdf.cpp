#include "reports/pdf.h"

#include "reports/documento.h"
#include "reports/impaginazione.h"
#include "reports/pdf_caratteri.h"

#include "core/scrittura.h"

#include <QBuffer>
#include <QDateTime>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QIODevice>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include <zlib.h>

namespace perix {

namespace {

// ---- numbers and strings as PDF writes them (never the locale's) --------------------------

// Two decimals at most, which is a thousandth of a point in layout units.
void number(QByteArray &out, double v)
{
    if (!std::isfinite(v) || std::abs(v) > 1e15) {
        out += '0';
        return;
    }
    qint64 n = std::llround(v * 100);
    char digits[32];
    int i = sizeof digits;
    const int cents = int(std::abs(n % 100));
    if (cents != 0) {
        if (cents % 10 != 0)
            digits[--i] = char('0' + cents % 10);
        digits[--i] = char('0' + cents / 10);
        digits[--i] = '.';
    }
    qint64 whole = std::abs(n / 100);
    do {
        digits[--i] = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (n < 0)
        digits[--i] = '-';
    out.append(digits + i, qsizetype(sizeof digits) - i);
}

// Numbers separated by blanks, as an operator's operands are.
QByteArray operands(std::initializer_list<double> values)
{
    QByteArray out;
    for (double v : values) {
        if (!out.isEmpty())
            out += ' ';
        number(out, v);
    }
    return out;
}

// A text string: UTF-16 with its byte order mark, in hexadecimal.
QByteArray textString(const QString &s)
{
    QByteArray out = "<FEFF";
    for (QChar c : s)
        out += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    return out + '>';
}

// A zlib stream, as PDF's FlateDecode reads it. One compressor for the program's run, reset
// for each stream: setting one up costs more than compressing a page.
class Compressor
{
public:
    Compressor(int level, int window, int memory)
    {
        ready_ = deflateInit2(&z_, level, Z_DEFLATED, window, memory, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Compressor()
    {
        if (ready_)
            deflateEnd(&z_);
    }
    Compressor(const Compressor &) = delete;
    Compressor &operator=(const Compressor &) = delete;

    QByteArray operator()(const QByteArray &data)
    {
        if (!ready_ || deflateReset(&z_) != Z_OK)
            return {};
        QByteArray out(qsizetype(deflateBound(&z_, uLong(data.size()))), Qt::Uninitialized);
        z_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
        z_.avail_in = uInt(data.size());
        z_.next_out = reinterpret_cast<Bytef *>(out.data());
        z_.avail_out = uInt(out.size());
        if (deflate(&z_, Z_FINISH) != Z_STREAM_END)
            return {};
        out.truncate(qsizetype(z_.total_out));
        return out;
    }

private:
    z_stream z_{};
    bool ready_ = false;
};

// Pages, glyphs and character maps are a few kilobytes: a small window does as well there.
QByteArray flate(const QByteArray &data)
{
    static Compressor small(Z_DEFAULT_COMPRESSION, 12, 6);
    return small(data);
}

// A picture is megabytes of mostly flat colour: the fastest level, a full window.
QByteArray flateImage(const QByteArray &data)
{
    static Compressor large(1, 15, 8);
    return large(data);
}

// The samples of a picture converted to `format`, row after row without padding.
QByteArray pixels(const QImage &image, QImage::Format format, int bytesPerPixel)
{
    const QImage converted = image.convertToFormat(format);
    QByteArray out;
    out.reserve(qsizetype(converted.width()) * converted.height() * bytesPerPixel);
    for (int y = 0; y < converted.height(); ++y)
        out.append(reinterpret_cast<const char *>(converted.constScanLine(y)), converted.width() * bytesPerPixel);
    return out;
}

// ---- one document ----------------------------------------------------------------------------

// A font of the document: up to 256 glyphs of one face, one code each.
struct UsedFont {
    Face *face = nullptr;
    QList<quint32> glyphs; // by code
    QHash<int, QString> texts; // by code
};

class PdfDocument
{
public:
    explicit PdfDocument(const Document &doc) : doc_(doc), layout_(static_cast<const PageLayout &>(*doc.documentLayout())) {}

    QByteArray write();

private:
    QByteArray page(const PageLayout::Page &page);
    void text(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int from, int length,
              const QTextCharFormat &format);
    void picture(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int position,
                 const QTextCharFormat &format);
    struct Code {
        int font;
        int code;
        double advance; // in glyph space
    };
    Code code(Face &face, QHash<quint32, Code> &byGlyph, quint32 glyph, QChar fallback);

    // objects
    int reserve() { offsets_.append(0); return int(offsets_.size()); }
    void object(int n, const QByteArray &body)
    {
        offsets_[n - 1] = out_.size();
        out_ += QByteArray::number(n) + " 0 obj\n" + body + "\nendobj\n";
    }
    void stream(int n, const QByteArray &dictionary, const QByteArray &data)
    {
        object(n, "<<" + dictionary + " /Length " + QByteArray::number(data.size()) + ">>\nstream\n" + data + "\nendstream");
    }

    const Document &doc_;
    const PageLayout &layout_;
    QByteArray out_;
    QList<qsizetype> offsets_;
    QList<UsedFont> fonts_;
    QHash<Face *, QHash<quint32, Code>> codes_;
    QHash<Face *, int> open_;                                  // the face's font taking new glyphs
    QList<QImage> images_;
    QHash<QString, int> imageByName_;
    QRawFont lastFont_;
    Face *lastFace_ = nullptr;
    // What the current text state holds, to leave out what would repeat it.
    int font_ = -1;
    double size_ = -1;
    QColor fill_;
};

PdfDocument::Code PdfDocument::code(Face &face, QHash<quint32, Code> &byGlyph, quint32 glyph, QChar fallback)
{
    const auto it = byGlyph.constFind(glyph);
    if (it != byGlyph.constEnd())
        return it.value();
    int f = open_.value(&face, -1);
    if (f < 0 || fonts_[f].glyphs.size() >= 256) {
        fonts_.append(UsedFont{&face, {}, {}});
        f = int(fonts_.size() - 1);
        open_.insert(&face, f);
    }
    UsedFont &used = fonts_[f];
    const int c = int(used.glyphs.size());
    used.glyphs.append(glyph);
    QString t = face.text(glyph);
    if (t.isEmpty() && !fallback.isNull())
        t = fallback;
    if (!t.isEmpty())
        used.texts.insert(c, t);
    const Code result{f, c, face.glyph(glyph).advance};
    byGlyph.insert(glyph, result);
    return result;
}

void PdfDocument::text(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int from, int length,
                       const QTextCharFormat &format)
{
    const QBrush brush = format.foreground();
    const QColor fill = brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color();
    const QString chars = line.block.text().mid(from, length);
    const QList<QGlyphRun> runs = l.glyphRuns(from, length);
    for (const QGlyphRun &run : runs) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        if (glyphs.isEmpty())
            continue;
        const QRawFont raw = run.rawFont();
        if (!lastFace_ || !(raw == lastFont_)) {
            lastFont_ = raw;
            lastFace_ = &faceOf(raw);
        }
        Face &face = *lastFace_;
        QHash<quint32, Code> &byGlyph = codes_[&face];
        const double size = raw.pixelSize();
        // One glyph for one character: the character is the glyph's text where the font's
        // own map has none.
        const bool oneToOne = glyphs.size() == chars.size();
        if (fill != fill_) {
            out += operands({fill.redF(), fill.greenF(), fill.blueF()}) + " rg\n";
            fill_ = fill;
        }
        int current = -1;
        double x = 0, y = 0; // where the next glyph would go without adjustment
        bool open = false;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const auto [f, c, width] = code(face, byGlyph, glyphs[i], oneToOne ? chars.at(i) : QChar());
            const QPointF at = line.origin + positions[i];
            const double advance = width * size / glyphSpace;
            if (f != current || std::abs(at.y() - y) > 0.01) {
                if (open)
                    out += "] TJ\n";
                if (f != font_ || size != size_) {
                    out += "/F" + QByteArray::number(f) + ' ';
                    number(out, size);
                    out += " Tf\n";
                    font_ = f;
                    size_ = size;
                }
                out += "1 0 0 -1 " + operands({at.x(), at.y()}) + " Tm [";
                open = true;
                current = f;
            } else {
                const double adjust = (x - at.x()) * glyphSpace / size;
                if (std::abs(adjust) >= 0.05) {
                    out += ' ';
                    number(out, adjust);
                    out += ' ';
                }
            }
            const char hex[] = "0123456789abcdef";
            const char code[4] = {'<', hex[(c >> 4) & 15], hex[c & 15], '>'};
            out.append(code, 4);
            x = at.x() + advance;
            y = at.y();
        }
        if (open)
            out += "] TJ\n";
    }
}

void PdfDocument::picture(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int position,
                          const QTextCharFormat &format)
{
    const QTextImageFormat f = format.toImageFormat();
    const QString name = f.name();
    int index = imageByName_.value(name, -1);
    if (index < 0) {
        const QVariant v = doc_.resource(QTextDocument::ImageResource, QUrl(name));
        const QImage image = v.value<QImage>();
        if (image.isNull())
            return;
        images_.append(image);
        index = int(images_.size() - 1);
        imageByName_.insert(name, index);
    }
    // As big as the layout made it: the size its handler gives.
    const double x = l.cursorToX(position);
    QTextObjectInterface *handler = doc_.documentLayout()->handlerForObject(QTextFormat::ImageObject);
    if (!handler)
        return;
    const QSizeF size = handler->intrinsicSize(const_cast<Document *>(&doc_), position, format);
    const double baseline = l.y() + l.ascent();
    const QPointF topLeft = line.origin + QPointF(x, baseline - size.height());
    out += "q " + operands({size.width(), 0, 0, -size.height(), topLeft.x(), topLeft.y() + size.height()}) + " cm /Im"
         + QByteArray::number(index) + " Do Q\n";
}

QByteArray PdfDocument::page(const PageLayout::Page &page)
{
    QByteArray out;
    out.reserve(8192);
    const QSizeF paper = layout_.pageSize();
    // Layout units to points, y downwards as in the layout.
    out += "q " + operands({1.0 / Document::unitsPerPoint, 0, 0, -1.0 / Document::unitsPerPoint, 0}) + ' '
         + QByteArray::number(Document::points(paper.height()), 'f', 4) + " cm\n";
    QColor fill;
    for (const PageLayout::Fill &f : page.fills) {
        if (f.colour != fill) {
            out += operands({f.colour.redF(), f.colour.greenF(), f.colour.blueF()}) + " rg\n";
            fill = f.colour;
        }
        out += operands({f.rect.x(), f.rect.y(), f.rect.width(), f.rect.height()}) + " re f\n";
    }
    fill_ = fill;
    font_ = -1;
    size_ = -1;
    bool inText = false;
    for (const PageLayout::TextLine &line : page.lines) {
        const QTextLine l = line.block.layout()->lineAt(line.line);
        const int start = line.block.position();
        const int lineFrom = l.textStart(), lineTo = l.textStart() + l.textLength();
        for (QTextBlock::iterator it = line.block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(fragment.position() - start, lineFrom);
            const int to = std::min(fragment.position() - start + fragment.length(), lineTo);
            if (from >= to)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                if (inText) {
                    out += "ET\n";
                    inText = false;
                }
                for (int p = from; p < to; ++p)
                    picture(out, line, l, p, format);
                continue;
            }
            if (!inText) {
                out += "BT\n";
                inText = true;
                font_ = -1;
                size_ = -1;
            }
            text(out, line, l, from, to - from, format);
        }
    }
    if (inText)
        out += "ET\n";
    out += "Q\n";
    return out;
}

QByteArray PdfDocument::write()
{
    const QList<PageLayout::Page> &pages = layout_.pages();
    QList<QByteArray> contents;
    contents.reserve(pages.size());
    for (const PageLayout::Page &p : pages)
        contents.append(flate(page(p)));

    out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    const int catalog = reserve(), tree = reserve(), info = reserve(), resources = reserve();
    QList<int> pageObjects;
    for (qsizetype i = 0; i < pages.size(); ++i)
        pageObjects.append(reserve());

    const QSizeF paper = layout_.pageSize();
    const QByteArray media = "[0 0 " + QByteArray::number(Document::points(paper.width()), 'f', 4) + ' '
                           + QByteArray::number(Document::points(paper.height()), 'f', 4) + ']';
    object(catalog, "<< /Type /Catalog /Pages " + QByteArray::number(tree) + " 0 R >>");
    QByteArray kids;
    for (int p : pageObjects)
        kids += QByteArray::number(p) + " 0 R ";
    object(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pageObjects.size())
                     + " /MediaBox " + media + " >>");
    QByteArray whose;
    if (!doc_.author().isEmpty())
        whose += " /Author " + textString(doc_.author());
    if (!doc_.subject().isEmpty())
        whose += " /Subject " + textString(doc_.subject());
    object(info, "<< /Title " + textString(doc_.metaInformation(QTextDocument::DocumentTitle)) + whose + " /Creator "
                     + textString(QStringLiteral("Perix")) + " /Producer " + textString(QStringLiteral("Perix"))
                     + " /CreationDate (D:"
                     + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z) >>");
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const int content = reserve();
        object(pageObjects[i], "<< /Type /Page /Parent " + QByteArray::number(tree) + " 0 R /Resources "
                                   + QByteArray::number(resources) + " 0 R /Contents " + QByteArray::number(content)
                                   + " 0 R >>");
        stream(content, " /Filter /FlateDecode", contents[i]);
    }

    QByteArray fontList, imageList;
    for (qsizetype f = 0; f < fonts_.size(); ++f) {
        const UsedFont &used = fonts_[f];
        Face &face = *used.face;
        const int font = reserve(), descriptor = reserve(), program = reserve(), unicode = reserve();
        fontList += "/F" + QByteArray::number(f) + ' ' + QByteArray::number(font) + " 0 R ";
        // A subset's name: six capitals of its own, then the font's.
        QByteArray tag = "PX";
        for (int k = 0, n = int(f); k < 4; ++k, n /= 26)
            tag += char('A' + n % 26);
        const QByteArray name = tag + '+' + face.name;
        QByteArray names, widths;
        for (qsizetype c = 0; c < used.glyphs.size(); ++c) {
            names += "/g" + QByteArray::number(c) + ' ';
            number(widths, face.glyph(used.glyphs[c]).advance);
            widths += ' ';
        }
        const QRectF b = face.box;
        const QByteArray box = operands({std::floor(b.left()), std::floor(b.top()), std::ceil(b.right()), std::ceil(b.bottom())});
        object(font, "<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " /FirstChar 0 /LastChar "
                         + QByteArray::number(used.glyphs.size() - 1) + " /Widths [" + widths
                         + "] /Encoding << /Type /Encoding /Differences [0 " + names + "] >> /FontDescriptor "
                         + QByteArray::number(descriptor) + " 0 R /ToUnicode " + QByteArray::number(unicode) + " 0 R >>");
        object(descriptor, "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" + box
                               + "] /ItalicAngle 0 /Ascent " + operands({face.ascent}) + " /Descent " + operands({-face.descent})
                               + " /CapHeight " + operands({face.ascent}) + " /StemV 80 /FontFile3 " + QByteArray::number(program)
                               + " 0 R >>");
        stream(program, " /Subtype /Type1C /Filter /FlateDecode", flate(compactFont(face, used.glyphs)));
        stream(unicode, " /Filter /FlateDecode", flate(unicodeMap(used.texts)));
    }
    for (qsizetype i = 0; i < images_.size(); ++i) {
        const QImage &image = images_[i];
        const int object = reserve();
        imageList += "/Im" + QByteArray::number(i) + ' ' + QByteArray::number(object) + " 0 R ";
        const auto picture = [&](int object, const char *space, const QByteArray &data, const char *filter,
                                 const QByteArray &mask = {}) {
            stream(object, " /Type /XObject /Subtype /Image /Width " + QByteArray::number(image.width()) + " /Height "
                               + QByteArray::number(image.height()) + " /ColorSpace /" + space
                               + " /BitsPerComponent 8 /Filter /" + filter + mask,
                   data);
        };
        // An opaque picture (the chart) goes in as JPEG at a high quality, as Qt's own PDFs had
        // it: a fraction of the time and size of the pixels compressed losslessly.
        if (!image.hasAlphaChannel()) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setQuality(94);
            if (writer.write(image.convertToFormat(QImage::Format_RGB32))) {
                picture(object, "DeviceRGB", jpeg, "DCTDecode");
                continue;
            }
        }
        QByteArray mask;
        if (image.hasAlphaChannel()) {
            const int soft = reserve();
            picture(soft, "DeviceGray", flateImage(pixels(image, QImage::Format_Alpha8, 1)), "FlateDecode");
            mask = " /SMask " + QByteArray::number(soft) + " 0 R";
        }
        picture(object, "DeviceRGB", flateImage(pixels(image, QImage::Format_RGB888, 3)), "FlateDecode", mask);
    }
    object(resources, "<< /ProcSet [/PDF /Text /ImageC] /Font << " + fontList + ">> /XObject << " + imageList + ">> >>");

    const qsizetype xref = out_.size();
    out_ += "xref\n0 " + QByteArray::number(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets_)
        out_ += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out_ += "trailer\n<< /Size " + QByteArray::number(offsets_.size() + 1) + " /Root " + QByteArray::number(catalog)
          + " 0 R /Info " + QByteArray::number(info) + " 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out_;
}

} // namespace

bool scriviPdf(const Document &documento, QIODevice &dispositivo, QString *motivo)
{
    const QByteArray pdf = PdfDocument(documento).write();
    return dispositivo.write(pdf) == pdf.size()
        || falso(motivo, dispositivo.errorString().isEmpty() ? QStringLiteral("il documento non è stato scritto per intero")
                                                             : dispositivo.errorString());
}

} // namespace perix
