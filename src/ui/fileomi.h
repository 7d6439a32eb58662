#pragma once
// An OMI VALORI file read from where the user chose it: the CSV itself (with the ZONE file
// beside it, when there is one) or the .zip as downloaded holding both. The reading itself
// is the core's; here the files are found and unzipped.

#include "core/omi.h"

#include <QString>
#include <optional>

namespace perix {

// Nothing, and why in Italian, when the file cannot be read or holds no VALORI file.
std::optional<QuotazioniOmi> caricaQuotazioniOmi(const QString &percorso, QString *motivo = nullptr);

} // namespace perix
