#pragma once
// The disaggregated costs window: the cost of construction spread over sixteen categories
// of works by the preset schedule of the building class and by typed percentages.

#include "core/calcoli_disaggregati.h"
#include "estimates/finestracosti.h"
#include "reports/rapporti_costi.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <array>
#include <optional>

namespace perix {

struct DescrizioneArchivio;

class risultatidisaggregati : public FinestraCosti
{
    Q_OBJECT
public:
    risultatidisaggregati();

    // The hand-over of the main window: class, market value, cost, profit; then calcolo.
    void ricevi(const QString &tipoedi, const QString &vm, const QString &cc, const QString &profitto);

    void calcolo();
    void p2_Change(int Index);
    void preimp_Click();
    void annulla_Click(int Index);
    void aprip_Click();
    void archiviap_Click();

    void controlla_click() override;
    void cancelladati_Click() override;
    // The figures of the report as the window shows them; nothing, with the refusal, when
    // there is nothing to print.
    std::optional<DatiRapportoDisaggregati> datiRapporto(QString *rifiuto = nullptr) const;
    void apri_Click() override;

    int modoricalcolo() const { return m_modoricalcolo; }
    const QString &nomefilePercentuali() const { return m_nomefilePercentuali; }

protected:
    // The typed percentages, as a percentages file holds them (nothing when none was typed).
    QByteArray figureAggiunte() const override;
    bool riprendiFigureAggiunte(const QByteArray &dati) override;

private:
    static const DescrizioneArchivio &archivioPercentuali();
    static Record recordPercentuali();
    void creaControlli();
    // The record "Salva" writes; nothing, with the refusal, when there is nothing to archive.
    std::optional<Record> scrividisaggregati(QString *rifiuto) const;
    // The total costs typed in the main window, the base of every amount: nothing when
    // empty (silently) or not a number (said with a message when `avvisa`, else quietly).
    std::optional<double> baseCosti(bool avvisa);
    // The sum of the typed percentages as the fields show them.
    double sommaImmesse() const;
    void mandaAMenu();

    QLabel *passo = nullptr, *Label3 = nullptr;
    QLabel *m_tipoedi = nullptr, *m_vm = nullptr, *m_cc = nullptr, *m_profitto = nullptr;
    std::array<QLabel *, categorie + 1> p1{}, ris{}, ris2{};
    std::array<QLineEdit *, categorie + 1> p2{};
    std::array<QPushButton *, categorie + 1> annulla{};
    int m_modoricalcolo = 0;
    bool m_avvisoBase = false; // passo tells that the cost base is no number
    QString m_nomefilePercentuali;
};

} // namespace perix
