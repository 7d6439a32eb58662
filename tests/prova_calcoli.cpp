// The main window's arithmetic: plot valuation, class schedules, synthetic costs.
#include "core/calcoli.h"
#include "core/calcoli_procedimento.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_tipologie.h"
#include "core/numeri.h"

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

    // Figures as typed: one that is no number (or is ambiguous) computes nothing, and the
    // results it feeds read "valore non calcolabile"; the surface feeds only the values per m².
    void stimaDaTesti_data()
    {
        QTest::addColumn<QStringList>("figure"); // V, C, A, S
        QTest::addColumn<QString>("attesi");     // r1..r6, "-" for non calcolabile
        QTest::newRow("esempio all'italiana") << QStringList{"1.000.000", "500000", "2", "1000"}
                                              << "349.375 165.289 257.332 349 165 257";
        QTest::newRow("lettera O nel valore") << QStringList{"1.85O.000", "500000", "2", "1000"} << "- - - - - -";
        QTest::newRow("costi in lettere") << QStringList{"1.000.000", "abc", "2", "1000"} << "- - - - - -";
        QTest::newRow("anni ambigui") << QStringList{"1.000.000", "500000", "2,500", "1000"} << "- - - - - -";
        QTest::newRow("superficie ambigua") << QStringList{"1.000.000", "500000", "2", "1.200"}
                                            << "349.375 165.289 257.332 - - -";
        QTest::newRow("superficie vuota") << QStringList{"1.000.000", "500000", "2", ""} << "349.375 165.289 257.332 - - -";
        QTest::newRow("superficie col vecchio punto") << QStringList{"1000000", "500000", "2", "1000.5"}
                                                      << "349.375 165.289 257.332 349 165 257";
    }
    void stimaDaTesti()
    {
        QFETCH(QStringList, figure);
        QFETCH(QString, attesi);
        const auto e = calcolaStimaArea(std::array<QString, 4>{figure[0], figure[1], figure[2], figure[3]});
        QStringList visti;
        for (int k = 1; k <= 6; ++k)
            visti << (e.testi[std::size_t(k)].value_or("<tenuto>") == nonCalcolabile ? QStringLiteral("-")
                                                                                     : e.testi[std::size_t(k)].value_or("<tenuto>"));
        QCOMPARE(visti.join(u' '), attesi);
        QVERIFY(!e.troppiAnni);
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

    // ---- calculation trail and sensitivity of the plot report ----------------------------

    void sensibilitaCasoBase_data()
    {
        QTest::addColumn<double>("V");
        QTest::addColumn<double>("C");
        QTest::addColumn<double>("A");
        QTest::newRow("esempio svolto") << 1e6 << 5e5 << 2.0;
        QTest::newRow("anni non interi") << 1e6 << 5e5 << 2.5;
        QTest::newRow("media con mezza unità") << 1e6 << 5e5 << 3.0;
        QTest::newRow("minimo negativo") << 1e6 << 8e5 << 1.0;
    }
    void sensibilitaCasoBase()
    {
        QFETCH(double, V);
        QFETCH(double, C);
        QFETCH(double, A);
        const DatiStimaArea d{V, C, A, 1000};
        const auto finestra = calcolaStimaArea(V, C, A, 1000);
        const auto base = tabellaSensibilita(d).medio[casoBase][casoBase];
        QVERIFY(base);
        QCOMPARE(testoRisultato(base), *finestra.testi[3]);
        // The chart passes through the window's three totals at the typed years, once.
        const CurvaAnni c = curvaAnni(d);
        const auto digitati = std::count_if(c.punti.begin(), c.punti.end(), [](const PuntoAnni &p) { return p.digitati; });
        QCOMPARE(digitati, 1);
        const PuntoAnni p = *std::find_if(c.punti.begin(), c.punti.end(), [](const PuntoAnni &p) { return p.digitati; });
        QCOMPARE(p.anni, A);
        QCOMPARE(testoRisultato(p.massimo), *finestra.testi[1]);
        QCOMPARE(testoRisultato(p.minimo), *finestra.testi[2]);
        QCOMPARE(testoRisultato(p.medio), *finestra.testi[3]);
    }

    void sensibilitaFuoriBase()
    {
        // Costs -20 %, value +10 %: (floor(590000 / 1.07²) + floor(370000 / 1.1²)) / 2
        // = (515328 + 305785) / 2 = 410556.5, shown as the window would: 410.557.
        const TabellaSensibilita t = tabellaSensibilita({1e6, 5e5, 2, 1000});
        QCOMPARE(t.costi[0], 4e5);
        QCOMPARE(t.valori[3], 1.1e6);
        QCOMPARE(*t.medio[0][3], 410556.5);
        QCOMPARE(testoRisultato(t.medio[0][3]), QStringLiteral("410.557"));
    }

    void pareggioEProcedimento()
    {
        const DatiStimaArea d{1e6, 5e5, 2, 1000};
        const Procedimento p = procedimentoStimaArea(d, QStringLiteral("€"));
        QCOMPARE(p.pareggioMassimo, 9e5);
        QCOMPARE(p.pareggioMinimo, 7e5);
        // At those costs each total value is zero, one unit above it turns negative.
        QCOMPARE(*valutaArea(d.V, 9e5, 7, 0).r[1], 0.0);
        QCOMPARE(*valutaArea(d.V, 7e5, 7, 0).r[2], 0.0);
        QVERIFY(*valutaArea(d.V, 9e5 + 1, 7, 0).r[1] < 0);
        QCOMPARE(p.passi.size(), 7);
        QCOMPARE(p.passi[0].righe, (QStringList{
            QStringLiteral("V - 0,10 × V - C = 1.000.000 - 100.000 - 500.000 = 400.000 €"),
            QStringLiteral("fattore di sconto (7 % annuo, n = 2): 1 / 1,07^2 = 0,8734"),
            QStringLiteral("400.000 € / 1,07^2 = 349.375,49 €; arrotondato all'unità inferiore: 349.375 €")}));
        QCOMPARE(p.passi[1].righe[1], QStringLiteral("fattore di sconto (10 % annuo, n = 2): 1 / 1,10^2 = 0,8264"));
        QCOMPARE(p.passi[2].righe[0], QStringLiteral("(349.375 + 165.289) / 2 = 257.332 €"));
        QCOMPARE(p.passi[5].righe[0], QStringLiteral("(349 + 165) / 2 = 257 €/mq"));
        QVERIFY(p.passi[6].righe[0].endsWith(QStringLiteral("0,9 × V = 900.000 €")));
        QVERIFY(p.passi[6].righe[1].endsWith(QStringLiteral("0,7 × V = 700.000 €")));
        const Procedimento lire = procedimentoStimaArea({1e6, 5e5, 3, 1000}, unitaValuta(QStringLiteral("in lire")));
        QCOMPARE(lire.passi[2].righe[0],
                 QStringLiteral("(326.519 + 150.262) / 2 = 238.390,50 lire; arrotondato all'unità: 238.391 lire"));
    }

    void curvaDegliAnni_data()
    {
        QTest::addColumn<double>("A");
        QTest::addColumn<int>("punti");
        QTest::addColumn<double>("fine");
        QTest::newRow("anni interi") << 2.0 << 11 << 10.0;
        QTest::newRow("anni non interi") << 2.5 << 12 << 10.0;
        QTest::newRow("oltre dieci") << 12.5 << 15 << 13.0;
    }
    void curvaDegliAnni()
    {
        QFETCH(double, A);
        QFETCH(int, punti);
        QFETCH(double, fine);
        const CurvaAnni c = curvaAnni({1e6, 5e5, A, 1000});
        QVERIFY(c.nonDisponibile.isEmpty());
        QCOMPARE(c.punti.size(), punti);
        QCOMPARE(c.da, 0.0);
        QCOMPARE(c.a, fine);
        QCOMPARE(*c.punti[0].massimo, 400000.0); // nothing discounted at year 0
        for (qsizetype i = 0; i < c.punti.size(); ++i) {
            const auto v = valutaArea(1e6, 5e5, c.punti[i].anni, 1000);
            QCOMPARE(c.punti[i].massimo, v.r[1]);
            QCOMPARE(c.punti[i].minimo, v.r[2]);
            QCOMPARE(c.punti[i].medio, v.r[3]);
            QVERIFY(i == 0 || c.punti[i].anni > c.punti[i - 1].anni);
        }
    }

    void procedimentoNonCalcolabile()
    {
        // More than 100 years: no section prints a figure.
        const DatiStimaArea oltre{1e6, 5e5, 150, 1000};
        const Procedimento p = procedimentoStimaArea(oltre, QStringLiteral("€"));
        QVERIFY(p.passi.isEmpty());
        QVERIFY(p.nonDisponibile.startsWith(QStringLiteral("Con 150 anni per la redditività (più di 100)")));
        QVERIFY(!tabellaSensibilita(oltre).nonDisponibile.isEmpty());
        QVERIFY(curvaAnni(oltre).punti.isEmpty() && !curvaAnni(oltre).nonDisponibile.isEmpty());
        // No surface: the per-m² results say why.
        const Procedimento senza = procedimentoStimaArea({1e6, 5e5, 2, 0}, QStringLiteral("€"));
        QCOMPARE(senza.passi[3].righe,
                 QStringList{QStringLiteral("valore non calcolabile: la superficie del terreno è zero o manca")});
        QVERIFY(senza.passi[5].righe[0].startsWith(nonCalcolabile));
        // Beyond 15 digits: the totals cannot be computed, nor the table around them.
        const DatiStimaArea enorme{1e20, 0, 2, 1000};
        QVERIFY(procedimentoStimaArea(enorme, {}).passi[0].righe[0].startsWith(nonCalcolabile));
        QVERIFY(!tabellaSensibilita(enorme).nonDisponibile.isEmpty());
        QVERIFY(!curvaAnni(enorme).nonDisponibile.isEmpty());
        QVERIFY(!curvaAnni({1e6, 5e5, -3, 1000}).nonDisponibile.isEmpty());
        // Thousands of negative years: a discount factor beyond any figure is not printed as "inf".
        const Procedimento negativi = procedimentoStimaArea({0, 1.78e-306, -7619, 1000}, QStringLiteral("€"));
        QVERIFY2(negativi.passi[1].righe[1].endsWith(nonCalcolabile), qPrintable(negativi.passi[1].righe[1]));
    }
    // The plot estimate's data check, shared by the window and the batch: the first figure
    // missing, then the first one questioned; nothing for figures that can be used.
    void rifiutoStimaArea_data()
    {
        QTest::addColumn<QStringList>("figure"); // V, C, A, S as typed
        QTest::addColumn<QString>("atteso");     // empty: accepted
        const auto caso = [](const char *nome, QStringList f, const char *atteso) {
            QTest::newRow(nome) << f << QString::fromUtf8(atteso);
        };
        caso("esempio", {"1000000", "500000", "2", "1000"}, "");
        caso("all'italiana", {"1.500.000", "800.000,50", "2,5", "0,5"}, "");
        caso("vecchio file col punto", {"1200000", "650000", "2.5", "100.5"}, "");
        caso("anni zero, superficie zero", {"1", "1", "0", "0"}, "");
        caso("cento anni", {"1", "1", "100", "1"}, "");
        caso("valore vuoto", {"", "", "", ""}, "Digitare il valore di mercato del fabbricato.");
        caso("superficie vuota", {"1", "1", "2", ""}, "Digitare la superficie del terreno.");
        caso("anni -3", {"1200000", "650000", "-3", "1500"},
             "Il dato «-3» di 'Anni per redditività' è un numero negativo, che la stima non ammette.");
        caso("anni -100", {"1200000", "650000", "-100", "1500"},
             "Il dato «-100» di 'Anni per redditività' è un numero negativo, che la stima non ammette.");
        caso("oltre cento anni", {"1200000", "650000", "100,5", "1500"},
             "Il dato «100,5» di 'Anni per redditività' è un numero di anni oltre 100, che la stima non ammette.");
        caso("costi negativi", {"1200000", "-650000", "3", "1500"},
             "Il dato «-650000» di 'Costi totali' è un numero negativo, che la stima non ammette.");
        caso("lettere", {"abc", "1", "1", "1"},
             "Il dato «abc» di 'Valore di mercato del fabbricato' non è un numero; scrivere ad esempio "
             "1.250.000 oppure 1250000.");
        caso("nan", {"1", "nan", "1", "1"},
             "Il dato «nan» di 'Costi totali' non è un numero; scrivere ad esempio 800000 oppure 800000,50.");
        caso("inf", {"1", "1", "1", "inf"},
             "Il dato «inf» di 'Superficie del terreno in mq.' non è un numero; scrivere ad esempio 1200 oppure 850,5.");
        caso("1e308", {"1e308", "1", "1", "1"},
             "Il dato «1e308» di 'Valore di mercato del fabbricato' non è un numero; scrivere ad esempio "
             "1.250.000 oppure 1250000.");
        caso("virgola ambigua", {"1", "1", "1", "1,500"},
             "Il dato «1,500» di 'Superficie del terreno in mq.' è ambiguo; scrivere 1500 oppure 1,5.");
        caso("punto ambiguo", {"1", "1", "1", "1.200"},
             "Il dato «1.200» di 'Superficie del terreno in mq.' è ambiguo; scrivere 1200 oppure 1,2.");
        caso("anni lettere", {"1", "1", "due", "1"},
             "Il dato «due» di 'Anni per redditività' non è un numero; scrivere ad esempio 2 oppure 2,5.");
        caso("enorme", {"1", "1", "1", QString(20, u'9')},
             "Il dato «99999999999999999999» di 'Superficie del terreno in mq.' è un numero troppo grande per il calcolo.");
    }
    void rifiutoStimaArea()
    {
        QFETCH(QStringList, figure);
        QFETCH(QString, atteso);
        const auto no = perix::rifiutoStimaArea({figure[0], figure[1], figure[2], figure[3]});
        QCOMPARE(no.value_or(QString()), atteso);
        // The note beside each field says the same of the figure the check names.
        bool segnato = false;
        for (int f = ValoreMercato; f <= Superficie; ++f)
            segnato = segnato || notaFigura(FiguraArea(f), figure[f]).has_value();
        QCOMPARE(segnato, !atteso.isEmpty() && !atteso.startsWith(QStringLiteral("Digitare")));
    }

    // A report prints each typed figure as the calculation read it, decimals included: read
    // back, the printed figure is the very value the results come from.
    void figureStampate_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("stima"); // as the plot report prints it
        QTest::addColumn<QString>("costo"); // as the typology and height reports print it
        QTest::newRow("anni 3,5") << "3,5" << "3,5" << "3,5";
        QTest::newRow("decimali di un importo") << "1.200.000,50" << "1.200.000,5" << "1.200.000,5";
        QTest::newRow("mezzo") << "0,5" << "0,5" << "0,5";
        QTest::newRow("intero senza punti") << "1200000" << "1.200.000" << "1.200.000";
        QTest::newRow("costo 2,5") << "2,5" << "2,5" << "2,5";
        QTest::newRow("negativo") << "-420,25" << "-420,25" << "-420,25";
        QTest::newRow("vuoto") << "" << "" << "";
        QTest::newRow("lettere") << "abc" << "abc" << "abc";
    }
    void figureStampate()
    {
        QFETCH(QString, testo);
        QFETCH(QString, stima);
        QFETCH(QString, costo);
        QCOMPARE(figuraStampata(testo), stima);
        QCOMPARE(costoStampato(testo), costo);
        if (const auto letto = letturaLocale(stima))
            QCOMPARE(*letto, letturaStima(testo).valore);
        // One figure, one rounding: the chosen row computed from the printed cost is the
        // row computed from the typed one.
        if (const auto C = letturaLocale(testo)) {
            const auto stampato = letturaLocale(costo);
            QVERIFY(stampato.has_value());
            for (int k : {1, 5, 9})
                QCOMPARE(calcolaTipologie(k, *stampato).edificio[std::size_t(k)],
                         calcolaTipologie(k, *C).edificio[std::size_t(k)]);
            QCOMPARE(calcolaAltezze(4, *stampato).varicosti[4], calcolaAltezze(4, *C).varicosti[4]);
        }
    }
};

QTEST_GUILESS_MAIN(ProvaCalcoli)
#include "prova_calcoli.moc"
