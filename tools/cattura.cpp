// Grabs the program's windows to PNG files, to look at them as a user would:
//   perix_cattura CARTELLA
#include "app/avvio.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "estimates/quotazioniomi.h"
#include "reports/finestrareport.h"
#include "reports/rapporto_guida.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace perix;

static void salva(QWidget *w, const QString &cartella, const QString &nome)
{
    QApplication::processEvents();
    w->grab().save(QDir(cartella).filePath(nome + QStringLiteral(".png")));
}

// The disaggregated costs: class 3 with 1.000.000, then two categories removed, and the report.
static void catturaDisaggregati(QWidget *m, const QString &cartella)
{
    const auto scrivi = [](QWidget *w, const QString &campo, const QString &testo) {
        auto *e = w->findChild<QLineEdit *>(campo);
        e->clear();
        QTest::keyClicks(e, testo);
    };
    m->findChild<QAbstractButton *>(QStringLiteral("disaggregati"))->click();
    scrivi(m, QStringLiteral("valoremercato"), QStringLiteral("1.500.000"));
    scrivi(m, QStringLiteral("costitotali"), QStringLiteral("1.000.000"));
    m->findChild<QAbstractButton *>(QStringLiteral("Option1(3)"))->click();
    auto *d = registro::prendi<risultatidisaggregati>();
    for (auto [k, v] : {std::pair{1, "5"}, {2, "20,5"}, {3, "10"}, {6, "14,5"}, {7, "25"}, {10, "15"}, {13, "10"}})
        scrivi(d, QStringLiteral("p2(%1)").arg(k), QString::fromLatin1(v));
    salva(d, cartella, QStringLiteral("disaggregati"));
    d->findChild<QAbstractButton *>(QStringLiteral("annulla(12)"))->click();
    d->findChild<QAbstractButton *>(QStringLiteral("annulla(14)"))->click();
    salva(d, cartella, QStringLiteral("disaggregati-due-x"));
    d->findChild<QAction *>(QStringLiteral("solodati"))->trigger();
    if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-disaggregati.pdf")));
        r->esportaPdf();
    }
}

