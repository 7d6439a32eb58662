#pragma once
// The splash's music: a MIDI file played through FluidSynth with the commands
// open, play, pause and close. Every failure (no file, no soundfont, no sound card)
// leaves the program silent and otherwise working.

#include <QString>
#include <memory>

namespace perix {

class Musica
{
public:
    enum class Stato { Chiusa, InRiproduzione, InPausa };

    Musica();
    ~Musica(); // closes

    // "open": remembers the file; the synthesiser and soundfont load off the UI thread,
    // so the first paint of the window is never delayed. Returns at once.
    void apri(const QString &file);
    void play();
    void pausa();
    void chiudi();

    Stato stato() const; // the program's own view: playing, paused or closed
    // True once the player really has the file loaded and a sound device (for tests and diagnostics).
    bool sonora() const;
    // Waits for the background loading to finish (tests and benchmarks only).
    void attendiCaricamento();

    Musica(const Musica &) = delete;
    Musica &operator=(const Musica &) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Path of the General MIDI soundfont used for the music (overridable with PERIX_SOUNDFONT).
QString soundfontPredefinito();

} // namespace perix
