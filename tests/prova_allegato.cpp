// The appendix of an archive file: the job's data and the figures' sources after the record.
#include "core/allegato.h"
#include "core/verifica.h"

#include <QTest>

using namespace perix;

namespace {

const QByteArray recordMenu = "\"Valori in euro\",\"1200000\",\"650000\"\r\n\"3\",\"1500\"\r\n";

Allegato completo()
{
    Allegato a;
    a.incarico = {QStringLiteral("Impresa \"Rossi\" S.r.l."), QStringLiteral("Lotto edificabile"),
                  QStringLiteral("Via Roma 1"), QStringLiteral("Anghiari (AR)"),
                  {{QStringLiteral("Terreni"), QStringLiteral("12"), QStringLiteral("345"), QString()},
                   {QStringLiteral("Fabbricati"), QStringLiteral("12"), QStringLiteral("346"), QStringLiteral("2")}},
                  QDate(2026, 12, 9), QStringLiteral("prima riga\nseconda, con virgola")};
    a.omi = FonteOmi{QStringLiteral("2018/2"), QStringLiteral("ALLUVIONI CAMBIO'"), QStringLiteral("AL"),
                     QStringLiteral("B1"), QStringLiteral("B"), QStringLiteral("CENTRO"), QStringLiteral("Abitazioni civili"),
                     QStringLiteral("NORMALE"), QStringLiteral("600"), QStringLiteral("850"), QStringLiteral("L"),
                     QStringLiteral("1000"), QStringLiteral("medio"), QStringLiteral("725000")};
    a.costo = FonteCosto{QStringLiteral("sintetici"), QStringLiteral("Abitazioni medie"), QStringLiteral("1.250"),
                         QStringLiteral("m²"), QStringLiteral("520"), QStringLiteral("650000")};
    a.dimensione = QStringLiteral("520");
    a.altre = {{QStringLiteral("futuro"), QStringLiteral("x"), QStringLiteral("y")}};
    return a;
}

} // namespace

class ProvaAllegato : public QObject
{
    Q_OBJECT
private slots:
    // Written after the record and read back whole, through the file's own encoding.
    void giroCompleto()
    {
        const Allegato a = completo();
        const QByteArray dati = recordMenu + codificaRecord(righeAllegato(a));
        QVERIFY(dati.startsWith(recordMenu + "\"Perix-dati\",\"1\"\r\n"));
        QString motivo;
        const auto letto = allegatoDaDati(dati, &motivo);
        QVERIFY2(letto, qPrintable(motivo));
        QCOMPARE(*letto, a);
        QCOMPARE(difettoArchivio(TipoArchivio::Menu, dati), std::nullopt);
        QVERIFY(tipoDaRighe(*leggiRighe(dati)) == TipoArchivio::Menu);
    }

    // Nothing to add: the file stays what it always was, and an old file has an empty appendix.
    void vuoto()
    {
        QVERIFY(righeAllegato(Allegato{}).isEmpty());
        const auto letto = allegatoDaDati(recordMenu);
        QVERIFY(letto && letto->vuoto());
    }

    void difetti_data()
    {
        QTest::addColumn<QByteArray>("righe");
        QTest::newRow("campo senza virgolette") << QByteArray("\"committente\",12\r\n");
        QTest::newRow("data non ISO") << QByteArray("\"data\",\"9/12/2026\"\r\n");
        QTest::newRow("omi corta") << QByteArray("\"omi\",\"2018/2\",\"ANGHIARI\"\r\n");
        QTest::newRow("particella lunga") << QByteArray("\"particella\",\"T\",\"1\",\"2\",\"3\",\"4\"\r\n");
        QTest::newRow("due testi per una chiave") << QByteArray("\"oggetto\",\"a\",\"b\"\r\n");
        QTest::newRow("marcatore ripetuto") << QByteArray("\"Perix-dati\",\"1\"\r\n");
    }
    // A damaged appendix is a damaged file: refused with its line, never half read.
    void difetti()
    {
        QFETCH(QByteArray, righe);
        const QByteArray dati = recordMenu + "\"Perix-dati\",\"1\"\r\n" + righe;
        QString motivo;
        QVERIFY(!allegatoDaDati(dati, &motivo));
        QVERIFY2(motivo.contains(QStringLiteral("riga 2 dei dati aggiuntivi")), qPrintable(motivo));
        QVERIFY(difettoArchivio(TipoArchivio::Menu, dati).has_value());
    }

    // A source goes when its figure is no longer the field's text.
    void fonti_data()
    {
        QTest::addColumn<QString>("mercato");
        QTest::addColumn<QString>("costi");
        QTest::addColumn<bool>("omi");
        QTest::addColumn<bool>("costo");
        QTest::newRow("entrambe valide") << "725000" << "650000" << true << true;
        QTest::newRow("mercato ribattuto") << "725001" << "650000" << false << true;
        QTest::newRow("costi ribattuti") << "725000" << "" << true << false;
    }
    void fonti()
    {
        QFETCH(QString, mercato);
        QFETCH(QString, costi);
        QFETCH(bool, omi);
        QFETCH(bool, costo);
        Allegato a = completo();
        a.verificaFonti(mercato, costi);
        QCOMPARE(a.omi.has_value(), omi);
        QCOMPARE(a.costo.has_value(), costo);
    }
};

QTEST_GUILESS_MAIN(ProvaAllegato)
#include "prova_allegato.moc"
