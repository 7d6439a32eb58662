#include "app/avvio.h"

#include "ui/elementi.h"

#include "ui/cornice.h"
#include "ui/modulo.h"
#include "ui/recupero.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "reports/finestrareport.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
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
    frmSplash *splash = registro::mostra<frmSplash>();
    finestrareport::pulisciCopie();

    // Unsaved figures are kept from now on; those an interrupted Perix kept are offered back.
    auto *recupero = new recupero::Gestore(recupero::Gestore::cartellaPredefinita(), qApp);
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, recupero,
                     [recupero](QSessionManager &) { recupero->fineSessione(); });
#endif
    if (!recupero->valido())
        return;
    const QList<int> ripristinate = recupero->offriRipristino(splash);
    if (ripristinate.isEmpty())
        return;
    // As after the splash's click: the music paused, the splash behind the windows.
    splash->musica().pausa();
    for (int n : ripristinate)
        registro::porta(finestraStima(n));
}

} // namespace perix
