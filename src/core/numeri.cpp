#include "core/numeri.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace perix {

namespace {

// The characters the plain reading takes, from the start of the text.
struct Letto {
    std::string cifre;    // digits and at most one point, no sign
    bool negativo = false;
    bool haCifre = false;
    qsizetype fine = 0;   // index of the first character not taken (blanks included)
};

Letto leggiSemplice(const QString &testo)
{
    Letto l;
    bool segno = false, punto = false;
    qsizetype i = 0;
    for (; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == u' ' || c == u'\t')
            continue;
        if ((c == u'-' || c == u'+') && !segno && !l.haCifre && !punto) {
            segno = true;
            l.negativo = c == u'-';
        } else if (c >= u'0' && c <= u'9') {
            l.haCifre = true;
            l.cifre.push_back(char(c.unicode()));
        } else if (c == u'.' && !punto) {
            punto = true;
            l.cifre.push_back('.');
        } else {
            break;
        }
    }
    l.fine = i;
    return l;
}

double valoreDi(const Letto &l)
{
    if (!l.haCifre)
        return 0.0;
    double v = 0.0;
    const char *inizio = l.cifre.data(), *fine = inizio + l.cifre.size();
    // from_chars reads the same way under every C locale: an Italian desktop's LC_NUMERIC
    // would make strtod stop at the point.
    const auto r = std::from_chars(inizio, fine, v, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        // Too many digits before the point overflow; only zeros before it underflow.
        const auto interi = std::string_view(l.cifre).substr(0, l.cifre.find('.'));
        const bool grande = interi.find_first_not_of('0') != std::string_view::npos;
        v = grande ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return l.negativo ? -v : v;
}

} // namespace

double letturaSemplice(const QString &testo)
{
    return valoreDi(leggiSemplice(testo));
}

QString NotaLettura::testo() const
{
    if (!letto.isEmpty())
        return QStringLiteral("letto come %1: %2").arg(letto, motivo);
    return consiglio.isEmpty() ? motivo : QStringLiteral("%1; scrivere %2").arg(motivo, consiglio);
}

std::optional<NotaLettura> notaLettura(const QString &testo)
{
    const Letto l = leggiSemplice(testo);
    const double v = valoreDi(l);
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return NotaLettura{{}, QStringLiteral("numero troppo grande per il calcolo")};
    const auto nota = [v](const QString &motivo) { return NotaLettura{testoNumero(v), motivo}; };
    if (!l.haCifre) {
        const QString tutto = testo.trimmed();
        if (tutto.isEmpty())
            return std::nullopt;
        return nota(QStringLiteral("«%1» non è un numero").arg(tutto));
    }
    const QString resto = testo.mid(l.fine).trimmed();
    if (!resto.isEmpty()) {
        if (resto.startsWith(u','))
            return nota(QStringLiteral("la virgola chiude il numero"));
        if (resto.startsWith(u'.'))
            return nota(QStringLiteral("il punto separa i decimali"));
        return nota(QStringLiteral("«%1» è ignorato").arg(resto));
    }
    // Taken whole, yet an Italian reads it otherwise: "1.500" is fifteen hundred to them.
    const auto italiano = letturaLocale(testo);
    if (italiano && std::fabs(*italiano - v) > 1e-9 * std::max(1.0, std::fabs(v)))
        return nota(QStringLiteral("il punto separa i decimali"));
    return std::nullopt;
}

namespace {

// The whole text as an Italian number, blanks left out: its value (infinite when too
// large), or nothing when it is not one.
std::optional<double> numeroItaliano(QString t)
{
    static const QRegularExpression italiano(
        QStringLiteral("^[+-]?(?:[1-9][0-9]{0,2}(?:\\.[0-9]{3})+|[0-9]+)(?:,[0-9]+)?$"));
    if (!italiano.match(t).hasMatch())
        return std::nullopt;
    const bool negativo = t.startsWith(u'-');
    if (t.startsWith(u'-') || t.startsWith(u'+'))
        t.remove(0, 1);
    t.remove(u'.');
    t.replace(u',', u'.');
    const std::string cifre = t.toStdString();
    double v = 0.0;
    const auto r = std::from_chars(cifre.data(), cifre.data() + cifre.size(), v, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range)
        v = cifre.find_first_of("123456789") < cifre.find('.') ? std::numeric_limits<double>::infinity() : 0.0;
    return negativo ? -v : v;
}

// One to three digits (not starting with 0), a full stop or a comma, exactly three digits:
// "1.500", "12.500", "1,500", a group of thousands the Italian or the English way, or
// decimals. Its two meanings as they are written without doubt: "1500 oppure 1,5".
std::optional<QString> alternativeAmbigue(const QString &t)
{
    static const QRegularExpression ambiguo(QStringLiteral("^([+-]?)([1-9][0-9]{0,2})[.,]([0-9]{3})$"));
    const auto m = ambiguo.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    QString decimali = m.captured(3);
    while (decimali.endsWith(u'0'))
        decimali.chop(1);
    const QString segno = m.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString();
    const QString migliaia = segno + m.captured(2) + m.captured(3);
    const QString virgola = segno + m.captured(2) + (decimali.isEmpty() ? QString() : u',' + decimali);
    return QStringLiteral("%1 oppure %2").arg(migliaia, virgola);
}

} // namespace

