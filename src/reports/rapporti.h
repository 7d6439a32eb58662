#pragma once
// The reports: the common start, head and tables every window's report is made of, the
// main window's report, and the printed help page.
//
// A report is a document built from the window's figures, with no widget involved; showing
// it in a report window is a separate step. A report reads as a list of steps:
//     Rapporto r(QStringLiteral("costi sintetici"));    // new document, A4, 12-pt spacing, Century Gothic
//     r.intestazione();                                 // program name and description
//     r.scrivi(12, QStringLiteral("Dati generali"));
//     r.paragrafoInFondo();
//     r.tabella({{"dati", "valori"}, {...}});           // 10 pt, table format 9
//     r.allinea(1, 2);                                  // column 2 of table 1 to the right
//     return r.prendi();                                // the document, or r.mostra(): in its window

#include "core/allegato.h"
#include "core/frontespizio.h"
#include "reports/documento.h"
#include "reports/finestrareport.h" // the window each report is shown in

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <array>
#include <initializer_list>
#include <memory>
#include <optional>

namespace perix {

// How much of the common start a report takes: all of it (page set-up, spacing and type
// included) or just a new document, as the printed help page does.
enum class Avvio { Completo, SoloDocumento };

class Rapporto
{
public:
    // A new document of its own, titled after `nome`; with Avvio::Completo also A4 paper,
    // 12 points after every paragraph and "Century Gothic" at the insertion point.
    explicit Rapporto(const QString &nome, Avvio avvio = Avvio::Completo);
    // Builds into a document someone else owns (a report window's new, empty document,
    // see finestrareport::nuovoDocumento).
    explicit Rapporto(Document *documento, Avvio avvio = Avvio::Completo);
    Rapporto(const Rapporto &) = delete;
    Rapporto &operator=(const Rapporto &) = delete;
    ~Rapporto();

    // False when there is no document to build into; every step then does nothing.
    bool valido() const;
    QString motivo() const;

    QString nome() const;
    Document *documento() const;
    Selection *selezione() const;

    // The common head: the program's name at 20 points, its description at 16, then the
    // heading block of the job and the surveyor where given (vociFrontespizio), then an empty
    // paragraph. A report with this head ends, when it is handed over, with the signature
    // lines (unless the surveyor signs digitally) and has its pages numbered, the archive
    // file named at their foot and the job's facts in the document's properties.
    void intestazione(const Frontespizio &frontespizio = {});
    // The signature lines at the end of what is written so far, once, for a report with the
    // common head (none where the surveyor signs digitally); otherwise they close the report.
    void firma();
    // Types at the insertion point, at `punti` (the type stays for what follows).
    void scrivi(double punti, const QString &testo);
    void scrivi(const QString &testo);
    void interruzionePagina();
    // An empty paragraph at the end of the document.
    Range paragrafoInFondo();
    // A paragraph at the end whose range gets the size and then the text.
    Range paragrafoInFondo(double punti, const QString &testo);
    // A table at the end: its rows from `righe` (as many columns as the longest row), its
    // whole range at `punti` (none: the type of the last paragraph), filled, then given
    // table format `formato` (0: none). Recorded as Modulo::wordtabella.
    Table tabella(const QList<QStringList> &righe, std::optional<double> punti = 10.0, int formato = 9);
    Table tabella(int righe, int colonne, const QList<QStringList> &contenuto = {},
                  std::optional<double> punti = 10.0, int formato = 9);
    // Selects column `colonna` of table `tabella` of the document (both from 1) and aligns it.
    void allinea(int tabella, int colonna, Alignment allineamento = Alignment::Right);
    // The same for each of `colonne`, to the right.
    void allinea(int tabella, std::initializer_list<int> colonne);
    void disegno(const Disegno &disegno);
    // Selects the whole document and justifies it.
    void giustificaTutto();
    // Saves the document as .docx.
    bool salva(const QString &percorso, QString *motivo = nullptr) const;
    // Ends the building and hands the document over (nothing when it was someone else's).
    std::unique_ptr<Document> prendi();
    // Ends the building and shows the document in a new report window (mostraRapporto).
    finestrareport *mostra(QString *motivo = nullptr);

private:
    void prepara(Avvio avvio);

    void chiudiBlocco();
    void chiusura();

    QString nome_;
    std::unique_ptr<Document> proprio_;
    QPointer<Document> documento_;
    // The whole building is one edit: the pages are laid out once, at the end, instead of
    // after every paragraph, cell and alignment.
    QTextCursor blocco_;
    QString motivo_;
    std::optional<Frontespizio> frontespizio_; // set by intestazione, used once by chiusura
    bool firmato_ = false;
};

// The shape of the typology and height reports: the common head, `titolo` at 12 points,
// the general data in a table, then `didascalia` in a paragraph of its own and the
// classes' table in that paragraph's type, its columns `larghezze` percent wide, the
// figures of columns 2 and 3 to the right.
std::unique_ptr<Document> documentoClassi(const QString &nome, const QString &titolo, const QList<QStringList> &dati,
                                          const QString &didascalia, const QList<QStringList> &classi,
                                          const QList<double> &larghezze, const Frontespizio &frontespizio = {});

// Shows a finished document in a new report window named `nome`, drawn and brought
// forward, and records it as Modulo::wordapp, Modulo::worddoc and (its last table)
// Modulo::wordtabella. Nothing, with the reason, where no window can be opened (no
// graphical application) or there is no document.
finestrareport *mostraRapporto(const QString &nome, std::unique_ptr<Document> documento, QString *motivo = nullptr);

// The main window's figures for its report, as the window shows them.
struct DatiRapportoMenu {
    QString valuta; // "in lire" / "in euro"
    QString valoremercato;
    QString costitotali;
    QString anni;
    QString superficie;
    std::array<QString, 7> risultati; // captions of risultati(1) to risultati(6)
    // Where the market value came from, when it was taken from the OMI quotations.
    std::optional<FonteOmi> omi;
    // With the sections "Procedimento di calcolo" and "Analisi di sensibilità" after the
    // tables; nothing: as the user last chose (includiProcedimento).
    std::optional<bool> procedimento;
    // Where the total costs came from, when a cost window carried them in.
    std::optional<FonteCosto> fonteCosto;
    Frontespizio frontespizio;
};

// The building-plot report: data and results in two tables, and the calculation trail with
// the sensitivity analysis when asked for (nothing in `procedimento`: as the user last chose).
std::unique_ptr<Document> documentoMenu(const DatiRapportoMenu &dati);
// The same shown in its window, which has the check action `procedimento`, "Includi
// procedimento e sensibilità": it rebuilds the document in place and is remembered for the
// next reports. Returns the window, or nullptr with the reason when it cannot be opened.
finestrareport *rapportoMenu(const DatiRapportoMenu &dati, QString *motivo = nullptr);

// The choice remembered between sessions (off until the user turns it on).
bool includiProcedimento();
void impostaIncludiProcedimento(bool includi);

} // namespace perix

namespace perix::Modulo {

// The help page held in titologuida and testoguida as a document.
std::unique_ptr<Document> documentoguida();
// Prints the help page held in titologuida and testoguida into a new report window.
// False when the window cannot be opened (the user has been told why).
bool stampaguida();

} // namespace perix::Modulo
