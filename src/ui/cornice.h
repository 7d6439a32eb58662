#pragma once
// The frame shared by the five estimation windows: menu bar, the 22-position toolbar,
// the four buttons of Frame3, the currency label, the proportional layout, and the
// common commands. A window describes only what differs and overrides its own handlers.

#include "ui/clsresize.h"
#include "ui/comandi.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "core/frontespizio.h"

#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPushButton>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class QToolBar;

namespace perix {

enum class Comando {
    Apri, Salva, SalvaNome, Elimina, Stampa, Esci,
    Colore, Controlla, Cancella,
    Fin1, Fin2, Fin3, Fin4, Fin5,
    Guida, Suggerimenti, Supporto, Informazioni,
    Finestra,
    EsportaFoglio,
    Incarico, Tecnico,
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
    // "Stampa dati finestra" with nothing to print: the message's icon; and how a failure
    // names the document ("Impossibile preparare il documento della stima: ...").
    dialoghi::Icona rifiutoStampa = dialoghi::Icona::Stop;
    QString documento = QStringLiteral("della stima");
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
    // The archive file the window last opened or saved ("nomefile"): "Salva" writes there
    // without asking.
    const QString &nomefile() const { return m_nomefile; }
    // "Salvato in <percorso>" in the status line for a few seconds.
    void annunciaSalvataggio(const QString &percorso);

    // ---- Unsaved figures ----
    // The window's figures as a recovery copy keeps them: the bytes its "Salva" would write
    // (nothing when there is nothing to archive, or the record holds no figure beyond its
    // currency caption), and what the window holds besides its record.
    struct Figure {
        std::optional<QByteArray> record;
        QByteArray aggiunte;
        bool operator==(const Figure &) const = default;
    };
    Figure figure() const;
    // Whether the window holds figures that differ from those last opened or saved; the
    // title shows it ("[*]").
    bool nonSalvata() const { return isWindowModified(); }
    // A change came from outside the window's own controls (a hand-over of figures).
    void figureCambiate();
    // A change is waiting to be compared with the figures last opened or saved.
    bool daVerificare() const { return m_daVerificare; }
    // Compares now: sets or clears the unsaved marker and says whether it is set.
    bool verificaFigure();
    // The currency caption handed to every cost window: a window without unsaved figures
    // takes it as part of what it last had, so a caption alone never makes figures unsaved.
    void valutaRicevuta();
    // Brings back figures kept in a recovery copy: the record through the window's own Apri,
    // then what it keeps besides; `file` is the archive file they belonged to (empty: none).
    // The window then shows the unsaved marker, and its "Salva" asks before writing over
    // `file`. False when the window refused the record (it said why, as its Apri does).
    bool ripristina(const QByteArray &record, const QByteArray &aggiunte, const QString &file);

protected:
    // The area of the window's own controls; Frame3 and `soldi` are already in it.
    QWidget *area() const { return m_area; }
    QGroupBox *frame3() const { return m_frame3; }
    // Frame3 at `riquadro`, its four buttons `larghezza` wide in two rows, the second
    // column `passo` to the right of the first.
    void disponiPulsanti(QRect riquadro, int larghezza, int passo);
    // Fixes the design size of the inner area and attaches the proportional layout;
    // call at the end of the window's load, after its controls are placed.
    void completaCaricamento(QSize areaProgetto);
    const DescrizioneArchivio &archivio() const { return *m_archivio; }

