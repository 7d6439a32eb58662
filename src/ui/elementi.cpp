#include "ui/elementi.h"

#include <QtGlobal>

// Resources of a static library are registered by hand, once, before the first icon.
static void registraRisorse()
{
    Q_INIT_RESOURCE(perix);
}

namespace perix {

void caricaRisorse()
{
    static const bool fatto = (registraRisorse(), true);
    Q_UNUSED(fatto);
}

} // namespace perix
