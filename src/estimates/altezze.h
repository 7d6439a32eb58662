#pragma once
// The costs by height window: the cost per m³ of fourteen height classes derived from the
// typed cost of one of them.

#include "ui/controlli.h"
#include "core/calcoli_altezze.h"
#include "estimates/finestracosti.h"
#include "reports/rapporto_altezze.h"

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <optional>

namespace perix::Modulo {
// The class chosen in the height window (1..14; 0 none). Kept apart from tipologiascelta,
// which is the typology window's own: a choice in one window never counts in the other.
// It outlives the window, like the rest of the shared state.
inline int altezzascelta = 0;
} // namespace perix::Modulo

namespace perix {

struct DescrizioneArchivio;

class variocosto : public FinestraCosti
{
    Q_OBJECT
public:
    variocosto();

    // Handlers, public so the frame, the archive and the tests reach them by name.
    void Optvario_Click(int Index);
    void costopieno_Change();
    void evidenziaaltezza();
    void controlla_click() override;
    void cancelladati_Click() override;
    void aiuto_Click() override;
    void apri_Click() override;
    void salva_Click() override;
    void salvanome_Click() override;
    void eliminare_click() override;
    void solodati_click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoAltezze> datiRapporto(QString *rifiuto = nullptr) const;
    void scrivialtezze(const QString &titoloDialogo);

    const QString &nomefile() const { return m_nomefile; }

private:
    static const DescrizioneArchivio &archivio();
    void creaControlli();
    void coloraRiga(int i, const QColor &colore);
    // The quiet note beside the cost while its text is not a number.
    void aggiornaNota();

    std::array<Opzione *, numeroAltezze + 1> Optvario{};
    std::array<QLabel *, numeroAltezze + 1> Image1{}, Label4{}, varicosti{}, piani{};
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label5 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr, *passo = nullptr, *notacosto = nullptr;
    QLineEdit *costopieno = nullptr;

    QString m_nomefile;
    bool m_apertura = false; // the open command sets the cost without choosing again
};

} // namespace perix
