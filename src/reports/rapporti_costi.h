#pragma once
// The reports of the four cost windows. Each takes the window's figures as it shows them
// (or as an archive file holds them, reports/dati_rapporti.h): documentoX builds the
// document, rapportoX shows it in its report window, nullptr with the reason when that
// window cannot be opened.

#include "core/frontespizio.h"
#include "reports/finestrareport.h" // the window each report is shown in

#include <QString>
#include <array>
#include <memory>

namespace perix {

class Document;

// The general figures, then the sixteen categories by the preset and the typed
// percentages; the category arrays are indexed 1..16.
struct DatiRapportoDisaggregati {
    QString soldi, tipoedi, vm, cc, profitto;
    std::array<QString, 17> p1, ris, p2, ris2;
    Frontespizio frontespizio;
};
std::unique_ptr<Document> documentoDisaggregati(const DatiRapportoDisaggregati &dati);
finestrareport *rapportoDisaggregati(const DatiRapportoDisaggregati &dati, QString *motivo = nullptr);

// The grid in a 7 × 4 table, an "X" under the class whose icon is shown.
struct DatiRapportoSintetici {
    QString soldi; // the currency caption
    // griglia[r][c]: caption of row r (1..5) of class c (1..3), already formatted; index 0 unused.
    std::array<std::array<QString, 4>, 6> griglia{};
    std::array<bool, 4> icona{}; // 1..3: the class's icon is shown
    Frontespizio frontespizio;
};
std::unique_ptr<Document> documentoSintetici(const DatiRapportoSintetici &dati);
finestrareport *rapportoSintetici(const DatiRapportoSintetici &dati, QString *motivo = nullptr);

// General data, then the nine typologies.
struct DatiRapportoTipologie {
    QString soldi;      // the currency caption
    QString costonetto; // the cost as typed
    QString tipologia;  // the caption of the chosen typology
    std::array<QString, 3> intestazioni;          // Label3(0), Label3(1), Label3(2)
    std::array<std::array<QString, 3>, 10> righe; // 1..9: name, cost per m², cost of a room
    Frontespizio frontespizio;
};
std::unique_ptr<Document> documentoTipologie(const DatiRapportoTipologie &dati);
finestrareport *rapportoTipologie(const DatiRapportoTipologie &dati, QString *motivo = nullptr);

// General data, then the fourteen classes.
struct DatiRapportoAltezze {
    QString soldi;      // the currency caption
    QString etichetta;  // the caption above the cost (Label6)
    QString costopieno; // the cost as typed
    QString classe;     // the caption of the chosen class
    std::array<QString, 2> intestazioni;          // Label1, Label2
    std::array<std::array<QString, 3>, 15> righe; // 1..14: class, cost per m³, percentage
    Frontespizio frontespizio;
};
std::unique_ptr<Document> documentoAltezze(const DatiRapportoAltezze &dati);
finestrareport *rapportoAltezze(const DatiRapportoAltezze &dati, QString *motivo = nullptr);

} // namespace perix
