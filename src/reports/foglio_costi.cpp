// The four cost sheets: the window's inputs in yellow cells, the program's tables of
// constants in grey, and every figure a formula over them.

#include "reports/foglio_cartella.h"

#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_tipologie.h"
#include "core/numeri.h"

#include <algorithm>
#include <cmath>

namespace perix {

namespace {

using foglio::Cartella;
using foglio::nc;
using Specchio = foglio::Valore;

const QString vuoto = QStringLiteral("\"\"");

std::optional<double> numeroDi(const QString &testo)
{
    return testo.trimmed().isEmpty() ? std::nullopt : letturaLocale(testo);
}

int decimaliDi(std::optional<double> x) { return x && *x != std::floor(*x) ? 2 : 0; }

QString f(double x) { return testoInvariante(x); }

} // namespace

bool scriviFoglioDisaggregati(const DatiRapportoDisaggregati &d, QIODevice &dispositivo, QString *motivo,
                              const OpzioniFoglio &opzioni)
{
    const QString perche = QStringLiteral(
        "la finestra mostra questa cifra senza ricavarla dalla tabella della classe con il costo di costruzione qui "
        "sopra (ripresa da un file d'archivio, calcolata sui costi totali digitati poi nella finestra Menu, o "
        "rimasta da un calcolo precedente).");
    Cartella c(QStringLiteral("Disaggregati"), opzioni);
    if (!c.valida())
        return c.chiudi(dispositivo, motivo);
    c.larghezze({44, 12, 15, 16, 15, 16});
    int classe = 0;
    for (int k = 1; k <= 3; ++k)
        if (d.tipoedi == descrizioneClasse(k))
            classe = k;
    const auto vm = numeroDi(d.vm), cc = numeroDi(d.cc);

    int riga = c.intestazione(QStringLiteral("Costi di costruzione disaggregati (%1)").arg(d.soldi));
    c.sezione(riga++, QStringLiteral("Dati generali"));
    c.intestazioni(riga++, 0, {QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("nome nel foglio")});
    c.testo(riga, 0, QStringLiteral("caratteristiche dell'immobile"));
    c.testo(riga++, 1, d.tipoedi);
    c.testo(riga, 0, QStringLiteral("classe dell'edificio (1 economiche, 2 medie, 3 evolute)"));
    c.ingresso(riga, 1, classe ? std::optional<double>(classe) : std::nullopt, 0, QStringLiteral("classe"));
    c.testo(riga++, 2, QStringLiteral("classe"), c.nota());
    c.testo(riga, 0, QStringLiteral("valore di mercato del fabbricato"));
    c.ingresso(riga, 1, vm, decimaliDi(vm), QStringLiteral("valore_mercato"));
    c.testo(riga++, 2, QStringLiteral("valore_mercato"), c.nota());
    c.testo(riga, 0, QStringLiteral("costo di costruzione"));
    c.ingresso(riga, 1, cc, decimaliDi(cc), QStringLiteral("costo_costruzione"));
    c.testo(riga++, 2, QStringLiteral("costo_costruzione"), c.nota());
    c.testo(riga, 0, QStringLiteral("profitto netto"), c.grassetto());
    c.risultato(QStringLiteral("profitto"), riga++, 1, QStringLiteral("valore_mercato-costo_costruzione"),
                foglio::meno(vm.value_or(0), cc.value_or(0)), d.profitto, 0, perche);

    // The table the report shows, then the constants it is computed from, below it.
    ++riga;
    c.sezione(riga++, QStringLiteral("Costi disaggregati (%1)").arg(d.soldi));
    c.intestazioni(riga++, 0, {QStringLiteral("tipologia"), QStringLiteral("annullata (X)"), QStringLiteral("% preimpostata"),
                               QStringLiteral("costo della tipologia"), QStringLiteral("% immessa"),
                               QStringLiteral("costo della tipologia")});
    const int primaRiga = riga;
    const int tabellaCostanti = primaRiga + categorie + 5; // first row of the schedules, below the notes
    const auto colonna = [&](int c0, int k0, int k1) {
        return QStringLiteral("%1:%2").arg(Cartella::cella(k0, c0), Cartella::cella(k1, c0));
    };
    const QString immesse = colonna(4, primaRiga, primaRiga + categorie - 1);
    const QString annullate = colonna(1, primaRiga, primaRiga + categorie - 1);
    const int ultima = tabellaCostanti + categorie - 1;
    // The class's shares of the categories not cancelled: what a cancelled one's share is spread over.
    const QString restanti = QStringLiteral("SUMPRODUCT((%1<>\"X\")*(%2*(classe=1)+%3*(classe=2)+%4*(classe=3)))")
                                 .arg(annullate, colonna(1, tabellaCostanti, ultima), colonna(2, tabellaCostanti, ultima),
                                      colonna(3, tabellaCostanti, ultima));
    // A category cancelled with its X shows "0" for its preset share (0,00 after a later
    // cancellation) against a share of its class that is not 0; a file keeps only the
    // amounts, where a cancelled category's reads "0" against such a share.
    const auto schema = classe ? schemaClasse(classe) : std::array<double, categorie + 1>{};
    const bool soloFile = std::all_of(d.p1.begin() + 1, d.p1.end(), [](const QString &t) { return t.isEmpty(); });
    std::array<bool, categorie + 1> annullata{};
    int quante = 0;
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        annullata[i] = d.p1[i] == QLatin1String("0") || (schema[i] != 0 && numeroDi(d.p1[i]) == 0.0)
            || (soloFile && d.ris[i] == QLatin1String("0") && schema[i] != 0 && cc.value_or(0) != 0);
        quante += annullata[i];
    }
    if (quante == categorie)
        annullata.fill(false), quante = 0;
    double somma = 0;
    for (int k = 1; k <= categorie; ++k)
        if (!annullata[std::size_t(k)])
            somma = foglio::piu(somma, schema[std::size_t(k)] / 100);
    std::array<std::optional<double>, categorie + 1> p2{};
    double sommaImmesse = 0;
    for (int k = 1; k <= categorie; ++k) {
        p2[std::size_t(k)] = numeroDi(d.p2[std::size_t(k)]);
        sommaImmesse = foglio::piu(sommaImmesse, p2[std::size_t(k)].value_or(0));
    }
    const bool cento = std::fabs(sommaImmesse - 100) < 1e-9;
    for (int k = 1; k <= categorie; ++k, ++riga) {
        const auto i = std::size_t(k);
        const double quota = schema[i] / 100;
        const double p = annullata[i] ? 0 : quante == 0 ? quota : quota * 100 / somma;
        const int rc = tabellaCostanti + k - 1;
        c.testo(riga, 0, QStringLiteral("%1. %2").arg(k).arg(nomeCategoriaRapporto(k)));
        c.ingressoTesto(riga, 1, annullata[i] ? QStringLiteral("X") : QString());
        const QString q = QStringLiteral("CHOOSE(classe,%1,%2,%3)")
                              .arg(Cartella::cella(rc, 1), Cartella::cella(rc, 2), Cartella::cella(rc, 3));
        c.risultato(QStringLiteral("p1(%1)").arg(k), riga, 2,
                    QStringLiteral("IFERROR(IF(%1=\"X\",0,IF(COUNTIF(%2,\"X\")=0,%3,%3*100/%4)),\"\")")
                        .arg(Cartella::cella(riga, 1, false), annullate, q, restanti),
                    classe ? Specchio(p) : Specchio(QString()), d.p1[i], 2, perche);
        const QString p1 = Cartella::cella(riga, 2, false);
        c.risultato(QStringLiteral("ris(%1)").arg(k), riga, 3,
                    QStringLiteral("IF(ISNUMBER(%1),costo_costruzione*%1/100,\"\")").arg(p1),
                    classe ? Specchio(cc.value_or(0) * p / 100) : Specchio(QString()), d.ris[i], 0, perche);
        c.ingresso(riga, 4, p2[i], 2);
        const QString pi = Cartella::cella(riga, 4, false);
        c.risultato(QStringLiteral("ris2(%1)").arg(k), riga, 5,
                    QStringLiteral("IF(%3=\"X\",0,IF(ABS(SUM(%1)-100)<1E-9,IF(ISNUMBER(%2),costo_costruzione*%2/100,\"\"),\"\"))")
                        .arg(immesse, pi, Cartella::cella(riga, 1, false)),
                    annullata[i]     ? Specchio(0.0)
                    : cento && p2[i] ? Specchio(cc.value_or(0) * *p2[i] / 100)
                                     : Specchio(QString()),
                    d.ris2[i], 0,
                    QStringLiteral("le percentuali immesse non sommano a 100 e la finestra mostra i costi del calcolo "
                                   "precedente, oppure %1").arg(perche));
    }
    c.testo(riga++, 0, QStringLiteral("Una X in \"annullata\" toglie la categoria e ne ripartisce la quota tra le "
                                      "altre, in proporzione alle loro quote."), c.nota());
    c.testo(riga++, 0, QStringLiteral("I costi delle percentuali immesse si calcolano quando queste sommano a 100."), c.nota());

