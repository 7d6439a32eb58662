#include "core/campi.h"

#include "core/allegato.h"
#include "core/numeri.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>

namespace perix {

namespace {

const QString troppoGrande = QStringLiteral("il file è troppo grande per essere un archivio");

bool spazio(QChar c) { return c == u' ' || c == u'\t'; }

// Control characters, and the invisible format ones (bidi embeddings, overrides and
// isolates, zero-width spaces and joiners, the byte-order mark, soft hyphens): a value
// wrapped in U+202E ... U+202C would show as one figure and read as another.
bool invisibile(char32_t u)
{
    const auto c = QChar::category(u);
    // The line and paragraph separators break a line in an editor as a line end does.
    return c == QChar::Other_Control || c == QChar::Other_Format || c == QChar::Separator_Line
        || c == QChar::Separator_Paragraph;
}

QString senzaSpazi(QStringView t)
{
    qsizetype a = 0, b = t.size();
    while (a < b && spazio(t[a]))
        ++a;
    while (b > a && spazio(t[b - 1]))
        --b;
    return t.mid(a, b - a).toString();
}

bool utf8Valido(const QByteArray &dati)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignorato = utf8.decode(dati); // decode() is lazy: converting runs it
    return !utf8.hasError();
}

bool soloAscii(const QByteArray &dati)
{
    for (char c : dati)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// NUL anywhere, or a control character outside quotes (other than tab and the line
// ends), means a file that is not text at all. Inside quotes one is a pasted character
// that older versions wrote into a field: the field drops it on reading.
bool testuale(const QByteArray &dati)
{
    bool citato = false;
    for (char c : dati) {
        const uchar u = uchar(c);
        if (u == '"')
            citato = !citato; // a doubled quote toggles twice
        else if (u == 0 || (!citato && ((u < 0x20 && u != '\t' && u != '\r' && u != '\n') || u == 0x7f)))
            return false;
    }
    return true;
}

char32_t primoInvisibile(const QString &testo)
{
    for (qsizetype i = 0; i < testo.size(); ++i) {
        char32_t u = testo[i].unicode();
        if (testo[i].isHighSurrogate() && i + 1 < testo.size() && testo[i + 1].isLowSurrogate())
            u = QChar::surrogateToUcs4(testo[i], testo[i + 1]);
        if (invisibile(u))
            return u;
    }
    return 0;
}

QString campiLetti(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 campo") : QStringLiteral("%1 campi").arg(n);
}

void scriviTesto(QString &riga, const QString &testo)
{
    riga += u'"';
    for (QChar c : testo) {
        if (c == u'"')
            riga += u'"'; // doubled, so a quote inside a text reads back as one
        riga += c;
    }
    riga += u'"';
}

} // namespace

QString decodificaTesto(const QByteArray &dati)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString t = utf8.decode(dati);
    if (!utf8.hasError())
        return t;
    QStringDecoder w1252("windows-1252");
    if (w1252.isValid())
        return w1252.decode(dati);
    return QString::fromLatin1(dati); // a Qt without ICU: the same letters but for 0x80-0x9F
}

QString numeroInvariante(double valore)
{
    return testoInvariante(valore);
}

QByteArray codificaRecord(const Record &record)
{
    QString testo;
    for (const Riga &riga : record) {
        // An empty line would read back as one empty field and shift all the rest.
        if (riga.isEmpty())
            continue;
        bool primo = true;
        for (const Valore &v : riga) {
            if (!primo)
                testo += u',';
            primo = false;
            if (const auto *s = std::get_if<QString>(&v))
                scriviTesto(testo, senzaControlli(*s));
            else if (const auto *n = std::get_if<double>(&v))
                testo += numeroInvariante(*n);
        }
        testo += QStringLiteral("\r\n");
    }
    QStringEncoder w1252("windows-1252");
    if (w1252.isValid()) {
        const QByteArray b = w1252.encode(testo);
        // Bytes that happen to be valid UTF-8 ("Ã¨") would be read back as UTF-8 and
        // change; such rare texts go out as UTF-8 instead.
        if (!w1252.hasError() && (soloAscii(b) || !utf8Valido(b)))
            return b;
    }
    return testo.toUtf8();
}

