#include "help/sommario.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "help/finestre.h"
#include "reports/finestrareport.h"
#include "reports/rapporto_guida.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace perix {

namespace {

struct RigaSommario {
    const char *didascalia;
    bool gialla;
    int alto;
};

// Three groups: general help, the working windows' pages, tips and catalogue.
constexpr RigaSommario elenco[sommario::righe] = {
    {" Manuale d'uso rapido", false, 360},
    {" Funzionamento del programma", false, 720},
    {" Archivio dati", false, 1080},
    {" Menu", false, 1680},
    {" Stima area fabbricabile", false, 2040},
    {" Costi disaggregati", false, 2400},
    {" Costi sintetici", false, 2760},
    {" Costi per tipologie", false, 3120},
    {" Costi per altezze (n. di piani)", false, 3480},
    {" Suggerimento del giorno", false, 4080},
    {" altri prodotti Software Velmora", true, 4800},
};

} // namespace

sommario::sommario()
{
    preparaFinestra(this, QStringLiteral("sommario"), QStringLiteral("Guida in linea: sommario"),
                    QStringLiteral(":/icons/guida.svg"));
    colora(this, QColor(255, 255, 192));

    QFont carattere(QStringLiteral("Nimbus Sans"));
    carattere.setPointSizeF(8.25);
    for (int i = 1; i <= righe; ++i) {
        const RigaSommario &r = elenco[i - 1];
        m_pulsante[std::size_t(i)] = perix::pulsante(this, QStringLiteral("pulsante(%1)").arg(i),
                                                     QStringLiteral("--->"), twips(240, r.alto, 375, 255), {},
                                                     [this, i] { pulsante_Click(i); });

        auto *l = new QLabel(QString::fromUtf8(r.didascalia), this);
        l->setObjectName(QStringLiteral("label(%1)").arg(i));
        l->setGeometry(twips(720, r.alto, 2895, 255));
        l->setTextFormat(Qt::PlainText);
        l->setFrameShape(QFrame::Box);
        l->setFrameShadow(QFrame::Plain);
        l->setLineWidth(1);
        l->setFont(carattere);
        colora(l, r.gialla ? QColor(255, 255, 0) : QColor(0, 255, 255), Qt::black);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        m_label[std::size_t(i)] = l;
        accessibile::nomina(m_pulsante[std::size_t(i)], l->text()); // "--->" says nothing of where it leads
    }

    struct Comando {
        const char *nome, *testo, *suggerimento;
        int sinistra;
        void (sommario::*clic)();
    };
    const Comando comandi[] = {
        {"cmdstampa", "&Stampa", "cliccare per avere la copia su carta del sommario", 120, &sommario::cmdstampa_Click},
        {"cmdchiudi", "&Chiudi", "cliccare per chiudere la finestra", 1320, &sommario::cmdchiudi_Click},
        {"cmduscita", "&USCITA", "cliccare per uscire da Perix", 2520, &sommario::cmduscita_Click},
    };
    for (const Comando &c : comandi)
        perix::pulsante(this, QString::fromLatin1(c.nome), QString::fromUtf8(c.testo), twips(c.sinistra, 5760, 1215, 375),
                 QString::fromUtf8(c.suggerimento), [this, clic = c.clic] { (this->*clic)(); });

    // The inner area at design; the start size is the same, so every control stands where
    // it was drawn. The left edge stays where the 75 % sizing centred the window.
    const QSize area(3855 / twipsPerPixel, 6420 / twipsPerPixel);
    resize(area);
    m_resize.setSourceForm(this);
    m_resize.SizeFormToScreen(75, this);
    resize(area);
}

void sommario::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_resize.ResizeControls();
}

bool sommario::eventFilter(QObject *o, QEvent *e)
{
    for (int i = 1; i <= righe; ++i) {
        if (o != m_label[std::size_t(i)])
            continue;
        if (e->type() == QEvent::MouseMove)
            label_MouseMove(i);
        else if (e->type() == QEvent::MouseButtonPress)
            label_MouseDown(i);
        else if (e->type() == QEvent::MouseButtonRelease)
            label_MouseUp(i);
        break;
    }
    return QWidget::eventFilter(o, e);
}

void sommario::pulsante_Click(int Index)
{
    if (Index >= 1 && Index <= pagineGuidaTotali)
        mostraPaginaGuida(Index - 1);
    else if (Index == 10)
        registro::mostra<frmTip>();
    else if (Index == 11)
        registro::mostra<prodotti>();
}

void sommario::label_MouseDown(int Index)
{
    // The caption looks pressed, and the page opens before the button is released.
    label(Index)->setFrameShape(QFrame::NoFrame);
    pulsante_Click(Index);
}

void sommario::label_MouseUp(int Index)
{
    label(Index)->setFrameShape(QFrame::Box);
}

void sommario::label_MouseMove(int Index)
{
    for (int i = 1; i <= righe; ++i) {
        QFont f = label(i)->font();
        f.setBold(i == Index);
        label(i)->setFont(f);
    }
}

void sommario::cmdchiudi_Click()
{
    hide();
}

void sommario::cmduscita_Click()
{
    Modulo::confermauscita(this);
}

void sommario::cmdstampa_Click()
{
    // Each page's own captions, its window created (not shown) when needed.
    QList<PaginaStampata> pagine;
    for (int i = 0; i < pagineGuidaTotali; ++i) {
        const PaginaGuida *g = paginaGuida(i);
        pagine.append({g->Label1()->text(), g->Label2()->text()});
    }
    QString motivo;
    finestrareport *f = rapportoGuida(pagine, &motivo);
    if (!f) {
        dialoghi::stop(this, QStringLiteral("Impossibile preparare la guida completa: ") + motivo,
                       Modulo::titolocontrollo);
        return;
    }
    const auto percorso = salvaGuida(*f->documento(), cartelleGuida(), &motivo);
    if (!percorso) {
        dialoghi::stop(f, QStringLiteral("Impossibile salvare il file %1: %2").arg(nomeFileGuida(), motivo),
                       Modulo::titolocontrollo);
        return;
    }
    dialoghi::messaggio(f, QStringLiteral("La guida completa è stata salvata nel file %1").arg(*percorso),
                        Modulo::titoloaiuto, dialoghi::Icona::Informazione);
}

} // namespace perix
