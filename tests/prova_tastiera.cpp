// Desktop manners: shortcuts, focus following the guidance, remembered folders, the
// report window's keys and messages, the status line drawn whole.
#include "ui/modulo.h"
#include "ui/registro.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "reports/finestrareport.h"
#include "supporto.h"

#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace perix;
using namespace perix::prova;
using Tipo = dialoghi::prova::Mostrato::Tipo;

namespace {

FinestraStima *finestraNumero(int n)
{
    switch (n) {
    case 1: return registro::mostra<menu>();
    case 2: return registro::mostra<risultatidisaggregati>();
    case 3: return registro::mostra<risultatisintetici>();
    case 4: return registro::mostra<risultatitipologie>();
    default: return registro::mostra<variocosto>();
    }
}

bool attivata(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// The folder the last file dialog of the given kind started in.
QString cartellaChiesta()
{
    const auto &m = dialoghi::prova::mostrati();
    for (qsizetype i = m.size() - 1; i >= 0; --i)
        if (m[i].tipo != Tipo::Messaggio)
            return m[i].file.cartella;
    return QStringLiteral("(nessun dialogo)");
}

QString documenti()
{
    const QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(d).isDir() ? d : QDir::homePath();
}

} // namespace

class ProvaTastiera : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { preparaAmbiente(); }
    void init()
    {
        azzeraScelte();
        QSettings().remove(QStringLiteral("cartelle"));
        dialoghi::prova::azzera();
    }
    void cleanup() { chiudiTutto(); }

