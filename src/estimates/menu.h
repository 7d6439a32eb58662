#pragma once
// The main window: currency, kind of estimate, building class, and the building-plot
// valuation as the figures are typed.

#include "reports/rapporti.h"
#include "ui/controlli.h"
#include "ui/cornice.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <array>

namespace perix {

// A result box whose text always shows whole: the font gives way, a little, to a text
// longer than the box ("valore non calcolabile" at the start size).
class Risultato : public QLabel
{
public:
    explicit Risultato(QWidget *genitore);
    void adatta();

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    qreal m_punti;
};

class menu : public FinestraStima
{
    Q_OBJECT
public:
    menu();

    // Handlers, public so the frame, the archive and the tests reach them by name.
    void moneta_Click(int Index);
    void aree_Click();
    void disaggregati_click();
    void sintetici_click();
    void tipologici_click();
    void altezze_Click();
    void Option1_Click(int Index);
    void valoremercato_Change();
    void costitotali_Change();
    void costolordo_Change();
    void anni_Change();
    void superficie_Change();

    void azzerastima();
    void stimaarea();
    void aggiornapasso();
    // Puts the keyboard focus where `passo` asks the user to act, so typing can start at once.
    void seguipasso();
    // The notes on figures the valuation cannot take (not a number, ambiguous) or questions.
    void aggiornanote();
    void passaadisaggregati();
    void calcolasintetici();

    void controlla_click() override;
    void aiuto_Click() override;
    void cancelladati_Click() override;
    void apri_Click() override;
    // The figures of the report as the window shows them; nothing, with why, when the
    // estimate shown has no report here.
    std::optional<DatiRapportoMenu> datiRapporto(QString *rifiuto = nullptr) const;
    // The record "Salva" writes; nothing, with the refusal, when there is nothing to archive.
    std::optional<Record> scrivimenu(QString *rifiuto) const;

    // A total construction cost carried in from a cost window: into `costitotali`, with its
    // source in the appendix (typing another figure there drops the source).
    void ricevicosto(const FonteCosto &fonte);
    // A market value taken from the OMI quotations, with its source, into `valoremercato`
    // as if typed; false when the estimate chosen asks for no market value.
    bool valoreDaOmi(const FonteOmi &fonte);
    // Opens the window of the OMI quotations (the button `omi` and its menu item).
    void omi_Click();

    // The total costs as typed: the cost base of the disaggregated window's amounts.
    QString testoCostitotali() const { return costitotali->text(); }
    const QString &descrizioneclasse() const { return m_descrizioneclasse; }

private:
    // Where the guidance line sends the user; its text is testoPasso's.
    enum class Passo {
        Valuta, TipoStima, ValoreMercato, CostiTotali, Anni, Superficie, Risultati, CostoLordo,
        Caratteristiche, AltraStima, CorreggiCostoLordo, CorreggiFigure,
    };
    static QString testoPasso(Passo p);
    void impostapasso(Passo p);

    void creaControlli();
    QLabel *etichetta(const QString &nome, const QString &testo, QRect r, const QString &suggerimento = {});
    QLineEdit *campo(const QString &nome, QRect r, const QString &suggerimento = {});
    Opzione *opzione(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                     const QString &suggerimento = {});
    bool caratteristicaScelta() const;
    std::array<QLineEdit *, 4> datiStima() const;
    std::array<QString, 4> figureStima() const; // their texts, for rifiutoStimaArea
    // The first of datiStima() whose text is no figure the valuation can take; nothing when all are.
    QLineEdit *figuraIlleggibile() const;

    QLabel *passo = nullptr, *attento = nullptr, *Label6 = nullptr;
    std::array<QLabel *, 6> Label{}; // Label1..Label5 (0 unused)
    QGroupBox *Frame1 = nullptr, *Frame2 = nullptr, *caratt = nullptr;
    std::array<Opzione *, 3> moneta{};  // 1..2
    std::array<Opzione *, 4> Option1{}; // 1..3
    Opzione *aree = nullptr, *disaggregati = nullptr, *sintetici = nullptr, *tipologici = nullptr,
            *altezze = nullptr;
    QLineEdit *valoremercato = nullptr, *costitotali = nullptr, *anni = nullptr, *superficie = nullptr,
              *costolordo = nullptr;
    std::array<QLabel *, 13> risultati{};
    QLabel *notelettura = nullptr;
    QToolButton *omi = nullptr; // beside valoremercato: the OMI quotations
    std::array<QAction *, 4> avvisi{}; // the warning sign inside each figure of datiStima()

    QString m_descrizioneclasse;
    QString costoeconomico, costomedio, costoevoluto;
    Passo m_passo = Passo::Valuta;
};

} // namespace perix
