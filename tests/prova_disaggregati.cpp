// The disaggregated costs window driven through the main window: the two schedules, the
// X removals, the percentages file, the archive record, the report.
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "core/calcoli.h"
#include "core/calcoli_disaggregati.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "core/numeri.h"
#include "supporto.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;

class ProvaDisaggregati : public QObject
{
    Q_OBJECT

    menu *m = nullptr;
    risultatidisaggregati *d = nullptr;
    QTemporaryDir cartella;
    QStringList aperti;

    QString percorso(const QString &nome) { return cartella.filePath(nome); }

    // The main window hands the figures over, as a user does it.
    void consegna(int classe, const QString &V = "1.200.000", const QString &C = "1.000.000")
    {
        clicca(m, "moneta(2)");
        clicca(m, "disaggregati");
        digita(m, "valoremercato", V);
        digita(m, "costitotali", C);
        clicca(m, QStringLiteral("Option1(%1)").arg(classe));
        d = registro::seEsiste<risultatidisaggregati>();
    }
    QString t(const char *nome, int k) { return testo(d, nome, k); }
    void p2(int k, const QString &v) { digita(d, QStringLiteral("p2(%1)").arg(k), v); }
    void x(int k) { clicca(d, QStringLiteral("annulla(%1)").arg(k)); }
    double sommaColonna(const char *nome)
    {
        double s = 0;
        for (int k = 1; k <= categorie; ++k)
            s += letturaLocale(t(nome, k)).value_or(0);
        return s;
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        QVERIFY(cartella.isValid());
        Modulo::impostaApertura([this](const QString &a) { aperti << a; return true; });
    }
    void init()
    {
        azzeraScelte();
        m = registro::mostra<menu>();
        d = nullptr;
        aperti.clear();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    void schemaDellaClasse_data()
    {
        QTest::addColumn<int>("classe");
        QTest::addColumn<int>("riga");
        QTest::addColumn<QString>("p1");
        QTest::addColumn<QString>("ris");
        QTest::newRow("economiche, fondazioni") << 1 << 1 << "4,50" << "45.000";
        QTest::newRow("economiche, cemento armato") << 1 << 2 << "27,20" << "272.000";
        QTest::newRow("economiche, senza condizionamento") << 1 << 12 << "0,00" << "0";
        QTest::newRow("evolute, condizionamento") << 3 << 12 << "5,00" << "50.000";
    }
    void schemaDellaClasse()
    {
        QFETCH(int, classe);
        QFETCH(int, riga);
        QFETCH(QString, p1);
        QFETCH(QString, ris);
        consegna(classe);
        QVERIFY(d && d->isVisible());
        QCOMPARE(t("p1", riga), p1);
        QCOMPARE(t("ris", riga), ris);
        QCOMPARE(sommaColonna("ris"), 1000000.0);
        QCOMPARE(testo(d, "cc"), QStringLiteral("1.000.000"));
        QCOMPARE(testo(d, "profitto"), QStringLiteral("200.000"));
        QCOMPARE(testo(d, "tipoedi"), descrizioneClasse(classe));
    }

    void percentualiDigitate()
    {
        consegna(2);
        p2(1, "60");
        p2(2, "39");
        QCOMPARE(t("ris2", 1), QString()); // 99: nothing yet
        p2(2, "40");
        QCOMPARE(t("ris2", 1), QStringLiteral("600.000"));
        QCOMPARE(t("ris2", 2), QStringLiteral("400.000"));
        QCOMPARE(t("ris2", 3), QString()); // never typed: left as it was
        // Emptied with the others at 100: its amount goes, the column adds up to the cost.
        p2(3, "0");
        p2(2, "");
        p2(1, "100");
        QCOMPARE(t("ris2", 2), QString());
        QCOMPARE(sommaColonna("ris2"), 1000000.0);
        // A typed text that is no number counts 0 and has no amount.
        p2(3, "abc");
        QCOMPARE(t("ris2", 3), QString());
        QCOMPARE(t("ris2", 1), QStringLiteral("1.000.000"));
    }

    void centoConDecimali_data()
    {
        QTest::addColumn<QStringList>("valori");
        QTest::addColumn<bool>("cento");
        QTest::newRow("0,1 + 64,1 + 35,8") << QStringList{"0,1", "64,1", "35,8"} << true;
        QTest::newRow("99,99") << QStringList{"50", "49,99"} << false;
        QTest::newRow("sedici decimali") << QStringList{"6,25", "6,25", "6,25", "6,25", "6,25", "6,25", "6,25", "6,25",
                                                        "6,25", "6,25", "6,25", "6,25", "6,25", "6,25", "6,25", "6,25"}
                                         << true;
    }
    void centoConDecimali()
    {
        QFETCH(QStringList, valori);
        QFETCH(bool, cento);
        consegna(1);
        for (int k = 0; k < valori.size(); ++k)
            p2(k + 1, valori[k]);
        QCOMPARE(!t("ris2", 1).isEmpty(), cento);
        dialoghi::prova::accodaFile(percorso("Perix-percentuali-cento"));
        QVERIFY(clicca(d, "archiviap"));
        QCOMPARE(QFile::exists(percorso("Perix-percentuali-cento")), cento);
        if (!cento)
            QCOMPARE(ultimoMessaggio(), QStringLiteral("La somma delle percentuali è uguale a  99.99: correggerla per avere 100."));
        dialoghi::prova::azzera();
        QFile::remove(percorso("Perix-percentuali-cento"));
    }

    void rimozioneRipartisce()
    {
        consegna(3);
        x(12);
        QCOMPARE(t("p1", 12), QStringLiteral("0"));
        QCOMPARE(t("ris", 12), QStringLiteral("0"));
        QCOMPARE(t("p1", 1), QStringLiteral("3,68"));
        QCOMPARE(t("ris", 1), QStringLiteral("36.842"));
        x(5);
        double totale = 0;
        for (int k = 1; k <= categorie; ++k)
            totale += Modulo::percentualiclasse[std::size_t(k)];
        QVERIFY(std::fabs(totale - 10000) < 1e-6);
        QCOMPARE(Modulo::percentualiclasse[5], 0.0);
        QVERIFY(std::fabs(sommaColonna("ris") - 1000000) <= 8); // each amount rounded
        // No typed values: only the removed rows were touched on the typed side.
        QCOMPARE(t("p2", 12), QStringLiteral("0"));
        QCOMPARE(t("p2", 1), QString());
        QCOMPARE(d->modoricalcolo(), 0);
    }

    void rimozioneDigitate()
    {
        consegna(1);
        x(12); // preset 0: nothing moves on the preset side
        QCOMPARE(t("p1", 1), QStringLiteral("4,50"));
        p2(1, "50");
        p2(2, "50");
        x(1);
        QCOMPARE(t("p2", 1), QStringLiteral("0"));
        QCOMPARE(t("p2", 2), QStringLiteral("100,00"));
        QCOMPARE(t("ris2", 2), QStringLiteral("1.000.000"));
        QCOMPARE(t("p2", 3), QStringLiteral("0,00"));
        QCOMPARE(t("ris2", 3), QStringLiteral("0"));
        // The last category left cannot go, however its 100 is written.
        const QString prima = t("p1", 2);
        x(2);
        QCOMPARE(t("p2", 2), QStringLiteral("100,00"));
        QCOMPARE(t("p1", 2), prima);
        p2(2, "100");
        x(2);
        QCOMPARE(t("p2", 2), QStringLiteral("100"));
        QCOMPARE(t("ris2", 2), QStringLiteral("1.000.000"));
    }

    // The removed row's typed amount reads 0; the others follow the rounded percentage shown.
    void rimozioneDigitateArrotondate()
    {
        consegna(1);
        p2(1, "10");
        p2(2, "30");
        p2(3, "60");
        QCOMPARE(t("ris2", 1), QStringLiteral("100.000"));
        x(1);
        QCOMPARE(t("ris2", 1), QStringLiteral("0"));
        QCOMPARE(t("p2", 2), QStringLiteral("33,33"));
        QCOMPARE(t("ris2", 2), QStringLiteral("333.300"));
        QCOMPARE(t("ris2", 3), QStringLiteral("666.700"));
    }

    // A percentages file read while there was no cost base: the next hand-over from the
    // main window still fills the preset columns from its own figures.
    void percentualiSenzaBasePoiConsegna()
    {
        QByteArray record = "\"Valori in euro\",\"Edificio di tipo economico\",\"1.500.000\",\"1.000.000\",\"500.000\"\r\n";
        record += QByteArray("\"7\"\r\n").repeated(categorie);
        QVERIFY(scrivi(percorso("Perix-disaggr-vecchio"), record));
        QVERIFY(scrivi(percorso("Perix-percentuali-6040"), QByteArray("\"60\"\r\n\"40\"\r\n") + QByteArray("\r\n").repeated(14)));
        d = registro::mostra<risultatidisaggregati>();
        attivaConFile(d, "apri", percorso("Perix-disaggr-vecchio"));
        dialoghi::prova::accodaFile(percorso("Perix-percentuali-6040"));
        clicca(d, "aprip");
        QCOMPARE(t("ris", 1), QStringLiteral("7"));
        consegna(1, "1.200.000", "2.000.000");
        QCOMPARE(testo(d, "cc"), QStringLiteral("2.000.000"));
        QCOMPARE(t("ris", 1), QStringLiteral("90.000"));
        QCOMPARE(t("ris2", 1), QStringLiteral("1.200.000"));
        QCOMPARE(d->modoricalcolo(), 0);
    }

    void senzaTabellaNiente()
    {
        d = registro::mostra<risultatidisaggregati>();
        x(3);
        QCOMPARE(ultimoMessaggio(),
                 QStringLiteral("Impostare i costi disaggregati e scegliere la tipologia del fabbricato nella finestra Menu!"));
        QVERIFY(clicca(d, "preimp"));
        QCOMPARE(messaggiMostrati(), 2);
        QVERIFY(m->isVisible());
    }

    void baseDeiCostiMancante()
    {
        consegna(1);
        const QString ris1 = t("ris", 1);
        // Not a number in the main window: the amounts stay, a click says why.
        digita(m, "costitotali", "1.000.000 euro");
        p2(1, "100");
        QCOMPARE(t("ris", 1), ris1);
        QCOMPARE(t("ris2", 1), QString());
        x(3);
        QVERIFY(ultimoMessaggio().contains(QStringLiteral("non è un numero valido")));
        QCOMPARE(t("p1", 3), QStringLiteral("10,25"));
        // The status line says so until the figure reads again.
        QVERIFY(testo(d, "passo").contains(QStringLiteral("non è un numero valido")));
        digita(m, "costitotali", "1.000.000");
        p2(1, "90");
        QCOMPARE(testo(d, "passo"), QStringLiteral("leggere i risultati nella tabella di sinistra, azzerare con il "
                                                   "corrispondente tasto X i lavori non necessari"));
        // Empty: silently nothing, never zeros beside the figures.
        digita(m, "costitotali", "");
        p2(1, "50");
        QCOMPARE(t("ris", 1), ris1);
        dialoghi::prova::azzera();
        x(3);
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(t("p1", 3), QStringLiteral("10,25"));
    }

    void cancellaEPoiNienteDaStampare()
    {
        consegna(2);
        p2(1, "100");
        attiva(d, "cancella");
        for (int k : {1, 7, 16}) {
            QCOMPARE(t("p2", k), QStringLiteral("0"));
            QCOMPARE(t("ris2", k), QStringLiteral("0"));
            QCOMPARE(t("p1", k), QString());
        }
        QCOMPARE(testo(d, "vm"), QString());
        dialoghi::prova::azzera();
        attiva(d, "solodati");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da stampare: tornare alla finestra Menu o aprire un "
                                                   "file archiviato per prelevarne."));
        attiva(d, "controlla");
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
    }

    void slotDigitatiConLaFinestra()
    {
        consegna(1);
        p2(1, "70");
        chiudiTutto();
        d = registro::mostra<risultatidisaggregati>();
        QVERIFY(std::holds_alternative<std::monostate>(Modulo::percimmesse[1]));
    }

    void filePercentuali()
    {
        consegna(1);
        p2(1, "60");
        p2(2, "40");
        dialoghi::prova::accodaFile(percorso("Perix-percentuali-a"));
        QVERIFY(clicca(d, "archiviap"));
        const auto r = ultimoMostrato();
        QCOMPARE(r.titolo, QStringLiteral("Salva file (percentuali costi di costruzione disaggregati)"));
        QCOMPARE(r.file.nomeProposto, QStringLiteral("Perix-percentuali-"));
        QCOMPARE(r.file.indiceFiltro, 2);
        QCOMPARE(contenuto(percorso("Perix-percentuali-a")), QByteArray("\"60\"\r\n\"40\"\r\n") + QByteArray("\r\n").repeated(14));
        // Percentage commands keep their own name: "Salva" still asks for the record's.
        QCOMPARE(d->nomefile(), QString());

        consegna(1); // a fresh schedule on screen, then the file back
        p2(1, "10");
        dialoghi::prova::azzera();
        dialoghi::prova::accodaFile(percorso("Perix-percentuali-a"));
        QVERIFY(clicca(d, "aprip"));
        QCOMPARE(t("p2", 1), QStringLiteral("60"));
        QCOMPARE(t("p2", 2), QStringLiteral("40"));
        QCOMPARE(t("ris2", 1), QStringLiteral("600.000"));
        QCOMPARE(d->modoricalcolo(), 0);

        // A file read in part changes nothing and says why.
        QVERIFY(scrivi(percorso("Perix-percentuali-corto"), "\"20\"\r\n\"80\"\r\n"));
        dialoghi::prova::accodaFile(percorso("Perix-percentuali-corto"));
        clicca(d, "aprip");
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Impossibile aprire il file Perix-percentuali-corto")));
        QCOMPARE(t("p2", 1), QStringLiteral("60"));
        QCOMPARE(std::get<QString>(Modulo::percimmesse[1]), QStringLiteral("60"));
    }

    void recordArchivio()
    {
        consegna(3, "1.500.000");
        p2(1, "100");
        attivaConFile(d, "salva", percorso("Perix-disaggr-a"));
        const QByteArray dati = contenuto(percorso("Perix-disaggr-a"));
        QVERIFY(dati.startsWith("\"Valori in euro\",\"Edificio di caratteristiche evolute\",\"1.500.000\",\"1.000.000\","
                                "\"500.000\"\r\n\"35.000\"\r\n"));
        QCOMPARE(dati.count("\r\n"), 17);

        chiudiTutto();
        azzeraScelte();
        d = registro::mostra<risultatidisaggregati>();
        attivaConFile(d, "apri", percorso("Perix-disaggr-a"));
        QCOMPARE(testo(d, "vm"), QStringLiteral("1.500.000"));
        QCOMPARE(testo(d, "soldi"), QStringLiteral("Valori in euro"));
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(t("ris", 12), QStringLiteral("50.000"));
        QCOMPARE(t("p1", 12), QString()); // neither stored nor computed
        // No cost base in this fresh run: typing computes nothing, never zeros.
        p2(1, "100");
        QCOMPARE(t("ris", 12), QStringLiteral("50.000"));
        QCOMPARE(t("ris2", 1), QString());
        // Its own record: "Salva" writes back without asking.
        dialoghi::prova::azzera();
        attiva(d, "salva");
        QCOMPARE(dialoghi::prova::mostrati().size(), 0);
    }

    void rapporto()
    {
        consegna(1);
        p2(1, "100");
        attiva(d, "solodati");
        QCOMPARE(testo(d, "passo"), QStringLiteral("documento pronto: stamparlo o salvarlo dalla sua finestra"));
        const auto tabelle = tabelleDocumento(Modulo::worddoc);
        QCOMPARE(tabelle.size(), 2);
        QCOMPARE(cella(tabelle[0], 3, 1), QStringLiteral("1.000.000"));
        QCOMPARE(cella(tabelle[1], 0, 2), QStringLiteral("% preimpostata"));
        QCOMPARE(cella(tabelle[1], 1, 0), QStringLiteral(" 1"));
        QCOMPARE(cella(tabelle[1], 16, 1), QStringLiteral("imprevisti e manutenzioni"));
        QCOMPARE(cella(tabelle[1], 1, 4), QStringLiteral("100,00"));
        QCOMPARE(cella(tabelle[1], 1, 5), QStringLiteral("1.000.000"));
        QCOMPARE(cella(tabelle[1], 2, 4), QString());
        QVERIFY(Modulo::worddoc->toPlainText().contains(QStringLiteral("Costi disaggregati (Valori in euro)")));
    }

    void aiutoEWeb()
    {
        d = registro::mostra<risultatidisaggregati>();
        clicca(d, "aiuto");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("- I dati provengono dalla finestra Menu;\r- oppure aprire un file "
                                                   "appropriato (Perix-disaggr-...) per prelevarne;\r- il tasto X, accanto "
                                                   "alle varie voci di costo, consente di ridistribuire le percentuali "
                                                   "relative."));
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloaiuto);
        for (const char *b : {"terreni", "edifici", "archivio"})
            QVERIFY(clicca(d, b));
        QCOMPARE(aperti, (QStringList{Modulo::paginaterreni, Modulo::paginaedifici, Modulo::paginaarchivio}));
    }
};

QTEST_MAIN(ProvaDisaggregati)
#include "prova_disaggregati.moc"
