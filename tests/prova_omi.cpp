// The reader of the OMI quotations: the real excerpt of the Agenzia Entrate's files (bytes as
// delivered, in tests/dati/omi), a national-size file made from it, and files that are not one.
#include "core/omi.h"
#include "omi_nazionale.h"
#include "supporto_base.h"

#include <QStringEncoder>
#include <QTest>

using namespace perix;

namespace {

QByteArray datiOmi(const char *nome)
{
    return prova::contenuto(QFINDTESTDATA(QStringLiteral("dati/omi/") + QLatin1String(nome)));
}
QByteArray valori() { return datiOmi("QI_294577_1_20182_VALORI.csv"); }
QByteArray zone() { return datiOmi("QI_294577_1_20182_ZONE.csv"); }

// The data lines of a file: all but the title and the header.
QList<QByteArray> righeDati(const QByteArray &f)
{
    QList<QByteArray> r = f.split('\n').mid(2);
    r.removeIf([](const QByteArray &l) { return l.trimmed().isEmpty(); });
    return r;
}

QuotazioniOmi leggiEstratto()
{
    QString motivo;
    auto q = QuotazioniOmi::leggi(valori(), zone(), &motivo);
    if (!q)
        qFatal("estratto non letto: %s", qPrintable(motivo));
    return std::move(*q);
}

} // namespace

class ProvaOmi : public QObject
{
    Q_OBJECT
private slots:
    // Every line of the excerpt is a quotation of one of its comuni; their lines in the file's order.
    void estratto()
    {
        const QuotazioniOmi q = leggiEstratto();
        const QList<QByteArray> righe = righeDati(valori());
        QCOMPARE(q.semestre(), QStringLiteral("2018/2"));
        QCOMPARE(q.quotazioni(), righe.size());
        QCOMPARE(q.righeNonLette(), 0);
        QSet<QByteArray> nomi;
        for (const QByteArray &r : righe)
            nomi.insert(r.split(';')[7]);
        QCOMPARE(qsizetype(q.comuni().size()), nomi.size());
        // Each comune's lines, in order, are the file's lines of that comune.
        for (std::size_t c = 0; c < q.comuni().size(); ++c) {
            const auto lista = q.quotazioniDi(int(c));
            QList<QByteArray> attese;
            for (const QByteArray &r : righe)
                if (nomeOmiVisibile(QString::fromUtf8(r.split(';')[7])) == q.comuni()[c].nome)
                    attese << r;
            QCOMPARE(lista.size(), attese.size());
            for (qsizetype i = 0; i < lista.size(); ++i) {
                const QList<QByteArray> f = attese[i].split(';');
                QCOMPARE(lista[i].zona, QString::fromUtf8(f[9]));
                QCOMPARE(lista[i].tipologia, QString::fromUtf8(f[12]));
                QCOMPARE(lista[i].minimo + u'-' + lista[i].massimo, QString::fromUtf8(f[15] + '-' + f[16]));
                QCOMPARE(lista[i].prevalente, f[14] == "P");
                QCOMPARE(lista[i].quotato(), f[15].toInt() > 0 || f[16].toInt() > 0);
            }
        }
    }

