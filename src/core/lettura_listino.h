#pragma once
// The maker's price list, "listino.txt": the year of the list and the number of products,
// then four fields per product (name, subject, net price, internet price), all in the
// comma-separated form of the archive files. Qt Core only.

#include <QByteArray>
#include <QList>
#include <QString>

namespace perix {

// The grid indexes the products from 1 to at most this.
inline constexpr int massimoProdotti = 100;

struct Prodotto {
    QString nome;
    QString argomento;
    double prezzonetto = 0;   // euro, VAT and shipping excluded
    double prezzoofferta = 0; // euro, when bought over the internet

    bool operator==(const Prodotto &) const = default;
};

struct Listino {
    QString annolistino;       // the first field, as written
    QList<Prodotto> prodotti;  // at most massimoProdotti, each read whole
    // Empty when the list was read as announced; otherwise what went wrong, in Italian,
    // for the user: a missing or unreadable file, a count that could not be used,
    // products missing or left out.
    QString nota;

    int numeroprodotti() const { return int(prodotti.size()); }
};

// The list held in `dati`. Never fails: whatever cannot be used is left out and told in
// the note; a product is kept only when all four of its fields read.
Listino leggiListino(const QByteArray &dati);

// The list in the file at `percorso` (empty: no file found), read whole within the
// archive files' size limit.
Listino caricaListino(const QString &percorso);

} // namespace perix
