#include "reports/pdf.h"

#include "reports/documento.h"
#include "reports/impaginazione.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QIODevice>
#include <QPainterPath>
#include <QRawFont>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include <zlib.h>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

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

QByteArray num(double v)
{
    QByteArray b;
    number(b, v);
    return b;
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

void colour(QByteArray &out, const QColor &c, const char *op)
{
    number(out, c.redF());
    out += ' ';
    number(out, c.greenF());
    out += ' ';
    number(out, c.blueF());
    out += ' ';
    out += op;
    out += '\n';
}

// ---- fonts: the glyphs' outlines, read once per program run ------------------------------

// Outlines are taken at 1000 pixels to the em, the glyph space of a compact font (CFF) whose
// font matrix is the default thousandth.
constexpr double glyphSpace = 1000;

struct Glyph {
    QByteArray charString; // the outline as a Type 2 charstring
    double advance = 0;
};

// A number in a Type 2 charstring (whole numbers: a thousandth of the em is fine enough).
void charStringNumber(QByteArray &out, int v)
{
    if (v >= -107 && v <= 107) {
        out += char(v + 139);
    } else if (v >= 108 && v <= 1131) {
        out += char(((v - 108) >> 8) + 247);
        out += char((v - 108) & 0xFF);
    } else if (v >= -1131 && v <= -108) {
        out += char(((-v - 108) >> 8) + 251);
        out += char((-v - 108) & 0xFF);
    } else {
        v = std::clamp(v, -32768, 32767);
        out += char(28);
        out += char((v >> 8) & 0xFF);
        out += char(v & 0xFF);
    }
}

// The same in a DICT; offsets always take five bytes, so that they can be filled in later.
void dictOffset(QByteArray &out, int v);

void dictNumber(QByteArray &out, int v)
{
    if (v >= -107 && v <= 107) {
        out += char(v + 139);
    } else if (v >= 108 && v <= 1131) {
        out += char(((v - 108) >> 8) + 247);
        out += char((v - 108) & 0xFF);
    } else if (v >= -1131 && v <= -108) {
        out += char(((-v - 108) >> 8) + 251);
        out += char((-v - 108) & 0xFF);
    } else {
        dictOffset(out, v);
    }
}

void dictOffset(QByteArray &out, int v)
{
    out += char(29);
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((quint32(v) >> shift) & 0xFF);
}

// A CFF INDEX of the given items, with four-byte offsets.
QByteArray cffIndex(const QList<QByteArray> &items)
{
    QByteArray out;
    const auto u16 = [&](int v) {
        out += char((v >> 8) & 0xFF);
        out += char(v & 0xFF);
    };
    u16(int(items.size()));
    if (items.isEmpty())
        return out;
    out += char(4);
    quint32 offset = 1;
    const auto u32 = [&](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += char((v >> shift) & 0xFF);
    };
    u32(offset);
    for (const QByteArray &i : items) {
        offset += quint32(i.size());
        u32(offset);
    }
    for (const QByteArray &i : items)
        out += i;
    return out;
}

// The characters each glyph stands for, from the font's own character map.
QHash<quint32, char32_t> characterMap(const QByteArray &cmap)
{
    QHash<quint32, char32_t> reverse;
    const auto *d = reinterpret_cast<const uchar *>(cmap.constData());
    const qsizetype n = cmap.size();
    const auto u16 = [&](qsizetype at) -> quint32 { return at + 2 <= n ? quint32(d[at] << 8 | d[at + 1]) : 0; };
    const auto u32 = [&](qsizetype at) -> quint32 { return at + 4 <= n ? (u16(at) << 16 | u16(at + 2)) : 0; };
    const auto keep = [&](quint32 glyph, char32_t c) {
        if (glyph == 0)
            return;
        auto it = reverse.find(glyph);
        if (it == reverse.end() || c < it.value())
            reverse.insert(glyph, c);
    };
    const quint32 tables = u16(2);
    qsizetype best = -1;
    int bestRank = 0;
    for (quint32 i = 0; i < tables; ++i) {
        const qsizetype record = 4 + qsizetype(i) * 8;
        const quint32 platform = u16(record), encoding = u16(record + 2);
        const qsizetype offset = u32(record + 4);
        const quint32 format = u16(offset);
        int rank = 0;
        if (format == 12 && (platform == 3 || platform == 0))
            rank = 3;
        else if (format == 4 && ((platform == 3 && encoding == 1) || platform == 0))
            rank = 2;
        if (rank > bestRank) {
            bestRank = rank;
            best = offset;
        }
    }
    if (best < 0)
        return reverse;
    if (u16(best) == 12) {
        const quint32 groups = std::min<quint32>(u32(best + 12), quint32((n - best) / 12));
        for (quint32 g = 0; g < groups; ++g) {
            const qsizetype at = best + 16 + qsizetype(g) * 12;
            const quint32 first = u32(at), last = std::min<quint32>(u32(at + 4), 0x10FFFF), glyph = u32(at + 8);
            for (quint32 c = first; c <= last && c - first < 0x10000; ++c)
                keep(glyph + (c - first), char32_t(c));
        }
        return reverse;
    }
    const quint32 segments = u16(best + 6) / 2;
    const qsizetype ends = best + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                    ranges = deltas + 2 * segments;
    for (quint32 s = 0; s < segments; ++s) {
        const quint32 last = u16(ends + 2 * s), first = u16(starts + 2 * s);
        const quint32 delta = u16(deltas + 2 * s), range = u16(ranges + 2 * s);
        for (quint32 c = first; c <= last && c != 0xFFFF; ++c) {
            quint32 glyph;
            if (range == 0) {
                glyph = (c + delta) & 0xFFFF;
            } else {
                glyph = u16(ranges + 2 * s + range + 2 * (c - first));
                if (glyph != 0)
                    glyph = (glyph + delta) & 0xFFFF;
            }
            keep(glyph, char32_t(c));
        }
    }
    return reverse;
}

struct Face {
    QRawFont outlines; // at glyphSpace pixels
    QByteArray name;   // as PDF names it: "URWGothic-Book"
    QHash<quint32, Glyph> glyphs;
    QHash<quint32, char32_t> characters;
    QRectF box; // of every glyph read so far, for the font's bounding box
    double ascent = 0, descent = 0;

    const Glyph &glyph(quint32 index)
    {
        auto it = glyphs.find(index);
        if (it != glyphs.end())
            return it.value();
        const QPainterPath path = outlines.pathForGlyph(index);
        const QList<QPointF> advances = outlines.advancesForGlyphIndexes(QList<quint32>{index});
        Glyph g;
        g.advance = advances.isEmpty() ? 0 : advances.first().x();
        const QRectF r = path.controlPointRect();
        if (path.elementCount() > 0)
            box |= QRectF(r.left(), -r.bottom(), r.width(), r.height());
        // Glyph space has y upwards; Qt's outlines have it downwards. Moves are relative to the
        // point reached, on whole units; a move starts a new contour and closes the last one.
        QByteArray &c = g.charString;
        charStringNumber(c, int(std::lround(g.advance)));
        int x = 0, y = 0;
        bool moved = false;
        const auto to = [&](const QPainterPath::Element &e) {
            const int nx = int(std::lround(e.x)), ny = int(std::lround(-e.y));
            charStringNumber(c, nx - x);
            charStringNumber(c, ny - y);
            x = nx;
            y = ny;
        };
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            if (e.type == QPainterPath::MoveToElement) {
                to(e);
                c += char(21); // rmoveto
                moved = true;
            } else if (!moved) {
                continue; // an outline that does not start with a move: not a glyph's
            } else if (e.type == QPainterPath::LineToElement) {
                to(e);
                c += char(5); // rlineto
            } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
                to(e);
                to(path.elementAt(i + 1));
                to(path.elementAt(i + 2));
                c += char(8); // rrcurveto
                i += 2;
            }
        }
        c += char(14); // endchar
        return glyphs.insert(index, g).value();
    }

    // What the glyph stands for: a ligature ("ﬁ") as the letters it joins.
    QString text(quint32 index) const
    {
        const auto it = characters.constFind(index);
        if (it == characters.constEnd())
            return {};
        const char32_t c = it.value();
        if (QChar::decompositionTag(c) == QChar::Compat && c >= 0xFB00 && c <= 0xFB06)
            return QChar::decomposition(c);
        return QString::fromUcs4(&c, 1);
    }
};

