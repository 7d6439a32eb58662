#include "app/musica.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>

#include <fluidsynth.h>

#include <dlfcn.h>

#ifdef PERIX_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace perix {

namespace {

// FluidSynth is opened when the music first plays, not linked: with the dozens of
// libraries it brings (sound servers, sample formats) every start of the program, a
// batch conversion's too, took several milliseconds longer.
struct FluidSynth {
    decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver;
    decltype(&::delete_fluid_player) delete_fluid_player;
    decltype(&::delete_fluid_settings) delete_fluid_settings;
    decltype(&::delete_fluid_synth) delete_fluid_synth;
    decltype(&::fluid_free) fluid_free;
    decltype(&::fluid_is_midifile) fluid_is_midifile;
    decltype(&::fluid_is_soundfont) fluid_is_soundfont;
    decltype(&::fluid_player_add_mem) fluid_player_add_mem;
    decltype(&::fluid_player_get_status) fluid_player_get_status;
    decltype(&::fluid_player_play) fluid_player_play;
    decltype(&::fluid_player_seek) fluid_player_seek;
    decltype(&::fluid_player_stop) fluid_player_stop;
    decltype(&::fluid_set_log_function) fluid_set_log_function;
    decltype(&::fluid_settings_dupstr) fluid_settings_dupstr;
    decltype(&::fluid_settings_setnum) fluid_settings_setnum;
    decltype(&::fluid_settings_setstr) fluid_settings_setstr;
    decltype(&::fluid_synth_all_notes_off) fluid_synth_all_notes_off;
    decltype(&::fluid_synth_all_sounds_off) fluid_synth_all_sounds_off;
    decltype(&::fluid_synth_sfload) fluid_synth_sfload;
    decltype(&::new_fluid_audio_driver) new_fluid_audio_driver;
    decltype(&::new_fluid_player) new_fluid_player;
    decltype(&::new_fluid_settings) new_fluid_settings;
    decltype(&::new_fluid_synth) new_fluid_synth;
};

const FluidSynth *fluidsynth()
{
    static const std::optional<FluidSynth> api = []() -> std::optional<FluidSynth> {
        void *lib = ::dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return std::nullopt;
        FluidSynth t{};
        const auto simbolo = [lib](auto &f, const char *nome) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(::dlsym(lib, nome));
            return f != nullptr;
        };
        if (true
        && simbolo(t.delete_fluid_audio_driver, "delete_fluid_audio_driver")
        && simbolo(t.delete_fluid_player, "delete_fluid_player")
        && simbolo(t.delete_fluid_settings, "delete_fluid_settings")
        && simbolo(t.delete_fluid_synth, "delete_fluid_synth")
        && simbolo(t.fluid_free, "fluid_free")
        && simbolo(t.fluid_is_midifile, "fluid_is_midifile")
        && simbolo(t.fluid_is_soundfont, "fluid_is_soundfont")
        && simbolo(t.fluid_player_add_mem, "fluid_player_add_mem")
        && simbolo(t.fluid_player_get_status, "fluid_player_get_status")
        && simbolo(t.fluid_player_play, "fluid_player_play")
        && simbolo(t.fluid_player_seek, "fluid_player_seek")
        && simbolo(t.fluid_player_stop, "fluid_player_stop")
        && simbolo(t.fluid_set_log_function, "fluid_set_log_function")
        && simbolo(t.fluid_settings_dupstr, "fluid_settings_dupstr")
        && simbolo(t.fluid_settings_setnum, "fluid_settings_setnum")
        && simbolo(t.fluid_settings_setstr, "fluid_settings_setstr")
        && simbolo(t.fluid_synth_all_notes_off, "fluid_synth_all_notes_off")
        && simbolo(t.fluid_synth_all_sounds_off, "fluid_synth_all_sounds_off")
        && simbolo(t.fluid_synth_sfload, "fluid_synth_sfload")
        && simbolo(t.new_fluid_audio_driver, "new_fluid_audio_driver")
        && simbolo(t.new_fluid_player, "new_fluid_player")
        && simbolo(t.new_fluid_settings, "new_fluid_settings")
        && simbolo(t.new_fluid_synth, "new_fluid_synth"))
            return t;
        return std::nullopt;
    }();
    return api ? &*api : nullptr;
}


