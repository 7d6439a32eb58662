#pragma once
// What a screen reader says of the windows' controls. Fields are named by their captions,
// results read as caption and figure, table cells by their row and column; the status line
// and the notes beside the fields are said when they change. Each window only declares,
// in a line per control, which caption belongs to what.

#include <QString>

class QLabel;
class QWidget;

namespace perix::accessibile {

// A caption as it is read aloud: no mnemonic ampersand, no blanks around it, no final colon.
QString pulito(const QString &didascalia);

// The field (or any control) takes its name from the caption beside it: the caption's
// mnemonic, if it has one, takes the keyboard to it.
void didascalia(QLabel *caption, QWidget *campo);
// A control with no caption of its own on screen: the name it is read with.
void nomina(QWidget *controllo, const QString &nome);

// A figure the window shows: read with its caption as the name and the figure as the value
// and the text, both followed as the figure changes. The caption is read from the label
// `caption` as it reads at the time, or is the fixed text `nome`.
void risultato(QLabel *figura, QLabel *caption);
void risultato(QLabel *figura, const QString &nome);
// A cell of a table: named by its row and its column; the row's caption read from the label
// `riga` as it reads at the time, where the rows scroll.
void cella(QLabel *figura, const QString &riga, const QString &colonna);
void cella(QLabel *figura, QLabel *riga, const QString &colonna);

// A line that is read out whenever it changes: the status line `passo`, a warning. With a
// field given, the note also becomes part of the field's description while it shows, so
// the user typing there hears it.
void voce(QLabel *riga, QWidget *campo = nullptr);

} // namespace perix::accessibile
