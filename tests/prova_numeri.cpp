// Readings of typed numbers and the format patterns, with Italian regional settings.
#include "core/numeri.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <limits>

using namespace perix;

class ProvaNumeri : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void ambienteItaliano()
    {
        // The C library really is Italian here, as on a user's desktop: otherwise every
        // reading below would pass even with strtod.
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
    }

    void letturaSemplice_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("atteso");
        QTest::newRow("vuoto") << "" << 0.0;
        QTest::newRow("punto decimale") << "1.500" << 1.5;
        QTest::newRow("virgola ferma") << "1500,5" << 1500.0;
        QTest::newRow("anni con virgola") << "2,5" << 2.0;
        QTest::newRow("spazi ovunque") << " 1 000 000 " << 1000000.0;
        QTest::newRow("segno") << "-250" << -250.0;
        QTest::newRow("più") << "+7" << 7.0;
        QTest::newRow("meno solo") << "-" << 0.0;
        QTest::newRow("lettere") << "abc" << 0.0;
        QTest::newRow("lettere dopo") << "12abc" << 12.0;
        QTest::newRow("esponente non letto") << "1e300" << 1.0;
        QTest::newRow("secondo punto ferma") << "1.2.3" << 1.2;
        QTest::newRow("punto iniziale") << ".5" << 0.5;
        QTest::newRow("anni decimali") << "100.5" << 100.5;
        QTest::newRow("meno punto") << "-.25" << -0.25;
        QTest::newRow("zeri minuscoli") << "0." + QString(400, u'0') + "1" << 0.0;
        QTest::newRow("inf non letto") << "inf" << 0.0;
    }
    void letturaSemplice()
    {
        QFETCH(QString, testo);
        QFETCH(double, atteso);
        QCOMPARE(perix::letturaSemplice(testo), atteso);
    }

    void letturaSempliceEnorme()
    {
        // 400 digits overflow a double: the reading must not crash and gives infinity.
        const double v = perix::letturaSemplice(QString(400, u'9'));
        QVERIFY(!std::isfinite(v) || v > 1e300);
    }

    void letturaLocale_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("numero");
        QTest::addColumn<double>("atteso");
        QTest::newRow("migliaia") << "1.500" << true << 1500.0;
        QTest::newRow("decimali") << "1500,5" << true << 1500.5;
        QTest::newRow("entrambi") << "1.234.567,89" << true << 1234567.89;
        QTest::newRow("spazi attorno") << " 12 " << true << 12.0;
        QTest::newRow("punto decimale rifiutato") << "1.5" << false << 0.0;
        QTest::newRow("lettere") << "5abc" << false << 0.0;
        QTest::newRow("vuoto") << "" << false << 0.0;
        QTest::newRow("meno solo") << "-" << false << 0.0;
        QTest::newRow("infinito") << "inf" << false << 0.0;
        QTest::newRow("meno infinito") << "-inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
    }
    void letturaLocale()
    {
        QFETCH(QString, testo);
        QFETCH(bool, numero);
        QFETCH(double, atteso);
        const auto v = perix::letturaLocale(testo);
        QCOMPARE(v.has_value(), numero);
        if (numero)
            QCOMPARE(*v, atteso);
    }

    void formattanumero_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("migliaia e arrotondamento") << "12345,6" << "12.346";
        QTest::newRow("negativo") << "-2500" << "-2.500";
        QTest::newRow("sotto mezzo") << "0,4" << "0";
        QTest::newRow("mezzo via dallo zero") << "2,5" << "3";
        QTest::newRow("meno mezzo via dallo zero") << "-2,5" << "-3";
        QTest::newRow("sotto mille") << "999" << "999";
        QTest::newRow("zero") << "0" << "0";
        QTest::newRow("testo invariato") << "valore non calcolabile" << "valore non calcolabile";
        QTest::newRow("vuoto") << "" << "";
        QTest::newRow("milioni") << "1234567" << "1.234.567";
        QTest::newRow("troppo grande") << "1e300" << "valore non calcolabile";
    }
    void formattanumero()
    {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(perix::formattanumero(testo), atteso);
    }

    void schemi_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("due decimali") << "12,5" << "0.00" << "12,50";
        QTest::newRow("cento") << "100" << "0.00" << "100,00";
        QTest::newRow("due decimali senza gruppi") << "1234,5" << "0.00" << "1234,50";
        QTest::newRow("gruppi e decimali") << "1234,5" << "##,##0.00" << "1.234,50";
        QTest::newRow("mezzo centesimo") << "1,005" << "0.00" << "1,01";
        QTest::newRow("intero") << "1500000" << "##,##0" << "1.500.000";
        QTest::newRow("anni 2,5") << "2,5" << "##,##0" << "3";
        QTest::newRow("non numero") << "abc" << "0.00" << "abc";
        // Cents past the 15th digit: whole units rather than a wrong fraction.
        QTest::newRow("quindici cifre e centesimi") << "404620278770253" << "0.00" << "404620278770253,00";
        QTest::newRow("quindici cifre raggruppate") << "404620278770253" << "##,##0.00" << "404.620.278.770.253,00";
        QTest::newRow("centesimi oltre 2^53") << "-16673063063160,2" << "0.00" << "-16673063063160,20";
        QTest::newRow("riporto") << "99,995" << "##,##0.00" << "100,00";
        QTest::newRow("meno zero") << "-0,004" << "0.00" << "0,00";
        QTest::newRow("oltre quindici cifre") << "999999999999999,995" << "0.00" << "valore non calcolabile";
    }
    void schemi()
    {
        QFETCH(QString, testo);
        QFETCH(QString, schema);
        QFETCH(QString, atteso);
        QCOMPARE(perix::formatta(testo, schema), atteso);
    }

    void testoNumero_data()
    {
        QTest::addColumn<double>("valore");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("intero") << 349375.0 << "349375";
        QTest::newRow("decimale con virgola") << 257332.5 << "257332,5";
        QTest::newRow("quindici cifre") << 2.4999999999999996 << "2,5";
        QTest::newRow("infinito") << std::numeric_limits<double>::infinity() << "valore non calcolabile";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "valore non calcolabile";
        QTest::newRow("oltre quindici cifre") << 1e15 << "valore non calcolabile";
        QTest::newRow("minuscolo") << 1e-20 << "0";
        // 15 digits round these up to 1e15, which has sixteen.
        QTest::newRow("appena sotto 1e15") << 999999999999999.6 << "valore non calcolabile";
        QTest::newRow("appena sotto -1e15") << -999999999999999.6 << "valore non calcolabile";
        QTest::newRow("quindici cifre intere") << 999999999999999.0 << "999999999999999";
    }
    void testoNumero()
    {
        QFETCH(double, valore);
        QFETCH(QString, atteso);
        const QString t = perix::testoNumero(valore);
        QCOMPARE(t, atteso);
        QVERIFY(!t.contains(QRegularExpression(QStringLiteral("\\de[-+]?\\d|inf|nan"))));
    }

    void notaLettura_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("nota"); // empty: no note
        QTest::newRow("migliaia col punto") << "1.500.000" << "letto come 1,5: il punto separa i decimali";
        QTest::newRow("un gruppo di migliaia") << "1.500" << "letto come 1,5: il punto separa i decimali";
        QTest::newRow("virgola decimale") << "1500,5" << "letto come 1500: la virgola chiude il numero";
        QTest::newRow("lettere") << "abc" << "letto come 0: «abc» non è un numero";
        QTest::newRow("lettere dopo") << "12abc" << "letto come 12: «abc» è ignorato";
        QTest::newRow("esponente") << "1e308" << "letto come 1: «e308» è ignorato";
        QTest::newRow("infinito") << "inf" << "letto come 0: «inf» non è un numero";
        QTest::newRow("meno solo") << "-" << "letto come 0: «-» non è un numero";
        QTest::newRow("enorme") << QString(20, u'9') << "numero troppo grande per il calcolo";
        QTest::newRow("vuoto") << "" << "";
        QTest::newRow("intero") << "1500000" << "";
        QTest::newRow("punto decimale chiaro") << "2.5" << "";
        QTest::newRow("spazi") << " 1 000 " << "";
        QTest::newRow("zero") << "0" << "";
    }
    void notaLettura()
    {
        QFETCH(QString, testo);
        QFETCH(QString, nota);
        const auto n = perix::notaLettura(testo);
        QCOMPARE(n ? n->testo() : QString(), nota);
    }

    // The four figures of the plot estimate: typed on an Italian desktop, and as files of
    // earlier versions hold them (what those read whole must read as it always did); what
    // is no figure, with how to write an ambiguous one.
    void letturaStima_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("valore");
        QTest::addColumn<bool>("italiana");
        QTest::addColumn<int>("difetto");
        QTest::addColumn<QString>("alternative");
        using D = perix::LetturaStima::Difetto;
        const auto riga = [](const char *nome, const QString &t, double v, bool it, D d = D::Nessuno, const char *alt = "") {
            QTest::newRow(nome) << t << v << it << int(d) << QString::fromUtf8(alt);
        };
        // Typed the Italian way.
        riga("anni con la virgola", "2,5", 2.5, true);
        riga("superficie sotto uno", "0,5", 0.5, true);
        riga("milioni col punto", "1.500.000", 1500000.0, true);
        riga("milioni e centesimi", "1.500.000,50", 1500000.5, true);
        riga("decimali senza migliaia", "1500,5", 1500.5, true);
        riga("tre decimali dopo quattro cifre", "1500,500", 1500.5, true);
        riga("negativo all'italiana", "-2,5", -2.5, true);
        riga("spazi intorno e dentro", " 1 500,5 ", 1500.5, true);
        riga("troppo grande", "1.000.000.000.000.000", 1e15, true, D::TroppoGrande);
        // As old files hold them: read whole by the plain reading, unchanged.
        riga("vecchio punto decimale", "2.5", 2.5, false);
        riga("vecchio cento e mezzo", "100.5", 100.5, false);
        riga("vecchio punto e due cifre", "12.25", 12.25, false);
        riga("vecchio punto e quattro cifre", "1.2500", 1.25, false);
        riga("tre decimali dopo lo zero", "0.500", 0.5, false);
        riga("tre decimali dopo quattro cifre col punto", "1234.500", 1234.5, false);
        riga("vecchio intero", "1200000", 1200000.0, false);
        riga("vecchio negativo", "-3", -3.0, false);
        riga("vecchio zero", "0", 0.0, false);
        riga("vecchio vuoto", "", 0.0, false);
        riga("vecchi spazi", " 1 000 ", 1000.0, false);
        riga("enorme", QString(20, u'9'), 1e20, false, D::TroppoGrande);
        // A single separator and three digits: thousands to some, decimals to others.
        riga("un gruppo di migliaia", "1.200", 1.2, false, D::Ambiguo, "1200 oppure 1,2");
        riga("dodicimilacinquecento", "12.500", 12.5, false, D::Ambiguo, "12500 oppure 12,5");
        riga("mille negativo", "-1.000", -1.0, false, D::Ambiguo, "-1000 oppure -1");
        riga("con gli spazi", " 1 . 200 ", 1.2, false, D::Ambiguo, "1200 oppure 1,2");
        riga("virgola delle migliaia", "1,500", 1.0, false, D::Ambiguo, "1500 oppure 1,5");
        // Not a number at all.
        riga("lettera al posto di uno zero", "1.85O.000", 1.85, false, D::NonNumero);
        riga("vecchio testo accentato", "superficie è 500", 0.0, false, D::NonNumero);
        riga("migliaia all'inglese", "1,500,000", 1.0, false, D::NonNumero);
        riga("gruppi sbagliati", "1.50.000", 1.5, false, D::NonNumero);
        riga("inglese con decimali", "1,500.50", 1.0, false, D::NonNumero);
        riga("esponente", "1e308", 1.0, false, D::NonNumero);
        riga("virgola ed esponente", "1,5e3", 1.0, false, D::NonNumero);
        riga("lettere", "abc", 0.0, false, D::NonNumero);
        riga("meno solo", "-", 0.0, false, D::NonNumero);
        riga("nan", "nan", 0.0, false, D::NonNumero);
        riga("inf", "inf", 0.0, false, D::NonNumero);
        riga("unita dopo", "1.500,5 mq", 1.5, false, D::NonNumero);
        riga("virgola in fondo", "5,", 5.0, false, D::NonNumero);
    }
    void letturaStima()
    {
        QFETCH(QString, testo);
        QFETCH(double, valore);
        QFETCH(bool, italiana);
        QFETCH(int, difetto);
        QFETCH(QString, alternative);
        const perix::LetturaStima l = perix::letturaStima(testo);
        QCOMPARE(l.valore, valore);
        QCOMPARE(l.italiana, italiana);
        QCOMPARE(int(l.difetto), difetto);
        QCOMPARE(l.alternative, alternative);
        QCOMPARE(l.usabile(), difetto == int(perix::LetturaStima::Difetto::Nessuno));
        // What the plain reading takes whole reads as it always did.
        if (!italiana)
            QCOMPARE(l.valore, perix::letturaSemplice(testo));
    }

    void testoInvarianteRiletto_data()
    {
        QTest::addColumn<double>("valore");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("massimo") << std::numeric_limits<double>::max() << "179769313486231" + QString(294, u'0');
        QTest::newRow("meno massimo") << -std::numeric_limits<double>::max() << "-179769313486231" + QString(294, u'0');
        QTest::newRow("decimale") << 1250.5 << "1250.5";
        QTest::newRow("piccolo") << 0.00012 << "0.00012";
        // A sixteenth digit that is exactly a half rounds away from zero, never to even.
        QTest::newRow("mezzo esatto") << 614690185719786.5 << "614690185719787";
        QTest::newRow("meno mezzo esatto") << -834333840556678.5 << "-834333840556679";
        QTest::newRow("sedici cifre, mezzo") << 1436264015694985.0 << "1436264015694990";
    }
    void testoInvarianteRiletto()
    {
        QFETCH(double, valore);
        QFETCH(QString, atteso);
        const QString t = perix::testoInvariante(valore);
        QCOMPARE(t, atteso);
        bool ok = false;
        const double riletto = QLocale::c().toDouble(t, &ok);
        QVERIFY(ok && std::isfinite(riletto));
    }

    // The invariant text holds the 15 digits Qt's own formatting gives, exact halves and all:
    // two 15-digit decimals never read as the same double, so equal readings are equal digits.
    void quindiciCifreComeQt()
    {
        std::mt19937_64 g(20261209);
        const auto cifreDi = [](double v) { return QLocale::c().toDouble(perix::testoInvariante(v)); };
        for (int i = 0; i < 20000; ++i) {
            const auto sedici = double(qint64(g() % 9000000000000000ULL) + 1000000000000000LL) / 10;
            double v = 0;
            std::uint64_t bit = g();
            std::memcpy(&v, &bit, sizeof v);
            for (double x : {std::floor(sedici) * 10 + 5, std::floor(sedici / 10) + 0.5, -std::floor(sedici / 10) - 0.5,
                             std::ldexp(std::floor(sedici / 10) + 0.5, int(g() % 120) - 60), v}) {
                if (!std::isfinite(x) || std::fabs(x) > 1e300)
                    continue;
                const double qt = QString::number(x, 'e', 14).toDouble();
                QVERIFY2(cifreDi(x) == qt, qPrintable(QString::number(x, 'g', 17)));
            }
        }
    }

    void arrotondamentoSulTestoABreve()
    {
        // The computed value just under a half is rounded as its 15-digit text reads.
        QCOMPARE(perix::formattanumero(perix::testoNumero(2.4999999999999996)), QStringLiteral("3"));
        QCOMPARE(perix::formattanumero(perix::testoNumero(0.49999999999999994)), QStringLiteral("1"));
        QCOMPARE(perix::formattanumero(perix::testoNumero(-2.5)), QStringLiteral("-3"));
    }
};

QTEST_GUILESS_MAIN(ProvaNumeri)
#include "prova_numeri.moc"