void nessunLog(int, const char *, void *) {}

#ifdef PERIX_HAVE_ALSA
void nessunErroreAlsa(const char *, int, const char *, int, const char *, ...) {}
#endif

// FluidSynth and the ALSA library talk to stderr whenever a device is missing;
// the program has no console, and a machine without sound is not an error.
void silenziaConsole()
{
    static std::once_flag fatto;
    std::call_once(fatto, [] {
        for (int livello = FLUID_PANIC; livello <= FLUID_DBG; ++livello)
            fluidsynth()->fluid_set_log_function(livello, nessunLog, nullptr);
#ifdef PERIX_HAVE_ALSA
        // FluidSynth's ALSA driver loaded it already: found, not loaded again.
        if (void *alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL))
            if (auto gestore = reinterpret_cast<decltype(&::snd_lib_error_set_handler)>(::dlsym(alsa, "snd_lib_error_set_handler")))
                gestore(nessunErroreAlsa);
#endif
    });
}

// Everything one opened file needs. Torn down driver first, so no audio callback
// can reach the player or the synthesiser while they are being deleted.
struct Motore
{
    fluid_settings_t *impostazioni = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    fluid_audio_driver_t *driver = nullptr;
    // Where "play" resumes: after a pause where it stopped, otherwise (the tune ran to
    // its end) from the top. Kept here because the player's status says "done" for both.
    bool partito = false;
    bool fermatoDaPausa = false;

    Motore() = default;
    Motore(const Motore &) = delete;
    Motore &operator=(const Motore &) = delete;
    ~Motore()
    {
        if (driver)
            fluidsynth()->delete_fluid_audio_driver(driver);
        if (player)
            fluidsynth()->delete_fluid_player(player);
        if (synth)
            fluidsynth()->delete_fluid_synth(synth);
        if (impostazioni)
            fluidsynth()->delete_fluid_settings(impostazioni);
    }
};

fluid_audio_driver_t *apriDispositivo(fluid_settings_t *s, fluid_synth_t *synth)
{
    // Rendering into a file stands in for a sound card where there is none (diagnostics, tests).
    const QByteArray suFile = qgetenv("PERIX_AUDIO_FILE");
    if (!suFile.isEmpty()) {
        fluidsynth()->fluid_settings_setstr(s, "audio.driver", "file");
        fluidsynth()->fluid_settings_setstr(s, "audio.file.name", suFile.constData());
        return fluidsynth()->new_fluid_audio_driver(s, synth);
    }
    // The desktop's sound server first (PulseAudio or PipeWire's PulseAudio service),
    // then whatever FluidSynth prefers (ALSA on Debian). Both fail in a few ms without a device.
    char *predefinito = nullptr;
    fluidsynth()->fluid_settings_dupstr(s, "audio.driver", &predefinito);
    const std::string solito = predefinito ? predefinito : "";
    fluidsynth()->fluid_free(predefinito);
    if (fluidsynth()->fluid_settings_setstr(s, "audio.driver", "pulseaudio") == FLUID_OK) {
        if (auto *d = fluidsynth()->new_fluid_audio_driver(s, synth))
            return d;
    }
    if (solito.empty() || solito == "pulseaudio")
        return nullptr;
    fluidsynth()->fluid_settings_setstr(s, "audio.driver", solito.c_str());
    return fluidsynth()->new_fluid_audio_driver(s, synth);
}

quint32 grandeEndian(const QByteArray &b, qsizetype da, int n)
{
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | static_cast<uchar>(b[da + i]);
    return v;
}

