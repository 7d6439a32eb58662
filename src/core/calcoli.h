#pragma once
// The arithmetic of the main window: building-plot valuation, building-class schedules
// and the three synthetic class costs. No widgets here.

#include "core/campi.h"
#include "core/numeri.h"

#include <QString>
#include <array>
#include <optional>

namespace perix {

// Building-plot valuation from market value V, total costs C, years A and land surface S:
// the figures behind risultati(1)..(6) (index 0 unused), unformatted. Nothing where the
// window shows "valore non calcolabile"; with A > 100 nothing is computed at all.
struct ValoriStimaArea {
    bool troppiAnni = false;
    std::array<std::optional<double>, 7> r;
};
ValoriStimaArea valutaArea(double V, double C, double A, double S);

// A result as its label shows it: formatted, or "valore non calcolabile".
QString testoRisultato(std::optional<double> valore);

// The same valuation as the window's labels read.
struct EsitoStimaArea {
    bool troppiAnni = false; // A > 100: nothing is computed, every result non calcolabile
    // Texts for risultati(1)..(6) (index 0 unused), already formatted; nothing = keep the old text.
    std::array<std::optional<QString>, 7> testi;
};
EsitoStimaArea calcolaStimaArea(double V, double C, double A, double S);
// The valuation of the four figures as typed (V, C, A, S), read by letturaStima. A figure
// that is not one computes nothing: the results it feeds read "valore non calcolabile"
// (every result for V, C or A; the values per m² for S).
EsitoStimaArea calcolaStimaArea(const std::array<QString, 4> &figure);

// The four figures of the building-plot estimate, in the window's order.
enum FiguraArea { ValoreMercato, CostiTotali, Anni, Superficie };
// "Valore di mercato del fabbricato", ... as the field's caption reads; and the short
// name of the note panel ("Valore di mercato", "Costi totali", "Anni", "Superficie").
QString didascaliaFigura(FiguraArea figura);
QString nomeBreveFigura(FiguraArea figura);

// What the window says of one figure before the valuation uses it: a text that is no
// figure (letturaStima: not a number, ambiguous, too large), with how to write it; a
// negative figure, more than 100 years. Nothing for an empty text (the data check asks
// for it) or a figure that reads soundly.
std::optional<NotaLettura> notaFigura(FiguraArea figura, const QString &testo);
// The note as the panel lists it, on the figure's text `testo`:
// "Superficie non letta: «1.200» è ambiguo; scrivere 1200 oppure 1,2",
// "Anni: «-3» è un numero negativo, che la stima non ammette".
QString rigaNota(FiguraArea figura, const QString &testo, const NotaLettura &nota);

// The data check of the building-plot estimate on its four figures as typed: the
// message for the first figure missing, otherwise for the first one questioned by its
// note; nothing when all four can be used. The window's check and the batch's refusal
// of a main-window file both say this.
std::optional<QString> rifiutoStimaArea(const std::array<QString, 4> &figure);
// What the check says of one figure questioned by its note ("Il dato «1.200» di 'Superficie
// del terreno in mq.' è ambiguo; scrivere 1200 oppure 1,2."); nothing when it has none.
std::optional<QString> rifiutoFigura(FiguraArea figura, const QString &testo);
// The same of a main-window record, its five fields as the window reads them, in one line
// ("Controllo dati immessi: Il dato «-3» di 'Anni per redditività' è ..."). Nothing when
// fields are missing (the window takes no such record) or the figures can be used.
std::optional<QString> rifiutoRecordMenu(const QList<Campo> &campi);

// A figure of the building-plot estimate as its report prints it: the value the valuation
// takes from it (letturaStima), in the windows' number style with its decimals ("3,5",
// "1.200.000,5"); a text without a digit is printed as it stands, an empty one empty.
QString figuraStampata(const QString &testo);
// A typed cost of the typology and height windows as their reports print it: its value as
// those windows read it (letturaLocale), in the same style; a text that is no number as it stands.
QString costoStampato(const QString &testo);

// The warning the main window shows beside negative results, and its report prints.
QString avvisoNegativi();
// True when the results on screen call for the negative-results warning.
bool risultatoNegativo(const QString &risultato5, const QString &risultato6);

// Preset share of each category of works (1..16) for a building class (1..3),
// in hundredths of a percent; index 0 unused.
std::array<double, 17> schemaClasse(int classe);

QString descrizioneClasse(int classe);

// The currency of a caption as the reports name it: "in lire" of "Valori in lire";
// nothing for a caption that is not "Valori in ...".
std::optional<QString> valutaDidascalia(const QString &didascalia);

// What "Stampa dati finestra" answers when there is nothing to print: the main window's
// when the estimate shown is not the plot valuation, the cost windows' when they show no
// figures (they send the user back to the main window, where figures come from).
QString rifiutoStampaMenu();
QString nienteDaStampare();

// The synthetic costs' constants, by class 1..3: the storey height that turns a cost per m²
// into one per m³, a room's volume and floor area; and the ratios between the classes' costs
// per m² (2 to 1, 3 to 1, 3 to 2). The spreadsheet shows these very figures.
namespace sintetici {
inline constexpr double altezza[4] = {0, 3.4375, 3.3333, 3.4091};
inline constexpr double volumeVano[4] = {0, 70, 75, 80};
inline constexpr double superficieVano[4] = {0, 21, 22, 23};
inline constexpr double rapporto12 = 1.0909, rapporto13 = 1.3636, rapporto23 = 1.25;
} // namespace sintetici

// Cost per m² of gross floor area of the three classes (index 1..3), from the cost typed
// for class `scelta`. `typed` is that field's text, which stands as typed for its own class.
struct CostiClassi {
    std::array<QString, 4> testo; // K(1..3) as text (the typed class keeps the typed text)
};
CostiClassi costiClassi(int scelta, const QString &typed, double N);

// One column (5 rows) of the synthetic-cost grid for class c from its cost K, formatted.
std::array<QString, 6> colonnaSintetica(int classe, const QString &costo);

// The main window's own record: two lines of quoted texts, three and two, the first a
// currency caption ("Valori in ..."). Blank lines at the end are allowed.
bool recordMenu(const QList<QList<Campo>> &righe);

} // namespace perix
