// One reading of a record for the check, the window and the report. For any record the
// check accepts, the figures the report would print are the figures the window shows
// after its Apri: the window's fields keep what a text field keeps and read it as the
// window reads it, the report reads the checked record and prints with the core's
// routines; both must come to the same values, rounded the same way. Records are built
// from pieces that matter (digits, separators, exponents, invisible characters, digits of
// other scripts, very long blanks, line ends, text after a closing quote) or taken as bytes.

#include "comune.h"
#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_tipologie.h"
#include "core/numeri.h"
#include "core/tipi.h"
#include "core/verifica.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

using namespace perix;
using fuzz::verifica;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

const char *const pezzi[] = {
    "0", "1", "2", "5", "9", "00", "000", "1200000", ".", ",", "-", "+", " ", "e", "E", "e3", "1e308", "NaN",
    "inf", "0x10", "1,500", "1.200.000", "3,5", "valore non calcolabile", "\xe2\x80\xae", "\xe2\x80\xac",
    "\xe2\x80\x8b", "\xe2\x80\xa8", "\xef\xbc\x91", "\t", "\"\"", "Valori in euro", "abc",
};

QByteArray pezzo(FuzzedDataProvider &fdp)
{
    if (fdp.ConsumeIntegralInRange(0, 60) == 0)
        return QByteArray(fdp.ConsumeIntegralInRange(caratteriCampo - 4, caratteriCampo + 4), fdp.ConsumeBool() ? ' ' : '0');
    return pezzi[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(pezzi) - 1)];
}

// A field: quoted or bare, with now and then a line end inside or text after its quotes.
QByteArray campo(FuzzedDataProvider &fdp)
{
    QByteArray t;
    const int n = fdp.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < n; ++i)
        t += pezzo(fdp);
    const int forma = fdp.ConsumeIntegralInRange(0, 15);
    if (forma == 0)
        return t.replace('"', "");
    if (forma == 1)
        return '"' + t + "\r\n" + pezzo(fdp) + '"';
    if (forma == 2)
        return '"' + t + '"' + pezzo(fdp);
    return '"' + t + '"';
}

QByteArray recordDi(TipoArchivio tipo, FuzzedDataProvider &fdp)
{
    QByteArray b;
    for (const QByteArray &riga : formaRecord(tipo)) {
        QList<QByteArray> campi;
        for (char genere : riga) {
            if (genere == 'N')
                campi << QByteArray::number(fdp.ConsumeIntegralInRange(0, 15)).left(fdp.ConsumeBool() ? 2 : 0);
            else
                campi << campo(fdp);
        }
        b += campi.join(',') + "\r\n";
    }
    if (fdp.ConsumeIntegralInRange(0, 8) == 0)
        b += "\"Perix-dati\",\"1\"\r\n" + campo(fdp) + "\r\n";
    return b;
}

// What a window's text field holds of a text set into it.
QString nelCampo(const QString &t) { return t.left(caratteriCampo); }

// The same value, to the 15 significant digits every figure keeps.
bool stessoValore(double a, double b) { return a == b || std::fabs(a - b) <= 1e-14 * std::max(std::fabs(a), std::fabs(b)); }

void figura(const QString &stampata, const char *proprieta, const QString &d)
{
    if (stampata == nonCalcolabile)
        return;
    fuzz::perUtente(stampata, proprieta, d);
}

void menu(const QList<Campo> &c, const QString &d)
{
    std::array<double, 4> finestra{}, rapporto{};
    for (int f = 0; f < 4; ++f) {
        const QString &t = c[f + 1].testo;
        finestra[std::size_t(f)] = letturaStima(nelCampo(t)).valore;
        rapporto[std::size_t(f)] = letturaStima(t).valore;
        const QString stampata = figuraStampata(t);
        if (const auto letta = letturaLocale(stampata)) {
            figura(stampata, "una cifra stampata e' scritta per chi legge", d);
            verifica(stessoValore(*letta, finestra[std::size_t(f)]), "la cifra stampata e' quella letta dalla finestra",
                     d + QStringLiteral(" campo %1: stampato %2").arg(f + 2).arg(stampata));
        }
    }
    const auto a = calcolaStimaArea(finestra[0], finestra[1], finestra[2], finestra[3]);
    const auto b = calcolaStimaArea(rapporto[0], rapporto[1], rapporto[2], rapporto[3]);
    verifica(a.testi == b.testi && a.troppiAnni == b.troppiAnni, "i risultati stampati sono quelli della finestra", d);
    verifica(risultatoNegativo(*a.testi[5], *a.testi[6]) == risultatoNegativo(*b.testi[5], *b.testi[6]),
             "l'avviso dei risultati negativi e' quello della finestra", d);
}

