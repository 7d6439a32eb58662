// The estimates as spreadsheets: every figure of the workbook, recalculated by LibreOffice
// Calc from its formulas, equals the program's; the values stored with the formulas too.

#include "app/avvio.h"
#include "core/calcoli.h"
#include "core/calcoli_procedimento.h"
#include "core/campi.h"
#include "core/numeri.h"
#include "core/tipi.h"
#include "estimates/disaggregati.h"
#include "estimates/menu.h"
#include "reports/dati_rapporti.h"
#include "reports/foglio.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "supporto.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <functional>

using namespace perix;
using namespace perix::prova;

namespace {

using Scrivi = std::function<bool(QIODevice &, QString *, const OpzioniFoglio &)>;

struct Caso {
    QString nome;
    Scrivi scrivi;
    QStringList valori;                // cells that hold the program's figure, not a formula
    std::optional<DatiStimaArea> altri; // the plot sheet's inputs changed to these
};

// The fields of a record as the batch reads them.
QList<Campo> campi(TipoArchivio tipo, const QByteArray &record)
{
    return leggiCampi(record, campiRapporto(tipo)).value_or(QList<Campo>());
}
QList<Campo> campiEsempio(TipoArchivio tipo, const char *nome)
{
    return campi(tipo, contenuto(esempio(QString::fromLatin1(nome))));
}
QByteArray recordClassi(const char *costo, int scelta, int righe)
{
    QByteArray r = "\"Valori in euro\",\"" + QByteArray(costo) + "\"," + QByteArray::number(scelta) + "\r\n";
    for (int i = 0; i < righe; ++i)
        r += righe == 9 ? "\"\",\"\"\r\n" : "\"\"\r\n";
    return r;
}

template <typename D, typename F>
Scrivi scrittore(const std::optional<D> &dati, F scrivi)
{
    return [d = dati.value_or(D{}), scrivi](QIODevice &dev, QString *m, const OpzioniFoglio &o) {
        return scrivi(d, dev, m, o);
    };
}

DatiRapportoMenu menuDi(const char *V, const char *C, const char *A, const char *S, bool procedimento)
{
    DatiRapportoMenu d;
    d.valuta = QStringLiteral("in euro");
    d.valoremercato = QString::fromLatin1(V);
    d.costitotali = QString::fromLatin1(C);
    d.anni = QString::fromLatin1(A);
    d.superficie = QString::fromLatin1(S);
    const EsitoStimaArea e = calcolaStimaArea(letturaSemplice(d.valoremercato), letturaSemplice(d.costitotali),
                                              letturaSemplice(d.anni), letturaSemplice(d.superficie));
    for (std::size_t k = 1; k <= 6; ++k)
        d.risultati[k] = e.testi[k].value_or(QString());
    d.procedimento = procedimento;
    return d;
}

QList<Caso> casi()
{
    const auto menuCon = [](DatiRapportoMenu d) { return scrittore(std::optional(d), scriviFoglioMenu); };
    DatiRapportoMenu esempio = datiMenuEsempio();
    esempio.procedimento = true;
    QList<Caso> c;
    c << Caso{"menu: esempio di calcolo, con procedimento", menuCon(esempio), {}, {}}
      << Caso{"menu: risultati negativi", menuCon(menuDi("1000000", "800000", "3", "500", true)), {}, {}}
      << Caso{"menu: senza superficie", menuCon(menuDi("1000000", "500000", "2", "", false)), {}, {}}
      << Caso{"menu: altri dati", menuCon(esempio), {}, DatiStimaArea{1500000, 650000, 5, 2000}}
      << Caso{"menu: altri dati, superficie piccola", menuCon(esempio), {}, DatiStimaArea{1000000, 500000, 2, 4}}
      << Caso{"menu: altri dati negativi", menuCon(esempio), {}, DatiStimaArea{800000, 700000, 10, 300}}
      << Caso{"menu: altri dati, anni decimali", menuCon(esempio), {}, DatiStimaArea{2345678.5, 1000000, 2.5, 777}}
      << Caso{"menu: oltre 100 anni", menuCon(esempio), {}, DatiStimaArea{1000000, 500000, 150, 1000}}
      << Caso{"disaggregati: file d'esempio",
              scrittore(datiRapportoDisaggregati(campiEsempio(TipoArchivio::Disaggregati, "disaggr")),
                        scriviFoglioDisaggregati),
              {}, {}}
      << Caso{"sintetici: file d'esempio",
              scrittore(datiRapportoSintetici(campiEsempio(TipoArchivio::Sintetici, "sint")), scriviFoglioSintetici),
              {}, {}}
      << Caso{"tipologie: 1000 per la tipologia 4",
              scrittore(datiRapportoTipologie(campi(TipoArchivio::Tipologie, recordClassi("1000", 4, 9))),
                        scriviFoglioTipologie),
              {}, {}}
      // 9051 / 1.2068 is 7499.999999999999 in double precision, 7500 to a spreadsheet.
      << Caso{"tipologie: quoziente a un soffio dall'intero",
              scrittore(datiRapportoTipologie(campi(TipoArchivio::Tipologie, recordClassi("9051", 1, 9))),
                        scriviFoglioTipologie),
              {"edificio(7)", "vano(7)"}, {}}
      // Single-precision indices: classes 1, 9, 13 and 14 cost one less than decimal arithmetic gives.
      << Caso{"altezze: 1000 per la classe 4",
              scrittore(datiRapportoAltezze(campi(TipoArchivio::Altezze, recordClassi("1000", 4, 14))),
                        scriviFoglioAltezze),
              {"varicosti(1)", "varicosti(9)", "varicosti(13)", "varicosti(14)"}, {}}
      << Caso{"altezze: 1000 per la classe 1",
              scrittore(datiRapportoAltezze(campi(TipoArchivio::Altezze, recordClassi("1000", 1, 14))),
                        scriviFoglioAltezze),
              {}, {}};
    return c;
}

// The disaggregated window's figures after the main window's hand-over (class 2, market
// value 1.200.000, costs 1.000.000), percentages typed and categories cancelled with X.
std::optional<DatiRapportoDisaggregati> finestraDisaggregati(const QStringList &immesse, const QList<int> &annullate)
{
    sessioneNuova();
    menu *m = registro::mostra<menu>();
    clicca(m, "moneta(2)");
    clicca(m, "disaggregati");
    digita(m, "valoremercato", "1.200.000");
    digita(m, "costitotali", "1.000.000");
    clicca(m, "Option1(2)");
    auto *d = registro::seEsiste<risultatidisaggregati>();
    for (qsizetype k = 0; k < immesse.size(); ++k)
        digita(d, QStringLiteral("p2(%1)").arg(k + 1), immesse[k]);
    for (int k : annullate)
        clicca(d, QStringLiteral("annulla(%1)").arg(k));
    auto dati = d->datiRapporto();
    chiudiTutto();
    return dati;
}

// The figures the program gives for the changed inputs of the plot sheet.
QHash<QString, QString> figureDi(const DatiStimaArea &d)
{
    QHash<QString, QString> f;
    const EsitoStimaArea e = calcolaStimaArea(d.V, d.C, d.A, d.S);
    for (int k = 1; k <= 6; ++k)
        f.insert(QStringLiteral("risultati(%1)").arg(k), *e.testi[std::size_t(k)]);
    f.insert(QStringLiteral("attento"),
             risultatoNegativo(*e.testi[5], *e.testi[6])
                 ? QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione")
                 : QString());
    f.insert(QStringLiteral("anni"),
             d.A > 100 ? QStringLiteral("E' una esagerazione pensare a oltre 100 anni per la redditività!") : QString());
    const TabellaSensibilita t = tabellaSensibilita(d);
    for (std::size_t i = 0; i < 5 && t.nonDisponibile.isEmpty(); ++i)
        for (std::size_t j = 0; j < 5; ++j)
            f.insert(QStringLiteral("sensibilita(%1,%2)").arg(i + 1).arg(j + 1), testoRisultato(t.medio[i][j]));
    return f;
}

// The cells of the sheet as stored: formula or not, and the stored value's text.
struct Memorizzata {
    bool formula = false;
    QString valore;
};
QHash<QString, Memorizzata> celleMemorizzate(const QByteArray &xlsx)
{
    QHash<QString, Memorizzata> celle;
    QXmlStreamReader x(leggiZip(xlsx).value(QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("c")) {
            ref = x.attributes().value(QLatin1String("r")).toString();
            celle.insert(ref, {});
        } else if (x.name() == QLatin1String("f")) {
            celle[ref].formula = true;
        } else if (x.name() == QLatin1String("v")) {
            celle[ref].valore = x.readElementText();
        }
    }
    return celle;
}

QString riferimento(const CellaFoglio &c)
{
    QString lettere;
    for (int n = c.colonna + 1; n > 0; n = (n - 1) / 26)
        lettere.prepend(QChar(u'A' + (n - 1) % 26));
    return lettere + QString::number(c.riga + 1);
}

// A value as a cell with `decimali` decimals shows it.
QString comeMostrato(const QString &valore, int decimali)
{
    bool numero = false;
    const double v = QLocale::c().toDouble(valore, &numero);
    return numero ? testoCella(v, decimali) : valore;
}

} // namespace

