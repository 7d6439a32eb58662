#pragma once
// The one place that shows message boxes and the file and colour dialogs.
// Windows never call QMessageBox/QFileDialog/QColorDialog themselves: tests queue
// answers here and read back what was asked, so nothing ever blocks a test run.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

class QDialog;
class QMessageBox;
class QWidget;

namespace perix::dialoghi {

enum class Icona { Nessuna, Stop, Informazione, Domanda, Attenzione };
enum class Pulsanti { Ok, SiNo };
enum class Risposta { Ok, Si, No };

// A modal message box. `predefinito` is 1 for the first button, 2 for the second.
Risposta messaggio(QWidget *parent, const QString &testo, const QString &titolo,
                   Icona icona = Icona::Informazione, Pulsanti pulsanti = Pulsanti::Ok,
                   int predefinito = 1);

// The box messaggio() shows, built and not shown (the caller owns it): a screen reader
// reads its title as its name and its text as its description.
QMessageBox *costruisciMessaggio(QWidget *parent, const QString &testo, const QString &titolo, Icona icona,
                                 Pulsanti pulsanti, int predefinito = 1);

// Shorthand for the stop-icon OK box used by checks, archive and report refusals.
void stop(QWidget *parent, const QString &testo, const QString &titolo);

// A file filter: description and pattern, e.g. {"File Perix-menu-", "Perix-menu-*"}.
struct Filtro {
    QString descrizione;
    QString schema;
};

struct RichiestaFile {
    QString titolo;
    QString nomeProposto;
    QList<Filtro> filtri;
    int indiceFiltro = 1; // 1-based, as the estimation windows give it
    // The kind of file asked for (an archive prefix, "rapporti"): the dialog starts in the
    // folder last used for that kind, the first time in the user's documents.
    QString tipo{};
    // The folder the dialog starts in; filled from `tipo` when left empty.
    QString cartella{};
    // The folder of the sample files shipped with the program: listed in the side panel
    // of an open dialog, which starts there while no folder was used yet for `tipo`.
    QString esempi{};
};

// The folder a dialog for files of kind `tipo` starts in (`primaVolta`, when it is a folder,
// until one was used for that kind), and the one to remember.
QString cartellaIniziale(const QString &tipo, const QString &primaVolta = {});
void ricordaCartella(const QString &tipo, const QString &cartella);

// Open-file and save-file dialogs: the chosen path, or nothing when cancelled.
std::optional<QString> apriFile(QWidget *parent, const RichiestaFile &richiesta);
std::optional<QString> salvaFile(QWidget *parent, const RichiestaFile &richiesta);

// Colour dialog opened on `iniziale`: the chosen colour, or nothing when cancelled.
std::optional<QColor> scegliColore(QWidget *parent, const QColor &iniziale);

// A question over a list of items, each with a check box: the user ticks the ones wanted
// and answers with one of two buttons. Nothing when the dialog is closed without an answer.
struct VoceElenco {
    QString testo;
    bool scelta = true;  // ticked at first
    bool attiva = true;  // can be ticked (an item only named is not)
};
struct RispostaElenco {
    bool primo = true;   // the first button, or the second
    QList<int> scelte;   // the ticked items, by index
};
std::optional<RispostaElenco> domandaElenco(QWidget *parent, const QString &testo, const QString &titolo,
                                            const QList<VoceElenco> &voci, const QString &primo,
                                            const QString &secondo);

// A form of the program (the job's data, the surveyor's): shown window-modal without
// blocking; what it does with its answer it does on its own `accepted` signal. In test mode
// it is recorded and shown plain, for the test to fill in and accept or reject.
void mostraModulo(QDialog *modulo);

// Qt filter string for a list of filters, e.g. "Tutti i file (*);;File Perix-menu- (Perix-menu-*)".
QString filtroQt(const QList<Filtro> &filtri);

// ---- Test answerer -------------------------------------------------------------------
// In test mode nothing is shown: each dialog takes the next queued answer of its kind.
// A dialog with no queued answer is recorded in `senzaRisposta()` and answers
// "No"/cancelled, so a test can fail instead of hanging.
namespace prova {

struct Mostrato {
    enum class Tipo { Messaggio, ApriFile, SalvaFile, Colore, Elenco, Modulo } tipo;
    QString testo;  // message text (empty for dialogs; a form's objectName)
    QString titolo;
    Icona icona = Icona::Nessuna;
    Pulsanti pulsanti = Pulsanti::Ok;
    int predefinito = 1;
    RichiestaFile file; // for the file dialogs
    QList<VoceElenco> voci{}; // for the list questions
};

void attiva(bool attivo = true);
bool attivo();
void azzera(); // forgets queued answers and what was shown

void accodaRisposta(Risposta r);
void accodaFile(std::optional<QString> percorso); // nothing = cancelled
void accodaColore(std::optional<QColor> colore);  // nothing = cancelled
// The answer to the next list question: the button, and the items ticked (nothing: those
// ticked at first); a wholly empty answer closes the dialog without one.
void accodaElenco(std::optional<bool> primo, std::optional<QList<int>> scelte = std::nullopt);

const QList<Mostrato> &mostrati();
QStringList senzaRisposta();
int risposteInAttesa();

} // namespace prova
} // namespace perix::dialoghi
