#pragma once
// Each estimation window's report figures computed from an archive record alone, with no
// window: what the window's datiRapporto gives once its Apri has taken the record in a
// fresh session (no figures shown before, no shared choice made), or the same refusal.
//
// `campi` are the record's fields as the window's Apri reads them: the first
// campiRapporto(tipo) fields of the file (leggiCampi). Where the window's reader refuses
// them the window is left as it was, fresh, and so is the answer.

#include "core/campi.h"
#include "core/tipi.h"
#include "reports/rapporti.h"
#include "reports/rapporti_costi.h"

#include <QList>
#include <QString>
#include <optional>

namespace perix {

// How many fields the Apri of the window of `tipo` reads.
int campiRapporto(TipoArchivio tipo);

std::optional<DatiRapportoMenu> datiRapportoMenu(const QList<Campo> &campi, QString *rifiuto = nullptr);
// The sources the file's appendix gives the report's figures: as the window's Apri keeps
// them, only a source whose figure is the one shown.
void fontiDaAllegato(DatiRapportoMenu &dati, const Allegato &allegato);

std::optional<DatiRapportoDisaggregati> datiRapportoDisaggregati(const QList<Campo> &campi,
                                                                 QString *rifiuto = nullptr);
std::optional<DatiRapportoSintetici> datiRapportoSintetici(const QList<Campo> &campi, QString *rifiuto = nullptr);
std::optional<DatiRapportoTipologie> datiRapportoTipologie(const QList<Campo> &campi, QString *rifiuto = nullptr);
std::optional<DatiRapportoAltezze> datiRapportoAltezze(const QList<Campo> &campi, QString *rifiuto = nullptr);

} // namespace perix
