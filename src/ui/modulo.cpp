#include "ui/modulo.h"

#include "ui/dialoghi.h"
#include "ui/perix_versione.h"
#include "ui/registro.h"

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
    versioneprogramma = QStringLiteral(PERIX_VERSIONE);
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

namespace {
std::function<bool(const QString &)> &apertura()
{
    static std::function<bool(const QString &)> a;
    return a;
}
} // namespace

bool apriindirizzo(const QString &indirizzo, QWidget *chiamante)
{
    const QString a = indirizzo.trimmed();
    if (apertura() ? apertura()(a) : QDesktopServices::openUrl(QUrl::fromUserInput(a)))
        return true;
    // Without a browser or a mail program the button would do nothing at all: say so, and
    // give the address where it can be selected and copied.
    const QString mailto = QStringLiteral("mailto:");
    const bool posta = a.startsWith(mailto, Qt::CaseInsensitive);
    const QString testo = posta
        ? QStringLiteral("Impossibile aprire un nuovo messaggio: il sistema non ha un programma di posta "
                         "elettronica che lo apra. L'indirizzo, da copiare nel programma di posta:\n\n%1")
              .arg(a.mid(mailto.size()).trimmed())
        : QStringLiteral("Impossibile aprire la pagina: il sistema non ha un browser che la apra. L'indirizzo, "
                         "da copiare nel browser:\n\n%1")
              .arg(a);
    dialoghi::messaggio(chiamante, testo, nomeprogramma.isEmpty() ? QStringLiteral("Perix") : nomeprogramma,
                        dialoghi::Icona::Attenzione);
    return false;
}

void impostaApertura(std::function<bool(const QString &)> a)
{
    apertura() = std::move(a);
}

namespace {
QString &cartellaImposta()
{
    static QString c;
    return c;
}
} // namespace

void impostaCartellaDati(const QString &cartella)
{
    cartellaImposta() = cartella;
}

QString cartellaDati()
{
    if (!cartellaImposta().isEmpty())
        return cartellaImposta();
    // A build tree keeps the data beside the program; an installed one under share/perix,
    // found relative to the program first so an install under any prefix works.
    const QString accanto = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(accanto + QStringLiteral("/Internet.mid")))
        return accanto;
    const QString relativa = QDir::cleanPath(accanto + QStringLiteral("/../share/perix"));
    if (QFileInfo(relativa).isDir())
        return relativa;
#ifdef PERIX_DATADIR
    if (QFileInfo(QStringLiteral(PERIX_DATADIR)).isDir())
        return QStringLiteral(PERIX_DATADIR);
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

QString cartellaEsempi()
{
    const QString nome = QStringLiteral("esempi");
    const QFileInfo qui(QDir::current(), nome);
    if (qui.isDir())
        return qui.absoluteFilePath();
    return QDir(cartellaDati()).absoluteFilePath(nome);
}

} // namespace perix::Modulo
