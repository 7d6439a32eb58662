// Start-up, the splash, the exit confirmation, currency hand-over and the window frame.
#include "app/avvio.h"
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "estimates/menu.h"
#include "supporto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace perix;
using namespace perix::prova;
using dialoghi::Icona;
using dialoghi::Risposta;

class ProvaAvvio : public QObject
{
    Q_OBJECT

    int finestreVisibili()
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += w->isVisible() && !qobject_cast<QMenu *>(w);
        return n;
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
    }
    void init()
    {
        azzeraScelte();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    void testiDelProgramma()
    {
        Modulo::impostatesti();
        QCOMPARE(Modulo::nomeprogramma, QStringLiteral("Perix"));
        QCOMPARE(Modulo::versioneprogramma, QStringLiteral("3.09.04"));
        QCOMPARE(Modulo::dataaggiornamento, QStringLiteral("300119"));
        QCOMPARE(Modulo::titoloaiuto, QStringLiteral("Perix: aiuto in linea"));
        QCOMPARE(Modulo::titoloelimina, QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo"));
    }

    void pulsantiInItaliano()
    {
        // Qt's own Yes/No buttons of the exit question read in Italian.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes").remove(u'&'), QStringLiteral("Sì"));
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }

    void fileDatiCercatiPrimaQui()
    {
        QTemporaryDir qui;
        const QString prima = QDir::currentPath();
        QDir::setCurrent(qui.path());
        QVERIFY(scrivi(QStringLiteral("Internet.mid"), {}));
        QCOMPARE(Modulo::trovaFileDati(QStringLiteral("Internet.mid")), QDir(qui.path()).filePath("Internet.mid"));
        QFile::remove(QStringLiteral("Internet.mid"));
        // Then the program's own data folder; never a file that is not there.
        const QString altrove = Modulo::trovaFileDati(QStringLiteral("Internet.mid"));
        QVERIFY(altrove.isEmpty() || altrove.startsWith(Modulo::cartellaDati()));
        QVERIFY(Modulo::trovaFileDati(QStringLiteral("non-esiste.txt")).isEmpty());
        QDir::setCurrent(prima);
    }

    // Whatever is installed and whatever the user saved: the tests read the build tree's
    // data and settings of their own run, empty at start.
    void ambienteDellaProva_data()
    {
        QTest::addColumn<QString>("fuori"); // a place no setting and no data file may come from
        const QString casa = QDir::homePath();
        QTest::newRow("impostazioni dell'utente")
            << (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME") ? casa + QStringLiteral("/.config")
                                                               : qEnvironmentVariable("XDG_CONFIG_HOME"));
        QTest::newRow("impostazioni di prova di Qt") << casa + QStringLiteral("/.qttest");
        QTest::newRow("programma installato") << QStringLiteral("/usr");
        QTest::newRow("cartella di lavoro") << QDir::currentPath() + QStringLiteral("/prove");
    }
    void ambienteDellaProva()
    {
        QFETCH(QString, fuori);
        const QString impostazioni = QSettings(QStringLiteral("Perix"), QStringLiteral("Perix")).fileName();
        QVERIFY2(!impostazioni.startsWith(fuori), qPrintable(impostazioni));
        QVERIFY(!includiProcedimento());
        const QString costruzione = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        QVERIFY2(Modulo::cartellaDati().startsWith(costruzione), qPrintable(Modulo::cartellaDati()));
        QVERIFY2(!Modulo::cartellaDati().startsWith(fuori), qPrintable(Modulo::cartellaDati()));
        QVERIFY(QFileInfo::exists(Modulo::cartellaDati() + QStringLiteral("/Internet.mid")));
    }

    void splashAllAvvio()
    {
        auto *s = registro::mostra<frmSplash>();
        QCOMPARE(s->etichetta(3)->text(), QStringLiteral("Perix"));
        QCOMPARE(s->etichetta(4)->text(), QStringLiteral("stima di aree fabbricabili e costi di costruzione"));
        QCOMPARE(s->etichetta(5)->text(), QStringLiteral("EDIZIONE PROFESSIONALE - VERSIONE 3.09.04"));
        QCOMPARE(s->etichetta(2)->text(), QStringLiteral("                        presenta"));
        QCOMPARE(s->musica().stato(), Musica::Stato::InRiproduzione);
    }

    void clicDueVolteUnMenu()
    {
        auto *s = registro::mostra<frmSplash>();
        QTest::mouseClick(s, Qt::LeftButton);
        menu *m = registro::seEsiste<menu>();
        QVERIFY(m && m->isVisible());
        QCOMPARE(s->musica().stato(), Musica::Stato::InPausa);
        QVERIFY(s->isVisible()); // stays open behind
        QTest::mouseClick(s->etichetta(3), Qt::LeftButton);
        QCOMPARE(registro::seEsiste<menu>(), m);
        QCOMPARE(finestre<menu>().size(), 1);
    }

    // Enter and the space bar open the main window as a click does, so the keyboard alone
    // gets past the splash; any other key ends the program, as the splash says.
    void tastiDelloSplash_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<bool>("apre");
        QTest::newRow("Invio") << int(Qt::Key_Return) << true;
        QTest::newRow("Invio del tastierino") << int(Qt::Key_Enter) << true;
        QTest::newRow("spazio") << int(Qt::Key_Space) << true;
        QTest::newRow("X") << int(Qt::Key_X) << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
    }
    void tastiDelloSplash()
    {
        QFETCH(int, tasto);
        QFETCH(bool, apre);
        auto *s = registro::mostra<frmSplash>();
        QPointer<frmSplash> p(s);
        registro::prendi<prodotti>()->show();
        QTest::keyClick(s, Qt::Key(tasto));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(p.isNull(), !apre);
        QCOMPARE(registro::seEsiste<menu>() != nullptr, apre);
        QCOMPARE(registro::seEsiste<prodotti>() != nullptr, apre);
        if (apre) {
            QVERIFY(registro::seEsiste<menu>()->isVisible());
            QCOMPARE(s->musica().stato(), Musica::Stato::InPausa);
            QVERIFY(s->etichetta(8)->text().contains(QStringLiteral("Invio")));
        } else {
            QCOMPARE(finestreVisibili(), 0);
        }
    }

    void uscitaNo()
    {
        registro::mostra<frmSplash>();
        menu *m = registro::mostra<menu>();
        clicca(m, "moneta(1)");
        clicca(m, "aree");
        digita(m, "valoremercato", "123");
        dialoghi::prova::accodaRisposta(Risposta::No);
        clicca(m, "cmduscita");
        const auto d = ultimoMostrato();
        QCOMPARE(d.testo, QStringLiteral("Vuoi uscire da Perix?"));
        QCOMPARE(d.titolo, QStringLiteral("Attenzione: i dati non archiviati andranno persi !"));
        QCOMPARE(d.icona, Icona::Domanda);
        QCOMPARE(d.pulsanti, dialoghi::Pulsanti::SiNo);
        QCOMPARE(d.predefinito, 2);
        QCOMPARE(registro::seEsiste<menu>(), m);
        QCOMPARE(testo(m, "valoremercato"), QStringLiteral("123"));
    }

    void uscitaSiDaOgniComando_data()
    {
        QTest::addColumn<QString>("comando");
        QTest::newRow("pulsante") << "cmduscita";
        QTest::newRow("menu Esci") << "esci";
        QTest::newRow("barra") << "Toolbar1(22)";
    }
    void uscitaSiDaOgniComando()
    {
        QFETCH(QString, comando);
        auto *s = registro::mostra<frmSplash>();
        QTest::mouseClick(s, Qt::LeftButton);
        menu *m = registro::seEsiste<menu>();
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        registro::mostra<guidamenu>();
        dialoghi::prova::accodaRisposta(Risposta::Si);
        if (!clicca(m, comando))
            QVERIFY(attiva(m, comando));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!registro::seEsiste<menu>());
        QVERIFY(!registro::seEsiste<guidamenu>());
        QVERIFY(!registro::seEsiste<risultatisintetici>());
        QVERIFY(s->isVisible());
        QCOMPARE(s->etichetta(2)->text(), QStringLiteral("       elaborazione eseguita con"));
        QCOMPARE(s->musica().stato(), Musica::Stato::InRiproduzione);
        // The shared choices outlive the windows; a click opens a fresh main window.
        QCOMPARE(Modulo::etichettavaluta, QStringLiteral("Valori in euro"));
        QCOMPARE(Modulo::tipostima, 3);
        QTest::mouseClick(s, Qt::LeftButton);
        menu *nuovo = registro::seEsiste<menu>();
        QVERIFY(nuovo);
        QCOMPARE(testo(nuovo, "soldi"), QString());
        QCOMPARE(testo(nuovo, "passo"), QStringLiteral("scegliere la valuta del calcolo"));
    }

    void valutaVuotaPrimaDellaScelta()
    {
        Modulo::etichettavaluta.clear();
        registro::prendi<variocosto>()->soldi()->setText(QStringLiteral("vecchio"));
        Modulo::aggiornavaluta();
        QCOMPARE(registro::seEsiste<variocosto>()->soldi()->text(), QString());
        QVERIFY(!registro::seEsiste<variocosto>()->isVisible()); // created, not shown
    }

    void barraDegliStrumenti()
    {
        menu *m = registro::mostra<menu>();
        auto *barra = trova<QToolBar>(m, "Toolbar1");
        QVERIFY(barra);
        const QList<QAction *> azioni = barra->actions();
        QCOMPARE(azioni.size(), 22);
        for (int p : {5, 7, 13, 15, 19})
            QVERIFY(azioni[p - 1]->isSeparator());
        QCOMPARE(azioni[0]->toolTip(), QStringLiteral("apri file"));
        QCOMPARE(azioni[21]->toolTip(), QStringLiteral("uscita da Perix"));
        for (QAction *a : azioni)
            if (!a->isSeparator())
                QVERIFY2(!a->icon().isNull(), qPrintable(a->toolTip()));
        // A separator acts as the button after it.
        for (int p = 1; p <= 22; ++p)
            if (azioni[p - 1]->isSeparator())
                QCOMPARE(FinestraStima::comandoPosizione(p), FinestraStima::comandoPosizione(p + 1));
    }

    void menuDellaFinestra()
    {
        menu *m = registro::mostra<menu>();
        const QStringList nomi{"apri", "salva", "salvanome", "eliminare", "solodati", "esci", "colorare", "controlla",
                               "cancelladati", "fin1", "fin2", "fin3", "fin4", "fin5", "guidainlinea", "sugger",
                               "supporto", "informazioni", "finestra"};
        for (const QString &n : nomi)
            QVERIFY2(azione(m, n), qPrintable(n));
        QCOMPARE(azione(m, "salvanome")->text(), QStringLiteral("Salva con &nome..."));
        QCOMPARE(azione(m, "finestra")->property("didascalia").toString(),
                 QString(126, u' ') + QStringLiteral("Fi&nestra n.1 di 5"));
        QCOMPARE(m->menuBar()->actions().first()->text(), QStringLiteral("&File"));
        auto *dis = registro::prendi<risultatidisaggregati>();
        QCOMPARE(azione(dis, "finestra")->property("didascalia").toString(),
                 QString(124, u' ') + QStringLiteral("Fi&nestra n.2 di 5"));
        QVERIFY(azione(dis, "cancella") && !azione(dis, "cancelladati"));
    }

    // Every name the five windows are known by, as tools and tests find their controls;
    // "nome(a-b)" stands for the array nome(a) to nome(b). The menus and their items must be
    // exactly these: a renamed item is never found under its other name.
    void nomiDelleFinestre_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<QString>("voci");     // menus, items and named separators
        QTest::addColumn<QString>("controlli");
        const QString comuniVoci = QStringLiteral("apri salva salvanome eliminare solodati esportaxlsx esci colorare controlla "
                                                  "fin1 fin2 fin3 fin4 fin5 guidainlinea supporto incarico tecnico tecnicoguida "
                                                  "sepincarico septecnico ");
        const QString comuniControlli = QStringLiteral("Toolbar1 Frame3 cmduscita cmdmune guida aiuto soldi passo ");
        QTest::newRow("menu") << 1 << "menu"
            << comuniVoci + "file modifica visualizza interr cancelladati sugger informazioni apriomi"
            << comuniControlli + "Frame1 Frame2 altezze tipologici sintetici disaggregati aree moneta(1-2) caratt "
                                 "Option1(1-3) costolordo superficie anni costitotali valoremercato omi risultati(0-12) "
                                 "attento Label1 Label2 Label3 Label4 Label5 Label6";
        QTest::newRow("costi disaggregati") << 2 << "risultatidisaggregati"
            << comuniVoci + "fil modif vis interr cancella sugger informaz l1 l2 l3 l4 l5 l6 l7 l8"
            << comuniControlli + "Frame1 Frame2 archivio edifici terreni aprip preimp archiviap p2(1-16) annulla(1-16) "
                                 "ris2(1-16) ris(1-16) p1(1-16) Label1(0-15) cc vm tipoedi Label3 profitto Label2(0-2)";
        QTest::newRow("costi sintetici") << 3 << "risultatisintetici"
            << comuniVoci + "file modif VISU inter cancella sugg informaz l1 l2 l3 l4 l5 l6 l7 l8 l9"
            << comuniControlli + "Frame2 terreni edifici archivio Label4 Label3 Label2 Image1(1-3) Label1(1-6) Label5 "
                                 "rissint(1-5) rissint2(1-5) rissint3(1-5) dimensione costototale portacosto";
        QTest::newRow("costi per tipologie") << 4 << "risultatitipologie"
            << comuniVoci + "file modif visu inter cancella sugger informaz"
            << comuniControlli + "Frame1 Frame2 archivio edifici terreni tipologia(1-9) Image1(1-9) vano(1-9) "
                                 "edificio(1-9) Label1(1-9) Label4 Label3(0-2) costonetto Label6 dimensione costototale "
                                 "portacosto";
        QTest::newRow("costi per altezze") << 5 << "variocosto"
            << comuniVoci + "file modifica visualizza interr cancelladati sugger informazioni"
            << comuniControlli + "Frame1 Optvario(1-14) Image1(1-14) Label4(1-14) varicosti(1-14) piani(1-14) Label5 "
                                 "Label3 Label2 Label1 costopieno Label7 Label6 dimensione costototale portacosto";
    }
    void nomiDelleFinestre()
    {
        QFETCH(int, numero);
        QFETCH(QString, finestra);
        QFETCH(QString, voci);
        QFETCH(QString, controlli);
        const auto espandi = [](const QString &elenco) {
            QStringList nomi;
            static const QRegularExpression serie(QStringLiteral("^(\\w+)\\((\\d+)-(\\d+)\\)$"));
            for (const QString &n : elenco.split(u' ', Qt::SkipEmptyParts)) {
                const auto m = serie.match(n);
                if (!m.hasMatch()) {
                    nomi << n;
                    continue;
                }
                for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
                    nomi << QStringLiteral("%1(%2)").arg(m.captured(1)).arg(i);
            }
            return nomi;
        };
        mostraFinestraStima(numero);
        QWidget *w = finestraVisibile(finestra);
        QVERIFY2(w, qPrintable(finestra));
        for (const QString &n : espandi(controlli))
            QVERIFY2(w->findChild<QObject *>(n), qPrintable(n));
        // The menu bar holds exactly the named menus, items and separators.
        QStringList trovati;
        for (QAction *m : w->findChild<QMenuBar *>()->actions()) {
            trovati << m->menu()->objectName();
            for (QAction *v : m->menu()->actions())
                if (!v->objectName().isEmpty())
                    trovati << v->objectName();
        }
        QStringList attesi = espandi(voci);
        attesi.sort();
        trovati.sort();
        QCOMPARE(trovati, attesi);
        QVERIFY(azione(w, "finestra"));
    }

    // Files are told apart by their prefix: every window's save dialog proposes it.
    void salvaProponeIlPrefisso_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("campo"); // something to save; empty: a building-plot estimate
        QTest::addColumn<QString>("prefisso");
        QTest::newRow("menu") << 1 << "" << "Perix-menu-";
        QTest::newRow("costi disaggregati") << 2 << "vm" << "Perix-disaggr-";
        QTest::newRow("costi sintetici") << 3 << "soldi" << "Perix-sint-";
        QTest::newRow("costi per tipologie") << 4 << "soldi" << "Perix-tipol-";
        QTest::newRow("costi per altezze") << 5 << "costopieno" << "Perix-alt-";
    }
    void salvaProponeIlPrefisso()
    {
        QFETCH(int, numero);
        QFETCH(QString, campo);
        QFETCH(QString, prefisso);
        mostraFinestraStima(numero);
        FinestraStima *w = stimaAperta(numero);
        QVERIFY(w);
        Modulo::tipostima = 1;
        if (auto *l = trova<QLabel>(w, campo))
            l->setText(QStringLiteral("1.000"));
        if (auto *e = trova<QLineEdit>(w, campo))
            e->setText(QStringLiteral("1000"));
        dialoghi::prova::azzera();
        QVERIFY(attivaConFile(w, "salvanome", std::nullopt));
        QCOMPARE(ultimoMostrato().tipo, dialoghi::prova::Mostrato::Tipo::SalvaFile);
        QCOMPARE(ultimoMostrato().file.nomeProposto, prefisso);
        // Opening proposes no name: the filter lists the window's files.
        QVERIFY(attivaConFile(w, "apri", std::nullopt));
        QCOMPARE(ultimoMostrato().file.nomeProposto, QString());
    }

    // The samples the help sends the user to stand beside every open dialog, never beside
    // the delete dialog.
    void apriRaggiungeGliEsempi()
    {
        menu *m = registro::mostra<menu>();
        const QString esempi = Modulo::cartellaEsempi();
        QVERIFY(QFileInfo::exists(esempi + QStringLiteral("/Perix-menu-esempio")));
        attivaConFile(m, "apri", std::nullopt);
        QCOMPARE(ultimoMostrato().file.esempi, esempi);
        attivaConFile(m, "eliminare", std::nullopt);
        QCOMPARE(ultimoMostrato().file.esempi, QString());
    }

    void finestraMenuDomanda()
    {
        menu *m = registro::mostra<menu>();
        dialoghi::prova::accodaRisposta(Risposta::No);
        attiva(m, "fin1");
        QCOMPARE(ultimoMostrato().testo, QStringLiteral("E' questa la finestra 'Menu': si vuole la guida della finestra?"));
        QCOMPARE(ultimoMostrato().titolo, Modulo::titoloaiuto);
        QCOMPARE(ultimoMostrato().predefinito, 1);
        QVERIFY(!registro::seEsiste<guidamenu>());
        dialoghi::prova::accodaRisposta(Risposta::Si);
        clicca(m, "cmdmune");
        QVERIFY(registro::seEsiste<guidamenu>() && registro::seEsiste<guidamenu>()->isVisible());
    }

    void cambioFinestra()
    {
        menu *m = registro::mostra<menu>();
        clicca(m, "moneta(1)");
        Modulo::etichettavaluta = QStringLiteral("Valori in euro"); // a caption the cost windows do not have yet
        attiva(m, "fin3");
        auto *rs = registro::seEsiste<risultatisintetici>();
        QVERIFY(rs->isVisible());
        QCOMPARE(rs->soldi()->text(), QStringLiteral("Valori in euro"));
        QVERIFY(m->isVisible());
        // From a cost window, "Finestra Menu" shows the main window without a question.
        m->hide();
        attiva(rs, "fin1");
        QVERIFY(m->isVisible());
        QCOMPARE(messaggiMostrati(), 0);
        // The toolbar's window buttons too; every toolbar click passes the caption on.
        Modulo::etichettavaluta = QStringLiteral("Valori in lire");
        m->Toolbar1_ButtonClick(12);
        QVERIFY(registro::seEsiste<variocosto>()->isVisible());
        QCOMPARE(registro::seEsiste<risultatidisaggregati>()->soldi()->text(), QStringLiteral("Valori in lire"));
        m->Toolbar1_ButtonClick(16);
        QVERIFY(registro::seEsiste<sommario>()->isVisible());
        m->Toolbar1_ButtonClick(17);
        QVERIFY(registro::seEsiste<supportoclienti>()->isVisible());
        m->Toolbar1_ButtonClick(18);
        QVERIFY(registro::seEsiste<informa>()->isVisible());
        attiva(m, "sugger");
        QVERIFY(registro::seEsiste<frmTip>()->isVisible());
        attiva(m, "finestra");
        QVERIFY(registro::seEsiste<guidamenu>()->isVisible());
    }

    void coloreDiSfondo()
    {
        menu *m = registro::mostra<menu>();
        QWidget *area = m->centralWidget();
        const QColor prima = area->palette().color(QPalette::Window);
        dialoghi::prova::accodaColore(QColor(200, 230, 255));
        m->Toolbar1_ButtonClick(13); // separator before the colour button
        QCOMPARE(area->palette().color(QPalette::Window), QColor(200, 230, 255));
        QCOMPARE(Modulo::coloresfondo, QColor(200, 230, 255).rgb());
        QCOMPARE(trova<QLineEdit>(m, "valoremercato")->palette().color(QPalette::Active, QPalette::Base),
                 QApplication::palette().color(QPalette::Active, QPalette::Base));
        // Cancelling keeps the colour the window has.
        dialoghi::prova::accodaColore(std::nullopt);
        attiva(m, "colorare");
        QCOMPARE(area->palette().color(QPalette::Window), QColor(200, 230, 255));
        Q_UNUSED(prima);
        // Other windows are not repainted.
        auto *rs = registro::prendi<risultatisintetici>();
        QVERIFY(rs->centralWidget()->palette().color(QPalette::Window) != QColor(200, 230, 255));
    }

    void cancellaDatiFinestra()
    {
        menu *m = registro::mostra<menu>();
        clicca(m, "moneta(2)");
        clicca(m, "aree");
        digita(m, "valoremercato", "5");
        attiva(m, "cancelladati");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        menu *nuovo = registro::seEsiste<menu>();
        QVERIFY(nuovo && nuovo != m);
        QVERIFY(nuovo->isVisible());
        QCOMPARE(testo(nuovo, "valoremercato"), QString());
        QCOMPARE(testo(nuovo, "soldi"), QString());
        QCOMPARE(Modulo::valuta, QString());
        QCOMPARE(Modulo::etichettavaluta, QString());
        QCOMPARE(Modulo::tipostima, 1); // kept until the next choice
        // The cost windows keep the caption they had.
        QCOMPARE(registro::seEsiste<variocosto>()->soldi()->text(), QStringLiteral("Valori in euro"));
    }

    void chiusuraDallaBarraDelTitolo()
    {
        menu *m = registro::mostra<menu>();
        auto *rs = registro::mostra<risultatisintetici>();
        rs->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!registro::seEsiste<risultatisintetici>());
        QVERIFY(m->isVisible());
        QCOMPARE(messaggiMostrati(), 0);
    }
};

QTEST_MAIN(ProvaAvvio)
#include "prova_avvio.moc"
