#include "reports/rapporto_procedimento.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/documento.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace perix {

namespace {

// The chart on the page: the width of the text of an A4 page with 2 cm margins.
const QSizeF misuraGrafico(481.9, 290.0); // points
// Print resolution of the chart's image.
constexpr double dpiGrafico = 300.0;

const QColor coloreMassimo(0x1F, 0x4E, 0x79);
const QColor coloreMedio(0x38, 0x8E, 0x3C);
const QColor coloreMinimo(0xC5, 0x5A, 0x11);
// The base case of the two-way table stands out from the table's bands.
const QColor coloreBase(0xFF, 0xD9, 0x66);

QString variazione(double quota)
{
    const long percento = std::lround(quota * 100);
    return percento > 0 ? QStringLiteral("+%1 %").arg(percento) : QStringLiteral("%1 %").arg(percento);
}

QString intero(double x) { return formatta(testoNumero(x), Schema::Intero); }

// One paragraph at the insertion point: a bold title, then lines broken inside it.
void paragrafo(Selection *s, const QString &titolo, const QStringList &righe)
{
    s->setFontSize(10);
    if (!titolo.isEmpty()) {
        s->setBold(true);
        s->typeText(titolo);
        s->setBold(false);
    }
    QString resto;
    for (const QString &r : righe)
        resto += (resto.isEmpty() && titolo.isEmpty() ? QString() : QString(QChar::LineSeparator)) + r;
    s->typeText(resto + u'\r');
}

void procedimento(Rapporto &r, const DatiRapportoMenu &d, const DatiStimaArea &dati, const QString &unita)
{
    Selection *s = r.selezione();
    r.interruzionePagina();
    r.scrivi(12, QStringLiteral("- Procedimento di calcolo (valori ") + d.valuta + QStringLiteral(")\r"));
    const Procedimento p = procedimentoStimaArea(dati, unita);
    if (!p.nonDisponibile.isEmpty()) {
        paragrafo(s, QString(), {p.nonDisponibile});
        return;
    }
    paragrafo(s, QString(), {p.dati});
    if (d.omi) {
        const PassoProcedimento fonte = fonteValoreMercato(*d.omi);
        paragrafo(s, fonte.titolo, fonte.righe);
    }
    if (d.fonteCosto)
        paragrafo(s, QStringLiteral("Origine dei costi totali"),
                  {QStringLiteral("dalla ") + testoFonteCosto(*d.fonteCosto, unita) + u'.'});
    for (const PassoProcedimento &passo : p.passi)
        paragrafo(s, passo.titolo, passo.righe);
    paragrafo(s, QString(), {p.nota});
}

void tabella(Rapporto &r, const TabellaSensibilita &t)
{
    QList<QStringList> righe;
    QStringList testa{QStringLiteral("costi totali / valore di mercato")};
    for (std::size_t j = 0; j < t.valori.size(); ++j)
        testa << variazione(variazioniSensibilita[j]) + u'\r' + intero(t.valori[j]);
    righe << testa;
    for (std::size_t i = 0; i < t.costi.size(); ++i) {
        QStringList riga{variazione(variazioniSensibilita[i]) + u'\r' + intero(t.costi[i])};
        for (std::size_t j = 0; j < t.valori.size(); ++j)
            riga << testoRisultato(t.medio[i][j]);
        righe << riga;
    }
    Table tb = r.tabella(righe);
    tb.setColumnWidths({24, 15.2, 15.2, 15.2, 15.2, 15.2});
    for (int c = 2; c <= tb.columns(); ++c)
        tb.column(c).setAlignment(Alignment::Right);
    for (int riga = 2; riga <= tb.rows(); ++riga)
        tb.cell(riga, 1).range().setBold(true);
    Cell base = tb.cell(casoBase + 2, casoBase + 2);
    base.setShading(coloreBase);
    base.range().setBold(true);
}

void sensibilita(Rapporto &r, const DatiRapportoMenu &d, const DatiStimaArea &dati, const QString &unita)
{
    Selection *s = r.selezione();
    // The table and the chart on a page of their own, read together.
    r.interruzionePagina();
    r.scrivi(12, QStringLiteral("- Analisi di sensibilità (valori ") + d.valuta + QStringLiteral(")\r"));
    const TabellaSensibilita t = tabellaSensibilita(dati);
    if (!t.nonDisponibile.isEmpty()) {
        paragrafo(s, QString(), {t.nonDisponibile});
    } else {
        paragrafo(s, QString(),
                  {QStringLiteral("Costo totale medio dell'area con il valore di mercato del fabbricato (colonne) e "
                                  "i costi totali (righe) variati dal -20 % al +20 %; in evidenza il caso della stima.")});
        tabella(r, t);
        s->endKey();
        s->typeParagraph();
    }

    const CurvaAnni c = curvaAnni(dati);
    if (!c.nonDisponibile.isEmpty()) {
        // Said once when the whole analysis is out of reach for the same figures.
        if (t.nonDisponibile.isEmpty())
            paragrafo(s, QString(), {c.nonDisponibile});
        return;
    }
    paragrafo(s, QString(),
              {QStringLiteral("Costo totale massimo, medio e minimo dell'area al variare degli anni per redditività, "
                              "da %1 a %2; i punti segnano gli anni della stima (n = %3).")
                   .arg(testoNumero(c.da), testoNumero(c.a), testoNumero(c.anni))});
    s->setAlignment(Alignment::Center);
    r.immagine(immagineGraficoAnni(c, unita, misuraGrafico, dpiGrafico), misuraGrafico);
    s->typeText(QStringLiteral("\r"));
    s->setAlignment(Alignment::Left);
}

void formaAsse(QValueAxis *asse, const QString &titolo)
{
    QFont etichette(QStringLiteral("Century Gothic"), 8);
    QFont titoli(QStringLiteral("Century Gothic"), 9);
    titoli.setBold(true);
    asse->setTitleText(titolo);
    asse->setTitleFont(titoli);
    asse->setLabelsFont(etichette);
    asse->setLabelFormat(QStringLiteral("%.0f"));
    asse->setGridLineColor(QColor(0xD9, 0xD9, 0xD9));
    asse->setLinePenColor(QColor(0x7F, 0x7F, 0x7F));
}

} // namespace

