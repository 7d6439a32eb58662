#include "reports/rapporto_procedimento.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/documento.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace perix {

namespace {

// The chart on the page: the width of the text of an A4 page with 2 cm margins.
const QSizeF misuraGrafico(481.9, 290.0); // points

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
    r.disegno(disegnoGraficoAnni(c, unita, misuraGrafico));
    s->typeText(QStringLiteral("\r"));
    s->setAlignment(Alignment::Left);
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

namespace {

// A step of 1, 2 or 5 times a power of ten, near `grezzo`: ticks a reader counts easily.
double passoTondo(double grezzo)
{
    if (!(grezzo > 0) || !std::isfinite(grezzo))
        return 1;
    const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
    const double f = grezzo / potenza;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * potenza;
}

} // namespace

Disegno disegnoGraficoAnni(const CurvaAnni &curva, const QString &unita, const QSizeF &misura)
{
    using A = Disegno::Scritta::Allineamento;
    Disegno d;
    d.misura = misura;
    if (curva.punti.isEmpty())
        return d;
    const QColor griglia(0xD9, 0xD9, 0xD9), asse(0x7F, 0x7F, 0x7F), etichette(0x40, 0x40, 0x40);
    constexpr double corpoEtichette = 8, corpoTitoli = 9;

    // The value axis: zero always in sight (where the operation stops paying), a little air.
    double basso = 0, alto = 0;
    for (const PuntoAnni &p : curva.punti)
        for (const std::optional<double> &v : {p.massimo, p.medio, p.minimo})
            if (v) {
                basso = std::min(basso, *v);
                alto = std::max(alto, *v);
            }
    if (alto == basso)
        alto = basso + 1;
    const double aria = (alto - basso) * 0.05;
    const double passoY = passoTondo((alto - basso + 2 * aria) / 5);
    const double y0 = basso < 0 ? std::floor((basso - aria) / passoY) * passoY : 0;
    const double y1 = std::ceil((alto + aria) / passoY) * passoY;
    QStringList valori;
    double largo = 0;
    for (double v = y0; v <= y1 + passoY / 2; v += passoY) {
        valori << intero(std::abs(v) < passoY / 2 ? 0.0 : v);
        largo = std::max(largo, larghezzaScritta(valori.last(), corpoEtichette, false));
    }

    // The plot's frame, leaving room for the labels, the axis titles and the legend.
    const double sinistra = 16 + largo + 6, destra = misura.width() - 12;
    const double sopra = 10, sotto = misura.height() - 48;
    const double campo = std::max(curva.a - curva.da, 1e-9);
    const auto x = [&](double anni) { return sinistra + (anni - curva.da) / campo * (destra - sinistra); };
    const auto y = [&](double v) { return sotto - (v - y0) / (y1 - y0) * (sotto - sopra); };

    for (qsizetype i = 0; i < valori.size(); ++i) {
        const double v = y0 + double(i) * passoY, yy = y(v);
        d.linee.append({{QPointF(sinistra, yy), QPointF(destra, yy)}, griglia, 0.5});
        d.linee.append({{QPointF(sinistra - 3, yy), QPointF(sinistra, yy)}, asse, 0.75});
        d.scritte.append({valori[i], QPointF(sinistra - 5, yy + 2.8), corpoEtichette, false, etichette, A::Destra});
    }
    const double passoX = campo <= 20 ? 1 : campo <= 50 ? 5 : 10;
    for (double t = std::ceil(curva.da / passoX - 1e-9) * passoX; t <= curva.a + 1e-9; t += passoX) {
        const double xx = x(t);
        d.linee.append({{QPointF(xx, sopra), QPointF(xx, sotto)}, griglia, 0.5});
        d.linee.append({{QPointF(xx, sotto), QPointF(xx, sotto + 3)}, asse, 0.75});
        d.scritte.append({testoNumero(t), QPointF(xx, sotto + 12), corpoEtichette, false, etichette, A::Centro});
    }
    if (y0 < 0)
        d.linee.append({{QPointF(sinistra, y(0)), QPointF(destra, y(0))}, asse, 0.75});
    d.linee.append({{QPointF(sinistra, sopra), QPointF(sinistra, sotto), QPointF(destra, sotto)}, asse, 0.75});
    d.scritte.append({QStringLiteral("anni per redditività"), QPointF((sinistra + destra) / 2, sotto + 26), corpoTitoli,
                      true, Qt::black, A::Centro});
    d.scritte.append({unita.isEmpty() ? QStringLiteral("valore dell'area") : QStringLiteral("valore dell'area (%1)").arg(unita),
                      QPointF(12, (sopra + sotto) / 2), corpoTitoli, true, Qt::black, A::Centro, true});

    struct Serie {
        const char *nome;
        std::optional<double> PuntoAnni::*valore;
        QColor colore;
    };
    const Serie serie[] = {{"massimo (sconto al 7 %)", &PuntoAnni::massimo, coloreMassimo},
                           {"medio", &PuntoAnni::medio, coloreMedio},
                           {"minimo (sconto al 10 %)", &PuntoAnni::minimo, coloreMinimo}};
    QList<QPointF> segnati;
    for (const Serie &s : serie) {
        // A year without a figure breaks the line.
        Disegno::Linea tratto{{}, s.colore, 1.5};
        for (const PuntoAnni &p : curva.punti) {
            const std::optional<double> v = p.*s.valore;
            if (!v) {
                if (tratto.punti.size() > 1)
                    d.linee.append(tratto);
                tratto.punti.clear();
                continue;
            }
            tratto.punti.append(QPointF(x(p.anni), y(*v)));
            if (p.digitati)
                segnati.append(tratto.punti.last());
        }
        if (!tratto.punti.isEmpty())
            d.linee.append(tratto);
    }
    for (const QPointF &p : segnati)
        d.punti.append({p, 3.4, Qt::black, Qt::white, 0.75});

    // The legend, one row centred under the plot.
    struct Voce {
        QString testo;
        QColor colore;
        bool punto;
    };
    QList<Voce> voci;
    for (const Serie &s : serie)
        voci.append({QString::fromUtf8(s.nome), s.colore, false});
    voci.append({QStringLiteral("anni della stima (n = %1)").arg(testoNumero(curva.anni)), Qt::black, true});
    constexpr double campione = 16, stacco = 4, spazio = 14;
    double totale = -spazio;
    QList<double> larghezze;
    for (const Voce &v : voci) {
        larghezze.append(larghezzaScritta(v.testo, corpoEtichette, false));
        totale += (v.punto ? 8 : campione) + stacco + larghezze.last() + spazio;
    }
    double at = std::max(0.0, (misura.width() - totale) / 2);
    const double riga = misura.height() - 6;
    for (qsizetype i = 0; i < voci.size(); ++i) {
        const Voce &v = voci[i];
        if (v.punto) {
            d.punti.append({QPointF(at + 4, riga - 2.8), 3.4, Qt::black, Qt::white, 0.75});
            at += 8;
        } else {
            d.linee.append({{QPointF(at, riga - 2.8), QPointF(at + campione, riga - 2.8)}, v.colore, 1.5});
            at += campione;
        }
        at += stacco;
        d.scritte.append({v.testo, QPointF(at, riga), corpoEtichette, false, etichette, A::Sinistra});
        at += larghezze[i] + spazio;
    }
    return d;
}

} // namespace perix
