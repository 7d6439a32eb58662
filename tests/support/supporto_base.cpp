#include "supporto_base.h"

#include <QFile>
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

} // namespace perix::prova
