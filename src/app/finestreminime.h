#pragma once
// Windows whose full contents come later: each exists once under its own name, the
// cost windows already with the common frame and their currency label.

#include "app/cornice.h"

#include <QLabel>
#include <QWidget>
#include <array>

namespace perix {

// A help or information window that, for now, shows its title and a short note.
class FinestraInformativa : public QWidget
{
    Q_OBJECT
public:
    FinestraInformativa(const QString &nome, const QString &titolo, const QString &nota);
};

#define PERIX_FINESTRA_INFORMATIVA(Classe, titolo)                                                 \
    class Classe : public FinestraInformativa                                                      \
    {                                                                                              \
    public:                                                                                        \
        Classe() : FinestraInformativa(QStringLiteral(#Classe), QStringLiteral(titolo), {}) {}     \
    };

PERIX_FINESTRA_INFORMATIVA(sommario, "Perix: sommario della guida")
PERIX_FINESTRA_INFORMATIVA(manuale, "Perix: manuale")
PERIX_FINESTRA_INFORMATIVA(guidafunzionamento, "Perix: guida al funzionamento")
PERIX_FINESTRA_INFORMATIVA(guidaarchivio, "Perix: guida all'archivio")
PERIX_FINESTRA_INFORMATIVA(guidamenu, "Perix: guida della finestra Menu")
PERIX_FINESTRA_INFORMATIVA(guidaarea, "Perix: guida alla stima delle aree fabbricabili")
PERIX_FINESTRA_INFORMATIVA(guidadisaggregati, "Perix: guida dei costi disaggregati")
PERIX_FINESTRA_INFORMATIVA(guidasintetici, "Perix: guida dei costi sintetici")
PERIX_FINESTRA_INFORMATIVA(guidatipologie, "Perix: guida dei costi per tipologie")
PERIX_FINESTRA_INFORMATIVA(guidaaltezze, "Perix: guida dei costi per altezze")
PERIX_FINESTRA_INFORMATIVA(frmTip, "Suggerimenti di Perix")
PERIX_FINESTRA_INFORMATIVA(supportoclienti, "Perix: supporto prodotto")
PERIX_FINESTRA_INFORMATIVA(informa, "Informazioni su Perix")
PERIX_FINESTRA_INFORMATIVA(prodotti, "Perix: catalogo prodotti")

#undef PERIX_FINESTRA_INFORMATIVA

// A cost window with the common frame; its own contents come with its own estimate.
class FinestraCosti : public FinestraStima
{
    Q_OBJECT
public:
    FinestraCosti(const DescrizioneCornice &d, const QString &nome);
};

class risultatidisaggregati : public FinestraCosti
{
    Q_OBJECT
public:
    risultatidisaggregati();
    // The figures handed over by the main window: class, market value, cost, profit.
    void ricevi(const QString &tipoedi, const QString &vm, const QString &cc, const QString &profitto);

private:
    QLabel *m_tipoedi, *m_vm, *m_cc, *m_profitto;
};

class risultatisintetici : public FinestraCosti
{
    Q_OBJECT
public:
    risultatisintetici();
    void nascondiIcone();
    void mostraIcona(int classe);
    bool iconaVisibile(int classe) const;
    // Rows 1..5 of the column of class 1..3 (index 0 unused).
    void impostaColonna(int classe, const std::array<QString, 6> &valori);

private:
    std::array<QWidget *, 4> m_icone{};
    std::array<std::array<QLabel *, 6>, 4> m_griglia{};
};

class risultatitipologie : public FinestraCosti
{
    Q_OBJECT
public:
    risultatitipologie();
};

class variocosto : public FinestraCosti
{
    Q_OBJECT
public:
    variocosto();
};

} // namespace perix
