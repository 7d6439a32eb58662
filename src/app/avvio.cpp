#include "app/avvio.h"

#include "ui/elementi.h"

#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "reports/finestrareport.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace perix {

void preparaApplicazione()
{
    caricaRisorse();
    // No regional settings means no Italian grouping: the program is Italian, so use Italy's.
    const QLocale sistema = QLocale::system();
    if (sistema.language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    auto *qt = new QTranslator(qApp);
    if (qt->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);

    QFont::insertSubstitution(QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"));
    QFont::insertSubstitutions(QStringLiteral("Arial Black"),
                               {QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    // A compact sans serif like the one surveyors know from their office programs.
    QFont carattere(QStringLiteral("Nimbus Sans"), 9);
    carattere.setStyleHint(QFont::SansSerif);
    QApplication::setFont(carattere);
    QApplication::setApplicationName(QStringLiteral("Perix"));
    // Ties the windows to the installed desktop entry (its name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.velmora.Perix"));
    QApplication::setApplicationDisplayName(QString());
    Modulo::impostatesti();
}

void avviaPerix()
{
    preparaApplicazione();
    registro::mostra<frmSplash>();
    finestrareport::pulisciCopie();
}

} // namespace perix
