#pragma once
// The synthetic-costs window's report: its grid in a 7 × 4 table, an "X" under the class
// whose icon is shown.

#include <QString>
#include <array>
#include <memory>

namespace perix {

class Document;
class finestrareport;

struct DatiRapportoSintetici {
    QString soldi; // the currency caption, as the window shows it
    // griglia[r][c]: caption of row r (1..5) of class c (1..3), already formatted; index 0 unused.
    std::array<std::array<QString, 4>, 6> griglia{};
    std::array<bool, 4> icona{}; // 1..3: the class's icon is shown
};

// The document built from the figures.
std::unique_ptr<Document> documentoSintetici(const DatiRapportoSintetici &dati);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoSintetici(const DatiRapportoSintetici &dati, QString *motivo = nullptr);

} // namespace perix
