// Proportional layout: recording, scaling, restoring, and the screen sizing.
#include "ui/clsresize.h"
#include "supporto.h"

#include <QLabel>
#include <QTest>

using namespace perix;

class ProvaClsResize : public QObject
{
    Q_OBJECT

    // A window of 400 × 300 with two controls, one inside a frame.
    struct Finestra {
        QWidget w;
        QLabel *a, *b, *interno;
        Finestra()
        {
            w.resize(400, 300);
            a = new QLabel(QStringLiteral("a"), &w);
            a->setGeometry(10, 20, 100, 30);
            b = new QLabel(QStringLiteral("b"), &w);
            b->setGeometry(200, 150, 80, 40);
            interno = new QLabel(QStringLiteral("c"), b);
            interno->setGeometry(4, 4, 40, 20);
        }
    };

private slots:
    void misureSchermo_data()
    {
        QTest::addColumn<int>("larghezza");
        QTest::addColumn<int>("altezza");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("w");
        QTest::addColumn<double>("alto");
        QTest::addColumn<double>("sinistra");
        QTest::newRow("1024x768") << 15360 << 11520 << 8640 << 11520 << 1440.0 << 1920.0;
        QTest::newRow("800x600") << 12000 << 9000 << 6750 << 9000 << 1125.0 << 1500.0;
        QTest::newRow("mezzi twip") << 15 << 15 << 11 << 11 << 2.0 << 2.0;
        QTest::newRow("dispari") << 1001 << 777 << 582 << 750 << 97.5 << 125.5;
    }
    void misureSchermo()
    {
        QFETCH(int, larghezza);
        QFETCH(int, altezza);
        QFETCH(int, h);
        QFETCH(int, w);
        QFETCH(double, alto);
        QFETCH(double, sinistra);
        const auto m = perix::misureSchermo(75, larghezza, altezza);
        QCOMPARE(m.altezza, h);
        QCOMPARE(m.larghezza, w);
        QCOMPARE(m.alto, alto);
        QCOMPARE(m.sinistra, sinistra);
    }

    void primaChiamataRegistraSoltanto()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        QVERIFY(r.NeedsRecording());
        f.w.resize(800, 300);
        r.ResizeControls();
        QVERIFY(!r.NeedsRecording());
        QCOMPARE(r.ControlRecords().size(), 3);
        QCOMPARE(r.ReferenceWidth(), 800 * 15);
        QCOMPARE(f.a->geometry(), QRect(10, 20, 100, 30)); // moved nothing
    }

    void doppiaLarghezzaERitorno()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        r.ResizeControls(); // records at 400 × 300
        f.w.resize(800, 300);
        r.ResizeControls();
        QCOMPARE(f.a->geometry(), QRect(20, 20, 200, 30));
        QCOMPARE(f.b->geometry(), QRect(400, 150, 160, 40));
        QCOMPARE(f.interno->geometry(), QRect(8, 4, 80, 20));
        // Odd sizes in between, then back: every control at its recorded place again.
        for (QSize s : {QSize(517, 233), QSize(123, 911), QSize(401, 299)}) {
            f.w.resize(s);
            r.ResizeControls();
        }
        f.w.resize(400, 300);
        r.ResizeControls();
        QCOMPARE(f.a->geometry(), QRect(10, 20, 100, 30));
        QCOMPARE(f.b->geometry(), QRect(200, 150, 80, 40));
        QCOMPARE(f.interno->geometry(), QRect(4, 4, 40, 20));
    }

    void nessunMinimoDiDimensione()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        r.ResizeControls();
        f.w.resize(40, 30);
        r.ResizeControls();
        QCOMPARE(f.a->geometry(), QRect(1, 2, 10, 3));
    }

    void finestraSenzaControlli()
    {
        QWidget w;
        w.resize(100, 100);
        clsResize r;
        r.setSourceForm(&w);
        r.ResizeControls();
        QVERIFY(r.NeedsRecording()); // never touched
    }

    void finestraRidottaAIcona()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        r.ResizeControls();
        f.w.showMinimized();
        f.w.setWindowState(Qt::WindowMinimized);
        QVERIFY(f.w.isMinimized());
        f.w.resize(800, 600);
        r.ResizeControls();
        QCOMPARE(f.a->geometry(), QRect(10, 20, 100, 30));
        f.w.setWindowState(Qt::WindowNoState);
        r.ResizeControls();
        QCOMPARE(f.a->geometry(), QRect(20, 40, 200, 60));
    }

    void controlloEliminatoSaltato()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        r.ResizeControls();
        delete f.a;
        f.w.resize(800, 600);
        r.ResizeControls(); // the gone control is passed over, the others still laid out
        QCOMPARE(f.b->geometry(), QRect(400, 300, 160, 80));
    }

    void dimensionaAlloSchermo()
    {
        Finestra f;
        clsResize r;
        r.setSourceForm(&f.w);
        r.SizeFormToScreen(75, &f.w, QSize(800, 600));
        QCOMPARE(r.ultimeMisure().altezza, 6750);
        QCOMPARE(r.ultimeMisure().larghezza, 9000);
        QCOMPARE(f.w.size(), QSize(600, 450));
        QCOMPARE(f.w.pos(), QPoint(100, 75));
        // The reference is the design size taken before the window was sized.
        QCOMPARE(r.ReferenceWidth(), 400 * 15);
        QCOMPARE(f.a->geometry(), QRect(15, 30, 150, 45));
    }
};

QTEST_MAIN(ProvaClsResize)
#include "prova_clsresize.moc"
