#include "reports/rapporti_costi.h"

#include "core/calcoli.h"
#include "core/calcoli_disaggregati.h"
#include "core/numeri.h"
#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoDisaggregati(const DatiRapportoDisaggregati &d)
{
    Rapporto r(QStringLiteral("costi disaggregati"));
    r.intestazione(d.frontespizio);
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

std::unique_ptr<Document> documentoSintetici(const DatiRapportoSintetici &d)
{
    Rapporto r(QStringLiteral("costi sintetici"));
    r.intestazione(d.frontespizio);
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

std::unique_ptr<Document> documentoTipologie(const DatiRapportoTipologie &d)
{
    QList<QStringList> righe{{d.intestazioni[0], d.intestazioni[1], d.intestazioni[2]}};
    for (int i = 1; i <= 9; ++i)
        righe.append({d.righe[std::size_t(i)][0], d.righe[std::size_t(i)][1], d.righe[std::size_t(i)][2]});
    // The names take the room they need, so each row stays on one line.
    return documentoClassi(QStringLiteral("costi per tipologie"), QStringLiteral("Dati generali (") + d.soldi + u')',
                           {{QStringLiteral("tipologia"), QStringLiteral("valore")},
                            {QStringLiteral("costo al metro quadrato di superficie netta"),
                             costoStampato(d.costonetto)},
                            {QStringLiteral("tipo di edificio scelto"), d.tipologia}},
                           QStringLiteral("\rCosti per tipologie (") + d.soldi + QStringLiteral(")\r"), righe,
                           {50, 25, 25}, d.frontespizio);
}

finestrareport *rapportoTipologie(const DatiRapportoTipologie &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi per tipologie"), documentoTipologie(d), motivo);
}

std::unique_ptr<Document> documentoAltezze(const DatiRapportoAltezze &d)
{
    QList<QStringList> righe{{d.intestazioni[0], d.intestazioni[1], QStringLiteral("%")}};
    for (int i = 1; i <= 14; ++i)
        righe.append({d.righe[std::size_t(i)][0], d.righe[std::size_t(i)][1],
                      formatta(d.righe[std::size_t(i)][2], Schema::InteroDueDecimali)});
    // The names take the room they need, so each row stays on one line.
    return documentoClassi(QStringLiteral("costi per altezze"), QStringLiteral("Dati generali"),
                           {{QStringLiteral("dati"), QStringLiteral("valori")},
                            {d.etichetta, costoStampato(d.costopieno)},
                            {QStringLiteral("Tipo di edfificio scelto"), d.classe}},
                           QStringLiteral("\rCosti per altezze in nunero di piani (") + d.soldi + QStringLiteral(")\r"),
                           righe, {56, 24, 20}, d.frontespizio);
}

finestrareport *rapportoAltezze(const DatiRapportoAltezze &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi per altezze"), documentoAltezze(d), motivo);
}

} // namespace perix
