// The main window's hand-over: a building class chosen for the disaggregated or synthetic
// estimate passes the figures to that cost window and shows it.
#include "estimates/menu.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "estimates/finestre.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"

namespace perix {

void menu::Option1_Click(int Index)
{
    risultatisintetici *rs = registro::prendi<risultatisintetici>();
    rs->nascondiIcone();
    Modulo::classeedificio = Index;
    m_descrizioneclasse = descrizioneClasse(Index);
    if (sintetici->isChecked()) {
        const auto N = letturaLocale(costolordo->text());
        if (!N) {
            // A cost that is not a number would derive three meaningless columns.
            dialoghi::stop(this,
                           QStringLiteral("Il costo per mq. di superficie lorda \"%1\" non è un numero valido: "
                                          "correggerlo (ad esempio 1.250,50) e scegliere di nuovo le caratteristiche "
                                          "dell'edificio.")
                               .arg(costolordo->text()),
                           Modulo::titolocontrollo);
            return;
        }
        rs->mostraIcona(Index);
        const CostiClassi k = costiClassi(Index, costolordo->text(), *N);
        costoeconomico = k.testo[1];
        costomedio = k.testo[2];
        costoevoluto = k.testo[3];
        calcolasintetici();
    } else {
        Modulo::percentualiclasse = schemaClasse(Index);
        passaadisaggregati();
    }
    seguipasso();
}

void menu::calcolasintetici()
{
    risultatisintetici *rs = registro::prendi<risultatisintetici>();
    rs->impostaColonna(1, colonnaSintetica(1, costoeconomico));
    rs->impostaColonna(2, colonnaSintetica(2, costomedio));
    rs->impostaColonna(3, colonnaSintetica(3, costoevoluto));
    rs->figureCambiate();
    registro::mostra<risultatisintetici>();
}

void menu::passaadisaggregati()
{
    if (costitotali->text().isEmpty() || valoremercato->text().isEmpty())
        return;
    const auto C = letturaLocale(costitotali->text());
    const auto V = letturaLocale(valoremercato->text());
    if (!C || !V) {
        dialoghi::stop(this,
                       QStringLiteral("Il %1 \"%2\" non è un numero valido: correggerlo (ad esempio 1.250.000) e "
                                      "scegliere di nuovo le caratteristiche dell'edificio.")
                           .arg(!V ? QStringLiteral("valore di mercato del fabbricato") : QStringLiteral("dato dei costi totali"),
                                !V ? valoremercato->text() : costitotali->text()),
                       Modulo::titolocontrollo);
        return;
    }
    risultatidisaggregati *rd = registro::prendi<risultatidisaggregati>();
    rd->ricevi(m_descrizioneclasse, formattanumero(valoremercato->text()), formattanumero(costitotali->text()),
               formattanumero(testoNumero(*V - *C)));
    rd->figureCambiate();
    registro::mostra<risultatidisaggregati>();
}

} // namespace perix
