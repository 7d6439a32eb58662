#pragma once
// A drawing of lines, dots and words, in points from its top left corner: what a report's
// chart is made of. The PDF writer puts it on the page as paths and real text (every word
// of a chart can be searched and copied, and it is sharp at any zoom); the preview, the
// print and the .docx paint the same drawing with QPainter.

#include <QColor>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace perix {

struct Disegno {
    // A broken line.
    struct Linea {
        QList<QPointF> punti;
        QColor colore;
        double spessore = 1; // points
    };
    // A round mark: filled, with a border.
    struct Punto {
        QPointF centro;
        double raggio = 3;
        QColor pieno, bordo;
        double spessore = 0.75;
    };
    // One line of text. `punto` is on its baseline: at its left end, its middle or its right
    // end as `allineamento` says. A vertical one reads upwards, turned about `punto`.
    struct Scritta {
        enum class Allineamento { Sinistra, Centro, Destra };
        QString testo;
        QPointF punto;
        double corpo = 8; // points
        bool grassetto = false;
        QColor colore = Qt::black;
        Allineamento allineamento = Allineamento::Sinistra;
        bool verticale = false;
    };

    QSizeF misura; // points
    QList<Linea> linee;   // drawn first, in order
    QList<Punto> punti;   // then the marks
    QList<Scritta> scritte;
};

// The glyphs of a text as the document lays them out (layout units, a tenth of a point),
// moved so that `origine` is the anchor of its Scritta; `larghezza` in points.
struct TestoDisegnato {
    QList<QGlyphRun> glifi;
    QPointF origine;
    double larghezza = 0;
};
TestoDisegnato impaginaScritta(const Disegno::Scritta &s);
// How wide a text is in the type a Scritta of `corpo` points, bold or not, gives it.
double larghezzaScritta(const QString &testo, double corpo, bool grassetto);

// Paints the drawing with the painter's coordinates in points.
void dipingi(QPainter &p, const Disegno &d);
// The drawing as a white picture at `dpi` dots per inch (for the .docx and Qt's own layout).
QImage immagineDisegno(const Disegno &d, double dpi);

} // namespace perix
