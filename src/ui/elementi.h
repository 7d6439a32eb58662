#pragma once
// What every window is built from: the program's own pictures, and the labels, buttons and
// lines placed by hand at their design positions.

#include <QColor>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QWidget;

namespace perix {

// Registers the icons and pictures built into the program (idempotent).
void caricaRisorse();
// A window of the program: named (objectName), titled and with its picture, the program's
// pictures loaded first.
void preparaFinestra(QWidget *finestra, const QString &nome, const QString &titolo,
                     const QString &icona = QStringLiteral(":/icons/icona.svg"));

// A label named `nome` at `r` in `genitore`, `suggerimento` its tooltip. Its text is plain
// text, never rich text: many a caption comes from a file.
QLabel *etichetta(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                  Qt::Alignment allineamento, const QString &suggerimento = {});
inline QLabel *etichetta(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                         const QString &suggerimento = {})
{
    return etichetta(genitore, nome, testo, r, Qt::AlignLeft | Qt::AlignVCenter, suggerimento);
}

// A push button named `nome` at `r` in `genitore`, `azione` run when it is clicked. It
// never becomes the default button: Enter in a field must not press it.
QPushButton *pulsante(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                      const QString &suggerimento, std::function<void()> azione);

// Paints `w`'s background with `fondo` (where given) and its text with `testo` (where given).
void colora(QWidget *w, std::optional<QColor> fondo, std::optional<QColor> testo = std::nullopt);

// A quiet note in a pale box, hidden until there is something to say: a figure read otherwise
// than typed, a list not read whole.
QLabel *notaDiscreta(QWidget *genitore, const QString &nome, QRect r);

// A sunken horizontal line across `genitore` at height `y`, 12 pixels from each side.
void linea(QWidget *genitore, const QString &nome, int y);

} // namespace perix
