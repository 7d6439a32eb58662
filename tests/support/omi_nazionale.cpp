#include "omi_nazionale.h"

#include <QList>
#include <QString>
#include <QStringEncoder>

namespace perix::prova {

FileOmiNazionale fileOmiNazionale(const QByteArray &estratto, int righe, int comuni)
{
    FileOmiNazionale f;
    QList<QByteArray> linee = estratto.split('\n');
    QByteArray testa = linee.value(0) + '\n' + linee.value(1) + '\n';
    QList<QList<QByteArray>> modelli;
    for (qsizetype i = 2; i < linee.size(); ++i)
        if (!linee[i].trimmed().isEmpty())
            modelli << linee[i].trimmed().split(';');
    if (modelli.isEmpty() || comuni <= 0 || righe < comuni)
        return f;
    f.valori.reserve(qsizetype(righe) * 125 + testa.size());
    f.valori += testa;
    QStringEncoder cp1252("windows-1252");
    const int omonimi = std::min(6, comuni / 2);
    for (int i = 0; i < righe; ++i) {
        const int c = int(qint64(i) * comuni / righe);
        QList<QByteArray> campi = modelli[i % modelli.size()];
        // Six names given twice, the second time in another province.
        const int nome = c >= comuni - omonimi ? c - (comuni - omonimi) : c;
        QByteArray provincia(2, 'A');
        provincia[0] = char('A' + c % 26);
        provincia[1] = char('A' + (c / 26) % 26);
        campi[2] = provincia;
        campi[3] = QByteArray::number(1000000 + c);
        campi[7] = modelli[(nome * 37) % modelli.size()][7] + ' ' + QByteArray::number(nome);
        campi[10] = provincia + QByteArray::number(c * 100 + campi[9].size() + campi[9].back()).rightJustified(8, '0');
        QByteArray linea = campi.join(';') + '\n';
        // One comune in fifty written in Windows-1252, as whole lines of the ZONE files are.
        if (c % 50 == 7)
            linea = cp1252.encode(QString::fromUtf8(linea));
        f.valori += linea;
    }
    f.comuni = comuni;
    f.quotazioni = righe;
    f.omonimi = omonimi;
    return f;
}

} // namespace perix::prova
