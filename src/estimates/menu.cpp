#include "menu.h"

#include "app/dialoghi.h"
#include "app/finestreminime.h"
#include "app/modulo.h"
#include "app/registro.h"
#include "archive/comandi.h"
#include "reports/rapporti.h"
#include "estimates/calcoli.h"
#include "format/numeri.h"

#include <QRegularExpression>

namespace perix {

namespace {

constexpr QSize areaProgetto(640, 395);

DescrizioneCornice descrizioneMenu()
{
    return {1, QStringLiteral("Menu"), QStringLiteral("Perix: menu e stima area fabbricabile"), menuPredefiniti(), 126};
}

bool vuoto(const QLineEdit *e)
{
    return e->text().isEmpty();
}

} // namespace

void deseleziona(QRadioButton *b)
{
    if (!b->isChecked())
        return;
    const bool esclusivo = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(esclusivo);
}

menu::menu() : FinestraStima(descrizioneMenu())
{
    setObjectName(QStringLiteral("menu"));
    creaControlli();
    completaCaricamento(areaProgetto);
    // Load: nothing chosen yet, shared texts set whichever way this window is reached.
    for (QRadioButton *b : {aree, disaggregati, sintetici, tipologici, altezze})
        deseleziona(b);
    Modulo::impostatesti();
}

QLabel *menu::etichetta(const QString &nome, const QString &testo, QRect r, const QString &suggerimento)
{
    auto *l = new QLabel(testo, area());
    l->setObjectName(nome);
    l->setGeometry(r);
    if (!suggerimento.isEmpty())
        l->setToolTip(suggerimento);
    return l;
}

QLineEdit *menu::campo(const QString &nome, QRect r, const QString &suggerimento)
{
    auto *e = new QLineEdit(area());
    e->setObjectName(nome);
    e->setGeometry(r);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setMaxLength(40);
    if (!suggerimento.isEmpty())
        e->setToolTip(suggerimento);
    return e;
}

QRadioButton *menu::opzione(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                            const QString &suggerimento)
{
    auto *b = new QRadioButton(testo, genitore);
    b->setObjectName(nome);
    b->setGeometry(r);
    if (!suggerimento.isEmpty())
        b->setToolTip(suggerimento);
    return b;
}

void menu::creaControlli()
{
    QWidget *a = area();
    // Left column: currency, kind of estimate, building class, the four buttons.
    Frame1 = new QGroupBox(QStringLiteral("Valuta per il calcolo"), a);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 4, 284, 50);
    moneta[2] = opzione(Frame1, QStringLiteral("moneta(2)"), QStringLiteral("valori in euro"), {146, 22, 130, 22});
    moneta[1] = opzione(Frame1, QStringLiteral("moneta(1)"), QStringLiteral("valori in lire"), {10, 22, 120, 22});

    Frame2 = new QGroupBox(QStringLiteral("Tipo di stima"), a);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(8, 58, 284, 158);
    altezze = opzione(Frame2, QStringLiteral("altezze"), QStringLiteral("COSTI DI COSTRUZIONE PER AL&TEZZE"),
                      {10, 128, 270, 24},
                      QStringLiteral("cliccare per scegliere la procedura per avere i costi per tipologie di fabbricati"));
    tipologici = opzione(Frame2, QStringLiteral("tipologici"), QStringLiteral("COSTI DI COSTRUZIONE PER &TIPOLOGIE"),
                         {10, 102, 270, 24},
                         QStringLiteral("cliccare per scegliere la procedura per avere i costi per tipologie di fabbricati"));
    sintetici = opzione(Frame2, QStringLiteral("sintetici"), QStringLiteral("COSTI DI COSTRUZIONE &SINTETICI"),
                        {10, 76, 270, 24},
                        QStringLiteral("cliccare per scegliere la procedura di stima dei costi sintetici di un fabbricato"));
    disaggregati = opzione(Frame2, QStringLiteral("disaggregati"), QStringLiteral("COSTI DI COSTRUZIONE &DISAGGREGATI"),
                           {10, 50, 270, 24},
                           QStringLiteral("cliccare per scegliere la procedura di stima dei costi disaggregati di un edificio"));
    aree = opzione(Frame2, QStringLiteral("aree"), QStringLiteral("AREA FA&BBRICABILE"), {10, 24, 270, 24},
                   QStringLiteral("cliccare per scegliere la procedura di stima di un' area fabbricabile"));
    // The estimate buttons are the red keys the hints speak of.
    Frame2->setStyleSheet(QStringLiteral("QRadioButton { color: #a01818; }"
                                         "QRadioButton:disabled { color: #b8a0a0; }"));

