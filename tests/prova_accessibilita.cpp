// Every window as a screen reader finds it through Qt's accessibility interface: each field,
// button, option button and figure named, and named apart from the others of its window;
// results read as caption and figure; the status line, results and notes announced as they
// change; Tab passing labels by; the currency buttons' mnemonics their own.
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "help/finestre.h"
#include "ui/accessibile.h"
#include "ui/registro.h"
#include "supporto.h"

#include <QAccessible>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include <functional>

using namespace perix;
using namespace perix::prova;

using Azione = std::function<void()>;
Q_DECLARE_METATYPE(Azione)

namespace {

// What assistive technology was told of a text: the object, the kind of change, the new text.
struct Annuncio {
    QString oggetto;
    QAccessible::Event tipo;
    QString detto;
};
QList<Annuncio> annunci;

void registra(QAccessibleEvent *e)
{
    if (!e->object())
        return;
    if (e->type() == QAccessible::TextUpdated)
        annunci.append({e->object()->objectName(), e->type(), static_cast<QAccessibleTextUpdateEvent *>(e)->textInserted()});
}

FinestraStima *stima(int n)
{
    switch (n) {
    case 2: return registro::mostra<risultatidisaggregati>();
    case 3: return registro::mostra<risultatisintetici>();
    case 4: return registro::mostra<risultatitipologie>();
    case 5: return registro::mostra<variocosto>();
    default: return registro::mostra<menu>();
    }
}

// A bare figure: digits without a letter ("476.024", "12,50", "-3").
bool figura(const QString &t)
{
    bool cifra = false;
    for (QChar c : t) {
        if (c.isLetter())
            return false;
        cifra = cifra || c.isDigit();
    }
    return cifra;
}

struct Controllo {
    QString oggetto, nome, valore;
    bool risultato;
};

// The controls a user acts on or reads a figure from, as the accessibility tree holds them.
void raccogli(QAccessibleInterface *i, QList<Controllo> &trovati)
{
    if (!i)
        return;
    const QAccessible::Role r = i->role();
    const QString nome = i->text(QAccessible::Name).trimmed(), valore = i->text(QAccessible::Value);
    const bool comando = r == QAccessible::EditableText || r == QAccessible::PushButton || r == QAccessible::RadioButton
        || r == QAccessible::CheckBox || r == QAccessible::ButtonMenu || r == QAccessible::ButtonDropDown;
    const bool risultato = r == QAccessible::StaticText && (!valore.isEmpty() || figura(nome));
    if ((comando || risultato) && !i->state().invisible)
        trovati.append({i->object() ? i->object()->objectName() : QString(), nome, valore, risultato});
    for (int k = 0; k < i->childCount(); ++k)
        raccogli(i->child(k), trovati);
}

// Every window the program shows, with figures in it: each estimation window with its
// sample file, then every command that opens a window, then the help windows the table of
// contents opens, and the message boxes of the dialog layer.
void apriTutto()
{
    const char *esempi[] = {"", "menu", "disaggr", "sint", "tipol", "alt"};
    for (int n = 1; n <= 5; ++n)
        QVERIFY(attivaConFile(stima(n), QStringLiteral("apri"), esempio(QString::fromLatin1(esempi[n]))));
    for (int n = 1; n <= 5; ++n)
        for (Comando c : {Comando::Stampa, Comando::Fin1, Comando::Fin2, Comando::Fin3, Comando::Fin4, Comando::Fin5,
                          Comando::Guida, Comando::Suggerimenti, Comando::Supporto, Comando::Informazioni,
                          Comando::Finestra})
            stima(n)->esegui(c);
    // A figure the valuation refuses, and one that is no number: the signs and notes show.
    digita(stima(1), QStringLiteral("anni"), QStringLiteral("-2"));
    digita(stima(4), QStringLiteral("costonetto"), QStringLiteral("12x"));
    registro::mostra<manuale>();
    registro::mostra<guidafunzionamento>();
    registro::mostra<guidaarchivio>();
    registro::mostra<guidaarea>();
    registro::mostra<prodotti>();
    for (auto p : {dialoghi::Pulsanti::Ok, dialoghi::Pulsanti::SiNo}) {
        const QString titolo = p == dialoghi::Pulsanti::Ok ? QStringLiteral("Controllo") : QStringLiteral("Attenzione");
        QMessageBox *m = dialoghi::costruisciMessaggio(stima(1), QStringLiteral("Vuoi uscire da Perix?"), titolo,
                                                       dialoghi::Icona::Domanda, p);
        m->setAttribute(Qt::WA_DeleteOnClose);
        m->show();
    }
    QApplication::processEvents();
    dialoghi::prova::azzera();
}

// What a control is read as.
QString nomeDi(QWidget *w, QAccessible::Text t = QAccessible::Name)
{
    QAccessibleInterface *i = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    return i ? i->text(t) : QStringLiteral("<nessuna interfaccia>");
}

} // namespace

