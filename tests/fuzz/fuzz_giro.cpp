// A record built from the input, written and read back, comes back equal: texts with
// quotes, commas, accents and blanks, empty values, numbers of every magnitude. An empty
// row is written as nothing, so it never shifts the fields after it.

#include "archivio.h"

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

// Pieces a text is made of. No control characters: fields never hold them.
const char16_t *const pezzi[] = {
    u"\"", u"\"\"", u",", u" ", u"  ", u"a", u"Z", u"Valori in euro", u"0", u"1.500", u"-3,5",
    u"1E+20", u"è", u"à", u"ò", u"ù", u"é", u"ì", u"È", u"€", u"’", u"«»", u"ß", u"Ã¨", u"Ā",
    u"ж", u"中", u"\U0001F3E0", u"'", u";", u".", u"=", u"inf", u"nan", u"\u00a0", u"\u2028",
};

QString testo(FuzzedDataProvider &fdp) { return fuzz::testoDaPezzi(fdp, pezzi, 12); }

double numero(FuzzedDataProvider &fdp)
{
    switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return fdp.ConsumeFloatingPoint<double>(); // the whole finite range
    case 1: {
        // A bit pattern: subnormals, extremes, negative zero.
        const auto b = fdp.ConsumeIntegral<uint64_t>();
        double x;
        std::memcpy(&x, &b, sizeof x);
        return std::isfinite(x) ? x : 0.0;
    }
    case 2:
        return double(fdp.ConsumeIntegral<int32_t>()); // counts and money
    default: // a typed decimal: digits over a power of ten
        return double(fdp.ConsumeIntegral<int64_t>()) / std::pow(10.0, fdp.ConsumeIntegralInRange(0, 20));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    Record record;
    QList<Valore> attesi; // the fields in file order; an empty row holds none
    const int righe = fdp.ConsumeIntegralInRange(0, 6);
    for (int r = 0; r < righe; ++r) {
        Riga riga;
        const int n = fdp.ConsumeIntegralInRange(0, 8);
        for (int i = 0; i < n; ++i) {
            switch (fdp.ConsumeIntegralInRange(0, 2)) {
            case 0: riga.append(std::monostate{}); break;
            case 1: riga.append(testo(fdp)); break;
            default: riga.append(numero(fdp)); break;
            }
        }
        record.append(riga);
        attesi.append(riga);
    }

    const QByteArray scritti = codificaRecord(record);
    const QString dove = QStringLiteral("%1 righe, %2").arg(righe).arg(QString::fromLatin1(scritti.toPercentEncoding()));
    QString motivo;
    const auto letti = leggiCampi(scritti, int(attesi.size()), &motivo);
    fuzz::verifica(letti.has_value(), "si rilegge cio' che si e' scritto", dove + u' ' + motivo);
    for (qsizetype i = 0; i < attesi.size(); ++i)
        fuzz::tornato(attesi[i], (*letti)[i], dove + QStringLiteral(", campo %1").arg(i + 1));
    fuzz::verifica(!leggiCampi(scritti, int(attesi.size()) + 1), "nessun campo in piu'", dove);
    return 0;
}
