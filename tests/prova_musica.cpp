// The splash's music: the open/play/pause/close state kept by the program, loading off the
// UI thread, silence on every failure, and the shipped tune itself.
// The audio goes to a WAV file instead of a sound card, so the player is really built and
// driven here whether or not the machine has one.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

#include <fluidsynth.h>

#include "app/musica.h"
#include "supporto_base.h"

using perix::Musica;
using perix::prova::contenuto;
using perix::prova::scrivi;
using Stato = Musica::Stato;

class ProvaMusica : public QObject
{
    Q_OBJECT

    QTemporaryDir cartella;
    QString brano;

private slots:
    void initTestCase()
    {
        QVERIFY(cartella.isValid());
        brano = QFINDTESTDATA("../resources/Internet.mid");
        QVERIFY2(!brano.isEmpty(), "Internet.mid non trovato");
        qputenv("PERIX_AUDIO_FILE", cartella.filePath("uscita.wav").toLocal8Bit());
        qunsetenv("PERIX_SOUNDFONT");
        QVERIFY2(QFile::exists(perix::soundfontPredefinito()), "manca il soundfont timgm6mb");
    }

    void init() { qunsetenv("PERIX_SOUNDFONT"); }

    // The program's own view follows the commands, whether they come before or after the load.
    void sequenzeDiComandi_data()
    {
        QTest::addColumn<bool>("attendiPrima");
        QTest::newRow("comandi durante il caricamento") << false;
        QTest::newRow("comandi a caricamento finito") << true;
    }
    void sequenzeDiComandi()
    {
        QFETCH(bool, attendiPrima);
        Musica m;
        m.play(); // nothing open yet: nothing happens, nothing to wait for
        m.pausa();
        m.chiudi();
        m.attendiCaricamento();
        QCOMPARE(m.stato(), Stato::Chiusa);
        QVERIFY(!m.sonora());

        m.apri(brano);
        QCOMPARE(m.stato(), Stato::InPausa); // open, not yet playing
        if (attendiPrima) {
            m.attendiCaricamento();
            QVERIFY(m.sonora());
        }
        m.play();
        QCOMPARE(m.stato(), Stato::InRiproduzione);
        m.pausa();
        QCOMPARE(m.stato(), Stato::InPausa);
        m.pausa();
        QCOMPARE(m.stato(), Stato::InPausa);
        m.play();
        m.play();
        QCOMPARE(m.stato(), Stato::InRiproduzione);
        m.attendiCaricamento();
        QVERIFY(m.sonora());
        QCOMPARE(m.stato(), Stato::InRiproduzione);

        m.chiudi();
        QCOMPARE(m.stato(), Stato::Chiusa);
        QVERIFY(!m.sonora());
        m.chiudi(); // a second close is harmless
        m.play();   // and nothing revives a closed device but "open"
        QCOMPARE(m.stato(), Stato::Chiusa);
        m.pausa();
        QCOMPARE(m.stato(), Stato::Chiusa);
        m.attendiCaricamento();
        QVERIFY(!m.sonora());

        m.apri(brano);
        m.play();
        m.attendiCaricamento();
        QCOMPARE(m.stato(), Stato::InRiproduzione);
        QVERIFY(m.sonora());
    }

    // A close or a new open while loading throws the old load away.
    void caricamentiSuperati()
    {
        Musica m;
        m.apri(brano);
        m.play();
        m.chiudi();
        m.attendiCaricamento();
        QCOMPARE(m.stato(), Stato::Chiusa);
        QVERIFY(!m.sonora());

        m.apri(brano);
        m.apri(cartella.filePath("non-esiste.mid"));
        m.attendiCaricamento();
        QCOMPARE(m.stato(), Stato::InPausa);
        QVERIFY(!m.sonora());

        m.apri(cartella.filePath("non-esiste.mid"));
        m.apri(brano);
        m.attendiCaricamento();
        QVERIFY(m.sonora());

        for (int i = 0; i < 10; ++i) {
            m.apri(brano);
            m.play();
            m.pausa();
            if (i % 2 == 0)
                m.chiudi();
        }
        m.attendiCaricamento();
        QCOMPARE(m.stato(), Stato::InPausa);
        QVERIFY(m.sonora());
    }

