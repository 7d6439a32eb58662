#include "core/calcoli_procedimento.h"

#include "core/omi.h"

#include "core/numeri.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace perix {

namespace {

// An amount as an appraiser writes it: grouped, whole when it is whole, else two decimals.
QString importo(double x)
{
    const QString t = testoNumero(x);
    return formatta(t, x == std::floor(x) ? Schema::Intero : Schema::InteroDueDecimali);
}

QString conUnita(const QString &cifra, const QString &unita)
{
    return unita.isEmpty() || cifra == nonCalcolabile ? cifra : cifra + u' ' + unita;
}

QString alMq(const QString &cifra, const QString &unita)
{
    if (cifra == nonCalcolabile)
        return cifra;
    return unita.isEmpty() ? cifra + QStringLiteral(" al mq.") : cifra + u' ' + unita + QStringLiteral("/mq");
}

// A factor or a rate to `cifre` decimals; one beyond the 15 digits the program shows (a
// discount factor over thousands of negative years) is not calcolabile, never "inf".
QString decimali(double x, int cifre)
{
    if (!std::isfinite(x) || std::fabs(x) >= 1e15)
        return nonCalcolabile;
    return QLocale().toString(x, 'f', cifre);
}

// "= 349.375 €", or "= 349.375,49 €; arrotondato all'unità inferiore: 349.375 €" when the
// valuation cuts the figure.
QString troncato(double esatto, double risultato, const QString &unita, bool perMq = false)
{
    const auto scrivi = [&](double x) { return perMq ? alMq(importo(x), unita) : conUnita(importo(x), unita); };
    if (esatto == risultato)
        return QStringLiteral(" = ") + scrivi(risultato);
    // Cents cut, not rounded, so the figure never reads above the whole part it gives.
    return QStringLiteral(" = %1; arrotondato all'unità inferiore: %2")
        .arg(scrivi(std::floor(esatto * 100) / 100), scrivi(risultato));
}

// The average as the window shows it: halves go away from zero in the label.
QString media(double esatta, const QString &unita, bool perMq)
{
    const auto scrivi = [&](const QString &cifra) { return perMq ? alMq(cifra, unita) : conUnita(cifra, unita); };
    if (esatta == std::floor(esatta))
        return QStringLiteral(" = ") + scrivi(importo(esatta));
    return QStringLiteral(" = %1; arrotondato all'unità: %2")
        .arg(scrivi(importo(esatta)), scrivi(testoRisultato(esatta)));
}

const QString fuoriCifre = QStringLiteral("valore non calcolabile: il risultato supera le 15 cifre che il programma rappresenta");

QString oltreCento(double anni)
{
    return QStringLiteral("Con %1 anni per la redditività (più di 100) la stima non viene calcolata")
        .arg(testoNumero(anni));
}

struct Grado {
    const char *nome;
    double margine; // developer's margin, share of V
    double saggio;  // discount rate a year
};
constexpr Grado massimo{"massimo", 0.1, 0.07};
constexpr Grado minimo{"minimo", 0.3, 0.1};

PassoProcedimento totale(const DatiStimaArea &d, const Grado &g, std::optional<double> risultato,
                         const QString &unita)
{
    PassoProcedimento p;
    p.titolo = QStringLiteral("Costo totale %1 dell'area (margine del promotore %2 %, sconto al %3 % annuo)")
                   .arg(QLatin1String(g.nome), decimali(g.margine * 100, 0), decimali(g.saggio * 100, 0));
    if (!risultato) {
        p.righe << fuoriCifre;
        return p;
    }
    const double margine = g.margine * d.V;
    const double netto = d.V - (margine + d.C);
    const QString base = decimali(1 + g.saggio, 2);
    const QString potenza = base + u'^' + testoNumero(d.A);
    p.righe << QStringLiteral("V - %1 × V - C = %2 - %3 - %4 = %5")
                   .arg(decimali(g.margine, 2), importo(d.V), importo(margine), importo(d.C),
                        conUnita(importo(netto), unita));
    p.righe << QStringLiteral("fattore di sconto (%2 % annuo, n = %1): 1 / %3 = %4")
                   .arg(testoNumero(d.A), decimali(g.saggio * 100, 0), potenza,
                        decimali(1 / std::pow(1 + g.saggio, d.A), 4));
    p.righe << QStringLiteral("%1 / %2").arg(conUnita(importo(netto), unita), potenza)
                   + troncato(netto / std::pow(1 + g.saggio, d.A), *risultato, unita);
    return p;
}

PassoProcedimento perMq(const char *nome, std::optional<double> totale, const char *nomeTotale, double S,
                        std::optional<double> risultato, const QString &unita)
{
    PassoProcedimento p;
    p.titolo = QStringLiteral("Valore %1 dell'area per mq.").arg(QLatin1String(nome));
    if (risultato)
        p.righe << QStringLiteral("%1 / %2 mq").arg(conUnita(importo(*totale), unita), importo(S))
                       + troncato(*totale / S, *risultato, unita, true);
    else if (!totale)
        p.righe << QStringLiteral("valore non calcolabile: il costo totale %1 non è calcolabile").arg(QLatin1String(nomeTotale));
    else if (S == 0)
        p.righe << QStringLiteral("valore non calcolabile: la superficie del terreno è zero o manca");
    else if (*totale == 0)
        p.righe << QStringLiteral("valore non calcolabile: il costo totale %1 è zero").arg(QLatin1String(nomeTotale));
    else
        p.righe << fuoriCifre;
    return p;
}

} // namespace

