// The window of the OMI quotations and the way its figure travels: into the main window's
// market value with its source, into the report and the saved file, out again when another
// figure is typed; and `perix --omi` on the same files.
#include "app/comando.h"
#include "estimates/menu.h"
#include "estimates/quotazioniomi.h"
#include "reports/rapporti.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "supporto.h"

#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

using namespace perix;
using namespace perix::prova;

namespace {

QByteArray datiOmi(const QString &nome)
{
    return contenuto(QFINDTESTDATA(QStringLiteral("dati/omi/") + nome));
}
const QString nomeValori = QStringLiteral("QI_294577_1_20182_VALORI.csv");
const QString nomeZone = QStringLiteral("QI_294577_1_20182_ZONE.csv");

// The excerpt's line of that comune, zone, type and state, split into its fields.
QList<QByteArray> rigaDi(const QByteArray &valori, const QByteArray &comune, const QByteArray &zona,
                         const QByteArray &tipo, const QByteArray &stato)
{
    for (const QByteArray &r : valori.split('\n')) {
        const QList<QByteArray> f = r.split(';');
        if (f.size() > 17 && f[7] == comune && f[9] == zona && f[12] == tipo && f[13] == stato)
            return f;
    }
    return {};
}

// Runs `perix --omi` on the arguments: exit status, standard output, standard error.
struct Esito {
    int stato;
    QString uscita, errori;
};
Esito omi(const QStringList &argomenti)
{
    std::FILE *u = std::tmpfile(), *e = std::tmpfile();
    Esito esito{quotazioniOmiDaRigaDiComando(argomenti, u, e), {}, {}};
    const auto leggi = [](std::FILE *f) {
        std::rewind(f);
        QByteArray b;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            b.append(buf, qsizetype(n));
        std::fclose(f);
        return QString::fromUtf8(b);
    };
    esito.uscita = leggi(u);
    esito.errori = leggi(e);
    return esito;
}

} // namespace

class ProvaQuotazioniOmi : public QObject
{
    Q_OBJECT

    QTemporaryDir cartella;
    QByteArray valori; // the excerpt, with a line of "Abitazioni signorili" for ANGHIARI B1

    QString percorso(const QString &nome) { return cartella.filePath(nome); }

    quotazioniomi *apri(const QString &file)
    {
        auto *w = registro::mostra<quotazioniomi>();
        QSignalSpy letto(w, &quotazioniomi::caricato);
        w->caricaFile(file);
        if (!letto.wait(10000))
            qWarning("file non letto in tempo");
        return w;
    }
    // Comune, zone, type and state chosen as a user does; the surface typed.
    void scegli(quotazioniomi *w, const QString &comune, const QString &zona, const QString &superficie)
    {
        digita(w, QStringLiteral("comuneomi"), comune);
        auto *z = trova<QComboBox>(w, QStringLiteral("zonaomi"));
        z->setCurrentIndex(z->findData(zona));
        digita(w, QStringLiteral("superficieomi"), superficie);
    }

private slots:
    void initTestCase()
    {
        preparaAmbiente();
        QVERIFY(cartella.isValid());
        valori = datiOmi(nomeValori);
        QList<QByteArray> civili = rigaDi(valori, "ANGHIARI", "B1", "Abitazioni civili", "NORMALE");
        QVERIFY(!civili.isEmpty());
        civili[12] = "Abitazioni signorili";
        civili[14] = "";
        civili[15] = QByteArray::number(civili[15].toInt() + 300);
        civili[16] = QByteArray::number(civili[16].toInt() + 450);
        valori += civili.join(';') + '\n';
        QVERIFY(scrivi(percorso(nomeValori), valori));
        QVERIFY(scrivi(percorso(nomeZone), datiOmi(nomeZone)));
        QVERIFY(scrivi(percorso(QStringLiteral("QI.zip")), datiOmi(QStringLiteral("QI-estratto-2018-2.zip"))));
    }
    void init()
    {
        sessioneNuova();
        dialoghi::prova::azzera();
    }
    void cleanup()
    {
        PERIX_NESSUNA_DOMANDA_SOSPESA();
        chiudiTutto();
    }