    caratt = new QGroupBox(QStringLiteral("Caratteristiche dell'edificio"), a);
    caratt->setObjectName(QStringLiteral("caratt"));
    caratt->setToolTip(QStringLiteral("scegliere uno dei tre tipi di edificio"));
    caratt->setGeometry(8, 220, 284, 50);
    Option1[3] = opzione(caratt, QStringLiteral("Option1(3)"), QStringLiteral("evolute"), {196, 22, 84, 22},
                         QStringLiteral("edificio di tipo evoluto o signorile"));
    Option1[2] = opzione(caratt, QStringLiteral("Option1(2)"), QStringLiteral("medie"), {116, 22, 76, 22},
                         QStringLiteral("edificio di tipo medio o civile"));
    Option1[1] = opzione(caratt, QStringLiteral("Option1(1)"), QStringLiteral("economiche"), {10, 22, 96, 22},
                         QStringLiteral("edificio di tipo economico o popolare"));

    frame3()->setGeometry(8, 276, 284, 84);
    const QRect posti[] = {{8, 12, 130, 30}, {146, 12, 130, 30}, {8, 46, 130, 30}, {146, 46, 130, 30}};
    int i = 0;
    for (const char *n : {"cmduscita", "cmdmune", "guida", "aiuto"})
        if (auto *b = frame3()->findChild<QPushButton *>(QString::fromLatin1(n)))
            b->setGeometry(posti[i++]);

    // Right column: the figures, then the results.
    Label6 = etichetta(QStringLiteral("Label6"), QStringLiteral("Dati per l'elaborazione:"), {300, 6, 190, 20});
    QFont grassetto = Label6->font();
    grassetto.setBold(true);
    Label6->setFont(grassetto);
    soldi()->setGeometry(486, 6, 146, 20);
    soldi()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    soldi()->setToolTip(QStringLiteral("valuta scelta o prelevata da archivio"));
    soldi()->setFont(grassetto);

    const int xc = 300, wc = 208, xv = 512, wv = 120, h = 22;
    Label[1] = etichetta(QStringLiteral("Label1"), QStringLiteral(" Valore di mercato del fabbricato"), {xc, 30, wc, h},
                         QStringLiteral("il valore assunto sul mercato dal fabbricato dopo la sua costruzione"));
    Label[2] = etichetta(QStringLiteral("Label2"), QStringLiteral(" Costi totali"), {xc, 56, wc, h},
                         QStringLiteral("il totale dei costi di ogni genere affrontati per la costruzione del fabbricato"));
    Label[3] = etichetta(QStringLiteral("Label3"), QStringLiteral(" Anni per redditività"), {xc, 82, wc, h},
                         QStringLiteral("il tempo intercorrente tra l'epoca della stima e l'inizio della redditività del fabbricato"));
    Label[4] = etichetta(QStringLiteral("Label4"), QStringLiteral(" Superficie del terreno in mq."), {xc, 108, wc, h},
                         QStringLiteral("la superficie del terreno destinato alla costruzione del fabbricato"));
    Label[5] = etichetta(QStringLiteral("Label5"), QStringLiteral(" Costo per mq. di superficie lorda"), {xc, 134, wc, h},
                         QStringLiteral("costo per mq. di superficie di ogni piano del fabbricato, comprensiva dei muri e degli spazi aperti ma coperti"));
    valoremercato = campo(QStringLiteral("valoremercato"), {xv, 30, wv, h}, QStringLiteral("dato da digitare"));
    costitotali = campo(QStringLiteral("costitotali"), {xv, 56, wv, h});
    anni = campo(QStringLiteral("anni"), {xv, 82, wv, h});
    superficie = campo(QStringLiteral("superficie"), {xv, 108, wv, h});
    costolordo = campo(QStringLiteral("costolordo"), {xv, 134, wv, h});

