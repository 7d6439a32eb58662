// Building the main window: its controls at their design places, disabled until the
// currency is chosen, and their handlers.
#include "estimates/menu.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <cmath>

namespace perix {

Risultato::Risultato(QWidget *genitore) : QLabel(genitore), m_punti(font().pointSizeF()) {}

void Risultato::adatta()
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

void Risultato::resizeEvent(QResizeEvent *e)
{
    QLabel::resizeEvent(e);
    adatta();
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
    moneta[2] = opzione(Frame1, QStringLiteral("moneta(2)"), QStringLiteral("valori in &euro"), {144, 22, 130, 22});
    moneta[1] = opzione(Frame1, QStringLiteral("moneta(1)"), QStringLiteral("valori in &lire"), {10, 22, 120, 22});

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

    disponiPulsanti({8, 222, 280, 84}, 128, 136);

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
    // The market value's field leaves room for the button of the OMI quotations.
    valoremercato = campo(QStringLiteral("valoremercato"), {xv, 30, wv - 36, h}, QStringLiteral("dato da digitare"));
    omi = new QToolButton(a);
    omi->setObjectName(QStringLiteral("omi"));
    omi->setText(QStringLiteral("&OMI"));
    omi->setToolTip(QStringLiteral("prendere il valore di mercato dalle quotazioni OMI dell'Agenzia Entrate"));
    omi->setGeometry(xv + wv - 34, 30, 34, h);
    omi->setEnabled(false);
    connect(omi, &QToolButton::clicked, this, &menu::omi_Click);
    if (QMenu *vis = menuBar()->findChild<QMenu *>(QStringLiteral("visualizza"))) {
        vis->addSeparator();
        QAction *voce = vis->addAction(QStringLiteral("&Quotazioni OMI..."));
        voce->setObjectName(QStringLiteral("apriomi"));
        connect(voce, &QAction::triggered, this, &menu::omi_Click);
    }
    costitotali = campo(QStringLiteral("costitotali"), {xv, 56, wv, h});
    anni = campo(QStringLiteral("anni"), {xv, 82, wv, h});
    superficie = campo(QStringLiteral("superficie"), {xv, 108, wv, h});
    costolordo = campo(QStringLiteral("costolordo"), {xv, 134, wv, h});
    const std::array<QLineEdit *, 6> campi{nullptr, valoremercato, costitotali, anni, superficie, costolordo};
    for (int k = 1; k <= 5; ++k)
        accessibile::didascalia(Label[std::size_t(k)], campi[std::size_t(k)]);

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
        accessibile::risultato(v, risultati[std::size_t(k + 6)]);
    }
    attento = etichetta(QStringLiteral("attento"),
                        QStringLiteral("i risultati negativi testimoniano della non convenienza dell'operazione"),
                        {xc, 330, 338, 30});
    attento->setWordWrap(true);
    attento->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    attento->hide();
    accessibile::voce(attento);

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
    accessibile::voce(notelettura);
    const QIcon segnale = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (std::size_t i = 0; i < avvisi.size(); ++i) {
        avvisi[i] = datiStima()[i]->addAction(segnale, QLineEdit::LeadingPosition);
        avvisi[i]->setVisible(false);
    }

    passo = etichetta(QStringLiteral("passo"), testoPasso(Passo::Valuta), {8, 366, 624, 24},
                      QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    stilePasso(passo, true);
    accessibile::voce(passo);

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

} // namespace perix