    // A bare name is the file in the current folder when "open" is given, not when it loads.
    void nomeRelativo()
    {
        const QString prima = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFileInfo(brano).absolutePath()));
        Musica m;
        m.apri(QStringLiteral("Internet.mid"));
        QDir::setCurrent(cartella.path());
        m.attendiCaricamento();
        QDir::setCurrent(prima);
        QVERIFY(m.sonora());
    }

    // Whatever is wrong, the commands still work and the music stays silent.
    void fileNonSuonabili_data()
    {
        QTest::addColumn<QByteArray>("contenuto"); // empty: no file at all
        QTest::addColumn<QString>("soundfont");    // empty: the usual one
        QTest::addColumn<bool>("suona");

        const QByteArray buono = contenuto(brano);
        QVERIFY(buono.size() > 100);

        QTest::newRow("file mancante") << QByteArray() << QString() << false;
        QTest::newRow("testo, non MIDI") << QByteArray("Questo non è un file MIDI.\r\n") << QString() << false;
        QTest::newRow("solo l'intestazione") << buono.left(14) << QString() << false;
        QTest::newRow("tronco a metà") << buono.left(buono.size() / 2) << QString() << false;
        QTest::newRow("intestazione lunga oltre il file")
            << QByteArray("MThd\xff\xff\xff\xff\0\1\0\1\1\xe0", 14) << QString() << false;
        QTest::newRow("soundfont mancante") << buono << cartella.filePath("nessuno.sf2") << false;
        QTest::newRow("soundfont che non lo è") << buono << brano << false;
        QTest::newRow("tutto in ordine") << buono << QString() << true;
    }
    void fileNonSuonabili()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(QString, soundfont);
        QFETCH(bool, suona);
        const QString file = cartella.filePath(contenuto.isEmpty() ? "assente.mid" : "prova.mid");
        if (!contenuto.isEmpty())
            QVERIFY(scrivi(file, contenuto));
        if (!soundfont.isEmpty()) {
            qputenv("PERIX_SOUNDFONT", soundfont.toLocal8Bit());
            QCOMPARE(perix::soundfontPredefinito(), soundfont);
        }
        Musica m;
        m.apri(file);
        m.play();
        m.attendiCaricamento();
        QCOMPARE(m.sonora(), suona);
        QCOMPARE(m.stato(), Stato::InRiproduzione);
        m.pausa();
        QCOMPARE(m.stato(), Stato::InPausa);
        m.play();
        m.chiudi();
        QCOMPARE(m.stato(), Stato::Chiusa);
    }

    // Destroying the object at any moment joins the loader and frees everything
    // (run under valgrind or ASan to see it).
    void distruzioneInOgniMomento()
    {
        for (int passo = 0; passo < 4; ++passo) {
            auto m = std::make_unique<Musica>();
            m->apri(brano);
            if (passo >= 1)
                m->play();
            if (passo >= 2)
                m->attendiCaricamento();
            if (passo >= 3)
                m->chiudi();
            m.reset();
        }
        {
            Musica m;
            m.apri(brano);
            m.chiudi();
            m.apri(brano);
        }
    }

    // The shipped tune: a MIDI file FluidSynth accepts, 30 to 60 seconds of audible,
    // unclipped music. Rendered into memory, as fast as the machine goes.
    void branoDiAvvio()
    {
        QVERIFY(fluid_is_midifile(QFile::encodeName(brano).constData()));

        fluid_settings_t *s = new_fluid_settings();
        fluid_settings_setnum(s, "synth.gain", 0.5); // as the program plays it
        fluid_synth_t *synth = new_fluid_synth(s);
        QVERIFY(fluid_synth_sfload(synth, QFile::encodeName(perix::soundfontPredefinito()).constData(), 1) != FLUID_FAILED);
        fluid_player_t *p = new_fluid_player(synth);
        QCOMPARE(fluid_player_add(p, QFile::encodeName(brano).constData()), FLUID_OK);
        QCOMPARE(fluid_player_play(p), FLUID_OK);

        double frequenza = 44100;
        fluid_settings_getnum(s, "synth.sample-rate", &frequenza);
        constexpr int blocco = 1024;
        std::vector<float> sx(blocco), dx(blocco);
        double picco = 0, energia = 0, ultimoSuono = 0;
        long campioni = 0;
        const long limite = long(120 * frequenza);
        while (fluid_player_get_status(p) == FLUID_PLAYER_PLAYING && campioni < limite) {
            fluid_synth_write_float(synth, blocco, sx.data(), 0, 1, dx.data(), 0, 1);
            for (int i = 0; i < blocco; ++i) {
                const double a = std::max(std::abs(sx[i]), std::abs(dx[i]));
                picco = std::max(picco, a);
                energia += double(sx[i]) * sx[i] + double(dx[i]) * dx[i];
                if (a > 0.001)
                    ultimoSuono = (campioni + i) / frequenza;
            }
            campioni += blocco;
        }
        const int stato = fluid_player_get_status(p);
        delete_fluid_player(p);
        delete_fluid_synth(synth);
        delete_fluid_settings(s);

        QCOMPARE(stato, int(FLUID_PLAYER_DONE));
        const double rms = std::sqrt(energia / (2.0 * campioni));
        qInfo("brano: %.1f s di suono, picco %.1f dBFS, rms %.1f dBFS", ultimoSuono,
              20 * std::log10(picco), 20 * std::log10(rms));
        QVERIFY2(ultimoSuono >= 30 && ultimoSuono <= 60, qPrintable(QString::number(ultimoSuono)));
        QVERIFY(picco < 1.0);               // never clips
        QVERIFY(20 * std::log10(rms) > -40); // clearly audible
    }
};

QTEST_GUILESS_MAIN(ProvaMusica)
#include "prova_musica.moc"