// The font's PostScript name from its naming table ("URWGothic-Book"), or one made of its
// family and style; only the characters a PDF name may hold.
QByteArray postScriptName(const QRawFont &f)
{
    QString name;
    const QByteArray table = f.fontTable("name");
    const auto *d = reinterpret_cast<const uchar *>(table.constData());
    const qsizetype n = table.size();
    const auto u16 = [&](qsizetype at) -> quint32 { return at + 2 <= n ? quint32(d[at] << 8 | d[at + 1]) : 0; };
    const quint32 count = u16(2);
    const qsizetype strings = u16(4);
    for (quint32 i = 0; i < count && name.isEmpty(); ++i) {
        const qsizetype record = 6 + qsizetype(i) * 12;
        if (record + 12 > n || u16(record + 6) != 6)
            continue;
        const quint32 platform = u16(record);
        const qsizetype length = u16(record + 8), at = strings + u16(record + 10);
        if (at + length > n)
            continue;
        if (platform == 3 || platform == 0) {
            for (qsizetype k = 0; k + 1 < length; k += 2)
                name += QChar(char16_t(u16(at + k)));
        } else if (platform == 1) {
            name = QString::fromLatin1(table.constData() + at, length);
        }
    }
    if (name.isEmpty())
        name = f.familyName() + QLatin1Char('-') + f.styleName();
    QByteArray out;
    for (QChar c : name)
        if (c.unicode() > 32 && c.unicode() < 127 && !QByteArrayView("()<>[]{}/%#").contains(char(c.unicode())))
            out += char(c.unicode());
    return out.isEmpty() ? QByteArray("Font") : out;
}

