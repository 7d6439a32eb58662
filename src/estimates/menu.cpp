#include "estimates/menu.h"

#include "ui/elementi.h"

#include "ui/dialoghi.h"
#include "reports/documento.h"
#include "estimates/finestre.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "ui/comandi.h"
#include "reports/rapporti.h"
#include "core/calcoli.h"
#include "core/numeri.h"

#include <QRegularExpression>
#include <QStyle>
#include <cmath>

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

// A result box whose text always shows whole: the font gives way, a little, to a text
// longer than the box ("valore non calcolabile" at the start size).
class Risultato : public QLabel
{
public:
    explicit Risultato(QWidget *genitore) : QLabel(genitore), m_punti(font().pointSizeF()) {}

    void adatta()
    {
        QFont f = font();
        f.setPointSizeF(m_punti);
        const qreal spazio = contentsRect().width() - 2 * margin() - 1;
        const qreal largo = QFontMetricsF(f).horizontalAdvance(text());
        if (largo > spazio && spazio > 0)
            f.setPointSizeF(std::max(6.0, std::floor(m_punti * spazio / largo * 10) / 10));
        if (f != font())
            setFont(f);
    }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QLabel::resizeEvent(e);
        adatta();
    }

private:
    qreal m_punti;
};

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
}

QLabel *menu::etichetta(const QString &nome, const QString &testo, QRect r, const QString &suggerimento)
{
    return perix::etichetta(area(), nome, testo, r, suggerimento);
}

QLineEdit *menu::campo(const QString &nome, QRect r, const QString &suggerimento)
{
    auto *e = new QLineEdit(area());
    e->setObjectName(nome);
    e->setGeometry(r);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    senzaControlli(e);
    if (!suggerimento.isEmpty())
        e->setToolTip(suggerimento);
    return e;
}

