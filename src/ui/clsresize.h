#pragma once
// Keeps a window's controls in proportion to its inner area. Measures are kept in
// twips (15 to a logical pixel), recorded once at the design size; every pass scales
// from the recorded values, so repeated resizing never accumulates rounding.

#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>
#include <cstdint>

namespace perix {

inline constexpr int twipsPerPixel = 15;
// A rectangle given in twips, as the windows were drawn, in pixels.
constexpr QRect twips(int sinistra, int alto, int larghezza, int altezza)
{
    return {sinistra / twipsPerPixel, alto / twipsPerPixel, larghezza / twipsPerPixel, altezza / twipsPerPixel};
}

// Where and how big a window becomes at `percentuale` of a screen (all in twips).
struct MisureSchermo {
    int32_t altezza = 0;
    int32_t larghezza = 0;
    double alto = 0;     // may hold half twips
    double sinistra = 0;
};
MisureSchermo misureSchermo(uint8_t percentuale, double larghezzaSchermo, double altezzaSchermo);

class clsResize
{
public:
    struct ControlRecord {
        QPointer<QWidget> control;
        int32_t left = 0, top = 0, width = 0, height = 0;
    };

    clsResize() = default;
    ~clsResize();

    // The window whose controls are laid out: the inner area is `SourceForm`'s own area
    // (for a main window, its central widget); the controls are every widget inside it.
    QWidget *SourceForm() const { return m_form; }
    void setSourceForm(QWidget *form) { m_form = form; }

    // Records the present layout as the new reference.
    void ReInitialise() { RecordLayout(); }
    // Sizes and centres `finestra` (the top-level window) at `percentuale` of the primary screen.
    void SizeFormToScreen(uint8_t percentuale, QWidget *finestra);
    // The same on a given screen size in pixels (tests).
    void SizeFormToScreen(uint8_t percentuale, QWidget *finestra, QSize schermo);
    void ResizeControls();

    int32_t ReferenceWidth() const { return m_refW; }
    int32_t ReferenceHeight() const { return m_refH; }
    bool NeedsRecording() const { return m_needsRecording; }
    const QVector<ControlRecord> &ControlRecords() const { return m_records; }
    // The last geometry SizeFormToScreen set, in twips (before the window's fixed size replaces it).
    const MisureSchermo &ultimeMisure() const { return m_ultime; }

private:
    void RecordLayout();
    QWidgetList controlli() const;

    QPointer<QWidget> m_form;
    int32_t m_refW = 0, m_refH = 0;
    QVector<ControlRecord> m_records;
    bool m_needsRecording = true;
    MisureSchermo m_ultime;
};

} // namespace perix
