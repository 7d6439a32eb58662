#pragma once
// The report of the costs by height window.

#include <QString>
#include <array>

namespace perix {

class finestrareport;

// What the window shows, as it shows it.
struct DatiRapportoAltezze {
    QString soldi;      // the currency caption
    QString etichetta;  // the caption above the cost (Label6)
    QString costopieno; // the cost as typed
    QString classe;     // the caption of the chosen class
    std::array<QString, 2> intestazioni;          // Label1, Label2
    std::array<std::array<QString, 3>, 15> righe; // 1..14: class, cost per m³, percentage
};

// General data, then the fourteen classes. Its window, or nullptr with the reason.
finestrareport *rapportoAltezze(const DatiRapportoAltezze &dati, QString *motivo = nullptr);

} // namespace perix