    void scorciatoie_data()
    {
        QTest::addColumn<int>("finestra");
        QTest::addColumn<QString>("azione");
        QTest::addColumn<QKeySequence>("tasti");
        const std::pair<const char *, QKeySequence> tasti[] = {
            {"apri", QKeySequence(Qt::CTRL | Qt::Key_O)},   {"salva", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {"salvanome", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
            {"solodati", QKeySequence(Qt::CTRL | Qt::Key_P)}, {"finestra", QKeySequence(Qt::Key_F1)},
            {"fin1", QKeySequence(Qt::CTRL | Qt::Key_1)},   {"fin2", QKeySequence(Qt::CTRL | Qt::Key_2)},
            {"fin3", QKeySequence(Qt::CTRL | Qt::Key_3)},   {"fin4", QKeySequence(Qt::CTRL | Qt::Key_4)},
            {"fin5", QKeySequence(Qt::CTRL | Qt::Key_5)},
        };
        for (int n = 1; n <= 5; ++n)
            for (const auto &[nome, k] : tasti)
                QTest::addRow("finestra %d %s", n, nome) << n << QString::fromLatin1(nome) << k;
    }
    // A key press on the window runs the item's own action, and the menu shows the key.
    void scorciatoie()
    {
        QFETCH(int, finestra);
        QFETCH(QString, azione);
        QFETCH(QKeySequence, tasti);
        FinestraStima *w = finestraNumero(finestra);
        QVERIFY(attivata(w));
        QAction *a = prova::azione(w, azione);
        QVERIFY2(a, qPrintable(azione));
        QCOMPARE(a->shortcut(), tasti);
        QSignalSpy spia(a, &QAction::triggered);
        QTest::keyClick(w, tasti[0].key(), tasti[0].keyboardModifiers());
        QCOMPARE(spia.count(), 1);
    }

    // Ctrl shortcuts never take a letter an Alt mnemonic of the same window uses, nor
    // does one key serve two items.
    void nessunaCollisione()
    {
        for (int n = 1; n <= 5; ++n) {
            QSet<QKeySequence> visti;
            for (QAction *a : finestraNumero(n)->findChildren<QAction *>()) {
                for (const QKeySequence &k : a->shortcuts()) {
                    QVERIFY2(!visti.contains(k), qPrintable(k.toString()));
                    QVERIFY(!(k[0].keyboardModifiers() & Qt::AltModifier));
                    visti.insert(k);
                }
            }
        }
    }

    void fuocoSulPasso_data()
    {
        QTest::addColumn<QString>("stima");   // estimate button clicked after the currency
        QTest::addColumn<QStringList>("gia"); // fields already filled, in order V C A S
        QTest::addColumn<QString>("classe");  // class clicked afterwards, or empty
        QTest::addColumn<QString>("atteso");
        QTest::newRow("solo valuta") << QString() << QStringList() << QString() << "aree";
        QTest::newRow("area vuota") << "aree" << QStringList() << QString() << "valoremercato";
        QTest::newRow("area con V") << "aree" << QStringList{"1.000"} << QString() << "costitotali";
        QTest::newRow("area con V C") << "aree" << QStringList{"1.000", "500"} << QString() << "anni";
        QTest::newRow("area con V C A") << "aree" << QStringList{"1.000", "500", "2"} << QString() << "superficie";
        QTest::newRow("sintetici") << "sintetici" << QStringList() << QString() << "costolordo";
        QTest::newRow("disaggregati") << "disaggregati" << QStringList{"1.000", "500"} << QString() << "Option1(1)";
        QTest::newRow("classe disaggregati") << "disaggregati" << QStringList{"1.000", "500"} << "Option1(2)"
                                             << "Option1(2)";
    }
    void fuocoSulPasso()
    {
        QFETCH(QString, stima);
        QFETCH(QStringList, gia);
        QFETCH(QString, classe);
        QFETCH(QString, atteso);
        auto *m = registro::mostra<menu>();
        const QStringList campi{"valoremercato", "costitotali", "anni", "superficie"};
        for (int i = 0; i < gia.size(); ++i)
            trova<QLineEdit>(m, campi[i])->setText(gia[i]);
        clicca(m, QStringLiteral("moneta(2)"));
        if (!stima.isEmpty())
            clicca(m, stima);
        if (!classe.isEmpty())
            clicca(m, classe);
        QCOMPARE(m->focusWidget() ? m->focusWidget()->objectName() : QString(), atteso);
    }

    // An opened record with a figure missing: the focus waits on that figure.
    void fuocoDopoApertura()
    {
        QTemporaryDir dir;
        const QString f = dir.filePath(QStringLiteral("Perix-menu-senzaanni"));
        QVERIFY(scrivi(f, "\"Valori in euro\",\"1200000\",\"650000\"\r\n\"\",\"1500\"\r\n"));
        auto *m = registro::mostra<menu>();
        QVERIFY(attivaConFile(m, QStringLiteral("apri"), f));
        QCOMPARE(testo(m, QStringLiteral("passo")), QStringLiteral("digitare gli anni per redditività"));
        QCOMPARE(m->focusWidget()->objectName(), QStringLiteral("anni"));
    }

    void ordineTab()
    {
        auto *m = registro::mostra<menu>();
        clicca(m, QStringLiteral("moneta(2)"));
        clicca(m, QStringLiteral("aree"));
        QStringList giro;
        for (QWidget *w = trova(m, QStringLiteral("valoremercato")); giro.size() < 4; w = w->nextInFocusChain())
            if (qobject_cast<QLineEdit *>(w))
                giro << w->objectName();
        QCOMPARE(giro, (QStringList{"valoremercato", "costitotali", "anni", "superficie"}));
    }

    // Each kind of archive file has its folder: the first open dialog starts among the
    // samples, the next where the last file of that kind was chosen (open, save or delete).
    void cartelleRicordate()
    {
        QTemporaryDir dir;
        const QString menuFile = dir.filePath(QStringLiteral("Perix-menu-prova"));
        auto *m = registro::mostra<menu>();
        attivaConFile(m, QStringLiteral("apri"), std::nullopt);
        QCOMPARE(cartellaChiesta(), Modulo::cartellaEsempi());

        dialoghi::prova::accodaFile(menuFile); // read or not, the folder was the user's choice
        attiva(m, QStringLiteral("eliminare"));
        dialoghi::prova::azzera();
        attivaConFile(m, QStringLiteral("apri"), std::nullopt);
        QCOMPARE(cartellaChiesta(), dir.path());

        clicca(m, QStringLiteral("moneta(2)"));
        clicca(m, QStringLiteral("aree"));
        attivaConFile(m, QStringLiteral("salvanome"), std::nullopt);
        QCOMPARE(cartellaChiesta(), dir.path());

        // Another kind keeps its own folder.
        dialoghi::prova::accodaFile(std::nullopt);
        auto *v = registro::mostra<variocosto>();
        attiva(v, QStringLiteral("apri"));
        QCOMPARE(cartellaChiesta(), Modulo::cartellaEsempi());
        // Saving never starts among the samples, which may well be read-only.
        digita(v, QStringLiteral("costopieno"), QStringLiteral("1000"));
        attivaConFile(v, QStringLiteral("salvanome"), std::nullopt);
        QCOMPARE(cartellaChiesta(), documenti());
    }

    void finestraDocumento()
    {
        auto *m = registro::mostra<menu>();
        clicca(m, QStringLiteral("moneta(2)"));
        clicca(m, QStringLiteral("aree"));
        QTemporaryDir dir;
        for (const QKeySequence &chiudi : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            QVERIFY(attiva(m, QStringLiteral("solodati")));
            QPointer<finestrareport> r = qobject_cast<finestrareport *>(Modulo::wordapp.data());
            QVERIFY(r);
            QVERIFY(!r->windowIcon().isNull());
            const QString pdf = dir.filePath(QStringLiteral("stima.pdf"));
            dialoghi::prova::accodaFile(pdf);
            QVERIFY(r->esportaPdf());
            QVERIFY2(r->statusBar()->currentMessage().contains(QDir::toNativeSeparators(pdf)),
                     qPrintable(r->statusBar()->currentMessage()));
            // The next export starts where this one went.
            dialoghi::prova::accodaFile(std::nullopt);
            r->salvaDocx();
            QCOMPARE(cartellaChiesta(), dir.path());
            QVERIFY(attivata(r));
            QTest::keyClick(r, chiudi[0].key(), chiudi[0].keyboardModifiers());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!r, qPrintable(chiudi.toString()));
        }
    }

    // The status line's box is whole at every size: inside the window, its bottom edge drawn.
    void passoIntero_data()
    {
        QTest::addColumn<int>("finestra");
        QTest::addColumn<QSize>("misura");
        for (int n = 1; n <= 5; ++n)
            for (QSize s : {QSize(640, 455), QSize(480, 340), QSize(1000, 700)})
                QTest::addRow("finestra %d %dx%d", n, s.width(), s.height()) << n << s;
    }
    void passoIntero()
    {
        QFETCH(int, finestra);
        QFETCH(QSize, misura);
        FinestraStima *w = finestraNumero(finestra);
        w->resize(misura);
        QApplication::processEvents();
        auto *passo = trova<QLabel>(w, QStringLiteral("passo"));
        const QRect g(passo->mapTo(w, QPoint(0, 0)), passo->size());
        QVERIFY2(w->rect().contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
        const QImage img = passo->grab().toImage();
        const QColor bordo(0x8c, 0x99, 0xa8);
        for (int y : {0, img.height() - 1}) {
            const QColor c = img.pixelColor(img.width() / 2, y);
            QVERIFY2(qAbs(c.red() - bordo.red()) + qAbs(c.green() - bordo.green()) + qAbs(c.blue() - bordo.blue()) < 60,
                     qPrintable(QStringLiteral("riga %1: %2").arg(y).arg(c.name())));
        }
    }
};

QTEST_MAIN(ProvaTastiera)
#include "prova_tastiera.moc"
