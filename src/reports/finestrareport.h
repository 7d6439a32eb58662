#pragma once
// The window of a report: its document shown as it will print, A4 pages on a grey desk,
// with commands to print it, export it to PDF, save it as a Word document or open it in
// the desktop's word processor. Each report has its own window, deleted when closed.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QUrl;

namespace perix {

class Document;

// A report's document title: the program's name, then `nome` after a dash when there is one.
QString titoloDocumento(const QString &nome);

class finestrareport : public QMainWindow
{
    Q_OBJECT
public:
    // `nome` is the short name shown in the title and proposed for the files.
    explicit finestrareport(const QString &nome = QString(), QWidget *parent = nullptr);
    // Shows a document already built (see Rapporto); the window takes it over.
    finestrareport(const QString &nome, Document *documento, QWidget *parent = nullptr);
    ~finestrareport() override;

    Document *documento() const;
    QString nome() const;
    QPrintPreviewWidget *anteprima() const;
    int pagine() const; // pages in the preview

    // Redraws the preview from the document now. Edits also schedule a redraw by themselves.
    void aggiorna();

    // The toolbar's commands. Each tells the user of a failure (stop message) and returns
    // false; a cancelled dialog returns false in silence.
    bool stampa();
    bool esportaPdf();
    bool salvaDocx();
    bool apriConElaboratore();
    // The file the last "apri con l'elaboratore di testi" wrote; empty before.
    QString documentoAperto() const;

    // The archive file the estimate shown was opened from or saved to (empty: none). Its
    // name and folder are what the PDF and .docx saves propose.
    void impostaArchivio(const QString &percorso);
    // The name proposed for the document's files, without extension: the archive file's
    // name when the estimate has one ("Perix-menu-Lotto via Roma"), otherwise the program's
    // and the report's ("Perix - stima area fabbricabile").
    QString nomeProposto() const;
    // The folder proposed for them: the archive file's; empty when the estimate has none
    // (the dialog then starts where reports were last saved).
    QString cartellaProposta() const;
    // Where those copies go: a per-user cache folder that outlives the window.
    static QString cartellaCopie();
    // Removes the copies older than `giorni` days; how many went.
    static int pulisciCopie(int giorni = 3);

    // A report that can be built in more than one way adds a check action to the toolbar
    // (objectName `nomeAzione`, checked as `attiva`); each change of it gives the window a new,
    // empty document and calls `ricostruisci` with the new state to fill it.
    QAction *aggiungiOpzione(const QString &nomeAzione, const QString &testo, const QString &suggerimento,
                             bool attiva, std::function<void(bool)> ricostruisci);
    // Replaces the document with a new, empty one under the same title (the old one is
    // deleted); the preview follows it.
    Document *nuovoDocumento();

    // Replaceable steps, so the commands run without a desktop: the print dialog (true to
    // print) and the request to open a file in its program.
    using DialogoStampa = std::function<bool(QPrinter &, QWidget *)>;
    using Apertura = std::function<bool(const QUrl &)>;
    static void impostaDialogoStampa(DialogoStampa dialogo); // empty: the real print dialog
    static void impostaApertura(Apertura apertura);          // empty: the desktop's handler

private:
    void pianificaAggiornamento();
    void disegna(QPrinter *stampante);
    void preparaStampante(QPrinter &stampante) const;
    QString nomeFile(const QString &estensione) const;
    void aggiornaStato();
    // Asks where to save (`tipo` files ending in `estensione`), writes there through `scrivi`
    // and says where it went; a failure is told with `errore` (%1 the file, %2 why).
    bool salvaCome(const QString &titolo, const QString &tipo, const QString &estensione, const QString &errore,
                   const QString &fatto, const std::function<bool(const QString &, QString *)> &scrivi);
    // Says in the status bar, for a few seconds, where a file was written.
    void annunciaFile(const QString &frase, const QString &percorso);

    QString nome_;
    Document *documento_ = nullptr;
    std::unique_ptr<QPrinter> stampanteAnteprima_;
    QPrintPreviewWidget *anteprima_ = nullptr;
    QLabel *stato_ = nullptr;
    QString documentoAperto_;
    QString archivio_;
    bool daAggiornare_ = false;
};

} // namespace perix
