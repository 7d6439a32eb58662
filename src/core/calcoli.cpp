#include "core/calcoli.h"

#include "core/tipi.h"

#include "core/numeri.h"

#include <QRegularExpression>
#include <cmath>

namespace perix {

namespace {
std::optional<double> valoreDi(double x)
{
    if (!rappresentabile(x))
        return std::nullopt;
    return x;
}
} // namespace

QString testoRisultato(std::optional<double> x)
{
    return x ? formattanumero(testoNumero(*x)) : nonCalcolabile;
}

ValoriStimaArea valutaArea(double V, double C, double A, double S)
{
    ValoriStimaArea v;
    if (A > 100) {
        v.troppiAnni = true;
        return v;
    }
    auto &r = v.r;
    // Developer's margin 10 % (maximum) and 30 % (minimum), discounted at 7 % and 10 % a year.
    r[1] = valoreDi(std::floor((V - (0.1 * V + C)) / std::pow(1.07, A)));
    r[2] = valoreDi(std::floor((V - (0.3 * V + C)) / std::pow(1.1, A)));
    if (r[1] && r[2])
        r[3] = valoreDi((*r[1] + *r[2]) / 2);
    if (S != 0 && r[1] && *r[1] != 0)
        r[4] = valoreDi(std::floor(*r[1] / S));
    if (S != 0 && r[2] && *r[2] != 0)
        r[5] = valoreDi(std::floor(*r[2] / S));
    // The average per m² is never left over from earlier figures.
    if (r[4] && r[5] && *r[4] != 0 && *r[5] != 0)
        r[6] = valoreDi((*r[4] + *r[5]) / 2);
    return v;
}

EsitoStimaArea calcolaStimaArea(double V, double C, double A, double S)
{
    const ValoriStimaArea v = valutaArea(V, C, A, S);
    EsitoStimaArea e;
    // Refused years leave no figure standing from the years before.
    e.troppiAnni = v.troppiAnni;
    for (std::size_t k = 1; k < v.r.size(); ++k)
        e.testi[k] = testoRisultato(v.r[k]);
    return e;
}

EsitoStimaArea calcolaStimaArea(const std::array<QString, 4> &figure)
{
    std::array<LetturaStima, 4> l;
    for (std::size_t f = 0; f < l.size(); ++f)
        l[f] = letturaStima(figure[f]);
    if (l[ValoreMercato].usabile() && l[CostiTotali].usabile() && l[Anni].usabile())
        return calcolaStimaArea(l[ValoreMercato].valore, l[CostiTotali].valore, l[Anni].valore,
                                l[Superficie].usabile() ? l[Superficie].valore : 0.0);
    // Every result depends on the market value, the costs and the years.
    EsitoStimaArea e;
    e.troppiAnni = l[Anni].usabile() && l[Anni].valore > 100;
    for (std::size_t k = 1; k < e.testi.size(); ++k)
        e.testi[k] = nonCalcolabile;
    return e;
}

QString didascaliaFigura(FiguraArea figura)
{
    switch (figura) {
    case ValoreMercato: return QStringLiteral("Valore di mercato del fabbricato");
    case CostiTotali: return QStringLiteral("Costi totali");
    case Anni: return QStringLiteral("Anni per redditività");
    case Superficie: return QStringLiteral("Superficie del terreno in mq.");
    }
    return {};
}

QString nomeBreveFigura(FiguraArea figura)
{
    switch (figura) {
    case ValoreMercato: return QStringLiteral("Valore di mercato");
    case CostiTotali: return QStringLiteral("Costi totali");
    case Anni: return QStringLiteral("Anni");
    case Superficie: return QStringLiteral("Superficie");
    }
    return {};
}

namespace {

// A figure written beyond doubt, as the note suggests it.
QString esempioFigura(FiguraArea figura)
{
    switch (figura) {
    case ValoreMercato: return QStringLiteral("1.250.000 oppure 1250000");
    case CostiTotali: return QStringLiteral("800000 oppure 800000,50");
    case Anni: return QStringLiteral("2 oppure 2,5");
    case Superficie: return QStringLiteral("1200 oppure 850,5");
    }
    return {};
}

// "non letto", agreeing with the figure's short name.
QString nonLetta(FiguraArea figura)
{
    switch (figura) {
    case ValoreMercato: return QStringLiteral("non letto");
    case CostiTotali:
    case Anni: return QStringLiteral("non letti");
    case Superficie: return QStringLiteral("non letta");
    }
    return {};
}

} // namespace

std::optional<NotaLettura> notaFigura(FiguraArea figura, const QString &testo)
{
    using Difetto = LetturaStima::Difetto;
    const LetturaStima l = letturaStima(testo);
    switch (l.difetto) {
    case Difetto::NonNumero:
        return NotaLettura{{}, QStringLiteral("non è un numero"), QStringLiteral("ad esempio ") + esempioFigura(figura)};
    case Difetto::Ambiguo:
        return NotaLettura{{}, QStringLiteral("è ambiguo"), l.alternative};
    case Difetto::TroppoGrande:
        return NotaLettura{{}, QStringLiteral("è un numero troppo grande per il calcolo"), {}};
    case Difetto::Nessuno:
        break;
    }
    // No building is worth less than nothing, nor costs less, nor stands on less land;
    // negative years would discount backwards and multiply the plot's value.
    if (l.valore < 0)
        return NotaLettura{{}, QStringLiteral("è un numero negativo, che la stima non ammette"), {}};
    if (figura == Anni && l.valore > 100)
        return NotaLettura{{}, QStringLiteral("è un numero di anni oltre 100, che la stima non ammette"), {}};
    return std::nullopt;
}

QString rigaNota(FiguraArea figura, const QString &testo, const NotaLettura &nota)
{
    // A text that is no figure is not read at all; a figure the valuation refuses was read.
    const QString chi = letturaStima(testo).usabile() ? nomeBreveFigura(figura)
                                                      : nomeBreveFigura(figura) + u' ' + nonLetta(figura);
    return QStringLiteral("%1: «%2» %3").arg(chi, breve(testo.simplified(), 16), nota.testo());
}

std::optional<QString> rifiutoStimaArea(const std::array<QString, 4> &figure)
{
    static const char *const mancante[4] = {
        "Digitare il valore di mercato del fabbricato.", "Digitare i costi totali.",
        "Digitare il numero di anni per redditività.", "Digitare la superficie del terreno."};
    for (int f = ValoreMercato; f <= Superficie; ++f)
        if (figure[std::size_t(f)].isEmpty())
            return QString::fromUtf8(mancante[f]);
    for (int f = ValoreMercato; f <= Superficie; ++f)
        if (auto no = rifiutoFigura(FiguraArea(f), figure[std::size_t(f)]))
            return no;
    return std::nullopt;
}

std::optional<QString> rifiutoFigura(FiguraArea figura, const QString &testo)
{
    const auto nota = notaFigura(figura, testo);
    if (!nota)
        return std::nullopt;
    // One line whatever the text holds, and short enough to read.
    return QStringLiteral("Il dato «%1» di '%2' %3.").arg(breve(testo.simplified()), didascaliaFigura(figura), nota->testo());
}

std::optional<QString> rifiutoRecordMenu(const QList<Campo> &campi)
{
    if (campi.size() < 5)
        return std::nullopt;
    const auto no = rifiutoStimaArea({campi[1].testo, campi[2].testo, campi[3].testo, campi[4].testo});
    if (!no)
        return std::nullopt;
    return QStringLiteral("Controllo dati immessi: ") + *no;
}

QString figuraStampata(const QString &testo)
{
    if (!testo.contains(QRegularExpression(QStringLiteral("[0-9]"))))
        return testo;
    return testoFigura(letturaStima(testo).valore);
}

QString costoStampato(const QString &testo)
{
    const auto v = letturaLocale(testo);
    return v ? testoFigura(*v) : testo;
}

QString avvisoNegativi()
{
    return QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione");
}

bool risultatoNegativo(const QString &risultato5, const QString &risultato6)
{
    return risultato5.startsWith(u'-') || risultato6.startsWith(u'-');
}

std::array<double, 17> schemaClasse(int classe)
{
    static constexpr double tabella[16][3] = {
        {450, 400, 350},    {2720, 2530, 2020}, {1025, 960, 730}, {120, 110, 80},
        {530, 680, 750},    {980, 1135, 1150},  {750, 1000, 1250}, {125, 185, 200},
        {640, 630, 670},    {1325, 1150, 1100}, {630, 550, 500},  {0, 0, 500},
        {140, 140, 130},    {335, 300, 270},    {80, 60, 100},    {150, 170, 200},
    };
    std::array<double, 17> s{};
    if (classe < 1 || classe > 3)
        return s;
    for (int k = 1; k <= 16; ++k)
        s[k] = tabella[k - 1][classe - 1];
    return s;
}

QString descrizioneClasse(int classe)
{
    switch (classe) {
    case 1: return QStringLiteral("Edificio di tipo economico");
    case 2: return QStringLiteral("Edificio di tipo medio");
    case 3: return QStringLiteral("Edificio di caratteristiche evolute");
    }
    return {};
}

std::optional<QString> valutaDidascalia(const QString &didascalia)
{
    const QString inizio = QStringLiteral("Valori ");
    if (!didascalia.startsWith(inizio + QStringLiteral("in ")))
        return std::nullopt;
    return didascalia.mid(inizio.size());
}

QString rifiutoStampaMenu()
{
    return QStringLiteral("La stampa di dati è significativa solo per la stima di aree fabbricabili: per gli altri "
                          "tipi di stima utilizzare le finestre successive.");
}

QString nienteDaStampare()
{
    return QStringLiteral("Non esistono dati da stampare: tornare alla finestra Menu o aprire un file archiviato per "
                          "prelevarne.");
}

CostiClassi costiClassi(int scelta, const QString &typed, double N)
{
    CostiClassi c;
    switch (scelta) {
    case 1:
        c.testo = {QString(), typed, testoNumero(N * sintetici::rapporto12), testoNumero(N * sintetici::rapporto13)};
        break;
    case 2:
        c.testo = {QString(), testoNumero(N / sintetici::rapporto12), typed, testoNumero(N * sintetici::rapporto23)};
        break;
    case 3:
        c.testo = {QString(), testoNumero(N / sintetici::rapporto13), testoNumero(N / sintetici::rapporto23), typed};
        break;
    }
    return c;
}

std::array<QString, 6> colonnaSintetica(int classe, const QString &costo)
{
    const auto &H = sintetici::altezza;
    const auto &Vv = sintetici::volumeVano;
    const auto &Av = sintetici::superficieVano;
    std::array<QString, 6> col;
    if (classe < 1 || classe > 3)
        return col;
    const auto K = letturaLocale(costo);
    // No figure derived from a cost that is none ("valore non calcolabile").
    const std::optional<double> s1 = K ? std::optional<double>(*K / H[classe]) : std::nullopt;
    col[1] = s1 ? formattanumero(testoNumero(*s1)) : nonCalcolabile;
    col[2] = formattanumero(costo);
    col[3] = formattanumero(testoNumero(Vv[classe]));
    col[4] = formattanumero(testoNumero(Av[classe]));
    col[5] = s1 ? formattanumero(testoNumero(*s1 * Vv[classe])) : nonCalcolabile;
    return col;
}

bool recordMenu(const QList<QList<Campo>> &righe)
{
    return haForma(TipoArchivio::Menu, righe) && valutaDidascalia(righe[0][0].testo).has_value();
}

} // namespace perix
