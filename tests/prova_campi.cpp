// The archive field encoding and the file operations under it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <limits>

#include <sys/resource.h>
#include <sys/stat.h>

#include "core/campi.h"
#include "core/verifica.h"
#include "supporto_base.h"

using namespace perix;
using namespace perix::prova;

Q_DECLARE_METATYPE(perix::Record)
Q_DECLARE_METATYPE(perix::Valore)
Q_DECLARE_METATYPE(perix::TipoArchivio)

namespace {

// One line per field, easy to compare and to read in a failure: "t:text", "n:raw", "-".
QString descrivi(const QList<Campo> &campi)
{
    QStringList righe;
    for (const Campo &c : campi)
        righe << (c.citato ? QStringLiteral("t:") + c.testo : c.testo.isEmpty() ? QStringLiteral("-") : QStringLiteral("n:") + c.testo);
    return righe.join(u'\n');
}

QString mostra(const Valore &v)
{
    if (const auto *s = std::get_if<QString>(&v))
        return QStringLiteral("t:") + *s;
    if (const auto *n = std::get_if<double>(&v))
        return QStringLiteral("n:") + QString::number(*n, 'g', 17);
    return QStringLiteral("-");
}

QString descrivi(const Record &record)
{
    QList<Campo> campi;
    for (const Riga &riga : record)
        for (const Valore &v : riga) {
            if (const auto *s = std::get_if<QString>(&v))
                campi.append({*s, true});
            else if (const auto *n = std::get_if<double>(&v))
                campi.append({numeroInvariante(*n), false});
            else
                campi.append(Campo{});
        }
    return descrivi(campi);
}

qsizetype quantiCampi(const Record &r)
{
    qsizetype n = 0;
    for (const Riga &riga : r)
        n += riga.size();
    return n;
}

const Record recordMenu{{QStringLiteral("Valori in lire"), QStringLiteral("1.500.000"), QStringLiteral("800000")},
                        {QStringLiteral("10"), QStringLiteral("2500")}};

} // namespace

class ProvaCampi : public QObject
{
    Q_OBJECT

private slots:
    void numeri_data()
    {
        QTest::addColumn<double>("valore");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("decimali") << 1250.5 << "1250.5";
        QTest::newRow("intero") << 12.0 << "12";
        QTest::newRow("negativo") << -1250.75 << "-1250.75";
        QTest::newRow("zero negativo") << -0.0 << "0";
        QTest::newRow("somma inesatta") << 0.1 + 0.2 << "0.3";
        QTest::newRow("15 cifre") << 2.0 / 3.0 << "0.666666666666667";
        QTest::newRow("piccolo") << 0.00001 << "0.00001";
        QTest::newRow("grande, senza esponente") << 123456789012345678.0 << "123456789012346000";
        QTest::newRow("riporto") << 0.99999999999999994 << "1";
        QTest::newRow("non finito") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("non numero") << std::nan("") << "";
    }
    void numeri()
    {
        QFETCH(double, valore);
        QFETCH(QString, atteso);
        QCOMPARE(numeroInvariante(valore), atteso);
    }

    void codifica_data()
    {
        QTest::addColumn<Record>("record");
        QTest::addColumn<QByteArray>("byte");
        QTest::newRow("menu") << recordMenu
                              << QByteArray("\"Valori in lire\",\"1.500.000\",\"800000\"\r\n\"10\",\"2500\"\r\n");
        QTest::newRow("sintetico senza classe")
            << Record{{QStringLiteral("Valori in euro"), std::monostate{}}, {QString(), QString(), QString()}}
            << QByteArray("\"Valori in euro\",\r\n\"\",\"\",\"\"\r\n");
        QTest::newRow("numero nudo") << Record{{QStringLiteral("Valori in euro"), QStringLiteral("1.200"), 3.0}}
                                     << QByteArray("\"Valori in euro\",\"1.200\",3\r\n");
        QTest::newRow("righe vuote") << Record{{std::monostate{}}, {-0.5}, {std::monostate{}}}
                                     << QByteArray("\r\n-0.5\r\n\r\n");
        QTest::newRow("virgolette raddoppiate") << Record{{QStringLiteral("12\" e \"a\"")}}
                                                << QByteArray("\"12\"\" e \"\"a\"\"\"\r\n");
        QTest::newRow("accenti in Windows-1252") << Record{{QStringLiteral("più €")}}
                                                 << QByteArray("\"pi\xf9 \x80\"\r\n");
        QTest::newRow("fuori da Windows-1252: UTF-8") << Record{{QStringLiteral("più →")}}
                                                      << QByteArray("\"pi\xc3\xb9 \xe2\x86\x92\"\r\n");
        // In Windows-1252 these bytes would read back as UTF-8 "è".
        // No field holds a control character: none reaches the file.
        QTest::newRow("caratteri di controllo tolti") << Record{{QStringLiteral("uno\r\ndue\tx\x01\x7f\u0085")}}
                                                      << QByteArray("\"unoduex\"\r\n");
        QTest::newRow("caratteri invisibili tolti") << Record{{QStringLiteral("\u202d1.500\u200b\u2069\ufeff\u00ad")}}
                                                    << QByteArray("\"1.500\"\r\n");
        QTest::newRow("ambiguo: UTF-8") << Record{{QStringLiteral("Ã¨")}} << QByteArray("\"\xc3\x83\xc2\xa8\"\r\n");
    }
    void codifica()
    {
        QFETCH(Record, record);
        QFETCH(QByteArray, byte);
        QCOMPARE(codificaRecord(record), byte);
    }