std::optional<double> Campo::numero() const
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(senzaSpazi(testo), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

Valore Campo::valore() const
{
    if (citato)
        return testo;
    if (testo.isEmpty())
        return std::monostate{};
    if (const auto n = numero())
        return *n;
    return testo;
}

namespace {

// Reads fields in file order; `prendi` receives each field and whether a line end
// closed it, and says whether to go on. Nothing but the reason when the data fail.
std::optional<QString> scandisci(const QByteArray &dati,
                                 const std::function<bool(Campo &&, bool fineRiga)> &prendi)
{
    if (dati.size() > dimensioneMassima)
        return troppoGrande;
    if (!testuale(dati))
        return QStringLiteral("il file non contiene testo");
    const QString t = decodificaTesto(dati);
    const qsizetype n = t.size();
    qsizetype p = 0;
    // After a comma another field follows even at the end of the data ("a," holds two).
    bool dopoVirgola = false;
    for (int numero = 1;; ++numero) {
        while (p < n && spazio(t[p]))
            ++p;
        if (p == n && !dopoVirgola)
            return std::nullopt;
        Campo c;
        if (p < n && t[p] == u'"') {
            c.citato = true;
            ++p;
            bool aCapo = false;
            for (;;) {
                if (p == n)
                    return QStringLiteral("virgolette non chiuse nel campo %1").arg(numero);
                if (t[p] == u'"') {
                    if (p + 1 < n && t[p + 1] == u'"') {
                        c.testo += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                aCapo = aCapo || t[p] == u'\r' || t[p] == u'\n';
                c.testo += t[p];
                ++p;
            }
            c.invisibile = primoInvisibile(c.testo);
            c.testo = senzaControlli(std::move(c.testo));
            // The program never writes a line end inside quotes: one there joins two lines
            // of the file into one field and every later field moves up a line.
            if (aCapo)
                c.difetto = QStringLiteral("va a capo dentro le virgolette");
            while (p < n && spazio(t[p]))
                ++p;
            const qsizetype coda = p;
            while (p < n && t[p] != u',' && t[p] != u'\r' && t[p] != u'\n')
                ++p;
            // "1200"000 is no field the program writes, and dropping the tail changes the figure.
            if (p > coda && c.difetto.isEmpty())
                c.difetto = QStringLiteral("ha del testo dopo le virgolette chiuse («%1»)")
                                .arg(breve(QStringView(t).mid(coda, p - coda).toString(), 20));
        } else {
            const qsizetype inizio = p;
            while (p < n && t[p] != u',' && t[p] != u'\r' && t[p] != u'\n')
                ++p;
            const QString grezzo = QStringView(t).mid(inizio, p - inizio).toString();
            c.invisibile = primoInvisibile(grezzo);
            // Controls first: a blank before one would otherwise stay at the end.
            c.testo = senzaSpazi(senzaControlli(grezzo));
        }
        // A window's text field keeps only its first characters: a longer value would be
        // checked whole and then used cut.
        if (c.testo.size() > caratteriCampo && c.difetto.isEmpty())
            c.difetto = QStringLiteral("è più lungo di quanto un campo contenga (%1 caratteri, al massimo %2)")
                            .arg(QLocale().toString(c.testo.size()), QLocale().toString(caratteriCampo));
        dopoVirgola = false;
        bool fineRiga = true;
        if (p < n && t[p] == u',') {
            ++p;
            dopoVirgola = true;
            fineRiga = false;
        } else if (p < n && t[p] == u'\r') {
            ++p;
            if (p < n && t[p] == u'\n')
                ++p;
        } else if (p < n && t[p] == u'\n') {
            ++p;
        }
        if (!prendi(std::move(c), fineRiga))
            return std::nullopt;
    }
}

} // namespace

std::optional<QList<Campo>> leggiCampi(const QByteArray &dati, int quanti, QString *motivo)
{
    if (quanti <= 0)
        return QList<Campo>{};
    if (dati.isEmpty())
        return rifiuta(motivo, QStringLiteral("il file è vuoto"));
    QList<Campo> campi;
    // Never more fields than bytes, whatever count the caller asks for.
    campi.reserve(std::min<qsizetype>(quanti, dati.size() + 1));
    // As leggiRighe: a field is judged only before an appendix's marker line.
    qsizetype nelRecord = -1;
    bool inizioRiga = true;
    const auto errore = scandisci(dati, [&](Campo &&c, bool fineRiga) {
        if (inizioRiga && nelRecord < 0 && separaAllegato({{c}}).record.isEmpty())
            nelRecord = campi.size();
        inizioRiga = fineRiga;
        campi.append(std::move(c));
        return campi.size() < quanti;
    });
    if (errore)
        return rifiuta(motivo, *errore);
    for (qsizetype i = 0; i < (nelRecord < 0 ? campi.size() : nelRecord); ++i)
        if (!campi[i].difetto.isEmpty())
            return rifiuta(motivo, QStringLiteral("il campo %1 %2").arg(i + 1).arg(campi[i].difetto));
    if (campi.size() < quanti)
        return rifiuta(motivo, QStringLiteral("il file è incompleto: contiene %1 su %2 attesi")
                                   .arg(campiLetti(campi.size()))
                                   .arg(quanti));
    return campi;
}

std::optional<QList<QList<Campo>>> leggiRighe(const QByteArray &dati, QString *motivo)
{
    QList<QList<Campo>> righe;
    bool nuova = true;
    const auto errore = scandisci(dati, [&](Campo &&c, bool fineRiga) {
        if (nuova)
            righe.append(QList<Campo>{});
        righe.last().append(std::move(c));
        nuova = fineRiga;
        return true;
    });
    if (errore)
        return rifiuta(motivo, *errore);
    // The appendix's own reader judges its lines.
    const qsizetype nelRecord = separaAllegato(righe).record.size();
    for (qsizetype i = 0; i < nelRecord; ++i)
        for (qsizetype j = 0; j < righe[i].size(); ++j)
            if (!righe[i][j].difetto.isEmpty())
                return rifiuta(motivo, QStringLiteral("il campo %1 della riga %2 %3")
                                           .arg(j + 1)
                                           .arg(i + 1)
                                           .arg(righe[i][j].difetto));
    return righe;
}

std::optional<QByteArray> leggiFile(const QString &percorso, QString *motivo)
{
    const QFileInfo info(percorso);
    if (percorso.isEmpty() || !info.exists())
        return rifiuta(motivo, QStringLiteral("il file non esiste"));
    if (info.isDir())
        return rifiuta(motivo, QStringLiteral("è una cartella, non un file"));
    // Devices and pipes could block or never end.
    if (!info.isFile())
        return rifiuta(motivo, QStringLiteral("non è un file ordinario"));
    if (info.size() > dimensioneMassima)
        return rifiuta(motivo, troppoGrande);
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        // QFile reports a refused permission as a plain open error: ask the system instead.
        return rifiuta(motivo, !info.isReadable() ? QStringLiteral("non si hanno i permessi per leggerlo")
                                                  : QStringLiteral("il file non può essere letto"));
    // One byte past the limit tells a file that grew since it was measured.
    QByteArray dati = f.read(dimensioneMassima + 1);
    if (f.error() != QFileDevice::NoError)
        return rifiuta(motivo, QStringLiteral("errore durante la lettura"));
    if (dati.size() > dimensioneMassima)
        return rifiuta(motivo, troppoGrande);
    return dati;
}

QString senzaControlli(QString testo)
{
    const qsizetype n = testo.size();
    qsizetype i = 0;
    const auto passo = [&testo, n](qsizetype p, char32_t *u) -> qsizetype {
        if (testo[p].isHighSurrogate() && p + 1 < n && testo[p + 1].isLowSurrogate()) {
            *u = QChar::surrogateToUcs4(testo[p], testo[p + 1]);
            return 2;
        }
        *u = testo[p].unicode();
        return 1;
    };
    // Most texts hold none: they come back as they are, without a copy.
    char32_t u = 0;
    qsizetype l = 0;
    for (; i < n; i += l) {
        l = passo(i, &u);
        if (invisibile(u))
            break;
    }
    if (i == n)
        return testo;
    QString pulito;
    pulito.reserve(n);
    pulito.append(QStringView(testo).left(i));
    while (i < n) {
        l = passo(i, &u);
        if (!invisibile(u))
            pulito.append(QStringView(testo).mid(i, l));
        i += l;
    }
    return pulito;
}

std::optional<QList<Campo>> leggiArchivio(const QString &percorso, int quanti, QString *motivo)
{
    const auto dati = leggiFile(percorso, motivo);
    if (!dati)
        return std::nullopt;
    return leggiCampi(*dati, quanti, motivo);
}

bool scriviDati(QIODevice &dispositivo, const QByteArray &dati, QString *motivo)
{
    qint64 scritti = 0;
    while (scritti < dati.size()) {
        const qint64 n = dispositivo.write(dati.constData() + scritti, dati.size() - scritti);
        if (n <= 0)
            return falso(motivo, QStringLiteral("la scrittura si è interrotta (disco pieno o non disponibile)"));
        scritti += n;
    }
    return true;
}

bool salvaAtomico(const QString &percorso, const QByteArray &dati, QString *motivo)
{
    return salvaAtomico(
        percorso, [&dati](QIODevice &d, QString *m) { return scriviDati(d, dati, m); }, motivo);
}

} // namespace perix
