#pragma once
// The synthetic costs window: read-only, filled by the main window's hand-over or from a
// "Perix-sint-" file; saved, printed, checked and cleared from here.

#include "core/calcoli_sintetici.h"
#include "estimates/finestracosti.h"
#include "reports/rapporti_costi.h"

#include <QLabel>
#include <array>
#include <optional>

namespace perix {

struct DescrizioneArchivio;

class risultatisintetici : public FinestraCosti
{
    Q_OBJECT
public:
    risultatisintetici();
    void nascondiIcone();
    void mostraIcona(int classe);
    bool iconaVisibile(int classe) const;
    // Rows 1..5 of the column of class 1..3 (index 0 unused).
    void impostaColonna(int classe, const std::array<QString, 6> &valori);

    // Handlers, public so the frame and the tests reach them by name.
    void apri_Click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoSintetici> datiRapporto(QString *rifiuto = nullptr) const;
    void controlla_click() override;
    void cancelladati_Click() override { cancella_click(); }
    void cancella_click();
    // The record "Salva" writes; nothing, with the refusal, when there is nothing to archive.
    std::optional<Record> scrivisintetici(QString *rifiuto) const;

    // What the window shows, as its file stores it: the class is the one whose icon is shown.
    DatiSintetici dati() const;

protected:
    std::optional<CostoUnitario> costoUnitario() const override;

private:
    void mostraDati(const DatiSintetici &d);

    QLabel *passo = nullptr;
    std::array<QWidget *, 4> m_icone{};
    std::array<std::array<QLabel *, 6>, 4> m_griglia{};
};

} // namespace perix
