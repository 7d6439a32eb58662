#pragma once
// The nine help pages: a title, a block of text and three buttons (table of contents,
// print, close). They differ only in title, text and width. "Chiudi" hides a page, which
// keeps its size and place; the title-bar close box destroys it, and it comes back at
// its start size.

#include "help/testi_guida.h"
#include "ui/clsresize.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace perix {

class PaginaGuida : public QWidget
{
    Q_OBJECT
public:
    QLabel *Label1() const { return m_titolo; }
    QLabel *Label2() const { return m_testo; }
    clsResize &ridimensionamento() { return m_resize; }

    void cmdSommario_Click();
    void cmdStampa_Click();
    void cmdChiudi_Click();

    // Inner size at design, in twips: the start size.
    static QSize areaProgetto(bool manuale);

protected:
    // `indice` 0..8 in the order of the table of contents.
    explicit PaginaGuida(int indice);
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    int m_indice;
    clsResize m_resize;
    QLabel *m_titolo = nullptr;
    QLabel *m_testo = nullptr;
};

#define PERIX_PAGINA_GUIDA(Classe, indice)                                                         \
    class Classe : public PaginaGuida                                                              \
    {                                                                                              \
    public:                                                                                        \
        Classe() : PaginaGuida(indice) {}                                                          \
    };

PERIX_PAGINA_GUIDA(manuale, 0)
PERIX_PAGINA_GUIDA(guidafunzionamento, 1)
PERIX_PAGINA_GUIDA(guidaarchivio, 2)
PERIX_PAGINA_GUIDA(guidamenu, 3)
PERIX_PAGINA_GUIDA(guidaarea, 4)
PERIX_PAGINA_GUIDA(guidadisaggregati, 5)
PERIX_PAGINA_GUIDA(guidasintetici, 6)
PERIX_PAGINA_GUIDA(guidatipologie, 7)
PERIX_PAGINA_GUIDA(guidaaltezze, 8)

#undef PERIX_PAGINA_GUIDA

// The page at `indice` (0..8), created and loaded if it does not exist yet, not shown.
PaginaGuida *paginaGuida(int indice);
// The same, shown without modality and brought forward.
PaginaGuida *mostraPaginaGuida(int indice);

} // namespace perix
