// The synthetic costs window: the grid handed over by the main window, its file, its
// report, its check, clearing, hints, web buttons and texts.
#include "help/finestre.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "reports/documento.h"
#include "supporto.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;

class ProvaSintetici : public QObject
{
    Q_OBJECT

    menu *m = nullptr;
    risultatisintetici *rs = nullptr;
    QTemporaryDir cartella;

    QString percorso(const QString &nome) { return cartella.filePath(nome); }
    // Synthetic estimate in euro, `costo` typed, class `classe` picked.
    void daMenu(const QString &costo, int classe)
    {
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        digita(m, "costolordo", costo);
        clicca(m, QStringLiteral("Option1(%1)").arg(classe));
        rs = registro::seEsiste<risultatisintetici>();
        QVERIFY(rs && rs->isVisible());
    }
    // The grid row by row, then which icons show, then the currency caption.
    QStringList schermo()
    {
        QStringList s;
        for (int r = 1; r <= 5; ++r)
            for (const char *c : {"rissint", "rissint2", "rissint3"})
                s << testo(rs, c, r);
        for (int c = 1; c <= 3; ++c)
            s << (rs->iconaVisibile(c) ? QStringLiteral("icona %1").arg(c) : QString());
        return s << testo(rs, "soldi");
    }

private slots:
    void initTestCase()
    {
        preparaAmbiente();
        QVERIFY(cartella.isValid());
    }
    void init()
    {
        azzeraScelte();
        m = registro::mostra<menu>();
        rs = registro::prendi<risultatisintetici>();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        Modulo::impostaApertura({});
        chiudiTutto();
    }

    void esempi_data()
    {
        QTest::addColumn<QString>("costo");
        QTest::addColumn<int>("classe");
        QTest::addColumn<QStringList>("griglia"); // rows 1, 2 and 5, classes 1..3
        // K(2) = 1000 × 1,0909 and K(3) = 1000 × 1,3636; per m³ K / H; per room that × V.
        QTest::newRow("economiche 1000")
            << "1000" << 1 << QStringList{"291", "327", "400", "1.000", "1.091", "1.364", "20.364", "24.545", "31.999"};
        // K(1) = 1500 / 1,3636, K(2) = 1500 / 1,25.
        QTest::newRow("evolute 1500")
            << "1500" << 3 << QStringList{"320", "360", "440", "1.100", "1.200", "1.500", "22.401", "27.000", "35.200"};
        // Large enough for the last decimal of every class constant to show in the room cost.
        QTest::newRow("economiche 10000")
            << "10000" << 1
            << QStringList{"2.909", "3.273", "4.000", "10.000", "10.909", "13.636", "203.636", "245.455", "319.991"};
        // Typed the Italian way: K(1) = 1200,5 / 1,0909, K(3) = 1200,5 × 1,25.
        QTest::newRow("medie 1.200,5")
            << "1.200,5" << 2 << QStringList{"320", "360", "440", "1.100", "1.201", "1.501", "22.410", "27.012", "35.215"};
    }
    void esempi()
    {
        QFETCH(QString, costo);
        QFETCH(int, classe);
        QFETCH(QStringList, griglia);
        daMenu(costo, classe);
        QStringList atteso = griglia.mid(0, 6) + QStringList{"70", "75", "80", "21", "22", "23"} + griglia.mid(6);
        atteso << QString() << QString() << QString() << QStringLiteral("Valori in euro");
        atteso[15 + classe - 1] = QStringLiteral("icona %1").arg(classe); // the room parameters, then the icons
        QCOMPARE(schermo(), atteso);
        QCOMPARE(messaggiMostrati(), 0);
    }

    void letturaUnicaDelCosto_data()
    {
        QTest::addColumn<QString>("costo");
        QTest::addColumn<bool>("abilitata"); // the class buttons
        QTest::addColumn<bool>("avviso");    // the quiet note in the field
        QTest::newRow("lettere dopo le cifre") << "5abc" << false << true;
        QTest::newRow("punto decimale") << "1000.5" << false << true;
        QTest::newRow("virgola decimale") << "0,5" << true << false;
        QTest::newRow("vuoto") << "" << false << false;
    }
    void letturaUnicaDelCosto()
    {
        QFETCH(QString, costo);
        QFETCH(bool, abilitata);
        QFETCH(bool, avviso);
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        digita(m, "costolordo", costo);
        QCOMPARE(trova(m, "caratt")->isEnabled(), abilitata);
        QCOMPARE(azione(m, "avvisocostolordo")->isVisible(), avviso);
        QCOMPARE(testo(m, "passo").startsWith(QStringLiteral("correggere il costo")), avviso);
        // Choosing the estimate again reads the figure the same way.
        clicca(m, "aree");
        clicca(m, "sintetici");
        QCOMPARE(trova(m, "caratt")->isEnabled(), abilitata);
        QCOMPARE(messaggiMostrati(), 0);
    }

