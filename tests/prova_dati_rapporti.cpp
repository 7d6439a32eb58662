// Each window's report figures computed from its archive record alone, with no window,
// against what the window itself gives after its Apri took the same file in a fresh
// session: field by field, or the same refusal. The batch's documents come from the former.
#include "app/avvio.h"
#include "ui/registro.h"
#include "core/tipi.h"
#include "estimates/finestre.h"
#include "estimates/menu.h"
#include "core/calcoli.h"
#include "core/verifica.h"
#include "reports/dati_rapporti.h"
#include "supporto.h"

#include <QTemporaryDir>
#include <QTest>

using namespace perix;
using namespace perix::prova;

namespace {

// The lines of a record, each ended by CR LF; `ripetuta` follows the first `volte` times.
QByteArray record(const QByteArray &prima, const QByteArray &ripetuta = {}, int volte = 0)
{
    return prima + "\r\n" + (ripetuta + "\r\n").repeated(volte);
}

QByteArray menuDi(const char *soldi, const QByteArray &V, const char *C, const char *A, const char *S)
{
    return record("\"" + QByteArray(soldi) + "\",\"" + V + "\",\"" + C + "\"") + "\"" + A + "\",\"" + S + "\"\r\n";
}

QByteArray disaggregatiDi(const char *soldi, const char *vm, const char *importo)
{
    return record("\"" + QByteArray(soldi) + "\",\"Edificio di tipo economico\",\"" + vm + "\",\"2.000.000\",\"1.000.000\"",
                  "\"" + QByteArray(importo) + "\"", 16);
}

QByteArray sinteticiDi(const char *soldi, const char *classe, const char *cella = "1.250")
{
    return record("\"" + QByteArray(soldi) + "\"," + classe, QByteArray("\"%1\",\"%1\",\"%1\"").replace("%1", cella), 5);
}

QByteArray tipologieDi(const char *soldi, const QByteArray &costo, const char *scelta,
                       const char *riga = "\"1.000\",\"18.000\"")
{
    return record("\"" + QByteArray(soldi) + "\",\"" + costo + "\"," + scelta, riga, 9);
}

QByteArray altezzeDi(const char *soldi, const QByteArray &costo, const char *scelta, const char *riga = "\"400\"")
{
    return record("\"" + QByteArray(soldi) + "\",\"" + costo + "\"," + scelta, riga, 14);
}

// A figure longer than a text field holds: the field keeps only its zeros.
QByteArray oltreIlCampo(const char *cifra)
{
    return QByteArray(caratteriCampo + 100, '0') + cifra;
}

// Every field of the report's figures, one line each, named as the structure names it.
template <typename Testi>
void elenca(QStringList &v, const QString &nome, const Testi &testi)
{
    for (std::size_t i = 0; i < testi.size(); ++i)
        v << QStringLiteral("%1(%2)=%3").arg(nome).arg(i).arg(testi[i]);
}

QStringList voci(const DatiRapportoMenu &d)
{
    QStringList v{"valuta=" + d.valuta, "valoremercato=" + d.valoremercato, "costitotali=" + d.costitotali,
                  "anni=" + d.anni, "superficie=" + d.superficie,
                  QStringLiteral("procedimento=%1").arg(d.procedimento ? int(*d.procedimento) : -1)};
    elenca(v, QStringLiteral("risultati"), d.risultati);
    return v;
}

QStringList voci(const DatiRapportoDisaggregati &d)
{
    QStringList v{"soldi=" + d.soldi, "tipoedi=" + d.tipoedi, "vm=" + d.vm, "cc=" + d.cc, "profitto=" + d.profitto};
    elenca(v, QStringLiteral("p1"), d.p1);
    elenca(v, QStringLiteral("ris"), d.ris);
    elenca(v, QStringLiteral("p2"), d.p2);
    elenca(v, QStringLiteral("ris2"), d.ris2);
    return v;
}

QStringList voci(const DatiRapportoSintetici &d)
{
    QStringList v{"soldi=" + d.soldi};
    for (std::size_t r = 0; r < d.griglia.size(); ++r)
        elenca(v, QStringLiteral("griglia(%1)").arg(r), d.griglia[r]);
    for (std::size_t c = 0; c < d.icona.size(); ++c)
        v << QStringLiteral("icona(%1)=%2").arg(c).arg(d.icona[c]);
    return v;
}

QStringList voci(const DatiRapportoTipologie &d)
{
    QStringList v{"soldi=" + d.soldi, "costonetto=" + d.costonetto, "tipologia=" + d.tipologia};
    elenca(v, QStringLiteral("intestazioni"), d.intestazioni);
    for (std::size_t i = 0; i < d.righe.size(); ++i)
        elenca(v, QStringLiteral("righe(%1)").arg(i), d.righe[i]);
    return v;
}

QStringList voci(const DatiRapportoAltezze &d)
{
    QStringList v{"soldi=" + d.soldi, "etichetta=" + d.etichetta, "costopieno=" + d.costopieno, "classe=" + d.classe};
    elenca(v, QStringLiteral("intestazioni"), d.intestazioni);
    for (std::size_t i = 0; i < d.righe.size(); ++i)
        elenca(v, QStringLiteral("righe(%1)").arg(i), d.righe[i]);
    return v;
}

void colonne()
{
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<bool>("stampa"); // false: both refuse, with the same words
}

} // namespace

