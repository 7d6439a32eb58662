// The main window's checks: "Controllo dati immessi", and the notes on figures the
// valuation reads otherwise than an Italian would.
#include "estimates/menu.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"

namespace perix {

void menu::controlla_click()
{
    const auto ferma = [this](const char *testo) {
        dialoghi::stop(this, QString::fromUtf8(testo), Modulo::titolocontrollo);
    };
    const bool senzaClasse = Modulo::classeedificio.value_or(0) == 0;
    if (soldi()->text().isEmpty())
        return ferma("Scegliere il tipo di valuta.");
    switch (Modulo::tipostima) {
    case 0:
        return ferma("Scegliere il tipo di stima da effettuare.");
    case 1:
        // Filled is not enough: a figure still ambiguous, or one the valuation cannot take,
        // is no correct datum (the batch refuses such a file with the same words).
        if (const auto no = rifiutoStimaArea(figureStima())) {
            dialoghi::stop(this, *no, Modulo::titolocontrollo);
            return;
        }
        break;
    case 2:
        if (valoremercato->text().isEmpty())
            return ferma("Digitare il valore di mercato del fabbricato.");
        if (costitotali->text().isEmpty())
            return ferma("Digitare i costi totali.");
        if (senzaClasse)
            return ferma("Scegliere il tipo di caratteristiche costruttive dell'edificio.");
        break;
    case 3:
        if (costolordo->text().isEmpty())
            return ferma("Digitare il costo per mq. di superficie lorda.");
        if (senzaClasse)
            return ferma("Scegliere il tipo di caratteristiche costruttive dell'edificio.");
        break;
    default:
        break;
    }
    dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                        dialoghi::Icona::Informazione);
}

void menu::aggiornanote()
{
    // Only the plot valuation reads its figures plainly; the other estimates read them
    // the Italian way, or not at all.
    const bool valutazione = aree->isChecked();
    QStringList righe, nomi;
    const auto dati = datiStima();
    for (std::size_t i = 0; i < dati.size(); ++i) {
        const auto figura = FiguraArea(i);
        const auto nota = valutazione ? notaFigura(figura, dati[i]->text()) : std::nullopt;
        avvisi[i]->setVisible(nota.has_value());
        avvisi[i]->setToolTip(nota ? nota->testo() : QString());
        avvisi[i]->setText(nota ? nota->testo() : QString()); // what a screen reader says of the sign
        if (nota) {
            nomi << nomeBreveFigura(figura);
            righe << rigaNota(figura, *nota);
        }
    }
    // Two notes fill the panel; beyond that it names the figures and the signs tell why.
    if (righe.size() > 2)
        righe = {QStringLiteral("%1 sono letti diversamente da come sono scritti: il segno in ogni campo "
                                "ne dice il motivo.").arg(nomi.join(QStringLiteral(", ")))};
    notelettura->setText(righe.join(u'\n'));
    notelettura->setVisible(!righe.isEmpty());
}

} // namespace perix