// The faces met so far in this run of the program, released before the application goes.
QHash<QString, std::shared_ptr<Face>> &faces()
{
    static QHash<QString, std::shared_ptr<Face>> all;
    static const bool cleanup = [] {
        qAddPostRoutine([] { faces().clear(); });
        return true;
    }();
    Q_UNUSED(cleanup);
    return all;
}

Face &faceOf(const QRawFont &font)
{
    const QString key = font.familyName() + QLatin1Char('\n') + font.styleName() + QLatin1Char('\n')
                      + QString::number(font.weight()) + QLatin1Char('\n') + QString::number(int(font.style()));
    auto &all = faces();
    auto it = all.find(key);
    if (it == all.end()) {
        auto face = std::make_shared<Face>();
        face->outlines = font;
        face->outlines.setPixelSize(glyphSpace);
        face->name = postScriptName(font);
        face->characters = characterMap(font.fontTable("cmap"));
        face->ascent = face->outlines.ascent();
        face->descent = face->outlines.descent();
        it = all.insert(key, face);
    }
    return *it.value();
}

// A compact font (CFF) of the given glyphs, the n-th of them named "g<n>" and drawn by the
// n-th code of the PDF font: what a PDF reader rasterises as it does any embedded font.
QByteArray compactFont(Face &face, const QList<quint32> &glyphs)
{
    QList<QByteArray> names, strings;
    QList<QByteArray> charStrings;
    QByteArray notdef;
    charStringNumber(notdef, 0);
    notdef += char(14);
    charStrings.append(notdef);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        strings.append("g" + QByteArray::number(i));
        charStrings.append(face.glyph(glyphs[i]).charString);
    }
    names.append(face.name);
    QByteArray charset(1, char(0)); // format 0: one string id per glyph after .notdef
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const int sid = 391 + int(i); // the first id after the standard strings
        charset += char((sid >> 8) & 0xFF);
        charset += char(sid & 0xFF);
    }
    QByteArray privateDict;
    dictNumber(privateDict, 0);
    privateDict += char(20); // defaultWidthX
    dictNumber(privateDict, 0);
    privateDict += char(21); // nominalWidthX

    const QByteArray header("\x01\x00\x04\x04", 4);
    const QByteArray nameIndex = cffIndex(names);
    const QByteArray stringIndex = cffIndex(strings);
    const QByteArray globalSubrs = cffIndex({});
    const QByteArray charStringIndex = cffIndex(charStrings);
    // The top DICT's offsets take five bytes each, so its size is known before they are.
    const auto topDict = [&](int charsetAt, int charStringsAt, int privateAt) {
        QByteArray d;
        const QRectF b = face.box;
        dictNumber(d, int(std::floor(b.left())));
        dictNumber(d, int(std::floor(b.top())));
        dictNumber(d, int(std::ceil(b.right())));
        dictNumber(d, int(std::ceil(b.bottom())));
        d += char(5); // FontBBox
        dictOffset(d, charsetAt);
        d += char(15); // charset
        dictOffset(d, charStringsAt);
        d += char(17); // CharStrings
        dictOffset(d, int(privateDict.size()));
        dictOffset(d, privateAt);
        d += char(18); // Private
        return d;
    };
    const qsizetype topSize = cffIndex({topDict(0, 0, 0)}).size();
    const int charsetAt = int(header.size() + nameIndex.size() + topSize + stringIndex.size() + globalSubrs.size());
    const int charStringsAt = charsetAt + int(charset.size());
    const int privateAt = charStringsAt + int(charStringIndex.size());
    return header + nameIndex + cffIndex({topDict(charsetAt, charStringsAt, privateAt)}) + stringIndex + globalSubrs
         + charset + charStringIndex + privateDict;
}