class ProvaDatiRapporti : public QObject
{
    Q_OBJECT
    QTemporaryDir m_cartella;
    int m_file = 0;

    // The row's record opened by the window's own Apri, as the user opens it, and its
    // report figures compared with those computed from the fields the Apri reads.
    template <typename Finestra, typename Dati>
    void confronta(TipoArchivio tipo, std::optional<Dati> (*calcola)(const QList<Campo> &, QString *))
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(bool, stampa);
        const QString file = m_cartella.filePath(descrizioneTipo(tipo).prefisso + QString::number(++m_file));
        QVERIFY(scrivi(file, contenuto));

        auto *finestra = registro::prendi<Finestra>();
        QVERIFY(attivaConFile(finestra, QStringLiteral("apri"), file));
        QString rifiutoFinestra, rifiuto;
        const std::optional<Dati> mostrati = finestra->datiRapporto(&rifiutoFinestra);
        // The fields of the one reading the batch uses; a record it refuses gives none.
        const std::optional<Dati> calcolati =
            calcola(leggiRecord(tipo, contenuto).value_or(QList<Campo>()), &rifiuto);

        QCOMPARE(mostrati.has_value(), stampa);
        QCOMPARE(calcolati.has_value(), stampa);
        QCOMPARE(rifiuto, rifiutoFinestra);
        if (stampa)
            QCOMPARE(voci(*calcolati), voci(*mostrati));
    }

