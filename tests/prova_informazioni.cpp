// The about window, the support page and the product catalogue: their texts, the
// catalogue's grid as it scrolls, its printed list, its buttons, and how each closes.
#include "app/avvio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "reports/documento.h"
#include "supporto.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextTable>
#include <QUrl>

using namespace perix;
using namespace perix::prova;

namespace {

template <typename T>
void siChiude(const char *pulsante)
{
    T *w = registro::mostra<T>();
    QVERIFY(clicca(w, QString::fromLatin1(pulsante)));
    // Its own button only hides it: the same window comes back.
    QVERIFY(w->isHidden());
    QCOMPARE(registro::mostra<T>(), w);
    QVERIFY(w->isVisible());
    // The title-bar close box destroys it.
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!registro::seEsiste<T>());
}

} // namespace

class ProvaInformazioni : public QObject
{
    Q_OBJECT

    QTemporaryDir cartella;
    QString cartellaPrima;
    QStringList aperti;

    // The catalogue opened afresh on `dati` as "listino.txt" in the current folder
    // (nothing: no file).
    prodotti *catalogo(const std::optional<QByteArray> &dati)
    {
        registro::chiudi<prodotti>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile::remove(QStringLiteral("listino.txt"));
        if (dati && !scrivi(QStringLiteral("listino.txt"), *dati))
            return nullptr;
        return registro::mostra<prodotti>();
    }
    static QScrollBar *barra(prodotti *w) { return trova<QScrollBar>(w, QStringLiteral("VScroll1")); }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        Modulo::impostatesti();
        QVERIFY(cartella.isValid());
        cartellaPrima = QDir::currentPath();
        QDir::setCurrent(cartella.path());
        // The catalogue's price list is only the one each test writes: none in the data folder.
        Modulo::impostaCartellaDati(cartella.path());
        Modulo::impostaApertura([this](const QString &a) { aperti << a; return true; });
    }
    void cleanupTestCase()
    {
        Modulo::impostaApertura({});
        QDir::setCurrent(cartellaPrima);
    }
    void init() { aperti.clear(); }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    void rigaversione_data()
    {
        QTest::addColumn<QString>("versione");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("aggiornamento");
        QTest::addColumn<QString>("riga");
        QTest::newRow("del programma") << "3.09.04" << "03/01/1999" << "300119"
                                       << "edizione professionale - versione 3.09.04   1999- 2019";
        QTest::newRow("giorno e mese senza zeri") << "1.0" << "5/7/2003" << "010224"
                                                  << "edizione professionale - versione 1.0   2003- 2024";
    }
    void rigaversione()
    {
        QFETCH(QString, versione);
        QFETCH(QString, data);
        QFETCH(QString, aggiornamento);
        QFETCH(QString, riga);
        QCOMPARE(perix::rigaversione(versione, data, aggiornamento), riga);
    }

    void informazioni()
    {
        auto *w = registro::mostra<informa>();
        QCOMPARE(w->windowTitle(), QStringLiteral("Informazioni su Perix"));
        QCOMPARE(testo(w, "Label3"), QStringLiteral("software VELMORA"));
        QCOMPARE(testo(w, "Label1"), QStringLiteral("Perix"));
        QCOMPARE(testo(w, "Label2"), QStringLiteral("stima di aree fabbricabili e costi di costruzione"));
        QCOMPARE(testo(w, "Label5"), QStringLiteral("per sistemi Windows a 32 bit "));
        QCOMPARE(testo(w, "Label6"), QStringLiteral("edizione professionale - versione 3.09.04   1999- 2019"));
        QCOMPARE(testo(registro::mostra<supportoclienti>(), "Label1"), QStringLiteral("software VELMORA"));
        QCOMPARE(registro::mostra<supportoclienti>()->windowTitle(), QStringLiteral("Servizi di supporto ai clienti"));
    }

    // Every address the three windows show or open is on the maker's reserved domain.
    void indirizziDelProduttore()
    {
        const QRegularExpression indirizzo(QStringLiteral("(www\\.|@|https?:)\\S*"));
        int trovati = 0;
        for (QWidget *w : {static_cast<QWidget *>(registro::mostra<supportoclienti>()),
                           static_cast<QWidget *>(catalogo(listino(1)))}) {
            QStringList testi;
            for (QLabel *l : w->findChildren<QLabel *>())
                testi << l->text() << l->toolTip();
            for (QPushButton *b : w->findChildren<QPushButton *>())
                testi << b->text();
            for (const QString &t : testi)
                for (const auto &m : indirizzo.globalMatch(t)) {
                    ++trovati;
                    QVERIFY2(QRegularExpression(QStringLiteral("velmora\\.example(/\\S*)?\\.?$")).match(m.captured()).hasMatch(),
                             qPrintable(t));
                }
        }
        QVERIFY(trovati >= 4);
    }

    void chiusura()
    {
        siChiude<informa>("cmdOK");
        siChiude<supportoclienti>("Command1");
        QVERIFY(catalogo(listino(3)));
        siChiude<prodotti>("cmdchiudi");
    }

    void scorrimento_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("annunciati");
        QTest::addColumn<int>("massimo");
        QTest::newRow("25 prodotti") << 25 << 25 << 16;
        QTest::newRow("10 prodotti") << 10 << 10 << 1;
        QTest::newRow("11 prodotti") << 11 << 11 << 2;
        QTest::newRow("3 prodotti") << 3 << 3 << 1;
        QTest::newRow("nessuno") << 0 << 0 << 1;
        QTest::newRow("oltre cento") << 120 << 120 << 91;
        QTest::newRow("meno di quanti annunciati") << 12 << 40 << 3;
    }
    void scorrimento()
    {
        QFETCH(int, n);
        QFETCH(int, annunciati);
        QFETCH(int, massimo);
        prodotti *w = catalogo(listino(n, QByteArray::number(annunciati)));
        QVERIFY(w);
        QScrollBar *b = barra(w);
        QCOMPARE(b->minimum(), 1);
        QCOMPARE(b->maximum(), massimo);
        QCOMPARE(w->numeroprodotti(), std::min(n, 100));
        for (int posizione : {1, massimo}) {
            b->setValue(posizione);
            QCOMPARE(w->primariga(), posizione);
            for (int i = 1; i <= 10; ++i) {
                const int k = posizione + i - 1;
                const bool c = k <= std::min(n, 100);
                QCOMPARE(testo(w, "num", i), QString::number(k));
                QCOMPARE(testo(w, "nom", i), c ? QStringLiteral("P%1").arg(k) : QString());
                QCOMPARE(testo(w, "argom", i), c ? QStringLiteral("argomento %1").arg(k) : QString());
                QCOMPARE(testo(w, "eur", i), c ? QStringLiteral("%1,5").arg(k) : QString());
                QCOMPARE(testo(w, "off", i), c ? QString::number(k) : QString());
            }
        }
    }

    // Prices as stored, in the locale's form and ungrouped; texts never read as markup.
    void grigliaComeLetta()
    {
        prodotti *w = catalogo("\"listino 2026\",1\r\n\"<b>Perix</b>\",\"aree &amp; costi\",1234.5,1000\r\n");
        QVERIFY(w);
        QCOMPARE(testo(w, "Label10"), QStringLiteral("listino 2026"));
        QCOMPARE(testo(w, "nom", 1), QStringLiteral("<b>Perix</b>"));
        QCOMPARE(testo(w, "argom", 1), QStringLiteral("aree &amp; costi"));
        QCOMPARE(testo(w, "eur", 1), QStringLiteral("1234,5"));
        QCOMPARE(testo(w, "off", 1), QStringLiteral("1000"));
        for (const char *nome : {"Label10", "nom(1)", "argom(1)"})
            QCOMPARE(trova<QLabel>(w, QString::fromLatin1(nome))->textFormat(), Qt::PlainText);
    }

    void nota_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("dati");
        QTest::addColumn<QString>("nota"); // a piece of it; empty: none shown
        QTest::newRow("nessun file") << std::optional<QByteArray>() << "non è stato trovato";
        QTest::newRow("oltre cento") << std::optional(listino(101, "150")) << "primi 100";
        QTest::newRow("come annunciato") << std::optional(listino(3)) << QString();
    }
    void nota()
    {
        QFETCH(std::optional<QByteArray>, dati);
        QFETCH(QString, nota);
        prodotti *w = catalogo(dati);
        QVERIFY(w);
        auto *l = trova<QLabel>(w, QStringLiteral("notalistino"));
        QCOMPARE(l->isVisible(), !nota.isEmpty());
        QVERIFY2(l->text().contains(nota), qPrintable(l->text()));
    }

    void stampa_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("dati");
        QTest::addColumn<int>("n");
        QTest::newRow("tre prodotti")
            << std::optional<QByteArray>("2026,3\r\n\"Perix\",\"aree\",1234.5,1000\r\n\"B\",\"b\",0.125,2\r\n"
                                         "\"C\",\"c\",9999999.999,-1.5\r\n")
            << 3;
        QTest::newRow("nessun file") << std::optional<QByteArray>() << 0;
    }
    void stampa()
    {
        QFETCH(std::optional<QByteArray>, dati);
        QFETCH(int, n);
        prodotti *w = catalogo(dati);
        QVERIFY(w);
        QVERIFY(clicca(w, QStringLiteral("cmdstampa")));
        auto *doc = qobject_cast<Document *>(Modulo::worddoc.data());
        QVERIFY(doc);
        QVERIFY(doc->toPlainText().startsWith(QStringLiteral(
            "prodotti software VELMORA\n\nacquistabili dalla pagina https://www.velmora.example/compra.htm\n")));
        const auto tabelle = tabelleDocumento(doc);
        QCOMPARE(tabelle.size(), 1);
        QTextTable *t = tabelle[0];
        QCOMPARE(t->rows(), n + 1);
        QCOMPARE(t->columns(), 5);
        const QStringList testa{"numero", "nome del software", "argomento trattato" + QString(20, u' '),
                                "listino in euro", "in offerta ad euro"};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(cella(t, 0, c), testa[c]);
        const QList<QStringList> attese{{" 1", "Perix", "aree", "1.234,50", "1.000,00"},
                                        {" 2", "B", "b", "0,13", "2,00"},
                                        {" 3", "C", "c", "10.000.000,00", "-1,50"}};
        for (int r = 1; r <= n; ++r)
            for (int c = 0; c < 5; ++c)
                QCOMPARE(cella(t, r, c), attese[r - 1][c]);
        const Table tabella = doc->table(1);
        for (int r = 1; r <= n + 1; ++r)
            for (int c = 1; c <= 5; ++c)
                QCOMPARE(tabella.cell(r, c).alignment(), c >= 4 ? Alignment::Right : Alignment::Left);
        QCOMPARE(tabella.cell(n + 1, 2).range().fontSize(), 8.0);
    }

    void pulsanti()
    {
        prodotti *w = catalogo(listino(3));
        QVERIFY(w);
        QCOMPARE(testo(w, "Command1"), QStringLiteral("Sito: www.velmora.example"));
        QCOMPARE(testo(w, "Command2"), QStringLiteral("Email: info@velmora.example"));
        QVERIFY(clicca(w, QStringLiteral("Command1")));
        QVERIFY(clicca(w, QStringLiteral("Command2")));
        QCOMPARE(aperti, QStringList({"https://www.velmora.example/catalogo.htm", "mailto:info@velmora.example"}));
        // What the desktop would receive: a new message to the maker, no blank in the recipient.
        const QUrl posta = QUrl::fromUserInput(aperti[1]);
        QCOMPARE(posta.scheme(), QStringLiteral("mailto"));
        QCOMPARE(posta.path(), QStringLiteral("info@velmora.example"));
        QVERIFY(clicca(w, QStringLiteral("cmdsommario")));
        QVERIFY(registro::seEsiste<sommario>() && registro::seEsiste<sommario>()->isVisible());
    }

    // With no browser or mail program the desktop opens nothing: the button says so and
    // shows the address, to copy.
    void indirizzoNonAperto_data()
    {
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<QString>("pulsante");
        QTest::addColumn<QString>("cosa");      // what could not be opened
        QTest::addColumn<QString>("indirizzo"); // as shown
        QTest::newRow("catalogo") << "prodotti" << "Command1" << "la pagina" << "https://www.velmora.example/catalogo.htm";
        QTest::newRow("posta") << "prodotti" << "Command2" << "un nuovo messaggio" << "info@velmora.example";
        QTest::newRow("catasto") << "risultatisintetici" << "archivio" << "la pagina" << Modulo::paginaarchivio;
    }
    void indirizzoNonAperto()
    {
        QFETCH(QString, finestra);
        QFETCH(QString, pulsante);
        QFETCH(QString, cosa);
        QFETCH(QString, indirizzo);
        Modulo::impostaApertura([this](const QString &a) { aperti << a; return false; });
        QWidget *w = finestra == QLatin1String("prodotti") ? static_cast<QWidget *>(catalogo(listino(1)))
                                                           : registro::mostra<risultatisintetici>();
        QVERIFY(clicca(w, pulsante));
        Modulo::impostaApertura([this](const QString &a) { aperti << a; return true; });
        QCOMPARE(aperti.size(), 1);
        QCOMPARE(messaggiMostrati(), 1);
        const auto m = ultimoMostrato();
        QVERIFY2(m.testo.startsWith(QStringLiteral("Impossibile aprire ") + cosa), qPrintable(m.testo));
        QVERIFY2(m.testo.endsWith(QStringLiteral("\n\n") + indirizzo), qPrintable(m.testo));
        QCOMPARE(m.icona, dialoghi::Icona::Attenzione);
    }
};

QTEST_MAIN(ProvaInformazioni)
#include "prova_informazioni.moc"
