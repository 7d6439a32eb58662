#include "reports/pdf_caratteri.h"

#include <QCoreApplication>
#include <QPainterPath>

#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace perix {

namespace {

quint32 u16(const QByteArray &t, qsizetype at)
{
    return at + 2 <= t.size() ? quint32(uchar(t[at]) << 8 | uchar(t[at + 1])) : 0;
}
qint32 s16(const QByteArray &t, qsizetype at) { return qint16(quint16(u16(t, at))); }

// The tables a subset is cut from: outlines, metrics and the character map. Layout tables
// are left out: the page already holds the shaped glyphs.
constexpr const char *tables[] = {"CFF ", "glyf", "loca", "head", "hhea", "hmtx", "maxp", "cmap",
                                  "OS/2", "post", "name", "cvt ", "fpgm", "prep"};

hb_tag_t tag(const char *t) { return HB_TAG(t[0], t[1], t[2], t[3]); }

// The face as HarfBuzz reads it, from the tables Qt reads: null where there are none of the
// outlines it subsets (a Type 1 face has no tables at all).
hb_face_t *harfBuzzFace(const QRawFont &font, Face::Kind *kind)
{
    QHash<QByteArray, QByteArray> found;
    for (const char *t : tables) {
        const QByteArray data = font.fontTable(t);
        if (!data.isEmpty())
            found.insert(t, data);
    }
    if (!found.contains("head") || !found.contains("hmtx") || !found.contains("maxp"))
        return nullptr;
    if (found.contains("CFF "))
        *kind = Face::Kind::Cff;
    else if (found.contains("glyf") && found.contains("loca"))
        *kind = Face::Kind::TrueType;
    else
        return nullptr;
    hb_face_t *builder = hb_face_builder_create();
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        hb_blob_t *blob = hb_blob_create(it.value().constData(), unsigned(it.value().size()), HB_MEMORY_MODE_DUPLICATE,
                                         nullptr, nullptr);
        hb_face_builder_add_table(builder, tag(it.key().constData()), blob);
        hb_blob_destroy(blob);
    }
    hb_blob_t *file = hb_face_reference_blob(builder);
    hb_face_destroy(builder);
    hb_face_t *face = hb_face_create(file, 0);
    hb_blob_destroy(file);
    if (hb_face_get_glyph_count(face) == 0) {
        hb_face_destroy(face);
        return nullptr;
    }
    return face;
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

Face::~Face()
{
    if (hbFont)
        hb_font_destroy(hbFont);
    if (hb)
        hb_face_destroy(hb);
}

double Face::advance(quint32 glyph) const
{
    if (hbFont)
        return hb_font_get_glyph_h_advance(hbFont, glyph) * 1000.0 / unitsPerEm;
    const QList<QPointF> a = outlines.advancesForGlyphIndexes(QList<quint32>{glyph});
    return a.isEmpty() ? 0 : a.first().x();
}

QString Face::text(quint32 glyph) const
{
    const auto it = characters.constFind(glyph);
    if (it == characters.constEnd())
        return {};
    const char32_t c = it.value();
    if (QChar::decompositionTag(c) == QChar::Compat && c >= 0xFB00 && c <= 0xFB06)
        return QChar::decomposition(c);
    return QString::fromUcs4(&c, 1);
}

QByteArray Face::subset(const QList<quint32> &glyphs)
{
    if (!hb)
        return {};
    for (const auto &[kept, program] : subsets_)
        if (kept == glyphs)
            return program;
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    if (!input)
        return {};
    hb_set_t *set = hb_subset_input_glyph_set(input);
    for (quint32 g : glyphs)
        hb_set_add(set, g);
    // The glyph ids stay those of the font, which are the codes on the page; the missing
    // glyph keeps its own outline, as the window draws it.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    hb_face_t *cut = hb_subset_or_fail(hb, input);
    hb_subset_input_destroy(input);
    if (!cut)
        return {};
    hb_blob_t *blob = kind == Kind::Cff ? hb_face_reference_table(cut, HB_TAG('C', 'F', 'F', ' ')) : hb_face_reference_blob(cut);
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    const QByteArray program(data, qsizetype(length));
    hb_blob_destroy(blob);
    hb_face_destroy(cut);
    if (subsets_.size() >= 8)
        subsets_.removeFirst();
    subsets_.append({glyphs, program});
    return program;
}

QByteArray Face::path(quint32 glyph, QRectF *bounds) const
{
    const QPainterPath p = outlines.pathForGlyph(glyph);
    if (bounds)
        *bounds = p.elementCount() > 0 ? p.controlPointRect() : QRectF();
    QByteArray out;
    const auto point = [&](const QPainterPath::Element &e) {
        out += QByteArray::number(std::lround(e.x)) + ' ' + QByteArray::number(std::lround(-e.y)) + ' ';
    };
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            if (i > 0)
                out += "h\n";
            point(e);
            out += "m\n";
        } else if (e.type == QPainterPath::LineToElement) {
            point(e);
            out += "l\n";
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < p.elementCount()) {
            point(e);
            point(p.elementAt(i + 1));
            point(p.elementAt(i + 2));
            out += "c\n";
            i += 2;
        }
    }
    if (!out.isEmpty())
        out += "h f\n";
    return out;
}