    void salvaEApri_data()
    {
        QTest::addColumn<bool>("azzeraMenu"); // "AREA FABBRICABILE" clicked before saving
        QTest::newRow("subito") << false;
        QTest::newRow("dopo l'azzeramento del menu") << true;
    }
    void salvaEApri()
    {
        QFETCH(bool, azzeraMenu);
        daMenu("1000", 1);
        if (azzeraMenu) {
            clicca(m, "aree");
            QCOMPARE(Modulo::classeedificio.value_or(-1), 0);
        }
        const QStringList prima = schermo();
        QVERIFY(attivaConFile(rs, "salva", percorso("Perix-sint-prova")));
        const auto d = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(d.titolo, QStringLiteral("Salva file"));
        QCOMPARE(dialoghi::filtroQt(d.file.filtri), QStringLiteral("File Perix-sint- (Perix-sint-*)"));
        QCOMPARE(d.file.indiceFiltro, 1);
        // The class whose icon is shown, bare; then row by row the three classes.
        QCOMPARE(contenuto(percorso("Perix-sint-prova")),
                 QByteArray("\"Valori in euro\",1\r\n\"291\",\"327\",\"400\"\r\n\"1.000\",\"1.091\",\"1.364\"\r\n"
                            "\"70\",\"75\",\"80\"\r\n\"21\",\"22\",\"23\"\r\n\"20.364\",\"24.545\",\"31.999\"\r\n"));

        chiudiTutto();
        azzeraScelte();
        rs = registro::mostra<risultatisintetici>();
        QVERIFY(attivaConFile(rs, "apri", percorso("Perix-sint-prova")));
        const auto a = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(a.titolo, QStringLiteral("Apri file (costi di costruzione sintetici)"));
        QCOMPARE(dialoghi::filtroQt(a.file.filtri), QStringLiteral("Tutti i file (*);;File Perix-sint- (Perix-sint-*)"));
        QCOMPARE(a.file.indiceFiltro, 2);
        QCOMPARE(schermo(), prima);
        QCOMPARE(Modulo::classeedificio.value_or(-1), 1);
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(messaggiMostrati(), 0);
        // Its own file: "Salva" writes it back without asking.
        dialoghi::prova::azzera();
        attiva(rs, "salva");
        QCOMPARE(dialoghi::prova::mostrati().size(), 0);
    }

    void classeDalFile_data()
    {
        QTest::addColumn<QByteArray>("classe");
        QTest::addColumn<int>("icona");     // 0: none
        QTest::addColumn<int>("condivisa"); // the shared class afterwards (it was 3)
        QTest::addColumn<QByteArray>("scritta"); // the class field when saved again
        QTest::newRow("medie") << QByteArray("2") << 2 << 2 << QByteArray("2");
        QTest::newRow("vuota") << QByteArray() << 0 << 3 << QByteArray();
        QTest::newRow("zero") << QByteArray("0") << 0 << 3 << QByteArray();
    }
    void classeDalFile()
    {
        QFETCH(QByteArray, classe);
        QFETCH(int, icona);
        QFETCH(int, condivisa);
        QFETCH(QByteArray, scritta);
        const QByteArray griglia = "\r\n\"1\",\"2\",\"3\"\r\n\"4\",\"5\",\"6\"\r\n\"7\",\"8\",\"9\"\r\n"
                                   "\"10\",\"11\",\"12\"\r\n\"13\",\"14\",\"15\"\r\n";
        const QByteArray dati = "\"Valori in lire\"," + classe + griglia;
        QVERIFY(scrivi(percorso("Perix-sint-classe"), dati));
        Modulo::classeedificio = 3;
        rs->mostraIcona(1);
        QVERIFY(attivaConFile(rs, "apri", percorso("Perix-sint-classe")));
        QCOMPARE(messaggiMostrati(), 0);
        for (int c = 1; c <= 3; ++c)
            QCOMPARE(rs->iconaVisibile(c), c == icona);
        QCOMPARE(Modulo::classeedificio.value_or(-1), condivisa);
        QCOMPARE(testo(rs, "rissint(2)"), QStringLiteral("4"));
        QCOMPARE(testo(rs, "rissint3(5)"), QStringLiteral("15"));
        QCOMPARE(trova<QLabel>(rs, "rissint3(5)")->textFormat(), Qt::PlainText);
        QCOMPARE(trova<QLabel>(rs, "soldi")->textFormat(), Qt::PlainText);
        // Written back as it was read, the class as the icons show it.
        QVERIFY(attivaConFile(rs, "salvanome", percorso("Perix-sint-classe-copia")));
        QCOMPARE(contenuto(percorso("Perix-sint-classe-copia")), "\"Valori in lire\"," + scritta + griglia);
    }