// ---- one document ----------------------------------------------------------------------------

// A font of the document: up to 256 glyphs of one face, one code each.
struct UsedFont {
    Face *face = nullptr;
    QList<quint32> glyphs; // by code
    QHash<int, QString> texts; // by code
};

struct UsedImage {
    QImage image;
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
    void begin(int object)
    {
        offsets_[object - 1] = out_.size();
        out_ += QByteArray::number(object) + " 0 obj\n";
    }
    void stream(int object, const QByteArray &dictionary, const QByteArray &data)
    {
        begin(object);
        out_ += "<<" + dictionary + " /Length " + QByteArray::number(data.size()) + ">>\nstream\n";
        out_ += data;
        out_ += "\nendstream\nendobj\n";
    }
    void object(int object, const QByteArray &body)
    {
        begin(object);
        out_ += body;
        out_ += "\nendobj\n";
    }

    const Document &doc_;
    const PageLayout &layout_;
    QByteArray out_;
    QList<qsizetype> offsets_;
    QList<UsedFont> fonts_;
    QHash<Face *, QHash<quint32, Code>> codes_;
    QHash<Face *, int> open_;                                  // the face's font taking new glyphs
    QList<UsedImage> images_;
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
            colour(out, fill, "rg");
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
                out += "1 0 0 -1 ";
                number(out, at.x());
                out += ' ';
                number(out, at.y());
                out += " Tm [";
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
        images_.append({image});
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
    out += "q ";
    number(out, size.width());
    out += " 0 0 ";
    number(out, -size.height());
    out += ' ';
    number(out, topLeft.x());
    out += ' ';
    number(out, topLeft.y() + size.height());
    out += " cm /Im" + QByteArray::number(index) + " Do Q\n";
}