    ++riga;
    c.sezione(riga++, QStringLiteral("Percentuali preimpostate per classe di edificio (costanti)"));
    c.intestazioni(riga++, 0, {QStringLiteral("tipologia"), QStringLiteral("economiche"), QStringLiteral("medie"),
                               QStringLiteral("evolute")});
    for (int k = 1; k <= categorie; ++k, ++riga) {
        c.testo(riga, 0, QStringLiteral("%1. %2").arg(k).arg(nomeCategoriaRapporto(k)));
        for (int cl = 1; cl <= 3; ++cl)
            c.costante(riga, cl, schemaClasse(cl)[std::size_t(k)] / 100, 2);
    }
    return c.chiudi(dispositivo, motivo);
}

bool scriviFoglioSintetici(const DatiRapportoSintetici &d, QIODevice &dispositivo, QString *motivo,
                           const OpzioniFoglio &opzioni)
{
    const QString perche = QStringLiteral(
        "la finestra e il file d'archivio conservano i costi già arrotondati all'unità, e il costo della classe "
        "scelta qui sopra è quello arrotondato: le classi ricavate da esso possono differire di un'unità da quelle "
        "calcolate sul costo digitato.");
    Cartella c(QStringLiteral("Sintetici"), opzioni);
    if (!c.valida())
        return c.chiudi(dispositivo, motivo);
    c.larghezze({46, 18, 18, 18});
    const auto &H = sintetici::altezza;
    const auto &Vv = sintetici::volumeVano;
    const auto &Av = sintetici::superficieVano;
    constexpr double r12 = sintetici::rapporto12, r13 = sintetici::rapporto13, r23 = sintetici::rapporto23;
    int classe = 0;
    for (int k = 1; k <= 3; ++k)
        if (d.icona[std::size_t(k)])
            classe = k;
    const auto N = classe ? numeroDi(d.griglia[2][std::size_t(classe)]) : std::nullopt;

    int riga = c.intestazione(QStringLiteral("Costi sintetici in base alle caratteristiche dell'edificio (%1)").arg(d.soldi));
    c.sezione(riga++, QStringLiteral("Dati"));
    c.intestazioni(riga++, 0, {QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("nome nel foglio")});
    c.testo(riga, 0, QStringLiteral("classe scelta (1 economiche, 2 medie, 3 evolute)"));
    c.ingresso(riga, 1, classe ? std::optional<double>(classe) : std::nullopt, 0, QStringLiteral("classe"));
    c.testo(riga++, 2, QStringLiteral("classe"), c.nota());
    c.testo(riga, 0, QStringLiteral("costo a mq. di superficie lorda della classe scelta"));
    c.ingresso(riga, 1, N, decimaliDi(N), QStringLiteral("costo_mq"));
    c.testo(riga++, 2, QStringLiteral("costo_mq"), c.nota());

    // The constants, before the grid so the grid's formulas read them from above.
    ++riga;
    c.sezione(riga++, QStringLiteral("Costanti per classe"));
    c.intestazioni(riga++, 0, {QStringLiteral("costante"), QStringLiteral("economiche"), QStringLiteral("medie"),
                               QStringLiteral("evolute")});
    const int rH = riga;
    const char *const costanti[3] = {"divisore da mq. lordo a mc. (altezza, m)", "volume del vano (mc.)",
                                     "superficie del vano (mq.)"};
    const double *valori[3] = {H, Vv, Av};
    for (int k = 0; k < 3; ++k, ++riga) {
        c.testo(riga, 0, QString::fromUtf8(costanti[k]));
        for (int cl = 1; cl <= 3; ++cl)
            c.costante(riga, cl, valori[k][cl], k == 0 ? 4 : 0);
    }
    c.testo(riga, 0, QStringLiteral("rapporto medie / economiche"));
    c.costante(riga++, 1, r12, 4);
    c.testo(riga, 0, QStringLiteral("rapporto evolute / economiche"));
    c.costante(riga++, 1, r13, 4);
    c.testo(riga, 0, QStringLiteral("rapporto evolute / medie"));
    c.costante(riga++, 1, r23, 4);
    const QString R12 = Cartella::cella(rH + 3, 1), R13 = Cartella::cella(rH + 4, 1), R23 = Cartella::cella(rH + 5, 1);

    ++riga;
    c.sezione(riga++, QStringLiteral("Costi sintetici (%1)").arg(d.soldi));
    c.intestazioni(riga++, 0, {QStringLiteral("tipologia"), QStringLiteral("economiche-popolari"),
                               QStringLiteral("medie-civili"), QStringLiteral("evolute-signorili")});
    const int r1 = riga;
    const char *const righe[6] = {"tipo di edificio scelto",
                                  "costo a metro cubo vuoto per pieno",
                                  "costo a metro quadrato di superficie lorda",
                                  "parametro del volume del vano (mc.)",
                                  "parametro della superficie del vano (mq.)",
                                  "costo a vano (circa)"};
    for (int r = 1; r <= 5; ++r)
        c.testo(r1 + r - 1, 0, QString::fromUtf8(righe[r]));
    c.testo(r1 + 5, 0, QString::fromUtf8(righe[0]));
    const QString formulaK[4] = {{},
                                 QStringLiteral("CHOOSE(classe,costo_mq,costo_mq/%1,costo_mq/%2)").arg(R12, R13),
                                 QStringLiteral("CHOOSE(classe,costo_mq*%1,costo_mq,costo_mq/%2)").arg(R12, R23),
                                 QStringLiteral("CHOOSE(classe,costo_mq*%1,costo_mq*%2,costo_mq)").arg(R13, R23)};
    const double n = N.value_or(0);
    const double K[4][4] = {{}, {0, n, n * r12, n * r13}, {0, n / r12, n, n * r23}, {0, n / r13, n / r23, n}};
    for (int cl = 1; cl <= 3; ++cl) {
        const auto j = std::size_t(cl);
        const bool si = classe && N;
        const double k = si ? K[classe][cl] : 0;
        const QString nome = cl == 1 ? QStringLiteral("rissint(%1)") : QStringLiteral("rissint%1(%2)").arg(cl).arg(QStringLiteral("%1"));
        const QString kc = Cartella::cella(r1 + 1, cl, false);
        const auto dato = [&](double x) { return si ? Specchio(x) : Specchio(QString()); };
        c.risultato(nome.arg(2), r1 + 1, cl, QStringLiteral("IFERROR(%1,\"\")").arg(formulaK[cl]), dato(k),
                    d.griglia[2][j], 0, perche);
        c.risultato(nome.arg(1), r1, cl, QStringLiteral("IFERROR(%1/%2,\"\")").arg(kc, Cartella::cella(rH, cl)),
                    dato(k / H[cl]), d.griglia[1][j], 0, perche);
        c.risultato(nome.arg(3), r1 + 2, cl, Cartella::cella(rH + 1, cl), Vv[cl], d.griglia[3][j], 0, perche);
        c.risultato(nome.arg(4), r1 + 3, cl, Cartella::cella(rH + 2, cl), Av[cl], d.griglia[4][j], 0, perche);
        c.risultato(nome.arg(5), r1 + 4, cl,
                    QStringLiteral("IFERROR(%1*%2,\"\")").arg(Cartella::cella(r1, cl, false), Cartella::cella(rH + 1, cl)),
                    dato(k / H[cl] * Vv[cl]), d.griglia[5][j], 0, perche);
        c.risultato(QStringLiteral("Image1(%1)").arg(cl), r1 + 5, cl, QStringLiteral("IF(classe=%1,\"X\",\"\")").arg(cl),
                    classe == cl ? QStringLiteral("X") : QString(), d.icona[j] ? QStringLiteral("X") : QString(), 0, perche,
                    c.centrato());
    }
    return c.chiudi(dispositivo, motivo);
}

