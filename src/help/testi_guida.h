#pragma once
// The nine help pages: their titles and texts, in the order of the table of contents.

#include <QString>
#include <array>

namespace perix {

struct TestoGuida {
    QString nome;       // the window's name
    QString titolo;     // caption of Label1, and the title of the printed page
    QString testo;      // caption of Label2, before testoPagina
    int larghezzaTitolo; // Label1's width in twips
    int altezzaTesto;    // Label2's height in twips
};

inline constexpr int pagineGuidaTotali = 9;

// Index 0 to 8: manuale, guidafunzionamento, guidaarchivio, guidamenu, guidaarea,
// guidadisaggregati, guidasintetici, guidatipologie, guidaaltezze.
const std::array<TestoGuida, pagineGuidaTotali> &testiGuida();

// The page's text as it is shown and printed: "{esempi}" replaced by the folder of the
// sample archive files as it is now.
QString testoPagina(const TestoGuida &pagina);

} // namespace perix
