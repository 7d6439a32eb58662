#include "estimates/finestracosti.h"

#include <QFont>
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
    frame3()->setGeometry(8, 300, 262, 84);
    const QRect posti[] = {{8, 12, 120, 30}, {134, 12, 120, 30}, {8, 46, 120, 30}, {134, 46, 120, 30}};
    int i = 0;
    for (const char *n : {"cmduscita", "cmdmune", "guida", "aiuto"})
        if (auto *b = frame3()->findChild<QPushButton *>(QString::fromLatin1(n)))
            b->setGeometry(posti[i++]);
}

} // namespace perix
