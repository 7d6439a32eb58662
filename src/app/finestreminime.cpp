#include "finestreminime.h"

#include "app/avvio.h"
#include "app/modulo.h"

#include <QFont>
#include <QIcon>
#include <QVBoxLayout>

namespace perix {

FinestraInformativa::FinestraInformativa(const QString &nome, const QString &titolo, const QString &nota)
{
    caricaRisorse();
    setObjectName(nome);
    setWindowTitle(titolo);
    setWindowIcon(QIcon(QStringLiteral(":/icons/icona.svg")));
    auto *l = new QVBoxLayout(this);
    auto *t = new QLabel(titolo, this);
    QFont f = t->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    t->setFont(f);
    l->addWidget(t);
    auto *n = new QLabel(nota.isEmpty() ? QStringLiteral("Questa pagina sarà disponibile in una prossima edizione.") : nota, this);
    n->setWordWrap(true);
    l->addWidget(n);
    l->addStretch();
    resize(376, 300);
}

namespace {

QList<MenuCornice> rinomina(QList<MenuCornice> menu, const QHash<QString, QString> &nomi,
                            const QHash<QString, QString> &testi = {})
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

DescrizioneCornice descrizione(int n, const char *visibile, const char *titolo, QList<MenuCornice> menu,
                               int spazi = 126)
{
    return {n, QString::fromUtf8(visibile), QString::fromUtf8(titolo), std::move(menu), spazi};
}

} // namespace

FinestraCosti::FinestraCosti(const DescrizioneCornice &d, const QString &nome) : FinestraStima(d)
{
    setObjectName(nome);
    soldi()->setGeometry(8, 6, 260, 20);
    QFont grassetto = soldi()->font();
    grassetto.setBold(true);
    soldi()->setFont(grassetto);
    frame3()->setGeometry(8, 300, 262, 84);
    const QRect posti[] = {{8, 12, 120, 30}, {134, 12, 120, 30}, {8, 46, 120, 30}, {134, 46, 120, 30}};
    int i = 0;
    for (const char *n : {"cmduscita", "cmdmune", "guida", "aiuto"})
        if (auto *b = frame3()->findChild<QPushButton *>(QString::fromLatin1(n)))
            b->setGeometry(posti[i++]);
}

risultatidisaggregati::risultatidisaggregati()
    : FinestraCosti(descrizione(2, "Costi disaggregati",
                                "Perix: risultati della stima dei costi di costruzione disaggregati",
                                rinomina(menuPredefiniti(),
                                         {{"file", "fil"}, {"modifica", "modif"}, {"visualizza", "vis"},
                                          {"cancelladati", "cancella"}, {"informazioni", "informaz"}},
                                         {{"apri", "Apri..."}, {"salva", "Salva"}, {"salvanome", "Salva con nome..."},
                                          {"eliminare", "Elimina..."}, {"solodati", "Stampa dati finestra"},
                                          {"esci", "Esci"}, {"colorare", "Colore di sfondo"},
                                          {"controlla", "Controlla dati immessi"},
                                          {"cancelladati", "Cancella dati finestra"},
                                          {"guidainlinea", "Guida in linea"}, {"sugger", "Suggerimenti..."},
                                          {"supporto", "Supporto prodotto"},
                                          {"informazioni", "Informazioni su Perix"}}),
                                124),
                    QStringLiteral("risultatidisaggregati"))
{
    const auto riga = [this](int y, const char *didascalia, const char *nome) {
        auto *d = new QLabel(QString::fromUtf8(didascalia), area());
        d->setGeometry(290, y, 200, 22);
        auto *v = new QLabel(area());
        v->setObjectName(QString::fromUtf8(nome));
        v->setGeometry(490, y, 140, 22);
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return v;
    };
    m_tipoedi = riga(40, "", "tipoedi");
    m_vm = riga(66, " Valore di mercato dell'edificio", "vm");
    m_cc = riga(92, " Costo di costruzione", "cc");
    m_profitto = riga(118, " Profitto netto", "profitto");
    m_tipoedi->setGeometry(290, 40, 340, 22);
    m_tipoedi->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    completaCaricamento(QSize(640, 395));
}

void risultatidisaggregati::ricevi(const QString &tipoedi, const QString &vm, const QString &cc,
                                   const QString &profitto)
{
    m_tipoedi->setText(tipoedi);
    m_vm->setText(vm);
    m_cc->setText(cc);
    m_profitto->setText(profitto);
}

risultatisintetici::risultatisintetici()
    : FinestraCosti(descrizione(3, "Costi sintetici", "Perix: risultati della stima dei costi sintetici",
                                rinomina(menuPredefiniti(),
                                         {{"modifica", "modif"}, {"visualizza", "VISU"}, {"interr", "inter"},
                                          {"cancelladati", "cancella"}, {"informazioni", "informaz"},
                                          {"sugger", "sugg"}},
                                         {{"apri", "&Apri"}, {"eliminare", "E&limina..."}})),
                    QStringLiteral("risultatisintetici"))
{
    const char *colonne[4] = {"", "rissint", "rissint2", "rissint3"};
    const char *intestazioni[4] = {"", " economiche", " medie", "evolute"};
    const char *righe[7] = {"",
                            " Costo a metro cubo vuoto per pieno",
                            " Costo a metro quadrato di superficie lorda",
                            " Parametro del volume del vano (mc.)",
                            " Parametro della superficie del vano (mq.)",
                            " Costo a vano (circa)",
                            "Tipo di edificio scelto"};
    for (int r = 1; r <= 6; ++r) {
        auto *l = new QLabel(QString::fromUtf8(righe[r]), area());
        l->setObjectName(QStringLiteral("Label1(%1)").arg(r));
        l->setGeometry(8, 40 + (r - 1) * 24, 260, 22);
    }
    for (int c = 1; c <= 3; ++c) {
        auto *h = new QLabel(QString::fromUtf8(intestazioni[c]), area());
        h->setGeometry(270 + (c - 1) * 120, 14, 116, 22);
        h->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (int r = 1; r <= 5; ++r) {
            auto *v = new QLabel(area());
            v->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(colonne[c])).arg(r));
            v->setGeometry(270 + (c - 1) * 120, 40 + (r - 1) * 24, 116, 22);
            v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_griglia[std::size_t(c)][std::size_t(r)] = v;
        }
        auto *icona = new QLabel(area());
        icona->setObjectName(QStringLiteral("Image1(%1)").arg(c));
        icona->setPixmap(QIcon(QStringLiteral(":/icons/moneta.svg")).pixmap(20, 20));
        icona->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        icona->setGeometry(270 + (c - 1) * 120, 40 + 5 * 24, 116, 22);
        m_icone[std::size_t(c)] = icona;
    }
    nascondiIcone();
    completaCaricamento(QSize(640, 395));
}

