// The main window's guidance: the line that names the next step, the keyboard focus that
// follows it, and AIUTO.
#include "estimates/menu.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"

#include <algorithm>

namespace perix {

namespace {

bool vuoto(const QLineEdit *e) { return e->text().isEmpty(); }

} // namespace

void menu::aggiornapasso()
{
    aggiornanote(); // runs on every change of a figure and every choice of estimate
    const bool a = aree->isChecked(), d = disaggregati->isChecked(), s = sintetici->isChecked();
    Passo p = Passo::AltraStima;
    if ((a || d) && vuoto(valoremercato))
        p = Passo::ValoreMercato;
    else if ((a || d) && vuoto(costitotali))
        p = Passo::CostiTotali;
    else if (a && vuoto(anni))
        p = Passo::Anni;
    else if (a && vuoto(superficie))
        p = Passo::Superficie;
    else if (a && figuraIlleggibile())
        p = Passo::CorreggiFigure;
    else if (a)
        p = Passo::Risultati;
    else if (s && vuoto(costolordo))
        p = Passo::CostoLordo;
    else if (d || (s && !caratteristicaScelta()))
        p = Passo::Caratteristiche;
    impostapasso(p);
}

QString menu::testoPasso(Passo p)
{
    switch (p) {
    case Passo::Valuta: return QStringLiteral("scegliere la valuta del calcolo");
    case Passo::TipoStima: return QStringLiteral("cliccare sul tasto del tipo di stima prescelto");
    case Passo::ValoreMercato: return QStringLiteral("digitare il valore di mercato del fabbricato");
    case Passo::CostiTotali: return QStringLiteral("digitare il dato dei costi totali");
    case Passo::Anni: return QStringLiteral("digitare gli anni per redditività");
    case Passo::Superficie: return QStringLiteral("digitare la superficie del terreno");
    case Passo::Risultati: return QStringLiteral("leggere i risultati della stima");
    case Passo::CostoLordo: return QStringLiteral("digitare il costo per mq. di superficie lorda");
    case Passo::Caratteristiche: return QStringLiteral("scegliere una delle caratteristiche dell'edificio");
    case Passo::AltraStima: return QStringLiteral("scegliere un altro tipo di stima");
    case Passo::CorreggiCostoLordo:
        return QStringLiteral("correggere il costo per mq. di superficie lorda: non è un numero (ad esempio 1.250,50)");
    case Passo::CorreggiFigure:
        return QStringLiteral("correggere il dato segnalato: la nota accanto dice come scriverlo");
    }
    return {};
}

void menu::impostapasso(Passo p)
{
    m_passo = p;
    passo->setText(testoPasso(p));
}

void menu::seguipasso()
{
    // The line may say something else meanwhile (the report's progress): then it asks nothing.
    if (passo->text() != testoPasso(m_passo))
        return;
    const auto scelto = [](std::initializer_list<QRadioButton *> pulsanti) {
        for (QRadioButton *b : pulsanti)
            if (b->isChecked())
                return b;
        return *pulsanti.begin();
    };
    QWidget *dove = nullptr;
    switch (m_passo) {
    case Passo::ValoreMercato: dove = valoremercato; break;
    case Passo::CostiTotali: dove = costitotali; break;
    case Passo::Anni: dove = anni; break;
    case Passo::Superficie: dove = superficie; break;
    case Passo::CorreggiFigure: dove = figuraIlleggibile(); break;
    case Passo::CostoLordo: dove = costolordo; break;
    case Passo::Caratteristiche: dove = scelto({Option1[1], Option1[2], Option1[3]}); break;
    case Passo::Valuta: dove = scelto({moneta[1], moneta[2]}); break;
    case Passo::TipoStima:
    case Passo::AltraStima: dove = scelto({aree, disaggregati, sintetici, tipologici, altezze}); break;
    case Passo::Risultati:
    case Passo::CorreggiCostoLordo: break;
    }
    if (dove && dove->isEnabled())
        dove->setFocus(Qt::OtherFocusReason);
}

void menu::aiuto_Click()
{
    const bool a = aree->isChecked(), d = disaggregati->isChecked(), s = sintetici->isChecked();
    const bool nessuna = !a && !d && !s && !tipologici->isChecked() && !altezze->isChecked();
    // The figures as the valuation reads them.
    const double V = letturaStima(valoremercato->text()).valore, C = letturaStima(costitotali->text()).valore;
    auto icona = dialoghi::Icona::Informazione;
    QString t;
    if (Modulo::valuta.isEmpty())
        t = QStringLiteral("Scegliere il tipo di moneta da usare cliccando sull'apposito tasto in basso a sinistra o aprire un file con i dati archiviati (Perix-menu-...).");
    else if (nessuna)
        t = QStringLiteral("Scegliere il tipo di stima da effettuare cliccando su uno dei tasti rossi sulla sinistra.");
    else if (QLineEdit *e = a ? figuraIlleggibile() : nullptr) {
        const auto campi = datiStima();
        const auto f = FiguraArea(std::find(campi.begin(), campi.end(), e) - campi.begin());
        t = rifiutoFigura(f, e->text()).value_or(QString());
    } else if ((a || d) && V == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Valore di mercato del fabbricato'.");
    else if ((a || d) && C == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Costi totali'.");
    else if (a && V < C) {
        t = QStringLiteral("Attenzione: sono stati digitati costi superiori al valore finale del fabbricato.");
        icona = dialoghi::Icona::Domanda;
    } else if (a && letturaStima(superficie->text()).valore == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Superficie del terreno in mq.' altrimenti non potranno essere calcolati i valori massimi e minimi per mq. dell'area.");
    else if (a && letturaStima(anni->text()).valore == 0)
        t = QStringLiteral("Attenzione: il valore degli 'Anni per redditività' è zero, ciò significa che l'epoca della stima coincide con l'inizio di redditività del fabbricato.");
    else if (s && letturaSemplice(costolordo->text()) == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Costo per mq. di superficie lorda'.");
    else if ((d || s) && !caratteristicaScelta())
        t = QStringLiteral("Scegliere il tipo di caratteristiche dell'edificio.");
    else
        t = QStringLiteral("Scegliere tra le seguenti possibilità:\n- digitare dati diversi per cambiare la stima;\n"
                           "- scegliere un tipo diverso di stima;\n"
                           "- ricominciare daccapo azzerando tutto con il penultimo tasto della barra degli strumenti.");
    dialoghi::messaggio(this, t, Modulo::titoloaiuto, icona);
}

} // namespace perix
