#pragma once
// Helpers shared by the window tests: find controls by objectName, trigger actions,
// answer dialogs through the dialog layer's queue.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

class QTextDocument;
class QTextTable;

#include "ui/dialoghi.h"

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

template <typename T = QWidget>
T *trova(QWidget *finestra, const QString &nome)
{
    return finestra ? finestra->findChild<T *>(nome) : nullptr;
}

QAction *azione(QWidget *finestra, const QString &nome);
// Triggers the action named `nome` of the window; false when there is none.
bool attiva(QWidget *finestra, const QString &nome);
// Clicks the button named `nome`.
bool clicca(QWidget *finestra, const QString &nome);
QString testo(QWidget *finestra, const QString &nome); // label caption or field text
// Replaces a field's text by typing it, so every keystroke raises its change.
void digita(QWidget *finestra, const QString &nome, const QString &t);

// The tables of a report's document, in document order, and the text of a cell (from 0).
QList<QTextTable *> tabelleDocumento(QTextDocument *doc);
QString cella(QTextTable *tabella, int riga, int colonna);

// The first of `nomi` found on the PATH; empty when none is installed.
QString eseguibile(const QStringList &nomi);
// What the program writes on its standard output (empty when it does not finish in a minute).
QString uscitaDi(const QString &programma, const QStringList &argomenti);

// The last message shown through the dialog layer (empty when none).
QString ultimoMessaggio();
dialoghi::prova::Mostrato ultimoMostrato();
int messaggiMostrati();

} // namespace perix::prova