class ProvaFoglio : public QObject
{
    Q_OBJECT

    QTemporaryDir cartella_;
    QList<Caso> casi_;
    QHash<QString, QString> file_;      // case -> workbook
    QHash<QString, MappaFoglio> mappe_; // case -> its figures
    QString soffice_;
    QHash<QString, QList<QStringList>> ricalcolati_;

    void righe()
    {
        QTest::addColumn<QString>("caso");
        for (const Caso &c : std::as_const(casi_))
            QTest::newRow(qPrintable(c.nome)) << c.nome;
    }
    const Caso &caso(const QString &nome) const
    {
        return *std::find_if(casi_.begin(), casi_.end(), [&](const Caso &c) { return c.nome == nome; });
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        casi_ = casi();
        const auto finestra = [](const QStringList &immesse, const QList<int> &annullate) {
            return scrittore(finestraDisaggregati(immesse, annullate), scriviFoglioDisaggregati);
        };
        casi_ << Caso{"disaggregati dalla finestra: percentuali immesse", finestra({"60", "40"}, {}), {}, {}}
              << Caso{"disaggregati dalla finestra: due categorie annullate", finestra({}, {3, 7}), {}, {}}
              << Caso{"disaggregati dalla finestra: immesse e annullata", finestra({"50", "30", "20"}, {2}), {}, {}};
        int n = 0;
        for (const Caso &c : std::as_const(casi_)) {
            QBuffer b;
            b.open(QIODevice::WriteOnly);
            MappaFoglio mappa;
            QString motivo;
            QVERIFY2(c.scrivi(b, &motivo, {&mappa, c.altri}), qPrintable(motivo));
            const QString f = cartella_.filePath(QStringLiteral("foglio%1.xlsx").arg(++n));
            QVERIFY(scrivi(f, b.data()));
            file_.insert(c.nome, f);
            mappe_.insert(c.nome, mappa);
        }
        soffice_ = eseguibile({"soffice", "libreoffice"});
        if (!soffice_.isEmpty())
            ricalcolati_ = ricalcolaConLibreOffice(soffice_, file_.values(), cartella_.path());
    }
    void cleanup() { chiudiTutto(); }

