#pragma once
// The two sections the building-plot report adds on request: "Procedimento di calcolo"
// (each result with its formula and figures) and "Analisi di sensibilità" (the average
// plot value against the market value and the total costs, and a chart of the plot value
// against the years). Every figure comes from the valuation the main window shows.

#include "core/calcoli_procedimento.h"
#include "reports/rapporti.h"

#include <QSizeF>

namespace perix {

// Writes both sections at the end of the report.
void sezioniProcedimento(Rapporto &r, const DatiRapportoMenu &dati);

// The figures the valuation reads from the report's data (plain reading, as the window).
DatiStimaArea datiStima(const DatiRapportoMenu &dati);

// The chart of the maximum, average and minimum plot value against the years, the typed
// years marked, `misura` points wide and high; `unita` ("€", "lire" or empty) goes into the
// value axis title.
Disegno disegnoGraficoAnni(const CurvaAnni &curva, const QString &unita, const QSizeF &misura);

} // namespace perix
