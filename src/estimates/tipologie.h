#pragma once
// The costs by typology window: the cost per m² of net area of nine typologies derived
// from the typed cost of one of them.

#include "core/calcoli_tipologie.h"
#include "estimates/finestratabella.h"
#include "reports/rapporti_costi.h"

#include <array>
#include <optional>

namespace perix {

class risultatitipologie : public FinestraTabella
{
    Q_OBJECT
public:
    risultatitipologie();

    // Handlers, public so the frame, the archive and the tests reach them by name.
    void tipologia_Click(int Index) { scegli(Index); }
    void costonetto_Change() { costo_Change(); }
    void evidenziatipologia() { evidenzia(); }
    void cancella_click() { cancella(); }
    void apri_Click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoTipologie> datiRapporto(QString *rifiuto = nullptr) const;
    // The record "Salva" writes; nothing, with the refusal, when there is nothing to archive.
    std::optional<Record> scrivitipologie(QString *rifiuto) const;

    // As last computed, 1..9.
    const std::array<double, numeroTipologie + 1> &costitipologie() const { return m_costitipologie; }

protected:
    void calcola(int riga, double costo) override;

private:
    void creaControlli();

    std::array<QLabel *, 3> Label3{};
    QLabel *Label4 = nullptr, *Label6 = nullptr, *passo = nullptr;
    std::array<double, numeroTipologie + 1> m_costitipologie{};
};

} // namespace perix
