#include "core/tipi.h"

#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_sintetici.h"
#include "core/calcoli_tipologie.h"

#include <QFileInfo>

namespace perix {

const QList<DescrizioneTipo> &tipiArchivio()
{
    static const QList<DescrizioneTipo> tipi{
        {TipoArchivio::Menu, QStringLiteral("Perix-menu-"), QStringLiteral("application/x-perix-menu")},
        {TipoArchivio::Disaggregati, QStringLiteral("Perix-disaggr-"), QStringLiteral("application/x-perix-disaggr")},
        {TipoArchivio::Percentuali, QStringLiteral("Perix-percentuali-"),
         QStringLiteral("application/x-perix-percentuali")},
        {TipoArchivio::Sintetici, QStringLiteral("Perix-sint-"), QStringLiteral("application/x-perix-sint")},
        {TipoArchivio::Tipologie, QStringLiteral("Perix-tipol-"), QStringLiteral("application/x-perix-tipol")},
        {TipoArchivio::Altezze, QStringLiteral("Perix-alt-"), QStringLiteral("application/x-perix-alt")},
    };
    return tipi;
}

const DescrizioneTipo &descrizioneTipo(TipoArchivio tipo)
{
    for (const DescrizioneTipo &d : tipiArchivio())
        if (d.tipo == tipo)
            return d;
    return tipiArchivio().constFirst();
}

std::optional<TipoArchivio> tipoDaNome(const QString &percorso)
{
    const QString nome = QFileInfo(percorso).fileName();
    for (const DescrizioneTipo &d : tipiArchivio())
        if (nome.startsWith(d.prefisso, Qt::CaseInsensitive))
            return d.tipo;
    return std::nullopt;
}

std::optional<TipoArchivio> tipoDaRighe(const QList<QList<Campo>> &righe)
{
    // The shapes exclude one another: line 1 holds 5 fields (disaggregated), 2 (synthetic),
    // 1 (percentages) or 3, and the three kinds with three differ in their number of lines.
    if (recordMenu(righe))
        return TipoArchivio::Menu;
    if (eRecordDisaggregati(righe))
        return TipoArchivio::Disaggregati;
    if (recordSintetico(righe))
        return TipoArchivio::Sintetici;
    if (recordTipologieProprio(righe))
        return TipoArchivio::Tipologie;
    if (recordAltezzeProprio(righe))
        return TipoArchivio::Altezze;
    if (recordPercentuali(righe))
        return TipoArchivio::Percentuali;
    return std::nullopt;
}

std::optional<TipoArchivio> tipoArchivio(const QString &percorso, QString *motivo)
{
    if (const auto t = tipoDaNome(percorso))
        return t;
    const auto dati = leggiFile(percorso, motivo);
    const auto righe = dati ? leggiRighe(*dati, motivo) : std::nullopt;
    if (!righe)
        return std::nullopt;
    const auto t = tipoDaRighe(*righe);
    if (!t && motivo)
        *motivo = QStringLiteral("non è un file d'archivio di Perix: il nome non ne ha il prefisso "
                                 "e il contenuto non è quello di nessuna finestra");
    return t;
}

} // namespace perix
