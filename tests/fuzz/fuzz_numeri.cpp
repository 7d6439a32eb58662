// The two readings of typed numbers and the formatting routines, under the Italian locale
// (Qt's and the C library's). The plain reading agrees with a model of its rule; nothing
// meant for the user shows inf, nan, an exponent or more than 15 digits; what the
// formatting prints reads back, under the locale reading, as the value it came from.

#include "comune.h"
#include "core/numeri.h"

#include <cmath>
#include <cstring>
#include <cstdint>

using namespace perix;
using fuzz::verifica;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

// The plain reading's rule written out independently: blanks anywhere ignored, one sign
// before anything else, digits with at most one full stop; stop at any other character.
// The value comes from Qt's C-locale reading of a normalised copy; nothing when out of range.
std::optional<double> modelloSemplice(const QString &t, int *cifre)
{
    QString segno, interi, decimali;
    bool punto = false;
    for (QChar c : t) {
        if (c == u' ' || c == u'\t')
            continue;
        if ((c == u'-' || c == u'+') && segno.isEmpty() && interi.isEmpty() && !punto)
            segno = c;
        else if (fuzz::cifra(c))
            (punto ? decimali : interi) += c;
        else if (c == u'.' && !punto)
            punto = true;
        else
            break;
    }
    *cifre = int(interi.size() + decimali.size());
    if (*cifre == 0)
        return 0.0;
    bool ok = false;
    const QString norm = (segno == u"-" ? QStringLiteral("-") : QString()) + (interi.isEmpty() ? QStringLiteral("0") : interi)
        + u'.' + (decimali.isEmpty() ? QStringLiteral("0") : decimali);
    const double v = QLocale::c().toDouble(norm, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

void letturaPiana(const QString &t)
{
    const double v = letturaSemplice(t);
    const QString d = QStringLiteral("letturaSemplice(\"%1\") = %2").arg(t, fuzz::descrivi(v));
    verifica(!std::isnan(v), "la lettura semplice non da' nan", d);
    int cifre = 0;
    const auto m = modelloSemplice(t, &cifre);
    // Past a few hundred digits the two parsers may round the last bit differently.
    if (m && *m != 0.0 && cifre <= 400)
        verifica(std::fabs(v - *m) <= std::fabs(*m) * 4.5e-16, "la lettura semplice segue la regola",
                 d + QStringLiteral(", atteso %1").arg(fuzz::descrivi(*m)));
    else if (m)
        verifica(v == *m || std::fabs(v) < 1e-300, "la lettura semplice segue la regola",
                 d + QStringLiteral(", atteso %1").arg(fuzz::descrivi(*m)));
}

// The estimate's reading: the plain reading wherever that takes the whole text; otherwise
// an Italian number read the Italian way (Qt's Italian reading of the text without blanks
// agrees), and anything else plain, refused.
void letturaDellaStima(const QString &t)
{
    const LetturaStima l = letturaStima(t);
    const QString d = QStringLiteral("letturaStima(\"%1\") = %2").arg(t, fuzz::descrivi(l.valore));
    verifica(!std::isnan(l.valore), "la lettura della stima non da' nan", d);
    verifica(!l.usabile() || rappresentabile(l.valore), "una cifra usabile si puo' calcolare", d);
    if (!l.italiana) {
        const double v = letturaSemplice(t);
        verifica(l.valore == v || (std::isnan(v) && std::isnan(l.valore)), "fuori dai numeri italiani vale la lettura semplice", d);
        return;
    }
    QString senzaSpazi = t;
    senzaSpazi.removeIf([](QChar c) { return c == u' ' || c == u'\t'; });
    verifica(!senzaSpazi.contains(u'e', Qt::CaseInsensitive) && (senzaSpazi.contains(u',') || senzaSpazi.count(u'.') > 1),
             "solo una virgola o piu' punti portano alla lettura italiana", d);
    bool ok = false;
    const double it = QLocale(QLocale::Italian, QLocale::Italy).toDouble(senzaSpazi, &ok);
    if (ok && std::isfinite(it) && std::isfinite(l.valore))
        verifica(std::fabs(it - l.valore) <= std::fabs(it) * 4.5e-16, "la lettura italiana segue quella di Qt",
                 d + QStringLiteral(", Qt legge %1").arg(fuzz::descrivi(it)));
    verifica((l.difetto == LetturaStima::Difetto::TroppoGrande) == !rappresentabile(l.valore),
             "un numero italiano e' rifiutato solo se troppo grande", d);
}

// Each pattern: grouping, decimals, how far the printed value may lie from the value read,
// and the magnitude below which a figure must be printed (beyond, 15 digits may not suffice).
struct Schema {
    perix::Schema schema;
    const char *nome;
    bool gruppi;
    int decimali;
    double scarto;
    double sempreNumero;
};
constexpr Schema schemi[] = {
    {perix::Schema::Intero, "##,##0", true, 0, 0.5, 999999999999999.0},
    {perix::Schema::DueDecimali, "0.00", false, 2, 0.005, 9.99e12},
    {perix::Schema::InteroDueDecimali, "##,##0.00", true, 2, 0.005, 9.99e12},
};

void formati(const QString &t)
{
    const auto v = letturaLocale(t);
    const QString d = QStringLiteral("\"%1\"").arg(t);
    if (v)
        verifica(std::isfinite(*v), "la lettura locale da' solo numeri finiti",
                 d + QStringLiteral(" letto %1").arg(fuzz::descrivi(*v)));
    for (const Schema &s : schemi) {
        const QString f = formatta(t, s.schema);
        const QString df = QStringLiteral("formatta(%1, \"%2\")").arg(d, QLatin1String(s.nome));
        verifica(f == formatta(t, QString::fromLatin1(s.nome)), "lo schema scritto e' lo stesso", df);
        if (!v) {
            verifica(f == t, "un testo che non e' un numero resta com'e'", df + QStringLiteral(" -> \"%1\"").arg(f));
            continue;
        }
        if (fuzz::nonCalcolabile(f)) {
            verifica(std::fabs(*v) >= s.sempreNumero, "un valore mostrabile si mostra", df);
            continue;
        }
        verifica(fuzz::formaItaliana(f, s.gruppi, s.decimali), "la forma dello schema",
                 df + QStringLiteral(" -> \"%1\"").arg(f));
        fuzz::perUtente(f, "nessun inf, nan, esponente o cifra di troppo", df);
        const auto r = letturaLocale(f);
        verifica(r.has_value(), "cio' che si stampa si rilegge", df + QStringLiteral(" -> \"%1\"").arg(f));
        verifica(std::fabs(*r - *v) <= s.scarto + std::fabs(*v) * 1e-14, "si rilegge il valore arrotondato",
                 df + QStringLiteral(" -> \"%1\"").arg(f));
    }
    if (v)
        verifica(formattanumero(t) == formatta(t, perix::Schema::Intero), "formattanumero e' \"###,0\"", d);
}

void testoDi(double x)
{
    const QString t = testoNumero(x);
    const QString d = QStringLiteral("testoNumero(%1) = \"%2\"").arg(fuzz::descrivi(x), t);
    if (fuzz::nonCalcolabile(t)) {
        verifica(!(std::isfinite(x) && std::fabs(x) < 999999999999999.0), "un valore mostrabile ha un testo", d);
        return;
    }
    verifica(std::isfinite(x), "un valore non finito non ha testo", d);
    verifica(fuzz::formaItaliana(t, false, -1), "il testo di un numero: cifre e virgola", d);
    fuzz::perUtente(t, "il testo di un numero ha al piu' 15 cifre", d);
    const auto r = letturaLocale(t);
    verifica(r && std::fabs(*r - x) <= std::max(1e-12, std::fabs(x) * 6e-15), "il testo vale il numero", d);
    formati(t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    if (dimensione == 0)
        return 0;
    const uint8_t modo = dati[0] % 3;
    ++dati;
    --dimensione;
    if (modo == 2) {
        // A computed value: any bit pattern.
        uint64_t b = 0;
        std::memcpy(&b, dati, std::min(dimensione, sizeof b));
        double x;
        std::memcpy(&x, &b, sizeof x);
        testoDi(x);
        return 0;
    }
    QString t;
    if (modo == 0) {
        t = QString::fromUtf8(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    } else {
        // Typed figures: the characters a number is made of, and a few that are not.
        static const QString alfabeto = QStringLiteral("0123456789019.,.,-+ \teEinfaNx\u00a0'");
        for (size_t i = 0; i < dimensione; ++i)
            t += alfabeto[dati[i] % alfabeto.size()];
    }
    letturaPiana(t);
    letturaDellaStima(t);
    formati(t);
    return 0;
}
