// Prints Perix's performance figures; asserts nothing.
//   perix_bench            all figures
// Child modes (run by the parent): --figlio splash|minima|memoria
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "estimates/menu.h"
#include "ui/dialoghi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <QToolBar>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace perix;

namespace {

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Ends the child at the window's first paint.
class AllaPrimaPittura : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            std::fputs("dipinto\n", stdout);
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

long piccoMemoriaKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &riga : f.readAll().split('\n'))
        if (riga.startsWith("VmHWM:"))
            return riga.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int figlio(int argc, char **argv, const QString &modo)
{
    QApplication app(argc, argv);
    AllaPrimaPittura filtro;
    if (modo == QLatin1String("minima")) {
        // The floor: a bare window with a menu bar, a toolbar and 40 labels.
        auto *w = new QMainWindow;
        w->menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("Apri"));
        w->addToolBar(QStringLiteral("barra"))->addAction(QStringLiteral("uno"));
        auto *c = new QWidget;
        for (int i = 0; i < 40; ++i)
            (new QLabel(QStringLiteral("etichetta %1").arg(i), c))->move(10 + (i % 4) * 150, 10 + (i / 4) * 20);
        w->setCentralWidget(c);
        w->installEventFilter(&filtro);
        w->show();
        return app.exec();
    }
    if (modo == QLatin1String("splash")) {
        preparaApplicazione();
        auto *s = registro::prendi<frmSplash>();
        s->installEventFilter(&filtro);
        s->show();
        return app.exec();
    }
    // memoria: the splash and the main window shown, a valuation on screen.
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    registro::mostra<frmSplash>();
    menu *m = registro::mostra<menu>();
    m->findChild<QAbstractButton *>(QStringLiteral("moneta(2)"))->click();
    m->findChild<QAbstractButton *>(QStringLiteral("aree"))->click();
    QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("valoremercato")), QStringLiteral("1000000"));
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    registro::prendi<frmSplash>()->musica().attendiCaricamento();
    std::printf("%ld\n", piccoMemoriaKb());
    std::fflush(stdout);
    std::_Exit(0);
}

double tempoFiglio(const QString &programma, const QString &modo)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer t;
    t.start();
    p.start(programma, {QStringLiteral("--figlio"), modo});
    p.waitForReadyRead(10000);
    const double ms = t.nsecsElapsed() / 1e6;
    p.waitForFinished(5000);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--figlio") == 0)
        return figlio(argc, argv, QString::fromLatin1(argv[2]));

    QString programma;
    {
        QCoreApplication core(argc, argv);
        programma = QCoreApplication::applicationFilePath();
    }
    const char *piattaforma = qgetenv("QT_QPA_PLATFORM").isEmpty() ? "(predefinita)" : qgetenv("QT_QPA_PLATFORM").constData();
    std::printf("Perix: misure di prestazione (piattaforma %s)\n", piattaforma);

    // Process start to first paint, the splash beside the bare window, alternating.
    std::vector<double> splash, minima;
    tempoFiglio(programma, QStringLiteral("minima")); // warm the file cache
    tempoFiglio(programma, QStringLiteral("splash"));
    for (int i = 0; i < 10; ++i) {
        minima.push_back(tempoFiglio(programma, QStringLiteral("minima")));
        splash.push_back(tempoFiglio(programma, QStringLiteral("splash")));
    }
    const double ms = mediana(splash), mm = mediana(minima);
    std::printf("avvio fino alla prima pittura (mediana di 10): splash %.1f ms, finestra minima %.1f ms, rapporto %.2f\n",
                ms, mm, ms / mm);

    {
        QProcess p;
        p.start(programma, {QStringLiteral("--figlio"), QStringLiteral("memoria")});
        p.waitForFinished(20000);
        std::printf("picco di memoria residente con la finestra principale: %.1f MB\n",
                    p.readAllStandardOutput().trimmed().toDouble() / 1024.0);
    }

    {
        QApplication app(argc, argv);
        preparaApplicazione();
        dialoghi::prova::attiva(true);
        menu *m = registro::mostra<menu>();
        m->findChild<QAbstractButton *>(QStringLiteral("moneta(2)"))->click();
        m->findChild<QAbstractButton *>(QStringLiteral("aree"))->click();
        auto *v = m->findChild<QLineEdit *>(QStringLiteral("valoremercato"));
        auto *r6 = m->findChild<QLabel *>(QStringLiteral("risultati(6)"));
        QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("costitotali")), QStringLiteral("500000"));
        QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("anni")), QStringLiteral("2"));
        QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("superficie")), QStringLiteral("1000"));
        QTest::keyClicks(v, QStringLiteral("100000"));
        std::vector<double> tasti;
        for (int i = 0; i < 2000; ++i) {
            QElapsedTimer t;
            t.start();
            QTest::keyClick(v, i % 2 ? Qt::Key_Backspace : Qt::Key_0);
            tasti.push_back(t.nsecsElapsed() / 1e3);
        }
        std::printf("da un tasto in valoremercato ai sei risultati aggiornati (mediana di 2000): %.1f µs (ultimo risultato %s)\n",
                    mediana(tasti), qPrintable(r6->text()));
    }
    return 0;
}