    void cercaComune_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QStringList>("trovati");
        QTest::newRow("apostrofo per l'accento grave") << "cambio'" << QStringList{"ALLUVIONI CAMBIO' (AL)"};
        QTest::newRow("accento grave del file") << "Cambio`" << QStringList{"ALLUVIONI CAMBIO' (AL)"};
        QTest::newRow("accento digitato") << "Anghiàri" << QStringList{"ANGHIARI (AR)"};
        QTest::newRow("nome bilingue") << "sen jan" << QStringList{"SAN GIOVANNI DI FASSA (SÈN JAN) (TN)"};
        QTest::newRow("parte comune a due") << "ALL" << QStringList{"ALLUVIONI CAMBIO' (AL)"};
        QTest::newRow("in più comuni, nell'ordine del file")
            << "an" << QStringList{"ALESSANDRIA (AL)", "SAN GIOVANNI DI FASSA (SÈN JAN) (TN)", "ANGHIARI (AR)"};
        QTest::newRow("nessuno") << "roma" << QStringList{};
    }
    void cercaComune()
    {
        QFETCH(QString, digitato);
        QFETCH(QStringList, trovati);
        const QuotazioniOmi q = leggiEstratto();
        QStringList nomi;
        for (int c : q.cerca(digitato))
            nomi << q.comuni()[std::size_t(c)].visibile();
        QCOMPARE(nomi, trovati);
    }

    // One ZONE file mixes UTF-8 and Windows-1252 lines: each decodes on its own.
    void zoneConCodificheMiste()
    {
        const QuotazioniOmi q = leggiEstratto();
        QVERIFY(q.conZone());
        const auto zonaDi = [&](const QString &comune, const QString &zona) {
            const QList<int> c = q.comuniDiNome(comune);
            for (const ZonaOmi &z : q.zoneDi(c.value(0, -1)))
                if (z.zona == zona)
                    return z.visibile();
            return QString();
        };
        QVERIFY(!zone().isValidUtf8());
        QVERIFY(zonaDi(QStringLiteral("ANGHIARI"), QStringLiteral("R1")).startsWith(QStringLiteral("R1 - LOCALITÀ VIAIO")));
        QCOMPARE(zonaDi(QStringLiteral("SAN GIOVANNI DI FASSA"), QStringLiteral("B1")), QStringLiteral("B1 - POZZA DI FASSA"));
        QCOMPARE(zonaDi(QStringLiteral("ALESSANDRIA (al)"), QStringLiteral("B1")), QStringLiteral("B1 - CENTRO URBANO"));
    }

    // Lines that cannot be read are skipped and counted, never silently; the rest is read.
    void righeNonLette_data()
    {
        QTest::addColumn<QByteArray>("guasta");
        QTest::newRow("campi mancanti") << QByteArray("NORD-OVEST;PIEMONTE;AL;1006003;A2AA; ;A182;ALESSANDRIA;B;B1;");
        QTest::newRow("valore non numerico")
            << QByteArray("NORD-OVEST;PIEMONTE;AL;1006003;A2AA; ;A182;ALESSANDRIA;B;B1;AL00000001;20;Abitazioni "
                          "civili;NORMALE;P;ottocento;1000;L;4;5,1;L;");
        QTest::newRow("campo in più")
            << QByteArray("NORD-OVEST;PIEMONTE;AL;1006003;A2AA; ;A182;ALESSANDRIA;B;B1;AL00000001;20;Abitazioni "
                          "civili;NORMALE;P;810;1000;L;4;5,1;L;x;");
        QTest::newRow("provincia che non è di due lettere")
            << QByteArray("NORD-OVEST;PIEMONTE;\xb5N;1006003;A2AA; ;A182;ALESSANDRIA;B;B1;AL00000001;20;Abitazioni "
                          "civili;NORMALE;P;810;1000;L;4;5,1;L;");
        QTest::newRow("comune senza nome")
            << QByteArray("NORD-OVEST;PIEMONTE;AL;1006003;A2AA; ;A182;;B;B1;AL00000001;20;Abitazioni "
                          "civili;NORMALE;P;810;1000;L;4;5,1;L;");
    }
    void righeNonLette()
    {
        QFETCH(QByteArray, guasta);
        QList<QByteArray> righe = valori().split('\n');
        for (qsizetype at : {qsizetype(5), qsizetype(60), righe.size() - 1})
            righe.insert(at, guasta);
        const auto q = QuotazioniOmi::leggi(righe.join('\n'));
        QVERIFY(q);
        QCOMPARE(q->righeNonLette(), 3);
        QCOMPARE(q->quotazioni(), righeDati(valori()).size());
    }

    // What is not an OMI VALORI file says what was expected, and gives nothing.
    void nonFileValori_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QString>("motivo");
        const QByteArray v = valori();
        QTest::newRow("vuoto") << QByteArray("\r\n") << "vuoto";
        QTest::newRow("file delle zone") << zone() << "file delle zone";
        QTest::newRow("altro csv") << QByteArray("nome;cognome;\nRossi;Mario;\n") << "intestazione";
        QTest::newRow("binario") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "non è un file di testo";
        QTest::newRow("troncato dopo l'intestazione") << v.left(v.indexOf("Sup_NL_loc;") + 12) << "non contiene quotazioni";
        QTest::newRow("solo righe illeggibili") << v.left(v.indexOf("Sup_NL_loc;") + 12) + "a;b;c;\n"
                                               << "1 riga non letta";
        QTest::newRow("titolo senza intestazione") << v.left(v.indexOf('\n') + 1) << "intestazione";
    }
    void nonFileValori()
    {
        QFETCH(QByteArray, dati);
        QFETCH(QString, motivo);
        QString perche;
        QVERIFY(!QuotazioniOmi::leggi(dati, {}, &perche));
        QVERIFY2(perche.contains(motivo, Qt::CaseInsensitive), qPrintable(perche));
        QVERIFY2(perche.contains(QStringLiteral("VALORI")) || perche.contains(QStringLiteral("valori")), qPrintable(perche));
    }

    // A national-size file, namesakes in two provinces and lines in Windows-1252 included.
    void fileNazionale()
    {
        const prova::FileOmiNazionale f = prova::fileOmiNazionale(valori(), 20000, 1000);
        QString motivo;
        const auto q = QuotazioniOmi::leggi(f.valori, {}, &motivo, QStringLiteral("QI_1_1_20182_VALORI.csv"));
        QVERIFY2(q, qPrintable(motivo));
        QCOMPARE(q->quotazioni(), f.quotazioni);
        QCOMPARE(qsizetype(q->comuni().size()), f.comuni);
        QCOMPARE(q->righeNonLette(), 0);
        int omonimi = 0;
        for (std::size_t c = 0; c < q->comuni().size(); ++c) {
            const ComuneOmi &co = q->comuni()[c];
            const QList<int> stessi = q->comuniDiNome(co.nome);
            QVERIFY(stessi.contains(int(c)));
            if (stessi.size() == 2) {
                ++omonimi;
                QCOMPARE(q->comuniDiNome(co.visibile()), QList<int>{int(c)});
            }
            // Windows-1252 lines read as the UTF-8 ones.
            QVERIFY2(!co.nome.contains(QChar::ReplacementCharacter), qPrintable(co.nome));
        }
        QCOMPARE(omonimi, 2 * f.omonimi);
    }

    void chiaveNome_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("accento finale") << "Cantù" << "CANTU`";
        QTest::newRow("apostrofo") << "Sant'Elena" << "SANT`ELENA";
        QTest::newRow("apostrofo tipografico") << "Sant’Elena" << "sant'elena";
        QTest::newRow("spazi") << "  San   Teodoro " << "SAN TEODORO";
    }
    void chiaveNome()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QCOMPARE(chiaveNomeOmi(a), chiaveNomeOmi(b));
        QVERIFY(!chiaveNomeOmi(a).isEmpty());
    }
};

QTEST_GUILESS_MAIN(ProvaOmi)
#include "prova_omi.moc"