    risultati[0] = etichetta(QStringLiteral("risultati(0)"), QStringLiteral(" RISULTATI DELLA STIMA DELL'AREA FABBRICABILE"),
                             {xc, 164, 332, 20});
    risultati[0]->setFont(grassetto);
    struct R { const char *didascalia, *suggerimento; };
    const R righe[6] = {
        {" Costo totale massimo dell'area", "stima massima dell'area necessaria alla costruzione del fabbricato"},
        {" Costo totale minimo dell'area", "stima minima dell'area necessaria alla costruzione del fabbricato"},
        {" Costo totale medio dell'area", "stima minima dell'area necessaria alla costruzione del fabbricato"},
        {" Valore massimo dell'area per mq.", "stima massima elementare dell'area a parità di 'valore fabbricato' e 'costi totali'"},
        {" Valore minimo dell'area per mq.", "stima minima elementare dell'area a parità di 'valore fabbricato' e 'costi totali' "},
        {" Valore medio dell'area per mq.", "stima minima elementare dell'area a parità di 'valore fabbricato' e 'costi totali' "},
    };
    for (int k = 1; k <= 6; ++k) {
        const int y = 186 + (k - 1) * 24;
        risultati[std::size_t(k + 6)] = etichetta(QStringLiteral("risultati(%1)").arg(k + 6),
                                                   QString::fromUtf8(righe[k - 1].didascalia), {xc, y, wc, h},
                                                   QString::fromUtf8(righe[k - 1].suggerimento));
        QLabel *v = etichetta(QStringLiteral("risultati(%1)").arg(k), QString(), {xv, y, wv, h});
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Read-only figures: boxed like the fields above, but not editable.
        v->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #b4bcc6; border-radius: 2px;"
                                        " background: #f7f9fb; padding: 0 5px; }"));
        risultati[std::size_t(k)] = v;
    }
    attento = etichetta(QStringLiteral("attento"),
                        QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione"),
                        {xc, 330, 332, 30});
    attento->setWordWrap(true);
    attento->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    attento->hide();

    passo = etichetta(QStringLiteral("passo"), QStringLiteral("scegliere la valuta del calcolo"), {8, 366, 624, 24},
                      QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    passo->setFrameShape(QFrame::StyledPanel);
    passo->setFrameShadow(QFrame::Sunken);
    passo->setContentsMargins(6, 0, 6, 0);
    passo->setStyleSheet(QStringLiteral("QLabel#passo { color: #10408a; font-weight: bold; }"));

    // Before a currency is chosen, nothing else can be: the panel starts reset.
    for (QRadioButton *b : {aree, disaggregati, sintetici, tipologici, altezze})
        b->setEnabled(false);
    for (int k = 1; k <= 5; ++k)
        Label[std::size_t(k)]->setEnabled(false);
    for (QLineEdit *e : {valoremercato, costitotali, anni, superficie, costolordo})
        e->setEnabled(false);
    caratt->hide();
    for (int k = 1; k <= 12; ++k)
        risultati[std::size_t(k)]->hide();

    for (int k : {1, 2})
        connect(moneta[std::size_t(k)], &QRadioButton::toggled, this, [this, k](bool on) { if (on) moneta_Click(k); });
    for (int k : {1, 2, 3})
        connect(Option1[std::size_t(k)], &QRadioButton::toggled, this, [this, k](bool on) { if (on) Option1_Click(k); });
    connect(aree, &QRadioButton::toggled, this, [this](bool on) { if (on) aree_Click(); });
    connect(disaggregati, &QRadioButton::toggled, this, [this](bool on) { if (on) disaggregati_click(); });
    connect(sintetici, &QRadioButton::toggled, this, [this](bool on) { if (on) sintetici_click(); });
    connect(tipologici, &QRadioButton::toggled, this, [this](bool on) { if (on) tipologici_click(); });
    connect(altezze, &QRadioButton::toggled, this, [this](bool on) { if (on) altezze_Click(); });
    connect(valoremercato, &QLineEdit::textChanged, this, &menu::valoremercato_Change);
    connect(costitotali, &QLineEdit::textChanged, this, &menu::costitotali_Change);
    connect(anni, &QLineEdit::textChanged, this, &menu::anni_Change);
    connect(superficie, &QLineEdit::textChanged, this, &menu::superficie_Change);
    connect(costolordo, &QLineEdit::textChanged, this, &menu::costolordo_Change);
}

void menu::moneta_Click(int Index)
{
    for (QRadioButton *b : {aree, disaggregati, sintetici, tipologici, altezze})
        b->setEnabled(true);
    Modulo::valuta = Index == 1 ? QStringLiteral("in lire") : QStringLiteral("in euro");
    passo->setText(QStringLiteral("cliccare sul tasto del tipo di stima prescelto"));
    soldi()->setText(QStringLiteral("Valori ") + Modulo::valuta);
    Modulo::etichettavaluta = soldi()->text();
    Modulo::aggiornavaluta();
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
    aggiornapasso();
}

void menu::disaggregati_click()
{
    Modulo::tipostima = 2;
    azzerastima();
    Label[1]->setEnabled(true);
    Label[2]->setEnabled(true);
    valoremercato->setEnabled(true);
    costitotali->setEnabled(true);
    caratt->show();
    caratt->setEnabled(letturaSemplice(valoremercato->text()) > 0 && letturaSemplice(costitotali->text()) > 0);
    aggiornapasso();
}

