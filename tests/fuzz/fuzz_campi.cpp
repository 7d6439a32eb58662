// The archive readers on arbitrary bytes: they never crash; the field reader reads exactly
// the fields asked for or says why not, and fewer the same way; the line reader agrees with
// it, and what it reads can be written and read back unchanged.

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

// The field reader: the count asked, or a reason; fewer fields are the first ones; a field
// outside quotes is trimmed and holds no separator.
void perCampi(const QByteArray &byte, int quanti)
{
    const QString dove = QStringLiteral("%1 campi da %2 byte").arg(quanti).arg(byte.size());

    QString motivo;
    const auto campi = leggiCampi(byte, quanti, &motivo);
    if (!campi) {
        fuzz::verifica(!motivo.isEmpty(), "un rifiuto dice perche'", dove);
        // Asking for more never succeeds where asking for fewer failed.
        if (quanti >= 0 && quanti < 48)
            fuzz::verifica(!leggiCampi(byte, quanti + 1), "chi non ne ha n non ne ha n+1", dove);
        return;
    }
    fuzz::verifica(campi->size() == qMax(quanti, 0), "tanti campi quanti chiesti", dove);
    if (quanti <= 0)
        return;

    // The fields come in file order: fewer are the first ones.
    const auto meno = leggiCampi(byte, quanti - 1);
    fuzz::verifica(meno && fuzz::stessiCampi(*meno, campi->first(quanti - 1)),
                   "meno campi sono i primi", dove);

    for (const Campo &c : *campi) {
        if (c.citato)
            continue;
        const bool pulito = !c.testo.contains(u',') && !c.testo.contains(u'\r') && !c.testo.contains(u'\n');
        const bool senzaBordi = c.testo.isEmpty()
            || (c.testo.front() != u' ' && c.testo.front() != u'\t' && c.testo.back() != u' '
                && c.testo.back() != u'\t');
        fuzz::verifica(pulito && senzaBordi, "un campo senza virgolette e' una cella pulita",
                       dove + QStringLiteral(": \"%1\"").arg(c.testo));
    }
}

// The reader by lines: its fields, in order, are the field reader's, and what it reads,
// written again line by line, reads back as the same lines and values.
void perRighe(const QByteArray &byte)
{
    const auto righe = leggiRighe(byte);
    if (!righe)
        return;
    QList<Campo> tutti;
    Record record;
    for (const auto &r : *righe) {
        fuzz::verifica(!r.isEmpty(), "una riga letta ha almeno un campo");
        tutti += r;
        Riga riga;
        for (const Campo &c : r)
            riga.append(c.valore());
        record.append(riga);
    }
    const QString dove = QStringLiteral("%1 righe, %2 campi").arg(righe->size()).arg(tutti.size());
    const auto campi = leggiCampi(byte, int(tutti.size()));
    fuzz::verifica(campi && fuzz::stessiCampi(*campi, tutti), "le righe sono i campi in ordine", dove);
    fuzz::verifica(!leggiCampi(byte, int(tutti.size()) + 1), "oltre l'ultima riga non c'e' campo", dove);

    const QByteArray scritti = codificaRecord(record);
    QString motivo;
    const auto rilette = leggiRighe(scritti, &motivo);
    const QString ds = dove + u' ' + motivo + u' ' + QString::fromLatin1(scritti.toPercentEncoding());
    fuzz::verifica(rilette && rilette->size() == record.size(), "si rileggono le righe scritte", ds);
    for (qsizetype i = 0; i < record.size(); ++i) {
        fuzz::verifica((*rilette)[i].size() == record[i].size(), "ogni riga torna con i suoi campi", ds);
        for (qsizetype j = 0; j < record[i].size(); ++j)
            fuzz::tornato(record[i][j], (*rilette)[i][j], dove + QStringLiteral(", riga %1 campo %2").arg(i + 1).arg(j + 1));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    if (dimensione == 0)
        return 0;
    const QByteArray byte(reinterpret_cast<const char *>(dati + 1), qsizetype(dimensione - 1));
    perCampi(byte, quantiDa(dati[0]));
    perRighe(byte);
    return 0;
}
