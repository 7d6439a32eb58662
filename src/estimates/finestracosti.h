#pragma once
// The frame of the four cost windows: the common estimation frame with the currency
// caption top left and the four buttons bottom left.

#include "ui/cornice.h"

#include <QHash>
#include <array>
#include <optional>

class QLineEdit;

namespace perix {

// The default menus with some objects renamed and some captions changed.
QList<MenuCornice> rinominaMenu(QList<MenuCornice> menu, const QHash<QString, QString> &nomi,
                                const QHash<QString, QString> &testi = {});

DescrizioneCornice descrizioneCosti(int n, const char *visibile, const char *titolo, QList<MenuCornice> menu,
                                    int spazi = 126, const QString &documento = QStringLiteral("della stima"));

class FinestraCosti : public FinestraStima
{
    Q_OBJECT
public:
    FinestraCosti(const DescrizioneCornice &d, const QString &nome);

    // The buttons of the "Web" frame: the maker's pages.
    void terreni_Click();
    void edifici_Click();
    void archivio_Click();
    // The window's own hints, in a message.
    void aiuto_Click() override;
    // Sends the total construction cost to the main window's total costs, with its source.
    void portacosto_Click();
    // The building's size times the chosen unit cost; nothing when either is missing.
    std::optional<FonteCosto> costoTotale() const;

protected:
    QString m_aiuto; // the hints aiuto_Click shows
    // The unit cost the total is made from: what it is of (class or row) and as shown.
    struct CostoUnitario {
        QString voce;
        QString unitario;
    };
    // The chosen class's or row's unit cost; nothing while none is chosen with a figure.
    virtual std::optional<CostoUnitario> costoUnitario() const { return std::nullopt; }
    // The building's size field `dimensione` with its caption, the total `costototale` and
    // the button `portacosto`, from `riquadro`'s top left: in one row when it is wide, else
    // one under the other. `finestra` names the window in the source, `unita` its unit.
    void creaCostoTotale(QWidget *genitore, QRect riquadro, const QString &didascalia, const QString &finestra,
                         const QString &unita);
    // Shows the total again: call after the unit costs changed.
    void aggiornaTotale();
    void allegatoCambiato() override;
    // The "Web" frame at `riquadro`: "archivio dati", "stima edifici" and "relazione" at their
    // `posti`, the caption beside the picture of side `lato`, or under it.
    void creaWeb(QWidget *genitore, QRect riquadro, const std::array<QRect, 3> &posti, int lato, bool sotto = false);

private:
    QLineEdit *m_dimensione = nullptr;
    QLabel *m_totale = nullptr;
    QString m_finestra, m_unita;
};

} // namespace perix
