#include "core/lettura_suggerimenti.h"

#include "core/campi.h"

#include <QFile>
#include <QFileInfo>

namespace perix {

QStringList dividiSuggerimenti(QByteArray dati)
{
    // The mark goes before decoding: a file with it and a stray 1252 byte is still read.
    if (dati.startsWith("\xEF\xBB\xBF"))
        dati.remove(0, 3);
    const QString testo = decodificaTesto(dati);
    QStringList suggerimenti;
    qsizetype inizio = 0;
    const qsizetype n = testo.size();
    for (qsizetype i = 0; i < n && suggerimenti.size() < suggerimentiMassimi; ++i) {
        const QChar c = testo[i];
        if (c != u'\r' && c != u'\n')
            continue;
        suggerimenti.append(senzaControlli(testo.mid(inizio, i - inizio)));
        if (c == u'\r' && i + 1 < n && testo[i + 1] == u'\n')
            ++i;
        inizio = i + 1;
    }
    // The last line without an end is a tip too; after a final line end there is none.
    if (inizio < n && suggerimenti.size() < suggerimentiMassimi)
        suggerimenti.append(senzaControlli(testo.mid(inizio)));
    return suggerimenti;
}

std::optional<QStringList> leggiSuggerimenti(const QString &percorso)
{
    if (percorso.isEmpty())
        return std::nullopt;
    const QFileInfo info(percorso);
    // A folder, a device or a pipe under the name is no tips file: pipes could block.
    if (!info.isFile())
        return std::nullopt;
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray dati = f.read(suggerimentiByteMassimi + 1);
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    if (dati.size() > suggerimentiByteMassimi) {
        // Keep whole lines only: half a line could also be half a UTF-8 character.
        dati.truncate(suggerimentiByteMassimi);
        const qsizetype fine = std::max(dati.lastIndexOf('\n'), dati.lastIndexOf('\r'));
        dati.truncate(fine < 0 ? 0 : fine + 1);
    }
    return dividiSuggerimenti(std::move(dati));
}

} // namespace perix
