#pragma once
// The arithmetic and the archive record of the costs by typology window. No widgets here.

#include "core/campi.h"
#include "core/tipi.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace perix {

inline constexpr int numeroTipologie = 9;

// r(k, j): the cost per m² of the reference typology k divided by this gives the cost of
// typology j (both 1..9). Used exactly as stored: the rows are not derived from each other.
double rapportotipologie(int k, int j);

// The nine rows computed from the cost C of typology `scelta` (1..9); index 0 unused.
struct EsitoTipologie {
    std::array<double, numeroTipologie + 1> costitipologie{}; // C / r(scelta, j), uncut
    std::array<QString, numeroTipologie + 1> edificio;        // whole cost per m², formatted
    std::array<QString, numeroTipologie + 1> vano;            // 18 times that whole cost, formatted
};
EsitoTipologie calcolaTipologie(int scelta, double C);

// What the window and its report show: the caption of typology k (1..9) as its row reads
// (" Edifici continui (duplex)"; empty for any other k) and the heading of column 0..2 of
// the table (typology, cost per m², cost of a room).
QString nomeTipologia(int k);
QString intestazioneTipologie(int colonna);
// Why "Stampa dati finestra" prints nothing while the typed cost is no number.
QString rifiutoStampaTipologie(const QString &costonetto);

// The "Perix-tipol-" record: ten lines, the first with the currency caption, the cost as
// typed and the chosen typology (0: none, written as an empty field), then one line per
// typology with the two captions as shown.
struct RecordTipologie {
    QString soldi;
    QString costonetto;
    int tipologiascelta = 0;
    std::array<QString, numeroTipologie + 1> edificio;
    std::array<QString, numeroTipologie + 1> vano;
};
inline constexpr int campiTipologie = 3 + 2 * numeroTipologie;

Record recordTipologie(const RecordTipologie &r);
// The record from the first campiTipologie fields in file order. A chosen typology that is
// not a whole number from 1 to 9 (older files may hold a height class there) reads as none.
std::optional<RecordTipologie> leggiRecordTipologie(const QList<Campo> &campi, QString *motivo = nullptr);
std::optional<RecordTipologie> leggiRecordTipologie(const QByteArray &dati, QString *motivo = nullptr);
// True when the lines are laid out as this window writes them (for "Salva" after opening).
inline bool recordTipologieProprio(const QList<QList<Campo>> &righe) { return haForma(TipoArchivio::Tipologie, righe); }

// Shared with the height window's record: the index a file field names, when it is a whole
// number from 1 to `massimo`; 0 otherwise.
int indiceScelto(const Campo &campo, int massimo);

} // namespace perix