    // The window's archive files, declared at load: what they are called, how its own record
    // is told, and the routine that composes the record "Salva" writes (nothing, with the
    // refusal to show, when there is nothing to archive). The frame's save, save as and
    // delete commands need nothing else.
    using Scrittore = std::function<std::optional<Record>(QString *rifiuto)>;
    void dichiaraArchivio(DescrizioneArchivio archivio, Scrittore scrivi);
    // The report "Stampa dati finestra" shows, declared at load: the function that builds
    // and shows it from what the window shows now (false, with the reason, when it fails);
    // nothing, with the refusal to show, when there is nothing to print.
    using Rapporto = std::function<bool(QString *motivo)>;
    void dichiaraRapporto(std::function<Rapporto(QString *rifiuto)> rapporto);
    // `costruisci(dati, &motivo)` shows the report and returns its window, which learns the
    // window's archive file: the report's files are proposed under its name and folder.
    template <typename D, typename F>
    Rapporto rapportoDi(std::optional<D> dati, F costruisci) const
    {
        if (!dati)
            return {};
        dati->frontespizio = frontespizio();
        return [d = std::move(*dati), costruisci, archivio = m_nomefile](QString *motivo) {
            auto *finestra = costruisci(d, motivo);
            if (finestra)
                finestra->impostaArchivio(archivio);
            return finestra != nullptr;
        };
    }
    // The spreadsheet "Esporta foglio di calcolo" writes, declared at load like the report:
    // the writer of the workbook of what the window shows now, or nothing with the refusal.
    using Foglio = std::function<bool(QIODevice &dispositivo, QString *motivo)>;
    void dichiaraFoglio(std::function<Foglio(QString *rifiuto)> foglio);
    template <typename D, typename F>
    static Foglio foglioDi(std::optional<D> dati, F scrivi)
    {
        if (!dati)
            return {};
        return [d = std::move(*dati), scrivi](QIODevice &dispositivo, QString *motivo) {
            return scrivi(d, dispositivo, motivo, {});
        };
    }
    // "Apri": a file of the window's archive, chosen by the user, and its first `quanti`
    // fields as read by `leggi(campi, &motivo)`. A file that cannot be read, or that `leggi`
    // refuses (saying why in a message when it gives a reason), changes nothing, the
    // window's file name included; cancelling says nothing.
    template <typename F>
    auto apriArchivio(int quanti, F leggi) -> decltype(leggi(QList<Campo>(), nullptr))
    {
        QString scelto = m_nomefile, file;
        Allegato allegato;
        const auto campi = perix::apriArchivio(this, *m_archivio, scelto, quanti, Modulo::titolocontrollo, &file,
                                               &allegato);
        if (!campi)
            return {};
        QString motivo;
        auto letto = leggi(*campi, &motivo);
        if (letto) {
            m_nomefile = scelto;
            impostaAllegato(std::move(allegato));
        } else
            rifiutaRecordAperto(this, file, motivo, Modulo::titolocontrollo);
        return letto;
    }
    void impostaNomefile(const QString &nome) { m_nomefile = nome; }

public:
    // The job's data and the figures' sources saved after the window's record: set by an
    // Apri that the window took, by the forms and by the commands that carry a figure in.
    const Allegato &allegato() const { return m_allegato; }
    void impostaAllegato(Allegato allegato);
    // What "Salva" writes: the window's record, then its appendix (nothing, with the
    // refusal to show, when there is nothing to archive).
    std::optional<Record> recordCompleto(QString *rifiuto) const;
    // What the window's reports say of whose they are: the job's data, the surveyor of the
    // settings, the archive file's name.
    Frontespizio frontespizio() const;
    // "Dati dell'incarico...": the job's form; confirming it changes the appendix.
    void incarico_Click();

protected:
    // After the appendix changed: the window shows what depends on it.
    virtual void allegatoCambiato() {}

    // The window's own handlers; the defaults do the frame's common behaviour.
    virtual void apri_Click() {}
    virtual void salva_Click();
    virtual void salvanome_Click();
    virtual void eliminare_click();
    virtual void solodati_click();
    void esportaxlsx_click();
    virtual void controlla_click() {}
    virtual void cancelladati_Click() {}
    virtual void aiuto_Click() {}
    virtual void finestraPropria_click(); // the item of the window itself
    void colorare_Click();
    void finestra_Click();

    // What the window holds besides its record and counts among its figures (the typed
    // percentages of the disaggregated costs), as bytes; and how they come back.
    virtual QByteArray figureAggiunte() const { return {}; }
    virtual bool riprendiFigureAggiunte(const QByteArray &) { return true; }
    // Those other figures were just opened or saved in a file of their own.
    void aggiunteSalvate();

    bool eventFilter(QObject *o, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void scrivi(const QString &titoloDialogo);
    void creaMenu();
    void creaBarra();
    void creaPulsanti();
    void ordinaCampi();
    // Follows every field and button of the window: a change marks the figures to compare.
    void osservaFigure();
    void segnaCambiamento(bool testo);
    void mostraTitolo(const QString &percorso);
    void prendiBase();

    DescrizioneCornice m_descrizione;
    QWidget *m_area = nullptr;
    QGroupBox *m_frame3 = nullptr;
    QLabel *m_soldi = nullptr;
    QToolBar *m_barra = nullptr;
    clsResize m_resize;
    std::optional<QColor> m_coloreDialogo;
    QString m_fileNelTitolo;
    QString m_nomefile;
    std::optional<DescrizioneArchivio> m_archivio;
    Scrittore m_scrivi;
    Allegato m_allegato;
    std::function<Rapporto(QString *rifiuto)> m_rapporto;
    std::function<Foglio(QString *rifiuto)> m_foglio;
    // The figures last opened or saved (nothing: restored from a copy, never the same).
    std::optional<Figure> m_base;
    bool m_daVerificare = false;
    bool m_chiediSovrascrittura = false; // restored: "Salva" asks before replacing the file
};

// Window switching, the help windows of the five estimation windows (1..5) and the help
// and information windows of the "?" menu: the application knows them, the frame asks.
FinestraStima *finestraStima(int numero);
void mostraFinestraStima(int numero);
void mostraGuidaFinestra(int numero);
void mostraFinestraAiuto(Comando comando); // Guida, Suggerimenti, Supporto, Informazioni

} // namespace perix
