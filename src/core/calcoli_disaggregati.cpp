#include "core/calcoli_disaggregati.h"

#include "core/numeri.h"

#include <cmath>

namespace perix {

namespace {

struct Categoria {
    const char *didascalia, *rapporto;
};

const Categoria elenco[categorie] = {
    {" Fondazioni", "fondazioni"},
    {" Opere in cemento armato fuori terra", "opere in cemento armato fuori terra"},
    {" Tombagni e tramezzi", "tombagni e tramezzi"},
    {" Impermeabilizzazioni", "impermeabilizzazioni"},
    {" Intonaci e stucchi interni ed esterni", "intonaci e stucchi interni ed esterni"},
    {" Pavimenti e rivestimenti", "pavimenti e rivestimenti"},
    {" Opere in legno", "opere in legno"},
    {" Opere in ferro", "opere in ferro"},
    {" Tinteggiature e verniciature", "tinteggiature e verniciature"},
    {" Impianto idraulico, sanitario e gas", "impianto idraulico, sanitario e gas"},
    {" Impianto di riscaldamento", "impianto di riscaldamento"},
    {" Impianto di condizionamento d'aria", "impianto di condizionamento d'aria"},
    {" Impianto elettrico", "impianto elettrico"},
    {" Ascensori", "ascensori"},
    {" Impianti vari (antenna, citofono, ecc.)", "impianti vari (antenna, citofono, ecc.)"},
    {" Imprevisti e manutenzioni", "imprevisti e manutenzioni"},
};

bool inElenco(int k) { return k >= 1 && k <= categorie; }

} // namespace

QString nomeCategoria(int k)
{
    return inElenco(k) ? QString::fromUtf8(elenco[k - 1].didascalia) : QString();
}

QString nomeCategoriaRapporto(int k)
{
    return inElenco(k) ? QString::fromUtf8(elenco[k - 1].rapporto) : QString();
}

std::optional<double> valorePercentuale(const QString &testo)
{
    return testo.isEmpty() ? std::nullopt : letturaLocale(testo);
}

std::optional<double> valorePercentuale(const Valore &v)
{
    if (const auto *n = std::get_if<double>(&v))
        return std::isfinite(*n) ? std::optional<double>(*n) : std::nullopt;
    if (const auto *s = std::get_if<QString>(&v))
        return valorePercentuale(*s);
    return std::nullopt;
}

double sommaPercentuali(const std::array<QString, categorie + 1> &testi)
{
    double s = 0;
    for (int k = 1; k <= categorie; ++k)
        s += valorePercentuale(testi[std::size_t(k)]).value_or(0.0);
    return s;
}

bool sommaCento(double somma)
{
    return std::fabs(somma - 100.0) < 1e-9;
}

QString testoSomma(double somma)
{
    if (!std::isfinite(somma))
        return QStringLiteral(" ") + nonCalcolabile;
    const QString t = testoInvariante(somma);
    return somma < 0 ? t : u' ' + t;
}

QString importo(double C, double quota, double base)
{
    return formatta(testoNumero(C * quota / base), Schema::Intero);
}

QString percentuale(double valore)
{
    return formatta(testoNumero(valore), Schema::DueDecimali);
}

Ridistribuzione ridistribuisci(const std::array<double, categorie + 1> &preset,
                               const std::array<Valore, categorie + 1> &immesse, int indice)
{
    Ridistribuzione r;
    r.preset = preset;
    std::array<double, categorie + 1> tipo{};
    double SP = 0, ST = 0;
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        if (k == indice)
            r.preset[i] = 0;
        else
            tipo[i] = valorePercentuale(immesse[i]).value_or(0.0);
        SP += r.preset[i];
        ST += tipo[i];
    }
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        if (k != indice && SP != 0)
            r.preset[i] = r.preset[i] * 10000 / SP;
    }
    // With nothing typed there is nothing to spread on the typed side; nor with typed
    // figures too large to add up (1e308 twice) or to divide by.
    if (ST != 0 && std::isfinite(ST)) {
        std::array<double, categorie + 1> quote{};
        for (int k = 1; k <= categorie; ++k) {
            const auto i = std::size_t(k);
            quote[i] = k == indice ? 0.0 : tipo[i] * 100 / ST;
            if (!std::isfinite(quote[i]))
                return r;
        }
        r.immesse = quote;
    }
    return r;
}

QByteArray codificaPercentuali(const std::array<Valore, categorie + 1> &immesse)
{
    Record r;
    for (int k = 1; k <= categorie; ++k)
        r.append(Riga{immesse[std::size_t(k)]});
    return codificaRecord(r);
}

std::optional<std::array<Valore, categorie + 1>> leggiPercentuali(const QByteArray &dati, QString *motivo)
{
    const auto campi = leggiCampi(dati, categorie, motivo);
    if (!campi)
        return std::nullopt;
    std::array<Valore, categorie + 1> v;
    for (int k = 1; k <= categorie; ++k)
        v[std::size_t(k)] = campi->at(k - 1).valore();
    return v;
}

Record recordDisaggregati(const RecordDisaggregati &r)
{
    Record record{{r.soldi, r.tipoedi, r.vm, r.cc, r.profitto}};
    for (int k = 1; k <= categorie; ++k)
        record.append(Riga{r.ris[std::size_t(k)]});
    return record;
}

std::optional<RecordDisaggregati> leggiDisaggregati(const QList<Campo> &campi)
{
    if (campi.size() < 5 + categorie)
        return std::nullopt;
    RecordDisaggregati r{campi[0].testo, campi[1].testo, campi[2].testo, campi[3].testo, campi[4].testo, {}};
    for (int k = 1; k <= categorie; ++k)
        r.ris[std::size_t(k)] = campi[4 + k].testo;
    return r;
}

} // namespace perix
