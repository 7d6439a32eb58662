#pragma once
// Recovery of unsaved estimates. While an estimation window holds figures that differ from
// those last opened or saved, a copy of them (the bytes its "Salva" would write, what the
// window keeps besides, the file they belong to) waits in the user's data folder, written
// at most two seconds after a change and never on the keystroke itself. Each running Perix
// owns a folder of its own there, held by a lock file; a Perix that starts and finds the
// folder of one that ended without its clean exit offers to bring its windows back.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace perix {
class FinestraStima;
}

namespace perix::recupero {

// The longest a change waits for its copy.
inline constexpr int attesaCopia = 2000; // ms

struct Copia {
    int finestra = 0;   // 1 the main window ... 5 the heights
    QString file;       // the archive file the figures belong to; empty when none
    QDateTime ora;      // when the copy was written
    QByteArray record;  // as the window's "Salva" writes it
    QByteArray aggiunte; // what the window keeps besides its record (the typed percentages)
    bool operator==(const Copia &) const = default;
};

QByteArray codificaCopia(const Copia &copia);
// A copy read back whole and checked: a copy cut short, changed by hand or whose record is
// not laid out as its window's gives nothing, and why in Italian.
std::optional<Copia> leggiCopia(const QByteArray &dati, QString *motivo = nullptr);

// "Menu", "Costi disaggregati", ...: the window as the Visualizza menu names it.
QString nomeFinestra(int numero);

// What the frame tells: a window loaded, a change of its figures, a window closing.
void registra(FinestraStima *finestra);
void pianifica();
void chiusa(FinestraStima *finestra);
// The timer's work (tests call it instead of waiting): every changed window compares its
// figures and shows the unsaved marker or not; the copies follow.
void aggiorna();

// A copy left by a Perix that is no longer running.
struct Lasciata {
    QString percorso;
    std::optional<Copia> copia; // nothing when it cannot be read
    QString motivo;             // why not
};

class Gestore : public QObject
{
    Q_OBJECT
public:
    // Takes a folder of its own under `cartella` and holds its lock. Only one Gestore is the
    // active one: the last made.
    explicit Gestore(const QString &cartella = cartellaPredefinita(), QObject *parent = nullptr);
    // Leaves the copies where they are: only a clean exit removes them.
    ~Gestore() override;

    static QString cartellaPredefinita(); // AppLocalDataLocation + "/recupero"
    static Gestore *attivo();

    bool valido() const { return m_blocco != nullptr; }
    const QString &motivo() const { return m_motivo; } // why not valid
    const QString &cartellaSessione() const { return m_sessione; }
    QString percorsoCopia(int finestra) const;

    // The copies of every Perix that is no longer running; their folders stay locked by this
    // one until they are settled (offriRipristino) or it ends.
    QList<Lasciata> copieLasciate();
    // Asks which to bring back (Ripristina) or none (Scarta); what is not brought back goes
    // to the desktop's trash, damaged copies too. Closing the question decides nothing: the
    // copies wait for the next start. The windows brought back, by number.
    QList<int> offriRipristino(QWidget *parent);

    // Writes the window's copy when its figures are unsaved and changed since the last one;
    // removes it when they are saved.
    void conserva(FinestraStima *finestra);
    // The clean exit: every copy of this Perix goes.
    void rimuoviTutte();
    // The copies are written and removed on a thread of their own, in the order asked, so
    // that reaching the disk never holds up the windows; this waits until all is done.
    void attendi();
    // The desktop's session is ending: at the program's end the copies go too.
    void fineSessione() { m_fineSessione = true; }

private:
    struct Sessione {
        QString cartella;
        std::unique_ptr<QLockFile> blocco;
    };
    void chiudiSessioniLasciate();
    void inCoda(std::function<void()> lavoro);
    void scritturaFallita(int finestra, const QString &motivo);

    QString m_radice, m_sessione, m_motivo;
    std::unique_ptr<QLockFile> m_blocco;
    std::array<std::optional<QByteArray>, 6> m_scritte{}; // 1..5: what the copy on disk holds
    std::vector<Sessione> m_lasciate;
    QThreadPool m_scrittore; // one thread: the order of the writes is the order asked
    bool m_fineSessione = false;
    bool m_erroreDetto = false;
};

} // namespace perix::recupero
