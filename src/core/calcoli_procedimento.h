#pragma once
// How the building-plot valuation was reached and how much it moves: the calculation
// trail, the two-way table of the average plot value and the curve over the years, all
// computed through valutaArea, the valuation the main window shows. No widgets here.

#include "core/allegato.h"
#include "core/calcoli.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace perix {

// The figures the valuation reads (plain reading of the window's fields).
struct DatiStimaArea {
    double V = 0; // market value of the building
    double C = 0; // total costs
    double A = 0; // years to profitability
    double S = 0; // land surface in m²
};

// "€" for "in euro", "lire" for "in lire", empty for no currency chosen.
QString unitaValuta(const QString &valuta);

// One result of the trail: its name, then the formula with the figures put into it.
struct PassoProcedimento {
    QString titolo;
    QStringList righe;
};

struct Procedimento {
    // Empty when the valuation computes; otherwise what cannot be computed, and why.
    QString nonDisponibile;
    QString dati;                    // the four figures, in one sentence
    QList<PassoProcedimento> passi;  // the six results, then the break-even costs
    QString nota;                    // how the discount factors are printed
    double fattoreMassimo = 0;       // 1 / 1.07^A
    double fattoreMinimo = 0;        // 1 / 1.1^A
    double pareggioMassimo = 0;      // total costs at which the maximum is zero: 0.9 V
    double pareggioMinimo = 0;       // and the minimum: 0.7 V
};
Procedimento procedimentoStimaArea(const DatiStimaArea &d, const QString &unita);

// Where the market value V came from, when taken from the OMI quotations: the source, its
// figures and the caution that goes with them.
PassoProcedimento fonteValoreMercato(const FonteOmi &fonte);

// The steps of the two-way table, as shares of the base figure.
inline constexpr std::array<double, 5> variazioniSensibilita = {-0.2, -0.1, 0.0, 0.1, 0.2};
inline constexpr int casoBase = 2; // the unchanged figures' row and column

struct TabellaSensibilita {
    QString nonDisponibile;                   // empty when the table is computed
    std::array<double, 5> valori{};           // market value at each step (columns)
    std::array<double, 5> costi{};            // total costs at each step (rows)
    // risultati(3)'s quantity for costi[riga] and valori[colonna]; nothing: non calcolabile.
    std::array<std::array<std::optional<double>, 5>, 5> medio{};
};
TabellaSensibilita tabellaSensibilita(const DatiStimaArea &d);

// The maximum, minimum and average plot value at one number of years.
struct PuntoAnni {
    double anni = 0;
    std::optional<double> massimo, minimo, medio;
    bool digitati = false; // the years of the valuation itself
};
struct CurvaAnni {
    QString nonDisponibile;
    double anni = 0;         // the typed years
    double da = 0, a = 10;   // the span of years drawn: 0 to 10, widened to reach the typed years
    QList<PuntoAnni> punti;  // every whole year of the span, and the typed years, in order
};
CurvaAnni curvaAnni(const DatiStimaArea &d);

} // namespace perix
