#include "reports/rapporto_altezze.h"

#include "core/numeri.h"
#include "reports/rapporti.h"

namespace perix {

std::unique_ptr<Document> documentoAltezze(const DatiRapportoAltezze &d)
{
    QList<QStringList> righe{{d.intestazioni[0], d.intestazioni[1], QStringLiteral("%")}};
    // "+4.6", shown before any choice, is no number to an Italian reading: it stays as it is.
    for (int i = 1; i <= 14; ++i)
        righe.append({d.righe[std::size_t(i)][0], d.righe[std::size_t(i)][1],
                      formatta(d.righe[std::size_t(i)][2], Schema::InteroDueDecimali)});
    // The names take the room they need, so each row stays on one line.
    return documentoClassi(QStringLiteral("costi per altezze"), QStringLiteral("Dati generali"),
                           {{QStringLiteral("dati"), QStringLiteral("valori")},
                            {d.etichetta, formatta(d.costopieno, Schema::Intero)},
                            {QStringLiteral("Tipo di edfificio scelto"), d.classe}},
                           QStringLiteral("\rCosti per altezze in nunero di piani (") + d.soldi + QStringLiteral(")\r"),
                           righe, {56, 24, 20});
}

finestrareport *rapportoAltezze(const DatiRapportoAltezze &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi per altezze"), documentoAltezze(d), motivo);
}

} // namespace perix
