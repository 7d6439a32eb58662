#pragma once
// Controls shared by the windows: option buttons with a dependable Click, and text
// fields that never hold a control character.

#include <QRadioButton>
#include <QValidator>
#include <functional>

class QLabel;
class QLineEdit;

namespace perix {

// An option button whose Click runs on every click by the user, also on the button
// already selected, and when code checks a button that was not checked; never twice
// for one click.
class Opzione : public QRadioButton
{
    Q_OBJECT
public:
    Opzione(const QString &testo, QWidget *genitore);

    // The window's Click handler for this button.
    void alClic(std::function<void()> gestore);

protected:
    void nextCheckState() override;

private:
    std::function<void()> m_gestore;
    bool m_nelClic = false;
};

// Drops control characters from whatever reaches a field, typed, pasted or set by code,
// before the field's change runs: a field saved with one could not be opened again.
class SenzaControlli : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &testo, int &posizione) const override;
};

// Gives the field its SenzaControlli validator and caratteriCampo as its length.
void senzaControlli(QLineEdit *campo);

// Unchecks a radio button even when it is the only checked one of its group.
void deseleziona(QRadioButton *b);

// The look of a window's `passo` status line: a box drawn whole at any size (a sunken
// panel under a style sheet loses its bottom edge), blue text, bold when asked.
void stilePasso(QLabel *passo, bool grassetto);

} // namespace perix
