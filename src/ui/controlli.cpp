#include "ui/controlli.h"

#include "core/campi.h"

#include <QLabel>
#include <QLineEdit>

namespace perix {

Opzione::Opzione(const QString &testo, QWidget *genitore) : QRadioButton(testo, genitore)
{
    // A click emits toggled (when the state changes) and then clicked: the click runs the
    // handler, toggled only when code checked the button.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_gestore)
            m_gestore();
    });
    connect(this, &QAbstractButton::toggled, this, [this](bool acceso) {
        if (acceso && !m_nelClic && m_gestore)
            m_gestore();
    });
}

void Opzione::alClic(std::function<void()> gestore)
{
    m_gestore = std::move(gestore);
}

void Opzione::nextCheckState()
{
    // Only a click (mouse, keyboard or click()) changes the state through here.
    m_nelClic = true;
    QRadioButton::nextCheckState();
    m_nelClic = false;
}

QValidator::State SenzaControlli::validate(QString &testo, int &posizione) const
{
    const QString pulito = perix::senzaControlli(testo);
    if (pulito.size() != testo.size()) {
        // The cursor keeps its place among the characters that stay.
        posizione = int(perix::senzaControlli(testo.left(posizione)).size());
        testo = pulito;
    }
    return Acceptable;
}

void senzaControlli(QLineEdit *campo)
{
    campo->setValidator(new SenzaControlli(campo));
    // Qt's limit already: set here so that what a field keeps of a text read from a file
    // is the limit every reader of the record counts with.
    campo->setMaxLength(caratteriCampo);
}

void deseleziona(QRadioButton *b)
{
    if (!b->isChecked())
        return;
    const bool esclusivo = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(esclusivo);
}

void stilePasso(QLabel *passo, bool grassetto)
{
    passo->setFrameShape(QFrame::NoFrame);
    passo->setMargin(0);
    passo->setStyleSheet(QStringLiteral("QLabel#passo { color: #10408a; %1 border: 1px solid #8c99a8;"
                                        " border-radius: 2px; background: #f4f7fa; padding: 1px 6px; }")
                             .arg(grassetto ? QStringLiteral("font-weight: bold;") : QString()));
}

} // namespace perix
