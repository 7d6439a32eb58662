// The help pages, the table of contents with the printed help set, and the tips window.
#include "app/avvio.h"
#include "ui/cornice.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "core/calcoli.h"
#include "core/numeri.h"
#include "core/lettura_suggerimenti.h"
#include "help/testi_guida.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "help/finestre.h"
#include "reports/documento.h"
#include "reports/finestrareport.h"
#include "reports/rapporto_guida.h"
#include "supporto.h"

#include <QAbstractButton>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <unistd.h>

using namespace perix;
using namespace perix::prova;

namespace {

// Whether a word-wrapped label shows all its text at its present size.
bool entra(const QLabel *l)
{
    const int serve = l->heightForWidth(l->contentsRect().width());
    return serve <= l->contentsRect().height();
}

void stampa(QLabel *l, QEvent::Type tipo)
{
    QMouseEvent e(tipo, QPointF(5, 5), l->mapToGlobal(QPointF(5, 5)),
                  tipo == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  tipo == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(l, &e);
}

// Every help text and tip, named for the test rows.
QList<std::pair<QString, QString>> testiDaVerificare()
{
    QList<std::pair<QString, QString>> t;
    for (const TestoGuida &g : testiGuida())
        t.append({g.nome, g.testo});
    const auto tips = leggiSuggerimenti(Modulo::trovaFileDati(frmTip::nomeFile));
    for (qsizetype i = 0; tips && i < tips->size(); ++i)
        t.append({QStringLiteral("suggerimento %1").arg(i + 1), tips->at(i)});
    return t;
}

// A caption as the user reads it: without its mnemonic, trailing dots and blanks.
QString comeLetta(QString t)
{
    t.remove(u'&');
    t = t.trimmed();
    if (t.endsWith(QStringLiteral("...")))
        t.chop(3);
    return t;
}

QString didascaliaDi(const QObject *o)
{
    if (auto *a = qobject_cast<const QAction *>(o))
        return a->text();
    if (auto *m = qobject_cast<const QMenu *>(o))
        return m->title();
    if (auto *b = qobject_cast<const QAbstractButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<const QLabel *>(o))
        return l->text();
    return {};
}

// One paragraph of a report: text, point size at its start, page break before it.
struct Paragrafo {
    QString testo;
    double punti;
    bool interruzione;
};

QList<Paragrafo> paragrafi(QTextDocument *d)
{
    QList<Paragrafo> r;
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        const QTextCharFormat f = b.begin().atEnd() ? b.charFormat() : b.begin().fragment().charFormat();
        r.append({b.text(), f.fontPointSize(),
                  bool(b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)});
    }
    return r;
}

} // namespace

class ProvaGuida : public QObject
{
    Q_OBJECT

    QSet<QString> m_didascalie, m_prefissi;

    QTemporaryDir cartella;

    frmTip *suggerimentiDa(const QByteArray &dati)
    {
        const QString p = QDir(cartella.path()).filePath(frmTip::nomeFile);
        if (!scrivi(p, dati))
            return nullptr;
        frmTip::impostaFile(p);
        return registro::mostra<frmTip>();
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
    }
    void cleanup()
    {
        frmTip::impostaFile(std::nullopt);
        impostaCartelleGuida(std::nullopt);
        chiudiTutto();
    }

    // ---- tips -------------------------------------------------------------------------

    void suggerimentiAvantiEIndietro()
    {
        frmTip *t = suggerimentiDa("uno\r\ndue\r\ntre\r\n");
        QCOMPARE(testo(t, "lblTipText"), QStringLiteral("uno"));
        clicca(t, "cmdprecedente"); // at tip 1 it stays
        QCOMPARE(testo(t, "lblTipText"), QStringLiteral("uno"));
        for (const char *atteso : {"due", "tre", "uno", "due"}) {
            clicca(t, "cmdNextTip");
            QCOMPARE(testo(t, "lblTipText"), QString::fromLatin1(atteso));
        }
        clicca(t, "cmdprecedente");
        QCOMPARE(testo(t, "lblTipText"), QStringLiteral("uno"));
        QCOMPARE(t->TipNumber(), 1);
    }

