// The archive field reader on arbitrary bytes: it never crashes, reads exactly the fields
// asked for or says why not, reads a prefix the same way, and what it reads can be written
// and read back unchanged.

#include "archivio.h"

#include <climits>
#include <cstdint>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {
// The first byte chooses how many fields to ask for: mostly a few, sometimes absurd counts.
int quantiDa(uint8_t b)
{
    static constexpr int estremi[] = {INT_MAX, INT_MAX / 2, 1 << 24, 100000, -1, INT_MIN};
    if (b >= 256 - int(std::size(estremi)))
        return estremi[255 - b];
    return b % 48;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    if (dimensione == 0)
        return 0;
    const int quanti = quantiDa(dati[0]);
    const QByteArray byte(reinterpret_cast<const char *>(dati + 1), qsizetype(dimensione - 1));
    const QString dove = QStringLiteral("%1 campi da %2 byte").arg(quanti).arg(byte.size());

    QString motivo;
    const auto campi = leggiCampi(byte, quanti, &motivo);
    if (!campi) {
        fuzz::verifica(!motivo.isEmpty(), "un rifiuto dice perche'", dove);
        // Asking for more never succeeds where asking for fewer failed.
        if (quanti >= 0 && quanti < 48)
            fuzz::verifica(!leggiCampi(byte, quanti + 1), "chi non ne ha n non ne ha n+1", dove);
        return 0;
    }
    fuzz::verifica(campi->size() == qMax(quanti, 0), "tanti campi quanti chiesti", dove);
    if (quanti <= 0)
        return 0;

    // The fields come in file order: fewer are the first ones.
    const auto meno = leggiCampi(byte, quanti - 1);
    fuzz::verifica(meno && fuzz::stessiCampi(*meno, campi->first(quanti - 1)),
                   "meno campi sono i primi", dove);

    Riga riga;
    for (const Campo &c : *campi) {
        if (!c.citato) {
            const bool pulito = !c.testo.contains(u',') && !c.testo.contains(u'\r') && !c.testo.contains(u'\n');
            const bool senzaBordi = c.testo.isEmpty()
                || (c.testo.front() != u' ' && c.testo.front() != u'\t' && c.testo.back() != u' '
                    && c.testo.back() != u'\t');
            fuzz::verifica(pulito && senzaBordi, "un campo senza virgolette e' una cella pulita",
                           dove + QStringLiteral(": \"%1\"").arg(c.testo));
        }
        riga.append(c.valore());
    }

    // What was read, written again, reads back as the same values.
    const QByteArray scritti = codificaRecord(Record{riga});
    const auto riletti = leggiCampi(scritti, int(riga.size()), &motivo);
    fuzz::verifica(riletti.has_value(), "si rilegge cio' che si e' scritto",
                   dove + u' ' + motivo + u' ' + QString::fromLatin1(scritti.toPercentEncoding()));
    for (qsizetype i = 0; i < riga.size(); ++i)
        fuzz::tornato(riga[i], (*riletti)[i], dove + QStringLiteral(", campo %1").arg(i + 1));
    fuzz::verifica(!leggiCampi(scritti, int(riga.size()) + 1), "nessun campo in piu' dopo la scrittura", dove);
    return 0;
}
