#pragma once
// The report of the costs by height window.

#include <QString>
#include <array>
#include <memory>

namespace perix {

class Document;
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

// General data, then the fourteen classes.
std::unique_ptr<Document> documentoAltezze(const DatiRapportoAltezze &dati);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoAltezze(const DatiRapportoAltezze &dati, QString *motivo = nullptr);

} // namespace perix
