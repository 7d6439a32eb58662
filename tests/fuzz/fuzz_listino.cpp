// The price list on arbitrary bytes: the reader never crashes, never keeps more than 100
// products, its count is the products it kept, every price kept can be shown, and what it
// kept, written again, reads back equal without a note. A list written by the archive encoder
// reads back equal, and cut anywhere that still reads as the start of its text it keeps no
// product that was not in the whole list (but the one the cut fell in, whose last price may
// read shorter).

#include "core/campi.h"
#include "comune.h"
#include "core/numeri.h"
#include "core/lettura_listino.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

QString descrivi(const Prodotto &p)
{
    return QStringLiteral("[%1 | %2 | %3 | %4]")
        .arg(p.nome, p.argomento, fuzz::descrivi(p.prezzonetto), fuzz::descrivi(p.prezzoofferta));
}

// Equal as the user sees them: prices to their 15 significant digits.
bool uguali(const QList<Prodotto> &a, const QList<Prodotto> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].nome != b[i].nome || a[i].argomento != b[i].argomento
            || numeroInvariante(a[i].prezzonetto) != numeroInvariante(b[i].prezzonetto)
            || numeroInvariante(a[i].prezzoofferta) != numeroInvariante(b[i].prezzoofferta))
            return false;
    return true;
}

void sensato(const Listino &l, const QString &dove)
{
    fuzz::verifica(l.numeroprodotti() <= massimoProdotti, "mai piu' di 100 prodotti", dove);
    fuzz::verifica(l.numeroprodotti() == l.prodotti.size(), "il numero e' quello dei prodotti letti", dove);
    for (const Prodotto &p : l.prodotti)
        fuzz::verifica(rappresentabile(p.prezzonetto) && rappresentabile(p.prezzoofferta),
                       "ogni prezzo tenuto si puo' mostrare", dove + u' ' + descrivi(p));
}

void comeFile(const QByteArray &byte)
{
    const QString dove = QStringLiteral("file %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    const Listino l = leggiListino(byte);
    sensato(l, dove);
    // What was kept, written again with its own count, is a list that reads whole.
    Record r{{l.annolistino, double(l.numeroprodotti())}};
    for (const Prodotto &p : l.prodotti)
        r.append({p.nome, p.argomento, p.prezzonetto, p.prezzoofferta});
    const Listino di_nuovo = leggiListino(codificaRecord(r));
    fuzz::verifica(di_nuovo.nota.isEmpty() && di_nuovo.annolistino == l.annolistino && uguali(di_nuovo.prodotti, l.prodotti),
                   "cio' che si tiene, riscritto, si rilegge uguale", dove + u' ' + di_nuovo.nota);
}

const char16_t *const pezzi[] = {
    u"\"", u"\"\"", u",", u" ", u"Perix", u"stima di aree", u"è", u"€", u"Ã¨", u"<b>", u"\U0001F3E0", u"\u00a0",
};

QString testo(FuzzedDataProvider &fdp) { return fuzz::testoDaPezzi(fdp, pezzi, 4); }

// A price as the encoder writes it and a reader takes it back.
double prezzo(FuzzedDataProvider &fdp)
{
    const double v = double(fdp.ConsumeIntegralInRange<int64_t>(-99999999999999, 99999999999999)) / 100.0;
    return QLocale::c().toDouble(numeroInvariante(v));
}

void scritto(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    const int n = fdp.ConsumeIntegralInRange(0, 110);
    const QString anno = testo(fdp);
    Record r{{anno, double(n)}};
    QList<Prodotto> attesi;
    for (int i = 0; i < n; ++i) {
        Prodotto p{testo(fdp), testo(fdp), prezzo(fdp), prezzo(fdp)};
        r.append({p.nome, p.argomento, p.prezzonetto, p.prezzoofferta});
        if (i < massimoProdotti)
            attesi.append(p);
    }
    const QByteArray byte = codificaRecord(r);
    const QString dove = QStringLiteral("scritto %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    const Listino l = leggiListino(byte);
    sensato(l, dove);
    fuzz::verifica(l.annolistino == anno, "l'anno torna uguale", dove);
    fuzz::verifica(l.nota.isEmpty() == (n <= massimoProdotti), "una nota solo oltre i 100 prodotti", dove + u' ' + l.nota);
    fuzz::verifica(l.prodotti == attesi, "i prodotti tornano uguali", dove);

    const auto taglio = fdp.ConsumeIntegralInRange<qsizetype>(0, byte.size());
    const Listino t = leggiListino(byte.left(taglio));
    sensato(t, dove + QStringLiteral(" tagliato a %1").arg(taglio));
    fuzz::verifica(t.numeroprodotti() <= l.numeroprodotti(), "tagliato non ha piu' prodotti", dove);
    // The encoding is told from the whole file: a cut that takes away its only byte that is
    // no UTF-8 ("Ã¨" then "\xA0" in Windows-1252), or splits a UTF-8 letter, reads in the
    // other one and other letters. Only a cut that reads as the start of the whole text must
    // keep its products.
    if (!decodificaTesto(byte).startsWith(decodificaTesto(byte.left(taglio))))
        return;
    for (int i = 0; i + 1 < t.numeroprodotti(); ++i)
        fuzz::verifica(t.prodotti[i] == l.prodotti[i], "tagliato tiene i prodotti interi del listino",
                       dove + QStringLiteral(" tagliato a %1: %2").arg(taglio).arg(descrivi(t.prodotti[i])));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    comeFile(QByteArray(reinterpret_cast<const char *>(dati), qsizetype(dimensione)));
    scritto(dati, dimensione);
    return 0;
}
