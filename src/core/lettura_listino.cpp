#include "core/lettura_listino.h"

#include "core/campi.h"
#include "core/numeri.h"

#include <cmath>

namespace perix {

namespace {

// Where the quoted field that is never closed begins, or -1. Follows the field reader
// byte by byte: quotes, commas and line ends are the same bytes in UTF-8 and Windows-1252.
qsizetype aperturaNonChiusa(const QByteArray &dati)
{
    const qsizetype n = dati.size();
    qsizetype p = 0;
    while (p < n) {
        while (p < n && (dati[p] == ' ' || dati[p] == '\t'))
            ++p;
        if (p < n && dati[p] == '"') {
            const qsizetype apertura = p++;
            for (;;) {
                if (p == n)
                    return apertura;
                if (dati[p] == '"') {
                    if (p + 1 < n && dati[p + 1] == '"') {
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                ++p;
            }
        }
        while (p < n && dati[p] != ',' && dati[p] != '\r' && dati[p] != '\n')
            ++p;
        if (p < n && dati[p] == '\r' && p + 1 < n && dati[p + 1] == '\n')
            ++p;
        ++p;
    }
    return -1;
}

// A price the grid and the printed list can show: a number within 15 digits.
std::optional<double> prezzo(const Campo &c)
{
    const auto v = c.numero();
    if (!v || !rappresentabile(*v))
        return std::nullopt;
    return *v;
}

QString prodottiLetti(int n)
{
    return n == 1 ? QStringLiteral("1 prodotto") : QStringLiteral("%1 prodotti").arg(n);
}

} // namespace

Listino leggiListino(const QByteArray &dati)
{
    Listino l;
    QString motivo;
    auto righe = leggiRighe(dati, &motivo);
    bool interrotto = false;
    if (!righe) {
        // A list cut off inside a quoted text: the products before that text are whole.
        if (const qsizetype q = aperturaNonChiusa(dati); q >= 0) {
            righe = leggiRighe(dati.left(q));
            interrotto = righe.has_value();
        }
        if (!righe) {
            l.nota = QStringLiteral("Listino non leggibile: %1.").arg(motivo);
            return l;
        }
    }
    // Fields follow one another across line ends; a blank line holds none.
    QList<Campo> campi;
    for (const QList<Campo> &r : std::as_const(*righe))
        if (!(r.size() == 1 && r[0].vuoto()))
            campi += r;
    if (campi.size() < 2) {
        if (!campi.isEmpty())
            l.annolistino = campi[0].testo;
        l.nota = interrotto ? QStringLiteral("Listino non leggibile: %1.").arg(motivo)
                            : QStringLiteral("Il listino è vuoto: non indica quanti prodotti contiene.");
        return l;
    }
    l.annolistino = campi[0].testo;

    // The count announced: a whole number from 0 to 100 is taken as it is; one above 100
    // shows the first 100; anything else shows the products the file holds.
    const QString scritto = campi[1].testo;
    const auto numero = campi[1].numero();
    const bool intero = numero && *numero >= 0 && std::floor(*numero) == *numero;
    const bool troppi = intero && *numero > massimoProdotti;
    const bool valido = intero && !troppi;
    const int limite = valido ? int(*numero) : massimoProdotti;

    int illeggibile = 0; // the first product whose prices do not read, from 1
    for (int i = 0; i < limite; ++i) {
        const qsizetype base = 2 + qsizetype(i) * 4;
        if (base + 3 >= campi.size())
            break;
        const auto netto = prezzo(campi[base + 2]);
        const auto offerta = prezzo(campi[base + 3]);
        if (!netto || !offerta) {
            illeggibile = i + 1;
            break;
        }
        l.prodotti.append({campi[base].testo, campi[base + 1].testo, *netto, *offerta});
    }

    const int letti = l.numeroprodotti();
    const QString mostrati = letti == 0   ? QStringLiteral("nessun prodotto è mostrato")
                             : letti == 1 ? QStringLiteral("è mostrato soltanto il primo")
                                          : QStringLiteral("sono mostrati i primi %1").arg(prodottiLetti(letti));
    if (illeggibile > 0)
        l.nota = QStringLiteral("Il prodotto %1 del listino ha un prezzo non valido: %2.").arg(illeggibile).arg(mostrati);
    else if (!intero)
        l.nota = QStringLiteral("Il numero di prodotti del listino («%1») non è valido: %2.")
                     .arg(scritto.left(20), letti == 0 ? QStringLiteral("nessun prodotto è mostrato")
                                                        : QStringLiteral("sono mostrati i %1 letti").arg(prodottiLetti(letti)));
    else if (letti < limite)
        l.nota = QStringLiteral("Il listino annuncia %1 ma %2.")
                     .arg(valido ? prodottiLetti(limite) : scritto.left(20) + QStringLiteral(" prodotti"),
                          letti == 0   ? QStringLiteral("non ne contiene nessuno")
                          : letti == 1 ? QStringLiteral("ne contiene uno solo")
                                       : QStringLiteral("ne contiene %1").arg(letti));
    else if (troppi)
        l.nota = QStringLiteral("Il listino annuncia %1 prodotti: sono mostrati soltanto i primi %2, il massimo previsto.")
                     .arg(scritto.left(20), QString::number(massimoProdotti));
    return l;
}

Listino caricaListino(const QString &percorso)
{
    if (percorso.isEmpty()) {
        Listino l;
        l.nota = QStringLiteral("Listino non disponibile: il file listino.txt non è stato trovato.");
        return l;
    }
    QString motivo;
    const auto dati = leggiFile(percorso, &motivo);
    if (!dati) {
        Listino l;
        l.nota = QStringLiteral("Listino non leggibile: %1.").arg(motivo);
        return l;
    }
    return leggiListino(*dati);
}

} // namespace perix
