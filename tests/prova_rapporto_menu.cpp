// "Stampa dati finestra" from the main window: refusal, captions of the status line,
// and the report's contents taken from what is on screen.
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "core/calcoli_procedimento.h"
#include "estimates/menu.h"
#include "reports/finestrareport.h"
#include "reports/rapporti.h"
#include "supporto.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextTable>

using namespace perix;
using namespace perix::prova;

class ProvaRapportoMenu : public QObject
{
    Q_OBJECT

    menu *m = nullptr;

    QList<finestrareport *> rapporti() { return finestre<finestrareport>({}, true); }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
    }
    void init()
    {
        m = registro::mostra<menu>();
        dialoghi::prova::azzera();
    }
    void cleanup() { chiudiTutto(); }

    void soloPerAreeFabbricabili()
    {
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        const QString passo = testo(m, "passo");
        QVERIFY(attiva(m, "solodati"));
        QCOMPARE(ultimoMessaggio(),
                 QStringLiteral("La stampa di dati è significativa solo per la stima di aree fabbricabili: per gli "
                                "altri tipi di stima utilizzare le finestre successive."));
        QCOMPARE(ultimoMostrato().icona, dialoghi::Icona::Informazione);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        QCOMPARE(rapporti().size(), 0);
        QCOMPARE(testo(m, "passo"), passo);
    }

    void rapportoDellaStima()
    {
        stimaArea(m, "1000000", "500000", "2,5");
        m->Toolbar1_ButtonClick(6);
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(testo(m, "passo"), QStringLiteral("documento pronto: stamparlo o salvarlo dalla sua finestra"));
        QCOMPARE(rapporti().size(), 1);
        QTextDocument *doc = Modulo::worddoc;
        QVERIFY(doc);
        const QString t = doc->toPlainText();
        QVERIFY(t.contains(QStringLiteral("- Dati per la stima (valori in euro)")));
        QVERIFY(t.contains(QStringLiteral("- Risultati della stima (valori in euro)")));
        // The two tables, in document order, with the figures as the window shows them.
        QList<QTextTable *> tabelle;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            if (auto *tb = qobject_cast<QTextTable *>(QTextCursor(b).currentTable()); tb && !tabelle.contains(tb))
                tabelle << tb;
        QCOMPARE(tabelle.size(), 2);
        const auto cella = [](QTextTable *tb, int r, int c) {
            return tb->cellAt(r, c).firstCursorPosition().block().text();
        };
        QCOMPARE(cella(tabelle[0], 1, 1), QStringLiteral("1.000.000"));
        QCOMPARE(cella(tabelle[0], 3, 1), QStringLiteral("2,5")); // 2,5 years as the valuation read them
        QCOMPARE(cella(tabelle[0], 4, 1), QStringLiteral("1.000")); // surface as read
        QCOMPARE(cella(tabelle[1], 1, 1), testo(m, "risultati(1)"));
        QCOMPARE(cella(tabelle[1], 6, 1), testo(m, "risultati(6)"));
        // A second report opens a second window.
        attiva(m, "solodati");
        QCOMPARE(rapporti().size(), 2);
    }

    // The report's PDF and .docx are proposed under the archive file's name and folder
    // when the estimate has one (opened or saved), under the report's name otherwise.
    void nomiProposti_data()
    {
        QTest::addColumn<QString>("archivio"); // "apri", "salva" or none
        QTest::addColumn<QString>("comando");
        QTest::addColumn<QString>("nome");
        QTest::newRow("pdf senza archivio") << "" << "esportapdf" << "Perix - stima area fabbricabile.pdf";
        QTest::newRow("docx senza archivio") << "" << "salvadocx" << "Perix - stima area fabbricabile.docx";
        QTest::newRow("pdf di un file aperto") << "apri" << "esportapdf" << "Perix-menu-Lotto via Roma.pdf";
        QTest::newRow("docx di un file salvato") << "salva" << "salvadocx" << "Perix-menu-Lotto via Roma.docx";
    }
    void nomiProposti()
    {
        QFETCH(QString, archivio);
        QFETCH(QString, comando);
        QFETCH(QString, nome);
        QTemporaryDir cartella;
        const QString file = cartella.filePath(QStringLiteral("Perix-menu-Lotto via Roma"));
        stimaArea(m);
        if (archivio == QLatin1String("apri")) {
            QVERIFY(scrivi(file, "\"Valori in euro\",\"1000000\",\"500000\"\r\n\"2\",\"1000\"\r\n"));
            QVERIFY(attivaConFile(m, "apri", file));
        } else if (archivio == QLatin1String("salva")) {
            QVERIFY(attivaConFile(m, "salva", cartella.filePath(QStringLiteral("Lotto via Roma"))));
        }
        attiva(m, "solodati");
        QCOMPARE(rapporti().size(), 1);
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(rapporti().constFirst(), comando, std::nullopt));
        const auto d = ultimoMostrato();
        QCOMPARE(d.tipo, dialoghi::prova::Mostrato::Tipo::SalvaFile);
        QCOMPARE(d.file.nomeProposto, nome);
        QCOMPARE(d.file.cartella, archivio.isEmpty() ? dialoghi::cartellaIniziale(QStringLiteral("rapporti")) : cartella.path());
    }

    void procedimentoDallaFinestra()
    {
        // The sensitivity table's base case is what the window shows, half unit included.
        impostaIncludiProcedimento(true);
        clicca(m, "moneta(1)");
        clicca(m, "aree");
        digita(m, "valoremercato", "1000000");
        digita(m, "costitotali", "500000");
        digita(m, "anni", "3");
        digita(m, "superficie", "1000");
        attiva(m, "solodati");
        impostaIncludiProcedimento(false);
        const auto tabelle = tabelleDocumento(Modulo::worddoc);
        QCOMPARE(tabelle.size(), 3);
        QCOMPARE(testo(m, "risultati(3)"), QStringLiteral("238.391"));
        QCOMPARE(cella(tabelle[2], casoBase + 1, casoBase + 1), testo(m, "risultati(3)"));
        QVERIFY(Modulo::worddoc->toPlainText().contains(QStringLiteral("- Analisi di sensibilità (valori in lire)")));
    }

    // A figure the window could not read computed nothing: nor does the calculation trail.
    void procedimentoSenzaFiguraLeggibile()
    {
        impostaIncludiProcedimento(true);
        stimaArea(m, "1000000", "500000", "2", "1.200");
        attiva(m, "solodati");
        impostaIncludiProcedimento(false);
        const QString t = Modulo::worddoc->toPlainText();
        QVERIFY2(t.contains(QStringLiteral("Il dato «1.200» di 'Superficie del terreno in mq.' è ambiguo; scrivere 1200 "
                                           "oppure 1,2. Il procedimento di calcolo e l'analisi di sensibilità non sono "
                                           "disponibili.")),
                 qPrintable(t));
        QVERIFY(!t.contains(QStringLiteral("- Analisi di sensibilità")));
        QCOMPARE(tabelleDocumento(Modulo::worddoc).size(), 2);
    }
};

QTEST_MAIN(ProvaRapportoMenu)
#include "prova_rapporto_menu.moc"
