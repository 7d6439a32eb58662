// The open, save and delete commands shared by the estimation windows, answered
// through the dialog layer's queue.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ui/comandi.h"
#include "supporto.h"

using namespace perix;
using namespace perix::prova;
using Tipo = dialoghi::prova::Mostrato::Tipo;

namespace {

const DescrizioneArchivio archivioMenu{.prefisso = QStringLiteral("Perix-menu-"),
                                       .titoloApri = QStringLiteral("Apri file (menu)")};
const QString titoloControllo = QStringLiteral("Perix - controllo");
const QString titoloElimina = QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");
const Record record{{QStringLiteral("Valori in euro"), QStringLiteral("1.500"), QStringLiteral("800")},
                    {QStringLiteral("10"), QStringLiteral("2500")}};

// "descrizione|schema;..." for the filters a dialog was shown with.
QString filtri(const dialoghi::RichiestaFile &r)
{
    QStringList parti;
    for (const auto &f : r.filtri)
        parti << f.descrizione + u'|' + f.schema;
    return parti.join(u';');
}

const QString filtriApri = QStringLiteral("Tutti i file|*.*;File Perix-menu- |Perix-menu-*");

} // namespace

class ProvaComandi : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString percorso(const QString &nome) const { return dir.filePath(nome); }

    // The one message shown must be a stop box with this text and the caller's title.
    void unoStop(const QString &testo)
    {
        QCOMPARE(prova::messaggiMostrati(), 1);
        const auto m = prova::ultimoMostrato();
        QCOMPARE(m.tipo, Tipo::Messaggio);
        QCOMPARE(m.icona, dialoghi::Icona::Stop);
        QCOMPARE(m.titolo, titoloControllo);
        QCOMPARE(m.testo, testo);
    }

