#pragma once
// The maker's addresses, shown on the support page and the catalogue and opened by its
// buttons. The maker is fictional: its addresses stay on the reserved domain.

#include <QString>

namespace perix::velmora {

inline const QString sito = QStringLiteral("www.velmora.example");
inline const QString email = QStringLiteral("info@velmora.example");
inline const QString paginacatalogo = QStringLiteral("https://www.velmora.example/catalogo.htm");
inline const QString paginaacquisto = QStringLiteral("https://www.velmora.example/compra.htm");

} // namespace perix::velmora