void menu::sintetici_click()
{
    Modulo::tipostima = 3;
    azzerastima();
    Label[5]->setEnabled(true);
    costolordo->setEnabled(true);
    caratt->show();
    caratt->setEnabled(letturaSemplice(costolordo->text()) > 0);
    aggiornapasso();
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
}

void menu::calcolasintetici()
{
    risultatisintetici *rs = registro::prendi<risultatisintetici>();
    rs->impostaColonna(1, colonnaSintetica(1, costoeconomico));
    rs->impostaColonna(2, colonnaSintetica(2, costomedio));
    rs->impostaColonna(3, colonnaSintetica(3, costoevoluto));
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
    registro::mostra<risultatidisaggregati>();
}

void menu::valoremercato_Change()
{
    caratt->setEnabled(false);
    if (letturaSemplice(valoremercato->text()) > 0 && letturaSemplice(costitotali->text()) > 0)
        caratt->setEnabled(true);
    stimaarea();
    aggiornapasso();
}

void menu::costitotali_Change()
{
    valoremercato_Change();
}

void menu::costolordo_Change()
{
    caratt->setEnabled(letturaSemplice(costolordo->text()) > 0);
    aggiornapasso();
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
    const EsitoStimaArea e = calcolaStimaArea(letturaSemplice(valoremercato->text()), letturaSemplice(costitotali->text()),
                                              letturaSemplice(anni->text()), letturaSemplice(superficie->text()));
    if (e.troppiAnni) {
        dialoghi::stop(this, QStringLiteral("E' una esagerazione pensare a oltre 100 anni per la redditività!"),
                       Modulo::titolocontrollo);
        return;
    }
    for (int k = 1; k <= 6; ++k)
        if (e.testi[std::size_t(k)])
            risultati[std::size_t(k)]->setText(*e.testi[std::size_t(k)]);
    if (risultatoNegativo(risultati[5]->text(), risultati[6]->text()))
        attento->show();
}

bool menu::caratteristicaScelta() const
{
    return Option1[1]->isChecked() || Option1[2]->isChecked() || Option1[3]->isChecked();
}

void menu::aggiornapasso()
{
    const bool a = aree->isChecked(), d = disaggregati->isChecked(), s = sintetici->isChecked();
    QString t;
    if ((a || d) && vuoto(valoremercato))
        t = QStringLiteral("digitare il valore di mercato del fabbricato");
    else if ((a || d) && vuoto(costitotali))
        t = QStringLiteral("digitare il dato dei costi totali");
    else if (a && vuoto(anni))
        t = QStringLiteral("digitare gli anni per redditività");
    else if (a && vuoto(superficie))
        t = QStringLiteral("digitare la superficie del terreno");
    else if (a)
        t = QStringLiteral("leggere i risultati della stima");
    else if (s && vuoto(costolordo))
        t = QStringLiteral("digitare il costo per mq. di superficie lorda");
    else if (d || (s && !caratteristicaScelta()))
        t = QStringLiteral("scegliere una delle caratteristiche dell'edificio");
    else
        t = QStringLiteral("scegliere un altro tipo di stima");
    passo->setText(t);
}

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
    case 2:
        if (vuoto(valoremercato))
            return ferma("Digitare il valore di mercato del fabbricato.");
        if (vuoto(costitotali))
            return ferma("Digitare i costi totali.");
        if (Modulo::tipostima == 2 && senzaClasse)
            return ferma("Scegliere il tipo di caratteristiche costruttive dell'edificio.");
        if (Modulo::tipostima == 1 && vuoto(anni))
            return ferma("Digitare il numero di anni per redditività.");
        if (Modulo::tipostima == 1 && vuoto(superficie))
            return ferma("Digitare la superficie del terreno.");
        break;
    case 3:
        if (vuoto(costolordo))
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

