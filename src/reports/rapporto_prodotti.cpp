#include "reports/rapporto_prodotti.h"

#include "core/numeri.h"
#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto)
{
    Rapporto r(QStringLiteral("listino prodotti"));
    r.scrivi(20, QStringLiteral("prodotti software VELMORA\r\r"));
    r.scrivi(12, QStringLiteral("acquistabili dalla pagina ") + paginaacquisto + QStringLiteral("\r\r"));
    r.paragrafoInFondo();
    // The blanks after the subject's heading widen its column, as in the word processor.
    QList<QStringList> righe{{QStringLiteral("numero"), QStringLiteral("nome del software"),
                              QStringLiteral("argomento trattato") + QString(20, u' '),
                              QStringLiteral("listino in euro"), QStringLiteral("in offerta ad euro")}};
    righe.reserve(prodotti.size() + 1);
    for (qsizetype i = 0; i < prodotti.size(); ++i) {
        const Prodotto &p = prodotti[i];
        righe.append({u' ' + QString::number(i + 1), p.nome, p.argomento,
                      formatta(testoNumero(p.prezzonetto), Schema::InteroDueDecimali),
                      formatta(testoNumero(p.prezzoofferta), Schema::InteroDueDecimali)});
    }
    r.tabella(righe, 8.0).setColumnWidths({9, 17, 44, 15, 15});
    r.allinea(1, {4, 5});
    return r.prendi();
}

finestrareport *rapportoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto, QString *motivo)
{
    return mostraRapporto(QStringLiteral("listino prodotti"), documentoProdotti(prodotti, paginaacquisto), motivo);
}

} // namespace perix
