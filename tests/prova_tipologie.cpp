// The costs by typology window: its arithmetic, the table as the user types and chooses,
// the data check, the archive file and the report.
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "core/calcoli_tipologie.h"
#include "estimates/tipologie.h"
#include "reports/finestrareport.h"
#include "supporto.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextTable>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;

class ProvaTipologie : public QObject
{
    Q_OBJECT

    risultatitipologie *w = nullptr;
    QTemporaryDir cartella;
    QStringList indirizzi;

    QString percorso(const QString &nome) { return cartella.filePath(nome); }
    QString riga(const char *nome, int i) { return testo(w, nome, i); }
    QStringList colonna(const char *nome) { return prova::colonna(w, nome, 9); }
    void marcata(int k) { soloRigaScelta(w, "edificio", "tipologia", 9, k); }
    void calcola(const QString &costo, int k)
    {
        Modulo::etichettavaluta = QStringLiteral("Valori in euro"); // what a toolbar click hands on
        w->soldi()->setText(Modulo::etichettavaluta);
        digita(w, "costonetto", costo);
        clicca(w, QStringLiteral("tipologia(%1)").arg(k));
    }

public slots:
    void pagina(const QUrl &u) { indirizzi << u.toString(); }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        QVERIFY(cartella.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(percorso("dati")));
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "pagina");
    }
    void init()
    {
        sessioneNuova();
        w = registro::mostra<risultatitipologie>();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    // ---- arithmetic ------------------------------------------------------------------

    void calcolo_data()
    {
        QTest::addColumn<double>("costo");
        QTest::addColumn<int>("scelta");
        QTest::addColumn<QStringList>("mq");
        QTest::addColumn<QStringList>("vani"); // empty: 18 times the whole cost per m²
        QTest::newRow("1000, tipologia 4")
            << 1000.0 << 4 << parole("1.140 1.052 1.005 1.000 998 959 945 910 870")
            << parole("20.520 18.936 18.090 18.000 17.964 17.262 17.010 16.380 15.660");
        QTest::newRow("1500, tipologia 1")
            << 1500.0 << 1 << parole("1.500 1.383 1.321 1.314 1.313 1.261 1.242 1.197 1.143") << QStringList();
        // 9051 / 1.2068 is 7499.999999999999: cut, not rounded through its 15-digit text.
        QTest::newRow("9051, tipologia 1")
            << 9051.0 << 1 << parole("9.051 8.350 7.974 7.933 7.925 7.610 7.499 7.226 6.902") << QStringList();
        QTest::newRow("1250, tipologia 3")
            << 1250.0 << 3 << parole("1.418 1.308 1.250 1.243 1.242 1.192 1.175 1.132 1.081") << QStringList();
        QTest::newRow("frazione tagliata prima del vano")
            << 1000.9 << 1 << parole("1.000 923 881 877 876 841 829 799 763") << QStringList();
        QTest::newRow("negativo, verso meno infinito")
            << -1000.0 << 4 << parole("-1.141 -1.053 -1.006 -1.000 -999 -960 -946 -911 -871") << QStringList();
    }
    void calcolo()
    {
        QFETCH(double, costo);
        QFETCH(int, scelta);
        QFETCH(QStringList, mq);
        QFETCH(QStringList, vani);
        const EsitoTipologie e = calcolaTipologie(scelta, costo);
        QCOMPARE(e.costitipologie[std::size_t(scelta)], costo);
        for (int i = 1; i <= 9; ++i) {
            QCOMPARE(e.edificio[std::size_t(i)], mq[i - 1]);
            const QString atteso = vani.isEmpty()
                ? QLocale().toString(QLocale().toLongLong(mq[i - 1]) * 18) : vani[i - 1];
            QCOMPARE(e.vano[std::size_t(i)], atteso);
        }
    }

    // The ratio table as stored, every reference row: one wrong figure changes costs.
    void rapporti_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("riga");
        const char *const righe[] = {
            "1 1.0839 1.135 1.1408 1.142 1.1893 1.2068 1.2524 1.3112",
            "0.9226 1 1.0472 1.0525 1.0536 1.0973 1.1134 1.1555 1.2098",
            "0.8811 0.955 1 1.0051 1.0062 1.0479 1.0632 1.1034 1.1553",
            "0.8766 0.9501 0.9949 1 1.0011 1.0426 1.0578 1.0978 1.1494",
            "0.8757 0.9491 0.9939 0.9989 1 1.0415 1.0567 1.0967 1.1482",
            "0.8408 0.9113 0.9543 0.9592 0.9602 1 1.0147 1.053 1.1025",
            "0.8287 0.8982 0.9406 0.9453 0.9463 0.9856 1 1.0378 1.0866",
            "0.7985 0.8654 0.9063 0.9109 0.9118 0.9497 0.9636 1 1.047",
            "0.7626 0.8266 0.8656 0.87 0.8709 0.907 0.9203 0.9551 1"};
        for (int k = 1; k <= 9; ++k)
            QTest::newRow(qPrintable(QStringLiteral("riferimento %1").arg(k))) << k << QString::fromLatin1(righe[k - 1]);
    }
    void rapporti()
    {
        QFETCH(int, k);
        QFETCH(QString, riga);
        const QStringList attesi = riga.split(u' ');
        for (int j = 1; j <= 9; ++j)
            QVERIFY2(rapportotipologie(k, j) == QLocale::c().toDouble(attesi[j - 1]),
                     qPrintable(QStringLiteral("r(%1, %2) = %3").arg(k).arg(j).arg(rapportotipologie(k, j))));
    }

    void calcoloNonRappresentabile()
    {
        const EsitoTipologie e = calcolaTipologie(2, 1e300);
        for (int i = 1; i <= 9; ++i) {
            QCOMPARE(e.edificio[std::size_t(i)], QStringLiteral("valore non calcolabile"));
            QCOMPARE(e.vano[std::size_t(i)], QStringLiteral("valore non calcolabile"));
        }
        // Within 15 digits per m², beyond them for the room.
        const EsitoTipologie g = calcolaTipologie(1, 1e14);
        QCOMPARE(g.edificio[1], QStringLiteral("100.000.000.000.000"));
        QCOMPARE(g.vano[1], QStringLiteral("valore non calcolabile"));
    }

    // ---- the window --------------------------------------------------------------------

    void controlli_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("didascalia");
        QTest::addColumn<QString>("suggerimento");
        const auto r = [](const char *n, const char *d, const char *s) {
            QTest::newRow(n) << QString::fromUtf8(n) << QString::fromUtf8(d) << QString::fromUtf8(s);
        };
        r("archivio", "archivio dati", "cliccare per visualizzare la pagina web con i dati locali per la stima di terreni ed edifici");
        r("edifici", "stima edifici", "cliccare per visualizzare la pagina web con il software per stima di edifici");
        r("terreni", "relazione", "cliccare per visualizzare la pagina web con il software per stima di terreni edificabili ");
        const char *const nomi[] = {" Edifici continui (duplex)",         " Edificio isolato (3 piani)",
                                    " Edifici continui (3 piani)",         " Edifici continui (4-5 piani)",
                                    " Edificio isolato (4-5 piani)",       " Edificio isolato (9 piani ed oltre)",
                                    " Edificio isolato (6-8 piani)",       " Edifici continui (9 piani ed oltre)",
                                    " Edifici continui (6-8 piani)"};
        for (int i = 1; i <= 9; ++i)
            r(qPrintable(QStringLiteral("Label1(%1)").arg(i)), nomi[i - 1], "");
        r("Label4", " Tipo di edificio scelto", "il tipo di edificio di riferimento del costo a mq. di superficie netta");
        r("Label3(2)", " Costo a vano (mq.18)", "costo indicativo di un vano di mq.18 di superficie netta");
        r("Label3(1)", " Costi unitari a mq. netti", "i differenti costi riguardanti le singole tipologie edilizie");
        r("Label3(0)", " Tipologie", "elenco delle differenti tipologie maggiormente ricorrenti");
        r("passo", "scegliere la tipologia di edificio e controllare i costi, i dati provengono dalla finestra Menu o da un file archiviato",
          "indicazioni in linea sulla immissione dei dati");
        r("costonetto", "", "valore da digitare");
        r("soldi", "", "valuta scelta nella finestra 'Menu' o prelevata da archivio");
        r("Label6", " Costo superficie netta al mq.", "costo, espresso nei valori indicati a lato, per un mq. di superficie netta");
        r("tipologia(5)", "", "scegliere la tipologia di fabbricato di cui si è digitato il costo al mq. di superficie netta.");
        r("cmdmune", "Me&nu", "cliccare per visualizzare la finestra 'Menu'");
    }
    void controlli()
    {
        QFETCH(QString, nome);
        QFETCH(QString, didascalia);
        QFETCH(QString, suggerimento);
        QWidget *c = trova(w, nome);
        QVERIFY2(c, qPrintable(nome));
        QCOMPARE(testo(w, nome), didascalia);
        QCOMPARE(c->toolTip(), suggerimento);
    }

    void caricamento()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("Perix: risultati della stima dei costi per tipologie[*]"));
        QCOMPARE(trova<QGroupBox>(w, "Frame1")->title(), QStringLiteral("Confronto tra costi di diverse tipologie"));
        QCOMPARE(azione(w, "cancella")->text(), QStringLiteral("C&ancella dati finestra"));
        QVERIFY(trova(w, "modif") && trova(w, "visu") && trova(w, "inter") && azione(w, "informaz"));
        QVERIFY(azione(w, "finestra")->property("didascalia").toString().endsWith(QStringLiteral("Fi&nestra n.4 di 5")));
        marcata(0);
        QCOMPARE(colonna("edificio"), QStringList(9, QString()));
    }

    void sceltaSenzaCosto()
    {
        clicca(w, "tipologia(3)");
        QCOMPARE(messaggiMostrati(), 1);
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Digitare il costo della superficie netta."));
        QCOMPARE(ultimoMostrato().icona, Icona::Informazione);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        marcata(3);
        QCOMPARE(Modulo::tipologiascelta, 3);
    }

    void laTabellaSegueIlCosto()
    {
        digita(w, "costonetto", "1000");
        QCOMPARE(colonna("edificio"), QStringList(9, QString())); // nothing chosen yet
        clicca(w, "tipologia(4)");
        QCOMPARE(riga("edificio", 1), QStringLiteral("1.140"));
        QCOMPARE(riga("vano", 9), QStringLiteral("15.660"));
        QTest::keyClick(trova(w, "costonetto"), Qt::Key_0); // 10000
        QCOMPARE(riga("edificio", 1), QStringLiteral("11.407"));
        QCOMPARE(w->costitipologie()[4], 10000.0);
        // Emptied: the message, and the last figures stay.
        digita(w, "costonetto", "");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Digitare il costo della superficie netta."));
        QCOMPARE(riga("edificio", 1), QStringLiteral("11.407"));
        // The cost is read the Italian way.
        digita(w, "costonetto", "9051");
        clicca(w, "tipologia(1)");
        QCOMPARE(riga("edificio", 7), QStringLiteral("7.499"));
        QCOMPARE(riga("vano", 7), QStringLiteral("134.982"));
        digita(w, "costonetto", "1000,9");
        QCOMPARE(riga("edificio", 1), QStringLiteral("1.000"));
        QCOMPARE(riga("vano", 1), QStringLiteral("18.000"));
        marcata(1);
    }

    void costoNonNumero_data()
    {
        QTest::addColumn<QString>("numero");
        QTest::addColumn<QString>("resto");
        QTest::newRow("verso 1.500") << QStringLiteral("1") << QStringLiteral(".5");
        QTest::newRow("lettere") << QStringLiteral("5") << QStringLiteral("abc");
        QTest::newRow("due virgole") << QStringLiteral("1,5") << QStringLiteral(",0");
    }
    void costoNonNumero()
    {
        QFETCH(QString, numero);
        QFETCH(QString, resto);
        calcola(numero, 2);
        dialoghi::prova::azzera();
        auto *campo = trova<QLineEdit>(w, "costonetto");
        campo->end(false);
        QTest::keyClicks(campo, resto);
        QCOMPARE(messaggiMostrati(), 0); // no box at each keystroke
        // No figure of the earlier cost stays beside it, nor goes into a file with it.
        QCOMPARE(colonna("edificio") + colonna("vano"), QStringList(18, QString()));
        QVERIFY(!trova(w, "notacosto")->isHidden());
        QVERIFY(testo(w, "notacosto").contains(numero + resto));
        attivaConFile(w, "salvanome", percorso("Perix-tipol-errato"));
        QCOMPARE(contenuto(percorso("Perix-tipol-errato")).count("\"\",\"\"\r\n"), 9);
        // The check and the report refuse it.
        attiva(w, "controlla");
        QVERIFY2(ultimoMessaggio().contains(QStringLiteral("non è un numero valido")), qPrintable(ultimoMessaggio()));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        attiva(w, "solodati");
        QVERIFY(ultimoMessaggio().contains(QStringLiteral("non è un numero valido")));
        QCOMPARE(testo(w, "passo").left(9), QStringLiteral("scegliere"));
        // A number again: the table follows and the note goes.
        digita(w, "costonetto", "1.500");
        QCOMPARE(riga("edificio", 2), QStringLiteral("1.500"));
        QVERIFY(trova(w, "notacosto")->isHidden());
    }

    void controllo_data()
    {
        QTest::addColumn<QString>("soldi");
        QTest::addColumn<QString>("costo");
        QTest::addColumn<int>("scelta");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("senza valuta") << "" << "1000" << 2
            << "Tornare alla finestra Menu per l'immissione dei dati o prelevarne da un file archiviato (Perix-tipol-...).";
        QTest::newRow("senza costo") << "Valori in lire" << "" << 2 << "Digitare un valore per il costo al mq. di superficie netta.";
        QTest::newRow("senza tipologia") << "Valori in lire" << "1000" << 0
            << "Cliccare nella casella corrispondente al tipo di edificio di riferimento del dato.";
        QTest::newRow("tutto") << "Valori in lire" << "1000" << 2 << "I dati sono stati immessi correttamente.";
    }
    void controllo()
    {
        QFETCH(QString, soldi);
        QFETCH(QString, costo);
        QFETCH(int, scelta);
        QFETCH(QString, messaggio);
        Modulo::etichettavaluta = soldi;
        digita(w, "costonetto", costo);
        if (scelta)
            clicca(w, QStringLiteral("tipologia(%1)").arg(scelta));
        dialoghi::prova::azzera();
        w->Toolbar1_ButtonClick(20);
        QCOMPARE(ultimoMessaggio(), messaggio);
        QCOMPARE(ultimoMostrato().icona, scelta && !costo.isEmpty() && !soldi.isEmpty() ? Icona::Informazione : Icona::Stop);
    }

    void cancellaDati()
    {
        calcola("1000", 5);
        QVERIFY(attiva(w, "cancella"));
        QCOMPARE(messaggiMostrati(), 0);
        marcata(0);
        QCOMPARE(colonna("vano"), QStringList(9, QString()));
        QCOMPARE(testo(w, "soldi"), QString());
        QCOMPARE(testo(w, "costonetto"), QString());
        QCOMPARE(Modulo::tipologiascelta, 5); // kept
        attiva(w, "controlla");
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Tornare alla finestra Menu")));
        attiva(w, "solodati");
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Non esistono dati da stampare")));
    }

    void aiutoEPagineWeb()
    {
        clicca(w, "aiuto");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("- Digitare il costo a mq. di superficie netta;\r"
                                                   "- scegliere quindi la tipologia di edificio di riferimento del dato;\r"
                                                   "- oppure aprire un file archiviato del tipo Peri-tipol-..."));
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloaiuto);
        indirizzi.clear();
        clicca(w, "terreni");
        clicca(w, "edifici");
        clicca(w, "archivio");
        QCOMPARE(indirizzi, (QStringList{Modulo::paginaterreni, Modulo::paginaedifici, Modulo::paginaarchivio}));
    }

    void domandaPropriaEdElimina()
    {
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::No);
        QVERIFY(attiva(w, "fin4"));
        QCOMPARE(ultimoMessaggio(), QStringLiteral("E' questa la finestra 'Costi per tipologie': si vuole la guida della finestra?"));
        QCOMPARE(ultimoMostrato().icona, Icona::Domanda);
        QVERIFY(scrivi(percorso("Perix-tipol-via"), "\"x\""));
        QVERIFY(attivaConFile(w, "eliminare", percorso("Perix-tipol-via")));
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloelimina);
        QCOMPARE(dialoghi::filtroQt(ultimoMostrato().file.filtri), QStringLiteral("Tutti i file (*);;File Perix-tipol- (Perix-tipol-*)"));
        QVERIFY(!QFile::exists(percorso("Perix-tipol-via")));
    }

    // ---- the archive file --------------------------------------------------------------

    void salvaEApri()
    {
        calcola("1000", 4);
        QVERIFY(attivaConFile(w, "salva", percorso("Perix-tipol-prova")));
        const auto d = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(d.titolo, QStringLiteral("Salva file"));
        QCOMPARE(dialoghi::filtroQt(d.file.filtri), QStringLiteral("File Perix-tipol- (Perix-tipol-*)"));
        QCOMPARE(contenuto(percorso("Perix-tipol-prova")),
                 QByteArray("\"Valori in euro\",\"1000\",4\r\n\"1.140\",\"20.520\"\r\n\"1.052\",\"18.936\"\r\n"
                            "\"1.005\",\"18.090\"\r\n\"1.000\",\"18.000\"\r\n\"998\",\"17.964\"\r\n\"959\",\"17.262\"\r\n"
                            "\"945\",\"17.010\"\r\n\"910\",\"16.380\"\r\n\"870\",\"15.660\"\r\n"));
        // Opened in a fresh window with another typology chosen: the stored one wins.
        chiudiTutto();
        Modulo::tipologiascelta = 7;
        Modulo::etichettavaluta.clear();
        w = registro::mostra<risultatitipologie>();
        clicca(w, "tipologia(7)");
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-prova")));
        const auto a = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(a.titolo, QStringLiteral("Apri file (costi di costruzione per tipologie)"));
        QCOMPARE(a.file.indiceFiltro, 2);
        QCOMPARE(dialoghi::filtroQt(a.file.filtri), QStringLiteral("Tutti i file (*);;File Perix-tipol- (Perix-tipol-*)"));
        QCOMPARE(messaggiMostrati(), 0);
        marcata(4);
        QCOMPARE(Modulo::tipologiascelta, 4);
        QCOMPARE(testo(w, "costonetto"), QStringLiteral("1000"));
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(riga("vano", 1), QStringLiteral("20.520"));
        // Written back without asking, the same bytes.
        const QByteArray prima = contenuto(percorso("Perix-tipol-prova"));
        attiva(w, "salva");
        QCOMPARE(dialoghi::prova::mostrati().size(), 1);
        QCOMPARE(contenuto(percorso("Perix-tipol-prova")), prima);
    }

    void soloValuta()
    {
        w->soldi()->setText(QStringLiteral("Valori in lire"));
        attivaConFile(w, "salvanome", percorso("Perix-tipol-valuta"));
        QCOMPARE(dialoghi::prova::mostrati().constFirst().titolo, QStringLiteral("Salva file con nome"));
        QByteArray atteso("\"Valori in lire\",\"\",\r\n");
        for (int i = 0; i < 9; ++i)
            atteso += "\"\",\"\"\r\n";
        QCOMPARE(contenuto(percorso("Perix-tipol-valuta")), atteso);
        calcola("1000", 2);
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-valuta")));
        QCOMPARE(messaggiMostrati(), 0);
        marcata(0);
        QCOMPARE(Modulo::tipologiascelta, 0);
        QCOMPARE(testo(w, "soldi"), QStringLiteral("Valori in lire"));
        QCOMPARE(riga("edificio", 2), QString());
    }

    void salvaSenzaValuta()
    {
        digita(w, "costonetto", "1000");
        attiva(w, "salva");
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da archiviare."));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QCOMPARE(dialoghi::prova::mostrati().size(), 1);
    }

    // One message and the stored typology chosen, whatever button was checked before.
    void apriSenzaCostoUnMessaggio()
    {
        QByteArray dati("\"Valori in euro\",\"\",6\r\n");
        for (int i = 1; i <= 9; ++i)
            dati += QByteArray::number(i).prepend('"') + "\",\"18\"\r\n";
        QVERIFY(scrivi(percorso("Perix-tipol-senzacosto"), dati));
        calcola("1000", 2);
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-senzacosto")));
        QCOMPARE(messaggiMostrati(), 1);
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Digitare il costo della superficie netta."));
        marcata(6);
        QCOMPARE(riga("edificio", 3), QStringLiteral("3"));
        // A caption from a file is shown as the text it is.
        QCOMPARE(trova<QLabel>(w, "vano(3)")->textFormat(), Qt::PlainText);
    }

    void indiceFuoriIntervallo_data()
    {
        QTest::addColumn<QByteArray>("indice");
        QTest::newRow("classe di altezza") << QByteArray("12");
        QTest::newRow("zero") << QByteArray("0");
        QTest::newRow("negativo") << QByteArray("-3");
        QTest::newRow("frazione") << QByteArray("2.5");
        QTest::newRow("enorme") << QByteArray("1e300");
        QTest::newRow("testo") << QByteArray("tre");
    }
    void indiceFuoriIntervallo()
    {
        QFETCH(QByteArray, indice);
        QByteArray dati = "\"Valori in euro\",\"1000\"," + indice + "\r\n";
        for (int i = 1; i <= 9; ++i)
            dati += "\"1\",\"18\"\r\n";
        QVERIFY(scrivi(percorso("Perix-tipol-indice"), dati));
        calcola("2000", 2);
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-indice")));
        QCOMPARE(messaggiMostrati(), 0);
        marcata(0);
        QCOMPARE(Modulo::tipologiascelta, 0);
        QCOMPARE(riga("edificio", 2), QStringLiteral("1"));
        QCOMPARE(testo(w, "costonetto"), QStringLiteral("1000"));
    }

    void fileGuasto_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::newRow("vuoto") << QByteArray();
        QTest::newRow("troncato") << QByteArray("\"Valori in euro\",\"1000\",3\r\n\"1.140\",\"20.520\"\r\n");
        QTest::newRow("virgolette aperte") << QByteArray("\"Valori in euro\",\"1000\",3\r\n\"1.140");
        QTest::newRow("binario") << QByteArrayLiteral("\x00\x01\x02\x89PNG\r\n");
    }
    void fileGuasto()
    {
        QFETCH(QByteArray, dati);
        calcola("1000", 4);
        attivaConFile(w, "salva", percorso("Perix-tipol-buono"));
        QVERIFY(scrivi(percorso("Perix-tipol-guasto"), dati));
        const auto stato = [this] { return colonna("edificio") << testo(w, "costonetto") << testo(w, "soldi"); };
        const QStringList prima = stato();
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-guasto")));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Impossibile aprire il file Perix-tipol-guasto")));
        QCOMPARE(stato(), prima);
        marcata(4);
        // The name is the one of the last good file: "Salva" never writes over the bad one.
        QCOMPARE(w->nomefile(), percorso("Perix-tipol-buono"));
        attiva(w, "salva");
        QCOMPARE(contenuto(percorso("Perix-tipol-guasto")), dati);
    }

    void valutaVuotaNonCancellaLaComune()
    {
        QByteArray dati("\"\",\"1000\",1\r\n");
        for (int i = 1; i <= 9; ++i)
            dati += "\"\",\"\"\r\n";
        QVERIFY(scrivi(percorso("Perix-tipol-senzavaluta"), dati));
        Modulo::etichettavaluta = QStringLiteral("Valori in euro");
        w->soldi()->setText(Modulo::etichettavaluta);
        QVERIFY(attivaConFile(w, "apri", percorso("Perix-tipol-senzavaluta")));
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(testo(w, "soldi"), QStringLiteral("Valori in euro"));
        QCOMPARE(riga("edificio", 1), QStringLiteral("1.000"));
    }

    // ---- the report ----------------------------------------------------------------------

    void rapporto()
    {
        calcola("1000", 4);
        dialoghi::prova::azzera();
        w->Toolbar1_ButtonClick(6);
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(testo(w, "passo"), QStringLiteral("documento pronto: stamparlo o salvarlo dalla sua finestra"));
        const QString t = Modulo::worddoc->toPlainText();
        QVERIFY(t.contains(QStringLiteral("Dati generali (Valori in euro)")));
        QVERIFY(t.contains(QStringLiteral("Costi per tipologie (Valori in euro)")));
        const auto tab = tabelleDocumento(Modulo::worddoc);
        QCOMPARE(tab.size(), 2);
        QCOMPARE(cella(tab[0], 0, 0), QStringLiteral("tipologia"));
        QCOMPARE(cella(tab[0], 1, 1), QStringLiteral("1.000"));
        QCOMPARE(cella(tab[0], 2, 1), QStringLiteral(" Edifici continui (4-5 piani)"));
        QCOMPARE(tab[1]->rows(), 10);
        QCOMPARE(cella(tab[1], 0, 1), QStringLiteral(" Costi unitari a mq. netti"));
        for (int i = 1; i <= 9; ++i) {
            QCOMPARE(cella(tab[1], i, 0), riga("Label1", i));
            QCOMPARE(cella(tab[1], i, 1), riga("edificio", i));
            QCOMPARE(cella(tab[1], i, 2), riga("vano", i));
        }
        const Qt::Alignment destra = tab[1]->cellAt(3, 2).firstCursorPosition().blockFormat().alignment();
        QCOMPARE(destra & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }
};

QTEST_MAIN(ProvaTipologie)
#include "prova_tipologie.moc"