class ProvaAccessibilita : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbiente();
        sessioneNuova();
        // Installed before any window exists, so what the windows add to Qt's notifications
        // comes here.
        QAccessible::installUpdateHandler(registra);
        apriTutto();
    }
    void cleanupTestCase() { chiudiTutto(); }

    void nomi_data()
    {
        QTest::addColumn<QString>("finestra");
        QStringList viste;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && !qobject_cast<QMenu *>(w) && !w->objectName().isEmpty()) {
                const QString riga = w->objectName() + u' ' + w->windowTitle();
                if (!viste.contains(riga))
                    QTest::newRow(qPrintable(riga)) << riga;
                viste << riga;
            }
        QVERIFY(viste.size() >= 20); // the five estimation windows and the help set at least
    }
    void nomi()
    {
        QFETCH(QString, finestra);
        QStringList problemi;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->objectName() + u' ' + w->windowTitle() != finestra)
                continue;
            QList<Controllo> controlli;
            raccogli(QAccessible::queryAccessibleInterface(w), controlli);
            QHash<QString, QString> nomi; // name as heard -> the control that has it
            for (const Controllo &c : std::as_const(controlli)) {
                const QString chi = c.oggetto.isEmpty() ? QStringLiteral("(senza nome d'oggetto)") : c.oggetto;
                if (c.nome.isEmpty())
                    problemi << chi + QStringLiteral(": senza nome");
                else if (c.risultato && (figura(c.nome) || c.nome == c.valore.trimmed()))
                    problemi << chi + QStringLiteral(": letto come una cifra sola «%1»").arg(c.nome);
                const QString udito = c.nome.toCaseFolded();
                if (!c.nome.isEmpty() && nomi.contains(udito))
                    problemi << QStringLiteral("%1 e %2: stesso nome «%3»").arg(nomi.value(udito), chi, c.nome);
                nomi.insert(udito, chi);
            }
        }
        QVERIFY2(problemi.isEmpty(), qPrintable(problemi.join(QStringLiteral("\n"))));
    }

    // Each field is read by its caption, each result by its caption and its figure.
    void didascalie_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("risultato");
        const QStringList campi{QStringLiteral("valoremercato"), QStringLiteral("costitotali"), QStringLiteral("anni"),
                                QStringLiteral("superficie"), QStringLiteral("costolordo")};
        for (qsizetype k = 0; k < campi.size(); ++k)
            QTest::newRow(qPrintable(campi[k])) << 1 << campi[k] << QStringLiteral("Label%1").arg(k + 1) << false;
        for (int k = 1; k <= 6; ++k)
            QTest::newRow(qPrintable(QStringLiteral("risultati(%1)").arg(k)))
                << 1 << QStringLiteral("risultati(%1)").arg(k) << QStringLiteral("risultati(%1)").arg(k + 6) << true;
        QTest::newRow("vm") << 2 << QStringLiteral("vm") << QStringLiteral("Label2(1)") << true;
        QTest::newRow("profitto") << 2 << QStringLiteral("profitto") << QStringLiteral("Label2(2)") << true;
        QTest::newRow("costonetto") << 4 << QStringLiteral("costonetto") << QStringLiteral("Label6") << false;
        QTest::newRow("costopieno") << 5 << QStringLiteral("costopieno") << QStringLiteral("Label6") << false;
    }
    void didascalie()
    {
        QFETCH(int, numero);
        QFETCH(QString, controllo);
        QFETCH(QString, caption);
        QFETCH(bool, risultato);
        FinestraStima *w = stima(numero);
        auto *c = trova<QWidget>(w, controllo);
        auto *l = trova<QLabel>(w, caption);
        QVERIFY(c && l);
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(c);
        QCOMPARE(i->text(QAccessible::Name), accessibile::pulito(l->text()));
        if (risultato) {
            const QString cifra = static_cast<QLabel *>(c)->text();
            QVERIFY(!cifra.isEmpty());
            QCOMPARE(i->text(QAccessible::Value), cifra);
            QVERIFY(i->textInterface());
            QCOMPARE(i->textInterface()->text(0, i->textInterface()->characterCount()), cifra);
        } else {
            QCOMPARE(l->buddy(), c);
            QCOMPARE(i->text(QAccessible::Description), c->toolTip()); // its tooltip stays its description
        }
    }

    // Cells of tables and grids: named by their row and their column.
    void celle_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("cella");
        QTest::addColumn<QString>("riga");
        QTest::addColumn<QString>("colonna");
        QTest::newRow("disaggregati") << 2 << QStringLiteral("p2(1)") << QStringLiteral("Label1(0)") << QString();
        QTest::newRow("sintetici") << 3 << QStringLiteral("rissint2(5)") << QStringLiteral("Label1(5)") << QStringLiteral("Label3");
        QTest::newRow("tipologie") << 4 << QStringLiteral("vano(3)") << QStringLiteral("Label1(3)") << QStringLiteral("Label3(2)");
        QTest::newRow("altezze") << 5 << QStringLiteral("varicosti(14)") << QStringLiteral("piani(14)") << QStringLiteral("Label2");
        QTest::newRow("altezze, scelta") << 5 << QStringLiteral("Optvario(2)") << QStringLiteral("piani(2)") << QString();
    }
    void celle()
    {
        QFETCH(int, numero);
        QFETCH(QString, cella);
        QFETCH(QString, riga);
        QFETCH(QString, colonna);
        FinestraStima *w = stima(numero);
        auto *c = trova<QWidget>(w, cella);
        auto *r = trova<QLabel>(w, riga);
        QVERIFY(c && r);
        const QString nome = nomeDi(c);
        QVERIFY2(nome.contains(accessibile::pulito(r->text())), qPrintable(nome));
        if (!colonna.isEmpty()) {
            auto *k = trova<QLabel>(w, colonna);
            QVERIFY(k);
            QVERIFY2(nome.contains(accessibile::pulito(k->text())), qPrintable(nome));
        }
    }

    // What changes is told as it changes: the result's new figure, the status line's new
    // words, the note beside a field as part of the field's description (and gone with it).
    // Without a screen reader Qt tells nothing (and headless there is none): the test tells
    // the windows' layer what Qt tells it under one, a label's new text and its showing.
    void annunciati_data()
    {
        QTest::addColumn<Azione>("azione");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("fonte"); // the label Qt tells of, and whose text must be said
        QTest::addColumn<int>("evento");    // what Qt tells of it
        QTest::addColumn<QString>("oggetto"); // who says it
        QTest::addColumn<bool>("detto");
        QTest::newRow("risultato") << Azione([] { digita(stima(1), QStringLiteral("valoremercato"), QStringLiteral("2000000")); })
                                   << 1 << QStringLiteral("risultati(1)") << int(QAccessible::NameChanged)
                                   << QStringLiteral("risultati(1)") << true;
        QTest::newRow("passo") << Azione([] { clicca(stima(1), QStringLiteral("moneta(1)")); }) << 1
                               << QStringLiteral("passo") << int(QAccessible::NameChanged) << QStringLiteral("passo") << true;
        QTest::newRow("nota") << Azione([] { digita(stima(4), QStringLiteral("costonetto"), QStringLiteral("12x")); }) << 4
                              << QStringLiteral("notacosto") << int(QAccessible::ObjectShow) << QStringLiteral("costonetto")
                              << true;
        QTest::newRow("nota tolta") << Azione([] { digita(stima(4), QStringLiteral("costonetto"), QStringLiteral("1200")); })
                                    << 4 << QStringLiteral("notacosto") << int(QAccessible::ObjectHide)
                                    << QStringLiteral("costonetto") << false;
        QTest::newRow("didascalia, non detta") << Azione([] { trova<QLabel>(stima(4), QStringLiteral("Label6"))->setText(QStringLiteral("x")); })
                                               << 4 << QStringLiteral("Label6") << int(QAccessible::NameChanged)
                                               << QStringLiteral("Label6") << false;
    }
    void annunciati()
    {
        QFETCH(Azione, azione);
        QFETCH(int, numero);
        QFETCH(QString, fonte);
        QFETCH(int, evento);
        QFETCH(QString, oggetto);
        QFETCH(bool, detto);
        azione();
        auto *l = trova<QLabel>(stima(numero), fonte);
        QVERIFY(l && !l->text().isEmpty());
        annunci.clear();
        const QAccessible::UpdateHandler finestre = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(finestre);
        QVERIFY(finestre);
        QAccessibleEvent qt(l, QAccessible::Event(evento));
        finestre(&qt);
        // What the screen reader hears: the text the label says it has now, or else the
        // description of the control, as it reads it when told the description changed.
        QString sentito = nomeDi(trova<QWidget>(stima(numero), oggetto), QAccessible::Description);
        for (const Annuncio &a : std::as_const(annunci))
            if (a.oggetto == oggetto && a.tipo == QAccessible::TextUpdated)
                sentito = a.detto;
        QCOMPARE(sentito.contains(l->text().simplified()), detto);
    }

    // Tab goes through the controls in reading order and never stops on what only reads
    // (the window's name in the menu bar, labels).
    void tastiera_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QStringList>("ordine"); // controls Tab reaches in this order
        QTest::newRow("menu") << 1
                              << QStringList{"aree", "disaggregati", "sintetici", "tipologici", "altezze", "valoremercato",
                                             "costitotali", "anni", "superficie", "costolordo", "Option1(1)", "Option1(2)",
                                             "Option1(3)", "cmduscita", "cmdmune", "guida", "aiuto", "moneta(1)", "moneta(2)"};
        QTest::newRow("disaggregati") << 2 << QStringList{"annulla(1)", "p2(1)", "annulla(2)", "p2(2)", "archivio"};
        for (int n = 3; n <= 5; ++n)
            QTest::newRow(qPrintable(QString::number(n))) << n << QStringList();
    }
    void tastiera()
    {
        QFETCH(int, numero);
        QFETCH(QStringList, ordine);
        FinestraStima *w = stima(numero);
        QStringList visti;
        QWidget *p = w;
        for (int passi = 0; passi < 1000; ++passi) {
            p = p->nextInFocusChain();
            if (p == w)
                break;
            if (p->focusPolicy() & Qt::TabFocus) {
                QVERIFY2(!qobject_cast<QLabel *>(p), qPrintable(p->objectName()));
                QVERIFY2(p->objectName() != QLatin1String("finestraAngolo"), "Tab si ferma su «Finestra n. di 5»");
                if (ordine.contains(p->objectName()))
                    visti << p->objectName();
            }
        }
        // Tab goes round: the order is read from the first of the list.
        const qsizetype inizio = ordine.isEmpty() ? 0 : std::max<qsizetype>(0, visti.indexOf(ordine.constFirst()));
        QCOMPARE(visti.mid(inizio) + visti.first(inizio), ordine);
    }
    void mnemonici_data()
    {
        QTest::addColumn<QString>("controllo");
        QTest::newRow("lire") << QStringLiteral("moneta(1)");
        QTest::newRow("euro") << QStringLiteral("moneta(2)");
    }
    void mnemonici()
    {
        QFETCH(QString, controllo);
        FinestraStima *w = stima(1);
        // Every mnemonic the window answers to: its buttons, the captions that lead to a
        // field, the menu bar's titles and the window's own actions.
        QStringList testi;
        for (auto *b : w->findChildren<QAbstractButton *>())
            testi << b->text();
        for (auto *l : w->findChildren<QLabel *>())
            if (l->buddy())
                testi << l->text();
        for (QAction *a : w->menuBar()->actions())
            testi << a->text();
        for (QAction *a : w->actions())
            testi << a->text();
        const QKeySequence proprio = QKeySequence::mnemonic(trova<QAbstractButton>(w, controllo)->text());
        QVERIFY(!proprio.isEmpty());
        int usi = 0;
        for (const QString &t : std::as_const(testi))
            usi += QKeySequence::mnemonic(t) == proprio;
        QCOMPARE(usi, 1);
    }
};

QTEST_MAIN(ProvaAccessibilita)
#include "prova_accessibilita.moc"