void risultatisintetici::nascondiIcone()
{
    for (int c = 1; c <= 3; ++c)
        m_icone[std::size_t(c)]->hide();
}

void risultatisintetici::mostraIcona(int classe)
{
    if (classe >= 1 && classe <= 3)
        m_icone[std::size_t(classe)]->show();
}

bool risultatisintetici::iconaVisibile(int classe) const
{
    return classe >= 1 && classe <= 3 && !m_icone[std::size_t(classe)]->isHidden();
}

void risultatisintetici::impostaColonna(int classe, const std::array<QString, 6> &valori)
{
    if (classe < 1 || classe > 3)
        return;
    for (int r = 1; r <= 5; ++r)
        m_griglia[std::size_t(classe)][std::size_t(r)]->setText(valori[std::size_t(r)]);
}

risultatitipologie::risultatitipologie()
    : FinestraCosti(descrizione(4, "Costi per tipologie", "Perix: risultati della stima dei costi per tipologie",
                                menuPredefiniti()),
                    QStringLiteral("risultatitipologie"))
{
    completaCaricamento(QSize(640, 395));
}

variocosto::variocosto()
    : FinestraCosti(descrizione(5, "Costi per altezze", "Perix: costi di costruzione per altezze",
                                menuPredefiniti()),
                    QStringLiteral("variocosto"))
{
    completaCaricamento(QSize(640, 395));
}

} // namespace perix
