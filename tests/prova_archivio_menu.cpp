// The main window's archive commands, driven through the menu items and the dialog answerer.
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "estimates/menu.h"
#include "supporto.h"

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTest>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;
using Tipo = dialoghi::prova::Mostrato::Tipo;

class ProvaArchivioMenu : public QObject
{
    Q_OBJECT

    menu *m = nullptr;
    QTemporaryDir cartella;

    QString percorso(const QString &nome) { return cartella.filePath(nome); }
    QStringList campiFinestra()
    {
        return {testo(m, "soldi"), testo(m, "valoremercato"), testo(m, "costitotali"), testo(m, "anni"),
                testo(m, "superficie"), testo(m, "risultati(1)")};
    }

private slots:
    void initTestCase()
    {
        preparaAmbiente();
        QVERIFY(cartella.isValid());
        // "Elimina" moves files to the desktop's trash: the test's own, beside its files
        // (Qt's test folders are under the home folder).
        qputenv("HOME", QFile::encodeName(cartella.path()));
    }
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

    void salvareSenzaStima()
    {
        QVERIFY(attiva(m, "salva"));
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da archiviare."));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
    }

    void salvareAltraStima()
    {
        clicca(m, "moneta(1)");
        clicca(m, "sintetici");
        attiva(m, "salvanome");
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("In questa finestra possono essere archiviati solo")));
        QCOMPARE(dialoghi::prova::mostrati().size(), 1); // no dialog
    }

    void salvaEApri()
    {
        stimaArea(m);
        QVERIFY(attivaConFile(m, "salva", percorso("Perix-menu-prova")));
        const auto d = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(d.tipo, Tipo::SalvaFile);
        QCOMPARE(d.titolo, QStringLiteral("Salva file"));
        QCOMPARE(d.file.filtri.size(), 1);
        QCOMPARE(d.file.filtri[0].schema, QStringLiteral("Perix-menu-*"));
        QCOMPARE(d.file.indiceFiltro, 1);
        QCOMPARE(contenuto(percorso("Perix-menu-prova")),
                 QByteArray("\"Valori in euro\",\"1000000\",\"500000\"\r\n\"2\",\"1000\"\r\n"));
        QCOMPARE(m->nomefile(), percorso("Perix-menu-prova"));

        // A second "Salva" writes to the same file without asking.
        digita(m, "anni", "3");
        dialoghi::prova::azzera();
        attiva(m, "salva");
        QCOMPARE(dialoghi::prova::mostrati().size(), 0);
        QVERIFY(contenuto(percorso("Perix-menu-prova")).contains("\"3\",\"1000\""));

        // Reopen in a fresh window: fields, results and guidance come back as if typed.
        chiudiTutto();
        Modulo::etichettavaluta.clear();
        Modulo::valuta.clear();
        m = registro::mostra<menu>();
        QVERIFY(attivaConFile(m, "apri", percorso("Perix-menu-prova")));
        const auto a = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(a.titolo, QStringLiteral("Apri file (menu)"));
        QCOMPARE(a.file.nomeProposto, QString());
        QCOMPARE(a.file.filtri.size(), 2);
        QCOMPARE(a.file.indiceFiltro, 2);
        QCOMPARE(dialoghi::filtroQt(a.file.filtri), QStringLiteral("Tutti i file (*);;File Perix-menu- (Perix-menu-*)"));
        QCOMPARE(testo(m, "valoremercato"), QStringLiteral("1000000"));
        QCOMPARE(testo(m, "anni"), QStringLiteral("3"));
        QCOMPARE(testo(m, "soldi"), QStringLiteral("Valori in euro"));
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(registro::seEsiste<variocosto>()->soldi()->text(), QStringLiteral("Valori in euro"));
        QVERIFY(trova<QRadioButton>(m, "aree")->isChecked());
        QCOMPARE(Modulo::tipostima, 1);
        QVERIFY(trova(m, "valoremercato")->isEnabled());
        QVERIFY(!trova(m, "risultati(1)")->isHidden());
        QCOMPARE(testo(m, "risultati(1)"), QStringLiteral("326.519"));
        QCOMPARE(testo(m, "passo"), QStringLiteral("leggere i risultati della stima"));
        QCOMPARE(Modulo::valuta, QStringLiteral("in euro")); // as a click on "valori in euro" sets it
    }

    // Opening a file checks the currency button of its caption, with what a click on it
    // does: the estimate buttons come alive, whatever was picked before.
    void valutaDelFile_data()
    {
        QTest::addColumn<QString>("prima"); // the button clicked before opening, if any
        QTest::addColumn<QString>("didascalia");
        QTest::addColumn<QString>("pulsante");
        QTest::newRow("euro in una finestra nuova") << "" << "Valori in euro" << "moneta(2)";
        QTest::newRow("lire in una finestra nuova") << "" << "Valori in lire" << "moneta(1)";
        QTest::newRow("lire dopo l'euro") << "moneta(2)" << "Valori in lire" << "moneta(1)";
        QTest::newRow("euro dopo l'euro") << "moneta(2)" << "Valori in euro" << "moneta(2)";
    }
    void valutaDelFile()
    {
        QFETCH(QString, prima);
        QFETCH(QString, didascalia);
        QFETCH(QString, pulsante);
        if (!prima.isEmpty())
            clicca(m, prima);
        const QString file = percorso(QStringLiteral("Perix-menu-valuta"));
        QVERIFY(scrivi(file, QStringLiteral("\"%1\",\"1000000\",\"500000\"\r\n\"2\",\"1000\"\r\n").arg(didascalia).toUtf8()));
        QVERIFY(attivaConFile(m, "apri", file));
        for (const char *b : {"moneta(1)", "moneta(2)"})
            QCOMPARE(trova<QRadioButton>(m, b)->isChecked(), pulsante == QLatin1String(b));
        QCOMPARE(QStringLiteral("Valori ") + Modulo::valuta, didascalia);
        for (const char *b : {"aree", "disaggregati", "sintetici", "tipologici", "altezze"})
            QVERIFY2(trova(m, b)->isEnabled(), b);
        QVERIFY(trova<QRadioButton>(m, "aree")->isChecked());
        QCOMPARE(testo(m, "soldi"), didascalia);
        QCOMPARE(testo(m, "passo"), QStringLiteral("leggere i risultati della stima"));
    }

    // The job's data saved with the estimate come back with it; a file opened without them
    // takes the previous estimate's data away.
    void allegatoSalvatoERiaperto()
    {
        stimaArea(m);
        const QString risultato = testo(m, "risultati(1)");
        Allegato a;
        a.incarico.committente = QStringLiteral("Impresa Rossi");
        a.incarico.data = QDate(2026, 12, 9);
        m->impostaAllegato(a);
        QVERIFY(attivaConFile(m, "salva", percorso("Perix-menu-allegato")));
        QVERIFY(contenuto(percorso("Perix-menu-allegato"))
                    .endsWith("\"2\",\"1000\"\r\n\"Perix-dati\",\"1\"\r\n\"committente\",\"Impresa Rossi\"\r\n"
                              "\"data\",\"2026-12-09\"\r\n"));
        chiudiTutto();
        m = registro::mostra<menu>();
        QVERIFY(attivaConFile(m, "apri", percorso("Perix-menu-allegato")));
        QCOMPARE(m->allegato(), a);
        QCOMPARE(testo(m, "risultati(1)"), risultato);
        QVERIFY(attivaConFile(m, "salvanome", percorso("Perix-menu-senza")));
        QVERIFY(contenuto(percorso("Perix-menu-senza")).contains("Perix-dati"));
        QFile::remove(percorso("Perix-menu-senza"));
        QFile f(percorso("Perix-menu-senza"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"Valori in euro\",\"1000000\",\"500000\"\r\n\"2\",\"1000\"\r\n");
        f.close();
        QVERIFY(attivaConFile(m, "apri", percorso("Perix-menu-senza")));
        QVERIFY(m->allegato().vuoto());
    }

    // The title names the window's file once saved or opened, the status line says where
    // a save went; a delete of that file takes its name off the title.
    void titoloEStatoDelFile()
    {
        const QString titolo = m->windowTitle();
        stimaArea(m);
        QVERIFY(attivaConFile(m, "salva", percorso("Perix-menu-titolo")));
        QCOMPARE(m->windowTitle(), QStringLiteral("Perix - Perix-menu-titolo[*]"));
        auto *stato = m->findChild<QStatusBar *>();
        QVERIFY(stato);
        QCOMPARE(stato->currentMessage(),
                 QStringLiteral("Salvato in ") + QDir::toNativeSeparators(QFileInfo(percorso("Perix-menu-titolo")).absoluteFilePath()));
        chiudiTutto();
        m = registro::mostra<menu>();
        QCOMPARE(m->windowTitle(), titolo);
        QVERIFY(attivaConFile(m, "apri", percorso("Perix-menu-titolo")));
        QCOMPARE(m->windowTitle(), QStringLiteral("Perix - Perix-menu-titolo[*]"));
        QVERIFY(attivaConFile(m, "eliminare", percorso("Perix-menu-titolo")));
        QCOMPARE(m->windowTitle(), titolo);
    }

    void fileAltruiNonSovrascritto_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::newRow("file di progetto") << QByteArray("project(x)\nset(a, b, c, d, e)\n");
        QTest::newRow("record di un'altra finestra")
            << QByteArray("\"Valori in euro\",2\r\n\"1.000\",\"1.091\",\"1.364\"\r\n");
        QTest::newRow("senza didascalia di valuta") << QByteArray("\"a\",\"1\",\"2\"\r\n\"3\",\"4\"\r\n");
    }
    void fileAltruiNonSovrascritto()
    {
        QFETCH(QByteArray, dati);
        QVERIFY(scrivi(percorso("altrui"), dati));
        attivaConFile(m, "apri", percorso("altrui"));
        QCOMPARE(messaggiMostrati(), 0);
        // "Salva" asks for a name, as if no file were named, and the opened file stays.
        attivaConFile(m, "salva", percorso("Perix-menu-nuovo"));
        QCOMPARE(ultimoMostrato().tipo, Tipo::SalvaFile);
        QCOMPARE(contenuto(percorso("altrui")), dati);
        QVERIFY(contenuto(percorso("Perix-menu-nuovo")).startsWith("\""));
    }

    void testoLungo()
    {
        // No length limit: a long text comes back whole, and is written back whole.
        const QString lungo = QString(200, u'9');
        stimaArea(m, "1000000", "500000", "2", lungo);
        attivaConFile(m, "salva", percorso("Perix-menu-lungo"));
        chiudiTutto();
        m = registro::mostra<menu>();
        attivaConFile(m, "apri", percorso("Perix-menu-lungo"));
        QCOMPARE(testo(m, "superficie"), lungo);
        attiva(m, "salva"); // its own record: written back without asking
        QVERIFY(contenuto(percorso("Perix-menu-lungo")).endsWith("\"" + lungo.toLatin1() + "\"\r\n"));
    }

    void salvaConNomeChiedeSempre()
    {
        stimaArea(m);
        attivaConFile(m, "salva", percorso("Perix-menu-uno"));
        attivaConFile(m, "salvanome", percorso("Perix-menu-due"));
        QCOMPARE(dialoghi::prova::mostrati().last().titolo, QStringLiteral("Salva file con nome"));
        QVERIFY(QFile::exists(percorso("Perix-menu-due")));
        QCOMPARE(m->nomefile(), percorso("Perix-menu-due"));
    }

    void annullareNonFaNulla()
    {
        stimaArea(m);
        const QStringList prima = campiFinestra();
        attivaConFile(m, "salva", std::nullopt);
        attivaConFile(m, "apri", std::nullopt);
        attivaConFile(m, "eliminare", std::nullopt);
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(campiFinestra(), prima);
        QCOMPARE(m->nomefile(), QString());
    }

    void virgoletteEAccenti()
    {
        stimaArea(m, "1000000", "500000", "2", "il \"lotto\" è, forse, 1000");
        attivaConFile(m, "salva", percorso("Perix-menu-virgolette"));
        chiudiTutto();
        m = registro::mostra<menu>();
        attivaConFile(m, "apri", percorso("Perix-menu-virgolette"));
        QCOMPARE(testo(m, "superficie"), QStringLiteral("il \"lotto\" è, forse, 1000"));
    }

    void fileDiVecchiaVersione()
    {
        // Windows-1252, CR LF, an accented letter, written by an older version.
        QVERIFY(scrivi(percorso("Perix-menu-vecchio"), QByteArray("\"Valori in lire\",\"800000\",\"300000\"\r\n\"1\",\"superficie \xe8 500\"\r\n")));
        attivaConFile(m, "apri", percorso("Perix-menu-vecchio"));
        QCOMPARE(testo(m, "soldi"), QStringLiteral("Valori in lire"));
        QCOMPARE(testo(m, "superficie"), QStringLiteral("superficie è 500"));
        QCOMPARE(messaggiMostrati(), 0);
    }

    void fileDiAltroTipo()
    {
        // A synthetic-cost file: its first five fields are taken, whatever their lines.
        QVERIFY(scrivi(percorso("Perix-sint-altro"), QByteArray("\"Valori in euro\",2\r\n\"291\",\"327\",\"400\"\r\n\"1.000\",\"1.091\",\"1.364\"\r\n")));
        attivaConFile(m, "apri", percorso("Perix-sint-altro"));
        QCOMPARE(testo(m, "soldi"), QStringLiteral("Valori in euro"));
        QCOMPARE(testo(m, "valoremercato"), QStringLiteral("2"));
        QCOMPARE(testo(m, "costitotali"), QStringLiteral("291"));
        QCOMPARE(testo(m, "anni"), QStringLiteral("327"));
        QCOMPARE(testo(m, "superficie"), QStringLiteral("400"));
    }

    void fileGuasti_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::newRow("vuoto") << QByteArray();
        QTest::newRow("troncato") << QByteArray("\"Valori in euro\",\"1\",\"2\"\r\n\"3\"");
        QTest::newRow("virgolette aperte") << QByteArray("\"Valori in euro\",\"1\",\"2\"\r\n\"3\",\"4");
        QTest::newRow("binario") << QByteArrayLiteral("\x00\x01\x02,\x89PNG,\xff\xfe,\x00,\x07,\x08\r\n");
        QTest::newRow("enorme") << QByteArray(50 * 1024 * 1024, 'a');
    }
    void fileGuasti()
    {
        QFETCH(QByteArray, dati);
        stimaArea(m);
        const QStringList prima = campiFinestra();
        QVERIFY(scrivi(percorso("Perix-menu-guasto"), dati));
        attivaConFile(m, "apri", percorso("Perix-menu-guasto"));
        QCOMPARE(campiFinestra(), prima);
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QVERIFY2(ultimoMessaggio().startsWith(QStringLiteral("Impossibile aprire il file Perix-menu-guasto")),
                 qPrintable(ultimoMessaggio()));
        // The unreadable file is not the window's file: "Salva" asks, the file stays as it was.
        QCOMPARE(m->nomefile(), QString());
        attivaConFile(m, "salva", std::nullopt);
        QCOMPARE(ultimoMostrato().tipo, Tipo::SalvaFile);
        if (dati.size() < 1024)
            QCOMPARE(contenuto(percorso("Perix-menu-guasto")), dati);
    }

    void cartellaScelta()
    {
        stimaArea(m);
        const QStringList prima = campiFinestra();
        attivaConFile(m, "apri", cartella.path());
        QCOMPARE(campiFinestra(), prima);
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        // Saving onto a directory fails and says so.
        attivaConFile(m, "salvanome", cartella.path());
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Impossibile salvare il file")));
    }

    void cartellaSparita()
    {
        stimaArea(m);
        attivaConFile(m, "salva", percorso("non-esiste/Perix-menu-x"));
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Impossibile salvare il file Perix-menu-x")));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
    }

    void eliminaERiscrive()
    {
        stimaArea(m);
        QVERIFY(scrivi(percorso("Perix-menu-via"), "\"x\",\"1\",\"2\"\r\n\"3\",\"4\"\r\n"));
        QVERIFY(attivaConFile(m, "eliminare", percorso("Perix-menu-via")));
        const auto d = dialoghi::prova::mostrati().constFirst();
        QCOMPARE(d.tipo, Tipo::ApriFile);
        QCOMPARE(d.titolo, Modulo::titoloelimina);
        QCOMPARE(d.file.indiceFiltro, 2);
        QVERIFY(!QFile::exists(percorso("Perix-menu-via")));
        QCOMPARE(messaggiMostrati(), 0); // no confirmation
        // In the trash, whole, for the user to take back.
        const QString cestino = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(cestino.startsWith(cartella.path()));
        QCOMPARE(contenuto(cestino + QStringLiteral("/Trash/files/Perix-menu-via")),
                 QByteArray("\"x\",\"1\",\"2\"\r\n\"3\",\"4\"\r\n"));
        // The name stays: "Salva" writes the window's data under it again.
        attiva(m, "salva");
        QVERIFY(contenuto(percorso("Perix-menu-via")).startsWith("\"Valori in euro\",\"1000000\""));
    }

    void eliminaFileMancante()
    {
        attivaConFile(m, "eliminare", percorso("Perix-menu-fantasma"));
        QCOMPARE(ultimoMostrato().icona, Icona::Stop);
        QVERIFY(ultimoMessaggio().startsWith(QStringLiteral("Impossibile eliminare il file Perix-menu-fantasma")));
    }

    void campiVuoti()
    {
        clicca(m, "moneta(1)");
        clicca(m, "aree");
        attivaConFile(m, "salva", percorso("Perix-menu-vuoti"));
        QCOMPARE(contenuto(percorso("Perix-menu-vuoti")), QByteArray("\"Valori in lire\",\"\",\"\"\r\n\"\",\"\"\r\n"));
        chiudiTutto();
        m = registro::mostra<menu>();
        attivaConFile(m, "apri", percorso("Perix-menu-vuoti"));
        QCOMPARE(testo(m, "valoremercato"), QString());
        QCOMPARE(testo(m, "passo"), QStringLiteral("digitare il valore di mercato del fabbricato"));
    }

    void esempioDistribuito()
    {
        const QString esempio = QStringLiteral("esempi/Perix-menu-esempio");
        QVERIFY2(QFile::exists(esempio), "the sample file sits in the build folder");
        attivaConFile(m, "apri", esempio);
        QCOMPARE(messaggiMostrati(), 0);
        QCOMPARE(testo(m, "soldi"), QStringLiteral("Valori in euro"));
        QVERIFY(!testo(m, "risultati(1)").isEmpty());
    }

    void barraDegliStrumenti()
    {
        // Positions 1 to 4 are open, save, save as, delete.
        m->Toolbar1_ButtonClick(2);
        QCOMPARE(ultimoMessaggio(), QStringLiteral("Non esistono dati da archiviare."));
        dialoghi::prova::accodaFile(std::nullopt);
        m->Toolbar1_ButtonClick(1);
        QCOMPARE(dialoghi::prova::mostrati().last().titolo, QStringLiteral("Apri file (menu)"));
        dialoghi::prova::accodaFile(std::nullopt);
        m->Toolbar1_ButtonClick(4);
        QCOMPARE(dialoghi::prova::mostrati().last().titolo, Modulo::titoloelimina);
    }
};

QTEST_MAIN(ProvaArchivioMenu)
#include "prova_archivio_menu.moc"