    void rigaVuotaETestoSemplice()
    {
        frmTip *t = suggerimentiDa("Premere <Invio>\n\nfine");
        auto *l = trova<QLabel>(t, "lblTipText");
        QCOMPARE(l->textFormat(), Qt::PlainText);
        QCOMPARE(l->text(), QStringLiteral("Premere <Invio>"));
        clicca(t, "cmdNextTip");
        QCOMPARE(l->text(), QString());
        clicca(t, "cmdNextTip");
        QCOMPARE(l->text(), QStringLiteral("fine"));
    }

    void fileMancante_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::newRow("manca") << "manca";
        QTest::newRow("nome vuoto") << "vuoto";
        QTest::newRow("cartella") << "cartella";
        QTest::newRow("senza permessi") << "permessi";
    }
    void fileMancante()
    {
        QFETCH(QString, tipo);
        QTemporaryDir d;
        const QString p = QDir(d.path()).filePath(frmTip::nomeFile);
        if (tipo == "cartella")
            QVERIFY(QDir(d.path()).mkdir(frmTip::nomeFile));
        if (tipo == "permessi") {
            if (::geteuid() == 0)
                QSKIP("root legge anche i file senza permessi");
            QVERIFY(scrivi(p, "segreto\n"));
            QVERIFY(QFile::setPermissions(p, QFileDevice::Permissions()));
        }
        frmTip::impostaFile(tipo == "vuoto" ? QString() : p);
        frmTip *t = registro::mostra<frmTip>();
        const QString messaggio =
            QStringLiteral("Impossibile trovare il file SuggerimentiPerix.TXT\r\n\r\nCreare un file di testo denominato "
                           "SuggerimentiPerix.TXT utilizzando il Blocco note e inserendo un suggerimento per ogni "
                           "riga. Inserire il file nella stessa directory dell'applicazione. ");
        QCOMPARE(testo(t, "lblTipText"), messaggio);
        clicca(t, "cmdprecedente");
        QCOMPARE(testo(t, "lblTipText"), messaggio);
        clicca(t, "cmdNextTip");
        QCOMPARE(testo(t, "lblTipText"), messaggio);
        QVERIFY(entra(trova<QLabel>(t, "lblTipText")));
    }

    void chiudiERiapri()
    {
        frmTip *t = suggerimentiDa("1\n2\n3\n4\n5\n6\n");
        for (int i = 0; i < 4; ++i)
            clicca(t, "cmdNextTip");
        QCOMPARE(testo(t, "lblTipText"), QStringLiteral("5"));
        clicca(t, "cmdOK");
        QVERIFY(!t->isVisible());
        QCOMPARE(registro::mostra<frmTip>(), t);
        QCOMPARE(testo(t, "lblTipText"), QStringLiteral("5"));
        t->close(); // the title-bar close box
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!registro::seEsiste<frmTip>());
        QCOMPARE(testo(registro::mostra<frmTip>(), "lblTipText"), QStringLiteral("1"));
    }

    // The tips shipped beside the program: about twenty, none empty, each fits its label.
    void suggerimentiForniti()
    {
        QVERIFY2(!Modulo::trovaFileDati(frmTip::nomeFile).isEmpty(), "SuggerimentiPerix.TXT non trovato");
        frmTip *t = registro::mostra<frmTip>();
        QVERIFY(t->TipList().size() >= 15 && t->TipList().size() <= 30);
        auto *l = trova<QLabel>(t, "lblTipText");
        for (const QString &s : t->TipList()) {
            QVERIFY(!s.trimmed().isEmpty());
            QCOMPARE(l->text(), s);
            QVERIFY2(entra(l), qPrintable(s));
            clicca(t, "cmdNextTip");
        }
        QCOMPARE(t->TipNumber(), 1);
    }

    // ---- what the help names must be what the windows show ------------------------------

    // Every quoted phrase and every archive name in the help pages and tips.
    void frasiDellaGuida_data()
    {
        QTest::addColumn<QString>("frase");
        static const QRegularExpression citata(QStringLiteral("\"([^\"]+)\"")),
            archivio(QStringLiteral("Perix-[a-z]+-[A-Za-z0-9]*"));
        for (const auto &[dove, testo] : testiDaVerificare()) {
            QStringList frasi;
            for (const QRegularExpression *re : {&citata, &archivio})
                for (const auto &m : re->globalMatch(testo))
                    frasi << m.captured(m.lastCapturedIndex());
            frasi.removeDuplicates();
            for (const QString &f : std::as_const(frasi))
                QTest::newRow(qPrintable(dove + QStringLiteral(": ") + f)) << f;
        }
    }
    void frasiDellaGuida()
    {
        QFETCH(QString, frase);
        if (m_didascalie.isEmpty()) {
            // Every caption and tooltip of the estimation windows, the report window and the
            // table of contents, and the prefixes the windows' open dialogs list.
            finestrareport rapporto(QStringLiteral("prova"));
            QList<QWidget *> finestre{registro::prendi<menu>(), registro::prendi<risultatidisaggregati>(),
                                      registro::prendi<risultatisintetici>(), registro::prendi<risultatitipologie>(),
                                      registro::prendi<variocosto>(), registro::prendi<sommario>(), &rapporto};
            for (QWidget *w : finestre) {
                for (QObject *o : w->findChildren<QObject *>()) {
                    m_didascalie << comeLetta(didascaliaDi(o)).toLower();
                    if (auto *a = qobject_cast<QAction *>(o))
                        m_didascalie << comeLetta(a->toolTip()).toLower();
                    else if (auto *c = qobject_cast<QWidget *>(o))
                        m_didascalie << comeLetta(c->toolTip()).toLower();
                }
                if (!qobject_cast<FinestraStima *>(w))
                    continue;
                attivaConFile(w, QStringLiteral("apri"), std::nullopt);
                if (auto *d = qobject_cast<risultatidisaggregati *>(w)) {
                    dialoghi::prova::accodaFile(std::nullopt);
                    clicca(d, QStringLiteral("aprip"));
                }
            }
            for (const auto &m : dialoghi::prova::mostrati())
                m_prefissi << m.file.filtri.value(1).schema.chopped(1);
            dialoghi::prova::azzera();
        }
        const QString f = frase.toLower();
        const QDir esempi(Modulo::cartellaEsempi());
        QVERIFY2(m_didascalie.contains(f) || m_prefissi.contains(frase) || esempi.exists(frase)
                     || frase == nonCalcolabile,
                 qPrintable(frase + QStringLiteral(": nessuna finestra lo mostra")));
    }

    // Commands named without quotes: the caption of the control the help means.
    void comandiDellaGuida_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("frase");
        const auto r = [](int n, const char *nome, const char *frase) {
            QTest::newRow(frase) << n << QString::fromLatin1(nome) << QString::fromUtf8(frase);
        };
        r(1, "cmduscita", "USCITA");
        r(1, "aiuto", "AIUTO");
        r(1, "guida", "Guida in linea");
        r(3, "cmdmune", "Menu");
        r(1, "file", "File");
        r(1, "modifica", "Modifica");
        r(1, "visualizza", "Visualizza");
        r(1, "interr", "?");
        r(1, "apri", "Apri");
        r(1, "salva", "Salva");
        r(1, "salvanome", "Salva con nome");
        r(1, "eliminare", "Elimina");
        r(0, "cmdstampa", "Stampa");
    }
    void comandiDellaGuida()
    {
        QFETCH(int, numero);
        QFETCH(QString, nome);
        QFETCH(QString, frase);
        const QRegularExpression parola(QStringLiteral("(?<!\\w)%1(?!\\w)").arg(QRegularExpression::escape(frase)));
        bool nominato = false;
        for (const auto &t : testiDaVerificare())
            nominato = nominato || t.second.contains(parola);
        QVERIFY2(nominato, "la guida non lo nomina più: togliere la riga");
        QWidget *w = numero ? nullptr : registro::mostra<sommario>();
        if (numero) {
            mostraFinestraStima(numero);
            w = stimaAperta(numero);
        }
        QVERIFY(w);
        const QObject *o = w->findChild<QObject *>(nome);
        QVERIFY2(o, qPrintable(nome));
        QCOMPARE(comeLetta(didascaliaDi(o)), frase);
    }

    // ---- help pages -------------------------------------------------------------------

    // The pages name the samples' folder as it is when they are shown, wherever Perix is.
    void cartellaEsempi_data()
    {
        QTest::addColumn<int>("indice");
        QTest::newRow("manuale") << 0;
        QTest::newRow("archivio") << 2;
    }
    void cartellaEsempi()
    {
        QFETCH(int, indice);
        QTemporaryDir qui;
        QVERIFY(QDir(qui.path()).mkdir(QStringLiteral("esempi")));
        const QString prima = QDir::currentPath();
        const QString altrove = Modulo::cartellaEsempi();
        QDir::setCurrent(qui.path());
        PaginaGuida *g = mostraPaginaGuida(indice);
        QVERIFY2(testo(g, "Label2").contains(QDir::toNativeSeparators(QDir(qui.path()).filePath("esempi"))),
                 qPrintable(testo(g, "Label2")));
        g->cmdChiudi_Click();
        QDir::setCurrent(prima);
        mostraPaginaGuida(indice);
        QVERIFY(testo(g, "Label2").contains(QDir::toNativeSeparators(altrove)));
        QVERIFY(!testo(g, "Label2").contains(qui.path()));
    }

    // What the building-plot page says of the valuation and of typing figures is true: its
    // margins and rates, and its examples read as it says they do.
    void guidaAreaVera_data()
    {
        QTest::addColumn<QString>("frase");
        QTest::addColumn<int>("lettura"); // -1: words only; else whether the figure can be used
        for (const char *f : {"10 % di utile", "7 % all'anno", "30 %", "10 % all'anno"})
            QTest::newRow(f) << QString::fromUtf8(f) << -1;
        for (const char *f : {"1.250.000", "1250000", "2,5", "1200", "1,2"})
            QTest::newRow(f) << QString::fromUtf8(f) << 1;
        for (const char *f : {"1.200", "1,500"})
            QTest::newRow(f) << QString::fromUtf8(f) << 0;
    }
    void guidaAreaVera()
    {
        QFETCH(QString, frase);
        QFETCH(int, lettura);
        QVERIFY(testoPagina(testiGuida()[4]).contains(frase));
        if (lettura >= 0) {
            QCOMPARE(letturaStima(frase).usabile(), lettura == 1);
            return;
        }
        // The margins and rates: 10 % and 7 % for the maximum, 30 % and 10 % for the minimum.
        const auto e = calcolaStimaArea(1000, 0, 1, 1);
        QCOMPARE(*e.testi[1], formattanumero(testoNumero(std::floor(900 / 1.07))));
        QCOMPARE(*e.testi[2], formattanumero(testoNumero(std::floor(700 / 1.1))));
    }

    void pagine_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<int>("caratteri"); // the length each page was written to
        QTest::newRow("manuale") << 0 << "manuale" << "MANUALE D'USO RAPIDO" << 2340;
        QTest::newRow("funzionamento") << 1 << "guidafunzionamento" << "FUNZIONAMENTO DEL PROGRAMMA" << 1272;
        QTest::newRow("archivio") << 2 << "guidaarchivio" << "ARCHIVIO DATI" << 1249;
        QTest::newRow("menu") << 3 << "guidamenu" << "MENU" << 1263;
        QTest::newRow("area") << 4 << "guidaarea" << "STIMA AREA FABBRICABILE" << 1269;
        QTest::newRow("disaggregati") << 5 << "guidadisaggregati" << "COSTI DISAGGREGATI" << 1218;
        QTest::newRow("sintetici") << 6 << "guidasintetici" << "COSTI SINTETICI" << 1290;
        QTest::newRow("tipologie") << 7 << "guidatipologie" << "COSTI PER TIPOLOGIE" << 1305;
        QTest::newRow("altezze") << 8 << "guidaaltezze" << "COSTI PER ALTEZZE (numero di piani)" << 1305;
    }
    void pagine()
    {
        QFETCH(int, indice);
        QFETCH(QString, nome);
        QFETCH(QString, titolo);
        QFETCH(int, caratteri);
        PaginaGuida *g = mostraPaginaGuida(indice);
        QCOMPARE(g->objectName(), nome);
        QCOMPARE(g->windowTitle(), QStringLiteral("Guida in linea"));
        QCOMPARE(testo(g, "Label1"), titolo);
        const QString t = testo(g, "Label2");
        QVERIFY2(t.size() >= caratteri * 17 / 20 && t.size() <= caratteri * 21 / 20,
                 qPrintable(QStringLiteral("%1 caratteri").arg(t.size())));
        QVERIFY(t.contains(u"Perix"));
        QCOMPARE(g->Label2()->textFormat(), Qt::PlainText);
        QVERIFY2(entra(g->Label2()), qPrintable(QStringLiteral("serve %1 px, ce ne sono %2")
                                                    .arg(g->Label2()->heightForWidth(g->Label2()->width()))
                                                    .arg(g->Label2()->height())));
        const bool man = indice == 0;
        const QStringList pulsanti = man ? QStringList{"cmdsommario", "cmdstampa", "cmdchiudi"}
                                         : QStringList{"cmdSommario", "cmdStampa", "cmdChiudi"};
        const QStringList didascalie{"&Sommario", "S&tampa", "&Chiudi"};
        for (int i = 0; i < 3; ++i) {
            auto *b = trova<QPushButton>(g, pulsanti[i]);
            QVERIFY2(b, qPrintable(pulsanti[i]));
            QCOMPARE(b->text(), didascalie[i]);
            QCOMPARE(b->toolTip().isEmpty(), !man);
        }
    }

    void chiudiTieneDimensioniEPosto()
    {
        PaginaGuida *g = registro::mostra<guidamenu>();
        const QSize inizio = g->size();
        g->setGeometry(40, 50, 500, 520);
        clicca(g, "cmdChiudi");
        QVERIFY(!g->isVisible());
        QCOMPARE(registro::mostra<guidamenu>(), g);
        QCOMPARE(g->geometry(), QRect(40, 50, 500, 520));
        // Controls follow the window in proportion.
        QVERIFY(g->Label2()->width() > 5175 / twipsPerPixel);
        g->close(); // the title-bar close box
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!registro::seEsiste<guidamenu>());
        PaginaGuida *nuova = registro::mostra<guidamenu>();
        QCOMPARE(nuova->size(), inizio);
        QCOMPARE(nuova->Label2()->width(), 5175 / twipsPerPixel);
    }

    void sommarioAccantoAllaPagina()
    {
        if (QGuiApplication::primaryScreen()->geometry().width() != 800)
            QSKIP("serve uno schermo largo 800 pixel");
        PaginaGuida *g = registro::mostra<guidaarchivio>();
        clicca(g, "cmdSommario");
        auto *s = registro::seEsiste<sommario>();
        QVERIFY(s && s->isVisible() && g->isVisible());
        QCOMPARE(s->frameGeometry().left(), 1500 / twipsPerPixel);
        QVERIFY(s->frameGeometry().right() < g->frameGeometry().left());
        QCOMPARE(g->frameGeometry().left(), 5467 / twipsPerPixel);
    }

    void stampaDiUnaPagina()
    {
        clicca(registro::mostra<guidamenu>(), "cmdStampa");
        QCOMPARE(Modulo::titologuida, QStringLiteral("MENU"));
        auto *g = registro::mostra<guidaarchivio>();
        clicca(g, "cmdStampa");
        QCOMPARE(Modulo::titologuida, QStringLiteral("ARCHIVIO DATI"));
        QCOMPARE(Modulo::testoguida, g->Label2()->text());
        const QString doc = Modulo::worddoc->toPlainText();
        QVERIFY(doc.contains(QStringLiteral("Guida: ARCHIVIO DATI")));
        QVERIFY(doc.contains(g->Label2()->text().section(u'\n', 0, 0)));
    }

    // ---- table of contents ------------------------------------------------------------

    void righeDelSommario_data()
    {
        QTest::addColumn<int>("riga");
        QTest::addColumn<QString>("didascalia");
        QTest::addColumn<QColor>("colore");
        QTest::addColumn<QString>("apre");
        const QColor azzurro(0, 255, 255), giallo(255, 255, 0);
        QTest::newRow("1") << 1 << " Manuale d'uso rapido" << azzurro << "manuale";
        QTest::newRow("2") << 2 << " Funzionamento del programma" << azzurro << "guidafunzionamento";
        QTest::newRow("3") << 3 << " Archivio dati" << azzurro << "guidaarchivio";
        QTest::newRow("4") << 4 << " Menu" << azzurro << "guidamenu";
        QTest::newRow("5") << 5 << " Stima area fabbricabile" << azzurro << "guidaarea";
        QTest::newRow("6") << 6 << " Costi disaggregati" << azzurro << "guidadisaggregati";
        QTest::newRow("7") << 7 << " Costi sintetici" << azzurro << "guidasintetici";
        QTest::newRow("8") << 8 << " Costi per tipologie" << azzurro << "guidatipologie";
        QTest::newRow("9") << 9 << " Costi per altezze (n. di piani)" << azzurro << "guidaaltezze";
        QTest::newRow("10") << 10 << " Suggerimento del giorno" << azzurro << "frmTip";
        QTest::newRow("11") << 11 << " altri prodotti Software Velmora" << giallo << "prodotti";
    }
    void righeDelSommario()
    {
        QFETCH(int, riga);
        QFETCH(QString, didascalia);
        QFETCH(QColor, colore);
        QFETCH(QString, apre);
        auto *s = registro::mostra<sommario>();
        auto *l = trova<QLabel>(s, QStringLiteral("label(%1)").arg(riga));
        QVERIFY(l);
        QCOMPARE(l->text(), didascalia);
        QCOMPARE(l->palette().color(QPalette::Window), colore);
        QCOMPARE(testo(s, QStringLiteral("pulsante(%1)").arg(riga)), QStringLiteral("--->"));
        // The arrow opens its window; a press on the caption opens it before the release.
        QVERIFY(clicca(s, QStringLiteral("pulsante(%1)").arg(riga)));
        QVERIFY(finestraVisibile(apre));
        finestraVisibile(apre)->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(finestre(apre).isEmpty());
        stampa(l, QEvent::MouseButtonPress);
        QVERIFY(finestraVisibile(apre));
        QCOMPARE(l->frameShape(), QFrame::NoFrame);
        stampa(l, QEvent::MouseButtonRelease);
        QCOMPARE(l->frameShape(), QFrame::Box);
        QVERIFY(clicca(s, QStringLiteral("pulsante(%1)").arg(riga)));
        QCOMPARE(finestre(apre).size(), 1);
        QVERIFY(s->isVisible());
    }

    void grassettoSottoIlPuntatore()
    {
        auto *s = registro::mostra<sommario>();
        const auto grassetti = [s] {
            QList<int> r;
            for (int i = 1; i <= sommario::righe; ++i)
                if (s->label(i)->font().bold())
                    r << i;
            return r;
        };
        QCOMPARE(grassetti(), QList<int>{});
        stampa(s->label(3), QEvent::MouseMove);
        QCOMPARE(grassetti(), QList<int>{3});
        stampa(s->label(11), QEvent::MouseMove);
        QCOMPARE(grassetti(), QList<int>{11});
        QTest::mouseMove(s, QPoint(2, 2)); // off the captions: the last stays bold
        QCOMPARE(grassetti(), QList<int>{11});
        clicca(s, "cmdchiudi");
        QVERIFY(!s->isVisible());
        QCOMPARE(registro::mostra<sommario>(), s);
        QCOMPARE(grassetti(), QList<int>{11});
    }

    void guidaCompletaStampataESalvata()
    {
        QTemporaryDir d;
        impostaCartelleGuida(QStringList{d.path()});
        registro::mostra<guidamenu>(); // one page open already, the others made for the print
        auto *s = registro::mostra<sommario>();
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Ok);
        QVERIFY(clicca(s, "cmdstampa"));
        auto *primo = qobject_cast<finestrareport *>(Modulo::wordapp.data());
        QVERIFY(primo);
        const QList<Paragrafo> p = paragrafi(primo->documento());
        QCOMPARE(p[0].testo, Modulo::nomeprogramma);
        QCOMPARE(p[0].punti, 20.0);
        QCOMPARE(p[1].testo, Modulo::descrizioneprogramma);
        QCOMPARE(p[1].punti, 16.0);
        QList<int> titoli;
        for (int i = 0; i < p.size(); ++i)
            if (p[i].testo.startsWith(QStringLiteral("Guida: ")))
                titoli << i;
        QCOMPARE(titoli.size(), pagineGuidaTotali);
        for (int k = 0; k < pagineGuidaTotali; ++k) {
            const Paragrafo &t = p[titoli[k]];
            const PaginaGuida *g = paginaGuida(k);
            QVERIFY(!g->isVisible() || k == 3);
            QCOMPARE(t.testo, QStringLiteral("Guida: ") + g->Label1()->text());
            QCOMPARE(t.punti, k == 0 ? 16.0 : 12.0);
            QCOMPARE(t.interruzione, k > 0); // a new page for every title but the first
            // The page's text follows its title, after one empty paragraph.
            QCOMPARE(p[titoli[k] + 2].testo, g->Label2()->text().section(u'\n', 0, 0));
        }
        for (int i = 0; i < p.size(); ++i)
            QCOMPARE(p[i].interruzione, titoli.contains(i) && i != titoli[0]);
        QVERIFY(primo->pagine() >= pagineGuidaTotali);
        const QString file = QDir(d.path()).filePath(QStringLiteral("Perix-guida.docx"));
        QVERIFY(contenuto(file).startsWith("PK"));
        QCOMPARE(ultimoMostrato().icona, dialoghi::Icona::Informazione);
        QVERIFY(ultimoMessaggio().contains(QDir::toNativeSeparators(file)));
        // Again: a second report window, the same file written again.
        QVERIFY(QFile::remove(file));
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Ok);
        clicca(s, "cmdstampa");
        QVERIFY(Modulo::wordapp && Modulo::wordapp != primo && primo->isVisible());
        QVERIFY(QFile::exists(file));
        PERIX_NESSUNA_DOMANDA_SOSPESA();
    }

    // Installed, the program's folder is the system's (/usr/bin): the documents only.
    void cartelleDellaGuida()
    {
        QCOMPARE(cartelleGuida("/opt/perix", "/opt/perix/", "/home/a/Documenti"),
                 (QStringList{"/opt/perix", "/home/a/Documenti"}));
        QCOMPARE(cartelleGuida("/usr/bin", "/usr/bin/../share/perix", "/home/a/Documenti"),
                 QStringList{"/home/a/Documenti"});
    }

    // A folder that refuses the file: the user is told, an older copy stays whole, and the
    // next folder of the list takes the help set.
    void salvataggioNonRiuscito()
    {
        QTemporaryDir d, altra;
        auto *s = registro::mostra<sommario>();
        QString rifiuta = QDir(d.path()).filePath(QStringLiteral("file"));
        QVERIFY(scrivi(rifiuta, "x"));
        rifiuta += QStringLiteral("/cartella"); // under a file: no folder can be made there
        const QString vecchio = QDir(d.path()).filePath(QStringLiteral("Perix-guida.docx"));
        if (::geteuid() != 0) { // root writes into read-only folders
            QVERIFY(scrivi(vecchio, "copia precedente"));
            QVERIFY(QFile::setPermissions(d.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            rifiuta = d.path();
        }
        impostaCartelleGuida(QStringList{rifiuta});
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Ok);
        clicca(s, "cmdstampa");
        QCOMPARE(ultimoMostrato().icona, dialoghi::Icona::Stop);
        QCOMPARE(ultimoMostrato().titolo, Modulo::titolocontrollo);
        QVERIFY2(ultimoMessaggio().startsWith(QStringLiteral("Impossibile salvare il file Perix-guida.docx: ")),
                 qPrintable(ultimoMessaggio()));
        if (::geteuid() != 0)
            QCOMPARE(contenuto(vecchio), QByteArray("copia precedente"));
        impostaCartelleGuida(QStringList{rifiuta, altra.path()});
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Ok);
        clicca(s, "cmdstampa");
        const QString nuovo = QDir(altra.path()).filePath(QStringLiteral("Perix-guida.docx"));
        QVERIFY(QFile::exists(nuovo));
        QCOMPARE(ultimoMostrato().icona, dialoghi::Icona::Informazione);
        QVERIFY(ultimoMessaggio().contains(QDir::toNativeSeparators(nuovo)));
        QFile::setPermissions(d.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        PERIX_NESSUNA_DOMANDA_SOSPESA();
    }

    void uscitaDalSommario()
    {
        auto *s = registro::mostra<sommario>();
        registro::mostra<manuale>();
        registro::mostra<frmTip>();
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Si);
        clicca(s, "cmduscita");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!registro::seEsiste<sommario>());
        QVERIFY(!registro::seEsiste<manuale>());
        QVERIFY(!registro::seEsiste<frmTip>());
    }
};

QTEST_MAIN(ProvaGuida)
#include "prova_guida.moc"