    // Every figure of the sheet, recalculated by LibreOffice Calc from its formulas, is the
    // program's; on the plot sheet also after its four inputs were changed.
    void ricalcoloConLibreOffice_data() { righe(); }
    void ricalcoloConLibreOffice()
    {
        QFETCH(QString, caso);
        if (soffice_.isEmpty())
            QSKIP("LibreOffice Calc non installato (pacchetto libreoffice-calc-nogui): fogli non ricalcolati");
        const auto foglio = ricalcolati_.value(file_.value(caso));
        QVERIFY2(!foglio.isEmpty(), "LibreOffice non ha convertito il foglio");
        const Caso &c = this->caso(caso);
        const QHash<QString, QString> altre = c.altri ? figureDi(*c.altri) : QHash<QString, QString>();
        int confrontate = 0;
        for (const CellaFoglio &cella : mappe_.value(caso)) {
            // Only the results the program computes from the changed inputs, when changed.
            if (c.altri && !altre.contains(cella.nome))
                continue;
            const QString atteso = testoCella(c.altri ? altre.value(cella.nome) : cella.figura, cella.decimali);
            const QString letto = cella.riga < foglio.size() && cella.colonna < foglio[cella.riga].size()
                ? foglio[cella.riga][cella.colonna] : QString();
            QVERIFY2(comeMostrato(letto, cella.decimali) == atteso,
                     qPrintable(QStringLiteral("%1 (%2): %3 invece di %4").arg(cella.nome, riferimento(cella), letto, atteso)));
            ++confrontate;
        }
        QVERIFY(confrontate >= 6);
    }

