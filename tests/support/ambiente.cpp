// Linked into every test program: before anything runs, the standard folders are Qt's test
// ones and the settings start empty in a folder of this run's own, so no test reads what
// the user (or an earlier run, or a window session) saved, and none leaves anything behind.

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

void ambienteDiProva()
{
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir impostazioni;
    if (!impostazioni.isValid())
        qFatal("impossibile creare la cartella delle impostazioni della prova: %s",
               qPrintable(impostazioni.errorString()));
    for (QSettings::Format formato : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(formato, QSettings::UserScope, impostazioni.path());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(ambienteDiProva)
