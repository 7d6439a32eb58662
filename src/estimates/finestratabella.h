#pragma once
// The two cost windows made of a table with one chosen row, the typologies and the heights:
// the cost typed for the chosen row gives the figures of every row. This frame does the
// choosing, the highlighting, the cost field with its quiet note, the check, the clearing
// and the opening of a file; each window says what its rows hold and computes them.

#include "estimates/finestracosti.h"
#include "ui/controlli.h"

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <array>

class QGroupBox;

namespace perix {

class FinestraTabella : public FinestraCosti
{
    Q_OBJECT
public:
    // What differs between the two tables besides their figures.
    struct Descrizione {
        int righe;
        int *scelta; // the shared state's chosen row, 1..righe (0: none)
        // The cost field's plain reading is 0 for a missing cost (the heights), not only an
        // empty field (the typologies).
        bool zeroManca;
        QString costoMancante; // said when a row is chosen without a cost
        // The check's refusals: no data, no cost, a cost that is no number ("%1"), no row.
        std::array<QString, 4> controlli;
    };
    // A column of the table: the labels' names ("edificio(%1)"), where they stand, and the
    // caption a row starts with (none: empty).
    struct Colonna {
        QString nome;
        int x, larghezza;
        QString (*testo)(int riga) = nullptr;
    };

    FinestraTabella(const DescrizioneCornice &cornice, const QString &nome, const Descrizione &tabella);

    // The chosen row's handler, the highlighting of the choice, the cost's change, the check
    // and the clearing; each window gives them its own names.
    void scegli(int riga);
    void evidenzia();
    void costo_Change();
    void controlla_click() override;
    void cancella();
    void cancelladati_Click() override { cancella(); }

protected:
    // The rows: a round button named `opzione` ("tipologia(%1)"), the chosen-row picture
    // "Image1(%1)" in `icona`, then the name, cost and last columns.
    // `suggerimento` is the buttons' tooltip; `fissa` keeps them 18 pixels wide when the window
    // grows, with `testoOpzione` as their hidden caption.
    void creaRighe(QGroupBox *tabella, const QString &opzione, int xOpzione, int y0, int passoRiga,
                   const std::array<Colonna, 3> &colonne, const Colonna &icona, const QString &suggerimento,
                   bool fissa = false, const QString &testoOpzione = {});
    // Names every row's button by its caption and every figure by its row and column, the
    // columns' headings given left to right; call once the rows and headings are placed.
    void nominaCelle(const std::array<QLabel *, 3> &intestazioni);
    // The cost field and the quiet note beside it.
    void creaCosto(QWidget *genitore, const QString &nome, QRect campo, const QString &suggerimento, QRect nota);
    // Fills the cost and the last column for every row from the cost `costo` of row `riga`.
    virtual void calcola(int riga, double costo) = 0;
    // The chosen row's cost as shown in the cost column.
    std::optional<CostoUnitario> costoUnitario() const override;

    bool valida(int riga) const { return riga >= 1 && riga <= m_descrizione.righe; }
    int scelta() const { return *m_descrizione.scelta; }
    QLineEdit *costo() const { return m_costo; }
    QLabel *cella(int colonna, int riga) const { return m_colonne[std::size_t(colonna)].at(riga); }
    QString testo(int colonna, int riga) const { return cella(colonna, riga)->text(); }
    // After a file's columns are in: its currency caption, its cost (read without choosing
    // again), then its chosen row, or none.
    void mostraFile(const QString &soldi, const QString &costo, int riga);
    // Whether there is something to print: nothing chosen gives nienteDaStampare(), a cost
    // that is no number `rifiutoCosto`'s refusal.
    bool stampabile(QString *rifiuto, QString (*rifiutoCosto)(const QString &)) const;

private:
    void coloraRiga(int riga, const QColor &colore);
    void aggiornaNota();

    Descrizione m_descrizione;
    QList<Opzione *> m_opzioni;         // 1..righe
    QList<QLabel *> m_icone;            // 1..righe
    std::array<QList<QLabel *>, 3> m_colonne; // 1..righe
    QLineEdit *m_costo = nullptr;
    QLabel *m_nota = nullptr;
    bool m_apertura = false; // an opened file sets the cost without choosing again
};

} // namespace perix