Opzione *menu::opzione(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                       const QString &suggerimento)
{
    auto *b = new Opzione(testo, genitore);
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
    // The currency sits at the bottom left, where the AIUTO hint sends the user.
    Frame1 = new QGroupBox(QStringLiteral("Valuta per il calcolo"), a);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 312, 280, 50);
    moneta[2] = opzione(Frame1, QStringLiteral("moneta(2)"), QStringLiteral("valori in euro"), {144, 22, 130, 22});
    moneta[1] = opzione(Frame1, QStringLiteral("moneta(1)"), QStringLiteral("valori in lire"), {10, 22, 120, 22});

    Frame2 = new QGroupBox(QStringLiteral("Tipo di stima"), a);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(8, 4, 280, 148);
    altezze = opzione(Frame2, QStringLiteral("altezze"), QStringLiteral("COSTI DI COSTRUZIONE PER AL&TEZZE"),
                      {8, 118, 268, 24},
                      QStringLiteral("cliccare per scegliere la procedura per avere i costi per tipologie di fabbricati"));
    tipologici = opzione(Frame2, QStringLiteral("tipologici"), QStringLiteral("COSTI DI COSTRUZIONE PER &TIPOLOGIE"),
                         {8, 94, 268, 24},
                         QStringLiteral("cliccare per scegliere la procedura per avere i costi per tipologie di fabbricati"));
    sintetici = opzione(Frame2, QStringLiteral("sintetici"), QStringLiteral("COSTI DI COSTRUZIONE &SINTETICI"),
                        {8, 70, 268, 24},
                        QStringLiteral("cliccare per scegliere la procedura di stima dei costi sintetici di un fabbricato"));
    disaggregati = opzione(Frame2, QStringLiteral("disaggregati"), QStringLiteral("COSTI DI COSTRUZIONE &DISAGGREGATI"),
                           {8, 46, 268, 24},
                           QStringLiteral("cliccare per scegliere la procedura di stima dei costi disaggregati di un edificio"));
    aree = opzione(Frame2, QStringLiteral("aree"), QStringLiteral("AREA FA&BBRICABILE"), {8, 22, 268, 24},
                   QStringLiteral("cliccare per scegliere la procedura di stima di un' area fabbricabile"));
    // The estimate buttons are the red keys the hints speak of.
    Frame2->setStyleSheet(QStringLiteral("QRadioButton { color: #a01818; }"
                                         "QRadioButton:disabled { color: #b8a0a0; }"));

    caratt = new QGroupBox(QStringLiteral("Caratteristiche dell'edificio"), a);
    caratt->setObjectName(QStringLiteral("caratt"));
    caratt->setToolTip(QStringLiteral("scegliere uno dei tre tipi di edificio"));
    caratt->setGeometry(8, 160, 280, 50);
    Option1[3] = opzione(caratt, QStringLiteral("Option1(3)"), QStringLiteral("evolute"), {192, 22, 84, 22},
                         QStringLiteral("edificio di tipo evoluto o signorile"));
    Option1[2] = opzione(caratt, QStringLiteral("Option1(2)"), QStringLiteral("medie"), {114, 22, 76, 22},
                         QStringLiteral("edificio di tipo medio o civile"));
    Option1[1] = opzione(caratt, QStringLiteral("Option1(1)"), QStringLiteral("economiche"), {10, 22, 96, 22},
                         QStringLiteral("edificio di tipo economico o popolare"));

    frame3()->setGeometry(8, 222, 280, 84);
    const QRect posti[] = {{8, 12, 128, 30}, {144, 12, 128, 30}, {8, 46, 128, 30}, {144, 46, 128, 30}};
    int i = 0;
    for (const char *n : {"cmduscita", "cmdmune", "guida", "aiuto"})
        if (auto *b = frame3()->findChild<QPushButton *>(QString::fromLatin1(n)))
            b->setGeometry(posti[i++]);

    // Right column: the figures, then the results.
    Label6 = etichetta(QStringLiteral("Label6"), QStringLiteral("Dati per l'elaborazione:"), {294, 6, 190, 20});
    QFont grassetto = Label6->font();
    grassetto.setBold(true);
    Label6->setFont(grassetto);
    soldi()->setGeometry(486, 6, 146, 20);
    soldi()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    soldi()->setToolTip(QStringLiteral("valuta scelta o prelevata da archivio"));
    soldi()->setFont(grassetto);

    const int xc = 294, wc = 206, xv = 502, wv = 130, h = 22;
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
                             {xc, 164, 338, 20});
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
        auto *v = new Risultato(a);
        v->setObjectName(QStringLiteral("risultati(%1)").arg(k));
        v->setGeometry(xv, y, wv, h);
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Read-only figures: boxed like the fields above, but not editable.
        v->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #b4bcc6; border-radius: 2px;"
                                        " background: #f7f9fb; padding: 0 3px; }"));
        risultati[std::size_t(k)] = v;
    }
    attento = etichetta(QStringLiteral("attento"),
                        QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione"),
                        {xc, 330, 338, 30});
    attento->setWordWrap(true);
    attento->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    attento->hide();

    // Where caratt stands for the other estimates: the plot valuation never shows it.
    notelettura = etichetta(QStringLiteral("notelettura"), QString(), {8, 154, 280, 64});
    notelettura->setTextFormat(Qt::PlainText);
    notelettura->setWordWrap(true);
    notelettura->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notelettura->setStyleSheet(QStringLiteral("QLabel#notelettura { background: #fff4d6; border: 1px solid #e0b54a;"
                                              " border-radius: 2px; padding: 2px 4px; color: #5a3b00; }"));
    QFont piccolo = notelettura->font();
    piccolo.setPointSizeF(piccolo.pointSizeF() - 1);
    notelettura->setFont(piccolo);
    notelettura->hide();
    const QIcon segnale = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (std::size_t i = 0; i < avvisi.size(); ++i) {
        avvisi[i] = datiStima()[i]->addAction(segnale, QLineEdit::LeadingPosition);
        avvisi[i]->setVisible(false);
    }

    passo = etichetta(QStringLiteral("passo"), QStringLiteral("scegliere la valuta del calcolo"), {8, 366, 624, 24},
                      QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    stilePasso(passo, true);

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
        moneta[std::size_t(k)]->alClic([this, k] { moneta_Click(k); });
    for (int k : {1, 2, 3})
        Option1[std::size_t(k)]->alClic([this, k] { Option1_Click(k); });
    aree->alClic([this] { aree_Click(); });
    disaggregati->alClic([this] { disaggregati_click(); });
    sintetici->alClic([this] { sintetici_click(); });
    tipologici->alClic([this] { tipologici_click(); });
    altezze->alClic([this] { altezze_Click(); });
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
    seguipasso();
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
    if (errato)
        passo->setText(QStringLiteral("correggere il costo per mq. di superficie lorda: non è un numero "
                                      "(ad esempio 1.250,50)"));
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
    const auto dato = [](const QLineEdit *e) { return letturaStima(e->text()).valore; };
    const EsitoStimaArea e = calcolaStimaArea(dato(valoremercato), dato(costitotali), dato(anni), dato(superficie));
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

void menu::aggiornapasso()
{
    aggiornanote(); // runs on every change of a figure and every choice of estimate
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

void menu::seguipasso()
{
    const QString t = passo->text();
    const auto scelto = [](std::initializer_list<QRadioButton *> pulsanti) {
        for (QRadioButton *b : pulsanti)
            if (b->isChecked())
                return b;
        return *pulsanti.begin();
    };
    QWidget *dove = nullptr;
    if (t.startsWith(QLatin1String("digitare il valore di mercato")))
        dove = valoremercato;
    else if (t.startsWith(QLatin1String("digitare il dato dei costi")))
        dove = costitotali;
    else if (t.startsWith(QLatin1String("digitare gli anni")))
        dove = anni;
    else if (t.startsWith(QLatin1String("digitare la superficie")))
        dove = superficie;
    else if (t.startsWith(QLatin1String("digitare il costo per mq")))
        dove = costolordo;
    else if (t.startsWith(QLatin1String("scegliere una delle caratteristiche")))
        dove = scelto({Option1[1], Option1[2], Option1[3]});
    else if (t.startsWith(QLatin1String("scegliere la valuta")))
        dove = scelto({moneta[1], moneta[2]});
    else if (t.startsWith(QLatin1String("cliccare sul tasto")) || t.startsWith(QLatin1String("scegliere un altro")))
        dove = scelto({aree, disaggregati, sintetici, tipologici, altezze});
    if (dove && dove->isEnabled())
        dove->setFocus(Qt::OtherFocusReason);
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
        // Filled is not enough: a figure still ambiguous, or one the valuation cannot take,
        // is no correct datum (the batch refuses such a file with the same words).
        if (const auto no = rifiutoStimaArea(figureStima())) {
            dialoghi::stop(this, *no, Modulo::titolocontrollo);
            return;
        }
        break;
    case 2:
        if (vuoto(valoremercato))
            return ferma("Digitare il valore di mercato del fabbricato.");
        if (vuoto(costitotali))
            return ferma("Digitare i costi totali.");
        if (senzaClasse)
            return ferma("Scegliere il tipo di caratteristiche costruttive dell'edificio.");
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
    // The figures as the valuation reads them.
    const double V = letturaStima(valoremercato->text()).valore, C = letturaStima(costitotali->text()).valore;
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
    // Two lines of quoted texts, three and two, the first a currency caption.
    static const DescrizioneArchivio a{
        .prefisso = QStringLiteral("Perix-menu-"),
        .titoloApri = QStringLiteral("Apri file (menu)"),
        .riconosci = recordMenu};
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
    fileAperto(m_nomefile);
    seguipasso();
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
    if (salvaArchivio(this, archivio(), m_nomefile, titoloDialogo, record, Modulo::titolocontrollo))
        fileSalvato(m_nomefile);
}

void menu::eliminare_click()
{
    if (eliminaArchivio(this, archivio(), m_nomefile, Modulo::titoloelimina, Modulo::titolocontrollo))
        fileEliminato(m_nomefile);
}

std::optional<DatiRapportoMenu> menu::datiRapporto(QString *rifiuto) const
{
    if (!aree->isChecked()) {
        if (rifiuto)
            *rifiuto = rifiutoStampaMenu();
        return std::nullopt;
    }
    DatiRapportoMenu d;
    // The figures are in the currency the window shows: after an open that is the file's,
    // whatever was picked before (and in a fresh session nothing was).
    d.valuta = valutaDidascalia(soldi()->text()).value_or(Modulo::valuta);
    d.valoremercato = valoremercato->text();
    d.costitotali = costitotali->text();
    d.anni = anni->text();
    d.superficie = superficie->text();
    for (int k = 1; k <= 6; ++k)
        d.risultati[std::size_t(k)] = risultati[std::size_t(k)]->text();
    return d;
}

void menu::solodati_click()
{
    QString rifiuto;
    const auto d = datiRapporto(&rifiuto);
    if (!d) {
        dialoghi::messaggio(this, rifiuto, Modulo::titolocontrollo, dialoghi::Icona::Informazione);
        return;
    }
    const QString prima = passo->text();
    passo->setText(QStringLiteral("sto caricando WORD"));
    passo->repaint(); // the user sees it while the document is built
    QString motivo;
    if (!rapportoMenu(*d, &motivo)) {
        passo->setText(prima);
        dialoghi::stop(this, QStringLiteral("Impossibile preparare il documento della stima: %1").arg(motivo),
                       Modulo::titolocontrollo);
        return;
    }
    passo->setText(QStringLiteral("ho visualizzato i dati su WORD"));
}

} // namespace perix
