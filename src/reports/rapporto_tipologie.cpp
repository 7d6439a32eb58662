#include "reports/rapporto_tipologie.h"

#include "core/numeri.h"
#include "reports/rapporti.h"

#include <QTextTable>

namespace perix {

std::unique_ptr<Document> documentoTipologie(const DatiRapportoTipologie &d)
{
    Rapporto r(QStringLiteral("costi per tipologie"));
    r.intestazione();
    r.scrivi(12, QStringLiteral("Dati generali (") + d.soldi + u')');
    r.tabella({
        {QStringLiteral("tipologia"), QStringLiteral("valore")},
        {QStringLiteral("costo al metro quadrato di superficie netta"), formatta(d.costonetto, Schema::Intero)},
        {QStringLiteral("tipo di edificio scelto"), d.tipologia},
    });
    r.paragrafoInFondo(12, QStringLiteral("\rCosti per tipologie (") + d.soldi + QStringLiteral(")\r"));
    QList<QStringList> righe{{d.intestazioni[0], d.intestazioni[1], d.intestazioni[2]}};
    for (int i = 1; i <= 9; ++i)
        righe.append({d.righe[std::size_t(i)][0], d.righe[std::size_t(i)][1], d.righe[std::size_t(i)][2]});
    // The names take the room they need, so each row stays on one line.
    if (QTextTable *t = r.tabella(righe, std::nullopt).textTable()) {
        QTextTableFormat f = t->format();
        f.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 50),
                                     QTextLength(QTextLength::PercentageLength, 25),
                                     QTextLength(QTextLength::PercentageLength, 25)});
        t->setFormat(f);
    }
    r.allinea(2, 2);
    r.allinea(2, 3);
    return r.prendi();
}

finestrareport *rapportoTipologie(const DatiRapportoTipologie &d, QString *motivo)
{
    return mostraRapporto(QStringLiteral("costi per tipologie"), documentoTipologie(d), motivo);
}

} // namespace perix
