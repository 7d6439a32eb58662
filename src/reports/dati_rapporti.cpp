#include "reports/dati_rapporti.h"

#include "core/calcoli.h"
#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_sintetici.h"
#include "core/calcoli_tipologie.h"
#include "core/numeri.h"
#include "core/tipi.h"

namespace perix {

namespace {

// What a text field shows of a text set into it.
QString nelCampo(const QString &testo)
{
    return testo.left(caratteriCampo);
}

} // namespace

int campiRapporto(TipoArchivio tipo)
{
    // The record's fields, line after line, as the core lays the kind's record out.
    int n = 0;
    for (const QByteArray &riga : formaRecord(tipo))
        n += int(riga.size());
    return n;
}

std::optional<DatiRapportoMenu> datiRapportoMenu(const QList<Campo> &campi, QString *rifiuto)
{
    // Without its five fields the window takes nothing and no estimate is chosen.
    if (campi.size() < 5)
        return rifiuta(rifiuto, rifiutoStampaMenu());
    DatiRapportoMenu d;
    // In a fresh session no currency was ever picked: the file's caption is all there is.
    d.valuta = valutaDidascalia(campi[0].testo).value_or(QString());
    std::array<QString *, 4> figure{&d.valoremercato, &d.costitotali, &d.anni, &d.superficie};
    // The figures go into the fields one after the other, and each one that changes its
    // empty field runs the valuation on the figures in so far; a result it leaves alone
    // keeps its earlier text.
    for (std::size_t f = 0; f < figure.size(); ++f) {
        *figure[f] = nelCampo(campi[qsizetype(f) + 1].testo);
        if (figure[f]->isEmpty())
            continue;
        const EsitoStimaArea e = calcolaStimaArea({*figure[0], *figure[1], *figure[2], *figure[3]});
        for (std::size_t k = 1; k <= 6; ++k)
            if (e.testi[k])
                d.risultati[k] = *e.testi[k];
    }
    return d;
}

void fontiDaAllegato(DatiRapportoMenu &dati, const Allegato &allegato)
{
    Allegato a = allegato;
    a.verificaFonti(dati.valoremercato, dati.costitotali);
    dati.omi = a.omi;
    dati.fonteCosto = a.costo;
}

std::optional<DatiRapportoDisaggregati> datiRapportoDisaggregati(const QList<Campo> &campi, QString *rifiuto)
{
    const auto r = leggiDisaggregati(campi);
    if (!r || r->soldi.isEmpty())
        return rifiuta(rifiuto, nienteDaStampare());
    // The preset amounts as the file holds them; the percentages and the typed side stay
    // empty: no class schedule was handed over and no cost base typed in this session.
    DatiRapportoDisaggregati d{r->soldi, r->tipoedi, r->vm, r->cc, r->profitto, {}, {}, {}, {}};
    for (int k = 1; k <= categorie; ++k)
        d.ris[std::size_t(k)] = r->ris[std::size_t(k)];
    return d;
}

std::optional<DatiRapportoSintetici> datiRapportoSintetici(const QList<Campo> &campi, QString *rifiuto)
{
    const auto s = leggiSintetici(campi);
    if (!s || s->soldi.isEmpty())
        return rifiuta(rifiuto, nienteDaStampare());
    DatiRapportoSintetici d;
    d.soldi = s->soldi;
    d.griglia = s->griglia;
    for (int c = 1; c <= 3; ++c)
        d.icona[std::size_t(c)] = s->classe == c;
    return d;
}

std::optional<DatiRapportoTipologie> datiRapportoTipologie(const QList<Campo> &campi, QString *rifiuto)
{
    const auto r = leggiRecordTipologie(campi);
    const int k = r ? r->tipologiascelta : 0; // a choice out of range reads as none
    if (!r || r->soldi.isEmpty() || k < 1 || k > numeroTipologie)
        return rifiuta(rifiuto, nienteDaStampare());
    const QString costo = nelCampo(r->costonetto);
    auto edificio = r->edificio;
    auto vano = r->vano;
    // Choosing the row recomputes the table from the cost; with no cost it only asks for
    // one and the file's figures stay.
    if (!costo.isEmpty()) {
        const auto C = letturaLocale(costo);
        if (!C)
            return rifiuta(rifiuto, rifiutoStampaTipologie(costo));
        const EsitoTipologie e = calcolaTipologie(k, *C);
        edificio = e.edificio;
        vano = e.vano;
    }
    DatiRapportoTipologie d;
    d.soldi = r->soldi;
    d.costonetto = costo;
    d.tipologia = nomeTipologia(k);
    for (int c = 0; c < 3; ++c)
        d.intestazioni[std::size_t(c)] = intestazioneTipologie(c);
    for (int i = 1; i <= numeroTipologie; ++i)
        d.righe[std::size_t(i)] = {nomeTipologia(i), edificio[std::size_t(i)], vano[std::size_t(i)]};
    return d;
}

std::optional<DatiRapportoAltezze> datiRapportoAltezze(const QList<Campo> &campi, QString *rifiuto)
{
    const auto r = leggiRecordAltezze(campi);
    const int k = r ? r->altezzascelta : 0; // a choice out of range reads as none
    if (!r || r->soldi.isEmpty() || k < 1 || k > numeroAltezze)
        return rifiuta(rifiuto, nienteDaStampare());
    const QString costo = nelCampo(r->costopieno);
    const auto C = letturaLocale(costo);
    if (!costo.isEmpty() && !C)
        return rifiuta(rifiuto, rifiutoStampaAltezze(costo));
    auto varicosti = r->varicosti;
    std::array<QString, numeroAltezze + 1> percentuali;
    for (int i = 1; i <= numeroAltezze; ++i)
        percentuali[std::size_t(i)] = percentualeIniziale(i);
    // Choosing the class recomputes the table, unless the cost's plain reading is 0 ("0,5",
    // none): then it only asks for a cost, and the file's costs and the percentages the
    // window starts with stay.
    if (letturaSemplice(costo) != 0) {
        const EsitoAltezze e = calcolaAltezze(k, *C);
        varicosti = e.varicosti;
        percentuali = e.percentuale;
    }
    DatiRapportoAltezze d;
    d.soldi = r->soldi;
    d.etichetta = didascaliaCostoPieno();
    d.costopieno = costo;
    d.classe = nomeAltezza(k);
    d.intestazioni = {intestazioneAltezze(0), intestazioneAltezze(1)};
    for (int i = 1; i <= numeroAltezze; ++i)
        d.righe[std::size_t(i)] = {nomeAltezza(i), varicosti[std::size_t(i)], percentuali[std::size_t(i)]};
    return d;
}

} // namespace perix
