// Unsaved figures and their recovery copies, driven through the windows: typed figures are
// marked unsaved, copied when the timer's work runs, and come back after a session that
// ended without its clean exit; discarded copies go to the test's own trash.
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "ui/cornice.h"
#include "ui/modulo.h"
#include "ui/recupero.h"
#include "ui/registro.h"
#include "supporto.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace perix;
using namespace perix::prova;
using recupero::Gestore;
using Tipo = dialoghi::prova::Mostrato::Tipo;

class ProvaRecupero : public QObject
{
    Q_OBJECT

    QTemporaryDir casa;
    std::unique_ptr<Gestore> gestore;

    // Figures typed into window n the way a user reaches it; the window.
    FinestraStima *compila(int n)
    {
        menu *m = registro::mostra<menu>();
        switch (n) {
        case 1: stimaArea(m); break;
        case 2:
            clicca(m, "moneta(2)");
            clicca(m, "disaggregati");
            digita(m, "valoremercato", "2.000.000");
            digita(m, "costitotali", "1.000.000");
            clicca(m, "Option1(2)");
            for (int k = 1; k <= 16; ++k)
                digita(stimaAperta(2), QStringLiteral("p2(%1)").arg(k), k <= 2 ? "50" : "0");
            break;
        case 3:
            clicca(m, "moneta(1)");
            clicca(m, "sintetici");
            digita(m, "costolordo", "1.250");
            clicca(m, "Option1(3)");
            break;
        case 4:
            clicca(m, "moneta(1)"); // without a currency there is nothing the window would save
            digita(registro::mostra<risultatitipologie>(), "costonetto", "1.000");
            clicca(stimaAperta(4), "tipologia(3)");
            break;
        case 5:
            digita(registro::mostra<variocosto>(), "costopieno", "300");
            clicca(stimaAperta(5), "Optvario(4)");
            break;
        }
        return stimaAperta(n);
    }
    // The timer's work, then the copies on the disk.
    void scrivi()
    {
        recupero::aggiorna();
        if (gestore)
            gestore->attendi();
    }
    // The program ends without its clean exit: the windows go, the copies stay.
    void interrompi()
    {
        gestore.reset();
        sessioneNuova();
    }
    std::unique_ptr<Gestore> riavvia()
    {
        auto g = std::make_unique<Gestore>();
        dialoghi::prova::azzera();
        return g;
    }
    static QStringList copieIn(const QString &cartella)
    {
        QStringList trovate;
        QDirIterator it(cartella, {QStringLiteral("*.copia")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            trovate << it.next();
        return trovate;
    }
    static QString cestino()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    }
    // What the trash holds, by name.
    static QStringList nelCestino()
    {
        QStringList nomi = QDir(cestino() + QStringLiteral("/files")).entryList(QDir::Files);
        nomi.sort();
        return nomi;
    }
    QString percorso(const QString &nome) const { return casa.filePath(nome); }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        // The copies and the trash are the test's own.
        qputenv("HOME", QFile::encodeName(casa.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(percorso("dati")));
        QStandardPaths::setTestModeEnabled(true);
        preparaAmbiente();
    }
    void init()
    {
        sessioneNuova();
        QDir(Gestore::cartellaPredefinita()).removeRecursively();
        QDir(cestino()).removeRecursively();
        gestore = std::make_unique<Gestore>();
        QVERIFY2(gestore->valido(), qPrintable(gestore->motivo()));
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        gestore.reset();
        sessioneNuova();
    }

    void ripristinoInOgniFinestra_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("controlli"); // shown again as they were
        QTest::newRow("menu") << 1 << QStringList{"valoremercato", "costitotali", "anni", "superficie", "soldi"};
        QTest::newRow("disaggregati") << 2 << QStringList{"vm", "cc", "ris(1)", "p2(1)", "p2(2)", "p2(3)"};
        QTest::newRow("sintetici") << 3 << QStringList{"rissint(1)", "rissint2(2)", "rissint3(5)", "soldi"};
        QTest::newRow("tipologie") << 4 << QStringList{"costonetto", "costi(1)", "costi(9)"};
        QTest::newRow("altezze") << 5 << QStringList{"costopieno", "varicosti(1)", "varicosti(14)"};
    }
    void ripristinoInOgniFinestra()
    {
        QFETCH(int, n);
        QFETCH(QStringList, controlli);
        FinestraStima *w = compila(n);
        QVERIFY(w);
        scrivi();
        QVERIFY(w->nonSalvata());
        QVERIFY(w->windowTitle().endsWith(QStringLiteral("[*]")));
        const QString copia = gestore->percorsoCopia(n);
        QVERIFY(QFile::exists(copia));
        const FinestraStima::Figure prima = w->figure();
        QVERIFY(prima.record);
        QCOMPARE(!prima.aggiunte.isEmpty(), n == 2); // the typed percentages ride along
        QStringList visti;
        for (const QString &c : controlli)
            visti << testo(w, c);

        interrompi();
        auto g = riavvia();
        dialoghi::prova::accodaElenco(true);
        const QList<int> ripristinate = g->offriRipristino(nullptr);
        const auto domanda = dialoghi::prova::mostrati().value(0);
        QCOMPARE(domanda.tipo, Tipo::Elenco);
        QCOMPARE(domanda.voci.size(), 1); // only the window typed in holds figures
        QVERIFY(domanda.voci[0].testo.contains(recupero::nomeFinestra(n)));
        QVERIFY(domanda.voci[0].testo.contains(QStringLiteral("senza nome")));
        QCOMPARE(ripristinate, QList<int>{n});

        w = stimaAperta(n);
        QVERIFY(w);
        QVERIFY(w->nonSalvata());
        QCOMPARE(w->figure(), prima);
        QStringList ora;
        for (const QString &c : controlli)
            ora << testo(w, c);
        QCOMPARE(ora, visti);
        // The copy now belongs to this session; the old one is gone.
        QCOMPARE(copieIn(Gestore::cartellaPredefinita()), QStringList{g->percorsoCopia(n)});
        g.reset();
    }