DatiStimaArea datiStima(const DatiRapportoMenu &d)
{
    // The figures as the window's valuation read them.
    return {letturaStima(d.valoremercato).valore, letturaStima(d.costitotali).valore, letturaStima(d.anni).valore,
            letturaStima(d.superficie).valore};
}

void sezioniProcedimento(Rapporto &r, const DatiRapportoMenu &d)
{
    if (!r.valido())
        return;
    // A figure that is no number computed nothing in the window: nor does it here.
    const std::array<QString, 4> figure{d.valoremercato, d.costitotali, d.anni, d.superficie};
    for (std::size_t f = 0; f < figure.size(); ++f) {
        if (letturaStima(figure[f]).usabile())
            continue;
        r.interruzionePagina();
        r.scrivi(12, QStringLiteral("- Procedimento di calcolo (valori ") + d.valuta + QStringLiteral(")\r"));
        paragrafo(r.selezione(), QString(),
                  {rifiutoFigura(FiguraArea(f), figure[f]).value_or(QString())
                   + QStringLiteral(" Il procedimento di calcolo e l'analisi di sensibilità non sono disponibili.")});
        return;
    }
    const DatiStimaArea dati = datiStima(d);
    const QString unita = unitaValuta(d.valuta);
    // One layout of the pages when both sections are written, not one per edit.
    QTextCursor insieme(r.documento());
    insieme.beginEditBlock();
    r.selezione()->endKey();
    procedimento(r, d, dati, unita);
    sensibilita(r, d, dati, unita);
    insieme.endEditBlock();
}

