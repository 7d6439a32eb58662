#pragma once
// The synthetic-costs record: what the window shows, as its "Perix-sint-" file stores it,
// and the reading that checks a file whole before the window takes anything from it.
// Qt Core only.

#include "core/campi.h"
#include "core/tipi.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace perix {

// The fields of the record: currency caption, class, then 5 rows of 3 class columns.
inline constexpr int campiSintetici = 17;

struct DatiSintetici {
    QString soldi;             // the currency caption
    std::optional<int> classe; // 1..3: the class whose icon is shown; nothing: no icon
    // The grid as shown: griglia[r][c] is row r (1..5) of class c (1..3); index 0 unused.
    std::array<std::array<QString, 4>, 6> griglia{};

    bool operator==(const DatiSintetici &) const = default;
};

// Line 1: the caption in quotes and the class bare (nothing when no icon is shown);
// lines 2 to 6: row r of classes 1, 2 and 3, in quotes.
Record recordSintetici(const DatiSintetici &dati);

// The seventeen fields read in file order, checked: the class field must be empty or a
// bare whole number from 0 to 3, since it picks an icon and the shared building class
// (0 and empty both mean that no icon was shown). Nothing, with the reason in Italian,
// when it is anything else.
std::optional<DatiSintetici> leggiSintetici(const QList<Campo> &campi, QString *motivo = nullptr);
// The same from the bytes of a file.
std::optional<DatiSintetici> leggiSintetici(const QByteArray &dati, QString *motivo = nullptr);

// True when every line holds what this window writes: two fields, then five lines of three
// texts, the class bare. Blank lines at the end are allowed.
inline bool recordSintetico(const QList<QList<Campo>> &righe) { return haForma(TipoArchivio::Sintetici, righe); }

} // namespace perix