    void marcatore()
    {
        menu *m = registro::mostra<menu>();
        stimaArea(m);
        QVERIFY(m->nonSalvata());
        QVERIFY(attivaConFile(m, "salva", percorso("Perix-menu-marcato")));
        QVERIFY(!m->nonSalvata());
        QCOMPARE(m->windowTitle(), QStringLiteral("Perix - Perix-menu-marcato[*]"));
        digita(m, "anni", "3");
        QVERIFY(m->nonSalvata()); // at the keystroke
        digita(m, "anni", "2");
        scrivi();
        QVERIFY(!m->nonSalvata()); // the figures are the saved ones again
        QVERIFY(!QFile::exists(gestore->percorsoCopia(1)));
        // Typed percentages are figures of the disaggregated window.
        FinestraStima *d = compila(2);
        QVERIFY(attivaConFile(d, "salva", percorso("Perix-disaggr-marcato")));
        QVERIFY(!d->nonSalvata());
        digita(d, "p2(3)", "5");
        scrivi();
        QVERIFY(d->nonSalvata());
        QVERIFY(QFile::exists(gestore->percorsoCopia(2)));
    }

    void copiaTolta_data()
    {
        QTest::addColumn<QString>("azione");
        QTest::newRow("salvata") << "salva";
        QTest::newRow("nuova stima") << "cancella";
        QTest::newRow("uscita") << "uscita";
    }
    void copiaTolta()
    {
        QFETCH(QString, azione);
        FinestraStima *w = compila(4);
        scrivi();
        QVERIFY(QFile::exists(gestore->percorsoCopia(4)));
        if (azione == "salva") {
            QVERIFY(attivaConFile(w, "salva", percorso("Perix-tipol-tolta")));
        } else if (azione == "cancella") {
            QVERIFY(attiva(w, "cancella"));
        } else {
            dialoghi::prova::accodaRisposta(dialoghi::Risposta::Si);
            QVERIFY(attiva(w, "esci"));
        }
        scrivi();
        QVERIFY(!QFile::exists(gestore->percorsoCopia(4)));
        if (azione != "uscita") // the exit closed it
            QVERIFY(!stimaAperta(4)->nonSalvata());
        interrompi();
        auto g = riavvia();
        QVERIFY(g->offriRipristino(nullptr).isEmpty());
        QVERIFY(dialoghi::prova::mostrati().isEmpty()); // nothing to ask
    }

    void scartaNelCestino()
    {
        compila(1);
        compila(5);
        scrivi();
        interrompi();
        auto g = riavvia();
        dialoghi::prova::accodaElenco(false);
        QVERIFY(g->offriRipristino(nullptr).isEmpty());
        QVERIFY(!stimaAperta(1) && !stimaAperta(5));
        QCOMPARE(copieIn(Gestore::cartellaPredefinita()), QStringList{});
        QCOMPARE(nelCestino(), (QStringList{"finestra-1.copia", "finestra-5.copia"}));
        // The trashed copies are whole: the user can still take them back.
        for (const QString &c : copieIn(cestino()))
            QVERIFY(recupero::leggiCopia(*leggiFile(c)));
    }

    void secondaIstanza()
    {
        compila(3);
        scrivi();
        const QString copia = gestore->percorsoCopia(3);
        const QByteArray dati = *leggiFile(copia);
        {
            // Another Perix while this one runs: nothing of this one is offered or touched.
            Gestore secondo;
            QVERIFY(secondo.valido());
            QVERIFY(secondo.cartellaSessione() != gestore->cartellaSessione());
            QVERIFY(secondo.copieLasciate().isEmpty());
            QVERIFY(secondo.offriRipristino(nullptr).isEmpty());
            QVERIFY(dialoghi::prova::mostrati().isEmpty());
        }
        QCOMPARE(*leggiFile(copia), dati);
    }

