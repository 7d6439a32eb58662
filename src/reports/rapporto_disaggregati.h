#pragma once
// The disaggregated costs report: the general figures, then the sixteen categories by the
// preset and the typed percentages.

#include <QString>
#include <array>
#include <memory>

namespace perix {

class Document;
class finestrareport;

// The window's figures as it shows them; the category arrays are indexed 1..16.
struct DatiRapportoDisaggregati {
    QString soldi, tipoedi, vm, cc, profitto;
    std::array<QString, 17> p1, ris, p2, ris2;
};

// The document built from the figures.
std::unique_ptr<Document> documentoDisaggregati(const DatiRapportoDisaggregati &dati);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoDisaggregati(const DatiRapportoDisaggregati &dati, QString *motivo = nullptr);

} // namespace perix
