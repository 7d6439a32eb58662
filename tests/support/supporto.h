#pragma once
// Helpers shared by the window tests: find windows and controls by objectName, trigger
// actions, answer dialogs through the dialog layer's queue.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QString>
#include <QWidget>
#include <optional>

class QTextDocument;
class QTextTable;

#include "supporto_base.h"
#include "ui/dialoghi.h"
#include "reports/rapporti.h"

namespace perix {
class FinestraStima;
}

namespace perix::prova {

// Fixes the Italian locale, turns on the dialog answerer, keeps the app alive when windows close.
void preparaAmbiente();
// Closes every top-level window and forgets queued answers; call from cleanup().
void chiudiTutto();
// Forgets the choices the shared state keeps across windows (currency, estimate, class).
void azzeraScelte();
// A fresh session: every window closed, every choice and list of the shared state as at
// start-up, no queued answer.
void sessioneNuova();
// Fails the test when a dialog was shown that the test gave no answer for.
#define PERIX_NESSUNA_DOMANDA_SOSPESA()                                                              \
    QVERIFY2(perix::dialoghi::prova::senzaRisposta().isEmpty(),                                       \
             qPrintable(perix::dialoghi::prova::senzaRisposta().join(QStringLiteral("; "))))

// The top-level windows of type T (those named `nome` when a name is given), hidden ones
// too unless only the visible are asked for.
template <typename T = QWidget>
QList<T *> finestre(const QString &nome = {}, bool soloVisibili = false)
{
    QList<T *> trovate;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<T *>(w))
            if ((nome.isEmpty() || w->objectName() == nome) && (!soloVisibili || w->isVisible()))
                trovate << f;
    return trovate;
}
// The visible top-level window named `nome`; nothing when none is.
QWidget *finestraVisibile(const QString &nome);
// The estimation window of that number (1 the main window ... 5 the heights) when it exists.
FinestraStima *stimaAperta(int numero);

template <typename T = QWidget>
T *trova(QWidget *finestra, const QString &nome)
{
    return finestra ? finestra->findChild<T *>(nome) : nullptr;
}

QAction *azione(QWidget *finestra, const QString &nome);
// Triggers the action named `nome` of the window; false when there is none.
bool attiva(QWidget *finestra, const QString &nome);
// Answers the next file dialog with `file` (nothing: cancelled), then triggers the action.
bool attivaConFile(QWidget *finestra, const QString &nome, const std::optional<QString> &file);
// Clicks the button named `nome`.
bool clicca(QWidget *finestra, const QString &nome);
QString testo(QWidget *finestra, const QString &nome); // label caption or field text
// The same for a control array's element, `nome(indice)`.
QString testo(QWidget *finestra, const QString &nome, int indice);
// The texts of the elements 1..`righe` of a control array.
QStringList colonna(QWidget *finestra, const QString &nome, int righe);
// In a table of `righe` rows with one chosen (0: none), only row k shows as chosen: its
// caption `etichetta(k)` cyan, the others yellow; its marker Image1(k) shown; its option
// button `opzione(k)` checked.
void soloRigaScelta(QWidget *finestra, const QString &etichetta, const QString &opzione, int righe, int k);
// Replaces a field's text by typing it, so every keystroke raises its change.
void digita(QWidget *finestra, const QString &nome, const QString &t);

// A building-plot estimate in euro typed into the main window figure by figure; by default
// the worked example (market value, total costs, years, surface).
void stimaArea(QWidget *finestra, const QString &V = QStringLiteral("1000000"), const QString &C = QStringLiteral("500000"),
               const QString &A = QStringLiteral("2"), const QString &S = QStringLiteral("1000"));

// The worked example's report figures as the main window shows them (1000000, 500000,
// 2 years, 1000 m², in euro).
DatiRapportoMenu datiMenuEsempio();

// The tables of a report's document, in document order, and the text of a cell (from 0).
QList<QTextTable *> tabelleDocumento(QTextDocument *doc);
QString cella(QTextTable *tabella, int riga, int colonna);

// The last message shown through the dialog layer (empty when none).
QString ultimoMessaggio();
dialoghi::prova::Mostrato ultimoMostrato();
int messaggiMostrati();

// The parts of a zip file (.docx, .xlsx) by name; empty when it is no zip.
QMap<QString, QByteArray> leggiZip(const QByteArray &dati);

} // namespace perix::prova
