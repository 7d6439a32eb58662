// The main window's arithmetic: plot valuation, class schedules, synthetic costs.
#include "estimates/calcoli.h"
#include "format/numeri.h"

#include <QLocale>
#include <QTest>
#include <numeric>

using namespace perix;

class ProvaCalcoli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void esempioSvolto()
    {
        const auto e = calcolaStimaArea(1000000, 500000, 2, 1000);
        QVERIFY(!e.troppiAnni);
        const QStringList attesi{"", "349.375", "165.289", "257.332", "349", "165", "257"};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(e.testi[std::size_t(k)].value_or("<tenuto>"), attesi[k]);
    }

    void anni_data()
    {
        QTest::addColumn<double>("anni");
        QTest::addColumn<bool>("troppi");
        QTest::newRow("100 accettato") << 100.0 << false;
        QTest::newRow("100,5 rifiutato") << 100.5 << true;
        QTest::newRow("zero") << 0.0 << false;
        QTest::newRow("negativo") << -3.0 << false;
    }
    void anni()
    {
        QFETCH(double, anni);
        QFETCH(bool, troppi);
        const auto e = calcolaStimaArea(1000000, 500000, anni, 1000);
        QCOMPARE(e.troppiAnni, troppi);
        // Refused years leave nothing of the years before; accepted ones compute.
        for (int k = 1; k <= 6 && troppi; ++k)
            QCOMPARE(e.testi[std::size_t(k)].value_or("<tenuto>"), nonCalcolabile);
        QCOMPARE(e.testi[1].value_or("<tenuto>") == nonCalcolabile, troppi);
    }

    void senzaSuperficie()
    {
        const auto e = calcolaStimaArea(1000000, 500000, 2, 0);
        QCOMPARE(*e.testi[4], nonCalcolabile);
        QCOMPARE(*e.testi[5], nonCalcolabile);
        // The average per m² never keeps figures from before.
        QCOMPARE(*e.testi[6], nonCalcolabile);
        QCOMPARE(*e.testi[1], QStringLiteral("349.375"));
    }

    void costiOltreSettantaPerCento()
    {
        // C > 0.7 V: the minimum goes negative while the maximum stays positive.
        const auto e = calcolaStimaArea(1000000, 750000, 0, 1000);
        QCOMPARE(*e.testi[1], QStringLiteral("150.000"));
        QCOMPARE(*e.testi[2], QStringLiteral("-50.000"));
        QVERIFY(risultatoNegativo(*e.testi[5], *e.testi[6]));
        QCOMPARE(*e.testi[5], QStringLiteral("-50"));
    }

    void arrotondaVersoIlBasso()
    {
        // Whole parts go towards minus infinity: -0.5 per m² becomes -1.
        const auto e = calcolaStimaArea(100, 71, 0, 2);
        QCOMPARE(*e.testi[2], QStringLiteral("-1"));
        QCOMPARE(*e.testi[5], QStringLiteral("-1"));
    }

    void mediaConUnoZero()
    {
        // r4 computes to 0: the average is not shown from half the figures.
        const auto e = calcolaStimaArea(1000, 0, 0, 1000);
        QCOMPARE(*e.testi[4], QStringLiteral("0"));
        QCOMPARE(*e.testi[6], nonCalcolabile);
    }

    void cifreEnormi_data()
    {
        QTest::addColumn<double>("V");
        QTest::addColumn<double>("A");
        QTest::newRow("1e300") << 1e300 << 2.0;
        QTest::newRow("infinito") << std::numeric_limits<double>::infinity() << 2.0;
        QTest::newRow("anni molto negativi") << 1000000.0 << -20000.0;
    }
    void cifreEnormi()
    {
        QFETCH(double, V);
        QFETCH(double, A);
        const auto e = calcolaStimaArea(V, 0, A, 1000);
        for (int k = 1; k <= 6; ++k) {
            const QString t = e.testi[std::size_t(k)].value_or(QString());
            QCOMPARE(t, nonCalcolabile);
        }
    }

    void schemiDiClasse()
    {
        for (int c = 1; c <= 3; ++c) {
            const auto s = schemaClasse(c);
            QCOMPARE(std::accumulate(s.begin() + 1, s.end(), 0.0), 10000.0);
        }
        QCOMPARE(schemaClasse(1)[1], 450.0);
        QCOMPARE(schemaClasse(1)[2], 2720.0);
        QCOMPARE(schemaClasse(3)[12], 500.0);
        QCOMPARE(schemaClasse(2)[12], 0.0);
        QCOMPARE(schemaClasse(0)[1], 0.0);
    }

    void costiDelleClassi()
    {
        // Medie typed as 1200: economiche 1200 / 1.0909 shows 1.100, evolute 1500.
        const auto k = costiClassi(2, QStringLiteral("1200"), 1200);
        QCOMPARE(formattanumero(k.testo[1]), QStringLiteral("1.100"));
        QCOMPARE(k.testo[2], QStringLiteral("1200"));
        QCOMPARE(formattanumero(k.testo[3]), QStringLiteral("1.500"));
        const auto e = costiClassi(3, QStringLiteral("1.500"), 1500);
        QCOMPARE(formattanumero(e.testo[2]), QStringLiteral("1.200"));
        QCOMPARE(e.testo[1], testoNumero(1500 / 1.3636));
    }

    void colonnaSintetica()
    {
        const auto c1 = perix::colonnaSintetica(1, QStringLiteral("1000"));
        QCOMPARE(c1[1], QStringLiteral("291"));    // 1000 / 3.4375 = 290.909...
        QCOMPARE(c1[2], QStringLiteral("1.000"));
        QCOMPARE(c1[3], QStringLiteral("70"));
        QCOMPARE(c1[4], QStringLiteral("21"));
        QCOMPARE(c1[5], QStringLiteral("20.364")); // 290.909... × 70
        const auto k = costiClassi(1, QStringLiteral("1000"), 1000);
        const auto c2 = perix::colonnaSintetica(2, k.testo[2]);
        QCOMPARE(c2[2], QStringLiteral("1.091"));
        QCOMPARE(c2[1], formattanumero(testoNumero(1090.9 / 3.3333)));
        QCOMPARE(perix::colonnaSintetica(3, k.testo[3])[2], QStringLiteral("1.364"));
        // A class cost beyond representation derives nothing beside it.
        const auto enorme = perix::colonnaSintetica(1, nonCalcolabile);
        QCOMPARE(enorme[1], nonCalcolabile);
        QCOMPARE(enorme[5], nonCalcolabile);
    }
};

QTEST_GUILESS_MAIN(ProvaCalcoli)
#include "prova_calcoli.moc"
