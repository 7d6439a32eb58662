#pragma once
// The frame shared by the five estimation windows: menu bar, the 22-position toolbar,
// the four buttons of Frame3, the currency label, the proportional layout, and the
// common commands. A window describes only what differs and overrides its own handlers.

#include "ui/clsresize.h"

#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPushButton>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QToolBar;

namespace perix {

enum class Comando {
    Apri, Salva, SalvaNome, Elimina, Stampa, Esci,
    Colore, Controlla, Cancella,
    Fin1, Fin2, Fin3, Fin4, Fin5,
    Guida, Suggerimenti, Supporto, Informazioni,
    Finestra,
};

struct VoceMenu {
    QString nome;                   // objectName of the item (or of the separator)
    QString testo;                  // caption; empty for a separator
    std::optional<Comando> comando; // nothing for a separator
};

struct MenuCornice {
    QString nome;
    QString testo;
    QList<VoceMenu> voci;
};

struct DescrizioneCornice {
    int numero = 1;          // the window's number, 1..5
    QString nomeVisibile;    // 'Menu', 'Costi disaggregati', ... in the own-window question
    QString titolo;          // window caption
    QList<MenuCornice> menu; // File, Modifica, Visualizza, ?
    int spaziFinestra = 126; // blanks before "Fi&nestra n.N di 5"
};

// The menus every estimation window has, named as in the main window; a window
// copies this and renames or re-captions what differs.
QList<MenuCornice> menuPredefiniti();

class FinestraStima : public QMainWindow
{
    Q_OBJECT
public:
    explicit FinestraStima(const DescrizioneCornice &descrizione, QWidget *parent = nullptr);

    int numero() const { return m_descrizione.numero; }
    QLabel *soldi() const { return m_soldi; }

    // Toolbar click by position 1..22; separators act as the button after them.
    void Toolbar1_ButtonClick(int posizione);
    // The command of a toolbar position (separators: the next button's).
    static Comando comandoPosizione(int posizione);

    // Runs a frame command as its menu item would.
    void esegui(Comando c);

    clsResize &ridimensionamento() { return m_resize; }

    // The archive file the window's data were last opened from or saved to: its name shows
    // in the title ("Perix - Perix-menu-prova"); an empty name gives the window's own
    // caption back. A delete of that file takes its name off the title.
    void fileAperto(const QString &percorso);
    void fileSalvato(const QString &percorso); // also says "Salvato in <percorso>"
    void fileEliminato(const QString &percorso);
    const QString &fileNelTitolo() const { return m_fileNelTitolo; }
    // "Salvato in <percorso>" in the status line for a few seconds.
    void annunciaSalvataggio(const QString &percorso);

protected:
    // The area of the window's own controls; Frame3 and `soldi` are already in it.
    QWidget *area() const { return m_area; }
    QGroupBox *frame3() const { return m_frame3; }
    // Fixes the design size of the inner area and attaches the proportional layout;
    // call at the end of the window's load, after its controls are placed.
    void completaCaricamento(QSize areaProgetto);

    // The window's own handlers; the defaults do the frame's common behaviour.
    virtual void apri_Click() {}
    virtual void salva_Click() {}
    virtual void salvanome_Click() {}
    virtual void eliminare_click() {}
    virtual void solodati_click() {}
    // "Stampa dati finestra" of the cost windows: without figures (`pronto` false) the
    // window's refusal in a stop message; otherwise "sto caricando WORD" in `passo` while
    // `mostra` builds and shows the report, then the outcome. `documento` names the report
    // in the failure message ("della stima").
    void stampaConStato(QLabel *passo, bool pronto, const QString &rifiuto,
                        const std::function<bool(QString *motivo)> &mostra,
                        const QString &documento = QStringLiteral("della stima"));
    virtual void controlla_click() {}
    virtual void cancelladati_Click() {}
    virtual void aiuto_Click() {}
    virtual void finestraPropria_click(); // the item of the window itself
    void colorare_Click();
    void finestra_Click();

    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void creaMenu();
    void creaBarra();
    void creaPulsanti();
    void ordinaCampi();

    DescrizioneCornice m_descrizione;
    QWidget *m_area = nullptr;
    QGroupBox *m_frame3 = nullptr;
    QLabel *m_soldi = nullptr;
    QToolBar *m_barra = nullptr;
    clsResize m_resize;
    std::optional<QColor> m_coloreDialogo;
    QString m_fileNelTitolo;
};

// Window switching, the help windows of the five estimation windows (1..5) and the help
// and information windows of the "?" menu: the application knows them, the frame asks.
void mostraFinestraStima(int numero);
void mostraGuidaFinestra(int numero);
void mostraFinestraAiuto(Comando comando); // Guida, Suggerimenti, Supporto, Informazioni

} // namespace perix
