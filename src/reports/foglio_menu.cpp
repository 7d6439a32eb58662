// The building-plot sheet: the four figures as named input cells, the six results as
// formulas over them, and, when the report has them, the calculation trail and the
// two-way table of the average plot value as formulas too.

#include "reports/foglio_cartella.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/rapporto_procedimento.h"

#include <QLocale>

#include <cmath>

namespace perix {

namespace {

using foglio::Cartella;
using foglio::Valore;
using foglio::nc;

const QString troppiAnni = QStringLiteral("E' una esagerazione pensare a oltre 100 anni per la redditività!");
const QString attento = QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione");
// Why a cell of this sheet may hold the program's figure instead of its formula.
const QString perche = QStringLiteral(
    "Perix tronca il quoziente esatto dell'aritmetica in doppia precisione, mentre il foglio di calcolo lo "
    "arrotonda prima a 15 cifre significative (o il risultato supera le 15 cifre che Perix rappresenta).");

QString numeroFormula(double x) { return testoInvariante(x); }

// The total value of the plot at one margin and rate, as the spreadsheet works it out.
Valore totaleFoglio(double V, double C, double A, double margine, double base)
{
    if (A > 100)
        return nc;
    const double d = std::pow(base, A);
    const double q = foglio::meno(V, foglio::piu(margine * V, C)) / d;
    if (d == 0 || !std::isfinite(q))
        return nc;
    return foglio::intero(q);
}

QString totaleFormula(const QString &V, const QString &C, double margine, double base)
{
    return QStringLiteral("INT((%1-(%3*%1+%2))/%4^anni)").arg(V, C, numeroFormula(margine), numeroFormula(base));
}

QString figuraDi(std::optional<double> x) { return testoRisultato(x); }

struct Risultati {
    std::array<Valore, 7> r;
};

Risultati risultatiFoglio(const DatiStimaArea &d)
{
    Risultati s;
    auto &r = s.r;
    r[1] = totaleFoglio(d.V, d.C, d.A, 0.1, 1.07);
    r[2] = totaleFoglio(d.V, d.C, d.A, 0.3, 1.1);
    const auto num = [](const Valore &v) { return std::holds_alternative<double>(v); };
    const auto val = [](const Valore &v) { return std::get<double>(v); };
    r[3] = num(r[1]) && num(r[2]) ? Valore(foglio::piu(val(r[1]), val(r[2])) / 2) : Valore(nc);
    for (int k : {4, 5}) {
        const Valore &t = r[std::size_t(k - 3)];
        r[std::size_t(k)] = num(t) && d.S != 0 && val(t) != 0 ? Valore(foglio::intero(val(t) / d.S)) : Valore(nc);
    }
    r[6] = num(r[4]) && num(r[5]) && val(r[4]) != 0 && val(r[5]) != 0 ? Valore(foglio::piu(val(r[4]), val(r[5])) / 2)
                                                                      : Valore(nc);
    return s;
}

int decimaliDi(double x) { return x == std::floor(x) ? 0 : 2; }

// The calculation trail, each step a formula row, then the two-way table of the average
// plot value against the market value and the total costs; returns the next free row.
int righeProcedimento(Cartella &c, int riga, const DatiStimaArea &d, const Risultati &s, int primo)
{
    const ValoriStimaArea v = valutaArea(d.V, d.C, d.A, d.S);
    const bool calcolata = !v.troppiAnni;
    const auto figura = [calcolata](double x, int dec) { return calcolata ? testoCella(x, dec) : QString(); };
    c.sezione(riga++, QStringLiteral("Procedimento di calcolo"));
    c.intestazioni(riga++, 0, {QStringLiteral("passo"), QStringLiteral("valore"), QStringLiteral("come si calcola")});
    const struct {
        const char *nome;
        double margine, base;
        int k;
    } gradi[2] = {{"massimo", 0.1, 1.07, 1}, {"minimo", 0.3, 1.1, 2}};
    int interi[2] = {0, 0};
    for (int g = 0; g < 2; ++g) {
        const auto &gr = gradi[g];
        const QString nome = QString::fromUtf8(gr.nome);
        const QString m = numeroFormula(gr.margine), b = numeroFormula(gr.base);
        const double margine = gr.margine * d.V, netto = d.V - (margine + d.C), potenza = std::pow(gr.base, d.A);
        const double margineF = gr.margine * d.V, nettoF = foglio::meno(d.V, foglio::piu(margineF, d.C));
        const QString passo = QStringLiteral("procedimento(%1,%2)").arg(nome);
        const int r0 = riga;
        c.testo(riga, 0, QStringLiteral("%1: margine del promotore %2 % di V").arg(nome, QLocale().toString(gr.margine * 100)));
        c.risultato(passo.arg(1), riga, 1, QStringLiteral("%1*valore_mercato").arg(m), margineF, figura(margine, 2), 2, perche);
        c.testo(riga++, 2, QStringLiteral("%1 × V").arg(QLocale().toString(gr.margine)), c.nota());
        c.testo(riga, 0, QStringLiteral("%1: V - margine - C").arg(nome));
        c.risultato(passo.arg(2), riga, 1, QStringLiteral("valore_mercato-(%1+costi_totali)").arg(Cartella::cella(r0, 1)),
                    nettoF, figura(netto, 2), 2, perche);
        c.testo(riga++, 2, QStringLiteral("valore netto prima dello sconto"), c.nota());
        c.testo(riga, 0, QStringLiteral("%1: fattore di sconto").arg(nome));
        c.risultato(passo.arg(3), riga, 1, QStringLiteral("1/%1^anni").arg(b), 1 / potenza, figura(1 / potenza, 4), 4, perche);
        c.testo(riga++, 2, QStringLiteral("1 / %1^n").arg(QLocale().toString(gr.base)), c.nota());
        c.testo(riga, 0, QStringLiteral("%1: valore scontato").arg(nome));
        c.risultato(passo.arg(4), riga, 1, QStringLiteral("%1/%2^anni").arg(Cartella::cella(r0 + 1, 1), b),
                    nettoF / potenza, figura(netto / potenza, 2), 2, perche);
        c.testo(riga++, 2, QStringLiteral("(V - margine - C) / %1^n").arg(QLocale().toString(gr.base)), c.nota());
        c.testo(riga, 0, QStringLiteral("costo totale %1 dell'area").arg(nome), c.grassetto());
        c.risultato(passo.arg(5), riga, 1, QStringLiteral("INT(%1)").arg(Cartella::cella(r0 + 3, 1)),
                    foglio::intero(nettoF / potenza), calcolata ? figuraDi(v.r[std::size_t(gr.k)]) : QString(), 0, perche);
        c.testo(riga, 2, QStringLiteral("all'unità inferiore"), c.nota());
        interi[g] = riga++;
    }
    const auto nume = [](const Valore &x) { return std::holds_alternative<double>(x) ? std::get<double>(x) : 0.0; };
    c.testo(riga, 0, QStringLiteral("costo totale medio dell'area"), c.grassetto());
    c.risultato(QStringLiteral("procedimento(medio)"), riga, 1,
                QStringLiteral("(%1+%2)/2").arg(Cartella::cella(interi[0], 1), Cartella::cella(interi[1], 1)),
                foglio::piu(nume(s.r[1]), nume(s.r[2])) / 2, calcolata ? figuraDi(v.r[3]) : QString(), 0, perche);
    c.testo(riga++, 2, QStringLiteral("(massimo + minimo) / 2"), c.nota());
    for (int g = 0; g < 2; ++g, ++riga) {
        const auto &tot = v.r[std::size_t(g + 1)];
        const QString nome = QString::fromUtf8(gradi[g].nome);
        c.testo(riga, 0, QStringLiteral("costo totale %1 / superficie").arg(nome));
        const bool si = d.S != 0 && std::holds_alternative<double>(s.r[std::size_t(g + 1)]);
        c.risultato(QStringLiteral("procedimento(%1,mq)").arg(nome), riga, 1,
                    QStringLiteral("IFERROR(%1/superficie,\"valore non calcolabile\")").arg(Cartella::cella(interi[g], 1)),
                    si ? Valore(nume(s.r[std::size_t(g + 1)]) / d.S) : Valore(nc),
                    calcolata && tot && d.S != 0 ? testoCella(*tot / d.S, 2) : QString(), 2, perche);
        c.testo(riga, 2, QStringLiteral("prima dell'arrotondamento all'unità inferiore"), c.nota());
    }
    for (int g = 0; g < 2; ++g, ++riga) {
        const double quota = g == 0 ? 0.9 : 0.7;
        c.testo(riga, 0, QStringLiteral("costi totali di pareggio del costo %1").arg(QString::fromUtf8(gradi[g].nome)));
        c.risultato(QStringLiteral("procedimento(pareggio,%1)").arg(g + 1), riga, 1,
                    QStringLiteral("%1*valore_mercato").arg(numeroFormula(quota)), quota * d.V,
                    figura(quota * d.V, 2), 2, perche);
        c.testo(riga, 2, QStringLiteral("con costi più alti il valore dell'area è negativo"), c.nota());
    }

    // The two-way table: the average plot value with the market value (columns) and the
    // total costs (rows) varied from -20 % to +20 %.
    const TabellaSensibilita t = tabellaSensibilita(d);
    const bool tabella = t.nonDisponibile.isEmpty();
    ++riga;
    c.sezione(riga++, QStringLiteral("Analisi di sensibilità: costo totale medio dell'area"));
    QStringList testa{QStringLiteral("variazione dei costi totali"), QStringLiteral("costi totali")};
    for (double x : variazioniSensibilita)
        testa << QStringLiteral("valore di mercato %1%2 %").arg(x > 0 ? QStringLiteral("+") : QString()).arg(std::lround(x * 100));
    c.intestazioni(riga++, 0, testa);
    const int rigaValori = riga++;
    c.testo(rigaValori, 1, QStringLiteral("valore di mercato"), c.nota());
    for (std::size_t j = 0; j < 5; ++j) {
        const double quota = 1 + variazioniSensibilita[j];
        c.risultato(QStringLiteral("sensibilita(valore,%1)").arg(j + 1), rigaValori, int(j) + 2,
                    QStringLiteral("valore_mercato*%1").arg(numeroFormula(quota)), d.V * quota,
                    testoCella(t.valori[j], 0), 0, perche);
    }
    for (std::size_t i = 0; i < 5; ++i, ++riga) {
        const double quota = 1 + variazioniSensibilita[i];
        const double Ci = d.C * quota;
        c.testo(riga, 0, QStringLiteral("costi totali %1%2 %").arg(quota > 1 ? QStringLiteral("+") : QString()).arg(std::lround(variazioniSensibilita[i] * 100)));
        c.risultato(QStringLiteral("sensibilita(costi,%1)").arg(i + 1), riga, 1,
                    QStringLiteral("costi_totali*%1").arg(numeroFormula(quota)), Ci, testoCella(t.costi[i], 0), 0, perche);
        for (std::size_t j = 0; j < 5; ++j) {
            const double Vj = d.V * (1 + variazioniSensibilita[j]);
            const QString V = Cartella::cella(rigaValori, int(j) + 2), C = Cartella::cella(riga, 1);
            const Valore a = totaleFoglio(Vj, Ci, d.A, 0.1, 1.07), b = totaleFoglio(Vj, Ci, d.A, 0.3, 1.1);
            const Valore m = std::holds_alternative<double>(a) && std::holds_alternative<double>(b)
                ? Valore(foglio::piu(std::get<double>(a), std::get<double>(b)) / 2) : Valore(nc);
            c.risultato(QStringLiteral("sensibilita(%1,%2)").arg(i + 1).arg(j + 1), riga, int(j) + 2,
                        QStringLiteral("IF(anni>100,\"valore non calcolabile\",IFERROR((%1+%2)/2,\"valore non calcolabile\"))")
                            .arg(totaleFormula(V, C, 0.1, 1.07), totaleFormula(V, C, 0.3, 1.1)),
                        m, tabella ? testoRisultato(t.medio[i][j]) : QString(), 0, perche,
                        i == casoBase && j == casoBase ? c.evidenza() : nullptr);
        }
    }
    (void)primo;
    return riga;
}

} // namespace

bool scriviFoglioMenu(const DatiRapportoMenu &d, QIODevice &dispositivo, QString *motivo, const OpzioniFoglio &opzioni)
{
    Cartella c(QStringLiteral("Stima"), opzioni);
    if (!c.valida())
        return c.chiudi(dispositivo, motivo);
    const DatiStimaArea dati = datiStima(d);
    const DatiStimaArea ingressi = opzioni.altriDati.value_or(dati);
    const QString unita = unitaValuta(d.valuta);
    const QString tra = unita.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unita);
    c.larghezze({46, 16, 22, 15, 15, 15, 15});

