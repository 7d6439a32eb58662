#include "tipologie.h"

namespace perix {

risultatitipologie::risultatitipologie()
    : FinestraCosti(descrizioneCosti(4, "Costi per tipologie", "Perix: risultati della stima dei costi per tipologie",
                                menuPredefiniti()),
                    QStringLiteral("risultatitipologie"))
{
    completaCaricamento(QSize(640, 395));
}

} // namespace perix