QString unitaValuta(const QString &valuta)
{
    if (valuta.contains(QStringLiteral("lire"), Qt::CaseInsensitive))
        return QStringLiteral("lire");
    if (valuta.contains(QStringLiteral("euro"), Qt::CaseInsensitive))
        return QStringLiteral("€");
    return {};
}

Procedimento procedimentoStimaArea(const DatiStimaArea &d, const QString &unita)
{
    Procedimento p;
    const ValoriStimaArea v = valutaArea(d.V, d.C, d.A, d.S);
    if (v.troppiAnni) {
        p.nonDisponibile = oltreCento(d.A) + QStringLiteral(": il procedimento di calcolo non è disponibile.");
        return p;
    }
    const auto &r = v.r;
    p.fattoreMassimo = 1 / std::pow(1.07, d.A);
    p.fattoreMinimo = 1 / std::pow(1.1, d.A);
    p.pareggioMassimo = 0.9 * d.V;
    p.pareggioMinimo = 0.7 * d.V;

    p.dati = QStringLiteral("Dati: valore di mercato del fabbricato V = %1; costi totali C = %2; "
                            "anni per redditività n = %3; superficie del terreno S = %4 mq.")
                 .arg(conUnita(importo(d.V), unita), conUnita(importo(d.C), unita), testoNumero(d.A), importo(d.S));

    p.passi << totale(d, massimo, r[1], unita) << totale(d, minimo, r[2], unita);

    PassoProcedimento medio{QStringLiteral("Costo totale medio dell'area"), {}};
    if (r[3])
        medio.righe << QStringLiteral("(%1 + %2) / 2").arg(importo(*r[1]), importo(*r[2])) + media(*r[3], unita, false);
    else
        medio.righe << (r[1] && r[2] ? fuoriCifre
                                     : QStringLiteral("valore non calcolabile: il costo totale massimo o minimo non è calcolabile"));
    p.passi << medio;

    p.passi << perMq("massimo", r[1], "massimo", d.S, r[4], unita) << perMq("minimo", r[2], "minimo", d.S, r[5], unita);
    PassoProcedimento medioMq{QStringLiteral("Valore medio dell'area per mq."), {}};
    if (r[6])
        medioMq.righe << QStringLiteral("(%1 + %2) / 2").arg(importo(*r[4]), importo(*r[5])) + media(*r[6], unita, true);
    else
        medioMq.righe << QStringLiteral("valore non calcolabile: servono i valori massimo e minimo per mq., "
                                        "entrambi calcolati e diversi da zero");
    p.passi << medioMq;

    // Where each total value turns to zero: the margin and the costs take the whole market value.
    PassoProcedimento pareggio{QStringLiteral("Costi totali di pareggio"), {}};
    pareggio.righe << QStringLiteral("il costo totale massimo dell'area si annulla con costi totali pari a 0,9 × V = %1")
                          .arg(conUnita(importo(p.pareggioMassimo), unita));
    pareggio.righe << QStringLiteral("il costo totale minimo dell'area si annulla con costi totali pari a 0,7 × V = %1")
                          .arg(conUnita(importo(p.pareggioMinimo), unita));
    pareggio.righe << QStringLiteral("con costi totali più alti il valore dell'area è negativo: l'operazione non conviene.");
    p.passi << pareggio;

    p.nota = QStringLiteral("I fattori di sconto sono scritti a quattro decimali; i valori sono calcolati "
                            "con i fattori non arrotondati.");
    return p;
}

