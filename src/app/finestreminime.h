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


#undef PERIX_FINESTRA_INFORMATIVA

} // namespace perix