    // Type and state preselected from the main window's class, else from the zone; the three
    // values are the quotation's times the surface.
    void valoriDellaQuotazione_data()
    {
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("zona");
        QTest::addColumn<int>("classe");
        QTest::addColumn<QString>("tipologia");
        QTest::addColumn<QString>("stato");
        QTest::addColumn<QString>("superficie");
        QTest::newRow("classe medie") << "alessandria" << "B1" << 2 << "Abitazioni civili" << "NORMALE" << "120";
        QTest::newRow("classe evolute") << "anghiàri" << "B1" << 3 << "Abitazioni signorili" << "NORMALE" << "95,5";
        QTest::newRow("senza classe, la prevalente della zona non quotata: la prima")
            << "cambio'" << "R1" << 0 << "Abitazioni civili" << "NORMALE" << "80";
        QTest::newRow("classe che la zona non ha, stato prevalente")
            << "sen jan" << "B1" << 1 << "Abitazioni civili" << "NORMALE" << "1.000";
    }
    void valoriDellaQuotazione()
    {
        QFETCH(QString, comune);
        QFETCH(QString, zona);
        QFETCH(int, classe);
        QFETCH(QString, tipologia);
        QFETCH(QString, stato);
        QFETCH(QString, superficie);
        if (classe > 0)
            Modulo::classeedificio = classe;
        quotazioniomi *w = apri(percorso(nomeValori));
        QVERIFY(testo(w, "infoomi").contains(QStringLiteral("Semestre 2018/2")));
        QVERIFY(testo(w, "notaomi").startsWith(QStringLiteral("Fonte: Agenzia Entrate - OMI.")));
        scegli(w, comune, zona, superficie);
        QCOMPARE(trova<QComboBox>(w, "tipologiaomi")->currentText(), tipologia);
        QCOMPARE(trova<QComboBox>(w, "statoomi")->currentText(), stato);
        const QString nome = trova<QListView>(w, "elencocomuniomi")->currentIndex().data().toString();
        const QString nomeFile = nome.left(nome.lastIndexOf(u' ')).replace(u'\'', u'`');
        const QList<QByteArray> f = rigaDi(valori, nomeFile.toUtf8(), zona.toUtf8(), tipologia.toUtf8(), stato.toUtf8());
        QVERIFY2(!f.isEmpty(), qPrintable(nomeFile));
        const double s = QLocale().toDouble(superficie), mi = f[15].toDouble(), ma = f[16].toDouble();
        const auto valore = [&](const char *nome) { return trova<QRadioButton>(w, QLatin1String(nome))->property("valore"); };
        QCOMPARE(valore("valoreminimoomi").toString(), QString::number(std::round(mi * s), 'f', 0));
        QCOMPARE(valore("valoremedioomi").toString(), QString::number(std::round((mi + ma) / 2 * s), 'f', 0));
        QCOMPARE(valore("valoremassimoomi").toString(), QString::number(std::round(ma * s), 'f', 0));
        QVERIFY(testo(w, "quotazioneomi").contains(QString::fromUtf8(f[15] + " a " + f[16])));
        QVERIFY(trova<QPushButton>(w, "usaomi")->isEnabled());
    }

    // The value goes into the market value with its source, the valuation reruns, the report
    // and the saved file carry the source; typing another figure takes it away.
    void usaIlValore()
    {
        menu *m = registro::mostra<menu>();
        clicca(m, "moneta(2)");
        clicca(m, "aree");
        digita(m, "costitotali", "50000");
        digita(m, "anni", "2");
        digita(m, "superficie", "500");
        QVERIFY(azione(m, "apriomi"));
        QVERIFY(clicca(m, "omi"));
        quotazioniomi *w = apri(percorso(QStringLiteral("QI.zip")));
        scegli(w, QStringLiteral("cambio'"), QStringLiteral("B1"), QStringLiteral("100"));
        clicca(w, "valoremassimoomi");
        QVERIFY(clicca(w, "usaomi"));
        const QString atteso = trova<QRadioButton>(w, "valoremassimoomi")->property("valore").toString();
        QCOMPARE(testo(m, "valoremercato"), atteso);
        QVERIFY(!testo(m, "risultati(1)").isEmpty());
        QVERIFY(m->allegato().omi);
        QCOMPARE(m->allegato().omi->valore, atteso);
        QCOMPARE(m->allegato().omi->scelta, QStringLiteral("massimo"));
        QCOMPARE(m->allegato().omi->comune + m->allegato().omi->provincia, QStringLiteral("ALLUVIONI CAMBIO'AL"));
        QCOMPARE(m->allegato().omi->descrizione, QStringLiteral("CENTRO URBANO"));

        // In the report, in the window and from the saved file.
        const auto dati = m->datiRapporto();
        QVERIFY(dati && dati->omi);
        DatiRapportoMenu conProcedimento = *dati;
        conProcedimento.procedimento = true;
        const QString documento = documentoMenu(conProcedimento)->toPlainText();
        QCOMPARE(documento.count(QStringLiteral("Agenzia Entrate - OMI")), 2); // the data and the trail
        QVERIFY(documento.contains(QStringLiteral("CENTRO URBANO")));
        const QString file = percorso(QStringLiteral("Perix-menu-omi"));
        QVERIFY(attivaConFile(m, "salvanome", file));
        QVERIFY(contenuto(file).contains("\"omi\",\"2018/2\",\"ALLUVIONI CAMBIO'\""));
        const QString pdf = percorso(QStringLiteral("omi.pdf"));
        QVERIFY(rapportoDiFile(file, pdf).riuscito);
        QVERIFY(poppler(QStringLiteral("pdftotext"), pdf).contains(QStringLiteral("Agenzia Entrate - OMI")));

        // Another figure typed: the source goes, and does not come back with the same digits.
        digita(m, "valoremercato", atteso + u'0');
        QVERIFY(!m->allegato().omi);
        QVERIFY(!m->datiRapporto()->omi);

        // Opened again, the file brings the figure and its source back.
        sessioneNuova();
        m = registro::mostra<menu>();
        QVERIFY(attivaConFile(m, "apri", file));
        QCOMPARE(testo(m, "valoremercato"), atteso);
        QVERIFY(m->allegato().omi);
        QCOMPARE(m->allegato().omi->valore, atteso);
    }

