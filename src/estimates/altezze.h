#pragma once
// The costs by height window: the cost per m³ of fourteen height classes derived from the
// typed cost of one of them.

#include "core/calcoli_altezze.h"
#include "estimates/finestratabella.h"
#include "reports/rapporti_costi.h"

#include <optional>

namespace perix::Modulo {
// The class chosen in the height window (1..14; 0 none). Kept apart from tipologiascelta,
// which is the typology window's own: a choice in one window never counts in the other.
// It outlives the window, like the rest of the shared state.
inline int altezzascelta = 0;
} // namespace perix::Modulo

namespace perix {

class variocosto : public FinestraTabella
{
    Q_OBJECT
public:
    variocosto();

    // Handlers, public so the frame, the archive and the tests reach them by name.
    void Optvario_Click(int Index) { scegli(Index); }
    void costopieno_Change() { costo_Change(); }
    void evidenziaaltezza() { evidenzia(); }
    void apri_Click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoAltezze> datiRapporto(QString *rifiuto = nullptr) const;
    // The record "Salva" writes; nothing, with the refusal, when there is nothing to archive.
    std::optional<Record> scrivialtezze(QString *rifiuto) const;

protected:
    void calcola(int riga, double costo) override;

private:
    void creaControlli();

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label5 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr, *passo = nullptr;
};

} // namespace perix