    void fileRifiutati_data()
    {
        QTest::addColumn<QByteArray>("dati");
        const QByteArray righe = "\r\n\"1\",\"2\",\"3\"\r\n\"4\",\"5\",\"6\"\r\n\"7\",\"8\",\"9\"\r\n"
                                 "\"10\",\"11\",\"12\"\r\n\"13\",\"14\",\"15\"\r\n";
        QTest::newRow("classe 4") << "\"Valori in lire\",4" + righe;
        QTest::newRow("classe negativa") << "\"Valori in lire\",-1" + righe;
        QTest::newRow("classe 2,5") << "\"Valori in lire\",2.5" + righe;
        QTest::newRow("classe in lettere") << "\"Valori in lire\",\"medie\"" + righe;
        QTest::newRow("file del menu") << QByteArray("\"Valori in euro\",\"1000000\",\"500000\"\r\n\"2\",\"1000\"\r\n");
        QTest::newRow("un campo in meno") << "\"Valori in lire\",2" + righe.chopped(7) + "\r\n";
    }
    void fileRifiutati()
    {
        QFETCH(QByteArray, dati);
        daMenu("1200", 2);
        attivaConFile(rs, "salva", percorso("Perix-sint-buono"));
        const QStringList prima = schermo();
        Modulo::etichettavaluta = QStringLiteral("Valori in euro");
        QVERIFY(scrivi(percorso("Perix-sint-guasto"), dati));
        QVERIFY(attivaConFile(rs, "apri", percorso("Perix-sint-guasto")));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        QVERIFY2(ultimoMessaggio().startsWith(QStringLiteral("Impossibile aprire il file Perix-sint-guasto: ")),
                 qPrintable(ultimoMessaggio()));
        QCOMPARE(schermo(), prima);
        QCOMPARE(Modulo::classeedificio.value_or(-1), 2);
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        // The file named stays the last good one: "Salva" does not overwrite the bad file.
        QCOMPARE(rs->nomefile(), percorso("Perix-sint-buono"));
        attiva(rs, "salva");
        QCOMPARE(contenuto(percorso("Perix-sint-guasto")), dati);
    }

