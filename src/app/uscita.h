#pragma once
// Files the command line writes: each lands in the folder the user named, under its own
// name, and nowhere else.

#include "core/scrittura.h"

namespace perix {

// scriviAtomico onto a regular file or a free name only: a symbolic link, a folder, a FIFO,
// a device or a socket at `percorso` is refused before anything is written (a link is
// never followed, a FIFO never opened), and the reason is the system's. With
// Registrazione::AFineLotto the run calls registraLottoSuDisco once at its end.
inline bool scriviUscita(const QString &percorso, const Scrittore &scrivi, QString *motivo = nullptr,
                         Registrazione registrazione = Registrazione::Subito)
{
    return scriviAtomico(percorso, scrivi, motivo,
                         {.soloFileNormali = true, .motiviInItaliano = false, .registrazione = registrazione});
}

} // namespace perix
