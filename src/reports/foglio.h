#pragma once
// Each estimate as a spreadsheet (.xlsx) whose results are live formulas over its inputs,
// built from the same figures as the window's report. Whoever checks the estimate (an
// accountant, a bank's appraiser) sees how every figure is computed and can change the
// yellow input cells and watch the results follow, in Excel or LibreOffice.
//
// Every formula cell also holds the figure Perix computed, so a viewer that does not
// recalculate shows the right numbers. Where the program's figure does not come out of
// the formula (a rounding a spreadsheet cannot repeat, a figure the window kept from an
// earlier calculation), the cell holds the figure itself with a comment saying why.

#include "core/calcoli_procedimento.h"
#include "reports/rapporti.h"
#include "reports/rapporti_costi.h"

#include <QList>
#include <QString>
#include <optional>

class QIODevice;

namespace perix {

// One figure of a workbook: where it stands (from 0, as the library counts), the window's
// figure as the report shows it, how many decimals the sheet shows, and whether the cell
// holds a formula (or the figure with a comment).
struct CellaFoglio {
    QString nome;    // "risultati(1)", "ris(3)", "sensibilita(1,2)", ...
    int riga = 0;
    int colonna = 0;
    QString figura;  // as the report shows it ("349.375", "valore non calcolabile", "")
    int decimali = 0;
    bool formula = true;
};
// The cells of the estimate's figures, in sheet order.
using MappaFoglio = QList<CellaFoglio>;

// A figure written the way a cell with `decimali` decimals shows it (0: as the result
// labels, grouped and rounded; 2 and 4: grouped with that many decimals).
QString testoCella(double valore, int decimali);
QString testoCella(const QString &figura, int decimali);

// What the writers share: where to put the map of the figures, and (for a checker's change)
// other figures for the plot sheet's four input cells, the formulas' stored values left as
// computed from the report's own.
struct OpzioniFoglio {
    MappaFoglio *mappa = nullptr;
    std::optional<DatiStimaArea> altriDati;
};

// Each kind's workbook written to `dispositivo`, open for writing; false, with the reason.
bool scriviFoglioMenu(const DatiRapportoMenu &dati, QIODevice &dispositivo, QString *motivo = nullptr,
                      const OpzioniFoglio &opzioni = {});
bool scriviFoglioDisaggregati(const DatiRapportoDisaggregati &dati, QIODevice &dispositivo,
                              QString *motivo = nullptr, const OpzioniFoglio &opzioni = {});
bool scriviFoglioSintetici(const DatiRapportoSintetici &dati, QIODevice &dispositivo, QString *motivo = nullptr,
                           const OpzioniFoglio &opzioni = {});
bool scriviFoglioTipologie(const DatiRapportoTipologie &dati, QIODevice &dispositivo, QString *motivo = nullptr,
                           const OpzioniFoglio &opzioni = {});
bool scriviFoglioAltezze(const DatiRapportoAltezze &dati, QIODevice &dispositivo, QString *motivo = nullptr,
                         const OpzioniFoglio &opzioni = {});

} // namespace perix
