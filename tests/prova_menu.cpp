// The main window driven as a user would: currency, estimate, figures, class, guidance.
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "estimates/menu.h"
#include "core/numeri.h"
#include "supporto.h"

#include <QClipboard>
#include <QGroupBox>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTest>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;

class ProvaMenu : public QObject
{
    Q_OBJECT

    menu *m = nullptr;

    QString r(int k) { return testo(m, QStringLiteral("risultati(%1)").arg(k)); }
    bool visibile(const QString &nome) { return !trova(m, nome)->isHidden(); }
    bool abilitato(const QString &nome) { return trova(m, nome)->isEnabled(); }
    bool scelto(const QString &nome) { return trova<QRadioButton>(m, nome)->isChecked(); }

private slots:
    void initTestCase() { preparaAmbiente(); }
    void init()
    {
        azzeraScelte();
        m = registro::mostra<menu>();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    void statoIniziale()
    {
        QCOMPARE(m->windowTitle(), QStringLiteral("Perix: menu e stima area fabbricabile[*]"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("scegliere la valuta del calcolo"));
        QVERIFY(!abilitato("aree"));
        QVERIFY(!abilitato("valoremercato"));
        QVERIFY(!visibile("risultati(1)"));
        QVERIFY(!visibile("caratt"));
        QVERIFY(!visibile("attento"));
        QCOMPARE(testo(m, "soldi"), QString());
        QCOMPARE(m->size(), QSize(640, 455));
    }

    void valuta()
    {
        clicca(m, "moneta(1)");
        QCOMPARE(Modulo::valuta, QStringLiteral("in lire"));
        QCOMPARE(testo(m, "soldi"), QStringLiteral("Valori in lire"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("cliccare sul tasto del tipo di stima prescelto"));
        QVERIFY(abilitato("aree") && abilitato("altezze"));
        // The four cost windows get the caption at once.
        QCOMPARE(registro::seEsiste<variocosto>()->soldi()->text(), QStringLiteral("Valori in lire"));
        clicca(m, "moneta(2)");
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(registro::seEsiste<risultatisintetici>()->soldi()->text(), QStringLiteral("Valori in euro"));
    }

    void esempioSvoltoDigitato()
    {
        stimaArea(m);
        const QStringList attesi{"", "349.375", "165.289", "257.332", "349", "165", "257"};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(r(k), attesi[k]);
        QVERIFY(!visibile("attento"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("leggere i risultati della stima"));
        QCOMPARE(messaggiMostrati(), 0);
    }

    void guidaPassoPerPasso()
    {
        clicca(m, "moneta(2)");
        clicca(m, "aree");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare il valore di mercato del fabbricato"));
        digita(m, "valoremercato", "1000");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare il dato dei costi totali"));
        digita(m, "costitotali", "500");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare gli anni per redditività"));
        digita(m, "anni", "0");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare la superficie del terreno"));
        digita(m, "superficie", "10");
        QCOMPARE(testo(m, "passo"), QStringLiteral("leggere i risultati della stima"));
        clicca(m, "sintetici");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare il costo per mq. di superficie lorda"));
        digita(m, "costolordo", "1200");
        QCOMPARE(testo(m, "passo"), QStringLiteral("scegliere una delle caratteristiche dell'edificio"));
        clicca(m, "tipologici");
        QCOMPARE(testo(m, "passo"), QStringLiteral("scegliere un altro tipo di stima"));
        QVERIFY(registro::seEsiste<risultatitipologie>()->isVisible());
    }

    void oltreCentoAnni()
    {
        stimaArea(m);
        digita(m, "anni", "100");
        QCOMPARE(messaggiMostrati(), 0);
        digita(m, "anni", "100.5");
        const auto ultimo = ultimoMostrato();
        QCOMPARE(ultimo.testo, QStringLiteral("E' una esagerazione pensare a oltre 100 anni per la redditività!"));
        QCOMPARE(ultimo.icona, Icona::Stop);
        QCOMPARE(ultimo.titolo, Modulo::titolocontrollo);
        // No figure of the earlier years stays beside the refused ones.
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(r(k), nonCalcolabile);
        digita(m, "costitotali", "750000"); // negative results, but the years are still refused
        QVERIFY(!visibile("attento"));
        dialoghi::prova::azzera();
        digita(m, "anni", "2");
        QCOMPARE(r(1), QStringLiteral("131.015"));
        QVERIFY(visibile("attento"));
    }

    void anniConVirgola()
    {
        stimaArea(m, "1000000", "500000", "2,5", "1000");
        QCOMPARE(r(1), QStringLiteral("337.754")); // 2,5 read the Italian way: 400000 / 1,07^2,5
        QVERIFY(!visibile("notelettura"));
    }

    void negativiEAvviso()
    {
        stimaArea(m, "1000000", "750000", "0", "1000");
        QCOMPARE(r(1), QStringLiteral("150.000"));
        QCOMPARE(r(5), QStringLiteral("-50"));
        QVERIFY(visibile("attento"));
        digita(m, "costitotali", "100000");
        QVERIFY(!visibile("attento"));
    }

    void superficieVuota()
    {
        stimaArea(m);
        QCOMPARE(r(6), QStringLiteral("257"));
        digita(m, "superficie", "");
        QCOMPARE(r(4), nonCalcolabile);
        QCOMPARE(r(5), nonCalcolabile);
        QCOMPARE(r(6), nonCalcolabile); // no average left over from the old surface
    }

    void ingressiStrani_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valore");
        QTest::newRow("lettere") << "valoremercato" << "abc";
        QTest::newRow("meno solo") << "costitotali" << "-";
        QTest::newRow("migliaia col punto") << "valoremercato" << "1.500";
        QTest::newRow("decimali con virgola") << "superficie" << "1500,5";
        QTest::newRow("enorme") << "valoremercato" << QString(310, u'9');
        QTest::newRow("anni negativi") << "anni" << "-5";
        QTest::newRow("anni frazionari") << "anni" << "0.5";
    }
    void ingressiStrani()
    {
        QFETCH(QString, campo);
        QFETCH(QString, valore);
        stimaArea(m);
        digita(m, campo, valore);
        for (int k = 1; k <= 6; ++k) {
            const QString t = r(k);
            QVERIFY2(!t.isEmpty(), qPrintable(t));
            QVERIFY2(!t.contains(QRegularExpression(QStringLiteral("inf|nan|\\de[-+]?\\d"))), qPrintable(t));
        }
    }

    void sceltaTipoAzzeraPannello()
    {
        stimaArea(m);
        clicca(m, "disaggregati");
        QCOMPARE(Modulo::tipostima, 2);
        QVERIFY(!visibile("risultati(1)"));
        QVERIFY(abilitato("valoremercato") && !abilitato("anni"));
        QVERIFY(visibile("caratt") && abilitato("caratt"));
        QCOMPARE(testo(m, "valoremercato"), QStringLiteral("1000000")); // typed texts stay
        digita(m, "costitotali", "");
        QVERIFY(!abilitato("caratt"));
    }

    void classeConSintetici()
    {
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        QVERIFY(!abilitato("caratt"));
        digita(m, "costolordo", "1200");
        QVERIFY(abilitato("caratt"));
        clicca(m, "Option1(2)");
        QCOMPARE(Modulo::classeedificio.value_or(-1), 2);
        QCOMPARE(m->descrizioneclasse(), QStringLiteral("Edificio di tipo medio"));
        auto *rs = registro::seEsiste<risultatisintetici>();
        QVERIFY(rs && rs->isVisible());
        QCOMPARE(testo(rs, "rissint(2)"), QStringLiteral("1.100"));
        QCOMPARE(testo(rs, "rissint2(2)"), QStringLiteral("1.200"));
        QCOMPARE(testo(rs, "rissint3(2)"), QStringLiteral("1.500"));
        QVERIFY(rs->iconaVisibile(2) && !rs->iconaVisibile(1) && !rs->iconaVisibile(3));
        // Another class recomputes all three columns from the one typed cost.
        digita(m, "costolordo", "1.500");
        clicca(m, "Option1(3)");
        QCOMPARE(testo(rs, "rissint3(2)"), QStringLiteral("1.500"));
        QCOMPARE(testo(rs, "rissint2(2)"), QStringLiteral("1.200"));
        QVERIFY(rs->iconaVisibile(3) && !rs->iconaVisibile(2));
    }

    void costoLordoNonNumerico()
    {
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        digita(m, "costolordo", "12abc");
        QVERIFY(!abilitato("caratt")); // the class costs could not read it
        trova(m, "caratt")->setEnabled(true); // a click that reaches the class anyway is refused
        clicca(m, "Option1(1)");
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QVERIFY(ultimoMessaggio().contains(QStringLiteral("non è un numero valido")));
        auto *rs = registro::seEsiste<risultatisintetici>();
        QCOMPARE(testo(rs, "rissint(2)"), QString()); // nothing derived
        QVERIFY(!rs->iconaVisibile(1));
    }

    void valoreNonNumericoConDisaggregati()
    {
        clicca(m, "moneta(2)");
        clicca(m, "disaggregati");
        digita(m, "valoremercato", "1000000");
        digita(m, "costitotali", "8OO.OOO"); // letters O for zeros: the plain reading still sees 8
        QVERIFY(abilitato("caratt"));
        clicca(m, "Option1(2)");
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QVERIFY(ultimoMessaggio().contains(QStringLiteral("\"8OO.OOO\" non è un numero valido")));
        auto *rd = registro::seEsiste<risultatidisaggregati>();
        QVERIFY(!rd || !rd->isVisible());
        QCOMPARE(Modulo::percentualiclasse[2], 2530.0); // the schedule is still preset
    }

    void classeConDisaggregati()
    {
        clicca(m, "moneta(2)");
        clicca(m, "disaggregati");
        digita(m, "valoremercato", "1000000");
        // Costs empty: the schedule is preset but nothing opens.
        trova<QGroupBox>(m, "caratt")->setEnabled(true);
        clicca(m, "Option1(3)");
        QCOMPARE(Modulo::percentualiclasse[12], 500.0);
        auto *rd = registro::seEsiste<risultatidisaggregati>();
        QVERIFY(!rd || !rd->isVisible());
        digita(m, "costitotali", "800.000");
        clicca(m, "Option1(1)");
        QCOMPARE(Modulo::percentualiclasse[1], 450.0);
        rd = registro::seEsiste<risultatidisaggregati>();
        QVERIFY(rd && rd->isVisible());
        QCOMPARE(testo(rd, "tipoedi"), QStringLiteral("Edificio di tipo economico"));
        QCOMPARE(testo(rd, "vm"), QStringLiteral("1.000.000"));
        QCOMPARE(testo(rd, "cc"), QStringLiteral("800.000"));
        QCOMPARE(testo(rd, "profitto"), QStringLiteral("200.000"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("scegliere una delle caratteristiche dell'edificio"));
    }

    void controllo_data()
    {
        QTest::addColumn<QString>("stima");
        QTest::addColumn<QStringList>("campi"); // name=value
        QTest::addColumn<QString>("atteso");
        QTest::addColumn<bool>("stop");
        QTest::newRow("senza valuta") << "" << QStringList{} << "Scegliere il tipo di valuta." << true;
        QTest::newRow("senza stima") << "-" << QStringList{} << "Scegliere il tipo di stima da effettuare." << true;
        QTest::newRow("area senza valore") << "aree" << QStringList{}
                                           << "Digitare il valore di mercato del fabbricato." << true;
        QTest::newRow("area senza costi") << "aree" << QStringList{"valoremercato=1"} << "Digitare i costi totali." << true;
        QTest::newRow("area senza anni") << "aree" << QStringList{"valoremercato=1", "costitotali=1"}
                                         << "Digitare il numero di anni per redditività." << true;
        QTest::newRow("area senza superficie") << "aree" << QStringList{"valoremercato=1", "costitotali=1", "anni=0"}
                                               << "Digitare la superficie del terreno." << true;
        QTest::newRow("area completa con anni zero")
            << "aree" << QStringList{"valoremercato=1", "costitotali=1", "anni=0", "superficie=3"}
            << "I dati sono stati immessi correttamente." << false;
        // Filled is not enough when the valuation reads a figure otherwise than meant.
        QTest::newRow("area con lettere") << "aree" << QStringList{"valoremercato=1", "costitotali=1", "anni=0", "superficie=x"}
            << "Il dato «x» di 'Superficie del terreno in mq.' non è un numero; scrivere ad esempio 1200 oppure 850,5." << true;
        QTest::newRow("area con un gruppo di migliaia") << "aree" << QStringList{"valoremercato=1.500", "costitotali=1", "anni=0", "superficie=3"}
            << "Il dato «1.500» di 'Valore di mercato del fabbricato' è ambiguo; scrivere 1500 oppure 1,5." << true;
        QTest::newRow("area all'italiana") << "aree" << QStringList{"valoremercato=1.500.000", "costitotali=800.000,50", "anni=2,5", "superficie=0,5"}
            << "I dati sono stati immessi correttamente." << false;
        QTest::newRow("area con anni negativi") << "aree" << QStringList{"valoremercato=1", "costitotali=1", "anni=-3", "superficie=3"}
            << "Il dato «-3» di 'Anni per redditività' è un numero negativo, che la stima non ammette." << true;
        QTest::newRow("area enorme") << "aree" << QStringList{"valoremercato=1", "costitotali=1", "anni=0", "superficie=" + QString(40, u'9')}
            << "Il dato «99999999999999999999999999999…» di 'Superficie del terreno in mq.' è un numero troppo grande per il calcolo." << true;
        QTest::newRow("disaggregati senza classe") << "disaggregati" << QStringList{"valoremercato=1", "costitotali=1"}
                                                   << "Scegliere il tipo di caratteristiche costruttive dell'edificio." << true;
        QTest::newRow("sintetici senza costo") << "sintetici" << QStringList{}
                                               << "Digitare il costo per mq. di superficie lorda." << true;
        QTest::newRow("sintetici senza classe") << "sintetici" << QStringList{"costolordo=5"}
                                                << "Scegliere il tipo di caratteristiche costruttive dell'edificio." << true;
        QTest::newRow("altezze") << "altezze" << QStringList{} << "I dati sono stati immessi correttamente." << false;
    }
    void controllo()
    {
        QFETCH(QString, stima);
        QFETCH(QStringList, campi);
        QFETCH(QString, atteso);
        QFETCH(bool, stop);
        if (!stima.isEmpty())
            clicca(m, "moneta(1)");
        if (!stima.isEmpty() && stima != "-")
            clicca(m, stima);
        for (const QString &c : campi)
            digita(m, c.section('=', 0, 0), c.section('=', 1));
        m->raise();
        dialoghi::prova::azzera();
        QVERIFY(attiva(m, "controlla"));
        QCOMPARE(messaggiMostrati(), 1);
        QCOMPARE(ultimoMessaggio(), atteso);
        QCOMPARE(ultimoMostrato().icona, stop ? Icona::Stop : Icona::Informazione);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        // The toolbar's check button says the same.
        dialoghi::prova::azzera();
        m->Toolbar1_ButtonClick(20);
        QCOMPARE(ultimoMessaggio(), atteso);
    }

    void aiuto_data()
    {
        QTest::addColumn<QString>("stima");
        QTest::addColumn<QStringList>("campi");
        QTest::addColumn<QString>("inizio");
        QTest::addColumn<int>("icona");
        QTest::newRow("senza valuta") << "" << QStringList{} << "Scegliere il tipo di moneta" << int(Icona::Informazione);
        QTest::newRow("senza stima") << "-" << QStringList{} << "Scegliere il tipo di stima da effettuare cliccando"
                                     << int(Icona::Informazione);
        QTest::newRow("valore zero") << "aree" << QStringList{"valoremercato=0"}
                                     << "Digitare un dato significativo per 'Valore di mercato" << int(Icona::Informazione);
        QTest::newRow("valore illeggibile") << "aree" << QStringList{"valoremercato=1.85O.000"}
                                            << "Il dato «1.85O.000» di 'Valore di mercato del fabbricato' non è un numero"
                                            << int(Icona::Informazione);
        QTest::newRow("costi zero") << "aree" << QStringList{"valoremercato=5"}
                                    << "Digitare un dato significativo per 'Costi totali'" << int(Icona::Informazione);
        QTest::newRow("costi oltre il valore, prima della superficie")
            << "aree" << QStringList{"valoremercato=5", "costitotali=6"} << "Attenzione: sono stati digitati costi superiori"
            << int(Icona::Domanda);
        QTest::newRow("superficie zero") << "aree" << QStringList{"valoremercato=6", "costitotali=5", "anni=1"}
                                         << "Digitare un dato significativo per 'Superficie" << int(Icona::Informazione);
        QTest::newRow("anni zero") << "aree" << QStringList{"valoremercato=6", "costitotali=5", "anni=0", "superficie=3"}
                                   << "Attenzione: il valore degli 'Anni per redditività' è zero" << int(Icona::Informazione);
        QTest::newRow("costo lordo zero") << "sintetici" << QStringList{}
                                          << "Digitare un dato significativo per 'Costo per mq." << int(Icona::Informazione);
        QTest::newRow("senza classe") << "sintetici" << QStringList{"costolordo=3"}
                                      << "Scegliere il tipo di caratteristiche dell'edificio." << int(Icona::Informazione);
        QTest::newRow("altrimenti") << "tipologici" << QStringList{} << "Scegliere tra le seguenti possibilità:\n- digitare"
                                    << int(Icona::Informazione);
    }
    void aiuto()
    {
        QFETCH(QString, stima);
        QFETCH(QStringList, campi);
        QFETCH(QString, inizio);
        QFETCH(int, icona);
        if (!stima.isEmpty())
            clicca(m, "moneta(2)");
        if (!stima.isEmpty() && stima != "-")
            clicca(m, stima);
        for (const QString &c : campi)
            digita(m, c.section('=', 0, 0), c.section('=', 1));
        dialoghi::prova::azzera();
        QVERIFY(clicca(m, "aiuto"));
        QVERIFY2(ultimoMessaggio().startsWith(inizio), qPrintable(ultimoMessaggio()));
        QVERIFY2(!ultimoMessaggio().endsWith(QStringLiteral("..")), qPrintable(ultimoMessaggio()));
        QCOMPARE(int(ultimoMostrato().icona), icona);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloaiuto);
    }

    void clicSullaSceltaGiaFatta()
    {
        // After correcting the cost the user picks the same class again: that click recomputes.
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        digita(m, "costolordo", "1200");
        clicca(m, "Option1(2)");
        auto *rs = registro::seEsiste<risultatisintetici>();
        QCOMPARE(testo(rs, "rissint2(2)"), QStringLiteral("1.200"));
        digita(m, "costolordo", "1300");
        clicca(m, "Option1(2)");
        QCOMPARE(testo(rs, "rissint2(2)"), QStringLiteral("1.300"));
        // One click, one run: a cost that is not a number gives one message, not two.
        digita(m, "costolordo", "13x");
        trova(m, "caratt")->setEnabled(true); // the buttons wait for a number; the handler still refuses one
        dialoghi::prova::azzera();
        clicca(m, "Option1(1)");
        QCOMPARE(messaggiMostrati(), 1);
        dialoghi::prova::azzera();
        clicca(m, "Option1(1)");
        QCOMPARE(messaggiMostrati(), 1);
        // The same for the currency and the kind of estimate.
        Modulo::valuta.clear();
        clicca(m, "moneta(2)");
        QCOMPARE(Modulo::valuta, QStringLiteral("in euro"));
        digita(m, "costolordo", "");
        clicca(m, "sintetici");
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare il costo per mq. di superficie lorda"));
    }

    void noteDiLettura()
    {
        auto *nota = trova<QLabel>(m, "notelettura");
        stimaArea(m, "1.500", "800000", "2,500", "1000");
        QVERIFY(visibile("notelettura"));
        QCOMPARE(nota->text(), QStringLiteral("Da correggere: Valore di mercato, Anni. Il segno in ogni "
                                              "campo dice che cosa non va e come scriverlo."));
        digita(m, "anni", "2");
        QCOMPARE(nota->text(), QStringLiteral("Valore di mercato non letto: «1.500» è ambiguo; scrivere 1500 oppure 1,5"));
        QVERIFY(nota->heightForWidth(nota->contentsRect().width()) <= nota->contentsRect().height());
        QCOMPARE(trova<QLineEdit>(m, "valoremercato")->actions().constFirst()->toolTip(), nota->text());
        digita(m, "superficie", "1000 mq");
        QCOMPARE(nota->text(), QStringLiteral("Da correggere: Valore di mercato, Superficie. Il segno in ogni "
                                              "campo dice che cosa non va e come scriverlo."));
        digita(m, "superficie", "1000");
        QCOMPARE(nota->textFormat(), Qt::PlainText);
        digita(m, "valoremercato", "1500000");
        digita(m, "anni", "2.5");
        QVERIFY(!visibile("notelettura"));
        // The other estimates do not read the figures plainly: no note there.
        digita(m, "valoremercato", "abc");
        QVERIFY(visibile("notelettura"));
        clicca(m, "disaggregati");
        QVERIFY(!visibile("notelettura"));
    }

    // A figure that is no number, or is ambiguous, computes nothing: the results it feeds
    // read "valore non calcolabile", no warning of negative results, and the note beside
    // the field says what is wrong and how to write it.
    void figuraIlleggibile_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valore");
        QTest::addColumn<int>("calcolati"); // results still computed: r1..r3 when only the surface is wrong
        QTest::addColumn<QString>("nota");
        QTest::newRow("lettera O") << "valoremercato" << "1.85O.000" << 0
                                   << "Valore di mercato non letto: «1.85O.000» non è un numero; scrivere ad esempio "
                                      "1.250.000 oppure 1250000";
        QTest::newRow("lettere nei costi") << "costitotali" << "abc" << 0
                                           << "Costi totali non letti: «abc» non è un numero; scrivere ad esempio "
                                              "800000 oppure 800000,50";
        QTest::newRow("superficie ambigua") << "superficie" << "1.200" << 3
                                            << "Superficie non letta: «1.200» è ambiguo; scrivere 1200 oppure 1,2";
    }
    void figuraIlleggibile()
    {
        QFETCH(QString, campo);
        QFETCH(QString, valore);
        QFETCH(int, calcolati);
        QFETCH(QString, nota);
        stimaArea(m, "1000000", "950000", "2", "1000"); // negative results: the warning shows
        QVERIFY(visibile("attento"));
        digita(m, campo, valore);
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(r(k) == nonCalcolabile, k > calcolati);
        QVERIFY(!visibile("attento"));
        QCOMPARE(testo(m, "notelettura"), nota);
        QCOMPARE(testo(m, "passo"), QStringLiteral("correggere il dato segnalato: la nota accanto dice come scriverlo"));
    }

    void caratteriDiControllo()
    {
        stimaArea(m);
        auto *e = trova<QLineEdit>(m, "superficie");
        QStringList visti;
        connect(e, &QLineEdit::textChanged, this, [&visti](const QString &t) { visti << t; });
        e->setText(QStringLiteral("12\t3\x01\x7f"));
        QCOMPARE(e->text(), QStringLiteral("123"));
        QApplication::clipboard()->setText(QStringLiteral("4\r\n5\x1b"));
        e->end(false);
        e->paste();
        QCOMPARE(e->text(), QStringLiteral("12345"));
        QCOMPARE(visti, (QStringList{"123", "12345"})); // the change never sees them
        QCOMPARE(r(4), QStringLiteral("28")); // 349375 / 12345
    }

    void nonCalcolabileIntero()
    {
        stimaArea(m, "1000000", "500000", "2", "");
        for (int k = 1; k <= 6; ++k) {
            digita(m, "anni", k <= 3 ? "101" : "2");
            dialoghi::prova::azzera();
            auto *l = trova<QLabel>(m, QStringLiteral("risultati(%1)").arg(k));
            QCOMPARE(l->text(), nonCalcolabile);
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width() - 2 * l->margin(),
                     qPrintable(l->objectName()));
        }
        // A figure that fits keeps the font of the fields.
        digita(m, "superficie", "1000");
        QCOMPARE(trova<QLabel>(m, "risultati(1)")->font().pointSizeF(),
                 trova<QLineEdit>(m, "valoremercato")->font().pointSizeF());
    }

    void valutaInBassoASinistra()
    {
        // The AIUTO hint sends the user to the currency buttons "in basso a sinistra".
        const QRect valuta = trova(m, "Frame1")->geometry();
        const QSize area = trova(m, "Frame1")->parentWidget()->size();
        QVERIFY(valuta.center().x() < area.width() / 2);
        QVERIFY(valuta.center().y() > area.height() / 2);
        for (const char *altro : {"Frame2", "Frame3", "caratt", "notelettura"})
            QVERIFY2(!valuta.intersects(trova(m, altro)->geometry()), altro);
    }

    void controlloNonCambiaNulla()
    {
        stimaArea(m);
        attiva(m, "controlla");
        clicca(m, "aiuto");
        QCOMPARE(r(1), QStringLiteral("349.375"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("leggere i risultati della stima"));
    }
};

QTEST_MAIN(ProvaMenu)
#include "prova_menu.moc"