    // A viewer that does not recalculate shows the program's figures: each formula stores
    // its value; the few cells that hold a figure instead are exactly those expected.
    void valoriMemorizzati_data() { righe(); }
    void valoriMemorizzati()
    {
        QFETCH(QString, caso);
        const QByteArray xlsx = contenuto(file_.value(caso));
        const auto celle = celleMemorizzate(xlsx);
        QStringList valori;
        for (const CellaFoglio &cella : mappe_.value(caso)) {
            const Memorizzata m = celle.value(riferimento(cella));
            QCOMPARE(m.formula, cella.formula);
            if (!cella.formula) {
                valori << cella.nome;
                continue;
            }
            QVERIFY2(comeMostrato(m.valore, cella.decimali) == testoCella(cella.figura, cella.decimali),
                     qPrintable(QStringLiteral("%1: %2 invece di %3").arg(cella.nome, m.valore, cella.figura)));
        }
        QCOMPARE(valori, this->caso(caso).valori);
        // Each figure kept says why in a comment.
        const QByteArray commenti = leggiZip(xlsx).value(QStringLiteral("xl/comments1.xml"));
        QCOMPARE(int(commenti.count("<comment ")), int(valori.size()));
        const QByteArray libro = leggiZip(xlsx).value(QStringLiteral("xl/workbook.xml"));
        if (caso.startsWith(QLatin1String("menu")))
            for (const char *nome : {"valore_mercato", "costi_totali", "anni", "superficie"})
                QVERIFY2(libro.contains("name=\"" + QByteArray(nome) + "\""), nome);
    }

    // A device that gives out halfway makes the writer fail and say why.
    void dispositivoCheCede()
    {
        DispositivoCheCede d(2000);
        d.open(QIODevice::WriteOnly);
        QString motivo;
        QVERIFY(!casi_.first().scrivi(d, &motivo, {}));
        QVERIFY(!motivo.isEmpty());
    }

    // The main window's File menu exports the estimate shown; other estimates are refused
    // as the print command refuses them.
    void esportaDallaFinestra()
    {
        menu *m = registro::mostra<menu>();
        clicca(m, "moneta(2)");
        clicca(m, "sintetici");
        QVERIFY(attiva(m, "esportaxlsx"));
        QCOMPARE(ultimoMessaggio(), rifiutoStampaMenu());
        clicca(m, "aree");
        stimaArea(m);
        const QString percorso = cartella_.filePath(QStringLiteral("dalla finestra"));
        dialoghi::prova::accodaFile(percorso);
        QVERIFY(attiva(m, "esportaxlsx"));
        const auto celle = celleMemorizzate(contenuto(percorso + QStringLiteral(".xlsx")));
        QVERIFY(std::any_of(celle.begin(), celle.end(),
                            [](const Memorizzata &c) { return c.formula && c.valore == QLatin1String("349375"); }));
        PERIX_NESSUNA_DOMANDA_SOSPESA();
    }
};

QTEST_MAIN(ProvaFoglio)
#include "prova_foglio.moc"