QChart *graficoAnni(const CurvaAnni &curva, const QString &unita)
{
    auto *g = new QChart;
    g->setAnimationOptions(QChart::NoAnimation);
    g->setBackgroundRoundness(0);
    g->setMargins(QMargins(2, 2, 2, 2));
    g->setLocalizeNumbers(true);
    g->setLocale(QLocale());
    g->legend()->setAlignment(Qt::AlignBottom);
    g->legend()->setFont(QFont(QStringLiteral("Century Gothic"), 8));

    auto *x = new QValueAxis;
    formaAsse(x, QStringLiteral("anni per redditività"));
    x->setRange(curva.da, curva.a);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    const double campo = curva.a - curva.da;
    x->setTickInterval(campo <= 20 ? 1 : campo <= 50 ? 5 : 10);
    auto *y = new QValueAxis;
    formaAsse(y, unita.isEmpty() ? QStringLiteral("valore dell'area")
                                 : QStringLiteral("valore dell'area (%1)").arg(unita));
    g->addAxis(x, Qt::AlignBottom);
    g->addAxis(y, Qt::AlignLeft);

    double basso = 0, alto = 0; // zero always in sight: where the operation stops paying
    const auto aggiungi = [&](QXYSeries *serie) {
        g->addSeries(serie);
        serie->attachAxis(x);
        serie->attachAxis(y);
    };
    struct Linea {
        const char *nome;
        std::optional<double> PuntoAnni::*valore;
        QColor colore;
    };
    const Linea linee[] = {{"massimo (sconto al 7 %)", &PuntoAnni::massimo, coloreMassimo},
                           {"medio", &PuntoAnni::medio, coloreMedio},
                           {"minimo (sconto al 10 %)", &PuntoAnni::minimo, coloreMinimo}};
    auto *digitati = new QScatterSeries;
    digitati->setName(QStringLiteral("anni della stima (n = %1)").arg(testoNumero(curva.anni)));
    for (const Linea &l : linee) {
        auto *serie = new QLineSeries;
        serie->setName(QString::fromUtf8(l.nome));
        for (const PuntoAnni &p : curva.punti) {
            const std::optional<double> v = p.*l.valore;
            if (!v)
                continue;
            serie->append(p.anni, *v);
            basso = std::min(basso, *v);
            alto = std::max(alto, *v);
            if (p.digitati)
                digitati->append(p.anni, *v);
        }
        serie->setPen(QPen(l.colore, 2.0));
        aggiungi(serie);
    }
    if (alto == basso)
        alto = basso + 1;
    const double aria = (alto - basso) * 0.05;
    y->setRange(basso < 0 ? basso - aria : 0, alto + aria);
    y->applyNiceNumbers();

    digitati->setMarkerSize(9);
    digitati->setColor(Qt::black);
    digitati->setBorderColor(Qt::white);
    aggiungi(digitati);
    return g;
}

QImage immagineGraficoAnni(const CurvaAnni &curva, const QString &unita, const QSizeF &punti, double dpi)
{
    // The chart is laid out in Qt's logical pixels (96 to the inch), where its type sizes
    // in points come out right, and drawn scaled up to the print resolution.
    const QSizeF logico = punti * (96.0 / 72.0);
    QImage img(QSize(int(std::lround(punti.width() * dpi / 72)), int(std::lround(punti.height() * dpi / 72))),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    if (curva.punti.isEmpty())
        return img;
    QGraphicsScene scena;
    QChart *g = graficoAnni(curva, unita);
    scena.addItem(g); // the scene owns it
    g->setGeometry(QRectF(QPointF(0, 0), logico));
    if (g->layout())
        g->layout()->activate();
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    scena.render(&p, QRectF(img.rect()), QRectF(QPointF(0, 0), logico), Qt::IgnoreAspectRatio);
    p.end();
    const int perMetro = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(perMetro);
    img.setDotsPerMeterY(perMetro);
    return img;
}

} // namespace perix