private slots:
    void initTestCase() { prova::preparaAmbiente(); }
    void init() { dialoghi::prova::azzera(); }
    void cleanup()
    {
        QVERIFY2(dialoghi::prova::senzaRisposta().isEmpty(),
                 qPrintable(dialoghi::prova::senzaRisposta().join(u", ")));
        QCOMPARE(dialoghi::prova::risposteInAttesa(), 0);
    }

    void apre()
    {
        const QString file = percorso("Perix-menu-apri");
        QVERIFY(scrivi(file, codificaRecord(record)));
        dialoghi::prova::accodaFile(file);
        QString nomefile = QStringLiteral("prima");
        const auto campi = apriArchivio(nullptr, archivioMenu, nomefile, 5, titoloControllo);
        QVERIFY(campi);
        QCOMPARE(campi->size(), 5);
        QCOMPARE(campi->at(0).testo, "Valori in euro");
        QCOMPARE(campi->at(4).testo, "2500");
        QCOMPARE(nomefile, file);

        const auto &m = dialoghi::prova::mostrati();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].tipo, Tipo::ApriFile);
        QCOMPARE(m[0].titolo, "Apri file (menu)");
        QCOMPARE(m[0].file.nomeProposto, QString());
        QCOMPARE(filtri(m[0].file), filtriApri);
        QCOMPARE(m[0].file.indiceFiltro, 2);
        QVERIFY(QFile::remove(file));
    }

    void annullatiInSilenzio()
    {
        const QString file = percorso("Perix-menu-resta");
        QVERIFY(scrivi(file, "\"x\"\r\n"));
        QString nomefile = QStringLiteral("prima");
        dialoghi::prova::accodaFile(std::nullopt);
        QVERIFY(!apriArchivio(nullptr, archivioMenu, nomefile, 5, titoloControllo));
        dialoghi::prova::accodaFile(std::nullopt);
        QVERIFY(!eliminaArchivio(nullptr, archivioMenu, nomefile, titoloElimina, titoloControllo));
        nomefile.clear();
        dialoghi::prova::accodaFile(std::nullopt);
        QVERIFY(!salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file", record, titoloControllo));

        QCOMPARE(nomefile, QString());
        QCOMPARE(dialoghi::prova::mostrati().size(), 3);
        QCOMPARE(prova::messaggiMostrati(), 0);
        QCOMPARE(contenuto(file), "\"x\"\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Perix-menu-resta"});
        QVERIFY(QFile::remove(file));
    }

    void aperturaFallita_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati"); // no file when null
        QTest::addColumn<QString>("motivo");
        QTest::newRow("file mancante") << "Perix-menu-manca" << QByteArray() << "il file non esiste";
        QTest::newRow("record incompleto") << "Perix-menu-corto" << QByteArray("\"Valori in lire\",\"1\"\r\n")
                                           << "il file ha 1 riga invece di 2";
        QTest::newRow("non testo") << "Perix-menu-bin" << QByteArray("\0\1\2", 3) << "il file non contiene testo";
    }
    void aperturaFallita()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(QString, motivo);
        const QString file = percorso(nome);
        if (!dati.isNull())
            QVERIFY(scrivi(file, dati));
        dialoghi::prova::accodaFile(file);
        // The window keeps its own file: a later "Salva" must not land on the unreadable one.
        QString nomefile = percorso("Perix-menu-precedente");
        QVERIFY(!apriArchivio(nullptr, archivioMenu, nomefile, 5, titoloControllo));
        QCOMPARE(nomefile, percorso("Perix-menu-precedente"));
        unoStop(QStringLiteral("Impossibile aprire il file %1: %2").arg(nome, motivo));
        QFile::remove(file);
    }

    void salva()
    {
        QString nomefile;
        const QString file = percorso("Perix-menu-nuovo");
        dialoghi::prova::accodaFile(file);
        QVERIFY(salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file con nome", record, titoloControllo));
        QCOMPARE(nomefile, file);
        QCOMPARE(contenuto(file), codificaRecord(record));
        const auto &m = dialoghi::prova::mostrati();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].tipo, Tipo::SalvaFile);
        QCOMPARE(m[0].titolo, "Salva file con nome");
        QCOMPARE(filtri(m[0].file), "File Perix-menu- |Perix-menu-*");
        QCOMPARE(m[0].file.indiceFiltro, 1);

        // A known name is written again without asking.
        const Record altro{{QStringLiteral("Valori in lire")}};
        QVERIFY(salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file", altro, titoloControllo));
        QCOMPARE(dialoghi::prova::mostrati().size(), 1);
        QCOMPARE(contenuto(file), codificaRecord(altro));
        QVERIFY(QFile::remove(file));
    }

    // A name typed without the window's prefix gets it, so that Apri lists the file; a file
    // already there under the full name is replaced only when the user says so.
    void prefissoAggiunto_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("scritto");
        QTest::addColumn<bool>("esiste");   // the full name already there
        QTest::addColumn<int>("risposta");  // to "Sostituirlo?": 0 not asked, 1 Sì, 2 No
        QTest::newRow("senza prefisso") << "Lotto via Roma" << "Perix-menu-Lotto via Roma" << false << 0;
        QTest::newRow("col prefisso") << "Perix-menu-Lotto" << "Perix-menu-Lotto" << false << 0;
        QTest::newRow("prefisso in minuscolo") << "perix-menu-lotto" << "perix-menu-lotto" << false << 0;
        QTest::newRow("prefisso a metà") << "menu-Lotto" << "Perix-menu-menu-Lotto" << false << 0;
        QTest::newRow("sostituisce se si vuole") << "Lotto" << "Perix-menu-Lotto" << true << 1;
        QTest::newRow("non sostituisce") << "Lotto" << "" << true << 2;
    }
    void prefissoAggiunto()
    {
        QFETCH(QString, digitato);
        QFETCH(QString, scritto);
        QFETCH(bool, esiste);
        QFETCH(int, risposta);
        QTemporaryDir qui;
        const QString vecchio = qui.filePath(QStringLiteral("Perix-menu-Lotto"));
        if (esiste)
            QVERIFY(scrivi(vecchio, "vecchio"));
        if (risposta)
            dialoghi::prova::accodaRisposta(risposta == 1 ? dialoghi::Risposta::Si : dialoghi::Risposta::No);
        dialoghi::prova::accodaFile(qui.filePath(digitato));
        QString nomefile;
        QCOMPARE(salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file", record, titoloControllo), !scritto.isEmpty());
        QCOMPARE(nomefile, scritto.isEmpty() ? QString() : qui.filePath(scritto));
        QStringList attesi{scritto};
        if (esiste && scritto.isEmpty())
            attesi = {QStringLiteral("Perix-menu-Lotto")};
        QCOMPARE(QDir(qui.path()).entryList(QDir::Files), attesi);
        if (!scritto.isEmpty())
            QCOMPARE(contenuto(qui.filePath(scritto)), codificaRecord(record));
        else
            QCOMPARE(contenuto(vecchio), QByteArray("vecchio"));
        QCOMPARE(prova::messaggiMostrati(), risposta ? 1 : 0);
        if (risposta)
            QCOMPARE(prova::ultimoMessaggio(), QStringLiteral("Il file Perix-menu-Lotto esiste già. Sostituirlo?"));
    }

    void salvaConTuttiIFile()
    {
        const DescrizioneArchivio percentuali{.prefisso = QStringLiteral("Perix-percentuali-"),
                                              .nomeProposto = QStringLiteral("Perix-percentuali-"),
                                              .salvaConTuttiIFile = true};
        QString nomefile;
        const QString file = percorso("Perix-percentuali-1");
        dialoghi::prova::accodaFile(file);
        QVERIFY(salvaArchivio(nullptr, percentuali, nomefile, "Salva file (percentuali)", {{std::monostate{}}},
                              titoloControllo));
        const auto r = dialoghi::prova::mostrati().at(0).file;
        QCOMPARE(filtri(r), "Tutti i file|*.*;File Perix-percentuali- |Perix-percentuali-*");
        QCOMPARE(r.indiceFiltro, 2);
        QCOMPARE(r.nomeProposto, "Perix-percentuali-");
        QCOMPARE(contenuto(file), "\r\n");
        QVERIFY(QFile::remove(file));
    }

    void salvataggioFallito()
    {
        QString nomefile = percorso("sparita/Perix-menu-x");
        QVERIFY(!salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file", record, titoloControllo));
        unoStop("Impossibile salvare il file Perix-menu-x: la cartella non esiste");
    }

    // After a delete the name stays, so "Salva" writes the data back under it.
    void eliminaESalvaDiNuovo()
    {
        const QString file = percorso("Perix-menu-via");
        QVERIFY(scrivi(file, "\"x\"\r\n"));
        dialoghi::prova::accodaFile(file);
        QString nomefile;
        QVERIFY(eliminaArchivio(nullptr, archivioMenu, nomefile, titoloElimina, titoloControllo));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(nomefile, file);
        const auto &m = dialoghi::prova::mostrati();
        QCOMPARE(m.size(), 1); // no confirmation asked
        QCOMPARE(m[0].tipo, Tipo::ApriFile);
        QCOMPARE(m[0].titolo, titoloElimina);
        QCOMPARE(filtri(m[0].file), filtriApri);
        QCOMPARE(m[0].file.indiceFiltro, 2);

        QVERIFY(salvaArchivio(nullptr, archivioMenu, nomefile, "Salva file", record, titoloControllo));
        QCOMPARE(contenuto(file), codificaRecord(record));
        QVERIFY(QFile::remove(file));
    }

    void eliminazioneFallita_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("file mancante") << "Perix-menu-manca" << "il file non esiste";
        QTest::newRow("cartella") << "Perix-menu-cartella" << "è una cartella, non un file";
    }
    void eliminazioneFallita()
    {
        QFETCH(QString, nome);
        QFETCH(QString, motivo);
        const QString cartella = percorso("Perix-menu-cartella");
        QVERIFY(QDir().mkpath(cartella));
        dialoghi::prova::accodaFile(percorso(nome));
        QString nomefile;
        QVERIFY(!eliminaArchivio(nullptr, archivioMenu, nomefile, titoloElimina, titoloControllo));
        QVERIFY(QFileInfo(cartella).isDir());
        unoStop(QStringLiteral("Impossibile eliminare il file %1: %2").arg(nome, motivo));
        QVERIFY(QDir(cartella).removeRecursively());
    }

    void eliminaInCartellaSolaLettura()
    {
        const QString sotto = percorso("chiusa");
        QVERIFY(QDir().mkpath(sotto));
        const QString file = sotto + "/Perix-menu-a";
        QVERIFY(scrivi(file, "x"));
        QFile::setPermissions(sotto, QFile::ReadOwner | QFile::ExeOwner);
        const bool efficaci = permessiEfficaci(sotto);
        bool eliminato = false;
        QString nomefile;
        if (efficaci) {
            dialoghi::prova::accodaFile(file);
            eliminato = eliminaArchivio(nullptr, archivioMenu, nomefile, titoloElimina, titoloControllo);
        }
        QFile::setPermissions(sotto, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!efficaci)
            QSKIP("i permessi non impediscono di eliminare a questo utente (root)");
        QVERIFY(!eliminato);
        QVERIFY(QFile::exists(file));
        unoStop("Impossibile eliminare il file Perix-menu-a: la cartella è di sola lettura");
    }
};

QTEST_MAIN(ProvaComandi)
#include "prova_comandi.moc"