Face &faceOf(const QRawFont &font)
{
    const QString key = font.familyName() + QLatin1Char('\n') + font.styleName() + QLatin1Char('\n')
                      + QString::number(font.weight()) + QLatin1Char('\n') + QString::number(int(font.style()));
    auto &all = faces();
    auto it = all.find(key);
    if (it != all.end())
        return *it.value();
    auto face = std::make_shared<Face>();
    face->outlines = font;
    face->outlines.setPixelSize(1000);
    face->name = postScriptName(font);
    face->hb = harfBuzzFace(font, &face->kind);
    if (face->hb) {
        face->unitsPerEm = std::max(1u, hb_face_get_upem(face->hb));
        face->hbFont = hb_font_create(face->hb);
        const double k = 1000.0 / face->unitsPerEm;
        const QByteArray head = font.fontTable("head"), hhea = font.fontTable("hhea");
        const QByteArray os2 = font.fontTable("OS/2"), post = font.fontTable("post");
        face->box = QRectF(QPointF(s16(head, 36) * k, s16(head, 38) * k), QPointF(s16(head, 40) * k, s16(head, 42) * k));
        face->ascent = s16(hhea, 4) * k;
        face->descent = -s16(hhea, 6) * k;
        face->capHeight = u16(os2, 0) >= 2 && os2.size() >= 90 ? s16(os2, 88) * k : face->ascent;
        face->italicAngle = post.size() >= 8 ? (s16(post, 4) + u16(post, 6) / 65536.0) : 0;
        // Each glyph with the first character that maps to it.
        hb_set_t *unicodes = hb_set_create();
        hb_face_collect_unicodes(face->hb, unicodes);
        for (hb_codepoint_t c = HB_SET_VALUE_INVALID; hb_set_next(unicodes, &c);) {
            hb_codepoint_t g = 0;
            if (hb_font_get_nominal_glyph(face->hbFont, c, &g) && g != 0 && !face->characters.contains(g))
                face->characters.insert(g, char32_t(c));
        }
        hb_set_destroy(unicodes);
    } else {
        face->ascent = face->outlines.ascent();
        face->descent = face->outlines.descent();
        face->capHeight = face->outlines.capHeight();
    }
    return *all.insert(key, face).value();
}

QByteArray unicodeMap(const QHash<int, QString> &texts, int bytes)
{
    const QByteArray range = bytes == 1 ? "<00> <FF>" : "<0000> <FFFF>";
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n" + range + "\nendcodespacerange\n";
    QList<int> codes = texts.keys();
    std::sort(codes.begin(), codes.end());
    const int top = bytes == 1 ? 0x100 : 0x10000;
    for (qsizetype i = 0; i < codes.size(); i += 100) {
        const qsizetype n = std::min<qsizetype>(100, codes.size() - i);
        map += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype j = i; j < i + n; ++j) {
            map += '<' + QByteArray::number(codes[j] | top, 16).mid(1) + "> <";
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
