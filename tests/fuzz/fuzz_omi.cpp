// The OMI quotations' reader on arbitrary bytes (a VALORI file, and a ZONE file after a
// length): it never crashes; what it reads holds together: every quotation belongs to one
// comune and is listed under it, the lines read and skipped are no more than the file's, each
// comune is found by its own name and province, and each zone is listed once.

#include "comune.h"
#include "core/omi.h"

#include <QSet>

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t n)
{
    FuzzedDataProvider fdp(dati, n);
    // Most inputs start as the file does, so that the lines after the header are reached.
    QByteArray valori = fdp.ConsumeBool()
        ? QByteArray("Quotazioni Immobiliari : Valori di Mercato - Semestre 2018/2\n"
                     "Area_territoriale;Regione;Prov;Comune_ISTAT;Comune_cat;Sez;Comune_amm;Comune_descrizione;"
                     "Fascia;Zona;LinkZona;Cod_Tip;Descr_Tipologia;Stato;Stato_prev;Compr_min;Compr_max;"
                     "Sup_NL_compr;Loc_min;Loc_max;Sup_NL_loc;\n")
        : QByteArray();
    const std::string zone = fdp.ConsumeRandomLengthString(256);
    const std::string resto = fdp.ConsumeRemainingBytesAsString();
    valori.append(resto.data(), qsizetype(resto.size()));
    const qsizetype righe = valori.count('\n') + 1;

    QString motivo;
    const auto q = QuotazioniOmi::leggi(valori, QByteArray::fromStdString(zone), &motivo);
    if (!q) {
        fuzz::verifica(!motivo.isEmpty(), "un file rifiutato dice perché");
        return 0;
    }
    fuzz::verifica(q->quotazioni() > 0, "un file letto ha almeno una quotazione");
    fuzz::verifica(q->quotazioni() + q->righeNonLette() <= righe, "non più righe di quante il file ne abbia");
    qsizetype somma = 0;
    for (std::size_t c = 0; c < q->comuni().size(); ++c) {
        const ComuneOmi &co = q->comuni()[c];
        fuzz::verifica(co.fine > co.inizio, "ogni comune ha le sue quotazioni", co.visibile());
        const auto lista = q->quotazioniDi(int(c));
        fuzz::verifica(lista.size() == co.fine - co.inizio, "le quotazioni del comune sono le sue", co.visibile());
        somma += lista.size();
        fuzz::verifica(q->comuniDiNome(co.visibile()).contains(int(c)), "il comune si trova col suo nome",
                       co.visibile());
        QSet<QString> viste;
        qsizetype perZona = 0;
        for (const ZonaOmi &z : q->zoneDi(int(c))) {
            fuzz::verifica(!viste.contains(z.zona.toUpper()), "ogni zona una volta", z.zona);
            viste.insert(z.zona.toUpper());
            perZona += q->quotazioniDi(int(c), z.zona).size();
        }
        fuzz::verifica(perZona == lista.size(), "le quotazioni delle zone sono quelle del comune", co.visibile());
        for (const QuotazioneOmi &r : lista)
            fuzz::verifica(viste.contains(r.zona.toUpper()) && valoreOmi(r.minimo) && valoreOmi(r.massimo),
                           "ogni quotazione ha la sua zona e valori leggibili", r.zona);
    }
    fuzz::verifica(somma == q->quotazioni(), "ogni quotazione appartiene a un comune");
    fuzz::verifica(q->cerca(QString()).size() == qsizetype(q->comuni().size()), "senza testo, tutti i comuni");
    return 0;
}
