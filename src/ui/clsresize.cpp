#include "ui/clsresize.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace perix {

namespace {
// Twips rounded to a whole twip, halves to the even neighbour.
int32_t twips(double pixel)
{
    return int32_t(std::nearbyint(pixel * twipsPerPixel));
}
int pixel(double tw)
{
    return int(std::lround(tw / twipsPerPixel));
}
} // namespace

MisureSchermo misureSchermo(uint8_t percentuale, double larghezzaSchermo, double altezzaSchermo)
{
    MisureSchermo m;
    m.altezza = int32_t(std::floor(percentuale / 100.0 * altezzaSchermo));
    m.larghezza = int32_t(std::floor(percentuale / 100.0 * larghezzaSchermo));
    m.alto = (altezzaSchermo - m.altezza) / 2.0;
    m.sinistra = (larghezzaSchermo - m.larghezza) / 2.0;
    return m;
}

clsResize::~clsResize()
{
    m_records.clear();
    m_form = nullptr;
}

QWidgetList clsResize::controlli() const
{
    if (!m_form)
        return {};
    return m_form->findChildren<QWidget *>();
}

void clsResize::RecordLayout()
{
    m_refW = m_form ? twips(m_form->width()) : 0;
    m_refH = m_form ? twips(m_form->height()) : 0;
    m_records.clear();
    const QWidgetList lista = controlli();
    m_records.reserve(lista.size());
    for (QWidget *c : lista) {
        ControlRecord r;
        r.control = c;
        // Widgets placed by a layout are not ours to move: their measures stay 0.
        if (!c->isWindow()) {
            const QRect g = c->geometry();
            r.left = twips(g.x());
            r.top = twips(g.y());
            r.width = twips(g.width());
            r.height = twips(g.height());
        }
        m_records.append(r);
    }
    m_needsRecording = false;
}

void clsResize::SizeFormToScreen(uint8_t percentuale, QWidget *finestra)
{
    QSize schermo(1024, 768);
    if (QScreen *s = QGuiApplication::primaryScreen())
        schermo = s->geometry().size();
    SizeFormToScreen(percentuale, finestra, schermo);
}

void clsResize::SizeFormToScreen(uint8_t percentuale, QWidget *finestra, QSize schermo)
{
    if (m_needsRecording)
        RecordLayout();
    m_ultime = misureSchermo(percentuale, double(schermo.width()) * twipsPerPixel,
                             double(schermo.height()) * twipsPerPixel);
    if (finestra) {
        finestra->move(pixel(m_ultime.sinistra), pixel(m_ultime.alto));
        finestra->resize(pixel(m_ultime.larghezza), pixel(m_ultime.altezza));
    }
    ResizeControls();
}

void clsResize::ResizeControls()
{
    if (!m_form || !m_form->findChild<QWidget *>())
        return;
    if (m_form->window()->isMinimized())
        return;
    if (m_needsRecording) {
        RecordLayout();
        return;
    }
    if (m_refW == 0 || m_refH == 0)
        return; // no reference to scale from
    const bool aggiornava = m_form->updatesEnabled();
    m_form->setUpdatesEnabled(false);
    const double rv = double(twips(m_form->height())) / m_refH;
    const double ro = double(twips(m_form->width())) / m_refW;
    for (const ControlRecord &r : std::as_const(m_records)) {
        QWidget *c = r.control;
        if (!c || c->isWindow() || (r.width == 0 && r.height == 0))
            continue; // gone, or nothing to lay out
        const double x = r.left * ro, y = r.top * rv, w = r.width * ro, h = r.height * rv;
        // Round the edges, not the sizes, so neighbouring controls never open gaps.
        const int px = pixel(x), py = pixel(y);
        c->setGeometry(px, py, pixel(x + w) - px, pixel(y + h) - py);
    }
    m_form->setUpdatesEnabled(aggiornava);
}

} // namespace perix
