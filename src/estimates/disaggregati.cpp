#include "disaggregati.h"

namespace perix {

risultatidisaggregati::risultatidisaggregati()
    : FinestraCosti(descrizioneCosti(2, "Costi disaggregati",
                                "Perix: risultati della stima dei costi di costruzione disaggregati",
                                rinominaMenu(menuPredefiniti(),
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

} // namespace perix
