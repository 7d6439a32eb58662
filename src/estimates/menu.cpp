#include "estimates/menu.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "estimates/finestre.h"
#include "reports/foglio.h"
#include "estimates/quotazioniomi.h"
#include "ui/comandi.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"

#include <QStyle>

namespace perix {

namespace {

constexpr QSize areaProgetto(640, 395);

DescrizioneCornice descrizioneMenu()
{
    // A report asked for another estimate is information, not a fault.
    return {1, QStringLiteral("Menu"), QStringLiteral("Perix: menu e stima area fabbricabile"), menuPredefiniti(), 126,
            dialoghi::Icona::Informazione};
}

} // namespace

menu::menu() : FinestraStima(descrizioneMenu())
{
    setObjectName(QStringLiteral("menu"));
    creaControlli();
    completaCaricamento(areaProgetto);
    // Load: nothing chosen yet, shared texts set whichever way this window is reached.
    for (QRadioButton *b : {aree, disaggregati, sintetici, tipologici, altezze})
        deseleziona(b);
    Modulo::impostatesti();
    // Its record: two lines of quoted texts, three and two, the first a currency caption.
    dichiaraArchivio({.prefisso = QStringLiteral("Perix-menu-"),
                      .titoloApri = QStringLiteral("Apri file (menu)"),
                      .riconosci = recordMenu},
                     [this](QString *rifiuto) { return scrivimenu(rifiuto); });
    dichiaraRapporto([this](QString *rifiuto) { return rapportoDi(datiRapporto(rifiuto), rapportoMenu); });
    dichiaraFoglio([this](QString *rifiuto) { return foglioDi(datiRapporto(rifiuto), scriviFoglioMenu); });
}

void menu::moneta_Click(int Index)
{
    for (QRadioButton *b : {aree, disaggregati, sintetici, tipologici, altezze})
        b->setEnabled(true);
    Modulo::valuta = Index == 1 ? QStringLiteral("in lire") : QStringLiteral("in euro");
    impostapasso(Passo::TipoStima);
    soldi()->setText(QStringLiteral("Valori ") + Modulo::valuta);
    Modulo::etichettavaluta = soldi()->text();
    Modulo::aggiornavaluta();
    seguipasso();
}

void menu::azzerastima()
{
    Modulo::classeedificio = 0;
    for (int k = 1; k <= 5; ++k)
        Label[std::size_t(k)]->setEnabled(false);
    for (int k = 1; k <= 3; ++k)
        deseleziona(Option1[std::size_t(k)]);
    for (QLineEdit *e : {valoremercato, costitotali, anni, superficie, costolordo})
        e->setEnabled(false);
    omi->setEnabled(false);
    caratt->hide();
    attento->hide();
    for (int k = 1; k <= 12; ++k)
        risultati[std::size_t(k)]->hide();
}

void menu::aree_Click()
{
    Modulo::tipostima = 1;
    azzerastima();
    for (int k = 1; k <= 4; ++k)
        Label[std::size_t(k)]->setEnabled(true);
    for (int k = 1; k <= 12; ++k)
        risultati[std::size_t(k)]->show();
    for (QLineEdit *e : {valoremercato, costitotali, anni, superficie})
        e->setEnabled(true);
    omi->setEnabled(true);
    // The results shown again take their warning with them: after an Apri, too, negative
    // results never stand without it (the report prints it by the same rule).
    attento->setVisible(risultatoNegativo(risultati[5]->text(), risultati[6]->text()));
    aggiornapasso();
    seguipasso();
}

void menu::disaggregati_click()
{
    Modulo::tipostima = 2;
    azzerastima();
    Label[1]->setEnabled(true);
    Label[2]->setEnabled(true);
    valoremercato->setEnabled(true);
    omi->setEnabled(true);
    costitotali->setEnabled(true);
    caratt->show();
    caratt->setEnabled(letturaSemplice(valoremercato->text()) > 0 && letturaSemplice(costitotali->text()) > 0);
    aggiornapasso();
    seguipasso();
}

void menu::sintetici_click()
{
    Modulo::tipostima = 3;
    azzerastima();
    Label[5]->setEnabled(true);
    costolordo->setEnabled(true);
    caratt->show();
    costolordo_Change(); // the class buttons and the guidance, by the figure's one reading
    seguipasso();
}

void menu::tipologici_click()
{
    Modulo::tipostima = 4;
    azzerastima();
    aggiornapasso();
    registro::mostra<risultatitipologie>();
}

void menu::altezze_Click()
{
    Modulo::tipostima = 5;
    azzerastima();
    aggiornapasso();
    registro::mostra<variocosto>();
}

void menu::valoremercato_Change()
{
    // Another figure than the quotation's: its source goes with it.
    if (allegato().omi && allegato().omi->valore != valoremercato->text()) {
        Allegato a = allegato();
        a.omi.reset();
        impostaAllegato(std::move(a));
    }
    caratt->setEnabled(false);
    if (letturaSemplice(valoremercato->text()) > 0 && letturaSemplice(costitotali->text()) > 0)
        caratt->setEnabled(true);
    stimaarea();
    aggiornapasso();
}

void menu::costitotali_Change()
{
    // Another figure typed over one carried in from a cost window: its source goes with it.
    if (allegato().costo && allegato().costo->valore != costitotali->text()) {
        Allegato a = allegato();
        a.costo.reset();
        impostaAllegato(std::move(a));
    }
    valoremercato_Change();
}

void menu::ricevicosto(const FonteCosto &fonte)
{
    Allegato a = allegato();
    a.costo = fonte;
    impostaAllegato(std::move(a));
    costitotali->setText(fonte.valore);
}

void menu::costolordo_Change()
{
    // The class costs read the figure the Italian way: the class buttons wait for a figure
    // that reads so, and one that is no number is said quietly in the field and below.
    const auto N = letturaLocale(costolordo->text());
    caratt->setEnabled(N.value_or(0) > 0);
    aggiornapasso();
    auto *avviso = costolordo->findChild<QAction *>(QStringLiteral("avvisocostolordo"));
    if (!avviso) {
        avviso = costolordo->addAction(style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::LeadingPosition);
        avviso->setObjectName(QStringLiteral("avvisocostolordo"));
    }
    const bool errato = !N && !costolordo->text().trimmed().isEmpty();
    avviso->setVisible(errato);
    avviso->setToolTip(errato ? QStringLiteral("non è un numero: scriverlo ad esempio 1.250,50") : QString());
    avviso->setText(avviso->toolTip()); // what a screen reader says of the sign
    if (errato)
        impostapasso(Passo::CorreggiCostoLordo);
}

void menu::anni_Change()
{
    aggiornapasso();
    stimaarea();
}

void menu::superficie_Change()
{
    stimaarea();
    aggiornapasso();
}

void menu::stimaarea()
{
    attento->hide();
    const EsitoStimaArea e = calcolaStimaArea(figureStima());
    for (int k = 1; k <= 6; ++k)
        if (e.testi[std::size_t(k)]) {
            risultati[std::size_t(k)]->setText(*e.testi[std::size_t(k)]);
            static_cast<Risultato *>(risultati[std::size_t(k)])->adatta();
        }
    if (e.troppiAnni) {
        dialoghi::stop(this, QStringLiteral("E' una esagerazione pensare a oltre 100 anni per la redditività!"),
                       Modulo::titolocontrollo);
        return;
    }
    if (risultatoNegativo(risultati[5]->text(), risultati[6]->text()))
        attento->show();
}

bool menu::valoreDaOmi(const FonteOmi &fonte)
{
    if (!valoremercato->isEnabled())
        return false;
    Allegato a = allegato();
    a.omi = fonte;
    impostaAllegato(std::move(a));
    valoremercato->setText(fonte.valore);
    return true;
}

void menu::omi_Click()
{
    registro::mostra<quotazioniomi>();
}

bool menu::caratteristicaScelta() const
{
    return Option1[1]->isChecked() || Option1[2]->isChecked() || Option1[3]->isChecked();
}

std::array<QLineEdit *, 4> menu::datiStima() const
{
    return {valoremercato, costitotali, anni, superficie}; // in the order of FiguraArea
}

std::array<QString, 4> menu::figureStima() const
{
    return {valoremercato->text(), costitotali->text(), anni->text(), superficie->text()};
}

QLineEdit *menu::figuraIlleggibile() const
{
    for (QLineEdit *e : datiStima())
        if (!letturaStima(e->text()).usabile())
            return e;
    return nullptr;
}

void menu::cancelladati_Click()
{
    Modulo::etichettavaluta.clear();
    Modulo::valuta.clear();
    registro::chiudi<menu>();
    registro::mostra<menu>();
}

void menu::apri_Click()
{
    const auto campi = apriArchivio(5, [](const QList<Campo> &c, QString *) { return std::optional(c); });
    if (!campi)
        return;
    // Each assignment runs the field's change handling, as if typed.
    valoremercato->setText(campi->at(1).testo);
    costitotali->setText(campi->at(2).testo);
    anni->setText(campi->at(3).testo);
    superficie->setText(campi->at(4).testo);
    soldi()->setText(campi->at(0).testo);
    Modulo::etichettavaluta = soldi()->text();
    Modulo::aggiornavaluta();
    // The currency button that matches the caption, with what a click on it does: the
    // estimate buttons come alive and the shared currency follows the file.
    for (int k : {1, 2}) {
        if (soldi()->text() != QStringLiteral("Valori ") + (k == 1 ? QStringLiteral("in lire") : QStringLiteral("in euro")))
            continue;
        const bool giaMoneta = moneta[std::size_t(k)]->isChecked();
        moneta[std::size_t(k)]->setChecked(true);
        if (giaMoneta)
            moneta_Click(k);
    }
    const bool giaScelta = aree->isChecked();
    aree->setChecked(true);
    costolordo->setText(QString());
    if (giaScelta)
        aree_Click(); // checking it again raised nothing
    // A source whose figure the file no longer holds is not the figure's.
    Allegato a = allegato();
    a.verificaFonti(valoremercato->text(), costitotali->text());
    if (!(a == allegato()))
        impostaAllegato(std::move(a));
    fileAperto(nomefile());
    seguipasso();
}

std::optional<Record> menu::scrivimenu(QString *rifiuto) const
{
    if (Modulo::tipostima == 0)
        return rifiuta(rifiuto, QStringLiteral("Non esistono dati da archiviare."));
    if (Modulo::tipostima != 1)
        return rifiuta(rifiuto, QStringLiteral("In questa finestra possono essere archiviati solo i dati della "
                                               "stima di aree fabbricabili, utilizzare le altre finestre per "
                                               "archiviare dati di stime diverse."));
    return Record{{soldi()->text(), valoremercato->text(), costitotali->text()}, {anni->text(), superficie->text()}};
}

std::optional<DatiRapportoMenu> menu::datiRapporto(QString *rifiuto) const
{
    if (!aree->isChecked())
        return rifiuta(rifiuto, rifiutoStampaMenu());
    DatiRapportoMenu d;
    // The figures are in the currency the window shows: after an open that is the file's,
    // whatever was picked before (and in a fresh session nothing was).
    d.valuta = valutaDidascalia(soldi()->text()).value_or(Modulo::valuta);
    d.valoremercato = valoremercato->text();
    d.costitotali = costitotali->text();
    d.anni = anni->text();
    d.superficie = superficie->text();
    if (allegato().omi && allegato().omi->valore == d.valoremercato)
        d.omi = allegato().omi;
    for (int k = 1; k <= 6; ++k)
        d.risultati[std::size_t(k)] = risultati[std::size_t(k)]->text();
    if (allegato().costo && allegato().costo->valore == d.costitotali)
        d.fonteCosto = allegato().costo;
    return d;
}

} // namespace perix
