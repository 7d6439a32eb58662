// The tips file reader: line ends, encodings, the caps, and files that cannot be read.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "core/lettura_suggerimenti.h"
#include "supporto_base.h"

using namespace perix;
using namespace perix::prova;

class ProvaSuggerimenti : public QObject
{
    Q_OBJECT

private slots:
    void righe_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QStringList>("attesi");
        const QStringList tre{"uno", "due", "tre"};
        QTest::newRow("CR LF") << QByteArray("uno\r\ndue\r\ntre\r\n") << tre;
        QTest::newRow("solo LF") << QByteArray("uno\ndue\ntre\n") << tre;
        QTest::newRow("solo CR") << QByteArray("uno\rdue\rtre\r") << tre;
        QTest::newRow("misti") << QByteArray("uno\rdue\ntre\r\n") << tre;
        QTest::newRow("ultima senza fine") << QByteArray("uno\r\ndue\r\ntre") << tre;
        QTest::newRow("riga vuota in mezzo") << QByteArray("uno\r\n\r\ntre") << QStringList{"uno", "", "tre"};
        QTest::newRow("riga vuota in fondo") << QByteArray("uno\r\n\r\n") << QStringList{"uno", ""};
        QTest::newRow("LF CR sono due fini") << QByteArray("uno\n\rdue") << QStringList{"uno", "", "due"};
        QTest::newRow("file vuoto") << QByteArray() << QStringList{};
        QTest::newRow("solo una fine") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("UTF-8") << QByteArray("perché\r\nl'unità") << QStringList{"perché", "l'unità"};
        QTest::newRow("Windows-1252") << QByteArray("perch\xe9 \x80 10\r\n") << QStringList{"perché € 10"};
        QTest::newRow("BOM UTF-8") << QByteArray("\xEF\xBB\xBFprimo\r\nsecondo") << QStringList{"primo", "secondo"};
        QTest::newRow("BOM e byte 1252") << QByteArray("\xEF\xBB\xBF" "citt\xe0") << QStringList{"città"};
        QTest::newRow("caratteri invisibili") << QByteArray("\xe2\x80\xae" "uno\xe2\x80\x8b\r\ndue\xef\xbb\xbf\xe2\x81\xa6")
                                              << QStringList{"uno", "due"};
        QTest::newRow("parentesi angolari") << QByteArray("Premere <Invio>") << QStringList{"Premere <Invio>"};
    }
    void righe()
    {
        QFETCH(QByteArray, dati);
        QFETCH(QStringList, attesi);
        QCOMPARE(dividiSuggerimenti(dati), attesi);
    }

    void limiteDiRighe()
    {
        QByteArray dati;
        for (int i = 1; i <= suggerimentiMassimi + 5; ++i)
            dati += "riga " + QByteArray::number(i) + "\n";
        const QStringList t = dividiSuggerimenti(dati);
        QCOMPARE(t.size(), suggerimentiMassimi);
        QCOMPARE(t.last(), QStringLiteral("riga %1").arg(suggerimentiMassimi));
    }

    void fileLetto()
    {
        QTemporaryDir d;
        const QString p = QDir(d.path()).filePath(QStringLiteral("SuggerimentiPerix.TXT"));
        QVERIFY(scrivi(p, "uno\ndue\n"));
        QCOMPARE(leggiSuggerimenti(p), std::optional<QStringList>(QStringList{"uno", "due"}));
        // The name is case-sensitive: another spelling is another, missing, file.
        QVERIFY(!leggiSuggerimenti(QDir(d.path()).filePath(QStringLiteral("suggerimentiperix.txt"))));
    }

    void fileNonLeggibili()
    {
        QTemporaryDir d;
        QDir cartella(d.path());
        QVERIFY(!leggiSuggerimenti(QString()));
        QVERIFY(!leggiSuggerimenti(cartella.filePath(QStringLiteral("manca.TXT"))));
        QVERIFY(cartella.mkdir(QStringLiteral("cartella.TXT")));
        QVERIFY(!leggiSuggerimenti(cartella.filePath(QStringLiteral("cartella.TXT"))));
        const QString chiuso = cartella.filePath(QStringLiteral("chiuso.TXT"));
        QVERIFY(scrivi(chiuso, "segreto\n"));
        QVERIFY(QFile::setPermissions(chiuso, QFileDevice::Permissions()));
        if (::geteuid() == 0)
            QSKIP("root legge anche i file senza permessi");
        QVERIFY(!leggiSuggerimenti(chiuso));
    }

    // A file past the byte cap is read up to its last whole line within the cap.
    void fileTroppoGrande()
    {
        QTemporaryDir d;
        const QString p = QDir(d.path()).filePath(QStringLiteral("grande.TXT"));
        const QByteArray riga = QByteArray(999, 'a') + "\xc3\xa8\n"; // a 2-byte letter at the end
        QByteArray dati;
        while (dati.size() <= suggerimentiByteMassimi + 1000)
            dati += riga;
        QVERIFY(scrivi(p, dati));
        const auto t = leggiSuggerimenti(p);
        QVERIFY(t);
        QCOMPARE(t->size(), int(suggerimentiByteMassimi / riga.size()));
        QCOMPARE(t->last(), QString(999, u'a') + QStringLiteral("è")); // still UTF-8, no half letter
    }
};

QTEST_GUILESS_MAIN(ProvaSuggerimenti)
#include "prova_suggerimenti.moc"
