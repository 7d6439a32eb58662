// The disaggregated window's two files and its redistribution on arbitrary bytes. The
// percentages file and the 17-line record: the readers never crash, refuse only what the
// field reader refuses, and what they accept is written and read back equal. The
// redistribution keeps the preset schedule at 10000 and the typed one at 100.

#include "archivio.h"
#include "core/calcoli_disaggregati.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

void percentuali(const QByteArray &byte, const QString &dove)
{
    QString motivo;
    const auto letti = leggiPercentuali(byte, &motivo);
    fuzz::verifica(letti.has_value() == leggiCampi(byte, categorie).has_value(),
                   "il file delle percentuali si rifiuta solo se i campi non si leggono", dove + u' ' + motivo);
    if (!letti)
        return;
    const QByteArray scritti = codificaPercentuali(*letti);
    const auto campi = leggiCampi(scritti, categorie, &motivo);
    fuzz::verifica(campi.has_value(), "si rilegge il file delle percentuali scritto", dove + u' ' + motivo);
    for (int k = 1; k <= categorie; ++k)
        fuzz::tornato((*letti)[std::size_t(k)], campi->at(k - 1), dove + QStringLiteral(" riga %1").arg(k));
}

void record(const QByteArray &byte, const QString &dove)
{
    const auto campi = leggiCampi(byte, 5 + categorie);
    if (!campi)
        return;
    const auto r = leggiDisaggregati(*campi);
    fuzz::verifica(r.has_value(), "ventuno campi sono un record", dove);
    const QByteArray scritti = codificaRecord(recordDisaggregati(*r));
    const auto riletti = leggiCampi(scritti, 5 + categorie);
    fuzz::verifica(riletti.has_value(), "si rilegge il record scritto", dove);
    const auto r2 = leggiDisaggregati(*riletti);
    bool uguali = r2 && r2->soldi == r->soldi && r2->tipoedi == r->tipoedi && r2->vm == r->vm && r2->cc == r->cc
        && r2->profitto == r->profitto && r2->ris == r->ris;
    fuzz::verifica(uguali, "il record torna uguale", dove);
    fuzz::verifica(eRecordDisaggregati(*leggiRighe(scritti)), "il record scritto e' riconosciuto come proprio", dove);
}

// Schedules built from the bytes, then one category removed.
void ridistribuzione(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    std::array<double, categorie + 1> preset{};
    std::array<Valore, categorie + 1> immesse;
    for (int k = 1; k <= categorie; ++k) {
        preset[std::size_t(k)] = fdp.ConsumeIntegralInRange(0, 10000);
        switch (fdp.ConsumeIntegralInRange(0, 3)) {
        case 0: break;
        case 1: immesse[std::size_t(k)] = fdp.ConsumeFloatingPointInRange(0.0, 100.0); break;
        case 2: immesse[std::size_t(k)] = percentuale(fdp.ConsumeFloatingPointInRange(0.0, 100.0)); break;
        default: immesse[std::size_t(k)] = QString::fromUtf8(fdp.ConsumeRandomLengthString(8).c_str()); break;
        }
    }
    const int indice = fdp.ConsumeIntegralInRange(1, categorie);
    const auto r = ridistribuisci(preset, immesse, indice);
    double SP = 0, ST = 0, prima = 0;
    for (int k = 1; k <= categorie; ++k) {
        SP += r.preset[std::size_t(k)];
        if (k != indice)
            prima += preset[std::size_t(k)];
    }
    const QString dove = QStringLiteral("riga tolta %1").arg(indice);
    fuzz::verifica(r.preset[std::size_t(indice)] == 0, "la categoria tolta va a zero", dove);
    fuzz::verifica(prima == 0 ? SP == 0 : std::fabs(SP - 10000) < 1e-6, "le quote preimpostate restano 10000",
                   dove + QStringLiteral(": %1").arg(SP, 0, 'g', 17));
    if (!r.immesse)
        return;
    double assoluti = 0;
    for (int k = 1; k <= categorie; ++k) {
        const double v = (*r.immesse)[std::size_t(k)];
        fuzz::verifica(std::isfinite(v), "una quota digitata resta un numero", dove);
        ST += v;
        assoluti += std::fabs(v);
        // What the field then shows is a percentage with two decimals.
        fuzz::perUtente(percentuale(v), "la percentuale mostrata", dove);
    }
    // Typed figures may be negative: the rounding noise grows with their size, not their sum.
    fuzz::verifica(std::fabs(ST - 100) < 1e-9 * std::max(100.0, assoluti), "le quote digitate tornano a 100",
                   dove + QStringLiteral(": %1").arg(ST, 0, 'g', 17));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const QString dove = QStringLiteral("file %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    percentuali(byte, dove);
    record(byte, dove);
    ridistribuzione(dati, dimensione);
    return 0;
}
