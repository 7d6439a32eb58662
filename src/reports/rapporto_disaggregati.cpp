#include "reports/rapporto_disaggregati.h"

#include "core/calcoli_disaggregati.h"
#include "core/numeri.h"
#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoDisaggregati(const DatiRapportoDisaggregati &d)
{
    Rapporto r(QStringLiteral("costi disaggregati"));
    r.intestazione();
    r.scrivi(12, QStringLiteral("Dati generali"));
    r.paragrafoInFondo();
    r.tabella({
        {QStringLiteral("dati"), QStringLiteral("valori")},
        {QStringLiteral("caratteristiche dell'immobile"), d.tipoedi},
        {QStringLiteral("valore di mercato del fabbricato"), formatta(d.vm, Schema::Intero)},
        {QStringLiteral("costo di costruzione"), formatta(d.cc, Schema::Intero)},
        {QStringLiteral("profitto netto"), formatta(d.profitto, Schema::Intero)},
    });
    r.paragrafoInFondo(12, QStringLiteral("\rCosti disaggregati (") + d.soldi + QStringLiteral(")\r"));
    QList<QStringList> righe{{QStringLiteral("n."), QStringLiteral("tipologia"), QStringLiteral("% preimpostata"),
                              QStringLiteral("costo della tipologia"), QStringLiteral("% immessa"),
                              QStringLiteral("costo della tipologia")}};
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        righe.append({QStringLiteral(" %1").arg(k), nomeCategoriaRapporto(k), formatta(d.p1[i], Schema::DueDecimali),
                      formatta(d.ris[i], Schema::Intero), formatta(d.p2[i], Schema::DueDecimali),
                      formatta(d.ris2[i], Schema::Intero)});
    }
    // The names need the room; the figures are short.
    r.tabella(righe, 8.0).setColumnWidths({6, 34, 15, 15, 15, 15});
    r.allinea(1, 2);
    r.allinea(2, {3, 4, 5, 6});
    return r.prendi();
}

finestrareport *rapportoDisaggregati(const DatiRapportoDisaggregati &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi disaggregati"), documentoDisaggregati(d), motivo);
}

} // namespace perix
