#pragma once
// The arithmetic of the disaggregated costs window: the sixteen categories, the sum of
// the typed percentages, the amounts, the redistribution of a removed category, and the
// percentages file. No widgets here.

#include "core/campi.h"
#include "core/tipi.h"

#include <QString>
#include <array>
#include <optional>

namespace perix {

inline constexpr int categorie = 16;

// Caption of category k (1..16) in the window, and its name in the report.
QString nomeCategoria(int k);
QString nomeCategoriaRapporto(int k);

// A typed percentage: a text read with the user's locale rules, or a number kept
// unrounded by a redistribution; nothing when empty or not a number.
std::optional<double> valorePercentuale(const Valore &v);
std::optional<double> valorePercentuale(const QString &testo);

// The sum of the typed percentages; empty fields and texts that are not numbers count 0.
double sommaPercentuali(const std::array<QString, categorie + 1> &testi);
// Equal to 100 but for the rounding noise of adding decimals: 99,99 is not.
bool sommaCento(double somma);
// The sum as the archiving message prints it: a point for decimals, no exponent, at most
// 15 significant digits, one leading blank when not negative (" 99.99").
QString testoSomma(double somma);

// An amount of the table: C × quota / base, rounded half away from zero on its 15-digit
// text and grouped ("##,##0").
QString importo(double C, double quota, double base);
// A percentage of the table with exactly two decimals ("0.00").
QString percentuale(double valore);

// The redistribution after removing category `indice`: the preset shares (hundredths of a
// percent) and the typed ones are spread over the others in proportion to their own.
struct Ridistribuzione {
    std::array<double, categorie + 1> preset{};
    // The typed shares after the removal (the removed one 0); nothing where ST was 0, so
    // the typed side is left alone.
    std::optional<std::array<double, categorie + 1>> immesse;
};
Ridistribuzione ridistribuisci(const std::array<double, categorie + 1> &preset,
                               const std::array<Valore, categorie + 1> &immesse, int indice);

// The percentages file: sixteen lines of one field each, a text in quotes, a bare number
// or nothing.
QByteArray codificaPercentuali(const std::array<Valore, categorie + 1> &immesse);
// All sixteen read, or nothing (and why).
std::optional<std::array<Valore, categorie + 1>> leggiPercentuali(const QByteArray &dati,
                                                                  QString *motivo = nullptr);
// Sixteen lines of one field each (a quoted text, a bare number or nothing), as the
// percentages file is written; blank lines after the sixteenth are allowed.
inline bool recordPercentuali(const QList<QList<Campo>> &righe) { return haForma(TipoArchivio::Percentuali, righe); }

// The window's archive record: the five figures, then the sixteen preset amounts.
struct RecordDisaggregati {
    QString soldi, tipoedi, vm, cc, profitto;
    std::array<QString, categorie + 1> ris;
};
Record recordDisaggregati(const RecordDisaggregati &r);
std::optional<RecordDisaggregati> leggiDisaggregati(const QList<Campo> &campi);
// Seventeen lines of quoted texts, five then one each: the window's own record.
inline bool eRecordDisaggregati(const QList<QList<Campo>> &righe) { return haForma(TipoArchivio::Disaggregati, righe); }

} // namespace perix
