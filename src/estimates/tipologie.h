#pragma once
// The costs by typology window: the cost per m² of net area of nine typologies derived
// from the typed cost of one of them.

#include "ui/controlli.h"
#include "core/calcoli_tipologie.h"
#include "estimates/finestracosti.h"
#include "reports/rapporto_tipologie.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <array>
#include <optional>

namespace perix {

struct DescrizioneArchivio;

class risultatitipologie : public FinestraCosti
{
    Q_OBJECT
public:
    risultatitipologie();

    // Handlers, public so the frame, the archive and the tests reach them by name.
    void tipologia_Click(int Index);
    void costonetto_Change();
    void evidenziatipologia();
    void controlla_click() override;
    void cancella_click();
    void aiuto_Click() override;
    void apri_Click() override;
    void salva_Click() override;
    void salvanome_Click() override;
    void eliminare_click() override;
    void solodati_click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoTipologie> datiRapporto(QString *rifiuto = nullptr) const;
    void scrivitipologie(const QString &titoloDialogo);
    void terreni_Click();
    void edifici_Click();
    void archivio_Click();

    const QString &nomefile() const { return m_nomefile; }
    // As last computed, 1..9.
    const std::array<double, numeroTipologie + 1> &costitipologie() const { return m_costitipologie; }

protected:
    void cancelladati_Click() override { cancella_click(); }

private:
    static const DescrizioneArchivio &archivio();
    void creaControlli();
    void coloraRiga(int i, const QColor &colore);
    // The quiet note beside the cost while its text is not a number.
    void aggiornaNota();

    std::array<Opzione *, numeroTipologie + 1> tipologia{};
    std::array<QLabel *, numeroTipologie + 1> Image1{}, vano{}, edificio{}, Label1{};
    std::array<QLabel *, 3> Label3{};
    QLabel *Label4 = nullptr, *Label6 = nullptr, *passo = nullptr, *notacosto = nullptr;
    QLineEdit *costonetto = nullptr;
    QToolButton *archivio_ = nullptr, *edifici = nullptr, *terreni = nullptr;

    std::array<double, numeroTipologie + 1> m_costitipologie{};
    QString m_nomefile;
    bool m_apertura = false; // the open command sets the cost without choosing again
};

} // namespace perix
