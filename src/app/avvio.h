#pragma once

namespace perix {
// Italian translations, number locale and fonts, then the splash.
void avviaPerix();
// The same set-up without showing anything (tests and benchmarks).
void preparaApplicazione();
} // namespace perix
