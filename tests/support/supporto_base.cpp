#include "supporto_base.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QProcess>
#include <QStandardPaths>

namespace perix::prova {

QByteArray contenuto(const QString &percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<manca>");
}

bool scrivi(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly) && f.write(dati) == dati.size();
}

bool permessiEfficaci(const QString &cartella)
{
    QFile prova(cartella + QStringLiteral("/prova-permessi"));
    const bool scritto = prova.open(QIODevice::WriteOnly);
    prova.remove();
    return !scritto;
}

QString esempio(const QString &tipo)
{
    return QStringLiteral(PERIX_ESEMPI "/Perix-%1-esempio").arg(tipo);
}

QByteArray listino(int n, const QByteArray &annunciati)
{
    QByteArray t = "2026," + annunciati + "\r\n";
    for (int i = 1; i <= n; ++i)
        t += QStringLiteral("\"P%1\",\"argomento %1\",%1.5,%1\r\n").arg(i).toUtf8();
    return t;
}

QByteArray listino(int n)
{
    return listino(n, QByteArray::number(n));
}

QStringList parole(const char *testo)
{
    return QString::fromUtf8(testo).split(u' ');
}

QString eseguibile(const QStringList &nomi)
{
    for (const QString &n : nomi)
        if (const QString p = QStandardPaths::findExecutable(n); !p.isEmpty())
            return p;
    return {};
}

QString uscitaDi(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString poppler(const QString &strumento, const QString &pdf, QStringList opzioni)
{
    const bool testo = strumento == QLatin1String("pdftotext");
    if (testo)
        opzioni << QStringLiteral("-enc") << QStringLiteral("UTF-8");
    opzioni << pdf;
    if (testo)
        opzioni << QStringLiteral("-"); // to standard output
    const QString programma = eseguibile({strumento});
    return programma.isEmpty() ? QString() : uscitaDi(programma, opzioni);
}

DispositivoCheCede::DispositivoCheCede(qint64 capienza) : m_capienza(capienza)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 DispositivoCheCede::writeData(const char *d, qint64 n)
{
    const qint64 posto = m_capienza - dati.size();
    if (posto <= 0) {
        setErrorString(errore);
        return -1;
    }
    n = qMin(n, posto);
    dati.append(d, n);
    return n;
}

namespace {

// Comma-separated values as LibreOffice writes them: fields in double quotes where needed,
// a doubled quote inside one.
QList<QStringList> righeCsv(const QString &testo)
{
    QList<QStringList> righe;
    QStringList riga;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (virgolette) {
            if (c == u'"' && i + 1 < testo.size() && testo[i + 1] == u'"')
                campo += c, ++i;
            else if (c == u'"')
                virgolette = false;
            else
                campo += c;
        } else if (c == u'"') {
            virgolette = true;
        } else if (c == u',') {
            riga << campo;
            campo.clear();
        } else if (c == u'\n') {
            riga << campo;
            campo.clear();
            righe << riga;
            riga.clear();
        } else if (c != u'\r') {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !riga.isEmpty())
        righe << (riga << campo);
    return righe;
}

} // namespace

QHash<QString, QList<QStringList>> ricalcolaConLibreOffice(const QString &soffice, const QStringList &xlsx,
                                                           const QString &cartella)
{
    const QString profilo = cartella + QStringLiteral("/profilo");
    QDir().mkpath(profilo + QStringLiteral("/user"));
    // Formulas of Excel workbooks recalculated on opening, always (0), whatever they store.
    scrivi(profilo + QStringLiteral("/user/registrymodifications.xcu"),
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop oor:name=\"OOXMLRecalcMode\" "
           "oor:op=\"fuse\"><value>0</value></prop></item>\n"
           "</oor:items>\n");
    const QString uscita = cartella + QStringLiteral("/csv");
    QProcess p;
    // Numbers with a decimal point whatever the desktop's language.
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    ambiente.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(ambiente);
    // UTF-8, US number forms, values rather than their formatted text.
    p.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profilo).toString(),
                                 QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                 QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,false,false,false"),
                                 QStringLiteral("--outdir"), uscita}
                         + xlsx);
    p.waitForFinished(180000);
    QHash<QString, QList<QStringList>> fogli;
    for (const QString &x : xlsx) {
        QFile f(uscita + u'/' + QFileInfo(x).completeBaseName() + QStringLiteral(".csv"));
        if (f.open(QIODevice::ReadOnly))
            fogli.insert(x, righeCsv(QString::fromUtf8(f.readAll())));
    }
    return fogli;
}

} // namespace perix::prova