// The header and every track it announces must be whole. FluidSynth parses only when
// playing starts and then gives up without a word, so a cut-off file would look loaded.
bool midiIntero(const QByteArray &b)
{
    if (b.size() < 14 || !b.startsWith("MThd"))
        return false;
    const quint32 testa = grandeEndian(b, 4, 4);
    const quint32 tracce = grandeEndian(b, 10, 2);
    if (testa < 6 || tracce == 0 || testa > quint32(b.size() - 8))
        return false;
    qsizetype pos = 8 + qsizetype(testa);
    quint32 trovate = 0;
    while (trovate < tracce) {
        if (b.size() - pos < 8)
            return false;
        const quint32 lunghezza = grandeEndian(b, pos + 4, 4);
        if (lunghezza > quint64(b.size() - pos - 8))
            return false;
        if (b.mid(pos, 4) == "MTrk")
            ++trovate;
        pos += 8 + qsizetype(lunghezza);
    }
    return true;
}

// Builds the synthesiser for one file. Any failure gives nothing: the music stays silent.
std::unique_ptr<Motore> carica(const std::string &file, const std::string &soundfont)
{
    if (!fluidsynth()) // not installed: the program goes on without music
        return nullptr;
    silenziaConsole();
    // fluid_player_add would accept a missing or foreign file without complaint.
    if (!fluidsynth()->fluid_is_midifile(file.c_str()))
        return nullptr;
    QFile f(QFile::decodeName(file.c_str()));
    constexpr qint64 massimo = 16 * 1024 * 1024; // far beyond any tune; guards memory
    if (!f.open(QIODevice::ReadOnly) || f.size() > massimo)
        return nullptr;
    const QByteArray brano = f.readAll();
    if (!midiIntero(brano))
        return nullptr;
    // Checked first: a foreign file reaches libinstpatch, which complains on stderr.
    if (soundfont.empty() || !fluidsynth()->fluid_is_soundfont(soundfont.c_str()))
        return nullptr;

    auto m = std::make_unique<Motore>();
    m->impostazioni = fluidsynth()->new_fluid_settings();
    if (!m->impostazioni)
        return nullptr;
    // The default gain (0.2) leaves this soundfont rather faint.
    fluidsynth()->fluid_settings_setnum(m->impostazioni, "synth.gain", 0.5);
    m->synth = fluidsynth()->new_fluid_synth(m->impostazioni);
    if (!m->synth || fluidsynth()->fluid_synth_sfload(m->synth, soundfont.c_str(), 1) == FLUID_FAILED)
        return nullptr;
    m->player = fluidsynth()->new_fluid_player(m->synth);
    // From memory: the file may change or vanish after the check.
    if (!m->player || fluidsynth()->fluid_player_add_mem(m->player, brano.constData(), size_t(brano.size())) != FLUID_OK)
        return nullptr;
    // Last, so that nothing renders before the player holds the file.
    m->driver = apriDispositivo(m->impostazioni, m->synth);
    if (!m->driver)
        return nullptr;
    return m;
}

} // namespace

QString soundfontPredefinito()
{
    const QString daAmbiente = qEnvironmentVariable("PERIX_SOUNDFONT");
    if (!daAmbiente.isEmpty())
        return daAmbiente;
    const QString timidity = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    const QString alternativa = QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2");
    if (!QFile::exists(timidity) && QFile::exists(alternativa))
        return alternativa;
    return timidity;
}

// The UI thread only records what the user asked for; one worker thread loads and tears
// down the synthesisers. Whoever finds the other's result applies the recorded state:
// the worker when a load ends, the UI thread when a command comes after it.
struct Musica::Impl
{
    struct Lavoro
    {
        unsigned apertura = 0; // the opening it loads for; stale ones are skipped
        std::string file;
        std::string soundfont;
        std::unique_ptr<Motore> daChiudere; // set for a teardown
    };

    mutable std::mutex m;
    std::condition_variable cv;
    Stato stato = Stato::Chiusa;
    unsigned apertura = 0; // changes with every open and close
    std::unique_ptr<Motore> motore;
    std::deque<Lavoro> lavori;
    bool occupato = false;
    bool fine = false;
    std::thread lavoratore;