// The OMI quotations on the real excerpt: the window with a comune chosen, its value taken
// into the main window's plot estimate, and the report with the source and the trail as PDF.
static void catturaOmi(const QString &cartella)
{
    auto *m = registro::mostra<menu>();
    m->findChild<QAbstractButton *>(QStringLiteral("moneta(2)"))->click();
    m->findChild<QAbstractButton *>(QStringLiteral("aree"))->click();
    auto *w = registro::mostra<quotazioniomi>();
    QSignalSpy letto(w, &quotazioniomi::caricato);
    w->caricaFile(QStringLiteral(PERIX_OMI_ESTRATTO));
    letto.wait(10000);
    QTest::keyClicks(w->findChild<QLineEdit *>(QStringLiteral("comuneomi")), QStringLiteral("cambio'"));
    QTest::keyClicks(w->findChild<QLineEdit *>(QStringLiteral("superficieomi")), QStringLiteral("120"));
    salva(w, cartella, QStringLiteral("quotazioniomi"));
    w->findChild<QAbstractButton *>(QStringLiteral("usaomi"))->click();
    const char *campi[][2] = {{"costitotali", "30000"}, {"anni", "2"}, {"superficie", "400"}};
    for (auto &c : campi) {
        auto *e = m->findChild<QLineEdit *>(QString::fromLatin1(c[0]));
        e->clear();
        QTest::keyClicks(e, QString::fromLatin1(c[1]));
    }
    salva(m, cartella, QStringLiteral("menu-omi"));
    if (auto d = m->datiRapporto()) {
        d->procedimento = true;
        QFile f(QDir(cartella).filePath(QStringLiteral("rapporto-omi.pdf")));
        if (f.open(QIODevice::WriteOnly))
            documentoMenu(*d)->exportPdf(f);
    }
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString cartella = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(cartella);
    preparaApplicazione();
    dialoghi::prova::attiva(true);
    auto *s = registro::mostra<frmSplash>();
    salva(s, cartella, QStringLiteral("splash"));
    auto *m = registro::mostra<menu>();
    salva(m, cartella, QStringLiteral("menu-vuoto"));
    m->findChild<QAbstractButton *>(QStringLiteral("moneta(2)"))->click();
    m->findChild<QAbstractButton *>(QStringLiteral("aree"))->click();
    const char *campi[][2] = {{"valoremercato", "1000000"}, {"costitotali", "500000"}, {"anni", "2"}, {"superficie", "1000"}};
    for (auto &c : campi)
        QTest::keyClicks(m->findChild<QLineEdit *>(QString::fromLatin1(c[0])), QString::fromLatin1(c[1]));
    salva(m, cartella, QStringLiteral("menu-area"));
    // Figures typed the Italian way, then saved: the file's name in the title, where it went below.
    {
        const char *italiane[][2] = {{"valoremercato", "1.500.000"}, {"anni", "2,5"}, {"superficie", "0,5"}};
        for (auto &c : italiane) {
            auto *e = m->findChild<QLineEdit *>(QString::fromLatin1(c[0]));
            e->clear();
            QTest::keyClicks(e, QString::fromLatin1(c[1]));
        }
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("Perix-menu-prova")));
        m->findChild<QAction *>(QStringLiteral("salva"))->trigger();
        QTest::qWait(100); // the status line lays itself out
        salva(m, cartella, QStringLiteral("menu-salvato"));
        for (auto &c : campi) {
            auto *e = m->findChild<QLineEdit *>(QString::fromLatin1(c[0]));
            e->clear();
            QTest::keyClicks(e, QString::fromLatin1(c[1]));
        }
    }
    // The File menu open over the window, its shortcuts beside the items.
    if (auto *fm = m->findChild<QMenu *>(QStringLiteral("file"))) {
        m->menuBar()->setActiveAction(fm->menuAction());
        QApplication::processEvents();
        const QRect zona = m->frameGeometry().united(fm->geometry());
        QGuiApplication::primaryScreen()
            ->grabWindow(0, zona.x(), zona.y(), zona.width(), zona.height())
            .save(QDir(cartella).filePath(QStringLiteral("menu-file.png")));
        fm->hide();
    }
    m->resize(960, 680);
    salva(m, cartella, QStringLiteral("menu-grande"));
    m->resize(480, 340);
    salva(m, cartella, QStringLiteral("menu-piccolo"));
    m->resize(640, 455);
    m->findChild<QAction *>(QStringLiteral("solodati"))->trigger();
    if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
        salva(r, cartella, QStringLiteral("rapporto"));
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto.pdf")));
        r->esportaPdf();
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto.docx")));
        r->salvaDocx();
        salva(r, cartella, QStringLiteral("rapporto-dopo-salvataggio"));
        // The same report with the calculation trail and the sensitivity analysis, then back.
        QAction *procedimento = r->findChild<QAction *>(QStringLiteral("procedimento"));
        procedimento->trigger();
        salva(r, cartella, QStringLiteral("rapporto-procedimento"));
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-procedimento.pdf")));
        r->esportaPdf();
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-procedimento.docx")));
        r->salvaDocx();
        procedimento->trigger();
    }
    QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("costitotali")), QStringLiteral("000"));
    salva(m, cartella, QStringLiteral("menu-negativo"));
    const auto scrivi = [m](const char *campo, const char *testo) {
        auto *e = m->findChild<QLineEdit *>(QString::fromLatin1(campo));
        e->clear();
        QTest::keyClicks(e, QString::fromLatin1(testo));
    };
    scrivi("costitotali", "500000");
    scrivi("valoremercato", "1.500.000");
    scrivi("anni", "2,5");
    salva(m, cartella, QStringLiteral("menu-nota"));
    scrivi("superficie", "1.200"); // ambiguous: the values per m² are not computed
    salva(m, cartella, QStringLiteral("menu-ambigua"));
    scrivi("superficie", "1000");
    scrivi("valoremercato", "1000000");
    scrivi("anni", "101");
    salva(m, cartella, QStringLiteral("menu-non-calcolabile"));
    scrivi("anni", "2");
    m->findChild<QAbstractButton *>(QStringLiteral("sintetici"))->click();
    QTest::keyClicks(m->findChild<QLineEdit *>(QStringLiteral("costolordo")), QStringLiteral("1200"));
    m->findChild<QAbstractButton *>(QStringLiteral("Option1(2)"))->click();
    salva(m, cartella, QStringLiteral("menu-sintetici"));
    QTest::keyClicks(registro::prendi<risultatisintetici>()->findChild<QLineEdit *>(QStringLiteral("dimensione")),
                     QStringLiteral("520"));
    salva(registro::prendi<risultatisintetici>(), cartella, QStringLiteral("sintetici"));
    // The synthetic costs' report, on screen and as the PDF a user would print.
    registro::prendi<risultatisintetici>()->findChild<QAction *>(QStringLiteral("solodati"))->trigger();
    if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
        salva(r, cartella, QStringLiteral("rapporto-sintetici"));
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-sintetici.pdf")));
        r->esportaPdf();
    }
    catturaDisaggregati(m, cartella);
    salva(registro::mostra<variocosto>(), cartella, QStringLiteral("altezze-iniziale"));
    // The typology and height windows filled, with their reports as PDF.
    const auto costi = [&cartella](FinestraCosti *f, const char *campo, const char *costo, const char *riga,
                                   const QString &nome) {
        QTest::keyClicks(f->findChild<QLineEdit *>(QString::fromLatin1(campo)), QString::fromLatin1(costo));
        f->findChild<QAbstractButton *>(QString::fromLatin1(riga))->click();
        QTest::keyClicks(f->findChild<QLineEdit *>(QStringLiteral("dimensione")), QStringLiteral("480"));
        salva(f, cartella, nome);
        f->findChild<QAction *>(QStringLiteral("solodati"))->trigger();
        if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
            salva(r, cartella, QStringLiteral("rapporto-") + nome);
            dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-%1.pdf").arg(nome)));
            r->esportaPdf();
        }
    };
    costi(registro::mostra<risultatitipologie>(), "costonetto", "1.250", "tipologia(3)", QStringLiteral("tipologie"));
    costi(registro::mostra<variocosto>(), "costopieno", "523", "Optvario(1)", QStringLiteral("altezze"));
    // The job's and the surveyor's forms, opened from the main window.
    for (const char *voce : {"incarico", "tecnico"}) {
        m->findChild<QAction *>(QString::fromLatin1(voce))->trigger();
        QApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && (w->objectName() == QLatin1String("datiincarico") || w->objectName() == QLatin1String("datitecnico"))) {
                salva(w, cartella, w->objectName());
                w->close();
            }
    }
    catturaOmi(cartella);
    void catturaGuida(const QString &cartella);
    catturaGuida(cartella);
    void catturaInformazioni(const QString &cartella);
    catturaInformazioni(cartella);
    return 0;
}

