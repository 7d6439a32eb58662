#pragma once
// Help and information windows whose full contents come later: each exists once under
// its own name.

#include <QWidget>

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

} // namespace perix