    int riga = c.intestazione(QStringLiteral("Stima dell'area fabbricabile (valori %1)").arg(d.valuta));
    c.sezione(riga++, QStringLiteral("Dati per la stima"));
    c.intestazioni(riga++, 0, {QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("nome nel foglio")});
    const struct {
        const char *etichetta;
        const char *nome;
        double valore;
    } dato[4] = {{"valore di mercato del fabbricato", "valore_mercato", ingressi.V},
                 {"costi totali", "costi_totali", ingressi.C},
                 {"anni per redditività", "anni", ingressi.A},
                 {"superficie del terreno in mq.", "superficie", ingressi.S}};
    for (int i = 0; i < 4; ++i, ++riga) {
        c.testo(riga, 0, QString::fromUtf8(dato[i].etichetta) + (i < 2 ? tra : QString()));
        c.ingresso(riga, 1, dato[i].valore, decimaliDi(dato[i].valore), QString::fromUtf8(dato[i].nome));
        c.testo(riga, 2, QString::fromUtf8(dato[i].nome), c.nota());
    }

    ++riga;
    c.sezione(riga++, QStringLiteral("Risultati della stima"));
    c.intestazioni(riga++, 0, {QStringLiteral("risultati"), QStringLiteral("valori"), QStringLiteral("come si calcola")});
    const Risultati s = risultatiFoglio(dati);
    const int primo = riga;
    const auto r = [primo](int k) { return Cartella::cella(primo + k - 1, 1); };
    const QString nonCalc = QStringLiteral("\"valore non calcolabile\"");
    const QString anniTroppi = QStringLiteral("IF(anni>100,%1,IFERROR(%2,%1))");
    const QString formule[7] = {
        {},
        anniTroppi.arg(nonCalc, totaleFormula(QStringLiteral("valore_mercato"), QStringLiteral("costi_totali"), 0.1, 1.07)),
        anniTroppi.arg(nonCalc, totaleFormula(QStringLiteral("valore_mercato"), QStringLiteral("costi_totali"), 0.3, 1.1)),
        QStringLiteral("IF(AND(ISNUMBER(%1),ISNUMBER(%2)),(%1+%2)/2,%3)").arg(r(1), r(2), nonCalc),
        QStringLiteral("IF(ISNUMBER(%1),IF(AND(superficie<>0,%1<>0),INT(%1/superficie),%2),%2)").arg(r(1), nonCalc),
        QStringLiteral("IF(ISNUMBER(%1),IF(AND(superficie<>0,%1<>0),INT(%1/superficie),%2),%2)").arg(r(2), nonCalc),
        QStringLiteral("IF(AND(ISNUMBER(%1),ISNUMBER(%2)),IF(AND(%1<>0,%2<>0),(%1+%2)/2,%3),%3)").arg(r(4), r(5), nonCalc),
    };
    const char *const etichette[7] = {nullptr,
                                      "costo totale massimo dell'area",
                                      "costo totale minimo dell'area",
                                      "costo totale medio dell'area",
                                      "valore massimo dell'area per mq.",
                                      "valore minimo dell'area per mq.",
                                      "valore medio dell'area per mq."};
    const char *const regole[7] = {nullptr,
                                   "(V - (0,1 × V + C)) / 1,07^n, all'unità inferiore",
                                   "(V - (0,3 × V + C)) / 1,1^n, all'unità inferiore",
                                   "(massimo + minimo) / 2",
                                   "massimo / S, all'unità inferiore",
                                   "minimo / S, all'unità inferiore",
                                   "(massimo + minimo per mq.) / 2"};
    for (int k = 1; k <= 6; ++k, ++riga) {
        c.testo(riga, 0, QString::fromUtf8(etichette[k]) + (k <= 3 ? tra : unita.isEmpty() ? QString() : QStringLiteral(" (%1/mq)").arg(unita)));
        c.risultato(QStringLiteral("risultati(%1)").arg(k), riga, 1, formule[k], s.r[std::size_t(k)],
                    d.risultati[std::size_t(k)], 0, perche);
        c.testo(riga, 2, QString::fromUtf8(regole[k]), c.nota());
    }
    // The window's warnings, as formulas too.
    const auto negativo = [](const foglio::Valore &v) { return std::holds_alternative<double>(v) && std::get<double>(v) < 0; };
    c.risultato(QStringLiteral("attento"), riga++, 0,
                QStringLiteral("IF(OR(N(%1)<0,N(%2)<0),\"%3\",\"\")").arg(r(5), r(6), attento),
                negativo(s.r[5]) || negativo(s.r[6]) ? attento : QString(),
                risultatoNegativo(d.risultati[5], d.risultati[6]) ? attento : QString(), 0, perche, c.avviso());
    c.risultato(QStringLiteral("anni"), riga++, 0, QStringLiteral("IF(anni>100,\"%1\",\"\")").arg(troppiAnni),
                dati.A > 100 ? troppiAnni : QString(), QString(), 0, perche, c.avviso());

    if (d.procedimento.value_or(includiProcedimento()))
        riga = righeProcedimento(c, riga + 1, dati, s, primo);
    return c.chiudi(dispositivo, motivo);
}

} // namespace perix
