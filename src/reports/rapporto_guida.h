#pragma once
// The documents of the help side. The whole help set as one document: the program's name
// and description, then the nine pages, each "Guida: " and its title followed by its
// text, one page each; saved as "Perix-guida.docx". And the catalogue's price list.

#include "core/lettura_listino.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace perix {

class Document;
class finestrareport;

struct PaginaStampata {
    QString titolo;
    QString testo;
};

// The document of the whole set.
std::unique_ptr<Document> documentoGuida(const QList<PaginaStampata> &pagine);
// The same shown in a new report window; nullptr, with the reason, when the window cannot
// be opened.
finestrareport *rapportoGuida(const QList<PaginaStampata> &pagine, QString *motivo = nullptr);

// The file name: nomeprogramma, "-guida", ".docx".
QString nomeFileGuida();

// Where the help set is saved, in order of preference: the program's folder, then the
// user's documents folder.
QStringList cartelleGuida();
// The same for a program in `programma` with its data in `dati`: its folder only where the
// data sit beside it (its own folder, not a system one it was installed to).
QStringList cartelleGuida(const QString &programma, const QString &dati, const QString &documenti);
// Tests name their own folders (nothing: the usual ones again).
void impostaCartelleGuida(std::optional<QStringList> cartelle);

// Saves the document under nomeFileGuida() in the first folder of `cartelle` that takes
// it, replacing an older copy atomically. The full path, or nothing with the reason of
// the first failure.
std::optional<QString> salvaGuida(const Document &documento, const QStringList &cartelle,
                                  QString *motivo = nullptr);

// The price list: title, purchase page, then one table row per product under a heading
// row, prices with grouped thousands and two decimals.
std::unique_ptr<Document> documentoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto);
// The same shown in its report window; nullptr, with the reason, when it cannot be opened.
finestrareport *rapportoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto,
                                 QString *motivo = nullptr);

} // namespace perix