    void bloccoDiUnProcessoUcciso()
    {
        // The lock a killed Perix leaves: its file stays, naming a process that is gone.
        compila(5);
        scrivi();
        const QString blocco = gestore->cartellaSessione() + QStringLiteral("/sessione.lock");
        QList<QByteArray> righe = leggiFile(blocco)->split('\n');
        QProcess morto;
        morto.start(QStringLiteral("true"));
        QVERIFY(morto.waitForStarted());
        righe[0] = QByteArray::number(morto.processId());
        QVERIFY(morto.waitForFinished());
        interrompi();
        QVERIFY(!QFile::exists(blocco));
        QFile f(blocco);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(righe.join('\n')) > 0);
        f.close();
        auto g = riavvia();
        dialoghi::prova::accodaElenco(true);
        QCOMPARE(g->offriRipristino(nullptr), QList<int>{5});
        QCOMPARE(testo(stimaAperta(5), "costopieno"), QStringLiteral("300"));
        g.reset();
    }

    void salvaDopoRipristino()
    {
        menu *m = registro::mostra<menu>();
        stimaArea(m);
        const QString file = percorso("Perix-menu-ripreso");
        QVERIFY(attivaConFile(m, "salva", file));
        const QByteArray salvato = *leggiFile(file);
        digita(m, "superficie", "2000");
        scrivi();
        interrompi();
        auto g = riavvia();
        dialoghi::prova::accodaElenco(true);
        QCOMPARE(g->offriRipristino(nullptr), QList<int>{1});
        QVERIFY(dialoghi::prova::mostrati().value(0).voci.value(0).testo.contains(QStringLiteral("Perix-menu-ripreso")));
        m = registro::seEsiste<menu>();
        QCOMPARE(m->windowTitle(), QStringLiteral("Perix - Perix-menu-ripreso[*]"));
        QCOMPARE(m->nomefile(), file);
        QCOMPARE(testo(m, "superficie"), QStringLiteral("2000"));
        // Salva asks before writing over the file; No offers another name, here cancelled.
        dialoghi::prova::azzera();
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::No);
        QVERIFY(attivaConFile(m, "salva", std::nullopt));
        QCOMPARE(dialoghi::prova::mostrati().value(0).icona, dialoghi::Icona::Domanda);
        QVERIFY(dialoghi::prova::mostrati().value(0).testo.contains(QStringLiteral("Perix-menu-ripreso")));
        QCOMPARE(dialoghi::prova::mostrati().value(1).tipo, Tipo::SalvaFile);
        QCOMPARE(*leggiFile(file), salvato);
        QVERIFY(m->nonSalvata());
        dialoghi::prova::azzera();
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Si);
        QVERIFY(attiva(m, "salva"));
        QVERIFY(*leggiFile(file) != salvato);
        QVERIFY(!m->nonSalvata());
        // Once saved, it is the window's file again: no more question.
        dialoghi::prova::azzera();
        QVERIFY(attiva(m, "salva"));
        QVERIFY(dialoghi::prova::mostrati().isEmpty());
        g.reset();
    }

    void copiaDanneggiata_data()
    {
        QTest::addColumn<int>("taglio"); // bytes left; -1: one byte of the record changed
        QTest::addColumn<QString>("motivo");
        QTest::newRow("tagliata nel record") << 120 << "incompleta";
        QTest::newRow("tagliata nell'intestazione") << 10 << "non è una copia";
        QTest::newRow("ritoccata a mano") << -1 << "modificata";
    }
    void copiaDanneggiata()
    {
        QFETCH(int, taglio);
        QFETCH(QString, motivo);
        compila(1);
        scrivi();
        const QString copia = gestore->percorsoCopia(1);
        QByteArray dati = *leggiFile(copia);
        if (taglio >= 0)
            dati.truncate(taglio);
        else
            dati[dati.size() - 5] = '9';
        QString perche;
        QVERIFY(!recupero::leggiCopia(dati, &perche));
        QVERIFY2(perche.contains(motivo), qPrintable(perche));
        interrompi();
        QVERIFY(salvaAtomico(copia, dati));
        auto g = riavvia();
        dialoghi::prova::accodaElenco(true, QList<int>{0}); // even asked for, it is not opened
        QVERIFY(g->offriRipristino(nullptr).isEmpty());
        const auto voce = dialoghi::prova::mostrati().value(0).voci.value(0);
        QVERIFY(!voce.attiva);
        QVERIFY2(voce.testo.contains(QDir::toNativeSeparators(copia)) && voce.testo.contains(motivo), qPrintable(voce.testo));
        QVERIFY(!stimaAperta(1));
        QVERIFY(copieIn(Gestore::cartellaPredefinita()).isEmpty());
        QCOMPARE(nelCestino(), QStringList{"finestra-1.copia"});
    }
};

QTEST_MAIN(ProvaRecupero)
#include "prova_recupero.moc"
