#include "help/pagine.h"

#include "ui/elementi.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "help/sommario.h"
#include "reports/rapporti.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace perix {

namespace {

// Left edge of every page but the manual, so that a page stands beside the table of
// contents on a screen 800 pixels wide.
constexpr int sinistraPagina = 5467;

} // namespace

QSize PaginaGuida::areaProgetto(bool manuale)
{
    // The outer start size (9600 or 5640 × 6825) less border and title bar.
    return manuale ? QSize(9480, 6420) : QSize(5520, 6420);
}

PaginaGuida::PaginaGuida(int indice) : m_indice(indice)
{
    const TestoGuida &t = testiGuida().at(std::size_t(indice));
    const bool manuale = indice == 0;
    preparaFinestra(this, t.nome, QStringLiteral("Guida in linea"), QStringLiteral(":/icons/guida.svg"));
    colora(this, QColor(255, 255, 192), Qt::black);

    struct Pulsante {
        const char *nome, *testo, *suggerimento;
        int sinistra;
        void (PaginaGuida::*clic)();
    };
    // The manual's buttons are spelt in lower case and carry tooltips; the others have none.
    const Pulsante pulsanti[] = {
        {manuale ? "cmdsommario" : "cmdSommario", "&Sommario", "cliccare per tornare al sommario", 120,
         &PaginaGuida::cmdSommario_Click},
        {manuale ? "cmdstampa" : "cmdStampa", "S&tampa",
         "cliccare per avere la copia su carta del MANUALE D'USO RAPIDO", 1320, &PaginaGuida::cmdStampa_Click},
        {manuale ? "cmdchiudi" : "cmdChiudi", "&Chiudi", "cliccare per chiudere la finestra", 2520,
         &PaginaGuida::cmdChiudi_Click},
    };
    for (const Pulsante &d : pulsanti)
        pulsante(this, QString::fromLatin1(d.nome), QString::fromUtf8(d.testo), twips(d.sinistra, 120, 1215, 375),
                 manuale ? QString::fromUtf8(d.suggerimento) : QString(), [this, clic = d.clic] { (this->*clic)(); });

    m_titolo = new QLabel(t.titolo, this);
    m_titolo->setObjectName(QStringLiteral("Label1"));
    m_titolo->setGeometry(twips(120, 600, t.larghezzaTitolo, manuale ? 375 : 255));
    m_titolo->setTextFormat(Qt::PlainText);
    QFont ft(QStringLiteral("Nimbus Sans"));
    ft.setPointSizeF(8.25);
    ft.setBold(true);
    m_titolo->setFont(ft);
    colora(m_titolo, {}, QColor(0, 0, 255));

    m_testo = new QLabel(testoPagina(t), this);
    m_testo->setObjectName(QStringLiteral("Label2"));
    m_testo->setGeometry(twips(120, 960, manuale ? 9135 : 5175, t.altezzaTesto));
    // Plain text, so a "<" in a page is shown as written.
    m_testo->setTextFormat(Qt::PlainText);
    m_testo->setWordWrap(true);
    m_testo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // As narrow as the sans serif the pages were written for, so each text fills its label.
    QFont fx(QStringLiteral("Nimbus Sans Narrow"));
    fx.setPointSizeF(9.75);
    m_testo->setFont(fx);

    const QSize area = areaProgetto(manuale);
    resize(area.width() / twipsPerPixel, area.height() / twipsPerPixel);
    m_resize.setSourceForm(this);
    m_resize.SizeFormToScreen(75, this);
    resize(area.width() / twipsPerPixel, area.height() / twipsPerPixel);
    if (!manuale)
        move(int(std::lround(double(sinistraPagina) / twipsPerPixel)), y());
}

void PaginaGuida::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    m_resize.ResizeControls();
}

void PaginaGuida::showEvent(QShowEvent *e)
{
    // The folders the page names, as they are now.
    m_testo->setText(testoPagina(testiGuida().at(std::size_t(m_indice))));
    QWidget::showEvent(e);
}

void PaginaGuida::cmdSommario_Click()
{
    registro::mostra<sommario>();
}

void PaginaGuida::cmdStampa_Click()
{
    Modulo::titologuida = m_titolo->text();
    Modulo::testoguida = m_testo->text();
    Modulo::stampaguida();
}

void PaginaGuida::cmdChiudi_Click()
{
    hide();
}

namespace {

template <typename F>
PaginaGuida *perIndice(int indice, F &&fare)
{
    switch (indice) {
    case 0: return fare.template operator()<manuale>();
    case 1: return fare.template operator()<guidafunzionamento>();
    case 2: return fare.template operator()<guidaarchivio>();
    case 3: return fare.template operator()<guidamenu>();
    case 4: return fare.template operator()<guidaarea>();
    case 5: return fare.template operator()<guidadisaggregati>();
    case 6: return fare.template operator()<guidasintetici>();
    case 7: return fare.template operator()<guidatipologie>();
    case 8: return fare.template operator()<guidaaltezze>();
    }
    return nullptr;
}

} // namespace

PaginaGuida *paginaGuida(int indice)
{
    return perIndice(indice, []<typename T>() -> PaginaGuida * { return registro::prendi<T>(); });
}

PaginaGuida *mostraPaginaGuida(int indice)
{
    return perIndice(indice, []<typename T>() -> PaginaGuida * { return registro::mostra<T>(); });
}

} // namespace perix
