#pragma once
// What every fuzz target shares: the Italian set-up of a user's desktop, the way a broken
// property is reported, and the checks on texts meant for the user.

#include <QLocale>
#include <QString>
#include <fuzzer/FuzzedDataProvider.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A text of at most `quanti` parts, each one of the target's pieces or any printable code
// point outside the surrogates: fields never hold control characters, nor invisible
// format ones (bidi controls, zero-width spaces, tags).
template <std::size_t N>
QString testoDaPezzi(FuzzedDataProvider &fdp, const char16_t *const (&pezzi)[N], int quanti)
{
    QString t;
    const int n = fdp.ConsumeIntegralInRange(0, quanti);
    for (int i = 0; i < n && fdp.remaining_bytes() > 0; ++i) {
        if (fdp.ConsumeBool()) {
            t += QString::fromUtf16(pezzi[fdp.ConsumeIntegralInRange<std::size_t>(0, N - 1)]);
        } else {
            char32_t c = fdp.ConsumeIntegralInRange<char32_t>(0x20, 0x10FFFF);
            if ((c >= 0x7f && c < 0xa0) || (c >= 0xd800 && c < 0xe000) || QChar::category(c) == QChar::Other_Format)
                c = u'x';
            t += QString::fromUcs4(&c, 1);
        }
    }
    return t;
}

// Qt's default locale and the C library's, both Italian, as on the desktops Perix runs on:
// a reading that leans on LC_NUMERIC goes wrong here and not under "C".
inline void italiano()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (!std::setlocale(LC_ALL, "it_IT.UTF-8") && !std::setlocale(LC_ALL, "it_IT.utf8"))
        std::fprintf(stderr, "fuzz: it_IT.UTF-8 non disponibile (LOCPATH?), C locale in uso\n");
}

// A broken property is a crash for libFuzzer: it keeps the input and stops.
[[noreturn]] inline void fallito(const char *proprieta, const QString &dettaglio)
{
    std::fprintf(stderr, "\nPROPRIETA' VIOLATA: %s\n%s\n", proprieta, qUtf8Printable(dettaglio));
    std::abort();
}

inline void verifica(bool ok, const char *proprieta, const QString &dettaglio = {})
{
    if (!ok)
        fallito(proprieta, dettaglio);
}

inline bool cifra(QChar c) { return c >= u'0' && c <= u'9'; }

// Digits from the first non-zero one to the last non-zero one, separators skipped.
inline int cifreSignificative(const QString &t)
{
    int prima = -1, ultima = -1, i = 0;
    for (QChar c : t) {
        if (!cifra(c))
            continue;
        if (c != u'0') {
            if (prima < 0)
                prima = i;
            ultima = i;
        }
        ++i;
    }
    return prima < 0 ? 0 : ultima - prima + 1;
}

// Italian number text: optional "-", digits grouped by "." in threes when `gruppi`
// (otherwise no grouping at all), then "," and exactly `decimali` digits (any number of
// digits when decimali < 0, none allowed when 0). No "-0" with nothing but zeros.
inline bool formaItaliana(const QString &t, bool gruppi, int decimali)
{
    qsizetype p = t.startsWith(u'-') ? 1 : 0;
    const qsizetype inizio = p;
    int nelGruppo = 0, gruppiVisti = 0;
    while (p < t.size() && (cifra(t[p]) || (gruppi && t[p] == u'.'))) {
        if (t[p] == u'.') {
            if (nelGruppo == 0 || (gruppiVisti == 0 && nelGruppo > 3) || (gruppiVisti > 0 && nelGruppo != 3))
                return false;
            ++gruppiVisti;
            nelGruppo = 0;
        } else {
            ++nelGruppo;
        }
        ++p;
    }
    if (nelGruppo == 0 || (gruppiVisti > 0 && nelGruppo != 3) || (gruppi && gruppiVisti == 0 && nelGruppo > 3))
        return false;
    const QString interi = t.mid(inizio, p - inizio);
    if (interi.size() > 1 && interi.startsWith(u'0'))
        return false; // no leading zeros
    int dopo = 0;
    if (p < t.size()) {
        if (t[p] != u',' || decimali == 0)
            return false;
        for (++p; p < t.size(); ++p, ++dopo)
            if (!cifra(t[p]))
                return false;
        if (dopo == 0)
            return false;
    }
    if (decimali > 0 && dopo != decimali)
        return false;
    if (inizio == 1 && cifreSignificative(t) == 0)
        return false; // "-0", "-0,00": a zero shown as negative
    return true;
}

// Whole digits before the decimal comma.
inline int cifreIntere(const QString &t)
{
    int n = 0;
    for (QChar c : t) {
        if (c == u',')
            break;
        n += cifra(c);
    }
    return n;
}

// The rule for everything a user reads: no inf, nan or exponent, at most 15 significant
// digits and at most 15 whole digits.
inline void perUtente(const QString &t, const char *proprieta, const QString &dettaglio)
{
    const QString m = t.toLower();
    verifica(!m.contains(u"inf") && !m.contains(u"nan") && !m.contains(u'e'), proprieta,
             dettaglio + QStringLiteral(" -> \"%1\" (inf, nan o esponente)").arg(t));
    verifica(cifreSignificative(t) <= 15 && cifreIntere(t) <= 15, proprieta,
             dettaglio + QStringLiteral(" -> \"%1\" (piu' di 15 cifre)").arg(t));
}

// A result of the estimates: a grouped whole number within 15 digits, or the fixed text.
inline bool nonCalcolabile(const QString &t) { return t == QStringLiteral("valore non calcolabile"); }

inline void risultato(const QString &t, const char *proprieta, const QString &dettaglio)
{
    if (nonCalcolabile(t))
        return;
    verifica(formaItaliana(t, true, 0), proprieta, dettaglio + QStringLiteral(" -> \"%1\"").arg(t));
    perUtente(t, proprieta, dettaglio);
}

// Every double value a typed text or a stored bit pattern can hold.
inline QString descrivi(double x) { return QString::number(x, 'g', 17); }

} // namespace fuzz
