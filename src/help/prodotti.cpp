#include "help/prodotti.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "core/numeri.h"
#include "help/finestre.h"
#include "help/velmora.h"
#include "reports/rapporto_guida.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

namespace perix {

namespace {

const QColor sfondo(255, 255, 192);
const QColor giallo(255, 255, 0);
const QColor blu(0, 0, 255);
const QColor bluscuro(0, 0, 192);
const QColor rosso(255, 0, 0);

void grassetto(QLabel *l, const QString &famiglia = {})
{
    QFont f = l->font();
    if (!famiglia.isEmpty())
        f.setFamily(famiglia);
    f.setBold(true);
    l->setFont(f);
}

} // namespace

prodotti::prodotti()
{
    preparaFinestra(this, QStringLiteral("prodotti"), QStringLiteral("prodotti software VELMORA"));
    colora(this, sfondo);
    creaControlli();
    Form_Load();
}

void prodotti::creaControlli()
{
    pulsante(this, QStringLiteral("cmdsommario"), QStringLiteral("&Sommario"), twips(120, 120, 1215, 375),
             QStringLiteral("cliccare per visualizzare il sommario della guida"), [this] { cmdsommario_Click(); });
    pulsante(this, QStringLiteral("cmdstampa"), QStringLiteral("S&tampa"), twips(1320, 120, 1215, 375),
             QStringLiteral("cliccare per stampare il listino"), [this] { cmdstampa_Click(); });
    pulsante(this, QStringLiteral("cmdchiudi"), QStringLiteral("&Chiudi"), twips(2520, 120, 1215, 375),
             QStringLiteral("cliccare per chiudere la finestra sui prodotti"), [this] { cmdchiudi_Click(); });
    pulsante(this, QStringLiteral("Command1"), QStringLiteral("Sito: ") + velmora::sito, twips(6480, 480, 2415, 375),
             QStringLiteral("clicca per accedere al sito"), [this] { Command1_Click(); });
    pulsante(this, QStringLiteral("Command2"), QStringLiteral("Email: ") + velmora::email,
             twips(6480, 840, 2415, 375), QStringLiteral("clicca per inviare un'email"), [this] { Command2_Click(); });

    // What went wrong with the list, in the free corner beside the buttons.
    notalistino = notaDiscreta(this, QStringLiteral("notalistino"), twips(3840, 120, 2595, 690));

    auto *Label1 = etichetta(this, QStringLiteral("Label1"), QStringLiteral("VERSIONI PROFESSIONALI PER WINDOWS - LISTINO"),
                             twips(600, 840, 4815, 255));
    Label10 = etichetta(this, QStringLiteral("Label10"), QString(), twips(5400, 840, 855, 255));
    accessibile::risultato(Label10, QStringLiteral("Anno del listino"));
    for (QLabel *l : {Label1, Label10}) {
        colora(l, {}, blu);
        grassetto(l);
    }

    // Headings, yellow; the subject's leaves its lower half to Label11.
    const auto testa = [this](const char *nome, const char *testo, QRect r, bool nero, Qt::Alignment a,
                              const char *suggerimento = "") {
        QLabel *l = etichetta(this, QString::fromLatin1(nome), QString::fromUtf8(testo), r, a, QString::fromUtf8(suggerimento));
        l->setWordWrap(true);
        colora(l, giallo, palette().color(QPalette::WindowText));
        if (nero)
            grassetto(l);
        return l;
    };
    testa("Label2", "num.", twips(600, 1320, 495, 495), false, Qt::AlignCenter);
    testa("Label3", "nome programma", twips(1080, 1320, 1455, 495), true, Qt::AlignCenter);
    testa("Label4", "argomento trattato ", twips(2520, 1320, 3975, 495), true, Qt::AlignHCenter | Qt::AlignTop);
    testa("Label5", "costo netto in euro", twips(6480, 1320, 1215, 495), true, Qt::AlignCenter,
          "al costo netto bisogna aggiungere l'IVA e le eventuali spese di trasporto");
    testa("Label6", "via internet a euro", twips(7680, 1320, 1215, 495), true, Qt::AlignCenter,
          "per chi acquista via internet");
    etichetta(this, QStringLiteral("Label11"), QStringLiteral("(per offerte e opportunità vedi il catalogo sul sito)"),
              twips(2520, 1560, 3975, 255), Qt::AlignCenter, QStringLiteral("esistono versioni ridotte dal costo minore"));

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips(120, 1920, 375, 2415));
    VScroll1->setMinimum(1);
    VScroll1->setSingleStep(1);
    // A click in the track turns a page of ten, and the handle shows how much is in view.
    VScroll1->setPageStep(righe);
    connect(VScroll1, &QScrollBar::valueChanged, this, &prodotti::VScroll1_Change);

