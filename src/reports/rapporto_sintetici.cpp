#include "reports/rapporto_sintetici.h"

#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoSintetici(const DatiRapportoSintetici &d)
{
    Rapporto r(QStringLiteral("costi sintetici"));
    r.intestazione();
    r.scrivi(12, QStringLiteral("Costi sintetici in base alle caratteristiche dell'edificio (") + d.soldi
                     + QLatin1Char(')'));
    r.paragrafoInFondo();
    const char *righe[6] = {"tipo di edificio scelto",
                            "costo a metro cubo vuoto per pieno",
                            "costo a metro quadrato di superficie lorda",
                            "parametro del volume del vano (mc.)",
                            "parametro della superficie del vano (mq.)",
                            "costo a vano (circa)"};
    QList<QStringList> tabella{{QStringLiteral("tipologia"), QStringLiteral("economiche-popolari"),
                                QStringLiteral("medie-civili"), QStringLiteral("evolute-signorili")}};
    for (std::size_t k = 1; k <= 5; ++k)
        tabella.append({QString::fromUtf8(righe[k]), d.griglia[k][1], d.griglia[k][2], d.griglia[k][3]});
    QStringList scelta{QString::fromUtf8(righe[0])};
    for (std::size_t c = 1; c <= 3; ++c)
        scelta << (d.icona[c] ? QStringLiteral("X") : QString());
    tabella.append(scelta);
    r.tabella(tabella);
    r.allinea(1, {2, 3, 4});
    return r.prendi();
}

finestrareport *rapportoSintetici(const DatiRapportoSintetici &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi sintetici"), documentoSintetici(d), motivo);
}

} // namespace perix