bool scriviFoglioTipologie(const DatiRapportoTipologie &d, QIODevice &dispositivo, QString *motivo,
                           const OpzioniFoglio &opzioni)
{
    const QString perche = QStringLiteral(
        "Perix tronca all'unità il quoziente esatto della doppia precisione (per esempio 7.499,999999999999), che il "
        "foglio di calcolo arrotonda prima a 15 cifre significative; oppure, senza un costo digitato, la finestra "
        "mostra le cifre del file d'archivio.");
    Cartella c(QStringLiteral("Tipologie"), opzioni);
    if (!c.valida())
        return c.chiudi(dispositivo, motivo);
    c.larghezze({38, 16, 16, 9, 9, 9, 9, 9, 9, 9});
    c.orizzontale();
    int scelta = 0;
    for (int k = 1; k <= numeroTipologie; ++k)
        if (d.tipologia == nomeTipologia(k))
            scelta = k;
    const auto C = numeroDi(d.costonetto);

    int riga = c.intestazione(QStringLiteral("Costi per tipologie (%1)").arg(d.soldi));
    c.sezione(riga++, QStringLiteral("Dati generali"));
    c.intestazioni(riga++, 0, {QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("nome nel foglio")});
    c.testo(riga, 0, QStringLiteral("costo al metro quadrato di superficie netta"));
    c.ingresso(riga, 1, C, decimaliDi(C), QStringLiteral("costo_netto"));
    c.testo(riga++, 2, QStringLiteral("costo_netto"), c.nota());
    c.testo(riga, 0, QStringLiteral("tipologia scelta (numero della riga, 1-9)"));
    c.ingresso(riga, 1, scelta ? std::optional<double>(scelta) : std::nullopt, 0, QStringLiteral("tipologia"));
    c.testo(riga++, 2, QStringLiteral("tipologia"), c.nota());
    c.testo(riga++, 0, d.tipologia, c.nota());

    ++riga;
    c.sezione(riga++, QStringLiteral("Costi per tipologie (%1)").arg(d.soldi));
    c.intestazioni(riga++, 0, {d.intestazioni[0].trimmed(), d.intestazioni[1].trimmed(), d.intestazioni[2].trimmed()});
    const int r1 = riga;
    const int rr = r1 + numeroTipologie + 4; // first row of the ratios, below the note
    for (int i = 1; i <= numeroTipologie; ++i, ++riga) {
        const auto j = std::size_t(i);
        c.testo(riga, 0, QStringLiteral("%1. %2").arg(i).arg(nomeTipologia(i).trimmed()));
        const bool si = scelta && C;
        const double e = si ? foglio::intero(scelta == i ? *C : *C / rapportotipologie(scelta, i)) : 0;
        c.risultato(QStringLiteral("edificio(%1)").arg(i), riga, 1,
                    QStringLiteral("IFERROR(INT(costo_netto/INDEX(%1:%2,tipologia,%3)),\"\")")
                        .arg(Cartella::cella(rr, 1), Cartella::cella(rr + numeroTipologie - 1, numeroTipologie))
                        .arg(i),
                    si ? Specchio(e) : Specchio(QString()), d.righe[j][1], 0, perche);
        c.risultato(QStringLiteral("vano(%1)").arg(i), riga, 2,
                    QStringLiteral("IFERROR(18*%1,\"\")").arg(Cartella::cella(riga, 1, false)),
                    si ? Specchio(18 * e) : Specchio(QString()), d.righe[j][2], 0, perche);
    }
    c.testo(riga++, 0, QStringLiteral("Costo a vano: 18 mq. di superficie netta al costo unitario già troncato all'unità."),
            c.nota());

    ++riga;
    c.sezione(riga++, QStringLiteral("Rapporti tra le tipologie (costanti): il costo della riga diviso per il rapporto "
                                     "dà il costo della colonna"));
    QStringList testa{QStringLiteral("tipologia di riferimento")};
    for (int j = 1; j <= numeroTipologie; ++j)
        testa << QString::number(j);
    c.intestazioni(riga++, 0, testa);
    for (int k = 1; k <= numeroTipologie; ++k, ++riga) {
        c.testo(riga, 0, QStringLiteral("%1. %2").arg(k).arg(nomeTipologia(k).trimmed()));
        for (int j = 1; j <= numeroTipologie; ++j)
            c.costante(riga, j, rapportotipologie(k, j), 4);
    }
    return c.chiudi(dispositivo, motivo);
}

