// The height record and arithmetic on arbitrary bytes. As a file: the reader never crashes,
// refuses exactly where the field reader does (with a reason, so the window assigns
// nothing), takes a chosen class only when it is a whole 1..14, and what it accepts writes
// and reads back equal and is recognised as the window's own. As figures: every cost is a
// grouped whole number within 15 digits or "valore non calcolabile"; every percentage a
// plain number with at most two decimals, within the table's range, 100 for the chosen class.

#include "archivio.h"
#include "core/calcoli_altezze.h"
#include "core/numeri.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

bool uguali(const RecordAltezze &a, const RecordAltezze &b)
{
    return a.soldi == b.soldi && a.costopieno == b.costopieno && a.altezzascelta == b.altezzascelta
        && a.varicosti == b.varicosti;
}

void giro(const RecordAltezze &r, const QString &dove)
{
    const QByteArray scritti = codificaRecord(recordAltezze(r));
    QString motivo;
    const auto letto = leggiRecordAltezze(scritti, &motivo);
    fuzz::verifica(letto.has_value(), "si rilegge cio' che si e' scritto", dove + u' ' + motivo);
    fuzz::verifica(uguali(*letto, r), "il record torna uguale", dove);
    const auto righe = leggiRighe(scritti);
    fuzz::verifica(righe && recordAltezzeProprio(*righe), "il file scritto e' riconosciuto come proprio", dove);
}

void comeFile(const QByteArray &byte)
{
    const QString dove = QStringLiteral("file %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    QString motivo;
    const auto r = leggiRecordAltezze(byte, &motivo);
    const auto campi = leggiCampi(byte, campiAltezze);
    fuzz::verifica(r.has_value() == campi.has_value(), "si rifiuta solo cio' che il lettore dei campi rifiuta", dove);
    if (!r) {
        fuzz::verifica(!motivo.isEmpty(), "un rifiuto dice perche'", dove);
        return;
    }
    const auto n = (*campi)[2].numero();
    const bool intero = n && *n >= 1 && *n <= 14 && *n == std::floor(*n);
    fuzz::verifica(r->altezzascelta == (intero ? int(*n) : 0), "la classe scelta e' un intero da 1 a 14 o nessuna",
                   dove + QStringLiteral(" -> %1").arg(r->altezzascelta));
    fuzz::verifica(r->soldi == (*campi)[0].testo && r->costopieno == (*campi)[1].testo
                       && r->varicosti[14] == (*campi)[campiAltezze - 1].testo,
                   "i campi sono letti nell'ordine del file", dove);
    giro(*r, dove);
}

const char16_t *const pezzi[] = {
    u"\"", u"\"\"", u",", u" ", u"1.045", u"-3", u"0", u"valore non calcolabile",
    u"Valori in lire", u"è", u"€", u"<b>", u"\U0001F3E0", u"\u00a0",
};

QString testo(FuzzedDataProvider &fdp) { return fuzz::testoDaPezzi(fdp, pezzi, 5); }

double costo(FuzzedDataProvider &fdp)
{
    if (fdp.ConsumeBool()) {
        const auto b = fdp.ConsumeIntegral<uint64_t>();
        double x;
        std::memcpy(&x, &b, sizeof x);
        return x;
    }
    return letturaLocale(QString::fromStdString(fdp.ConsumeRandomLengthString(24))).value_or(1000.0);
}

// "103,06", "97,8", "100": digits, at most two decimals after a comma.
bool percentualeValida(const QString &t)
{
    return fuzz::formaItaliana(t, false, -1) && (!t.contains(u',') || t.size() - t.indexOf(u',') <= 3);
}

void calcolo(FuzzedDataProvider &fdp)
{
    const double C = costo(fdp);
    if (!std::isfinite(C))
        return; // the locale reading never gives one
    const int k = fdp.ConsumeIntegralInRange(1, 14);
    const QString d = QStringLiteral("calcolaAltezze(%1, %2)").arg(k).arg(fuzz::descrivi(C));
    const EsitoAltezze e = calcolaAltezze(k, C);
    for (int i = 1; i <= 14; ++i) {
        const QString di = d + QStringLiteral(" classe %1").arg(i);
        fuzz::risultato(e.varicosti[std::size_t(i)], "un costo e' un intero raggruppato", di);
        const QString p = e.percentuale[std::size_t(i)];
        fuzz::verifica(percentualeValida(p), "una percentuale ha al piu' due decimali", di + QStringLiteral(" -> ") + p);
        const double v = *letturaLocale(p);
        fuzz::verifica(v > 92 && v < 108, "una percentuale sta tra gli indici della tabella", di + QStringLiteral(" -> ") + p);
        if (i == k)
            fuzz::verifica(p == QStringLiteral("100"), "la classe scelta vale 100", di);
    }
}

void costruito(FuzzedDataProvider &fdp)
{
    RecordAltezze r;
    r.soldi = testo(fdp);
    r.costopieno = testo(fdp);
    r.altezzascelta = fdp.ConsumeIntegralInRange(0, 14);
    for (int i = 1; i <= 14; ++i)
        r.varicosti[std::size_t(i)] = testo(fdp);
    giro(r, QStringLiteral("costruito"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    comeFile(QByteArray(reinterpret_cast<const char *>(dati), qsizetype(dimensione)));
    FuzzedDataProvider fdp(dati, dimensione);
    calcolo(fdp);
    costruito(fdp);
    return 0;
}
