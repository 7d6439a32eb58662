// The price-list reader: what it keeps of a list, and what it tells about what it left out.

#include <QTemporaryDir>
#include <QTest>

#include "core/campi.h"
#include "core/lettura_listino.h"
#include "supporto_base.h"

using namespace perix;
using namespace perix::prova;

class ProvaListino : public QObject
{
    Q_OBJECT

private slots:
    void letturaCompleta()
    {
        const Listino l = leggiListino("\"2026\",3\n\"Perix\",\"aree fabbricabili\",258.23,232.41\r\n"
                                       "Estimo,\"stima, fabbricati\"\r\n1234.5\r\n1000,\"C\",\"\"\"c\"\"\",0.5,0\r\n");
        QCOMPARE(l.nota, QString());
        QCOMPARE(l.annolistino, QStringLiteral("2026"));
        const QList<Prodotto> attesi{{QStringLiteral("Perix"), QStringLiteral("aree fabbricabili"), 258.23, 232.41},
                                     {QStringLiteral("Estimo"), QStringLiteral("stima, fabbricati"), 1234.5, 1000},
                                     {QStringLiteral("C"), QStringLiteral("\"c\""), 0.5, 0}};
        QCOMPARE(l.prodotti, attesi);
    }

    void cosaResta_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<int>("letti");
        QTest::addColumn<QString>("nota"); // a piece of it; empty: no note at all

