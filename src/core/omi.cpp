#include "core/omi.h"

#include "core/numeri.h"

#include <QByteArrayView>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cstring>

namespace perix {

namespace {

constexpr int campiValori = 21;
// The fields whose places each line keeps: 7 (the comune's name) to 18 (the end of 17).
constexpr int primoCampo = 7;
constexpr int ultimoCampo = 18;
enum : int {
    cProv = 2, cIstat = 3, cNome = 7, cFascia = 8, cZona = 9, cLink = 10, cTipologia = 12, cStato = 13,
    cPrevalente = 14, cMinimo = 15, cMassimo = 16, cSuperficie = 17,
};

const QByteArray intestazioneValori =
    "Area_territoriale;Regione;Prov;Comune_ISTAT;Comune_cat;Sez;Comune_amm;Comune_descrizione;Fascia;Zona;"
    "LinkZona;Cod_Tip;Descr_Tipologia;Stato;Stato_prev;Compr_min;Compr_max;Sup_NL_compr;Loc_min;Loc_max;Sup_NL_loc";
const QByteArray intestazioneZone =
    "Area_territoriale;Regione;Prov;Comune_ISTAT;Comune_cat;Sez;Comune_amm;Comune_descrizione;Fascia;Zona_Descr;"
    "Zona;LinkZona;Cod_tip_prev;Descr_tip_prev;Stato_prev;Microzona";

const QString atteso = QStringLiteral("ci si aspettava il file dei valori delle quotazioni OMI dell'Agenzia "
                                      "Entrate (QI_..._VALORI.csv) o lo .zip scaricato che lo contiene");

bool scarta(QString *motivo, const QString &perche)
{
    if (motivo)
        *motivo = perche;
    return false;
}

// Windows-1252's characters for the bytes 0x80 to 0x9F; the others are Latin-1's.
constexpr char16_t cp1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD,
    0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0xFFFD, 0x017E, 0x0178,
};

QString daWindows1252(QByteArrayView b)
{
    QString s(b.size(), Qt::Uninitialized);
    QChar *d = s.data();
    for (qsizetype i = 0; i < b.size(); ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        d[i] = c >= 0x80 && c < 0xA0 ? QChar(cp1252[c - 0x80]) : QChar(c);
    }
    return s;
}

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool utf8Valido(const unsigned char *p, const unsigned char *fine)
{
    while (p < fine) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int n;
        unsigned minimo;
        if (c >= 0xC2 && c <= 0xDF)
            n = 1, minimo = 0x80;
        else if (c >= 0xE0 && c <= 0xEF)
            n = 2, minimo = 0x800;
        else if (c >= 0xF0 && c <= 0xF4)
            n = 3, minimo = 0x10000;
        else
            return false;
        if (fine - p <= n)
            return false;
        unsigned v = c & (0x3F >> n);
        for (int k = 1; k <= n; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            v = (v << 6) | (p[k] & 0x3F);
        }
        if (v < minimo || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return false;
        p += n + 1;
    }
    return true;
}

QString decodificaRiga(QByteArrayView b, bool utf8)
{
    return utf8 ? QString::fromUtf8(b) : daWindows1252(b);
}

// Without an early exit, so that the compiler can take the bytes many at a time.
bool haByteAlti(const char *p, qsizetype n)
{
    unsigned char o = 0;
    for (qsizetype i = 0; i < n; ++i)
        o |= static_cast<unsigned char>(p[i]);
    return o >= 0x80;
}

bool soloSpazi(const QByteArray &b)
{
    return std::all_of(b.cbegin(), b.cend(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

// A province: two letters.
bool provincia(QByteArrayView b)
{
    const auto lettera = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return b.size() == 2 && lettera(b[0]) && lettera(b[1]);
}

// A sale value: digits, optionally a comma and digits.
bool numeroOmi(QByteArrayView b)
{
    if (b.isEmpty() || b.size() > 12)
        return false;
    bool cifre = false, virgola = false;
    for (char c : b) {
        if (c >= '0' && c <= '9')
            cifre = true;
        else if (c == ',' && cifre && !virgola)
            virgola = true;
        else
            return false;
    }
    return b.back() != ',';
}

// A line without its line end.
QByteArrayView senzaFineRiga(QByteArrayView r)
{
    while (!r.isEmpty() && (r.back() == '\r' || r.back() == '\n'))
        r.chop(1);
    return r;
}

// The header compared without case and without the closing `;`.
bool eIntestazione(QByteArrayView riga, const QByteArray &attesa)
{
    riga = senzaFineRiga(riga).trimmed();
    if (riga.endsWith(';'))
        riga.chop(1);
    return riga.compare(attesa, Qt::CaseInsensitive) == 0;
}

struct Righe {
    const char *p, *fine;
    QByteArrayView prossima()
    {
        const char *a = p;
        const void *n = std::memchr(p, '\n', std::size_t(fine - p));
        p = n ? static_cast<const char *>(n) + 1 : fine;
        return {a, p - a};
    }
    bool finite() const { return p >= fine; }
};

QString semestreDa(QByteArrayView titolo, const QString &nome)
{
    static const QRegularExpression daTitolo(QStringLiteral("Semestre\\s+(\\d{4})\\s*/\\s*([12])"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression daNome(QStringLiteral("_(\\d{4})([12])_VALORI"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QString t = QString::fromLatin1(titolo.first(std::min<qsizetype>(titolo.size(), 300)));
    if (const auto m = daTitolo.match(t); m.hasMatch())
        return m.captured(1) + u'/' + m.captured(2);
    if (const auto m = daNome.match(nome); m.hasMatch())
        return m.captured(1) + u'/' + m.captured(2);
    return {};
}

QString primoNome(const QString &chiave)
{
    for (const QString sep : {QStringLiteral(" ("), QStringLiteral(" .")})
        if (const auto i = chiave.indexOf(sep); i > 0)
            return chiave.left(i);
    return {};
}

} // namespace

QString nomeFasciaOmi(const QString &fascia)
{
    if (fascia == u"B") return QStringLiteral("centrale");
    if (fascia == u"C") return QStringLiteral("semicentrale");
    if (fascia == u"D") return QStringLiteral("periferica");
    if (fascia == u"E") return QStringLiteral("suburbana");
    if (fascia == u"R") return QStringLiteral("extraurbana");
    return {};
}

QString chiaveNomeOmi(const QString &nome)
{
    const QString d = nome.normalized(QString::NormalizationForm_D);
    QString k;
    k.reserve(d.size());
    bool spazio = false;
    for (QChar c : d) {
        if (c.isMark() || c == u'`' || c == u'\'' || c == u'\u2019' || c == u'\u00B4' || c == u'\u2018')
            continue;
        if (c.isSpace()) {
            spazio = !k.isEmpty();
            continue;
        }
        if (spazio)
            k += u' ';
        spazio = false;
        k += c.toUpper();
    }
    return k;
}

QString nomeOmiVisibile(const QString &nome)
{
    QString n = nome;
    return n.replace(u'`', u'\'');
}

bool QuotazioneOmi::quotato() const
{
    const auto a = valoreOmi(minimo), b = valoreOmi(massimo);
    return a && b && (*a > 0 || *b > 0);
}

QString ZonaOmi::visibile() const
{
    return descrizione.isEmpty() ? zona : zona + QStringLiteral(" - ") + descrizione;
}

std::optional<double> valoreOmi(const QString &testo)
{
    QByteArray b = testo.trimmed().toLatin1();
    b.replace(".", "");
    b.replace(',', '.');
    double v = 0;
    const auto [fine, errore] = std::from_chars(b.constData(), b.constData() + b.size(), v);
    if (b.isEmpty() || errore != std::errc() || fine != b.constData() + b.size() || v < 0)
        return std::nullopt;
    return v;
}

std::optional<QuotazioniOmi> QuotazioniOmi::leggi(QByteArray valori, const QByteArray &zone, QString *motivo,
                                                  const QString &nome)
{
    // Not trimmed(): that would copy the whole file.
    if (soloSpazi(valori))
        return scarta(motivo, QStringLiteral("Il file è vuoto: %1.").arg(atteso)), std::nullopt;
    // Offsets are kept in 32 bits; the national file is some 19 MB.
    if (valori.size() > 1'000'000'000)
        return scarta(motivo, QStringLiteral("Il file è troppo grande: %1.").arg(atteso)), std::nullopt;
    if (valori.left(65536).contains('\0'))
        return scarta(motivo, QStringLiteral("Il file non è un file di testo: %1.").arg(atteso)), std::nullopt;

    QuotazioniOmi q;
    q.m_dati = std::move(valori);
    const char *base = q.m_dati.constData();
    Righe righe{base, base + q.m_dati.size()};
    if (q.m_dati.startsWith("\xEF\xBB\xBF"))
        righe.p += 3;
    QByteArrayView titolo = righe.prossima();
    QByteArrayView intestazione = titolo;
    if (!eIntestazione(titolo, intestazioneValori))
        intestazione = righe.prossima();
    else
        titolo = {};
    if (!eIntestazione(intestazione, intestazioneValori)) {
        if (eIntestazione(intestazione, intestazioneZone) || eIntestazione(titolo, intestazioneZone))
            return scarta(motivo, QStringLiteral("Questo è il file delle zone OMI (ZONE), non quello dei valori: "
                                                  "scegliere il file QI_..._VALORI.csv che gli sta accanto.")),
                   std::nullopt;
        return scarta(motivo, QStringLiteral("Il file non ha l'intestazione delle quotazioni OMI "
                                              "(Area_territoriale;Regione;Prov;...;Sup_NL_loc;): %1.")
                                   .arg(atteso)),
               std::nullopt;
    }
    q.m_semestre = semestreDa(titolo, nome);

    q.m_righe.reserve(std::size_t(q.m_dati.size() / 110 + 16));
    QHash<QByteArray, std::uint32_t> indiceComuni;
    QByteArrayView codicePrecedente, nomePrecedente;
    std::uint32_t comunePrecedente = 0;
    std::vector<std::uint32_t> quante;
    while (!righe.finite()) {
        const QByteArrayView riga = senzaFineRiga(righe.prossima());
        if (riga.trimmed().isEmpty())
            continue;
        // The places of every `;` up to the fields kept; the line must have them all.
        // One pass over the line: the places of the `;` up to the fields kept, how many there
        // are, and whether any byte is outside ASCII.
        std::uint32_t inizi[campiValori + 1];
        int n = 1;
        inizi[0] = 0;
        int punti = 0;
        unsigned char alto = 0;
        std::uint32_t ultimo = 0;
        const char *d = riga.data();
        const auto lunghezza = std::uint32_t(riga.size());
        for (std::uint32_t k = 0; k < lunghezza; ++k) {
            const auto c = static_cast<unsigned char>(d[k]);
            alto |= c;
            if (c == ';') {
                ++punti;
                ultimo = k + 1;
                if (n <= campiValori)
                    inizi[n++] = k + 1;
            }
        }
        const char *fineRiga = d + lunghezza;
        // 21 fields each closed by `;`, or the last one without it, and nothing after.
        const bool completa = (punti == campiValori && ultimo == lunghezza)
            || (punti == campiValori - 1 && ultimo < lunghezza);
        const auto campo = [&](int i) {
            const std::uint32_t fine = i + 1 < n ? inizi[i + 1] - 1 : std::uint32_t(riga.size());
            return riga.sliced(inizi[i], fine - inizi[i]).trimmed();
        };
        if (!completa || riga.size() > 65535 || !provincia(campo(cProv)) || campo(cIstat).isEmpty()
            || campo(cNome).isEmpty() || campo(cZona).isEmpty() || campo(cTipologia).isEmpty()
            || campo(cStato).isEmpty() || !numeroOmi(campo(cMinimo)) || !numeroOmi(campo(cMassimo))) {
            ++q.m_nonLette;
            continue;
        }
        Riga r;
        r.inizio = std::uint32_t(riga.data() - base);
        for (int i = primoCampo; i <= ultimoCampo; ++i)
            r.campi[i - primoCampo] = std::uint16_t(i < n ? inizi[i] : riga.size() + 1);
        r.utf8 = alto < 0x80
            || utf8Valido(reinterpret_cast<const unsigned char *>(riga.data()),
                          reinterpret_cast<const unsigned char *>(fineRiga));
        // A comune is its province, ISTAT code and name (its cadastral codes and sections may
        // differ from line to line); a file lists it on lines in a row.
        const QByteArrayView codice = riga.sliced(inizi[cProv], inizi[cIstat + 1] - 1 - inizi[cProv]);
        const QByteArrayView nomeGrezzo = riga.sliced(inizi[cNome], inizi[cNome + 1] - 1 - inizi[cNome]);
        if (q.m_righe.empty() || codice != codicePrecedente || nomeGrezzo != nomePrecedente) {
            // By the decoded name: the same comune may come in either encoding.
            const QString nome = decodificaRiga(nomeGrezzo.trimmed(), r.utf8);
            const QByteArray k = codice.toByteArray() + ';' + nome.toUtf8();
            auto it = indiceComuni.constFind(k);
            if (it == indiceComuni.cend()) {
                ComuneOmi c;
                c.nome = nomeOmiVisibile(nome);
                c.provincia = QString::fromLatin1(campo(cProv)).toUpper();
                c.chiave = chiaveNomeOmi(c.nome);
                c.chiaveBreve = primoNome(c.chiave);
                it = indiceComuni.insert(k, std::uint32_t(q.m_comuni.size()));
                q.m_comuni.push_back(std::move(c));
                quante.push_back(0);
            }
            comunePrecedente = *it;
            codicePrecedente = codice;
            nomePrecedente = nomeGrezzo;
        }
        r.comune = comunePrecedente;
        ++quante[comunePrecedente];
        q.m_righe.push_back(r);
    }
    if (q.m_righe.empty())
        return scarta(motivo, q.m_nonLette > 0
                                   ? QStringLiteral("Il file non contiene nessuna quotazione leggibile (%1): %2.")
                                         .arg(q.m_nonLette == 1 ? QStringLiteral("1 riga non letta")
                                                                : QStringLiteral("%1 righe non lette").arg(q.m_nonLette),
                                              atteso)
                                   : QStringLiteral("Il file non contiene quotazioni: %1.").arg(atteso)),
               std::nullopt;

    // Each comune's lines together, in the file's order: a stable counting sort.
    std::uint32_t posizione = 0;
    for (std::size_t c = 0; c < q.m_comuni.size(); ++c) {
        q.m_comuni[c].inizio = int(posizione);
        posizione += quante[c];
        q.m_comuni[c].fine = int(posizione);
        quante[c] = std::uint32_t(q.m_comuni[c].inizio);
    }
    q.m_ordine.resize(q.m_righe.size());
    for (std::uint32_t i = 0; i < q.m_righe.size(); ++i)
        q.m_ordine[quante[q.m_righe[i].comune]++] = i;

    // The ZONE file: each zone's description and prevalent type, by the zone's link code.
    if (!soloSpazi(zone)) {
        Righe rz{zone.constData(), zone.constData() + zone.size()};
        QByteArrayView t = rz.prossima();
        if (!eIntestazione(t, intestazioneZone))
            t = rz.prossima();
        if (eIntestazione(t, intestazioneZone)) {
            q.m_conZone = true;
            while (!rz.finite()) {
                const QByteArrayView riga = senzaFineRiga(rz.prossima());
                if (riga.trimmed().isEmpty())
                    continue;
                QList<QByteArrayView> c;
                qsizetype da = 0;
                for (qsizetype i = 0; i < riga.size() && c.size() < 16; ++i)
                    if (riga[i] == ';') {
                        c.append(riga.sliced(da, i - da).trimmed());
                        da = i + 1;
                    }
                if (c.size() < 14 || c[11].isEmpty()) {
                    ++q.m_zoneNonLette;
                    continue;
                }
                const bool utf8 = !haByteAlti(riga.data(), riga.size())
                    || utf8Valido(reinterpret_cast<const unsigned char *>(riga.data()),
                                  reinterpret_cast<const unsigned char *>(riga.data() + riga.size()));
                QByteArrayView d = c[9];
                if (d.size() >= 2 && d.front() == '\'' && d.back() == '\'')
                    d = d.sliced(1, d.size() - 2);
                InfoZona info{decodificaRiga(d, utf8).trimmed(), decodificaRiga(c[13], utf8)};
                if (info.tipologiaPrevalente == u"Non presente")
                    info.tipologiaPrevalente.clear();
                q.m_zone.insert(c[11].toByteArray(), std::move(info));
            }
        }
    }
    return q;
}

QByteArray QuotazioniOmi::campoGrezzo(const Riga &r, int indice) const
{
    const auto inizio = r.campi[indice - primoCampo], fine = r.campi[indice + 1 - primoCampo];
    return QByteArrayView(m_dati.constData() + r.inizio + inizio, fine - 1 - inizio).trimmed().toByteArray();
}

QString QuotazioniOmi::campo(const Riga &r, int indice) const
{
    const auto inizio = r.campi[indice - primoCampo], fine = r.campi[indice + 1 - primoCampo];
    return decodificaRiga(QByteArrayView(m_dati.constData() + r.inizio + inizio, fine - 1 - inizio).trimmed(), r.utf8);
}

QuotazioneOmi QuotazioniOmi::quotazione(const Riga &r) const
{
    QuotazioneOmi q;
    q.zona = campo(r, cZona);
    q.fascia = campo(r, cFascia);
    q.descrizione = m_zone.value(campoGrezzo(r, cLink)).descrizione;
    q.tipologia = campo(r, cTipologia);
    q.stato = campo(r, cStato);
    q.prevalente = campo(r, cPrevalente).compare(u"P", Qt::CaseInsensitive) == 0;
    q.minimo = campo(r, cMinimo);
    q.massimo = campo(r, cMassimo);
    q.superficie = campo(r, cSuperficie).toUpper();
    if (q.superficie != u"L" && q.superficie != u"N")
        q.superficie.clear();
    return q;
}

qsizetype QuotazioniOmi::numeroZone() const
{
    qsizetype n = 0;
    for (std::size_t c = 0; c < m_comuni.size(); ++c)
        n += zoneDi(int(c)).size();
    return n;
}

QList<int> QuotazioniOmi::cerca(const QString &parte) const
{
    const QString k = chiaveNomeOmi(parte);
    QList<int> trovati;
    for (std::size_t c = 0; c < m_comuni.size(); ++c)
        if (k.isEmpty() || m_comuni[c].chiave.contains(k))
            trovati.append(int(c));
    return trovati;
}

QList<int> QuotazioniOmi::comuniDiNome(const QString &nome) const
{
    static const QRegularExpression provincia(QStringLiteral("^(.*\\S)\\s*\\(\\s*([A-Za-z]{2})\\s*\\)\\s*$"));
    QString n = nome, prov;
    if (const auto m = provincia.match(nome); m.hasMatch()) {
        n = m.captured(1);
        prov = m.captured(2).toUpper();
    }
    const QString k = chiaveNomeOmi(n);
    QList<int> interi, brevi;
    if (k.isEmpty())
        return {};
    for (std::size_t c = 0; c < m_comuni.size(); ++c) {
        const ComuneOmi &co = m_comuni[c];
        if (!prov.isEmpty() && co.provincia != prov)
            continue;
        if (co.chiave == k)
            interi.append(int(c));
        else if (co.chiaveBreve == k)
            brevi.append(int(c));
    }
    return interi.isEmpty() ? brevi : interi;
}

QList<QuotazioneOmi> QuotazioniOmi::quotazioniDi(int comune, const QString &zona) const
{
    QList<QuotazioneOmi> l;
    if (comune < 0 || std::size_t(comune) >= m_comuni.size())
        return l;
    const ComuneOmi &c = m_comuni[std::size_t(comune)];
    // Compared decoded: a zone's code may come in either encoding.
    for (int i = c.inizio; i < c.fine; ++i) {
        const Riga &r = m_righe[m_ordine[std::size_t(i)]];
        if (!zona.isEmpty() && campo(r, cZona).compare(zona, Qt::CaseInsensitive) != 0)
            continue;
        l.append(quotazione(r));
    }
    return l;
}

QList<ZonaOmi> QuotazioniOmi::zoneDi(int comune) const
{
    QList<ZonaOmi> l;
    if (comune < 0 || std::size_t(comune) >= m_comuni.size())
        return l;
    const ComuneOmi &c = m_comuni[std::size_t(comune)];
    for (int i = c.inizio; i < c.fine; ++i) {
        const Riga &r = m_righe[m_ordine[std::size_t(i)]];
        const QString z = campo(r, cZona);
        // Compared decoded, as quotazioniDi finds them.
        if (std::any_of(l.crbegin(), l.crend(), [&](const ZonaOmi &o) { return o.zona.compare(z, Qt::CaseInsensitive) == 0; }))
            continue;
        const InfoZona info = m_zone.value(campoGrezzo(r, cLink));
        l.append({z, campo(r, cFascia), info.descrizione, info.tipologiaPrevalente});
    }
    return l;
}

QStringList righeFonteOmi(const FonteOmi &f)
{
    QStringList r;
    r << QStringLiteral("Fonte: Agenzia Entrate - OMI, quotazioni immobiliari del semestre %1.")
             .arg(f.semestre.isEmpty() ? QStringLiteral("non indicato") : f.semestre);
    QString zona = QStringLiteral("Comune di %1 (%2), zona %3").arg(f.comune, f.provincia, f.zona);
    if (!f.fascia.isEmpty()) {
        const QString nome = nomeFasciaOmi(f.fascia);
        zona += QStringLiteral(", fascia %1").arg(nome.isEmpty() ? f.fascia : f.fascia + QStringLiteral(" ") + nome);
    }
    if (!f.descrizione.isEmpty())
        zona += QStringLiteral(": ") + f.descrizione;
    r << zona + u'.';
    r << QStringLiteral("Tipologia %1, stato conservativo %2.").arg(f.tipologia, f.stato);
    const QString sup = f.superficieTipo == u"L"   ? QStringLiteral(" di superficie lorda")
                        : f.superficieTipo == u"N" ? QStringLiteral(" di superficie netta")
                                                   : QString();
    r << QStringLiteral("Quotazione: da %1 a %2 euro al m²%3.").arg(f.minimo, f.massimo, sup);
    r << QStringLiteral("Superficie del fabbricato: %1 m²%2.")
             .arg(f.superficie,
                  f.superficieTipo == u"L"   ? QStringLiteral(" lordi")
                  : f.superficieTipo == u"N" ? QStringLiteral(" netti")
                                             : QString());
    const QString unitario = f.scelta == u"minimo"    ? f.minimo
                             : f.scelta == u"massimo" ? f.massimo
                                                      : QStringLiteral("(%1 + %2) / 2").arg(f.minimo, f.massimo);
    r << QStringLiteral("Valore usato: %1, %2 euro al m² × %3 m² = %4 euro.")
             .arg(f.scelta, unitario, f.superficie, formatta(f.valore, Schema::Intero));
    return r;
}

QString avvertenzaOmi()
{
    return QStringLiteral("Le quotazioni OMI sono indicazioni di larga massima per zone omogenee, non la stima di un "
                          "singolo immobile: il valore va verificato con le compravendite recenti della zona e "
                          "adattato alle caratteristiche del fabbricato.");
}

} // namespace perix
