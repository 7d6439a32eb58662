#pragma once
// The arithmetic and the archive record of the costs by height window. No widgets here.

#include "core/campi.h"
#include "core/tipi.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace perix {

inline constexpr int numeroAltezze = 14;

// a(i): the cost per m³ of class i (1..14) against class 4 taken as 100, in single
// precision as the table was always held; the last digit of some results depends on it.
float indicealtezze(int classe);

// The percentage texts the window shows before any choice: each class's index against the
// 4-floor building at 100, as choosing that class shows them ("104,6", "100", ...).
QString percentualeIniziale(int classe);

// Class i against the chosen one: a(i) × 100 / a(scelta) in double, rounded once to single
// precision; exactly 100 for the chosen class itself.
float percentualeAltezza(int scelta, int classe);

// The percentage rounded to two decimals, half up, in single precision.
float percentualeArrotondata(float percentuale);

// A single-precision value as the window writes it: its shortest form, the user's
// decimal separator, no grouping ("103,06", "104,6", "100").
QString testoSingolo(float valore);

// The fourteen rows computed from the cost C with class `scelta` chosen; index 0 unused.
struct EsitoAltezze {
    std::array<float, numeroAltezze + 1> percentuali{}; // rounded to two decimals
    std::array<QString, numeroAltezze + 1> varicosti;   // whole cost per m³, formatted
    std::array<QString, numeroAltezze + 1> percentuale; // the rounded percentage as text
};
EsitoAltezze calcolaAltezze(int scelta, double C);

// What the window and its report show: the caption of class i (1..14) as its row reads
// (" 1 piano"; empty for any other i), the heading of column 0..1 of the table (heights,
// cost per m³) and the caption above the typed cost.
QString nomeAltezza(int classe);
QString intestazioneAltezze(int colonna);
QString didascaliaCostoPieno();
// Why "Stampa dati finestra" prints nothing while the typed cost is no number.
QString rifiutoStampaAltezze(const QString &costopieno);

// The "Perix-alt-" record: the currency caption, the cost as typed and the chosen class
// (0: none, an empty field), then one line per class with its cost as shown.
struct RecordAltezze {
    QString soldi;
    QString costopieno;
    int altezzascelta = 0;
    std::array<QString, numeroAltezze + 1> varicosti;
};
inline constexpr int campiAltezze = 3 + numeroAltezze;

Record recordAltezze(const RecordAltezze &r);
// A chosen class that is not a whole number from 1 to 14 reads as none.
std::optional<RecordAltezze> leggiRecordAltezze(const QList<Campo> &campi, QString *motivo = nullptr);
std::optional<RecordAltezze> leggiRecordAltezze(const QByteArray &dati, QString *motivo = nullptr);
inline bool recordAltezzeProprio(const QList<QList<Campo>> &righe) { return haForma(TipoArchivio::Altezze, righe); }

} // namespace perix
