#include "estimates/finestracosti.h"

#include "ui/modulo.h"

#include <QFile>
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

void FinestraCosti::terreni_Click() { Modulo::apriindirizzo(Modulo::paginaterreni, this); }
void FinestraCosti::edifici_Click() { Modulo::apriindirizzo(Modulo::paginaedifici, this); }
void FinestraCosti::archivio_Click() { Modulo::apriindirizzo(Modulo::paginaarchivio, this); }

} // namespace perix