bool scriviFoglioAltezze(const DatiRapportoAltezze &d, QIODevice &dispositivo, QString *motivo,
                         const OpzioniFoglio &opzioni)
{
    const QString perche = QStringLiteral(
        "Perix tiene gli indici e le percentuali in singola precisione (circa 7 cifre): 104,6 vi vale "
        "104,59999847..., e il costo troncato all'unità o la percentuale arrotondata ai centesimi possono differire "
        "di un'unità dal calcolo in doppia precisione del foglio; oppure, senza un costo digitato, la finestra mostra "
        "le cifre del file d'archivio.");
    Cartella c(QStringLiteral("Altezze"), opzioni);
    if (!c.valida())
        return c.chiudi(dispositivo, motivo);
    c.larghezze({44, 16, 14, 14});
    int scelta = 0;
    for (int k = 1; k <= numeroAltezze; ++k)
        if (d.classe == nomeAltezza(k))
            scelta = k;
    const auto C = numeroDi(d.costopieno);

    int riga = c.intestazione(QStringLiteral("Costi per altezze in numero di piani (%1)").arg(d.soldi));
    c.sezione(riga++, QStringLiteral("Dati generali"));
    c.intestazioni(riga++, 0, {QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("nome nel foglio")});
    c.testo(riga, 0, d.etichetta);
    c.ingresso(riga, 1, C, decimaliDi(C), QStringLiteral("costo_mc"));
    c.testo(riga++, 2, QStringLiteral("costo_mc"), c.nota());
    c.testo(riga, 0, QStringLiteral("classe di altezza scelta (numero della riga, 1-14)"));
    c.ingresso(riga, 1, scelta ? std::optional<double>(scelta) : std::nullopt, 0, QStringLiteral("classe"));
    c.testo(riga++, 2, QStringLiteral("classe"), c.nota());
    c.testo(riga++, 0, d.classe.trimmed(), c.nota());

    ++riga;
    c.sezione(riga++, QStringLiteral("Costi per altezze in numero di piani (%1)").arg(d.soldi));
    c.intestazioni(riga++, 0, {d.intestazioni[0].trimmed(), d.intestazioni[1], QStringLiteral("%"),
                               QStringLiteral("indice (costante)")});
    const int r1 = riga;
    const QString indici = QStringLiteral("%1:%2").arg(Cartella::cella(r1, 3), Cartella::cella(r1 + numeroAltezze - 1, 3));
    for (int i = 1; i <= numeroAltezze; ++i, ++riga) {
        const auto j = std::size_t(i);
        // The index as the table prints it: 104.6, not the single-precision 104.59999847.
        const double a = std::round(double(indicealtezze(i)) * 10) / 10;
        c.testo(riga, 0, nomeAltezza(i).trimmed());
        c.costante(riga, 3, a, 2);
        const bool si = scelta && C && *C != 0;
        const double ak = scelta ? std::round(double(indicealtezze(scelta)) * 10) / 10 : 1;
        const double p = scelta == i ? 100.0 : a * 100 / ak;
        const QString pc = Cartella::cella(riga, 2, false);
        c.risultato(QStringLiteral("Label4(%1)").arg(i), riga, 2,
                    QStringLiteral("IF(classe=%1,100,IFERROR(%2*100/INDEX(%3,classe),\"\"))")
                        .arg(i).arg(Cartella::cella(riga, 3, false), indici),
                    si ? Specchio(p) : Specchio(QString()), d.righe[j][2], 2, perche);
        c.risultato(QStringLiteral("varicosti(%1)").arg(i), riga, 1,
                    QStringLiteral("IFERROR(INT(costo_mc*%1/100),\"\")").arg(pc),
                    si ? Specchio(foglio::intero(*C * p / 100)) : Specchio(QString()), d.righe[j][1], 0, perche);
    }
    c.testo(riga++, 0, QStringLiteral("La percentuale è l'indice della classe rispetto a quello della classe scelta; "
                                      "il costo è troncato all'unità."),
            c.nota());
    return c.chiudi(dispositivo, motivo);
}

} // namespace perix