void menu::aiuto_Click()
{
    const bool a = aree->isChecked(), d = disaggregati->isChecked(), s = sintetici->isChecked();
    const bool nessuna = !a && !d && !s && !tipologici->isChecked() && !altezze->isChecked();
    const double V = letturaSemplice(valoremercato->text()), C = letturaSemplice(costitotali->text());
    auto icona = dialoghi::Icona::Informazione;
    QString t;
    if (Modulo::valuta.isEmpty())
        t = QStringLiteral("Scegliere il tipo di moneta da usare cliccando sull'apposito tasto in basso a sinistra o aprire un file con i dati archiviati (Perix-menu-...).");
    else if (nessuna)
        t = QStringLiteral("Scegliere il tipo di stima da effettuare cliccando su uno dei tasti rossi sulla sinistra.");
    else if ((a || d) && V == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Valore di mercato del fabbricato'.");
    else if ((a || d) && C == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Costi totali'.");
    else if (a && V < C) {
        t = QStringLiteral("Attenzione: sono stati digitati costi superiori al valore finale del fabbricato.");
        icona = dialoghi::Icona::Domanda;
    } else if (a && letturaSemplice(superficie->text()) == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Superficie del terreno in mq.' altrimenti non potranno essere calcolati i valori massimi e minimi per mq. dell'area.");
    else if (a && letturaSemplice(anni->text()) == 0)
        t = QStringLiteral("Attenzione: il valore degli 'Anni per redditività' è zero, ciò significa che l'epoca della stima coincide con l'inizio di redditività del fabbricato.");
    else if (s && letturaSemplice(costolordo->text()) == 0)
        t = QStringLiteral("Digitare un dato significativo per 'Costo per mq. di superficie lorda'.");
    else if ((d || s) && !caratteristicaScelta())
        t = QStringLiteral("Scegliere il tipo di caratteristiche dell'edificio.");
    else
        t = QStringLiteral("Scegliere tra le seguenti possibilità:\n- digitare dati diversi per cambiare la stima;\n"
                           "- scegliere un tipo diverso di stima;\n"
                           "- ricominciare daccapo azzerando tutto con il penultimo tasto della barra degli strumenti..");
    dialoghi::messaggio(this, t, Modulo::titoloaiuto, icona);
}

void menu::cancelladati_Click()
{
    Modulo::etichettavaluta.clear();
    Modulo::valuta.clear();
    registro::chiudi<menu>();
    registro::mostra<menu>();
}

const DescrizioneArchivio &menu::archivio()
{
    static const DescrizioneArchivio a{QStringLiteral("Perix-menu-"), QStringLiteral("Apri file (menu)")};
    return a;
}

void menu::apri_Click()
{
    const auto campi = apriArchivio(this, archivio(), m_nomefile, 5, Modulo::titolocontrollo);
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
    const bool giaScelta = aree->isChecked();
    aree->setChecked(true);
    costolordo->setText(QString());
    if (giaScelta)
        aree_Click(); // checking it again raised nothing
}

void menu::salva_Click()
{
    scrivimenu(QStringLiteral("Salva file"));
}

void menu::salvanome_Click()
{
    m_nomefile.clear();
    scrivimenu(QStringLiteral("Salva file con nome"));
}

void menu::scrivimenu(const QString &titoloDialogo)
{
    if (Modulo::tipostima == 0) {
        dialoghi::stop(this, QStringLiteral("Non esistono dati da archiviare."), Modulo::titolocontrollo);
        return;
    }
    if (Modulo::tipostima != 1) {
        dialoghi::stop(this,
                       QStringLiteral("In questa finestra possono essere archiviati solo i dati della stima di aree "
                                      "fabbricabili, utilizzare le altre finestre per archiviare dati di stime diverse."),
                       Modulo::titolocontrollo);
        return;
    }
    const Record record{{soldi()->text(), valoremercato->text(), costitotali->text()},
                        {anni->text(), superficie->text()}};
    salvaArchivio(this, archivio(), m_nomefile, titoloDialogo, record, Modulo::titolocontrollo);
}

void menu::eliminare_click()
{
    eliminaArchivio(this, archivio(), m_nomefile, Modulo::titoloelimina, Modulo::titolocontrollo);
}

void menu::solodati_click()
{
    if (!aree->isChecked()) {
        dialoghi::messaggio(this,
                            QStringLiteral("La stampa di dati è significativa solo per la stima di aree fabbricabili: "
                                           "per gli altri tipi di stima utilizzare le finestre successive."),
                            Modulo::titolocontrollo, dialoghi::Icona::Informazione);
        return;
    }
    const QString prima = passo->text();
    passo->setText(QStringLiteral("sto caricando WORD"));
    passo->repaint(); // the user sees it while the document is built
    DatiRapportoMenu d;
    d.valuta = Modulo::valuta;
    d.valoremercato = valoremercato->text();
    d.costitotali = costitotali->text();
    d.anni = anni->text();
    d.superficie = superficie->text();
    for (int k = 1; k <= 6; ++k)
        d.risultati[std::size_t(k)] = risultati[std::size_t(k)]->text();
    QString motivo;
    if (!rapportoMenu(d, &motivo)) {
        passo->setText(prima);
        dialoghi::stop(this, QStringLiteral("Impossibile preparare il documento della stima: %1").arg(motivo),
                       Modulo::titolocontrollo);
        return;
    }
    passo->setText(QStringLiteral("ho visualizzato i dati su WORD"));
}

} // namespace perix
