#include "core/tipi.h"

#include "core/allegato.h"

#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
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

QList<QByteArray> formaRecord(TipoArchivio tipo)
{
    const auto ripeti = [](QList<QByteArray> righe, const QByteArray &riga, int volte) {
        for (int i = 0; i < volte; ++i)
            righe.append(riga);
        return righe;
    };
    switch (tipo) {
    case TipoArchivio::Menu: return {"TTT", "TT"};
    case TipoArchivio::Disaggregati: return ripeti({"TTTTT"}, "T", categorie);
    case TipoArchivio::Percentuali: return ripeti({}, "P", categorie);
    case TipoArchivio::Sintetici: return ripeti({"TN"}, "TTT", 5);
    case TipoArchivio::Tipologie: return ripeti({"TTN"}, "TT", numeroTipologie);
    case TipoArchivio::Altezze: return ripeti({"TTN"}, "T", numeroAltezze);
    }
    return {};
}

bool haForma(TipoArchivio tipo, const QList<QList<Campo>> &tutte)
{
    // The job's data and the figures' sources follow the record; they are not part of its shape.
    const QList<QList<Campo>> righe = separaAllegato(tutte).record;
    const QList<QByteArray> forma = formaRecord(tipo);
    qsizetype n = righe.size();
    while (n > 0 && righe[n - 1].size() == 1 && righe[n - 1].first().vuoto()
           && (tipo != TipoArchivio::Percentuali || n > forma.size()))
        --n;
    if (n != forma.size())
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        if (righe[i].size() != forma[i].size())
            return false;
        for (qsizetype j = 0; j < forma[i].size(); ++j) {
            const Campo &c = righe[i][j];
            const char genere = forma[i][j];
            if ((genere == 'T' && !c.citato) || (genere == 'N' && c.citato)
                || (genere == 'P' && !c.citato && !c.vuoto() && !c.numero()))
                return false;
        }
    }
    return true;
}

std::optional<TipoArchivio> tipoDaRighe(const QList<QList<Campo>> &righe)
{
    // The shapes exclude one another: line 1 holds 5 fields (disaggregated), 2 (synthetic),
    // 1 (percentages) or 3, and the three kinds with three differ in their number of lines.
    // A main-window record also starts with a currency caption.
    for (const DescrizioneTipo &d : tipiArchivio())
        if (d.tipo == TipoArchivio::Menu ? recordMenu(righe) : haForma(d.tipo, righe))
            return d.tipo;
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