    void decodifica_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<QString>("testo");
        QTest::newRow("vuoto") << QByteArray() << "";
        QTest::newRow("ASCII") << QByteArray("Valori in euro\r\n") << "Valori in euro\r\n";
        QTest::newRow("UTF-8") << QByteArray("pi\xc3\xb9 \xe2\x82\xac \xe2\x86\x92") << "più € →";
        QTest::newRow("Windows-1252") << QByteArray("pi\xf9 \x80 \x93" "a\x94") << "più € “a”";
        // One byte that is not UTF-8 makes the whole text Windows-1252, its UTF-8 pairs too.
        QTest::newRow("UTF-8 con un byte 1252") << QByteArray("\xc3\xa8 \xe8") << "Ã¨ è";
        QTest::newRow("UTF-8 troncato") << QByteArray("citt\xc3") << "cittÃ";
    }
    void decodifica()
    {
        QFETCH(QByteArray, byte);
        QFETCH(QString, testo);
        QCOMPARE(decodificaTesto(byte), testo);
    }

    void giroCompleto_data()
    {
        QTest::addColumn<Record>("record");
        QTest::newRow("menu") << recordMenu;
        QTest::newRow("virgole e spazi nei testi")
            << Record{{QStringLiteral(" a, b "), QStringLiteral(","), QStringLiteral("  ")}};
        QTest::newRow("virgolette ovunque")
            << Record{{QStringLiteral("\""), QStringLiteral("\"\""), QStringLiteral("a\",\"b"), QStringLiteral("x\"")}};
        // A row with no values writes no line: an empty line would read back as a field.
        QTest::newRow("riga senza valori") << Record{{QStringLiteral("a")}, {}, {2.0}, {}};
        QTest::newRow("accenti") << Record{{QStringLiteral("àèéìòù €"), QStringLiteral("Ã¨")}};
        QTest::newRow("misto UTF-8") << Record{{QStringLiteral("→"), -1250.5, std::monostate{}}};
        QTest::newRow("numeri e vuoti")
            << Record{{std::monostate{}, -0.001, 1e20, std::monostate{}}, {std::monostate{}}, {0.0, QString()}};
    }
    void giroCompleto()
    {
        QFETCH(Record, record);
        QString motivo;
        const auto campi = leggiCampi(codificaRecord(record), int(quantiCampi(record)), &motivo);
        QVERIFY2(campi, qPrintable(motivo));
        QCOMPARE(descrivi(*campi), descrivi(record));
        // Numbers come back as the same value, not only the same text.
        qsizetype i = 0;
        for (const Riga &riga : record)
            for (const Valore &v : riga) {
                if (std::holds_alternative<double>(v))
                    QCOMPARE(mostra(campi->at(i).valore()), mostra(v));
                ++i;
            }
    }

    void lettura_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<int>("quanti");
        QTest::addColumn<QString>("attesi");
        QTest::newRow("campi su più righe") << QByteArray("\"a\",\"b\"\r\n\"c\"\r\n") << 3 << "t:a\nt:b\nt:c";
        QTest::newRow("solo i primi") << QByteArray("\"a\",\"b\"\r\n\"c\"\r\n") << 2 << "t:a\nt:b";
        QTest::newRow("spazi prima e dopo") << QByteArray("  \"a\" ,\t\"b\"\r\n 12.5 ,-3\r\n") << 4
                                            << "t:a\nt:b\nn:12.5\nn:-3";
        QTest::newRow("LF, CR, CR LF") << QByteArray("\"a\"\n\"b\"\r\"c\"\r\n\"d\"") << 4 << "t:a\nt:b\nt:c\nt:d";
        QTest::newRow("riga vuota") << QByteArray("\"a\"\r\n\r\n\"b\"\r\n") << 3 << "t:a\n-\nt:b";
        QTest::newRow("vuoto a fine riga") << QByteArray("\"Valori in euro\",\r\n\"x\"\r\n") << 3
                                           << "t:Valori in euro\n-\nt:x";
        QTest::newRow("virgola alla fine") << QByteArray("\"a\",") << 2 << "t:a\n-";
        QTest::newRow("spazi dopo le virgolette") << QByteArray("\"ab\"  ,\"e\"") << 2 << "t:ab\nt:e";
        QTest::newRow("virgolette raddoppiate") << QByteArray("\"a\"\"b\",\"\"\"\",\"\"") << 3 << "t:a\"b\nt:\"\nt:";
        QTest::newRow("BOM UTF-8") << QByteArray("\xef\xbb\xbf\"\xc3\xa8\"") << 1 << "t:è";
        QTest::newRow("Windows-1252") << QByteArray("\"\xe8 \x80\"") << 1 << "t:è €";
        // What older versions wrote from a pasted control character opens again without it.
        QTest::newRow("controlli tra virgolette") << QByteArray("\"a\x01" "b\x7f\",\"c\x1f" "d\"") << 2 << "t:ab\nt:cd";
        QTest::newRow("controllo dopo gli spazi") << QByteArray("a \xc2\x9d") << 1 << "n:a";
        // A figure wrapped in bidi controls or zero-width characters is the figure itself.
        QTest::newRow("bidi tra virgolette") << QByteArray("\"\xe2\x80\xae" "1200000\xe2\x80\xac\"") << 1 << "t:1200000";
        QTest::newRow("invisibili fuori dalle virgolette")
            << QByteArray("\xef\xbb\xbf\xe2\x81\xa6" "12\xe2\x80\x8b" "5\xe2\x81\xa9 ,\"a\xe2\x80\x8f\xf3\xa0\x80\x81\"") << 2 << "n:125\nt:a";
        QTest::newRow("nessun campo chiesto") << QByteArray("x") << 0 << "";
        QTest::newRow("altro archivio: i primi cinque")
            << QByteArray("\"Valori in euro\",2\r\n\"1.000\",\"1.100\",\"1.200\"\r\n\"9\",\"9\",\"9\"\r\n") << 5
            << "t:Valori in euro\nn:2\nt:1.000\nt:1.100\nt:1.200";
    }
    void lettura()
    {
        QFETCH(QByteArray, byte);
        QFETCH(int, quanti);
        QFETCH(QString, attesi);
        QString motivo;
        const auto campi = leggiCampi(byte, quanti, &motivo);
        QVERIFY2(campi, qPrintable(motivo));
        QCOMPARE(descrivi(*campi), attesi);
    }

    void numeriEstremiRiletti()
    {
        // Fifteen digits cannot hold these exactly, but they must still read back as numbers.
        const double d = std::numeric_limits<double>::max();
        const auto campi = leggiCampi(codificaRecord({{d, -d, 5e-324}}), 3);
        QVERIFY(campi);
        for (const Campo &c : *campi)
            QVERIFY2(c.numero().has_value(), qPrintable(c.testo));
        QVERIFY(*campi->at(0).numero() > 1.79769313486e308);
    }

    void moltiCampiChiesti()
    {
        // The count comes from the caller, the data from the disk: a huge count only runs out.
        QString motivo;
        QVERIFY(!leggiCampi(QByteArray("\"a\""), std::numeric_limits<int>::max(), &motivo));
        QVERIFY(motivo.startsWith(QStringLiteral("il file è incompleto: contiene 1 campo")));
    }

    void righe()
    {
        const auto r = leggiRighe(QByteArray("\"Valori in euro\",\"1\",\"2\"\r\n\"3\",4,\r\n\r\n\"x\""));
        QVERIFY(r);
        QStringList descritte;
        for (const auto &riga : *r)
            descritte << descrivi(riga).replace(u'\n', u'|');
        QCOMPARE(descritte, (QStringList{"t:Valori in euro|t:1|t:2", "t:3|n:4|-", "-", "t:x"}));
        QVERIFY(leggiRighe(QByteArray())->isEmpty());
        QString motivo;
        QVERIFY(!leggiRighe(QByteArray("\"a"), &motivo));
        QCOMPARE(motivo, QStringLiteral("virgolette non chiuse nel campo 1"));
    }

    // A file of an older version, made by hand: Windows-1252, CR LF, an accented letter.
    void fileVecchio()
    {
        const QByteArray vecchio("\"Valori in lire\",\"pi\xe8 di 1.000\",\"800000\"\r\n\"10\",\"2500\"\r\n");
        QTemporaryDir dir;
        const QString percorso = dir.filePath("Perix-menu-vecchio");
        QVERIFY(scrivi(percorso, vecchio));
        QString motivo;
        const auto campi = leggiArchivio(percorso, 5, &motivo);
        QVERIFY2(campi, qPrintable(motivo));
        QCOMPARE(descrivi(*campi), "t:Valori in lire\nt:piè di 1.000\nt:800000\nt:10\nt:2500");
        // Written again, it is byte for byte what the older version wrote.
        Record r{{}, {}};
        for (int i = 0; i < 5; ++i)
            r[i < 3 ? 0 : 1].append(campi->at(i).testo);
        QCOMPARE(codificaRecord(r), vecchio);
    }

    void campoComeNumero_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("citato");
        QTest::addColumn<Valore>("valore");
        QTest::newRow("numero nudo") << "1250.5" << false << Valore(1250.5);
        QTest::newRow("esponente") << "-1E+20" << false << Valore(-1e20);
        QTest::newRow("vuoto") << "" << false << Valore();
        QTest::newRow("testo nudo") << "abc" << false << Valore(QStringLiteral("abc"));
        QTest::newRow("numero non intero nel testo") << "12abc" << false << Valore(QStringLiteral("12abc"));
        QTest::newRow("infinito") << "inf" << false << Valore(QStringLiteral("inf"));
        QTest::newRow("citato resta testo") << "12" << true << Valore(QStringLiteral("12"));
        QTest::newRow("citato vuoto") << "" << true << Valore(QString());
    }
    void campoComeNumero()
    {
        QFETCH(QString, testo);
        QFETCH(bool, citato);
        QFETCH(Valore, valore);
        const Campo c{testo, citato};
        QCOMPARE(mostra(c.valore()), mostra(valore));
        QCOMPARE(c.vuoto(), std::holds_alternative<std::monostate>(valore));
        if (!citato)
            QCOMPARE(c.numero().has_value(), std::holds_alternative<double>(valore));
    }

    void letturaRifiutata_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<int>("quanti");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("file vuoto") << QByteArray() << 5 << "il file è vuoto";
        QTest::newRow("solo spazi") << QByteArray("  \t") << 1 << "il file è incompleto: contiene 0 campi su 1 attesi";
        QTest::newRow("record troncato") << QByteArray("\"Valori in lire\",\"1500000\"\r\n") << 5
                                         << "il file è incompleto: contiene 2 campi su 5 attesi";
        QTest::newRow("una riga di due") << QByteArray("\"a\"\r\n") << 2 << "il file è incompleto: contiene 1 campo su 2 attesi";
        QTest::newRow("virgolette aperte") << QByteArray("\"a\",\"b\r\n") << 2 << "virgolette non chiuse nel campo 2";
        QTest::newRow("NUL") << QByteArray("\"a\"\0", 4) << 1 << "il file non contiene testo";
        // What is dropped or joined on reading is no longer what the file shows.
        QTest::newRow("testo dopo le virgolette") << QByteArray("\"ab\"cd,\"e\"") << 2
                                                  << "il campo 1 ha del testo dopo le virgolette chiuse («cd»)";
        QTest::newRow("a capo tra le virgolette") << QByteArray("\"a\",\"c\r\nd\"") << 2
                                                  << "il campo 2 va a capo dentro le virgolette";
        QTest::newRow("campo più lungo di un campo") << QByteArray(caratteriCampo + 1, '7') << 1
                                                     << "il campo 1 è più lungo di quanto un campo contenga (32.768 "
                                                        "caratteri, al massimo 32.767)";
        QTest::newRow("immagine") << QByteArray("\x89PNG\r\n\x1a\n") << 1 << "il file non contiene testo";
        QTest::newRow("DEL fuori dalle virgolette") << QByteArray("\"a\"\x7f") << 1 << "il file non contiene testo";
        QTest::newRow("NUL tra virgolette") << QByteArray("\"a\0\"", 4) << 1 << "il file non contiene testo";
        QTest::newRow("troppo grande") << QByteArray(dimensioneMassima + 1, 'a') << 1
                                       << "il file è troppo grande per essere un archivio";
    }
    // The check a report makes before it takes a value: each kind's own record passes,
    // one laid out otherwise or with a figure its window would question gives why.
    void difettiDelRecord_data()
    {
        QTest::addColumn<TipoArchivio>("tipo");
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<QString>("motivo"); // a piece of it; empty: nothing to say
        using T = TipoArchivio;
        const QByteArray menu("\"Valori in euro\",\"1200000\",\"500000\"\r\n\"2\",\"1000\"\r\n");
        const auto disaggr = [](const QByteArray &vm, const QByteArray &cc) {
            return "\"Valori in euro\",\"Edificio di tipo medio\",\"" + vm + "\",\"" + cc + "\",\"200.000\"\r\n"
                + QByteArray("\"40.000\"\r\n").repeated(16);
        };
        const auto sint = [](const QByteArray &cella) {
            return "\"Valori in euro\",2\r\n\"1.000\",\"1.091\",\"1.364\"\r\n\"1.000\",\"" + cella
                + "\",\"1.364\"\r\n" + QByteArray("\"1.000\",\"1.091\",\"1.364\"\r\n").repeated(3);
        };
        const auto costo = [](int righe, const QByteArray &riga, const QByteArray &costo, const QByteArray &scelta) {
            return "\"Valori in euro\",\"" + costo + "\"," + scelta + "\r\n" + riga.repeated(righe);
        };
        const QByteArray tipol("\"1.532\",\"27.576\"\r\n"), alt("\"300\"\r\n");
        const QByteArray perc = QByteArray("\"6,25\"\r\n").repeated(15) + "\r\n";

        QTest::newRow("menu") << T::Menu << menu + "\r\n\r\n" << "";
        QTest::newRow("disaggr") << T::Disaggregati << disaggr("1.200.000", "1.000.000") << "";
        QTest::newRow("sint") << T::Sintetici << sint("1.091") << "";
        QTest::newRow("sint non calcolabile") << T::Sintetici << sint("valore non calcolabile") << "";
        QTest::newRow("tipol") << T::Tipologie << costo(9, tipol, "1.350", "3") << "";
        QTest::newRow("alt") << T::Altezze << costo(14, alt, "300", "4") << "";
        QTest::newRow("percentuali con l'ultima vuota") << T::Percentuali << perc << "";

        QTest::newRow("campo in più sulla riga 1") << T::Menu << QByteArray(menu).insert(menu.indexOf('\r'), ",\"x\"")
                                                  << "la riga 1 ha 4 campi invece di 3";
        QByteArray conVuota = disaggr("1", "1");
        conVuota.insert(conVuota.indexOf("\r\n") + 2, "\r\n");
        QTest::newRow("riga vuota in mezzo") << T::Disaggregati << conVuota << "la riga 2 è vuota";
        QTest::newRow("riga in più") << T::Altezze << costo(15, alt, "300", "4") << "il file ha 16 righe invece di 15";
        QTest::newRow("testo senza virgolette") << T::Menu << QByteArray(menu).replace("\"2\"", "2")
                                                << "il campo 1 della riga 2 non è un testo tra virgolette";
        QTest::newRow("classe tra virgolette") << T::Sintetici << QByteArray(sint("1")).replace(",2\r", ",\"2\"\r")
                                               << "il campo 2 della riga 1 è tra virgolette, ma è un numero";
        QTest::newRow("percentuale che non è un numero") << T::Percentuali << QByteArray(perc).replace("\r\n\r\n", "\r\nabc\r\n")
                                                         << "il campo 1 della riga 16 non è né un numero";
        QTest::newRow("disaggr chiamato menu") << T::Menu << disaggr("1.200.000", "1.000.000")
                                               << "il contenuto è quello di un file Perix-disaggr- (costi di "
                                                  "costruzione disaggregati), non di un file Perix-menu-";
        QTest::newRow("valore di mercato non numerico") << T::Disaggregati << disaggr("abc", "1.000.000")
                                                        << "il valore di mercato «abc» non è un numero";
        QTest::newRow("costo vuoto") << T::Disaggregati << disaggr("1.200.000", "") << "manca il costo di costruzione";
        QTest::newRow("costo zero") << T::Disaggregati << disaggr("1.200.000", "0") << "«0» non è un importo valido";
        QTest::newRow("cella di lettere") << T::Sintetici << sint("mille")
                                          << "il costo della riga 2 per la classe 2 «mille» non è un numero";
        QTest::newRow("classe fuori") << T::Sintetici << QByteArray(sint("1")).replace(",2\r", ",7\r")
                                      << "il tipo di edificio scelto «7»";
        QTest::newRow("costo per tipologia vuoto") << T::Tipologie << costo(9, tipol, "", "3")
                                                   << "manca il costo al mq. di superficie netta";
        QTest::newRow("costo per tipologia negativo") << T::Tipologie << costo(9, tipol, "-1.350", "3")
                                                      << "il costo al mq. di superficie netta «-1.350» è negativo";
        QTest::newRow("nessuna tipologia") << T::Tipologie << costo(9, tipol, "1.350", "") << "non è scelta la tipologia";
        QTest::newRow("costo per altezza enorme") << T::Altezze << costo(14, alt, "1e308", "4") << "troppo grande";
        QTest::newRow("classe di altezza fuori") << T::Altezze << costo(14, alt, "300", "15")
                                                 << "la classe di altezza di riferimento «15» non è un numero da 1 a 14";
        QTest::newRow("senza valuta") << T::Altezze << QByteArray(costo(14, alt, "300", "4")).replace("Valori in euro", "")
                                      << "manca la valuta";
        QTest::newRow("testo lunghissimo citato in breve") << T::Tipologie << costo(9, tipol, QByteArray(5000, 'x'), "3")
                                                           << "«" + QString(23, u'x') + "…» non è un numero";
        QTest::newRow("vuoto") << T::Menu << QByteArray() << "il file è vuoto";

        // What is checked is what is used: one reading for the check, the window and the report.
        const auto menuCon = [](const QByteArray &V) {
            return "\"Valori in euro\",\"" + V + "\",\"650000\"\r\n\"3\",\"1500\"\r\n";
        };
        QTest::newRow("cifra oltre un campo") << T::Menu << menuCon(QByteArray(caratteriCampo, ' ') + "1200000")
                                              << "il campo 2 della riga 1 è più lungo di quanto un campo contenga";
        QTest::newRow("zeri oltre un campo") << T::Disaggregati << disaggr(QByteArray(40000, '0') + "1", "1")
                                             << "il campo 3 della riga 1 è più lungo";
        QTest::newRow("costo per tipologia oltre un campo")
            << T::Tipologie << costo(9, tipol, QByteArray(caratteriCampo, '0') + "1", "3") << "è più lungo";
        QTest::newRow("costo per altezza oltre un campo")
            << T::Altezze << costo(14, alt, QByteArray(caratteriCampo, ' ') + "300", "4") << "è più lungo";
        QTest::newRow("campo lungo quanto un campo") << T::Menu << menuCon(QByteArray(caratteriCampo - 7, ' ') + "1200000")
                                                     << "";
        QTest::newRow("cifre in un verso invertito") << T::Menu << menuCon("\xe2\x80\xae" "0000021\xe2\x80\xac")
                                                     << "contiene un carattere invisibile (U+202E, controllo della direzione";
        QTest::newRow("spazio di larghezza zero") << T::Disaggregati << disaggr("1.200\xe2\x80\x8b.000", "1")
                                                  << "il valore di mercato «1.200.000» contiene un carattere invisibile "
                                                     "(U+200B, spazio di larghezza zero)";
        QTest::newRow("separatore di riga") << T::Altezze << costo(14, alt, "3\xe2\x80\xa8" "00", "4")
                                            << "(U+2028, separatore di riga)";
        QTest::newRow("cifre a larghezza piena") << T::Tipologie << costo(9, tipol, "\xef\xbc\x91\xef\xbc\x92", "3")
                                                 << "contiene la cifra «１» (U+FF11), che non è una delle cifre da 0 a 9";
        QTest::newRow("a capo tra le virgolette") << T::Menu << menuCon("12\r\n00000")
                                                  << "il campo 2 della riga 1 va a capo dentro le virgolette";
        QTest::newRow("testo dopo le virgolette") << T::Menu << QByteArray(menuCon("1200")).replace("\"1200\"", "\"1200\"000")
                                                  << "il campo 2 della riga 1 ha del testo dopo le virgolette chiuse («000»)";
        QTest::newRow("spazi dopo le virgolette") << T::Menu << QByteArray(menuCon("1200")).replace("\"1200\"", "\"1200\"  ")
                                                  << "";
        QTest::newRow("allegato dopo il record") << T::Tipologie
                                                 << costo(9, tipol, "1.350", "3") + "\"Perix-dati\",\"1\"\r\n\"fonte\",\"x\"y\r\n"
                                                 << "";
        QTest::newRow("riga dopo il record che non è un allegato")
            << T::Tipologie << costo(9, tipol, "1.350", "3") + "\"Perix-altro\",\"1\"\r\n" << "il file ha 11 righe";
        const auto disaggrCon = [](int campo, const QByteArray &valore) {
            QList<QByteArray> f{"Valori in euro", "Edificio di tipo medio", "1.200.000", "1.000.000", "200.000"};
            for (int k = 0; k < 16; ++k)
                f << "40.000";
            f[campo] = valore;
            QByteArray b = "\"" + f.mid(0, 5).join("\",\"") + "\"\r\n";
            for (int k = 5; k < 21; ++k)
                b += "\"" + f[k] + "\"\r\n";
            return b;
        };
        for (const char *profitto : {"NaN", "abc", "inf", "-1e1000", "0x10", "1,500,000", "1200000-"})
            QTest::newRow(qPrintable(QStringLiteral("profitto %1").arg(profitto)))
                << T::Disaggregati << disaggrCon(4, profitto)
                << QStringLiteral("il profitto netto «%1» non è un numero intero come lo scrive la finestra").arg(profitto);
        QTest::newRow("profitto vuoto") << T::Disaggregati << disaggrCon(4, "") << "manca il profitto netto";
        QTest::newRow("profitto negativo") << T::Disaggregati << disaggrCon(4, "-200.000") << "";
        QTest::newRow("categoria NaN") << T::Disaggregati << disaggrCon(5, "NaN") << "il costo di «fondazioni» «NaN» non è un numero";
        QTest::newRow("categoria abc") << T::Disaggregati << disaggrCon(20, "abc")
                                       << "il costo di «imprevisti e manutenzioni» «abc» non è un numero";
        QTest::newRow("categoria negativa") << T::Disaggregati << disaggrCon(7, "-1") << "«tombagni e tramezzi» «-1» è negativo";
        QTest::newRow("categoria vuota tra le altre") << T::Disaggregati << disaggrCon(6, "")
                                                      << "manca il costo di «opere in cemento armato fuori terra»";
        QTest::newRow("categorie mai calcolate") << T::Disaggregati
                                                 << QByteArray(disaggr("1.200.000", "1.000.000")).replace("\"40.000\"", "\"\"")
                                                 << "";
        for (const char *v : {"1e3", "4,2e1", "1,500", "1e-300"})
            QTest::newRow(qPrintable(QStringLiteral("valore di mercato %1").arg(v)))
                << T::Disaggregati << disaggrCon(2, v)
                << QStringLiteral("il valore di mercato «%1» non è un numero intero").arg(v);
        QTest::newRow("costo 1e3") << T::Disaggregati << disaggrCon(3, "1e3") << "il costo di costruzione «1e3» non è";
        for (const char *cella : {"1e308", "-1e308", "1E308", "1000000000000000", "0,0", "1e-300"})
            QTest::newRow(qPrintable(QStringLiteral("cella %1").arg(cella)))
                << T::Sintetici << sint(cella)
                << QStringLiteral("il costo della riga 2 per la classe 2 «%1» non è un numero intero").arg(cella);
        QTest::newRow("cella -5") << T::Sintetici << sint("-5") << "per la classe 2 «-5» è negativo";
        QTest::newRow("cella -0") << T::Sintetici << sint("-0") << "«-0» non è un numero intero";
        QTest::newRow("cella 0") << T::Sintetici << sint("0") << "";
        QTest::newRow("cella sotto 10^15") << T::Sintetici << sint("999.999.999.999.999") << "";
        QTest::newRow("riga di tipologia non numerica") << T::Tipologie << costo(9, "\"1.532\",\"NaN\"\r\n", "1.350", "3")
                                                        << "il costo a vano della tipologia 1 «NaN» non è un numero";
        QTest::newRow("riga di altezza 1e3") << T::Altezze << costo(14, "\"1e3\"\r\n", "300", "4")
                                             << "il costo della classe di altezza 1 «1e3» non è un numero";
    }
    void difettiDelRecord()
    {
        QFETCH(TipoArchivio, tipo);
        QFETCH(QByteArray, byte);
        QFETCH(QString, motivo);
        const auto difetto = difettoArchivio(tipo, byte);
        if (motivo.isEmpty())
            QVERIFY2(!difetto, qPrintable(difetto.value_or(QString())));
        else
            QVERIFY2(difetto && difetto->contains(motivo), qPrintable(difetto.value_or("(nessun difetto)")));
    }

    void letturaRifiutata()
    {
        QFETCH(QByteArray, byte);
        QFETCH(int, quanti);
        QFETCH(QString, motivo);
        QString perche;
        QVERIFY(!leggiCampi(byte, quanti, &perche));
        QCOMPARE(perche, motivo);
    }

    void leggiFileRifiuta()
    {
        QTemporaryDir dir;
        QString motivo;
        QVERIFY(!leggiFile(dir.filePath("manca"), &motivo));
        QCOMPARE(motivo, "il file non esiste");
        QVERIFY(!leggiFile(dir.path(), &motivo));
        QCOMPARE(motivo, "è una cartella, non un file");
        const QString tubo = dir.filePath("tubo");
        QCOMPARE(::mkfifo(QFile::encodeName(tubo).constData(), 0600), 0);
        QVERIFY(!leggiFile(tubo, &motivo)); // would block if opened
        QCOMPARE(motivo, "non è un file ordinario");

        // The limit itself is allowed, one byte more is not.
        const QString grande = dir.filePath("grande");
        QVERIFY(scrivi(grande, QByteArray(dimensioneMassima, ' ')));
        QVERIFY(leggiFile(grande, &motivo));
        QVERIFY(scrivi(grande, QByteArray(dimensioneMassima + 1, ' ')));
        QVERIFY(!leggiFile(grande, &motivo));
        QCOMPARE(motivo, "il file è troppo grande per essere un archivio");

        const QString chiuso = dir.filePath("chiuso");
        QVERIFY(scrivi(chiuso, "\"a\""));
        QFile::setPermissions(chiuso, {});
        if (QFile(chiuso).open(QIODevice::ReadOnly))
            QSKIP("i permessi non impediscono la lettura a questo utente (root)");
        QVERIFY(!leggiFile(chiuso, &motivo));
        QCOMPARE(motivo, "non si hanno i permessi per leggerlo");
    }

    void scriviSuDispositivo_data()
    {
        QTest::addColumn<qint64>("capienza");
        QTest::addColumn<bool>("riuscito");
        QTest::newRow("nulla") << qint64(0) << false;
        QTest::newRow("a metà") << qint64(5) << false;
        QTest::newRow("un byte in meno") << qint64(9) << false;
        QTest::newRow("esatta") << qint64(10) << true;
        QTest::newRow("abbondante") << qint64(100) << true;
    }
    void scriviSuDispositivo()
    {
        QFETCH(qint64, capienza);
        QFETCH(bool, riuscito);
        const QByteArray dati("0123456789");
        DispositivoCheCede d(capienza);
        QString motivo;
        QCOMPARE(scriviDati(d, dati, &motivo), riuscito);
        QCOMPARE(d.dati, dati.left(capienza));
        QCOMPARE(motivo.isEmpty(), riuscito);
    }

    void salvataggio()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath("Perix-menu-a");
        QString motivo;
        QVERIFY2(salvaAtomico(percorso, QByteArray("uno"), &motivo), qPrintable(motivo));
        QVERIFY2(salvaAtomico(percorso, QByteArray("due"), &motivo), qPrintable(motivo));
        QCOMPARE(contenuto(percorso), "due");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Perix-menu-a"});
    }

    void salvataggioFallito()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath("Perix-menu-a");
        QVERIFY(scrivi(percorso, "vecchio"));
        QString motivo;

        // A writer that stops half way: the old file stays, no temporary file is left.
        QVERIFY(!salvaAtomico(percorso, [](QIODevice &d, QString *m) {
            d.write("nuo");
            *m = QStringLiteral("guasto");
            return false;
        }, &motivo));
        QCOMPARE(motivo, "guasto");

        // The disk refuses writes beyond a size (as a full disk does), even to root.
        rlimit prima{};
        getrlimit(RLIMIT_FSIZE, &prima);
        const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
        rlimit stretto = prima;
        stretto.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &stretto);
        const bool salvato = salvaAtomico(percorso, QByteArray(100000, 'x'), &motivo);
        setrlimit(RLIMIT_FSIZE, &prima);
        std::signal(SIGXFSZ, segnale);
        QVERIFY(!salvato);
        QCOMPARE(motivo, "la scrittura si è interrotta (disco pieno o non disponibile)");

        QCOMPARE(contenuto(percorso), "vecchio");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Perix-menu-a"});

        QVERIFY(!salvaAtomico(dir.filePath("manca/Perix-menu-a"), QByteArray("x"), &motivo));
        QCOMPARE(motivo, "la cartella non esiste");
        QVERIFY(!salvaAtomico(dir.path(), QByteArray("x"), &motivo));
        QCOMPARE(motivo, "è una cartella, non un file");
    }

    // The folder disappears between writing and replacing: reported at commit.
    void cartellaSparita()
    {
        QTemporaryDir dir;
        const QString cartella = dir.filePath("sotto");
        QVERIFY(QDir().mkpath(cartella));
        QString motivo;
        QVERIFY(!salvaAtomico(cartella + "/Perix-menu-a", [&](QIODevice &d, QString *m) {
            return scriviDati(d, "dati", m) && QDir(cartella).removeRecursively();
        }, &motivo));
        QCOMPARE(motivo, "la cartella non esiste più");
    }

    void cartellaSolaLettura()
    {
        QTemporaryDir dir;
        const QString percorso = dir.filePath("Perix-menu-a");
        QVERIFY(scrivi(percorso, "vecchio"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool efficaci = permessiEfficaci(dir.path());
        QString motivo;
        const bool salvato = efficaci && salvaAtomico(percorso, QByteArray("nuovo"), &motivo);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!efficaci)
            QSKIP("i permessi non impediscono la scrittura a questo utente (root)");
        QVERIFY(!salvato);
        QCOMPARE(motivo, "la cartella è di sola lettura");
        QCOMPARE(contenuto(percorso), "vecchio");
    }

    // Where the new content lands and with which permissions: a new file as the umask gives
    // any new file, a replaced one keeping its own; a link followed to its target, or
    // refused where only regular files are written.
    void scritturaAtomica_data()
    {
        QTest::addColumn<bool>("soloFileNormali");
        QTest::addColumn<QString>("prima"); // what stands at the name: nothing, a file, a link
        QTest::addColumn<bool>("riuscito");
        QTest::addColumn<int>("permessi"); // of the file written, octal
        QTest::newRow("nuovo, attraverso i collegamenti") << false << "" << true << 0640;
        QTest::newRow("nuovo, solo file normali") << true << "" << true << 0640;
        QTest::newRow("sostituito, attraverso i collegamenti") << false << "file" << true << 0604;
        QTest::newRow("sostituito, solo file normali") << true << "file" << true << 0604;
        QTest::newRow("collegamento seguito") << false << "collegamento" << true << 0604;
        QTest::newRow("collegamento rifiutato") << true << "collegamento" << false << 0604;
    }
    void scritturaAtomica()
    {
        QFETCH(bool, soloFileNormali);
        QFETCH(QString, prima);
        QFETCH(bool, riuscito);
        QFETCH(int, permessi);
        QTemporaryDir dir;
        const QString percorso = dir.filePath("uscita.pdf");
        const QString bersaglio = prima == "collegamento" ? dir.filePath("altro.pdf") : percorso;
        if (!prima.isEmpty()) {
            QVERIFY(scrivi(bersaglio, "vecchio"));
            QVERIFY(::chmod(QFile::encodeName(bersaglio).constData(), 0604) == 0);
        }
        if (prima == "collegamento")
            QVERIFY(QFile::link(bersaglio, percorso));
        const mode_t maschera = ::umask(027);
        QString motivo;
        const bool scritto = scriviAtomico(percorso, [](QIODevice &d, QString *m) { return scriviDati(d, "nuovo", m); },
                                           &motivo, {.soloFileNormali = soloFileNormali});
        ::umask(maschera);
        QCOMPARE(scritto, riuscito);
        QCOMPARE(contenuto(bersaglio), riuscito ? "nuovo" : "vecchio");
        QCOMPARE(QFileInfo(percorso).isSymLink(), prima == "collegamento");
        struct stat s {};
        QVERIFY(::stat(QFile::encodeName(bersaglio).constData(), &s) == 0);
        QCOMPARE(int(s.st_mode & 0777), permessi);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), prima == "collegamento" ? 2 : 1);
    }

    // The archive tells why in Italian; the user's documents and the command line give the
    // system's own words.
    void scritturaAtomicaMotivi_data()
    {
        QTest::addColumn<bool>("soloFileNormali");
        QTest::addColumn<bool>("motiviInItaliano");
        QTest::newRow("archivio") << false << true;
        QTest::newRow("documento") << false << false;
        QTest::newRow("riga di comando") << true << false;
    }
    void scritturaAtomicaMotivi()
    {
        QFETCH(bool, soloFileNormali);
        QFETCH(bool, motiviInItaliano);
        QTemporaryDir dir;
        const QString italiano = QStringLiteral("la cartella non esiste");
        QString motivo;
        QVERIFY(!scriviAtomico(dir.filePath("manca/uscita.pdf"), [](QIODevice &, QString *) { return true; }, &motivo,
                               {.soloFileNormali = soloFileNormali, .motiviInItaliano = motiviInItaliano}));
        QVERIFY(!motivo.isEmpty());
        QCOMPARE(motivo == italiano, motiviInItaliano);
    }
};

QTEST_GUILESS_MAIN(ProvaCampi)
#include "prova_campi.moc"
