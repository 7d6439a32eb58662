#pragma once
// The report of the costs by typology window.

#include <QString>
#include <array>
#include <memory>

namespace perix {

class Document;
class finestrareport;

// What the window shows, as it shows it.
struct DatiRapportoTipologie {
    QString soldi;      // the currency caption
    QString costonetto; // the cost as typed
    QString tipologia;  // the caption of the chosen typology
    std::array<QString, 3> intestazioni;             // Label3(0), Label3(1), Label3(2)
    std::array<std::array<QString, 3>, 10> righe;    // 1..9: name, cost per m², cost of a room
};

// General data, then the nine typologies.
std::unique_ptr<Document> documentoTipologie(const DatiRapportoTipologie &dati);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoTipologie(const DatiRapportoTipologie &dati, QString *motivo = nullptr);

} // namespace perix
