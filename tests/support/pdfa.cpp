#include "pdfa.h"

#include "supporto_base.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

#include <cmath>

namespace perix::prova {

namespace {

// The objects of a file as qpdf's JSON gives them, references followed.
class Oggetti
{
public:
    explicit Oggetti(const QJsonObject &tutti) : tutti_(tutti) {}

    static bool riferimento(const QJsonValue &v) { return v.isString() && v.toString().endsWith(QLatin1String(" 0 R")); }
    QJsonObject oggetto(const QString &rif) const { return tutti_.value(QStringLiteral("obj:") + rif).toObject(); }
    // A value with its reference followed: a dictionary, a stream's dictionary, an array...
    QJsonValue valore(const QJsonValue &v) const
    {
        if (!riferimento(v))
            return v;
        const QJsonObject o = oggetto(v.toString());
        if (o.contains(QStringLiteral("stream")))
            return o.value(QStringLiteral("stream")).toObject().value(QStringLiteral("dict"));
        return o.value(QStringLiteral("value"));
    }
    QJsonObject dizionario(const QJsonValue &v) const { return valore(v).toObject(); }
    QByteArray dati(const QJsonValue &rif) const
    {
        const QJsonObject s = oggetto(rif.toString()).value(QStringLiteral("stream")).toObject();
        return QByteArray::fromBase64(s.value(QStringLiteral("data")).toString().toLatin1());
    }
    const QJsonObject &tutti() const { return tutti_; }

private:
    QJsonObject tutti_;
};

QString testo(const QJsonValue &v)
{
    const QString s = v.toString();
    if (s.startsWith(QLatin1String("u:")))
        return s.mid(2);
    if (s.startsWith(QLatin1String("b:"))) {
        const QByteArray b = QByteArray::fromHex(s.mid(2).toLatin1());
        if (b.startsWith("\xFE\xFF"))
            return QString::fromUtf16(reinterpret_cast<const char16_t *>(QByteArray(b.mid(2)).data()), (b.size() - 2) / 2);
        return QString::fromLatin1(b);
    }
    return s;
}

// The advances of a font file (its hmtx), in thousandths of the em; empty when unreadable.
QList<double> avanzamenti(const QString &file)
{
    const QByteArray f = contenuto(file);
    const auto u16 = [&](qsizetype at) -> quint32 { return at + 2 <= f.size() ? quint32(uchar(f[at]) << 8 | uchar(f[at + 1])) : 0; };
    const auto u32 = [&](qsizetype at) -> quint32 { return u16(at) << 16 | u16(at + 2); };
    QHash<QByteArray, qsizetype> tabelle;
    for (quint32 i = 0; i < u16(4); ++i)
        tabelle.insert(f.mid(12 + 16 * i, 4), u32(12 + 16 * i + 8));
    if (!tabelle.contains("head") || !tabelle.contains("hhea") || !tabelle.contains("hmtx") || !tabelle.contains("maxp"))
        return {};
    const double em = u16(tabelle["head"] + 18);
    const quint32 metriche = u16(tabelle["hhea"] + 34), glifi = u16(tabelle["maxp"] + 4);
    QList<double> a;
    for (quint32 g = 0; g < glifi && em > 0; ++g)
        a.append(u16(tabelle["hmtx"] + 4 * std::min(g, metriche - 1)) * 1000.0 / em);
    return a;
}

QString fileDelCarattere(const QString &nomePostScript)
{
    const QString fc = eseguibile({QStringLiteral("fc-match")});
    return fc.isEmpty() ? QString()
                        : uscitaDi(fc, {QStringLiteral("-f"), QStringLiteral("%{file}"), QStringLiteral(":postscriptname=") + nomePostScript});
}

// Every dictionary of the file, streams' included, with the object it is in.
void dizionari(const QJsonValue &v, const QString &dove, QList<std::pair<QString, QJsonObject>> &tutti)
{
    if (v.isObject()) {
        tutti.append({dove, v.toObject()});
        for (const QJsonValue &x : v.toObject())
            dizionari(x, dove, tutti);
    } else if (v.isArray()) {
        for (const QJsonValue &x : v.toArray())
            dizionari(x, dove, tutti);
    }
}

} // namespace

QStringList difettiPdfA(const QString &pdf, bool *qpdfManca)
{
    QStringList d;
    const QString qpdf = eseguibile({QStringLiteral("qpdf")});
    if (qpdfManca)
        *qpdfManca = qpdf.isEmpty();
    if (qpdf.isEmpty())
        return d;
    const QByteArray file = contenuto(pdf);

    // The file's own bytes: a PDF 1.4 header with a comment of four bytes over 127, nothing
    // after the last %%EOF but one end of line.
    const bool binario = file.size() > 14 && file.startsWith("%PDF-1.4\n%")
                      && std::all_of(file.begin() + 10, file.begin() + 14, [](char c) { return uchar(c) > 127; });
    if (!binario)
        d << QStringLiteral("intestazione: non è «%PDF-1.4» seguita da un commento binario");
    const qsizetype fine = file.lastIndexOf("%%EOF");
    if (fine < 0 || !(file.mid(fine + 5).isEmpty() || file.mid(fine + 5) == "\n" || file.mid(fine + 5) == "\r\n"))
        d << QStringLiteral("dopo l'ultimo %%EOF c'è altro");

    QProcess controllo;
    controllo.start(qpdf, {QStringLiteral("--check"), pdf});
    controllo.waitForFinished(60000);
    if (controllo.exitCode() != 0)
        d << QStringLiteral("qpdf --check: ") + QString::fromUtf8(controllo.readAllStandardOutput());

    QProcess json;
    json.start(qpdf, {QStringLiteral("--json=2"), QStringLiteral("--json-stream-data=inline"),
                      QStringLiteral("--decode-level=generalized"), pdf});
    json.waitForFinished(60000);
    const QJsonArray q = QJsonDocument::fromJson(json.readAllStandardOutput()).object().value(QStringLiteral("qpdf")).toArray();
    if (q.size() < 2)
        return d << QStringLiteral("qpdf non legge gli oggetti del file");
    const Oggetti o(q.at(1).toObject());
    const QJsonObject trailer = o.tutti().value(QStringLiteral("trailer")).toObject().value(QStringLiteral("value")).toObject();

    // Identifier, no encryption.
    if (trailer.value(QStringLiteral("/ID")).toArray().size() != 2)
        d << QStringLiteral("il trailer non ha l'identificatore del documento (/ID)");
    if (trailer.contains(QStringLiteral("/Encrypt")))
        d << QStringLiteral("il documento è cifrato");

    // Metadata: XMP uncompressed, PDF/A-1b, the same as the Info dictionary.
    const QJsonObject catalogo = o.dizionario(trailer.value(QStringLiteral("/Root")));
    const QJsonObject info = o.dizionario(trailer.value(QStringLiteral("/Info")));
    const QJsonValue metadati = catalogo.value(QStringLiteral("/Metadata"));
    const QJsonObject dm = o.dizionario(metadati);
    const QString xmp = QString::fromUtf8(o.dati(metadati));
    if (dm.value(QStringLiteral("/Subtype")).toString() != QLatin1String("/XML") || dm.contains(QStringLiteral("/Filter")))
        d << QStringLiteral("metadati XMP assenti o compressi");
    const auto campo = [&](const QString &nome) {
        static const QRegularExpression spazi(QStringLiteral("\\s+"));
        const QRegularExpression re(QStringLiteral("<%1>(?:<rdf:Alt><rdf:li[^>]*>)?([^<]*)<").arg(nome));
        const auto m = re.match(xmp);
        return m.hasMatch() ? m.captured(1).replace(spazi, QStringLiteral(" ")) : QStringLiteral("<manca>");
    };
    if (campo(QStringLiteral("pdfaid:part")) != QLatin1String("1") || campo(QStringLiteral("pdfaid:conformance")) != QLatin1String("B"))
        d << QStringLiteral("i metadati non dicono PDF/A-1b (pdfaid:part 1, pdfaid:conformance B)");
    const auto xml = [](QString s) {
        return s.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\"")).replace(QLatin1String("&#39;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
    };
    for (const auto &[chiave, nome] : {std::pair{"/Title", "dc:title"}, std::pair{"/Creator", "xmp:CreatorTool"},
                                       std::pair{"/Producer", "pdf:Producer"}})
        if (info.contains(QLatin1String(chiave)) && testo(info.value(QLatin1String(chiave))) != xml(campo(QLatin1String(nome))))
            d << QStringLiteral("%1 del dizionario Info diverso da %2 dei metadati").arg(QLatin1String(chiave), QLatin1String(nome));
    for (const auto &[chiave, nome] : {std::pair{"/CreationDate", "xmp:CreateDate"}, std::pair{"/ModDate", "xmp:ModifyDate"}}) {
        if (!info.contains(QLatin1String(chiave)))
            continue;
        static const QRegularExpression data(QStringLiteral("^D:(\\d{14})(Z|[+-]\\d\\d'\\d\\d'?)?"));
        const auto m = data.match(testo(info.value(QLatin1String(chiave))));
        QString zona = m.captured(2).isEmpty() || m.captured(2) == QLatin1String("Z") ? QStringLiteral("+00:00") : m.captured(2).left(6).replace(QLatin1Char('\''), QLatin1Char(':'));
        const QDateTime i = QDateTime::fromString(m.captured(1) + zona, QStringLiteral("yyyyMMddHHmmsst"));
        QString x = campo(QLatin1String(nome));
        const QDateTime t = QDateTime::fromString(x.replace(QLatin1String("Z"), QLatin1String("+00:00")), Qt::ISODate);
        if (!m.hasMatch() || !t.isValid() || i.toSecsSinceEpoch() != t.toSecsSinceEpoch())
            d << QStringLiteral("%1 del dizionario Info diversa da %2 dei metadati").arg(QLatin1String(chiave), QLatin1String(nome));
    }

    // Output intent: GTS_PDFA1 with an RGB ICC profile of version 2, embedded once.
    const QJsonArray intenti = o.valore(catalogo.value(QStringLiteral("/OutputIntents"))).toArray();
    QSet<QString> profili;
    for (const QJsonValue &i : intenti) {
        const QJsonObject intento = o.dizionario(i);
        if (intento.value(QStringLiteral("/S")).toString() != QLatin1String("/GTS_PDFA1"))
            continue;
        const QJsonValue p = intento.value(QStringLiteral("/DestOutputProfile"));
        const QByteArray icc = o.dati(p);
        if (o.dizionario(p).value(QStringLiteral("/N")).toInt() != 3 || icc.mid(36, 4) != "acsp" || icc.mid(16, 4) != "RGB "
            || icc.at(8) != 2)
            d << QStringLiteral("il profilo ICC dell'intento d'uscita non è un profilo RGB di versione 2");
        profili << p.toString();
    }
    if (profili.size() != 1)
        d << QStringLiteral("%1 profili ICC GTS_PDFA1 invece di uno").arg(profili.size());

    // What PDF/A-1 forbids anywhere: transparency, LZW and JPEG 2000, actions, scripts.
    QList<std::pair<QString, QJsonObject>> tutti;
    for (auto it = o.tutti().begin(); it != o.tutti().end(); ++it)
        dizionari(it.value(), it.key(), tutti);
    int icc = 0;
    for (const auto &[dove, diz] : tutti) {
        const QString filtro = QJsonDocument(QJsonArray{diz.value(QStringLiteral("/Filter"))}).toJson(QJsonDocument::Compact);
        if (filtro.contains(QLatin1String("LZWDecode")) || filtro.contains(QLatin1String("JPXDecode")))
            d << dove + QStringLiteral(": filtro LZW o JPEG 2000");
        if (diz.contains(QStringLiteral("/SMask")) && diz.value(QStringLiteral("/SMask")).toString() != QLatin1String("/None"))
            d << dove + QStringLiteral(": maschera morbida (trasparenza)");
        for (const char *alfa : {"/CA", "/ca"})
            if (diz.contains(QLatin1String(alfa)) && diz.value(QLatin1String(alfa)).toDouble() != 1.0)
                d << dove + QStringLiteral(": opacità %1").arg(QLatin1String(alfa));
        if (diz.value(QStringLiteral("/S")).toString() == QLatin1String("/Transparency"))
            d << dove + QStringLiteral(": gruppo di trasparenza");
        for (const char *azione : {"/A", "/AA", "/OpenAction", "/JS", "/JavaScript"})
            if (diz.contains(QLatin1String(azione)))
                d << dove + QStringLiteral(": azione %1").arg(QLatin1String(azione));
        if (diz.value(QStringLiteral("/Interpolate")).toBool())
            d << dove + QStringLiteral(": immagine interpolata");
        if (diz.contains(QStringLiteral("/N")) && diz.contains(QStringLiteral("/Length")) && !diz.contains(QStringLiteral("/Type")))
            ++icc;
    }
    if (icc > 1)
        d << QStringLiteral("%1 profili ICC nel file invece di uno").arg(icc);

    // The limits of PDF 1.4 readers that PDF/A keeps: real numbers within ±32767, integers
    // within 32 bits, in the pages' content as in the objects.
    static const QRegularExpression numero(QStringLiteral("(?<![\\w/.#])[-+]?(\\d*\\.\\d+|\\d+\\.?)(?![\\w.])"));
    for (auto it = o.tutti().begin(); it != o.tutti().end(); ++it) {
        const QJsonObject s = it.value().toObject().value(QStringLiteral("stream")).toObject();
        const QJsonObject sd = s.value(QStringLiteral("dict")).toObject();
        if (s.isEmpty() || sd.contains(QStringLiteral("/Subtype")) || sd.contains(QStringLiteral("/N")) || sd.contains(QStringLiteral("/Type")))
            continue; // pictures, fonts, profiles and metadata hold no operators
        const QString contenuto = QString::fromLatin1(o.dati(it.key().mid(4)));
        if (contenuto.contains(QLatin1String("begincmap")))
            continue;
        for (auto m = numero.globalMatch(contenuto); m.hasNext();) {
            const QString t = m.next().captured(0);
            const double v = t.toDouble();
            if (t.contains(QLatin1Char('.')) ? std::abs(v) > 32767 : std::abs(v) > 2147483647.0) {
                d << it.key() + QStringLiteral(": numero %1 oltre i limiti").arg(t);
                break;
            }
        }
    }

    // Fonts: every one embedded, subsets with CIDSet or CharSet, widths as the font's.
    for (const auto &[dove, font] : tutti) {
        if (font.value(QStringLiteral("/Type")).toString() != QLatin1String("/Font"))
            continue;
        const QString tipo = font.value(QStringLiteral("/Subtype")).toString();
        if (tipo == QLatin1String("/Type0"))
            continue; // its descendant is checked as itself
        const QString nome = font.value(QStringLiteral("/BaseFont")).toString().mid(1);
        if (tipo == QLatin1String("/Type3")) {
            // A Type 3 font's glyphs are in the file; each width is its glyph's own.
            const QJsonObject procedure = o.dizionario(font.value(QStringLiteral("/CharProcs")));
            const QJsonArray differenze = o.dizionario(font.value(QStringLiteral("/Encoding"))).value(QStringLiteral("/Differences")).toArray();
            const QJsonArray larghezze = o.valore(font.value(QStringLiteral("/Widths"))).toArray();
            int codice = 0;
            for (const QJsonValue &v : differenze) {
                if (v.isDouble()) {
                    codice = v.toInt();
                    continue;
                }
                const QByteArray glifo = o.dati(procedure.value(v.toString()));
                const double w = glifo.left(glifo.indexOf(' ')).toDouble();
                if (codice - font.value(QStringLiteral("/FirstChar")).toInt() >= larghezze.size()
                    || std::abs(larghezze.at(codice - font.value(QStringLiteral("/FirstChar")).toInt()).toDouble() - w) > 0.01)
                    d << dove + QStringLiteral(": larghezza del codice %1 diversa da quella del suo glifo").arg(codice);
                ++codice;
            }
            continue;
        }
        const QJsonObject descrittore = o.dizionario(font.value(QStringLiteral("/FontDescriptor")));
        if (!descrittore.contains(QStringLiteral("/FontFile")) && !descrittore.contains(QStringLiteral("/FontFile2"))
            && !descrittore.contains(QStringLiteral("/FontFile3"))) {
            d << QStringLiteral("%1 (%2) non è incorporato").arg(nome, dove);
            continue;
        }
        static const QRegularExpression sottoinsieme(QStringLiteral("^[A-Z]{6}\\+(.+)$"));
        const auto m = sottoinsieme.match(nome);
        const bool cid = tipo.startsWith(QLatin1String("/CIDFontType"));
        if (m.hasMatch() && !descrittore.contains(cid ? QStringLiteral("/CIDSet") : QStringLiteral("/CharSet")))
            d << QStringLiteral("%1: sottoinsieme senza %2").arg(nome, cid ? QStringLiteral("CIDSet") : QStringLiteral("CharSet"));
        if (!cid)
            continue;
        // The widths against the font file it was cut from (the subset keeps its metrics).
        const QList<double> proprie = avanzamenti(fileDelCarattere(m.hasMatch() ? m.captured(1) : nome));
        const QByteArray insieme = o.dati(descrittore.value(QStringLiteral("/CIDSet")));
        const QJsonArray w = o.valore(font.value(QStringLiteral("/W"))).toArray();
        for (qsizetype i = 0; i + 1 < w.size(); i += 2) {
            const QJsonArray serie = o.valore(w.at(i + 1)).toArray();
            for (qsizetype k = 0; k < serie.size(); ++k) {
                const int g = w.at(i).toInt() + int(k);
                if (g / 8 >= insieme.size() || !(uchar(insieme.at(g / 8)) & (0x80 >> (g % 8))))
                    d << QStringLiteral("%1: il glifo %2 non è nel CIDSet").arg(nome).arg(g);
                if (proprie.isEmpty())
                    d << QStringLiteral("%1: il file del carattere non si legge, larghezze non verificate").arg(nome);
                else if (g >= proprie.size() || std::abs(proprie.at(g) - serie.at(k).toDouble()) > 0.01)
                    d << QStringLiteral("%1: larghezza del glifo %2 diversa da quella del carattere").arg(nome).arg(g);
            }
        }
    }
    d.removeDuplicates();
    return d;
}

} // namespace perix::prova
