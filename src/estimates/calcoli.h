#pragma once
// The arithmetic of the main window: building-plot valuation, building-class schedules
// and the three synthetic class costs. No widgets here.

#include "archive/campi.h"

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

// True when the results on screen call for the negative-results warning.
bool risultatoNegativo(const QString &risultato5, const QString &risultato6);

// Preset share of each category of works (1..16) for a building class (1..3),
// in hundredths of a percent; index 0 unused.
std::array<double, 17> schemaClasse(int classe);

QString descrizioneClasse(int classe);

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
