#pragma once
// The printed price list of the catalogue window.

#include "core/lettura_listino.h"

#include <QList>
#include <QString>
#include <memory>

namespace perix {

class Document;
class finestrareport;

// Title, purchase page, then one table row per product under a heading row, prices with
// grouped thousands and two decimals.
std::unique_ptr<Document> documentoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto,
                                 QString *motivo = nullptr);

} // namespace perix
