#include "modulo.h"

#include "app/registro.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace perix::Modulo {

void datiprogramma()
{
    nomeprogramma = QStringLiteral("Perix");
    descrizioneprogramma = QStringLiteral("stima di aree fabbricabili e costi di costruzione");
    versioneprogramma = QStringLiteral("3.09.04");
    dataversione = QStringLiteral("03/01/1999");
    dataaggiornamento = QStringLiteral("300119");
}

void impostatesti()
{
    datiprogramma();
    titolocontrollo = QStringLiteral("Perix: controllo dati immessi nella finestra attiva");
    titoloelimina = QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");
    titoloaiuto = QStringLiteral("Perix: aiuto in linea");
}

bool apriindirizzo(const QString &indirizzo)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(indirizzo.trimmed()));
}

QString cartellaDati()
{
    const QString accanto = QCoreApplication::applicationDirPath();
#ifdef PERIX_DATADIR
    const QString installata = QStringLiteral(PERIX_DATADIR);
    // An installed program keeps its data under share/perix; a build tree keeps it beside the binary.
    if (!QFileInfo::exists(accanto + QStringLiteral("/Internet.mid")) && QFileInfo(installata).isDir())
        return installata;
#endif
    return accanto;
}

QString trovaFileDati(const QString &nome)
{
    const QFileInfo qui(QDir::current(), nome);
    if (qui.isFile())
        return qui.absoluteFilePath();
    const QFileInfo dati(QDir(cartellaDati()), nome);
    if (dati.isFile())
        return dati.absoluteFilePath();
    return {};
}

} // namespace perix::Modulo