    // Called with the mutex held: brings the player in line with the program's state.
    void applica()
    {
        if (!motore)
            return;
        // No tick queries here: the audio thread may be loading the tracks they walk.
        fluid_player_t *p = motore->player;
        const bool suona = fluidsynth()->fluid_player_get_status(p) == FLUID_PLAYER_PLAYING;
        if (stato == Stato::InRiproduzione && !suona) {
            if (motore->partito && !motore->fermatoDaPausa)
                fluidsynth()->fluid_player_seek(p, 0);
            fluidsynth()->fluid_player_play(p);
            motore->partito = true;
            motore->fermatoDaPausa = false;
        } else if (stato != Stato::InRiproduzione && suona) {
            fluidsynth()->fluid_player_stop(p); // keeps the position
            fluidsynth()->fluid_synth_all_notes_off(motore->synth, -1);
            motore->fermatoDaPausa = true;
        }
    }

    // Play or pause, unless the music is closed.
    void imposta(Stato nuovo)
    {
        std::lock_guard lock(m);
        if (stato == Stato::Chiusa)
            return;
        stato = nuovo;
        applica();
    }

    void accoda(Lavoro l)
    {
        lavori.push_back(std::move(l));
        if (!lavoratore.joinable())
            lavoratore = std::thread([this] { lavora(); });
        cv.notify_all();
    }

    void lavora()
    {
        std::unique_lock lock(m);
        for (;;) {
            cv.wait(lock, [this] { return fine || !lavori.empty(); });
            if (lavori.empty())
                return;
            Lavoro l = std::move(lavori.front());
            lavori.pop_front();
            occupato = true;
            const bool valido = !l.daChiudere && l.apertura == apertura;
            lock.unlock();

            std::unique_ptr<Motore> nuovo;
            l.daChiudere.reset();
            if (valido)
                nuovo = carica(l.file, l.soundfont);

            lock.lock();
            if (nuovo && l.apertura == apertura && stato != Stato::Chiusa) {
                motore = std::move(nuovo);
                applica();
            }
            if (nuovo) { // closed or reopened while loading
                lock.unlock();
                nuovo.reset();
                lock.lock();
            }
            occupato = false;
            cv.notify_all();
        }
    }
};

Musica::Musica() : d(std::make_unique<Impl>()) {}

Musica::~Musica()
{
    chiudi();
    {
        std::lock_guard lock(d->m);
        d->fine = true;
    }
    d->cv.notify_all();
    // Waits for a load in progress (the soundfont takes tens of ms) and the last teardown.
    if (d->lavoratore.joinable())
        d->lavoratore.join();
}

void Musica::apri(const QString &file)
{
    chiudi(); // a second open starts over, like closing and opening again
    // Resolved now: the working folder may change before the worker reads it.
    const QString assoluto = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    std::lock_guard lock(d->m);
    d->stato = Stato::InPausa; // open and stopped at the start until "play"
    ++d->apertura;
    Impl::Lavoro l;
    l.apertura = d->apertura;
    l.file = QFile::encodeName(assoluto).toStdString();
    l.soundfont = QFile::encodeName(soundfontPredefinito()).toStdString();
    d->accoda(std::move(l));
}

void Musica::play() { d->imposta(Stato::InRiproduzione); }
void Musica::pausa() { d->imposta(Stato::InPausa); }

void Musica::chiudi()
{
    std::lock_guard lock(d->m);
    if (d->stato == Stato::Chiusa)
        return;
    d->stato = Stato::Chiusa;
    ++d->apertura;
    if (d->motore) {
        // Silent at once; deleting the audio driver waits for its thread, so the worker does it.
        fluidsynth()->fluid_player_stop(d->motore->player);
        fluidsynth()->fluid_synth_all_sounds_off(d->motore->synth, -1);
        Impl::Lavoro l;
        l.daChiudere = std::move(d->motore);
        d->accoda(std::move(l));
    }
}

Musica::Stato Musica::stato() const
{
    std::lock_guard lock(d->m);
    return d->stato;
}

bool Musica::sonora() const
{
    std::lock_guard lock(d->m);
    return d->motore != nullptr;
}

void Musica::attendiCaricamento()
{
    std::unique_lock lock(d->m);
    d->cv.wait(lock, [this] { return d->lavori.empty() && !d->occupato; });
}

} // namespace perix
