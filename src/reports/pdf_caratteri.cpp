#include "reports/pdf_caratteri.h"

#include <QCoreApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <memory>

namespace perix {

namespace {

// A number in the one- or two-byte forms that charstrings and DICTs share; false when it
// needs a longer one.
bool shortNumber(QByteArray &out, int v)
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
        return false;
    }
    return true;
}

// A number in a Type 2 charstring (whole numbers: a thousandth of the em is fine enough).
void charStringNumber(QByteArray &out, int v)
{
    if (shortNumber(out, v))
        return;
    v = std::clamp(v, -32768, 32767);
    out += char(28);
    out += char((v >> 8) & 0xFF);
    out += char(v & 0xFF);
}

// A DICT's offsets always take five bytes, so that they can be filled in later.
void dictOffset(QByteArray &out, int v)
{
    out += char(29);
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((quint32(v) >> shift) & 0xFF);
}

void dictNumber(QByteArray &out, int v)
{
    if (!shortNumber(out, v))
        dictOffset(out, v);
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

} // namespace

const Glyph &Face::glyph(quint32 index)
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

QString Face::text(quint32 index) const
{
    const auto it = characters.constFind(index);
    if (it == characters.constEnd())
        return {};
    const char32_t c = it.value();
    if (QChar::decompositionTag(c) == QChar::Compat && c >= 0xFB00 && c <= 0xFB06)
        return QChar::decomposition(c);
    return QString::fromUcs4(&c, 1);
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

QByteArray unicodeMap(const QHash<int, QString> &texts)
{
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    QList<int> codes = texts.keys();
    std::sort(codes.begin(), codes.end());
    for (qsizetype i = 0; i < codes.size(); i += 100) {
        const qsizetype n = std::min<qsizetype>(100, codes.size() - i);
        map += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype j = i; j < i + n; ++j) {
            map += '<' + QByteArray::number(codes[j] | 0x100, 16).mid(1) + "> <";
            for (QChar ch : texts.value(codes[j]))
                map += QByteArray::number(ch.unicode() | 0x10000, 16).mid(1);
            map += ">\n";
        }
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

} // namespace perix