void disaggregati(const QList<Campo> &c, const QString &d)
{
    // The window shows the stored captions; the report prints them with "##,##0".
    for (int i = 2; i < 5 + 16; ++i) {
        const QString &mostrata = c[i].testo;
        const QString stampata = formatta(mostrata, Schema::Intero);
        figura(stampata, "una cifra stampata e' scritta per chi legge", d);
        const auto a = letturaLocale(mostrata), b = letturaLocale(stampata);
        verifica(a.has_value() == b.has_value() && (!a || *a == *b), "l'importo stampato e' quello mostrato",
                 d + QStringLiteral(" campo %1: mostrato %2, stampato %3").arg(i + 1).arg(mostrata, stampata));
    }
}

void confrontaSintetici(const QList<Campo> &c, const QString &d)
{
    for (int i = 2; i < 17; ++i) {
        const QString &t = c[i].testo;
        if (t.isEmpty() || t == nonCalcolabile)
            continue;
        const auto v = letturaImporto(t);
        verifica(v && *v >= 0 && *v < 1e15, "un costo della griglia e' un importo da 0 a 10^15", d + u' ' + t);
        fuzz::risultato(t, "un costo della griglia e' scritto come lo scrive la finestra", d);
    }
}

// The typology and height windows: the cost as their field holds it and reads it, the
// chosen row computed from it; the report prints the cost as read and the rows from it.
template <typename Calcola>
void costi(const QString &costo, int scelta, Calcola calcola, const QString &d)
{
    const auto finestra = letturaLocale(nelCampo(costo));
    const auto rapporto = letturaLocale(costo);
    verifica(finestra.has_value() == rapporto.has_value(), "il costo e' un numero per entrambi", d);
    if (!finestra || scelta == 0)
        return;
    const QString stampato = costoStampato(costo);
    figura(stampato, "il costo stampato e' scritto per chi legge", d);
    const auto letto = letturaLocale(stampato);
    verifica(letto && stessoValore(*letto, *finestra), "il costo stampato e' quello letto dalla finestra",
             d + u' ' + stampato);
    verifica(calcola(scelta, *finestra) == calcola(scelta, *rapporto), "le righe stampate sono quelle della finestra", d);
    // One figure, one rounding: the printed cost gives the chosen row the window shows.
    verifica(calcola(scelta, *letto) == calcola(scelta, *finestra), "il costo stampato da' la riga della finestra", d);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    const auto tipo = TipoArchivio(fdp.ConsumeIntegralInRange(0, 5));
    const QByteArray byte = fdp.ConsumeBool() ? recordDi(tipo, fdp)
                                              : QByteArray::fromStdString(fdp.ConsumeRemainingBytesAsString());
    const QString d = descrizioneTipo(tipo).prefisso + QStringLiteral(" byte: ") + QString::fromLatin1(byte.left(600).toPercentEncoding());

    QString motivo;
    const auto campi = leggiRecord(tipo, byte, &motivo);
    verifica(campi.has_value() || !motivo.isEmpty(), "un record rifiutato dice perche'", d);
    const bool approvato = !difettoArchivio(tipo, byte);
    verifica(!approvato || campi.has_value(), "cio' che il controllo approva la lettura lo prende", d);
    if (!approvato)
        return 0;
    // Nothing the check approves is cut by a window's field.
    for (const Campo &c : *campi)
        verifica(c.testo.size() <= caratteriCampo && c.difetto.isEmpty(), "ogni campo approvato sta in un campo", d);

    switch (tipo) {
    case TipoArchivio::Menu: menu(*campi, d); break;
    case TipoArchivio::Disaggregati: disaggregati(*campi, d); break;
    case TipoArchivio::Sintetici: confrontaSintetici(*campi, d); break;
    case TipoArchivio::Tipologie:
        costi((*campi)[1].testo, indiceScelto((*campi)[2], numeroTipologie),
              [](int k, double C) { return calcolaTipologie(k, C).edificio; }, d);
        break;
    case TipoArchivio::Altezze:
        costi((*campi)[1].testo, indiceScelto((*campi)[2], numeroAltezze),
              [](int k, double C) { return calcolaAltezze(k, C).varicosti; }, d);
        break;
    case TipoArchivio::Percentuali: break;
    }
    return 0;
}
