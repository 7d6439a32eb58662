#include "reports/rapporto_tipologie.h"

#include "core/numeri.h"
#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoTipologie(const DatiRapportoTipologie &d)
{
    QList<QStringList> righe{{d.intestazioni[0], d.intestazioni[1], d.intestazioni[2]}};
    for (int i = 1; i <= 9; ++i)
        righe.append({d.righe[std::size_t(i)][0], d.righe[std::size_t(i)][1], d.righe[std::size_t(i)][2]});
    // The names take the room they need, so each row stays on one line.
    return documentoClassi(QStringLiteral("costi per tipologie"), QStringLiteral("Dati generali (") + d.soldi + u')',
                           {{QStringLiteral("tipologia"), QStringLiteral("valore")},
                            {QStringLiteral("costo al metro quadrato di superficie netta"),
                             formatta(d.costonetto, Schema::Intero)},
                            {QStringLiteral("tipo di edificio scelto"), d.tipologia}},
                           QStringLiteral("\rCosti per tipologie (") + d.soldi + QStringLiteral(")\r"), righe,
                           {50, 25, 25});
}

finestrareport *rapportoTipologie(const DatiRapportoTipologie &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi per tipologie"), documentoTipologie(d), motivo);
}

} // namespace perix
