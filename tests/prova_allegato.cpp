// The appendix of an archive file: the job's data and the figures' sources after the record.
#include "core/allegato.h"
#include "core/frontespizio.h"
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

    // The date the Italian way, whatever the locale.
    void dataItaliana_data()
    {
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("attesa");
        QTest::newRow("dicembre") << QDate(2026, 12, 9) << "9 dicembre 2026";
        QTest::newRow("il primo del mese") << QDate(2027, 1, 1) << "1° gennaio 2027";
        QTest::newRow("bisestile") << QDate(2028, 2, 29) << "29 febbraio 2028";
        QTest::newRow("agosto") << QDate(2026, 8, 31) << "31 agosto 2026";
        QTest::newRow("nessuna") << QDate() << "";
    }
    void dataItaliana()
    {
        QFETCH(QDate, data);
        QFETCH(QString, attesa);
        QCOMPARE(perix::dataItaliana(data), attesa);
    }

    // The heading's lines: only what is given, the job's date or today's, nothing at all
    // when neither the job nor the surveyor is given.
    void voci_data()
    {
        QTest::addColumn<bool>("incarico");
        QTest::addColumn<bool>("tecnico");
        QTest::addColumn<QStringList>("attese");
        const QStringList lavoro{"Committente: Impresa \"Rossi\" S.r.l.", "Immobile: Lotto edificabile",
                                 "Ubicazione: Via Roma 1, Anghiari (AR)",
                                 "Dati catastali: C.T foglio 12 particella 345; C.F foglio 12 particella 346 sub. 2",
                                 "Data della stima: 9 dicembre 2026"};
        const QStringList persona{"Tecnico: arch. Anna Neri, Ordine degli Architetti di Arezzo, iscrizione n. 77",
                                  "Recapito: a.neri@pec.example"};
        QTest::newRow("niente") << false << false << QStringList{};
        QTest::newRow("solo il tecnico") << false << true << QStringList{"Data della stima: 3 marzo 2027"} + persona;
        QTest::newRow("solo l'incarico") << true << false
                                         << lavoro + QStringList{"Note: prima riga; seconda, con virgola"};
        QTest::newRow("entrambi") << true << true
                                  << lavoro + persona + QStringList{"Note: prima riga; seconda, con virgola"};
    }
    void voci()
    {
        QFETCH(bool, incarico);
        QFETCH(bool, tecnico);
        QFETCH(QStringList, attese);
        Frontespizio f;
        if (incarico)
            f.incarico = completo().incarico;
        if (tecnico)
            f.tecnico = {QStringLiteral("Anna Neri"), QStringLiteral("architetto"),
                         QStringLiteral("Ordine degli Architetti di Arezzo"), QStringLiteral("77"), QString(),
                         QStringLiteral("a.neri@pec.example"), false};
        QStringList righe;
        for (const VoceFrontespizio &v : vociFrontespizio(f, QDate(2027, 3, 3)))
            righe << v.etichetta + QStringLiteral(": ") + v.testo;
        QCOMPARE(righe, attese);
    }

    // A carried cost's source in words, with the currency's unit or without one.
    void fonteCosto_data()
    {
        QTest::addColumn<QString>("unita");
        QTest::addColumn<QString>("attesa");
        QTest::newRow("euro") << "€" << "finestra Costi sintetici, Abitazioni medie: 1.250 €/m² × 520 m² = 650.000 €";
        QTest::newRow("lire") << "lire" << "finestra Costi sintetici, Abitazioni medie: 1.250 lire/m² × 520 m² = 650.000 lire";
        QTest::newRow("nessuna valuta") << "" << "finestra Costi sintetici, Abitazioni medie: 1.250 per m² × 520 m² = 650.000";
    }
    void fonteCosto()
    {
        QFETCH(QString, unita);
        QFETCH(QString, attesa);
        QCOMPARE(testoFonteCosto(*completo().costo, unita), attesa);
    }
};

QTEST_GUILESS_MAIN(ProvaAllegato)
#include "prova_allegato.moc"
