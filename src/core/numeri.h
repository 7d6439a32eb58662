#pragma once
// The two readings of typed numbers, the text form of computed numbers, and the
// format patterns of result labels and reports.

#include <QString>
#include <optional>

namespace perix {

// Shown wherever a result cannot be represented (overflow, not finite, beyond 15 digits).
inline const QString nonCalcolabile = QStringLiteral("valore non calcolabile");

// Plain reading: blanks anywhere are ignored, an optional sign, digits with a full
// stop as decimal point; reading stops at the first other character; no digits gives 0.
// "1.500" -> 1.5, "1500,5" -> 1500.
double letturaSemplice(const QString &testo);

// When the plain reading of a text is not what an Italian reads in it (thousands dots,
// a decimal comma, letters or symbols it stops at): the figure it takes and why.
struct NotaLettura {
    QString letto;     // the figure taken, as an Italian writes it ("1,5"); empty when none is
    QString motivo;    // "il punto separa i decimali"; without `letto`, what is wrong: "è ambiguo"
    QString consiglio; // how to write it instead ("1500 oppure 1,5"); empty when nothing to say
    // "letto come 1,5: il punto separa i decimali"; "è ambiguo; scrivere 1500 oppure 1,5"
    QString testo() const;
};
// Nothing when the text is empty or unambiguous.
std::optional<NotaLettura> notaLettura(const QString &testo);

// The reading of the four figures of the building-plot estimate. The plain reading,
// except where it would stop at a comma or at a second full stop and the whole text,
// blanks left out, is an Italian number: then the Italian reading ("2,5" -> 2,5;
// "1.500.000" -> 1500000; "1.500.000,50"; "1500,5"). An Italian number is an optional
// sign, then either digits or 1 to 3 digits (not starting with 0) followed by groups of
// a full stop and three digits, then optionally a comma and digits; nothing else, no
// exponent. A single full stop followed by one, two, four or more digits keeps the plain
// reading ("2.5", "100.5"), as files of earlier versions hold it.
// A single separator followed by exactly three digits is fifteen hundred to some and one
// and a half to others: "1.500" and "1,500" are ambiguous. An ambiguous text, one that is
// not a number ("abc", "1.85O.000", "1000 mq") and a number too large for the calculation
// are not figures: nothing is computed from them.
struct LetturaStima {
    enum class Difetto { Nessuno, NonNumero, Ambiguo, TroppoGrande };
    double valore = 0;     // the plain reading, or the Italian one when `italiana`
    bool italiana = false; // taken the Italian way
    Difetto difetto = Difetto::Nessuno;
    QString alternative;   // for an ambiguous text, how to write each meaning: "1500 oppure 1,5"
    bool usabile() const { return difetto == Difetto::Nessuno; }
};
LetturaStima letturaStima(const QString &testo);

// Locale reading with the user's regional rules (QLocale()): the value, or nothing
// when the text is not a number (nor infinity, nor nan). Blanks around it are accepted.
std::optional<double> letturaLocale(const QString &testo);

// True when a computed amount can be shown: finite and within 15 significant digits
// of whole units, so no exponent ever reaches a label.
bool rappresentabile(double valore);

// A number in invariant form: optional "-", digits, a full stop only when there is a
// fractional part, no grouping, no exponent, at most 15 significant digits (1250.5).
// Always reads back as a finite number; empty for a value that is not finite.
QString testoInvariante(double valore);

// The text form of a computed number: at most 15 significant digits, the locale's
// decimal separator, no grouping; nonCalcolabile when it cannot be represented.
QString testoNumero(double valore);

// Half away from zero, on the value itself.
double arrotonda(double valore);

// Format patterns. "##,##0" and "###,0": thousands grouped, whole number;
// "0.00": two decimals; "##,##0.00": grouped, two decimals. A text that is not a
// number under the locale reading comes back unchanged.
enum class Schema { Intero, DueDecimali, InteroDueDecimali };
QString formatta(const QString &testo, Schema schema);
// The same with the pattern written out ("##,##0", "###,0", "0.00", "##,##0.00").
QString formatta(const QString &testo, const QString &schema);

// The routine of the result labels: `formatta(testo, "###,0")`.
QString formattanumero(const QString &numerodaformattare);

// A whole amount as the windows write it in a result caption: an optional "-", then
// digits grouped by full stops in threes ("1.200.000", "950", "0"), below 10^15. Its value;
// nothing for any other text ("1200000", "1,500", "1e3", "", "-0" included).
std::optional<double> letturaImporto(const QString &testo);

// A figure as read, as the windows' own number style writes it: thousands grouped, the
// decimals it has and no more, at most 15 significant digits (1200000.5 -> "1.200.000,5",
// 3.5 -> "3,5"); nonCalcolabile when it cannot be represented.
QString testoFigura(double valore);

// A text quoted in a message, cut to `massimo` characters with "…": a field can be as long
// as the file it came from, and a message that long leaves the screen.
QString breve(const QString &testo, int massimo = 30);

} // namespace perix
