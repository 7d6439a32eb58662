// A file's kind told by the shape of its record: on any bytes at most one kind's shape
// fits, and the line ends the file happens to use never change the answer. The check of a
// record against a kind agrees with it: a record of that shape passes, any other is told why.

#include "comune.h"
#include "core/tipi.h"
#include "core/verifica.h"
#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_sintetici.h"
#include "core/calcoli_tipologie.h"

using namespace perix;
using fuzz::verifica;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const auto righe = leggiRighe(byte);
    if (!righe)
        return 0;
    const QString d = QStringLiteral("byte: ") + QString::fromLatin1(byte.toHex());
    const int forme = int(recordMenu(*righe)) + int(eRecordDisaggregati(*righe)) + int(recordSintetico(*righe))
        + int(recordTipologieProprio(*righe)) + int(recordAltezzeProprio(*righe)) + int(recordPercentuali(*righe));
    verifica(forme <= 1, "al piu' una forma di record", d);
    const auto tipo = tipoDaRighe(*righe);
    verifica(tipo.has_value() == (forme == 1), "il tipo e' la forma che combacia", d);

    for (const DescrizioneTipo &k : tipiArchivio()) {
        const auto difetto = difettoForma(k.tipo, *righe);
        // A main-window record is told by its currency caption too, which is a figure.
        const bool senzaValuta = k.tipo == TipoArchivio::Menu && !righe->isEmpty() && !righe->first().isEmpty()
            && !righe->first().first().testo.startsWith(QStringLiteral("Valori in "));
        verifica(difetto.has_value() == (tipo != k.tipo) || (!difetto && senzaValuta),
                 "la forma controllata e' quella che dice il tipo", d + u' ' + k.prefisso);
        verifica(!difetto || !difetto->isEmpty(), "un difetto dice perche'", d);
        if (const auto dati = difettoArchivio(k.tipo, byte))
            verifica(!dati->isEmpty(), "un difetto dice perche'", d);
    }

    // The same lines ended otherwise (CR LF, LF or CR) are the same file.
    QList<QByteArray> linee{QByteArray()};
    for (qsizetype i = 0; i < byte.size(); ++i) {
        if (byte[i] == '\r' || byte[i] == '\n') {
            if (byte[i] == '\r' && i + 1 < byte.size() && byte[i + 1] == '\n')
                ++i;
            linee.append(QByteArray());
        } else {
            linee.last().append(byte[i]);
        }
    }
    for (const char *fine : {"\r\n", "\n", "\r"}) {
        const auto r = leggiRighe(linee.join(fine));
        verifica(r.has_value() && tipoDaRighe(*r) == tipo, "le fini riga non cambiano il tipo", d);
    }
    return 0;
}