    // A file that is not a VALORI file says what was expected and changes nothing shown.
    void fileNonValido_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("il file delle zone") << nomeZone << QByteArray() << "ZONE";
        QTest::newRow("vuoto") << "vuoto.csv" << QByteArray("") << "vuoto";
        QTest::newRow("zip senza VALORI") << "altro.zip" << QByteArray("PK\x05\x06" + QByteArray(18, '\0')) << "non contiene";
        QTest::newRow("zip troncato") << "rotto.zip" << datiOmi(QStringLiteral("QI-estratto-2018-2.zip")).left(300)
                                      << "zip";
    }
    void fileNonValido()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(QString, motivo);
        if (nome != nomeZone)
            QVERIFY(scrivi(percorso(nome), dati));
        quotazioniomi *w = apri(percorso(nomeValori));
        digita(w, QStringLiteral("comuneomi"), QStringLiteral("alessandria"));
        const QString prima = testo(w, "infoomi");
        const QString zona = trova<QComboBox>(w, "zonaomi")->currentText();
        dialoghi::prova::accodaFile(percorso(nome));
        dialoghi::prova::accodaRisposta(dialoghi::Risposta::Ok);
        QSignalSpy letto(w, &quotazioniomi::caricato);
        w->fileomi_Click();
        QVERIFY(letto.wait(10000));
        QCOMPARE(letto.first().first().toBool(), false);
        QVERIFY2(ultimoMessaggio().contains(motivo), qPrintable(ultimoMessaggio()));
        QVERIFY(ultimoMessaggio().contains(QStringLiteral("VALORI")));
        QCOMPARE(testo(w, "infoomi"), prima);
        QCOMPARE(trova<QComboBox>(w, "zonaomi")->currentText(), zona);
    }

    // Lines that cannot be read are counted in the window; a row with sale values of 0 gives no value.
    void righeNonLetteENonQuotato()
    {
        QList<QByteArray> righe = valori.split('\n');
        QList<QByteArray> f = rigaDi(valori, "ANGHIARI", "B1", "Box", "NORMALE");
        const qsizetype box = righe.indexOf(f.join(';'));
        QVERIFY(box > 0);
        f[15] = f[16] = "0";
        righe[box] = f.join(';');
        for (int k = 0; k < 3; ++k)
            righe.insert(10, "riga;guasta;");
        const QString file = percorso(QStringLiteral("QI_1_1_20182_VALORI.csv"));
        QVERIFY(scrivi(file, righe.join('\n')));
        quotazioniomi *w = apri(file);
        QVERIFY2(testo(w, "infoomi").contains(QStringLiteral("3 righe non lette")), qPrintable(testo(w, "infoomi")));
        scegli(w, QStringLiteral("anghiari"), QStringLiteral("B1"), QStringLiteral("100"));
        trova<QComboBox>(w, "tipologiaomi")->setCurrentText(QStringLiteral("Box"));
        QVERIFY(testo(w, "quotazioneomi").startsWith(QStringLiteral("non quotato")));
        QVERIFY(!trova<QPushButton>(w, "usaomi")->isEnabled());
    }

    void rigaDiComando_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("atteso"); // on standard output, or a part of standard error
        QTest::newRow("conteggi") << QStringList{"QI.zip"} << 0 << "Semestre 2018/2\n";
        QTest::newRow("comune") << QStringList{"QI.zip", "alluvioni cambio'"} << 0 << "ALLUVIONI CAMBIO`";
        QTest::newRow("comune e zona") << QStringList{nomeValori, "Anghiari", "R1"} << 0 << "ANGHIARI;R1";
        QTest::newRow("nome bilingue, primo nome") << QStringList{nomeValori, "san giovanni di fassa"} << 0
                                                   << "SAN GIOVANNI DI FASSA (SÈN JAN)";
        QTest::newRow("provincia che non è la sua") << QStringList{nomeValori, "ANGHIARI (AL)"} << 1 << "nessun comune";
        QTest::newRow("parte del nome") << QStringList{nomeValori, "cambio'"} << 1 << "nessun comune";
        QTest::newRow("zona assente") << QStringList{nomeValori, "ANGHIARI", "Z9"} << 1 << "nessuna zona";
        QTest::newRow("file delle zone") << QStringList{nomeZone} << 1 << "ZONE";
        QTest::newRow("file assente") << QStringList{"manca.csv"} << 1 << "non esiste";
    }
    void rigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, stato);
        QFETCH(QString, atteso);
        argomenti[0] = percorso(argomenti[0]);
        const Esito e = omi(argomenti);
        QCOMPARE(e.stato, stato);
        if (stato != 0) {
            QVERIFY(e.uscita.isEmpty());
            QVERIFY2(e.errori.contains(atteso), qPrintable(e.errori));
            return;
        }
        QVERIFY(e.errori.isEmpty());
        if (argomenti.size() == 1) {
            QVERIFY(e.uscita.startsWith(atteso));
            QVERIFY(e.uscita.contains(QStringLiteral("quotazioni")));
            return;
        }
        // One line per quotation of the comune (and zone), in the file's order, as the file has them.
        const QList<QByteArray> nomeZona = atteso.toUtf8().split(';');
        QStringList attese;
        for (const QByteArray &r : (argomenti[0].endsWith(nomeValori) ? valori : datiOmi(nomeValori)).split('\n')) {
            const QList<QByteArray> f = r.split(';');
            if (f.size() > 17 && f[7] == nomeZona[0] && (nomeZona.size() < 2 || f[9] == nomeZona[1]))
                attese << QString::fromUtf8(f[9] + '\t' + f[12] + '\t' + f[13] + '\t' + f[14] + '\t' + f[15] + '\t'
                                            + f[16] + '\t' + f[17]);
        }
        const QStringList righe = e.uscita.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(righe.size(), attese.size());
        for (qsizetype i = 0; i < righe.size(); ++i) {
            const QStringList c = righe[i].split(u'\t');
            QCOMPARE(c.size(), 11);
            QCOMPARE(c[0], QString::fromUtf8(nomeZona[0]).replace(u'`', u'\''));
            QCOMPARE(QStringList({c[2], c[5], c[6], c[7], c[8], c[9], c[10]}).join(u'\t'), attese[i]);
        }
    }

    // Namesakes in two provinces: without the province the command lists both and fails.
    void omonimi()
    {
        QByteArray doppio = valori;
        for (const QByteArray &r : valori.split('\n'))
            if (r.contains(";ANGHIARI;"))
                doppio += QByteArray(r).replace(";AR;9051001;", ";PG;9051999;") + '\n';
        const QString file = percorso(QStringLiteral("QI_2_1_20182_VALORI.csv"));
        QVERIFY(scrivi(file, doppio));
        const Esito due = omi({file, QStringLiteral("ANGHIARI")});
        QCOMPARE(due.stato, 1);
        QVERIFY2(due.errori.contains(QStringLiteral("ANGHIARI (AR)")) && due.errori.contains(QStringLiteral("ANGHIARI (PG)")),
                 qPrintable(due.errori));
        const Esito uno = omi({file, QStringLiteral("anghiari (pg)")});
        QCOMPARE(uno.stato, 0);
        QVERIFY(!uno.uscita.isEmpty());
        for (const QString &r : uno.uscita.split(u'\n', Qt::SkipEmptyParts))
            QCOMPARE(r.section(u'\t', 1, 1), QStringLiteral("PG"));
    }

    void opzioneErrata_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::newRow("senza file") << QStringList{"--omi"};
        QTest::newRow("troppi argomenti") << QStringList{"--omi", "f.csv", "ROMA", "B1", "altro"};
        QTest::newRow("con --pdf") << QStringList{"--pdf", "cartella", "--omi", "f.csv"};
    }
    void opzioneErrata()
    {
        QFETCH(QStringList, argomenti);
        const RigaDiComando r = leggiRigaDiComando(argomenti);
        QCOMPARE(r.stato, statoUsoErrato);
        QVERIFY(r.suErrori);
    }
};

QTEST_MAIN(ProvaQuotazioniOmi)
#include "prova_quotazioniomi.moc"