// The help: the table of contents beside a page on the whole screen, every page, the tips
// window, and the whole help set as PDF and .docx.
void catturaGuida(const QString &cartella)
{
    auto *s = registro::mostra<sommario>();
    auto *g = registro::mostra<guidaarchivio>();
    s->label_MouseMove(3);
    QApplication::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(cartella).filePath(QStringLiteral("guida-schermo.png")));
    salva(s, cartella, QStringLiteral("guida-sommario"));
    salva(g, cartella, QStringLiteral("guida-guidaarchivio"));
    for (int i = 0; i < pagineGuidaTotali; ++i) {
        PaginaGuida *p = mostraPaginaGuida(i);
        salva(p, cartella, QStringLiteral("guida-") + p->objectName());
    }
    auto *t = registro::mostra<frmTip>();
    salva(t, cartella, QStringLiteral("suggerimento-1"));
    for (int i = 0; i < 10; ++i)
        t->cmdNextTip_Click();
    salva(t, cartella, QStringLiteral("suggerimento-11"));
    registro::chiudi<frmTip>();
    frmTip::impostaFile(QString());
    salva(registro::mostra<frmTip>(), cartella, QStringLiteral("suggerimento-mancante"));
    impostaCartelleGuida(QStringList{cartella});
    s->cmdstampa_Click();
    if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
        salva(r, cartella, QStringLiteral("guida-completa"));
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("guida-completa.pdf")));
        r->esportaPdf();
    }
}

// The about window, the support page, the catalogue at its first and last ten, and the
// printed catalogue as PDF.
void catturaInformazioni(const QString &cartella)
{
    salva(registro::mostra<informa>(), cartella, QStringLiteral("informa"));
    salva(registro::mostra<supportoclienti>(), cartella, QStringLiteral("supportoclienti"));
    auto *p = registro::mostra<prodotti>();
    salva(p, cartella, QStringLiteral("prodotti"));
    auto *barra = p->findChild<QScrollBar *>(QStringLiteral("VScroll1"));
    barra->setValue(barra->maximum());
    salva(p, cartella, QStringLiteral("prodotti-fine"));
    p->cmdstampa_Click();
    if (auto *r = qobject_cast<finestrareport *>(Modulo::wordapp.data())) {
        salva(r, cartella, QStringLiteral("rapporto-prodotti"));
        dialoghi::prova::accodaFile(QDir(cartella).filePath(QStringLiteral("rapporto-prodotti.pdf")));
        r->esportaPdf();
    }
    // A list that announces more products than it holds: the note beside the buttons.
    registro::chiudi<prodotti>();
    const QString qui = QDir::currentPath(), assoluta = QDir(cartella).absolutePath();
    QDir::setCurrent(assoluta);
    QFile f(QStringLiteral("listino.txt"));
    if (f.open(QIODevice::WriteOnly)) {
        f.write("2026,30\r\n\"Perix\",\"stima di aree fabbricabili\",258.23,232.41\r\n");
        f.close();
        salva(registro::mostra<prodotti>(), assoluta, QStringLiteral("prodotti-con-nota"));
        f.remove();
    }
    QDir::setCurrent(qui);
}