QByteArray PdfDocument::page(const PageLayout::Page &page)
{
    QByteArray out;
    out.reserve(8192);
    const QSizeF paper = layout_.pageSize();
    // Layout units to points, y downwards as in the layout.
    out += "q ";
    number(out, 1.0 / Document::unitsPerPoint);
    out += " 0 0 ";
    number(out, -1.0 / Document::unitsPerPoint);
    out += " 0 ";
    out += QByteArray::number(Document::points(paper.height()), 'f', 4);
    out += " cm\n";
    QColor fill;
    for (const PageLayout::Fill &f : page.fills) {
        if (f.colour != fill) {
            colour(out, f.colour, "rg");
            fill = f.colour;
        }
        number(out, f.rect.x());
        out += ' ';
        number(out, f.rect.y());
        out += ' ';
        number(out, f.rect.width());
        out += ' ';
        number(out, f.rect.height());
        out += " re f\n";
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
    object(info, "<< /Title " + textString(doc_.metaInformation(QTextDocument::DocumentTitle)) + " /Creator "
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
        const QByteArray box = num(std::floor(b.left())) + ' ' + num(std::floor(b.top())) + ' ' + num(std::ceil(b.right()))
                             + ' ' + num(std::ceil(b.bottom()));
        object(font, "<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " /FirstChar 0 /LastChar "
                         + QByteArray::number(used.glyphs.size() - 1) + " /Widths [" + widths
                         + "] /Encoding << /Type /Encoding /Differences [0 " + names + "] >> /FontDescriptor "
                         + QByteArray::number(descriptor) + " 0 R /ToUnicode " + QByteArray::number(unicode) + " 0 R >>");
        object(descriptor, "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" + box
                               + "] /ItalicAngle 0 /Ascent " + num(face.ascent) + " /Descent " + num(-face.descent)
                               + " /CapHeight " + num(face.ascent) + " /StemV 80 /FontFile3 " + QByteArray::number(program)
                               + " 0 R >>");
        stream(program, " /Subtype /Type1C /Filter /FlateDecode", flate(compactFont(face, used.glyphs)));

        QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                         "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                         "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                         "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
        QList<int> codes = used.texts.keys();
        std::sort(codes.begin(), codes.end());
        for (qsizetype i = 0; i < codes.size(); i += 100) {
            const qsizetype n = std::min<qsizetype>(100, codes.size() - i);
            map += QByteArray::number(n) + " beginbfchar\n";
            for (qsizetype j = i; j < i + n; ++j) {
                map += '<' + QByteArray::number(codes[j] | 0x100, 16).mid(1) + "> <";
                for (QChar ch : used.texts.value(codes[j]))
                    map += QByteArray::number(ch.unicode() | 0x10000, 16).mid(1);
                map += ">\n";
            }
            map += "endbfchar\n";
        }
        map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        stream(unicode, " /Filter /FlateDecode", flate(map));
    }
    for (qsizetype i = 0; i < images_.size(); ++i) {
        const QImage &image = images_[i].image;
        const int object = reserve();
        imageList += "/Im" + QByteArray::number(i) + ' ' + QByteArray::number(object) + " 0 R ";
        const QByteArray size = " /Width " + QByteArray::number(image.width()) + " /Height " + QByteArray::number(image.height());
        // An opaque picture (the chart) goes in as JPEG at a high quality, as Qt's own PDFs had
        // it: a fraction of the time and size of the pixels compressed losslessly.
        if (!image.hasAlphaChannel()) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setQuality(94);
            if (writer.write(image.convertToFormat(QImage::Format_RGB32))) {
                stream(object, " /Type /XObject /Subtype /Image" + size
                                   + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode",
                       jpeg);
                continue;
            }
        }
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        QByteArray pixels;
        pixels.reserve(rgb.width() * rgb.height() * 3);
        for (int y = 0; y < rgb.height(); ++y)
            pixels.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
        QByteArray mask;
        if (image.hasAlphaChannel()) {
            const QImage a = image.convertToFormat(QImage::Format_Alpha8);
            QByteArray bytes;
            for (int y = 0; y < a.height(); ++y)
                bytes.append(reinterpret_cast<const char *>(a.constScanLine(y)), a.width());
            const int soft = reserve();
            stream(soft, " /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
                   flateImage(bytes));
            mask = " /SMask " + QByteArray::number(soft) + " 0 R";
        }
        stream(object, " /Type /XObject /Subtype /Image" + size + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode" + mask,
               flateImage(pixels));
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
    if (dispositivo.write(pdf) != pdf.size()) {
        if (motivo)
            *motivo = dispositivo.errorString().isEmpty() ? QStringLiteral("il documento non è stato scritto per intero")
                                                          : dispositivo.errorString();
        return false;
    }
    return true;
}

} // namespace perix