private slots:
    void initTestCase()
    {
        preparaApplicazione();
        preparaAmbiente();
        QVERIFY(m_cartella.isValid());
    }
    void init() { sessioneNuova(); }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        sessioneNuova();
    }

    void menuComeLaFinestra_data()
    {
        colonne();
        QTest::newRow("esempio") << contenuto(esempio("menu")) << true;
        QTest::newRow("lire") << menuDi("Valori in lire", "1500000", "800000", "10", "2000") << true;
        QTest::newRow("cifre all'italiana") << menuDi("Valori in euro", "1.200.000", "650.000,50", "2,5", "1.500") << true;
        QTest::newRow("costi oltre il valore") << menuDi("Valori in euro", "500000", "650000", "3", "1500") << true;
        QTest::newRow("superficie zero") << menuDi("Valori in euro", "1200000", "650000", "3", "0") << true;
        QTest::newRow("anni 0") << menuDi("Valori in euro", "1200000", "650000", "0", "1500") << true;
        QTest::newRow("anni 100") << menuDi("Valori in euro", "1200000", "650000", "100", "1500") << true;
        QTest::newRow("anni 101") << menuDi("Valori in euro", "1200000", "650000", "101", "1500") << true;
        QTest::newRow("risultato troppo grande") << menuDi("Valori in euro", "99999999999999999999", "1", "1", "1") << true;
        QTest::newRow("anni negativi") << menuDi("Valori in euro", "1200000", "650000", "-3", "1500") << true;
        QTest::newRow("cifre non numeriche") << menuDi("Valori in euro", "abc", "x", "y", "z") << true;
        QTest::newRow("solo il valore") << menuDi("Valori in euro", "1200000", "", "", "") << true;
        QTest::newRow("solo la superficie") << menuDi("Valori in euro", "", "", "", "1500") << true;
        QTest::newRow("nessuna cifra") << menuDi("Valori in euro", "", "", "", "") << true;
        QTest::newRow("didascalia senza valuta") << menuDi("Euro", "1200000", "650000", "3", "1500") << true;
        QTest::newRow("cifra oltre un campo") << menuDi("Valori in euro", oltreIlCampo("1200000"), "650000", "3", "1500")
                                              << false;
        QTest::newRow("cifre con i decimali") << menuDi("Valori in euro", "1.200.000,50", "650000", "3,5", "0,5") << true;
        QTest::newRow("cifre capovolte") << menuDi("Valori in euro", "\xe2\x80\xae" "0000021\xe2\x80\xac", "650000", "3", "1500")
                                         << false;
        QTest::newRow("a capo in una cifra") << menuDi("Valori in euro", "12\r\n00000", "650000", "3", "1500") << false;
        QTest::newRow("quattro campi") << record("\"Valori in euro\",\"1200000\",\"650000\"", "\"3\"", 1) << false;
    }
    void menuComeLaFinestra() { confronta<menu>(TipoArchivio::Menu, datiRapportoMenu); }

    void disaggregatiComeLaFinestra_data()
    {
        colonne();
        QTest::newRow("esempio") << contenuto(esempio("disaggr")) << true;
        QTest::newRow("lire") << disaggregatiDi("Valori in lire", "3.000.000", "125.000") << true;
        QTest::newRow("importi non calcolabili") << disaggregatiDi("Valori in euro", "3.000.000", "valore non calcolabile")
                                                 << true;
        QTest::newRow("valore non numerico") << disaggregatiDi("Valori in euro", "abc", "x") << false;
        QTest::newRow("importi mai calcolati") << disaggregatiDi("Valori in euro", "3.000.000", "") << true;
        QTest::newRow("importo con esponente") << disaggregatiDi("Valori in euro", "3.000.000", "1e3") << false;
        QTest::newRow("senza valuta") << disaggregatiDi("", "3.000.000", "125.000") << false;
        QTest::newRow("incompleto") << record("\"Valori in euro\",\"Edificio\",\"1\",\"2\",\"3\"", "\"4\"", 3) << false;
    }
    void disaggregatiComeLaFinestra()
    {
        confronta<risultatidisaggregati>(TipoArchivio::Disaggregati, datiRapportoDisaggregati);
    }

    void sinteticiComeLaFinestra_data()
    {
        colonne();
        QTest::newRow("esempio") << contenuto(esempio("sint")) << true;
        QTest::newRow("classe 1 in lire") << sinteticiDi("Valori in lire", "1") << true;
        QTest::newRow("classe 3") << sinteticiDi("Valori in euro", "3") << true;
        QTest::newRow("nessuna classe") << sinteticiDi("Valori in euro", "") << true;
        QTest::newRow("classe 0") << sinteticiDi("Valori in euro", "0") << true;
        QTest::newRow("celle non calcolabili") << sinteticiDi("Valori in euro", "2", "valore non calcolabile") << true;
        QTest::newRow("senza valuta") << sinteticiDi("", "2") << false;
        QTest::newRow("classe 4") << sinteticiDi("Valori in euro", "4") << false;
    }
    void sinteticiComeLaFinestra()
    {
        confronta<risultatisintetici>(TipoArchivio::Sintetici, datiRapportoSintetici);
    }

    void tipologieComeLaFinestra_data()
    {
        colonne();
        QTest::newRow("esempio") << contenuto(esempio("tipol")) << true;
        QTest::newRow("tipologia 1 in lire") << tipologieDi("Valori in lire", "2.000", "1") << true;
        QTest::newRow("tipologia 9, decimali") << tipologieDi("Valori in euro", "1.350,50", "9") << true;
        QTest::newRow("costo zero") << tipologieDi("Valori in euro", "0", "5") << true;
        QTest::newRow("costo troppo grande") << tipologieDi("Valori in euro", "1e300", "2") << true;
        QTest::newRow("costo oltre un campo") << tipologieDi("Valori in euro", oltreIlCampo("1350"), "3") << false;
        // No cost: the row is chosen, the file's figures stay, "valore non calcolabile" too.
        QTest::newRow("senza costo") << tipologieDi("Valori in euro", "", "4", "\"valore non calcolabile\",\"18.000\"")
                                     << true;
        QTest::newRow("riga non numerica") << tipologieDi("Valori in euro", "", "4", "\"valore non calcolabile\",\"abc\"")
                                           << false;
        QTest::newRow("costo non numerico") << tipologieDi("Valori in euro", "abc", "3") << false;
        QTest::newRow("costo lungo non numerico") << tipologieDi("Valori in euro", QByteArray(40, 'x'), "3") << false;
        QTest::newRow("nessuna tipologia") << tipologieDi("Valori in euro", "1.350", "") << false;
        QTest::newRow("tipologia 10") << tipologieDi("Valori in euro", "1.350", "10") << false;
        QTest::newRow("tipologia 2.5") << tipologieDi("Valori in euro", "1.350", "2.5") << false;
        QTest::newRow("senza valuta") << tipologieDi("", "1.350", "3") << false;
    }
    void tipologieComeLaFinestra()
    {
        confronta<risultatitipologie>(TipoArchivio::Tipologie, datiRapportoTipologie);
    }

    void altezzeComeLaFinestra_data()
    {
        colonne();
        QTest::newRow("esempio") << contenuto(esempio("alt")) << true;
        QTest::newRow("classe 1 in lire") << altezzeDi("Valori in lire", "500", "1") << true;
        QTest::newRow("classe 14, decimali") << altezzeDi("Valori in euro", "1.250,50", "14") << true;
        QTest::newRow("costo 1.500") << altezzeDi("Valori in euro", "1.500", "4") << true;
        QTest::newRow("costo negativo") << altezzeDi("Valori in euro", "-420", "7") << true;
        QTest::newRow("costo oltre un campo") << altezzeDi("Valori in euro", oltreIlCampo("420"), "6") << false;
        // A cost whose plain reading is 0 chooses the class without recomputing: the file's
        // costs and the starting percentages stay.
        QTest::newRow("costo 0,5") << altezzeDi("Valori in euro", "0,5", "4") << true;
        QTest::newRow("senza costo") << altezzeDi("Valori in euro", "", "4", "\"valore non calcolabile\"") << true;
        QTest::newRow("costo non numerico") << altezzeDi("Valori in euro", "abc", "4") << false;
        QTest::newRow("nessuna classe") << altezzeDi("Valori in euro", "420", "") << false;
        QTest::newRow("classe 15") << altezzeDi("Valori in euro", "420", "15") << false;
        QTest::newRow("senza valuta") << altezzeDi("", "420", "6") << false;
    }
    void altezzeComeLaFinestra() { confronta<variocosto>(TipoArchivio::Altezze, datiRapportoAltezze); }

    // The plot report warns of negative results exactly when the window does after its Apri.
    void avvisoComeLaFinestra_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::newRow("esempio") << contenuto(esempio("menu"));
        QTest::newRow("minimo negativo") << menuDi("Valori in euro", "1000000", "800000", "2", "1000");
        QTest::newRow("tutti negativi") << menuDi("Valori in euro", "500000", "650000", "3", "1500");
        QTest::newRow("negativi senza superficie") << menuDi("Valori in euro", "500000", "650000", "3", "0");
        QTest::newRow("oltre 100 anni") << menuDi("Valori in euro", "500000", "650000", "101", "1500");
    }
    void avvisoComeLaFinestra()
    {
        QFETCH(QByteArray, contenuto);
        const QString file = m_cartella.filePath(QStringLiteral("Perix-menu-avviso%1").arg(++m_file));
        QVERIFY(scrivi(file, contenuto));
        auto *finestra = registro::prendi<menu>();
        QVERIFY(attivaConFile(finestra, QStringLiteral("apri"), file));
        const auto dati = datiRapportoMenu(leggiRecord(TipoArchivio::Menu, contenuto).value_or(QList<Campo>()));
        QVERIFY(dati);
        const bool avvisa = documentoMenu(*dati)->toPlainText().contains(avvisoNegativi());
        QCOMPARE(avvisa, finestra->findChild<QWidget *>(QStringLiteral("attento"))->isVisibleTo(finestra));
    }
};

QTEST_MAIN(ProvaDatiRapporti)
#include "prova_dati_rapporti.moc"
