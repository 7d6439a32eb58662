#include "sintetici.h"

#include <QIcon>

namespace perix {

risultatisintetici::risultatisintetici()
    : FinestraCosti(descrizioneCosti(3, "Costi sintetici", "Perix: risultati della stima dei costi sintetici",
                                rinominaMenu(menuPredefiniti(),
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

} // namespace perix
