#pragma once
// The printed price list of the catalogue window.

#include "help/lettura_listino.h"

#include <QList>
#include <QString>

namespace perix {

class finestrareport;

// Title, purchase page, then one table row per product under a heading row, prices with
// grouped thousands and two decimals. Its window, or nullptr with the reason.
finestrareport *rapportoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto,
                                 QString *motivo = nullptr);

} // namespace perix