TabellaSensibilita tabellaSensibilita(const DatiStimaArea &d)
{
    TabellaSensibilita t;
    for (std::size_t i = 0; i < variazioniSensibilita.size(); ++i) {
        t.valori[i] = d.V * (1 + variazioniSensibilita[i]);
        t.costi[i] = d.C * (1 + variazioniSensibilita[i]);
    }
    const ValoriStimaArea base = valutaArea(d.V, d.C, d.A, d.S);
    if (base.troppiAnni) {
        t.nonDisponibile = oltreCento(d.A) + QStringLiteral(": l'analisi di sensibilità non è disponibile.");
        return t;
    }
    if (!base.r[3]) {
        t.nonDisponibile = QStringLiteral("Il costo totale medio dell'area è un valore non calcolabile con questi dati: "
                                          "l'analisi di sensibilità non è disponibile.");
        return t;
    }
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t j = 0; j < 5; ++j)
            t.medio[i][j] = valutaArea(t.valori[j], t.costi[i], d.A, d.S).r[3];
    return t;
}

CurvaAnni curvaAnni(const DatiStimaArea &d)
{
    CurvaAnni c;
    c.anni = d.A;
    if (d.A > 100) {
        c.nonDisponibile = oltreCento(d.A) + QStringLiteral(": il grafico sugli anni non è disponibile.");
        return c;
    }
    if (d.A < 0) {
        c.nonDisponibile = QStringLiteral("Gli anni per redditività sono negativi (%1): il grafico sugli anni "
                                          "non è disponibile.").arg(testoNumero(d.A));
        return c;
    }
    c.a = std::max(10.0, std::ceil(d.A)); // the typed years are always on the chart
    bool qualcuno = false;
    const auto punto = [&](double anni, bool digitati) {
        const ValoriStimaArea v = valutaArea(d.V, d.C, anni, d.S);
        qualcuno = qualcuno || v.r[1] || v.r[2];
        c.punti << PuntoAnni{anni, v.r[1], v.r[2], v.r[3], digitati};
    };
    for (int n = 0; n <= int(c.a); ++n) {
        if (d.A > n - 1 && d.A < n)
            punto(d.A, true);
        punto(n, d.A == n);
    }
    if (!qualcuno) {
        c.punti.clear();
        c.nonDisponibile = QStringLiteral("Il valore dell'area è un valore non calcolabile con questi dati: "
                                          "il grafico sugli anni non è disponibile.");
    }
    return c;
}

PassoProcedimento fonteValoreMercato(const FonteOmi &fonte)
{
    return {QStringLiteral("Fonte del valore di mercato V"), righeFonteOmi(fonte) << avvertenzaOmi()};
}

} // namespace perix
