// The synthetic-costs record on arbitrary bytes: the reader never crashes; it refuses with a
// reason exactly where the field reader does or the class could pick no icon, and what it
// accepts is the field reader's fields; whatever it accepts, written again, reads back
// equal and is recognised as the window's own file. A record built from the input is
// written and read back equal too. The window assigns nothing unless the reader accepts,
// so a refused record changes nothing.

#include "archivio.h"
#include "core/calcoli_sintetici.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

QString descrivi(const DatiSintetici &d)
{
    QStringList t{d.soldi, d.classe ? QString::number(*d.classe) : QStringLiteral("(nessuna)")};
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            t << d.griglia[r][c];
    return t.join(QStringLiteral(" | "));
}

// Written and read back: the same record, and one the window takes as its own.
void giro(const DatiSintetici &d, const QString &dove)
{
    const QByteArray scritti = codificaRecord(recordSintetici(d));
    QString motivo;
    const auto riletti = leggiSintetici(scritti, &motivo);
    fuzz::verifica(riletti.has_value(), "si rilegge cio' che si e' scritto", dove + u' ' + motivo);
    fuzz::verifica(*riletti == d, "il record torna uguale",
                   dove + QStringLiteral("\nscritto: %1\nletto:   %2").arg(descrivi(d), descrivi(*riletti)));
    const auto righe = leggiRighe(scritti);
    fuzz::verifica(righe && recordSintetico(*righe), "il file scritto e' riconosciuto come proprio", dove);
}

// The bytes as a file opened in the window.
void comeFile(const QByteArray &byte)
{
    const QString dove = QStringLiteral("file %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    QString motivo;
    const auto d = leggiSintetici(byte, &motivo);
    const auto campi = leggiCampi(byte, campiSintetici);
    if (!d) {
        fuzz::verifica(!motivo.isEmpty(), "un rifiuto dice perche'", dove);
        if (campi) {
            // The fields read: only the class can be at fault, never in the forms the
            // program writes or an older version wrote.
            const QString classe = (*campi)[1].testo.trimmed();
            fuzz::verifica(!QStringList{"", "0", "1", "2", "3"}.contains(classe),
                           "una classe vuota, 0, 1, 2 o 3 non e' mai rifiutata", dove);
        }
        return;
    }
    fuzz::verifica(campi.has_value(), "si accetta solo cio' che il lettore dei campi legge", dove);
    fuzz::verifica(!d->classe || (*d->classe >= 1 && *d->classe <= 3), "la classe e' 1, 2 o 3", dove);
    fuzz::verifica(d->soldi == (*campi)[0].testo, "la valuta e' il primo campo", dove);
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            fuzz::verifica(d->griglia[r][c] == (*campi)[qsizetype(2 + (r - 1) * 3 + (c - 1))].testo,
                           "la griglia e' letta riga per riga", dove);
    giro(*d, dove);
}

// Pieces of the texts a grid holds, and some a file could bring. No control characters:
// fields never hold them.
const char16_t *const pezzi[] = {
    u"\"", u"\"\"", u",", u" ", u"1.000", u"20.364", u"-3", u"0", u"valore non calcolabile",
    u"Valori in euro", u"Valori in lire", u"è", u"€", u"Ã¨", u"<b>", u"\U0001F3E0", u"\u2028", u"\u00a0",
};

QString testo(FuzzedDataProvider &fdp) { return fuzz::testoDaPezzi(fdp, pezzi, 6); }

// A record built from the bytes, as the window could hold it.
void costruito(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    DatiSintetici d;
    d.soldi = testo(fdp);
    if (const int c = fdp.ConsumeIntegralInRange(0, 3))
        d.classe = c;
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            d.griglia[r][c] = testo(fdp);
    giro(d, QStringLiteral("costruito: ") + descrivi(d));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    comeFile(QByteArray(reinterpret_cast<const char *>(dati), qsizetype(dimensione)));
    costruito(dati, dimensione);
    return 0;
}
