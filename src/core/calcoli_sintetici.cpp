#include "core/calcoli_sintetici.h"

#include "core/numeri.h"

#include <cmath>

namespace perix {

namespace {


} // namespace

Record recordSintetici(const DatiSintetici &d)
{
    Record r;
    Riga prima{d.soldi};
    prima.append(d.classe ? Valore(double(*d.classe)) : Valore(std::monostate{}));
    r.append(prima);
    for (std::size_t riga = 1; riga <= 5; ++riga)
        r.append(Riga{d.griglia[riga][1], d.griglia[riga][2], d.griglia[riga][3]});
    return r;
}

std::optional<DatiSintetici> leggiSintetici(const QList<Campo> &campi, QString *motivo)
{
    if (campi.size() < campiSintetici)
        return rifiuta(motivo, QStringLiteral("il file è incompleto: contiene %1 campi su %2 attesi")
                                   .arg(campi.size())
                                   .arg(campiSintetici));
    DatiSintetici d;
    d.soldi = campi[0].testo;
    // The class picks an icon and the shared building class: checked before anything is taken.
    const Campo &classe = campi[1];
    if (!classe.testo.trimmed().isEmpty()) {
        const auto n = classe.numero();
        if (!n || *n != std::trunc(*n) || *n < 0 || *n > 3)
            return rifiuta(motivo, QStringLiteral("il tipo di edificio scelto «%1» non è 1, 2 o 3")
                                       .arg(breve(classe.testo, 20)));
        if (*n != 0)
            d.classe = int(*n);
    }
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            d.griglia[r][c] = campi[qsizetype(2 + (r - 1) * 3 + (c - 1))].testo;
    return d;
}

std::optional<DatiSintetici> leggiSintetici(const QByteArray &dati, QString *motivo)
{
    const auto campi = leggiCampi(dati, campiSintetici, motivo);
    if (!campi)
        return std::nullopt;
    return leggiSintetici(*campi, motivo);
}

} // namespace perix
