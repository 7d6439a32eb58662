#include "reports/disegno.h"

#include "reports/documento.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>

namespace perix {

namespace {

QFont carattere(double corpo, bool grassetto)
{
    QFont f(QStringLiteral("Century Gothic"));
    f.setPointSizeF(corpo);
    f.setBold(grassetto);
    return f;
}

struct Riga {
    QList<QGlyphRun> glifi;
    double ascesa = 0, larghezza = 0; // layout units
};

Riga disponi(const QString &testo, double corpo, bool grassetto)
{
    // On the documents' device: the words take the same glyphs and places as the text around them.
    QTextLayout l(testo, carattere(corpo, grassetto), Document::layoutDevice());
    l.beginLayout();
    QTextLine r = l.createLine();
    if (r.isValid())
        r.setLineWidth(1e6);
    l.endLayout();
    if (!r.isValid())
        return {};
    return {r.glyphRuns(), r.ascent(), r.naturalTextWidth()};
}

// A chart's words are mostly the same from one report to the next (the axes' figures, the
// titles, the legend): each is laid out once, measured and drawn from the same glyphs.
Riga riga(const QString &testo, double corpo, bool grassetto)
{
    static QHash<QString, Riga> fatte;
    const QString chiave = testo + QChar(grassetto ? u'\x1' : u'\x2') + QString::number(corpo);
    const auto it = fatte.constFind(chiave);
    if (it != fatte.constEnd())
        return it.value();
    if (fatte.size() >= 1024)
        fatte.clear();
    return fatte.insert(chiave, disponi(testo, corpo, grassetto)).value();
}

} // namespace

TestoDisegnato impaginaScritta(const Disegno::Scritta &s)
{
    Riga r = riga(s.testo, s.corpo, s.grassetto);
    const double quota = s.allineamento == Disegno::Scritta::Allineamento::Sinistra ? 0
                       : s.allineamento == Disegno::Scritta::Allineamento::Centro   ? 0.5
                                                                                    : 1;
    return {std::move(r.glifi), QPointF(-quota * r.larghezza, -r.ascesa), Document::points(r.larghezza)};
}

double larghezzaScritta(const QString &testo, double corpo, bool grassetto)
{
    return Document::points(riga(testo, corpo, grassetto).larghezza);
}

void dipingi(QPainter &p, const Disegno &d)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (const Disegno::Linea &l : d.linee) {
        QPen penna(l.colore, l.spessore);
        penna.setCapStyle(Qt::FlatCap);
        penna.setJoinStyle(Qt::RoundJoin);
        p.setPen(penna);
        p.drawPolyline(l.punti.constData(), int(l.punti.size()));
    }
    for (const Disegno::Punto &m : d.punti) {
        p.setPen(QPen(m.bordo, m.spessore));
        p.setBrush(m.pieno);
        p.drawEllipse(m.centro, m.raggio, m.raggio);
    }
    for (const Disegno::Scritta &s : d.scritte) {
        const TestoDisegnato t = impaginaScritta(s);
        p.save();
        p.translate(s.punto);
        if (s.verticale)
            p.rotate(-90);
        p.scale(1 / Document::unitsPerPoint, 1 / Document::unitsPerPoint);
        p.setPen(s.colore);
        for (const QGlyphRun &g : t.glifi)
            p.drawGlyphRun(t.origine, g);
        p.restore();
    }
    p.restore();
}

QImage immagineDisegno(const Disegno &d, double dpi)
{
    const double scala = dpi / 72.0;
    QImage img(QSize(int(std::lround(d.misura.width() * scala)), int(std::lround(d.misura.height() * scala))),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    const int perMetro = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(perMetro);
    img.setDotsPerMeterY(perMetro);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scala, scala);
    dipingi(p, d);
    return img;
}

} // namespace perix
