#pragma once
// What every window is built from: the program's own pictures, and the plain labels and
// lines placed by hand at their design positions.

namespace perix {

// Registers the icons and pictures built into the program (idempotent).
void caricaRisorse();

} // namespace perix