LetturaStima letturaStima(const QString &testo)
{
    using Difetto = LetturaStima::Difetto;
    LetturaStima l;
    QString t = testo;
    t.removeIf([](QChar c) { return c == u' ' || c == u'\t'; });
    if (t.isEmpty())
        return l; // an empty field reads 0, as it always did
    if (const auto alternative = alternativeAmbigue(t)) {
        l.valore = letturaSemplice(testo);
        l.difetto = Difetto::Ambiguo;
        l.alternative = *alternative;
        return l;
    }
    const Letto semplice = leggiSemplice(testo);
    // What the plain reading takes whole reads as it always did.
    const bool tagliato = !testo.mid(semplice.fine).trimmed().isEmpty();
    const auto italiano = tagliato ? numeroItaliano(t) : std::nullopt;
    l.valore = italiano ? *italiano : valoreDi(semplice);
    l.italiana = italiano.has_value();
    if (!semplice.haCifre || (tagliato && !italiano))
        l.difetto = Difetto::NonNumero;
    else if (!rappresentabile(l.valore))
        l.difetto = Difetto::TroppoGrande;
    return l;
}

std::optional<double> letturaLocale(const QString &testo)
{
    bool ok = false;
    const double v = QLocale().toDouble(testo.trimmed(), &ok);
    // Qt takes "inf" and "nan" as numbers; no figure typed by a user is either.
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool rappresentabile(double valore)
{
    return std::isfinite(valore) && std::fabs(valore) < 1e15;
}

double arrotonda(double valore)
{
    return std::round(valore);
}

namespace {

// The mantissa's 15 significant digits (no point) and the decimal exponent of |valore|,
// rounded as Qt rounds: to nearest, an exact half away from zero. std::to_chars rounds
// correctly too, but an exact half to even: its digits are taken only where the sixteenth
// significant digit, correctly rounded, is not a 5, which no exact half can give.
void quindiciCifre(double assoluto, std::string &cifre, int &esponente)
{
    char e[48];
    const auto sedici = std::to_chars(e, e + sizeof e, assoluto, std::chars_format::scientific, 15);
    const char *pe = std::find(static_cast<const char *>(e), static_cast<const char *>(sedici.ptr), 'e');
    std::string testo;
    if (sedici.ec == std::errc() && pe > e && pe[-1] != '5') {
        const auto quindici = std::to_chars(e, e + sizeof e, assoluto, std::chars_format::scientific, 14);
        testo.assign(e, quindici.ptr);
    } else {
        testo = QString::number(assoluto, 'e', 14).toStdString();
    }
    const std::size_t pos = testo.find('e');
    const char *esp = testo.c_str() + pos + 1;
    if (*esp == '+')
        ++esp;
    esponente = 0;
    std::from_chars(esp, testo.c_str() + testo.size(), esponente);
    cifre.clear();
    for (std::size_t i = 0; i < pos; ++i)
        if (testo[i] != '.')
            cifre += testo[i];
}

} // namespace

QString testoInvariante(double valore)
{
    if (!std::isfinite(valore))
        return {};
    if (valore == 0.0)
        return QStringLiteral("0"); // also for -0
    // The 15 significant digits and the exponent, then the point put back by hand:
    // 'g' would switch to an exponent for large and tiny values. In a buffer: a report
    // writes hundreds of figures.
    std::string cifre;
    int esponente = 0;
    quindiciCifre(std::fabs(valore), cifre, esponente);
    // Rounded up past the largest double, the text would read back as infinity.
    if (esponente == 308 && cifre > "179769313486231")
        cifre = "179769313486231";
    while (cifre.size() > 1 && cifre.back() == '0')
        cifre.pop_back();
    const int interi = esponente + 1; // digits before the point
    const auto n = int(cifre.size());
    std::string t = valore < 0 ? "-" : "";
    if (interi <= 0)
        t += "0." + std::string(std::size_t(-interi), '0') + cifre;
    else if (interi >= n)
        t += cifre + std::string(std::size_t(interi - n), '0');
    else
        t += cifre.substr(0, std::size_t(interi)) + '.' + cifre.substr(std::size_t(interi));
    return QString::fromLatin1(t.data(), qsizetype(t.size()));
}

QString testoNumero(double valore)
{
    if (!rappresentabile(valore))
        return nonCalcolabile;
    // Tiny values have no whole part to show.
    if (std::fabs(valore) < 1e-12)
        return QStringLiteral("0");
    QString t = testoInvariante(valore);
    // Just under 1e15 the 15 digits round up to sixteen: not representable either.
    const qsizetype punto = t.indexOf(u'.');
    if ((punto < 0 ? t.size() : punto) - (valore < 0 ? 1 : 0) > 15)
        return nonCalcolabile;
    return t.replace(u'.', QLocale().decimalPoint());
}

namespace {

// Two decimals, rounded half away from zero on the decimal digits of the 15-digit text
// form, so 1,005 gives 1,01 as typed and no binary product past 2^53 invents a fraction.
// Nothing when the whole part would pass 15 digits.
std::optional<QString> centesimi(double valore, const QString &gruppi, const QString &virgola)
{
    if (!std::isfinite(valore))
        return std::nullopt;
    QString t = std::fabs(valore) < 1e-12 ? QStringLiteral("0") : testoInvariante(valore);
    const bool negativo = t.startsWith(u'-');
    if (negativo)
        t.remove(0, 1);
    const qsizetype punto = t.indexOf(u'.');
    QString interi = punto < 0 ? t : t.left(punto);
    QString frazione = (punto < 0 ? QString() : t.mid(punto + 1)) + QStringLiteral("000");
    QString cifre = interi + frazione.left(2);
    if (frazione[2] >= u'5') {
        qsizetype i = cifre.size() - 1;
        for (; i >= 0 && cifre[i] == u'9'; --i)
            cifre[i] = u'0';
        if (i < 0)
            cifre.prepend(u'1');
        else
            cifre[i] = QChar(cifre[i].unicode() + 1);
    }
    interi = cifre.left(cifre.size() - 2);
    while (interi.size() > 1 && interi.startsWith(u'0'))
        interi.remove(0, 1);
    if (interi.size() > 15)
        return std::nullopt;
    if (!gruppi.isEmpty())
        for (qsizetype i = interi.size() - 3; i > 0; i -= 3)
            interi.insert(i, gruppi);
    const bool zero = std::none_of(cifre.cbegin(), cifre.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return (negativo && !zero ? QStringLiteral("-") : QString()) + interi + virgola + cifre.right(2);
}

} // namespace

QString formatta(const QString &testo, Schema schema)
{
    const auto v = letturaLocale(testo);
    if (!v)
        return testo;
    const QLocale loc;
    switch (schema) {
    case Schema::Intero: {
        const double r = arrotonda(*v);
        if (!rappresentabile(r))
            return nonCalcolabile;
        return loc.toString(qlonglong(r));
    }
    case Schema::DueDecimali:
    case Schema::InteroDueDecimali: {
        const auto t = centesimi(*v, schema == Schema::InteroDueDecimali ? loc.groupSeparator() : QString(),
                                 loc.decimalPoint());
        return t ? *t : nonCalcolabile;
    }
    }
    return testo;
}

QString formatta(const QString &testo, const QString &schema)
{
    if (schema == QLatin1String("0.00"))
        return formatta(testo, Schema::DueDecimali);
    if (schema == QLatin1String("##,##0.00"))
        return formatta(testo, Schema::InteroDueDecimali);
    return formatta(testo, Schema::Intero);
}

QString formattanumero(const QString &numerodaformattare)
{
    return formatta(numerodaformattare, Schema::Intero);
}

std::optional<double> letturaImporto(const QString &testo)
{
    static const QRegularExpression importo(QStringLiteral("^-?(?:[1-9][0-9]{0,2}(?:\\.[0-9]{3})*|0)$"));
    if (!importo.match(testo).hasMatch() || testo == QLatin1String("-0"))
        return std::nullopt;
    QString cifre = testo;
    cifre.remove(u'.');
    const std::string s = cifre.toStdString();
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    if (r.ec != std::errc() || !rappresentabile(v))
        return std::nullopt;
    return v == 0.0 ? 0.0 : v; // never -0
}

QString testoFigura(double valore)
{
    const QString t = testoNumero(valore);
    if (t == nonCalcolabile)
        return t;
    const QLocale loc;
    const QChar virgola = loc.decimalPoint().front();
    const qsizetype punto = t.indexOf(virgola);
    const QString interi = punto < 0 ? t : t.left(punto);
    const bool negativo = interi.startsWith(u'-');
    QString gruppi = negativo ? interi.mid(1) : interi;
    for (qsizetype i = gruppi.size() - 3; i > 0; i -= 3)
        gruppi.insert(i, loc.groupSeparator());
    return (negativo ? QStringLiteral("-") : QString()) + gruppi + (punto < 0 ? QString() : t.mid(punto));
}

QString breve(const QString &testo, int massimo)
{
    return testo.size() > massimo ? testo.left(massimo - 1) + u'…' : testo;
}

} // namespace perix
