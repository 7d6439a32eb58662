#include "altezze.h"

namespace perix {

variocosto::variocosto()
    : FinestraCosti(descrizioneCosti(5, "Costi per altezze", "Perix: costi di costruzione per altezze",
                                menuPredefiniti()),
                    QStringLiteral("variocosto"))
{
    completaCaricamento(QSize(640, 395));
}

} // namespace perix
