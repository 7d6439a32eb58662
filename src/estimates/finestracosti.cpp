#include "estimates/finestracosti.h"

#include "ui/modulo.h"
#include "ui/elementi.h"
#include "ui/accessibile.h"
#include "ui/registro.h"
#include "core/numeri.h"
#include "estimates/menu.h"

#include <QLineEdit>
#include <QStatusBar>

#include <QFile>
#include <cmath>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QStyle>
#include <QToolButton>
#include <QPushButton>

namespace perix {

QList<MenuCornice> rinominaMenu(QList<MenuCornice> menu, const QHash<QString, QString> &nomi,
                                const QHash<QString, QString> &testi)
{
    for (MenuCornice &m : menu) {
        m.nome = nomi.value(m.nome, m.nome);
        for (VoceMenu &v : m.voci) {
            if (v.nome.isEmpty())
                continue;
            v.testo = testi.value(v.nome, v.testo);
            v.nome = nomi.value(v.nome, v.nome);
        }
    }
    return menu;
}

void FinestraCosti::aiuto_Click()
{
    dialoghi::messaggio(this, m_aiuto, Modulo::titoloaiuto, dialoghi::Icona::Informazione);
}

DescrizioneCornice descrizioneCosti(int n, const char *visibile, const char *titolo, QList<MenuCornice> menu,
                                    int spazi, const QString &documento)
{
    return {n, QString::fromUtf8(visibile), QString::fromUtf8(titolo), std::move(menu), spazi,
            dialoghi::Icona::Stop, documento};
}

FinestraCosti::FinestraCosti(const DescrizioneCornice &d, const QString &nome) : FinestraStima(d)
{
    setObjectName(nome);
    soldi()->setGeometry(8, 6, 260, 20);
    QFont grassetto = soldi()->font();
    grassetto.setBold(true);
    soldi()->setFont(grassetto);
    disponiPulsanti({8, 300, 262, 84}, 120, 126);
}

void FinestraCosti::creaWeb(QWidget *genitore, QRect riquadro, const std::array<QRect, 3> &posti, int lato, bool sotto)
{
    auto *web = new QGroupBox(QStringLiteral("Web"), genitore);
    web->setObjectName(QStringLiteral("Frame2"));
    web->setGeometry(riquadro);
    struct Pulsante {
        const char *nome, *testo, *suggerimento;
        void (FinestraCosti::*clic)();
    };
    const Pulsante pulsanti[] = {
        {"archivio", "archivio dati",
         "cliccare per visualizzare la pagina web con i dati locali per la stima di terreni ed edifici",
         &FinestraCosti::archivio_Click},
        {"edifici", "stima edifici", "cliccare per visualizzare la pagina web con il software per stima di edifici",
         &FinestraCosti::edifici_Click},
        {"terreni", "relazione", "cliccare per visualizzare la pagina web con il software per stima di terreni edificabili ",
         &FinestraCosti::terreni_Click},
    };
    // The style's network picture where the program's own is missing.
    const QString percorso = QStringLiteral(":/icons/web.svg");
    const QIcon icona = QFile::exists(percorso) ? QIcon(percorso) : style()->standardIcon(QStyle::SP_DriveNetIcon);
    for (std::size_t i = 0; i < 3; ++i) {
        auto *b = new QToolButton(web);
        b->setObjectName(QString::fromUtf8(pulsanti[i].nome));
        b->setText(QString::fromUtf8(pulsanti[i].testo));
        b->setToolTip(QString::fromUtf8(pulsanti[i].suggerimento));
        b->setIcon(icona);
        b->setIconSize(QSize(lato, lato));
        b->setToolButtonStyle(sotto ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
        b->setGeometry(posti[i]);
        connect(b, &QToolButton::clicked, this, pulsanti[i].clic);
    }
}

void FinestraCosti::creaCostoTotale(QWidget *genitore, QRect r, const QString &didascalia, const QString &finestra,
                                    const QString &unita)
{
    m_finestra = finestra;
    m_unita = unita;
    const bool riga = r.width() >= 500;
    auto *l = etichetta(genitore, QStringLiteral("Labeldimensione"), didascalia,
                        riga ? QRect(r.x(), r.y(), 170, 24) : QRect(r.x(), r.y(), r.width(), 20),
                        QStringLiteral("la dimensione dell'edificio a cui si applica il costo unitario scelto"));
    m_dimensione = new QLineEdit(genitore);
    m_dimensione->setObjectName(QStringLiteral("dimensione"));
    m_dimensione->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_dimensione->setGeometry(riga ? QRect(r.x() + 172, r.y(), 90, 24) : QRect(r.x(), r.y() + 22, 100, 24));
    m_dimensione->setToolTip(QStringLiteral("dato da digitare, ad esempio 1.250,50"));
    accessibile::didascalia(l, m_dimensione);
    m_totale = etichetta(genitore, QStringLiteral("costototale"), QString(),
                         riga ? QRect(r.x() + 268, r.y(), r.width() - 268 - 134, 24)
                              : QRect(r.x(), r.y() + 50, r.width(), 36),
                         QStringLiteral("costo unitario scelto per la dimensione dell'edificio"));
    m_totale->setWordWrap(true);
    accessibile::risultato(m_totale, QStringLiteral("Costo totale di costruzione"));
    pulsante(genitore, QStringLiteral("portacosto"), QStringLiteral("&Porta nei costi totali"),
             riga ? QRect(r.right() - 130, r.y(), 130, 26) : QRect(r.x(), r.y() + 90, r.width(), 26),
             QStringLiteral("cliccare per riportare il costo totale nei costi totali della finestra 'Menu'"),
             [this] { portacosto_Click(); });
    connect(m_dimensione, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (allegato().dimensione != t) {
            Allegato a = allegato();
            a.dimensione = t;
            impostaAllegato(std::move(a));
        }
        aggiornaTotale();
    });
    aggiornaTotale();
}

void FinestraCosti::allegatoCambiato()
{
    // An opened file brings its size back with it.
    if (m_dimensione && m_dimensione->text() != allegato().dimensione)
        m_dimensione->setText(allegato().dimensione);
}

std::optional<FonteCosto> FinestraCosti::costoTotale() const
{
    const auto unitario = costoUnitario();
    if (!unitario || !m_dimensione)
        return std::nullopt;
    const auto costo = letturaLocale(unitario->unitario);
    const auto dimensione = letturaLocale(m_dimensione->text());
    if (!costo || !dimensione || *dimensione <= 0)
        return std::nullopt;
    const double totale = *costo * *dimensione;
    if (!std::isfinite(totale) || std::abs(totale) >= 1e15)
        return std::nullopt;
    // Whole units, in the plain form the main window's valuation reads.
    return FonteCosto{m_finestra, unitario->voce, unitario->unitario.trimmed(), m_unita, m_dimensione->text().trimmed(),
                      QString::number(std::llround(totale))};
}

void FinestraCosti::aggiornaTotale()
{
    if (!m_totale)
        return;
    const auto f = costoTotale();
    QString t;
    if (f)
        t = QStringLiteral("Costo totale: %1").arg(formatta(f->valore, Schema::Intero));
    else if (!m_dimensione->text().trimmed().isEmpty() && !letturaLocale(m_dimensione->text()))
        t = QStringLiteral("«%1» non è un numero valido").arg(breve(m_dimensione->text().trimmed()));
    m_totale->setText(t);
}

void FinestraCosti::portacosto_Click()
{
    const auto f = costoTotale();
    if (!f) {
        dialoghi::stop(this,
                       !costoUnitario()
                           ? QStringLiteral("Non c'è un costo unitario scelto da cui calcolare il costo totale: sceglierlo "
                                            "nella tabella.")
                           : QStringLiteral("Digitare la dimensione dell'edificio (un numero maggiore di zero, ad esempio "
                                            "1.250,50) per calcolare il costo totale."),
                       Modulo::titolocontrollo);
        return;
    }
    registro::prendi<menu>()->ricevicosto(*f);
    statusBar()->showMessage(QStringLiteral("Costo totale %1 riportato nei costi totali della finestra Menu")
                                 .arg(formatta(f->valore, Schema::Intero)),
                             8000);
    mostraFinestraStima(1);
}
void FinestraCosti::terreni_Click() { Modulo::apriindirizzo(Modulo::paginaterreni, this); }
void FinestraCosti::edifici_Click() { Modulo::apriindirizzo(Modulo::paginaedifici, this); }
void FinestraCosti::archivio_Click() { Modulo::apriindirizzo(Modulo::paginaarchivio, this); }

} // namespace perix
