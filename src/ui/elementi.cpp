#include "ui/elementi.h"

#include <QFrame>
#include <QLabel>

// Resources of a static library are registered by hand, once, before the first icon.
static void registraRisorse()
{
    Q_INIT_RESOURCE(perix);
}

namespace perix {

void caricaRisorse()
{
    static const bool fatto = (registraRisorse(), true);
    Q_UNUSED(fatto);
}

QLabel *etichetta(QWidget *genitore, const QString &nome, const QString &testo, QRect r, Qt::Alignment allineamento,
                  const QString &suggerimento)
{
    auto *l = new QLabel(testo, genitore);
    l->setObjectName(nome);
    l->setGeometry(r);
    l->setAlignment(allineamento);
    l->setTextFormat(Qt::PlainText);
    if (!suggerimento.isEmpty())
        l->setToolTip(suggerimento);
    return l;
}

void linea(QWidget *genitore, const QString &nome, int y)
{
    auto *l = new QFrame(genitore);
    l->setObjectName(nome);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    l->setGeometry(12, y, genitore->width() - 24, 2);
}

QString breve(const QString &testo, int massimo)
{
    return testo.size() > massimo ? testo.left(massimo - 1) + u'…' : testo;
}

} // namespace perix
