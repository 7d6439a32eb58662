// The valuation and the class costs on any figures: every result text is a grouped whole
// number within 15 digits or "valore non calcolabile"; nothing else reaches a result box.

#include "comune.h"
#include "core/calcoli.h"
#include "core/calcoli_procedimento.h"
#include "core/numeri.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QRegularExpression>

#include <cmath>
#include <cstring>

using namespace perix;
using fuzz::verifica;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

// A figure as the window gets it: typed text through the estimate's reading, or any double.
double cifra(FuzzedDataProvider &fdp)
{
    switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return letturaStima(QString::fromStdString(fdp.ConsumeRandomLengthString(24))).valore;
    case 1: {
        const auto b = fdp.ConsumeIntegral<uint64_t>();
        double x;
        std::memcpy(&x, &b, sizeof x);
        return x; // inf and nan included
    }
    case 2:
        return double(fdp.ConsumeIntegralInRange<int64_t>(-2'000'000'000, 2'000'000'000));
    default:
        return fdp.ConsumeFloatingPoint<double>();
    }
}

QString elenco(std::initializer_list<double> xs)
{
    QStringList l;
    for (double x : xs)
        l << fuzz::descrivi(x);
    return l.join(u", ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    const double V = cifra(fdp), C = cifra(fdp), A = cifra(fdp), S = cifra(fdp);
    const QString d = QStringLiteral("calcolaStimaArea(%1)").arg(elenco({V, C, A, S}));
    const EsitoStimaArea e = calcolaStimaArea(V, C, A, S);
    verifica(e.troppiAnni == (A > 100), "oltre 100 anni non si calcola", d);
    for (int i = 1; i <= 6; ++i) {
        const QString di = d + QStringLiteral(" risultati(%1)").arg(i);
        if (e.troppiAnni) {
            verifica(!e.testi[i] || fuzz::nonCalcolabile(*e.testi[i]), "oltre 100 anni nessuna cifra", di);
            continue;
        }
        verifica(e.testi[i].has_value(), "ogni risultato ha un testo", di);
        fuzz::risultato(*e.testi[i], "un risultato e' un intero raggruppato", di);
    }

    // The report's trail, table and curve: the same figures as the window's, and text a
    // reader can take in (no inf, nan or exponent).
    const ValoriStimaArea base = valutaArea(V, C, A, S);
    const DatiStimaArea figure{V, C, A, S};
    static const QRegularExpression illeggibile(QStringLiteral("\\binf\\b|\\bnan\\b|\\d[eE][-+]?\\d"),
                                                QRegularExpression::CaseInsensitiveOption);
    const Procedimento p = procedimentoStimaArea(figure, QStringLiteral("€"));
    QStringList testi{p.nonDisponibile, p.dati, p.nota};
    for (const PassoProcedimento &passo : p.passi)
        testi << passo.titolo << passo.righe;
    for (const QString &t : std::as_const(testi))
        verifica(!illeggibile.match(t).hasMatch(), "il procedimento si legge", d + QStringLiteral(" -> ") + t);
    const TabellaSensibilita tab = tabellaSensibilita(figure);
    if (tab.nonDisponibile.isEmpty())
        verifica(tab.medio[casoBase][casoBase] == base.r[3], "la casella base e' risultati(3)", d);
    const CurvaAnni curva = curvaAnni(figure);
    for (const PuntoAnni &pt : curva.punti)
        if (pt.digitati)
            verifica(pt.massimo == base.r[1] && pt.minimo == base.r[2] && pt.medio == base.r[3],
                     "la curva agli anni digitati e' risultati(1)-(3)", d);

    // The class costs: the typed cost under the locale reading, as the window passes it.
    const int scelta = fdp.ConsumeIntegralInRange(1, 3);
    QString typed;
    if (fdp.ConsumeBool())
        typed = testoNumero(cifra(fdp));
    else
        typed = QString::fromStdString(fdp.ConsumeRandomLengthString(24));
    const auto N = letturaLocale(typed);
    if (!N)
        return 0; // the window refuses it before any calculation
    const QString dk = QStringLiteral("costiClassi(%1, \"%2\")").arg(scelta).arg(typed);
    const CostiClassi k = costiClassi(scelta, typed, *N);
    for (int c = 1; c <= 3; ++c) {
        const QString dc = dk + QStringLiteral(" classe %1 = \"%2\"").arg(c).arg(k.testo[c]);
        if (c == scelta) {
            verifica(k.testo[c] == typed, "la classe scelta tiene il testo battuto", dc);
        } else if (!fuzz::nonCalcolabile(k.testo[c])) {
            verifica(fuzz::formaItaliana(k.testo[c], false, -1), "il costo di una classe e' un numero", dc);
            fuzz::perUtente(k.testo[c], "il costo di una classe ha al piu' 15 cifre", dc);
        }
        const auto col = colonnaSintetica(c, k.testo[c]);
        for (int r = 1; r <= 5; ++r)
            fuzz::risultato(col[r], "una cifra sintetica e' un intero raggruppato",
                            dc + QStringLiteral(" riga %1").arg(r));
    }
    return 0;
}