    for (int i = 1; i <= righe; ++i) {
        const auto n = std::size_t(i);
        const int y = 1920 + 240 * (i - 1);
        const auto nome = [i](const char *base) { return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i); };
        num[n] = etichetta(this, nome("num"), QString(), twips(600, y, 495, 255), Qt::AlignCenter);
        nom[n] = etichetta(this, nome("nom"), QString(), twips(1080, y, 1455, 255), Qt::AlignCenter);
        argom[n] = etichetta(this, nome("argom"), QString(), twips(2520, y, 3975, 255));
        eur[n] = etichetta(this, nome("eur"), QString(), twips(6480, y, 1215, 255), Qt::AlignRight | Qt::AlignVCenter);
        off[n] = etichetta(this, nome("off"), QString(), twips(7680, y, 1215, 255), Qt::AlignRight | Qt::AlignVCenter);
        colora(num[n], giallo, palette().color(QPalette::WindowText));
        for (QLabel *l : {nom[n], argom[n], eur[n]})
            colora(l, giallo, bluscuro);
        colora(off[n], giallo, rosso);
        grassetto(nom[n], QStringLiteral("Comic Sans MS"));
        grassetto(eur[n]);
        grassetto(off[n]);
        for (QLabel *l : {argom[n], eur[n], off[n]})
            l->setContentsMargins(3, 0, 3, 0);
        // The rows scroll: each cell reads the product it shows now, and its column.
        accessibile::cella(num[n], nom[n], QStringLiteral("numero"));
        accessibile::cella(eur[n], nom[n], QStringLiteral("costo netto in euro"));
        accessibile::cella(off[n], nom[n], QStringLiteral("via internet a euro"));
    }

    auto *Label8 = etichetta(this, QStringLiteral("Label8"),
                             QStringLiteral("Sconto del 50 % su ogni ulteriore copia dello stesso programma, anche se "
                                            "richiesta in seguito."),
                             twips(600, 4440, 8295, 255), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("lo sconto del 50 % vale anche per i programmi di costo minore acquistati "
                                            "insieme a un altro"));
    colora(Label8, {}, rosso);
    grassetto(Label8);
    auto *Label7 = etichetta(
        this, QStringLiteral("Label7"),
        QStringLiteral("I programmi contrassegnati con * sono in preparazione. I prezzi non comprendono l'IVA e le "
                       "spese di trasporto. La consegna avviene per corriere, per posta o, preferibilmente, per "
                       "e-mail; il pagamento con vaglia postale, bonifico bancario o carta di credito. I prezzi si "
                       "riferiscono alle versioni installate e comprendono gli aggiornamenti per un anno. "
                       "Altre informazioni sul sito ")
            + velmora::sito + u'.',
        twips(600, 4800, 8295, 1455), Qt::AlignLeft | Qt::AlignTop, velmora::email);
    Label7->setWordWrap(true);
    colora(Label7, {}, bluscuro);
}

void prodotti::Form_Load()
{
    // Placed at the design size, then a share of the screen for the position and back to
    // the design size: the 9600 × 6825 twips of the whole window less its border and title
    // bar, which Qt does not count.
    resize(9450 / twipsPerPixel, 6390 / twipsPerPixel);
    m_resize.setSourceForm(this);
    m_resize.SizeFormToScreen(75, this);
    resize(9450 / twipsPerPixel, 6390 / twipsPerPixel);

    m_listino = caricaListino(Modulo::trovaFileDati(QStringLiteral("listino.txt")));
    Label10->setText(m_listino.annolistino);
    notalistino->setText(m_listino.nota);
    notalistino->setToolTip(m_listino.nota);
    notalistino->setVisible(!m_listino.nota.isEmpty());
    // Under ten products the grid has no room to scroll: the bar stays at 1.
    VScroll1->setMaximum(std::max(1, numeroprodotti() - (righe - 1)));
    VScroll1->setValue(1);
    VScroll1_Change();
}

void prodotti::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_resize.ResizeControls();
}

void prodotti::VScroll1_Change()
{
    m_primariga = VScroll1->value();
    for (int i = 1; i <= righe; ++i) {
        const auto n = std::size_t(i);
        const int k = m_primariga + i - 1;
        num[n]->setText(QString::number(k));
        const bool c = k >= 1 && k <= numeroprodotti();
        const Prodotto vuoto;
        const Prodotto &p = c ? m_listino.prodotti[k - 1] : vuoto;
        nom[n]->setText(p.nome);
        argom[n]->setText(p.argomento);
        eur[n]->setText(c ? testoNumero(p.prezzonetto) : QString());
        off[n]->setText(c ? testoNumero(p.prezzoofferta) : QString());
    }
}

bool prodotti::Link(const QString &indirizzo)
{
    return Modulo::apriindirizzo(indirizzo);
}

void prodotti::Command1_Click()
{
    Link(velmora::paginacatalogo);
}

void prodotti::Command2_Click()
{
    // No blank after "mailto:": it would reach the mail program as part of the address.
    Link(QStringLiteral("mailto:") + velmora::email);
}

void prodotti::cmdsommario_Click()
{
    registro::mostra<sommario>();
}

void prodotti::cmdstampa_Click()
{
    QString motivo;
    if (!rapportoProdotti(m_listino.prodotti, velmora::paginaacquisto, &motivo))
        dialoghi::stop(this, QStringLiteral("Impossibile preparare il documento del listino: %1").arg(motivo),
                       Modulo::titolocontrollo);
}

void prodotti::cmdchiudi_Click()
{
    hide();
}

} // namespace perix
