#pragma once
// The frame of the four cost windows: the common estimation frame with the currency
// caption top left and the four buttons bottom left.

#include "ui/cornice.h"

#include <QHash>
#include <array>

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

protected:
    QString m_aiuto; // the hints aiuto_Click shows
    // The "Web" frame at `riquadro`: "archivio dati", "stima edifici" and "relazione" at their
    // `posti`, the caption beside the picture of side `lato`, or under it.
    void creaWeb(QWidget *genitore, QRect riquadro, const std::array<QRect, 3> &posti, int lato, bool sotto = false);
};

} // namespace perix
