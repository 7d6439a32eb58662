#pragma once
// Every window exists at most once: created (and loaded) on first reference, the same
// instance afterwards, forgotten when it is closed.

#include <QPointer>
#include <QWidget>

namespace perix::registro {

template <typename T>
struct Posto {
    static inline QPointer<T> finestra;
};

// The window, created and loaded now if it does not exist yet.
template <typename T>
T *prendi()
{
    auto &p = Posto<T>::finestra;
    if (!p) {
        p = new T;
        p->setAttribute(Qt::WA_DeleteOnClose);
    }
    return p;
}

// The window if it exists, without creating it.
template <typename T>
T *seEsiste()
{
    return Posto<T>::finestra;
}

// Shows the window without modality and brings it forward.
inline void porta(QWidget *w)
{
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
}

template <typename T>
T *mostra()
{
    T *w = prendi<T>();
    porta(w);
    return w;
}

// Closes the window if it exists; the next reference creates a fresh one.
template <typename T>
void chiudi()
{
    if (T *w = Posto<T>::finestra) {
        Posto<T>::finestra = nullptr;
        w->close();
    }
}

} // namespace perix::registro