        QTest::newRow("come annunciato") << listino(25) << 25 << QString();
        // Bidi and zero-width characters never reach a name or a price.
        QTest::newRow("caratteri invisibili") << listino(3).replace("\"P1\"", "\"\xe2\x80\xaeP1\xe2\x80\xac\"")
                                                    .replace(",1.5,", ",\xe2\x80\x8b" "1.5\xef\xbb\xbf,")
                                              << 3 << QString();
        QTest::newRow("righe vuote tra i prodotti") << listino(3).replace("\r\n", "\r\n\r\n") << 3 << QString();
        QTest::newRow("nessun prodotto annunciato") << listino(0) << 0 << QString();
        QTest::newRow("più righe che annunciate") << listino(12, "10") << 10 << QString();
        QTest::newRow("meno prodotti") << listino(2, "5") << 2 << "annuncia 5 prodotti ma ne contiene 2";
        QTest::newRow("nessuno dei prodotti") << listino(0, "1") << 0 << "annuncia 1 prodotto ma non ne contiene";
        QTest::newRow("prodotto a metà") << listino(3).chopped(6) << 2 << "annuncia 3 prodotti ma ne contiene 2";
        QTest::newRow("più di cento") << listino(101, "150") << 100 << "soltanto i primi 100";
        QTest::newRow("più di cento annunciati, pochi presenti") << listino(30, "150") << 30
                                                                 << "annuncia 150 prodotti ma ne contiene 30";
        QTest::newRow("cento esatti") << listino(100) << 100 << QString();
        QTest::newRow("numero non numerico") << listino(3, "tre") << 3 << "(«tre») non è valido: sono mostrati i 3";
        QTest::newRow("numero negativo") << listino(3, "-2") << 3 << "non è valido";
        QTest::newRow("numero con decimali") << listino(3, "2.5") << 3 << "non è valido";
        QTest::newRow("numero vuoto") << listino(3, "") << 3 << "non è valido";
        QTest::newRow("numero non valido e oltre cento") << listino(120, "x") << 100 << "i 100 prodotti letti";
        QTest::newRow("numero con esponente") << listino(3, "1e1") << 3 << "annuncia 10 prodotti ma ne contiene 3";
        QTest::newRow("prezzo non numerico") << listino(3).replace(",2.5,", ",due,") << 1
                                             << "prodotto 2 del listino ha un prezzo non valido: è mostrato soltanto il primo";
        QTest::newRow("prezzo vuoto") << listino(3).replace(",1.5,", ",,") << 0
                                      << "prodotto 1 del listino ha un prezzo non valido: nessun prodotto";
        QTest::newRow("prezzo oltre 15 cifre") << listino(3).replace(",3.5,3\r\n", ",3.5,3e20\r\n") << 2 << "prodotto 3";
        QTest::newRow("virgolette non chiuse nell'ultimo") << listino(3).replace("argomento 3\"", "argomento 3") << 2
                                                           << "annuncia 3 prodotti ma ne contiene 2";
        QTest::newRow("virgolette raddoppiate, poi non chiuse")
            << listino(3).replace("\"argomento 3\"", "\"argo\"\"mento 3") << 2 << "annuncia 3 prodotti ma ne contiene 2";
        QTest::newRow("virgolette non chiuse nell'anno") << QByteArray("\"2026,3\r\n") << 0 << "non leggibile";
        QTest::newRow("vuoto") << QByteArray() << 0 << "vuoto";
        QTest::newRow("solo l'anno") << QByteArray("2026\r\n") << 0 << "vuoto";
        QTest::newRow("non è testo") << QByteArray("2026,1\r\n\"a\",\"b\",1,1\0", 20) << 0 << "non leggibile";
    }
    void cosaResta()
    {
        QFETCH(QByteArray, dati);
        QFETCH(int, letti);
        QFETCH(QString, nota);
        const Listino l = leggiListino(dati);
        QCOMPARE(l.numeroprodotti(), letti);
        if (nota.isEmpty())
            QCOMPARE(l.nota, QString());
        else
            QVERIFY2(l.nota.contains(nota), qPrintable(l.nota));
        // What is kept is the file's products from the first, each whole.
        for (int i = 1; i <= letti; ++i)
            QCOMPARE(l.prodotti[i - 1], (Prodotto{QStringLiteral("P%1").arg(i), QStringLiteral("argomento %1").arg(i),
                                                  i + 0.5, double(i)}));
    }

    void testiDiVersioniPrecedenti()
    {
        // Windows-1252, as the older versions wrote their files.
        const Listino l = leggiListino("2026,1\r\n\"Attivit\xe0\",\"propriet\xe0 e usufrutto\",10,9\r\n");
        QCOMPARE(l.numeroprodotti(), 1);
        QCOMPARE(l.prodotti[0].nome, QStringLiteral("Attività"));
        QCOMPARE(l.prodotti[0].argomento, QStringLiteral("proprietà e usufrutto"));
    }

    void file_data()
    {
        QTest::addColumn<QString>("nome"); // empty: no file found
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<int>("letti");
        QTest::addColumn<QString>("nota");
        QTest::newRow("trovato") << "listino.txt" << listino(3) << 3 << QString();
        QTest::newRow("non trovato") << QString() << QByteArray() << 0 << "non è stato trovato";
        QTest::newRow("troppo grande") << "listino.txt" << listino(3) + QByteArray(dimensioneMassima, ' ') << 0
                                       << "troppo grande";
        QTest::newRow("una cartella") << "cartella" << QByteArray() << 0 << "cartella";
    }
    void file()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(int, letti);
        QFETCH(QString, nota);
        QTemporaryDir dir;
        QString percorso;
        if (nome == QLatin1String("cartella")) {
            percorso = dir.path();
        } else if (!nome.isEmpty()) {
            percorso = dir.filePath(nome);
            QVERIFY(scrivi(percorso, dati));
        }
        const Listino l = caricaListino(percorso);
        QCOMPARE(l.numeroprodotti(), letti);
        QVERIFY2(nota.isEmpty() ? l.nota.isEmpty() : l.nota.contains(nota), qPrintable(l.nota));
    }

    // The list shipped with the program reads whole, with sensible prices.
    void listinoDelProgramma()
    {
        // The tests run beside the program's data.
        const Listino l = leggiListino(contenuto(QStringLiteral("listino.txt")));
        QCOMPARE(l.nota, QString());
        QVERIFY(l.numeroprodotti() >= 20);
        QVERIFY(!l.annolistino.isEmpty());
        for (const Prodotto &p : l.prodotti) {
            QVERIFY(!p.nome.isEmpty() && !p.argomento.isEmpty());
            QVERIFY2(p.prezzoofferta > 0 && p.prezzoofferta <= p.prezzonetto, qPrintable(p.nome));
        }
    }
};

QTEST_GUILESS_MAIN(ProvaListino)
#include "prova_listino.moc"
