#pragma once
// A batch's documents shared among processes: on a machine with several processors the
// command line's conversions run in helper processes forked from this one; each process,
// this one too, takes the next file whenever it is free, and this one reports every result
// in the order of the files. A helper starts with all this process has loaded (fonts, faces, settings), so
// it costs nothing to set up, and shares nothing with it afterwards: no lock, no race.
//
// A helper is forked only while this process is a single thread (a fork copies the calling
// thread alone: a lock another thread held would stay locked in the copy for ever). If one
// dies, this process does what it left undone. PERIX_PROCESSI, when set, is how many
// processes at most (1: no helper).

#include "app/comando.h"

#include <functional>

namespace perix {

struct LavoriDelLotto {
    qsizetype quanti = 0;
    // Whether document i may go to a helper: its result must not depend on the others'.
    std::function<bool(qsizetype)> divisibile;
    // Makes document i (in this process or in a helper).
    std::function<EsitoRapporto(qsizetype)> fai;
    // Called here for every document, in order, as soon as it and those before it are done.
    std::function<void(qsizetype, const EsitoRapporto &)> fatto;
};

void eseguiLotto(const LavoriDelLotto &lavori);

// How many processes share a batch of `documenti` here and now.
int processiDelLotto(qsizetype documenti);

} // namespace perix
