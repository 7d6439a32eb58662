// The typology record and arithmetic on arbitrary bytes. As a file: the reader never
// crashes, refuses exactly where the field reader does (with a reason, so the window
// assigns nothing), takes a chosen typology only when it is a whole 1..9, and what it
// accepts writes and reads back equal and is recognised as the window's own. As figures:
// every cost per m² and per room is a grouped whole number within 15 digits or "valore non
// calcolabile", the room 18 times the cut cost per m², the chosen row the typed cost cut.

#include "archivio.h"
#include "core/calcoli_tipologie.h"
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

bool uguali(const RecordTipologie &a, const RecordTipologie &b)
{
    return a.soldi == b.soldi && a.costonetto == b.costonetto && a.tipologiascelta == b.tipologiascelta
        && a.edificio == b.edificio && a.vano == b.vano;
}

void giro(const RecordTipologie &r, const QString &dove)
{
    const QByteArray scritti = codificaRecord(recordTipologie(r));
    QString motivo;
    const auto letto = leggiRecordTipologie(scritti, &motivo);
    fuzz::verifica(letto.has_value(), "si rilegge cio' che si e' scritto", dove + u' ' + motivo);
    fuzz::verifica(uguali(*letto, r), "il record torna uguale", dove);
    const auto righe = leggiRighe(scritti);
    fuzz::verifica(righe && recordTipologieProprio(*righe), "il file scritto e' riconosciuto come proprio", dove);
}

void comeFile(const QByteArray &byte)
{
    const QString dove = QStringLiteral("file %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    QString motivo;
    const auto r = leggiRecordTipologie(byte, &motivo);
    const auto campi = leggiCampi(byte, campiTipologie);
    fuzz::verifica(r.has_value() == campi.has_value(), "si rifiuta solo cio' che il lettore dei campi rifiuta", dove);
    if (!r) {
        fuzz::verifica(!motivo.isEmpty(), "un rifiuto dice perche'", dove);
        return;
    }
    const auto n = (*campi)[2].numero();
    const bool intero = n && *n >= 1 && *n <= 9 && *n == std::floor(*n);
    fuzz::verifica(r->tipologiascelta == (intero ? int(*n) : 0), "la tipologia scelta e' un intero da 1 a 9 o nessuna",
                   dove + QStringLiteral(" -> %1").arg(r->tipologiascelta));
    fuzz::verifica(r->soldi == (*campi)[0].testo && r->costonetto == (*campi)[1].testo
                       && r->vano[9] == (*campi)[campiTipologie - 1].testo,
                   "i campi sono letti nell'ordine del file", dove);
    giro(*r, dove);
}

const char16_t *const pezzi[] = {
    u"\"", u"\"\"", u",", u" ", u"1.000", u"20.520", u"-3", u"0", u"valore non calcolabile",
    u"Valori in euro", u"è", u"€", u"<b>", u"\U0001F3E0", u"\u00a0",
};

QString testo(FuzzedDataProvider &fdp) { return fuzz::testoDaPezzi(fdp, pezzi, 5); }

// A typed cost as the window reads it, or any double.
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

void calcolo(FuzzedDataProvider &fdp)
{
    const double C = costo(fdp);
    if (!std::isfinite(C))
        return; // the locale reading never gives one
    const int k = fdp.ConsumeIntegralInRange(1, 9);
    const QString d = QStringLiteral("calcolaTipologie(%1, %2)").arg(k).arg(fuzz::descrivi(C));
    const EsitoTipologie e = calcolaTipologie(k, C);
    for (int i = 1; i <= 9; ++i) {
        const QString di = d + QStringLiteral(" riga %1").arg(i);
        const QString mq = e.edificio[std::size_t(i)], vano = e.vano[std::size_t(i)];
        fuzz::risultato(mq, "un costo al mq. e' un intero raggruppato", di);
        fuzz::risultato(vano, "un costo a vano e' un intero raggruppato", di);
        if (fuzz::nonCalcolabile(mq)) {
            fuzz::verifica(fuzz::nonCalcolabile(vano), "senza costo al mq. nessun vano", di);
            continue;
        }
        const double m = *letturaLocale(mq);
        if (!fuzz::nonCalcolabile(vano))
            fuzz::verifica(*letturaLocale(vano) == m * 18, "il vano e' 18 volte il costo al mq. tagliato", di);
        if (i == k)
            fuzz::verifica(m == std::floor(C), "la tipologia scelta tiene il costo tagliato", di);
    }
}

void costruito(FuzzedDataProvider &fdp)
{
    RecordTipologie r;
    r.soldi = testo(fdp);
    r.costonetto = testo(fdp);
    r.tipologiascelta = fdp.ConsumeIntegralInRange(0, 9);
    for (int i = 1; i <= 9; ++i) {
        r.edificio[std::size_t(i)] = testo(fdp);
        r.vano[std::size_t(i)] = testo(fdp);
    }
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
