#include "reports/pdf.h"

#include "reports/documento.h"
#include "reports/impaginazione.h"
#include "reports/pdf_caratteri.h"

#include "core/scrittura.h"

#include "reports/srgb_icc.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QIODevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include <libdeflate.h>

namespace perix {

namespace {

// ---- numbers and strings as PDF writes them (never the locale's) --------------------------

// A few bytes at the end: within the capacity a page reserves, without QByteArray::append's
// general path, which showed in the profile at every number and glyph.
inline void put(QByteArray &out, const char *bytes, qsizetype n)
{
    const qsizetype at = out.size();
    out.resize(at + n);
    std::memcpy(out.data() + at, bytes, size_t(n));
}

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
    put(out, digits + i, qsizetype(sizeof digits) - i);
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

// A zlib stream, as PDF's FlateDecode reads it, made by libdeflate: a page's operators in
// half the time zlib takes at its fastest level, and smaller. One compressor for each process
// and level, since setting one up costs more than compressing a page.
QByteArray flate(const QByteArray &data, int level = 1)
{
    struct Compressore {
        libdeflate_compressor *c;
        explicit Compressore(int l) : c(libdeflate_alloc_compressor(l)) {}
        ~Compressore() { libdeflate_free_compressor(c); }
    };
    static Compressore veloce(1), buono(6);
    libdeflate_compressor *c = level <= 1 ? veloce.c : buono.c;
    if (!c)
        return {};
    QByteArray out(qsizetype(libdeflate_zlib_compress_bound(c, size_t(data.size()))), Qt::Uninitialized);
    const size_t n = libdeflate_zlib_compress(c, data.constData(), size_t(data.size()), out.data(), size_t(out.size()));
    out.truncate(qsizetype(n));
    return out;
}

// A picture's samples with PNG's "Up" predictor on every row (each byte less the one above
// it, after a filter byte 2), deflated: flat colour comes out as runs of zeros.
QByteArray flateImage(const QImage &image)
{
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    const qsizetype riga = qsizetype(rgb.width()) * 3;
    QByteArray filtrati(qsizetype(riga + 1) * rgb.height(), Qt::Uninitialized);
    char *out = filtrati.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *row = rgb.constScanLine(y);
        const uchar *above = y > 0 ? rgb.constScanLine(y - 1) : nullptr;
        *out++ = 2;
        for (qsizetype x = 0; x < riga; ++x)
            *out++ = char(row[x] - (above ? above[x] : 0));
    }
    return flate(filtrati);
}

// ---- one document ----------------------------------------------------------------------------

// A font of the document. A face's glyphs go in one font whose codes are the glyph ids (a
// CID font over the subset HarfBuzz cuts); Type 3 fonts, 256 codes each, hold what that
// cannot: the glyphs of a face HarfBuzz cannot read, and a glyph that must read back as
// another character than the one its id already stands for (the missing glyph drawn for a
// character no font has, one glyph shared by two characters).
struct UsedFont {
    Face *face = nullptr;
    bool type3 = false;
    QList<quint32> glyphs; // Type 3: by code; otherwise the glyph ids, as met
    QHash<int, QString> texts; // by code
};

// Whether two texts read the same: equal, or both blank.
bool sameText(const QString &a, const QString &b)
{
    return a == b || (a.trimmed().isEmpty() && b.trimmed().isEmpty() && !a.isEmpty() && !b.isEmpty());
}

// A text as compared with what a PDF reader reads back: composed, without blanks and what is
// never drawn.
QString readable(const QString &s)
{
    QString out;
    for (QChar c : s.normalized(QString::NormalizationForm_C))
        if (!c.isSpace() && c != QChar::ObjectReplacementCharacter && c != QChar::SoftHyphen
            && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
            out += c;
    return out;
}

class PdfDocument
{
public:
    explicit PdfDocument(const Document &doc) : doc_(doc), layout_(static_cast<const PageLayout &>(*doc.documentLayout())) {}

    QByteArray write();

private:
    QByteArray page(const PageLayout::Page &page);
    void text(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int from, int length,
              const QTextCharFormat &format);
    void glyphs(QByteArray &out, const QList<QGlyphRun> &runs, const QString &chars, const QPointF &origin,
                const QColor &fill);
    void picture(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int position,
                 const QTextCharFormat &format);
    void drawing(QByteArray &out, const Disegno &d, const QPointF &topLeft);
    struct Code {
        int font;
        int code;
        double advance; // in thousandths of the em
    };
    // The code drawing `glyph` of `face`, standing for `character` where it is known.
    Code code(Face &face, quint32 glyph, const QString &character);
    Code type3(Face &face, quint32 glyph, const QString &character);
    void writeFonts(QByteArray &fontList);

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
    QHash<Face *, int> cid_;                          // the face's CID font
    QHash<Face *, int> open3_;                        // the face's Type 3 font taking new glyphs
    QHash<Face *, QHash<std::pair<quint32, QString>, Code>> codes3_;
    struct GlyphKey {
        Face *face;
        quint32 glyph;
        char32_t character; // 0 where not known
        bool operator==(const GlyphKey &o) const { return face == o.face && glyph == o.glyph && character == o.character; }
    };
    friend size_t qHash(const GlyphKey &k, size_t seed = 0) { return qHashMulti(seed, k.face, k.glyph, k.character); }
    struct Met {
        Code code;
        QString back;   // what it reads as
        bool asWritten; // the character it was drawn for
    };
    QHash<GlyphKey, Met> met_;
    QList<QImage> images_;
    QHash<QString, int> imageByName_;
    QRawFont lastFont_;
    Face *lastFace_ = nullptr;
    // What the current text state holds, to leave out what would repeat it.
    int font_ = -1;
    double size_ = -1;
    QColor fill_;
};

PdfDocument::Code PdfDocument::type3(Face &face, quint32 glyph, const QString &character)
{
    QHash<std::pair<quint32, QString>, Code> &codes = codes3_[&face];
    const auto key = std::make_pair(glyph, character);
    const auto it = codes.constFind(key);
    if (it != codes.constEnd())
        return it.value();
    int f = open3_.value(&face, -1);
    if (f < 0 || fonts_[f].glyphs.size() >= 256) {
        fonts_.append(UsedFont{&face, true, {}, {}});
        f = int(fonts_.size() - 1);
        open3_.insert(&face, f);
    }
    UsedFont &used = fonts_[f];
    const int c = int(used.glyphs.size());
    used.glyphs.append(glyph);
    if (!character.isEmpty())
        used.texts.insert(c, character);
    const Code result{f, c, face.advance(glyph)};
    codes.insert(key, result);
    return result;
}

PdfDocument::Code PdfDocument::code(Face &face, quint32 glyph, const QString &character)
{
    if (face.kind == Face::Kind::Outlines)
        return type3(face, glyph, character.isEmpty() ? face.text(glyph) : character);
    int f = cid_.value(&face, -1);
    if (f < 0) {
        fonts_.append(UsedFont{&face, false, {}, {}});
        f = int(fonts_.size() - 1);
        cid_.insert(&face, f);
    }
    UsedFont &used = fonts_[f];
    const int c = int(glyph);
    const auto it = used.texts.constFind(c);
    const bool known = it != used.texts.constEnd();
    if (!character.isEmpty() && (glyph == 0 || (known && !sameText(it.value(), character))))
        return type3(face, glyph, character);
    if (!known) {
        if (!used.glyphs.contains(glyph))
            used.glyphs.append(glyph);
        // The font's own map first: a glyph reads the same in every document.
        QString t = face.text(glyph);
        if (!character.isEmpty() && !t.isEmpty() && !sameText(t, character))
            return type3(face, glyph, character);
        if (t.isEmpty())
            t = character;
        if (!t.isEmpty())
            used.texts.insert(c, t);
    }
    return Code{f, c, face.advance(glyph)};
}

void PdfDocument::text(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int from, int length,
                       const QTextCharFormat &format)
{
    const QBrush brush = format.foreground();
    glyphs(out, l.glyphRuns(from, length), line.block.text().mid(from, length), line.origin,
           brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color());
}

void PdfDocument::glyphs(QByteArray &out, const QList<QGlyphRun> &runs, const QString &chars, const QPointF &origin,
                         const QColor &fill)
{
    // One glyph for each character, over the runs of every font the text took: then each
    // glyph stands for its own character. Otherwise (ligatures, composed accents) the glyphs
    // read as the font maps them.
    const QList<uint> ucs4 = chars.toUcs4();
    qsizetype total = 0;
    for (const QGlyphRun &run : runs)
        total += run.glyphIndexes().size();
    const bool oneToOne = total == ucs4.size();
    // Written straight after what is there: the replacement text, where one is needed, goes
    // in front of it afterwards.
    QByteArray &drawn = out;
    const qsizetype start = out.size();
    QString read;
    bool asWritten = oneToOne; // every glyph reads back as its own character
    qsizetype k = 0;
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
        const double size = raw.pixelSize();
        if (fill != fill_) {
            drawn += operands({fill.redF(), fill.greenF(), fill.blueF()}) + " rg\n";
            fill_ = fill;
        }
        int current = -1;
        double x = 0, y = 0; // where the next glyph would go without adjustment
        bool open = false;
        for (qsizetype i = 0; i < glyphs.size(); ++i, ++k) {
            // A glyph met before for the same character takes the same code: most of a page.
            const char32_t u = oneToOne ? char32_t(ucs4.at(k)) : 0;
            const GlyphKey key{&face, glyphs[i], u};
            auto known = met_.constFind(key);
            if (known == met_.constEnd()) {
                const QString character = oneToOne ? QString::fromUcs4(&u, 1) : QString();
                const Code got = code(face, glyphs[i], character);
                const QString back = fonts_[got.font].texts.value(got.code);
                known = met_.insert(key, Met{got, back, back == character});
            }
            const auto [f, c, width] = known->code;
            const UsedFont &used = fonts_[f];
            asWritten = asWritten && known->asWritten;
            read += known->back;
            const QPointF at = origin + positions[i];
            const double advance = width * size / 1000;
            const double adjust = (x - at.x()) * 1000 / size;
            // A jump too long for an adjustment (PDF/A keeps real numbers within ±32767)
            // starts the glyph afresh where it goes.
            if (f != current || std::abs(at.y() - y) > 0.01 || std::abs(adjust) > 30000) {
                if (open)
                    drawn += "] TJ\n";
                if (f != font_ || size != size_) {
                    drawn += "/F";
                    drawn += QByteArray::number(f);
                    drawn += ' ';
                    number(drawn, size);
                    drawn += " Tf\n";
                    font_ = f;
                    size_ = size;
                }
                drawn += "1 0 0 -1 ";
                number(drawn, at.x());
                drawn += ' ';
                number(drawn, at.y());
                drawn += " Tm [";
                open = true;
                current = f;
            } else {
                if (std::abs(adjust) >= 0.05) {
                    drawn += ' ';
                    number(drawn, adjust);
                    drawn += ' ';
                }
            }
            static const char hex[] = "0123456789abcdef";
            if (used.type3) {
                const char code[4] = {'<', hex[(c >> 4) & 15], hex[c & 15], '>'};
                put(drawn, code, 4);
            } else {
                const char code[6] = {'<', hex[(c >> 12) & 15], hex[(c >> 8) & 15], hex[(c >> 4) & 15], hex[c & 15], '>'};
                put(drawn, code, 6);
            }
            x = at.x() + advance;
            y = at.y();
        }
        if (open)
            drawn += "] TJ\n";
    }
    // Where the glyphs do not read back as the text (a ligature the font does not map), the
    // text goes with them as their replacement, so nothing the page shows is lost to search.
    const QString wanted = asWritten ? QString() : readable(chars);
    if (!wanted.isEmpty() && readable(read) != wanted) {
        out.insert(start, "/Span << /ActualText " + textString(chars) + " >> BDC\n");
        out += "EMC\n";
    }
}

void PdfDocument::picture(QByteArray &out, const PageLayout::TextLine &line, const QTextLine &l, int position,
                          const QTextCharFormat &format)
{
    const QTextImageFormat f = format.toImageFormat();
    const QString name = f.name();
    const Disegno *d = doc_.drawing(name);
    int index = imageByName_.value(name, -1);
    if (index < 0 && !d) {
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
    if (d) {
        drawing(out, *d, topLeft);
        return;
    }
    out += "q " + operands({size.width(), 0, 0, -size.height(), topLeft.x(), topLeft.y() + size.height()}) + " cm /Im"
         + QByteArray::number(index) + " Do Q\n";
}

// A drawing as paths and text, in its own graphics state: its points are tenths of layout
// units away from `topLeft`.
void PdfDocument::drawing(QByteArray &out, const Disegno &d, const QPointF &topLeft)
{
    const double k = Document::unitsPerPoint;
    const QColor fill = fill_;
    out += "q 1 0 0 1 " + operands({topLeft.x(), topLeft.y()}) + " cm 0 J 1 j\n";
    const auto colour = [&](const QColor &c, const char *op) {
        out += operands({c.redF(), c.greenF(), c.blueF()}) + ' ' + op + '\n';
    };
    for (const Disegno::Linea &l : d.linee) {
        if (l.punti.size() < 2)
            continue;
        colour(l.colore, "RG");
        out += operands({l.spessore * k}) + " w\n";
        for (qsizetype i = 0; i < l.punti.size(); ++i)
            out += operands({l.punti[i].x() * k, l.punti[i].y() * k}) + (i == 0 ? " m\n" : " l\n");
        out += "S\n";
    }
    // A circle as four Bézier quarters.
    constexpr double kappa = 0.5522847498;
    for (const Disegno::Punto &m : d.punti) {
        colour(m.pieno, "rg");
        colour(m.bordo, "RG");
        out += operands({m.spessore * k}) + " w\n";
        const double cx = m.centro.x() * k, cy = m.centro.y() * k, r = m.raggio * k, c = r * kappa;
        out += operands({cx + r, cy}) + " m\n" + operands({cx + r, cy + c, cx + c, cy + r, cx, cy + r}) + " c\n"
             + operands({cx - c, cy + r, cx - r, cy + c, cx - r, cy}) + " c\n"
             + operands({cx - r, cy - c, cx - c, cy - r, cx, cy - r}) + " c\n"
             + operands({cx + c, cy - r, cx + r, cy - c, cx + r, cy}) + " c\nb\n";
    }
    fill_ = d.punti.isEmpty() ? fill_ : d.punti.last().pieno;
    for (const Disegno::Scritta &s : d.scritte) {
        const TestoDisegnato t = impaginaScritta(s);
        const QPointF at(s.punto.x() * k, s.punto.y() * k);
        if (s.verticale) // turned a quarter to the left about its anchor
            out += "q 0 -1 1 0 " + operands({at.x(), at.y()}) + " cm\n";
        out += "BT\n";
        font_ = -1;
        size_ = -1;
        glyphs(out, t.glifi, s.testo, s.verticale ? t.origine : at + t.origine, s.colore);
        out += "ET\n";
        if (s.verticale) {
            out += "Q\n";
            fill_ = QColor(); // unknown again: set anew by the next text
        }
    }
    out += "Q\n";
    fill_ = fill; // the state before the drawing, as Q restored it
}

QByteArray PdfDocument::page(const PageLayout::Page &page)
{
    QByteArray out;
    out.reserve(65536); // a page of text is some tens of kilobytes of operators
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

// A subset's font program, compressed, and its length before: the last few are kept, since
// the reports of a batch mostly embed the same glyphs.
// With them what else follows from the glyphs alone: their widths and the CIDSet; and the
// last character map written for them.
struct Program {
    Face *face;
    QList<quint32> glyphs;
    qsizetype length;
    QByteArray compressed;
    QByteArray widths; // /W's array: by runs of consecutive glyph ids
    QByteArray cidSet; // compressed
    QHash<int, QString> texts;
    QByteArray unicode; // compressed ToUnicode of `texts`
};
Program &fontProgram(Face &face, const QList<quint32> &glyphs)
{
    static QList<Program> kept;
    for (Program &p : kept)
        if (p.face == &face && p.glyphs == glyphs)
            return p;
    const QByteArray program = face.subset(glyphs);
    QByteArray widths;
    for (qsizetype i = 0; i < glyphs.size();) {
        qsizetype j = i;
        widths += QByteArray::number(glyphs[i]) + " [";
        do {
            number(widths, face.advance(glyphs[j]));
            widths += ' ';
            ++j;
        } while (j < glyphs.size() && glyphs[j] == glyphs[j - 1] + 1);
        widths += "] ";
        i = j;
    }
    // Which glyph ids the subset holds, a bit each from the highest.
    QByteArray bits(qsizetype(glyphs.last() / 8 + 1), '\0');
    for (quint32 g : glyphs)
        bits[g / 8] = char(uchar(bits[g / 8]) | (0x80 >> (g % 8)));
    if (kept.size() >= 16)
        kept.removeFirst();
    kept.append({&face, glyphs, program.size(), flate(program, 6), widths, flate(bits), {}, {}});
    return kept.last();
}

// Six capitals that name a subset: from what it holds, so the same document names it the same.
QByteArray subsetTag(const QByteArray &name, const QList<quint32> &glyphs, bool type3)
{
    quint32 h = type3 ? 2166136261u ^ 0x55u : 2166136261u;
    const auto mix = [&](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 16777619u;
        }
    };
    for (char c : name)
        mix(uchar(c));
    for (quint32 g : glyphs)
        mix(g);
    QByteArray tag;
    for (int k = 0; k < 6; ++k, h /= 26)
        tag += char('A' + h % 26);
    return tag;
}

void PdfDocument::writeFonts(QByteArray &fontList)
{
    for (qsizetype f = 0; f < fonts_.size(); ++f) {
        const UsedFont &used = fonts_[f];
        Face &face = *used.face;
        const int font = reserve();
        fontList += "/F" + QByteArray::number(f) + ' ' + QByteArray::number(font) + " 0 R ";
        QList<quint32> sorted = used.glyphs;
        if (!used.type3) {
            sorted.append(0); // the missing glyph, which every font program has
            std::sort(sorted.begin(), sorted.end());
            sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        }
        const QByteArray name = subsetTag(face.name, sorted, used.type3) + '+' + face.name;
        const int unicode = reserve();
        if (used.type3) {
            stream(unicode, " /Filter /FlateDecode", flate(unicodeMap(used.texts, 1)));
            // Each glyph's outline as a path, in thousandths of the em.
            QByteArray procs, names, widths;
            QRectF box;
            for (qsizetype c = 0; c < used.glyphs.size(); ++c) {
                QRectF b;
                const QByteArray path = face.path(used.glyphs[c], &b);
                const QRectF up(b.left(), -b.bottom(), b.width(), b.height());
                if (!b.isNull())
                    box |= up;
                const double w = face.advance(used.glyphs[c]);
                const int proc = reserve();
                stream(proc, " /Filter /FlateDecode",
                       flate(operands({w, 0, std::floor(up.left()), std::floor(up.top()), std::ceil(up.right()),
                                       std::ceil(up.bottom())})
                             + " d1\n" + path));
                procs += "/g" + QByteArray::number(c) + ' ' + QByteArray::number(proc) + " 0 R ";
                names += "/g" + QByteArray::number(c) + ' ';
                number(widths, w);
                widths += ' ';
            }
            object(font, "<< /Type /Font /Subtype /Type3 /Name /F" + QByteArray::number(f) + " /FontBBox ["
                             + operands({std::floor(box.left()), std::floor(box.top()), std::ceil(box.right()),
                                         std::ceil(box.bottom())})
                             + "] /FontMatrix [0.001 0 0 0.001 0 0] /CharProcs << " + procs
                             + ">> /Encoding << /Type /Encoding /Differences [0 " + names + "] >> /FirstChar 0 /LastChar "
                             + QByteArray::number(used.glyphs.size() - 1) + " /Widths [" + widths
                             + "] /Resources << >> /ToUnicode " + QByteArray::number(unicode) + " 0 R >>");
            continue;
        }
        Program &program = fontProgram(face, sorted);
        if (program.unicode.isEmpty() || program.texts != used.texts) {
            program.texts = used.texts;
            program.unicode = flate(unicodeMap(used.texts, 2));
        }
        stream(unicode, " /Filter /FlateDecode", program.unicode);
        const int cidFont = reserve(), descriptor = reserve(), file = reserve(), cidSet = reserve();
        const bool cff = face.kind == Face::Kind::Cff;
        // The widths the font program has.
        const QByteArray &widths = program.widths;
        object(font, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts ["
                         + QByteArray::number(cidFont) + " 0 R] /ToUnicode " + QByteArray::number(unicode) + " 0 R >>");
        object(cidFont, QByteArray("<< /Type /Font /Subtype /") + (cff ? "CIDFontType0" : "CIDFontType2") + " /BaseFont /"
                            + name + " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                            + " /FontDescriptor " + QByteArray::number(descriptor) + " 0 R /W [" + widths + ']'
                            + (cff ? "" : " /CIDToGIDMap /Identity") + " >>");
        const QRectF &b = face.box;
        object(descriptor, "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox ["
                               + operands({std::floor(b.left()), std::floor(b.top()), std::ceil(b.right()), std::ceil(b.bottom())})
                               + "] /ItalicAngle " + operands({face.italicAngle}) + " /Ascent " + operands({face.ascent})
                               + " /Descent " + operands({-face.descent}) + " /CapHeight " + operands({face.capHeight})
                               + " /StemV 80 /CIDSet " + QByteArray::number(cidSet) + " 0 R "
                               + (cff ? "/FontFile3 " : "/FontFile2 ") + QByteArray::number(file) + " 0 R >>");
        if (cff)
            stream(file, " /Subtype /CIDFontType0C /Filter /FlateDecode", program.compressed);
        else
            stream(file, " /Length1 " + QByteArray::number(program.length) + " /Filter /FlateDecode", program.compressed);
        stream(cidSet, " /Filter /FlateDecode", program.cidSet);
    }
}

// The moment the document is dated: SOURCE_DATE_EPOCH where it is set, as reproducible builds
// ask, otherwise now.
QDateTime documentDate()
{
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH").trimmed();
    qint64 seconds = 0;
    if (!epoch.isEmpty()) {
        const auto [end, error] = std::from_chars(epoch.constData(), epoch.constData() + epoch.size(), seconds);
        if (error == std::errc() && end == epoch.constData() + epoch.size() && seconds >= 0 && seconds < 253402300800)
            return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    }
    return QDateTime::currentDateTimeUtc();
}

QByteArray xmlEscaped(const QString &s)
{
    return s.toHtmlEscaped().toUtf8();
}

// The document's metadata as XMP, uncompressed and saying the file is PDF/A-1b, with the
// same title, tools and dates as the Info dictionary.
QByteArray metadata(const QString &title, const QString &tool, const QDateTime &date, const QString &author,
                    const QString &subject)
{
    const QByteArray when = date.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + "+00:00";
    const QByteArray t = xmlEscaped(title), p = xmlEscaped(tool);
    QByteArray whose;
    if (!author.isEmpty())
        whose += "<dc:creator><rdf:Seq><rdf:li>" + xmlEscaped(author) + "</rdf:li></rdf:Seq></dc:creator>\n";
    if (!subject.isEmpty())
        whose += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + xmlEscaped(subject)
               + "</rdf:li></rdf:Alt></dc:description>\n";
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
           "<pdfaid:part>1</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "<dc:format>application/pdf</dc:format>\n"
           "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + t + "</rdf:li></rdf:Alt></dc:title>\n"
           + whose + "</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           "<xmp:CreatorTool>" + p + "</xmp:CreatorTool>\n"
           "<xmp:CreateDate>" + when + "</xmp:CreateDate>\n<xmp:ModifyDate>" + when + "</xmp:ModifyDate>\n"
           "<xmp:MetadataDate>" + when + "</xmp:MetadataDate>\n</rdf:Description>\n"
           "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
           "<pdf:Producer>" + p + "</pdf:Producer>\n</rdf:Description>\n"
           "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

// The sRGB profile, compressed once for the run.
const QByteArray &outputProfile()
{
    static const QByteArray compressed =
        flate(QByteArray::fromRawData(reinterpret_cast<const char *>(srgbIcc), qsizetype(sizeof srgbIcc)), 6);
    return compressed;
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
    const int xmp = reserve(), profile = reserve();
    QList<int> pageObjects;
    for (qsizetype i = 0; i < pages.size(); ++i)
        pageObjects.append(reserve());

    const QSizeF paper = layout_.pageSize();
    const QByteArray media = "[0 0 " + QByteArray::number(Document::points(paper.width()), 'f', 4) + ' '
                           + QByteArray::number(Document::points(paper.height()), 'f', 4) + ']';
    object(catalog, "<< /Type /Catalog /Pages " + QByteArray::number(tree) + " 0 R /Metadata " + QByteArray::number(xmp)
                        + " 0 R /OutputIntents [<< /Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier "
                          "(sRGB IEC61966-2.1) /Info (sRGB IEC61966-2.1) /RegistryName (http://www.color.org) "
                          "/DestOutputProfile "
                        + QByteArray::number(profile) + " 0 R >>] >>");
    QByteArray kids;
    for (int p : pageObjects)
        kids += QByteArray::number(p) + " 0 R ";
    object(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pageObjects.size())
                     + " /MediaBox " + media + " >>");
    const QString title = doc_.metaInformation(QTextDocument::DocumentTitle);
    const QString tool = QStringLiteral("Perix");
    const QDateTime date = documentDate();
    const QByteArray when = "(D:" + date.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "+00'00')";
    // Author and subject where the document has them, in the properties and the XMP alike.
    QByteArray whose;
    if (!doc_.author().isEmpty())
        whose += " /Author " + textString(doc_.author());
    if (!doc_.subject().isEmpty())
        whose += " /Subject " + textString(doc_.subject());
    object(info, "<< /Title " + textString(title) + whose + " /Creator " + textString(tool) + " /Producer "
                     + textString(tool) + " /CreationDate " + when + " /ModDate " + when + " >>");
    const QByteArray xml = metadata(title, tool, date, doc_.author(), doc_.subject());
    stream(xmp, " /Type /Metadata /Subtype /XML", xml);
    stream(profile, " /N 3 /Filter /FlateDecode", outputProfile());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const int content = reserve();
        object(pageObjects[i], "<< /Type /Page /Parent " + QByteArray::number(tree) + " 0 R /Resources "
                                   + QByteArray::number(resources) + " 0 R /Contents " + QByteArray::number(content)
                                   + " 0 R >>");
        stream(content, " /Filter /FlateDecode", contents[i]);
    }

    QByteArray fontList, imageList;
    writeFonts(fontList);
    for (qsizetype i = 0; i < images_.size(); ++i) {
        // Opaque and lossless: a picture with transparency is laid on the white page here,
        // since PDF/A-1 has no soft masks.
        QImage image = images_[i];
        if (image.hasAlphaChannel()) {
            QImage flat(image.size(), QImage::Format_RGB32);
            flat.fill(Qt::white);
            QPainter p(&flat);
            p.drawImage(0, 0, image);
            p.end();
            image = flat;
        }
        const int object = reserve();
        imageList += "/Im" + QByteArray::number(i) + ' ' + QByteArray::number(object) + " 0 R ";
        stream(object, " /Type /XObject /Subtype /Image /Width " + QByteArray::number(image.width()) + " /Height "
                           + QByteArray::number(image.height())
                           + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /DecodeParms << /Predictor 12"
                             " /Colors 3 /Columns "
                           + QByteArray::number(image.width()) + " >>",
               flateImage(image));
    }
    object(resources, "<< /ProcSet [/PDF /Text /ImageC] /Font << " + fontList + ">> /XObject << " + imageList + ">> >>");

    const qsizetype xref = out_.size();
    // The file's identifier: a digest of its own bytes, so the same document gets the same.
    const QByteArray id = QCryptographicHash::hash(out_, QCryptographicHash::Md5).toHex().toUpper();
    out_ += "xref\n0 " + QByteArray::number(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets_)
        out_ += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out_ += "trailer\n<< /Size " + QByteArray::number(offsets_.size() + 1) + " /Root " + QByteArray::number(catalog)
          + " 0 R /Info " + QByteArray::number(info) + " 0 R /ID [<" + id + "> <" + id + ">] >>\nstartxref\n"
          + QByteArray::number(xref) + "\n%%EOF\n";
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