    void cancellaEControlla()
    {
        daMenu("1000", 1);
        QVERIFY(attiva(rs, "controlla"));
        QCOMPARE(ultimoMessaggio(), QStringLiteral("I dati sono stati immessi correttamente."));
        QCOMPARE(ultimoMostrato().icona, Icona::Informazione);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        QVERIFY(attiva(rs, "cancella"));
        QCOMPARE(schermo(), QStringList(19, QString()));
        QCOMPARE(Modulo::classeedificio.value_or(-1), 1); // the main window's choice stays
        QCOMPARE(testo(m, "costolordo"), QStringLiteral("1000"));
        QVERIFY(attiva(rs, "controlla"));
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati o prelevarne "
                                                   "da un file archiviato (Perix-sint-...)."));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        attiva(rs, "solodati");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da stampare: tornare alla finestra Menu o aprire "
                                                   "un file archiviato per prelevarne."));
        QCOMPARE(Modulo::worddoc.data(), nullptr);
        attiva(rs, "salva");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da archiviare."));
        QCOMPARE(dialoghi::prova::mostrati().size(), 4); // no file dialog
    }

    void rapporto_data()
    {
        QTest::addColumn<bool>("conIcona");
        QTest::newRow("classe evolute scelta") << true;
        QTest::newRow("nessuna icona") << false;
    }
    void rapporto()
    {
        QFETCH(bool, conIcona);
        Modulo::worddoc = nullptr;
        daMenu("1500", 3);
        if (!conIcona)
            rs->nascondiIcone();
        QVERIFY(attiva(rs, "solodati"));
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(testo(rs, "passo"), QStringLiteral("documento pronto: stamparlo o salvarlo dalla sua finestra"));
        auto *doc = qobject_cast<Document *>(Modulo::worddoc.data());
        QVERIFY(doc);
        QVERIFY(doc->toPlainText().contains(
            QStringLiteral("Costi sintetici in base alle caratteristiche dell'edificio (Valori in euro)")));
        QCOMPARE(doc->tableCount(), 1);
        Table t = doc->table(1);
        QCOMPARE(t.rows(), 7);
        QCOMPARE(t.columns(), 4);
        const QStringList intestazioni{"tipologia", "economiche-popolari", "medie-civili", "evolute-signorili"};
        const QStringList righe{"costo a metro cubo vuoto per pieno", "costo a metro quadrato di superficie lorda",
                                "parametro del volume del vano (mc.)", "parametro della superficie del vano (mq.)",
                                "costo a vano (circa)", "tipo di edificio scelto"};
        const QStringList grigliaEIcone = schermo();
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(t.cell(1, c).text(), intestazioni[c - 1]);
        for (int r = 2; r <= 7; ++r) {
            QCOMPARE(t.cell(r, 1).text(), righe[r - 2]);
            for (int c = 2; c <= 4; ++c) {
                // The captions as shown; an "X" where the icon is shown.
                const QString &visto = grigliaEIcone[(r - 2) * 3 + c - 2];
                QCOMPARE(t.cell(r, c).text(), r < 7 || visto.isEmpty() ? visto : QStringLiteral("X"));
                QCOMPARE(t.cell(r, c).alignment(), Alignment::Right);
            }
        }
        QCOMPARE(t.cell(7, 4).text(), conIcona ? QStringLiteral("X") : QString());
        QCOMPARE(t.cell(2, 1).alignment(), Alignment::Left);
    }

    void aiuto()
    {
        QVERIFY(clicca(rs, "aiuto"));
        QCOMPARE(ultimoMessaggio(), QStringLiteral("- I dati provengono dalla finestra Menu;\r- non è prevista alcuna "
                                                   "immissione di dati;\r- tornare indietro o aprire un file "
                                                   "archiviato del tipo Perix-sint-... per avere nuovi risultati."));
        QCOMPARE(ultimoMostrato().icona, Icona::Informazione);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloaiuto);
    }

    void web_data()
    {
        QTest::addColumn<QString>("pulsante");
        QTest::addColumn<QString>("indirizzo");
        QTest::newRow("terreni") << "terreni" << Modulo::paginaterreni;
        QTest::newRow("edifici") << "edifici" << Modulo::paginaedifici;
        QTest::newRow("archivio") << "archivio" << Modulo::paginaarchivio;
    }
    void web()
    {
        QFETCH(QString, pulsante);
        QFETCH(QString, indirizzo);
        QStringList aperti;
        Modulo::impostaApertura([&aperti](const QString &a) {
            aperti << a;
            return true;
        });
        QVERIFY(clicca(rs, pulsante));
        QCOMPARE(aperti, QStringList{indirizzo});
    }

    void guidaDellaFinestra_data()
    {
        QTest::addColumn<int>("posizione"); // toolbar position, 0: the menu item fin3
        QTest::addColumn<bool>("si");
        QTest::newRow("voce, no") << 0 << false;
        QTest::newRow("voce, sì") << 0 << true;
        QTest::newRow("barra, sì") << 10 << true;
    }
    void guidaDellaFinestra()
    {
        QFETCH(int, posizione);
        QFETCH(bool, si);
        dialoghi::prova::accodaRisposta(si ? dialoghi::Risposta::Si : dialoghi::Risposta::No);
        if (posizione)
            rs->Toolbar1_ButtonClick(posizione);
        else
            QVERIFY(attiva(rs, "fin3"));
        QCOMPARE(ultimoMessaggio(),
                 QStringLiteral("E' questa la finestra 'Costi sintetici': si vuole la guida della finestra?"));
        QCOMPARE(ultimoMostrato().icona, Icona::Domanda);
        QCOMPARE(ultimoMostrato().pulsanti, dialoghi::Pulsanti::SiNo);
        auto *g = registro::seEsiste<guidasintetici>();
        QCOMPARE(g && g->isVisible(), si);
    }

    void testi_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("didascalia");
        QTest::addColumn<QString>("suggerimento");
        const auto riga = [](const char *n, const char *d, const char *s) {
            QTest::newRow(n) << QString::fromUtf8(n) << QString::fromUtf8(d) << QString::fromUtf8(s);
        };
        riga("passo", "la finestra è di sola lettura, immettere i dati nella finestra Menu o aprire un file archiviato",
             "indicazioni in linea sulla immissione dei dati");
        riga("terreni", "relazione",
             "cliccare per visualizzare la pagina web con il software per stima di terreni edificabili ");
        riga("edifici", "stima edifici", "cliccare per visualizzare la pagina web con il software per stima di edifici");
        riga("archivio", "archivio dati",
             "cliccare per visualizzare la pagina web con i dati locali per la stima di terreni ed edifici");
        riga("Label4", "evolute", "risultati per un edificio con caratteristiche evolute o signorili");
        riga("Label3", " medie", "risultati per un edificio con caratteristiche di tipo medio o civile");
        riga("Label2", " economiche", "risultati per un edificio con caratteristiche di tipo economico o popolare");
        riga("Label1(6)", "Tipo di edificio scelto", "il tipo di edificio di riferimento scelto nei dati");
        riga("Label5", "CARATTERISTICHE DELL'EDIFICIO", "");
        riga("Label1(5)", " Costo a vano (circa)", "costo per un vano virtuale con i parametri di cui sopra");
        riga("Label1(4)", " Parametro della superficie del vano (mq.)", "parametro di riferimento considerando la superficie");
        riga("Label1(3)", " Parametro del volume del vano (mc.)", "parametro di riferimento considerando il volume");
        riga("Label1(2)", " Costo a metro quadrato di superficie lorda", "dato immesso nella finestra Menu o prelevato da archivio");
        riga("Label1(1)", " Costo a metro cubo vuoto per pieno", "valutato con i parametri di cui sotto");
        riga("soldi", "", "valuta scelta nella finestra Menu o prelevata da archivio");
    }
    void testi()
    {
        QFETCH(QString, nome);
        QFETCH(QString, didascalia);
        QFETCH(QString, suggerimento);
        registro::mostra<risultatisintetici>();
        QWidget *w = trova(rs, nome);
        QVERIFY2(w, qPrintable(nome));
        QCOMPARE(testo(rs, nome), didascalia);
        QCOMPARE(w->toolTip(), suggerimento);
        QVERIFY(w->isVisible());
        // Nothing is cut: the caption fits its control.
        if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap())
            QVERIFY2(l->fontMetrics().horizontalAdvance(didascalia) <= l->contentsRect().width(), qPrintable(nome));
    }

    void menuDellaFinestra()
    {
        QCOMPARE(rs->windowTitle(), QStringLiteral("Perix: risultati della stima dei costi sintetici[*]"));
        const QList<std::pair<const char *, const char *>> voci{
            {"apri", "&Apri"}, {"salva", "&Salva"}, {"salvanome", "Salva con &nome..."},
            {"eliminare", "E&limina..."}, {"solodati", "S&tampa dati finestra"}, {"esci", "&Esci"},
            {"colorare", "&Colore di sfondo"}, {"controlla", "Controllo &dati immessi"},
            {"cancella", "C&ancella dati finestra"}, {"fin3", "Finestra Costi sintetici"},
            {"guidainlinea", "&Guida in linea"}, {"sugg", "&Suggerimenti..."}, {"supporto", "Supporto &prodotto"},
            {"informaz", "&Informazioni su Perix"}};
        for (const auto &[nome, didascalia] : voci)
            QCOMPARE(azione(rs, QString::fromLatin1(nome))->text(), QString::fromUtf8(didascalia));
        for (const char *nome : {"file", "modif", "VISU", "inter"})
            QVERIFY2(rs->findChild<QMenu *>(QString::fromLatin1(nome)), nome);
        for (int k = 1; k <= 9; ++k)
            QVERIFY(azione(rs, QStringLiteral("l%1").arg(k))->isSeparator());
        QCOMPARE(azione(rs, "finestra")->property("didascalia").toString(),
                 QString(126, u' ') + QStringLiteral("Fi&nestra n.3 di 5"));
    }
};

QTEST_MAIN(ProvaSintetici)
#include "prova_sintetici.moc"
