#include "ui/elementi.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

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

void preparaFinestra(QWidget *finestra, const QString &nome, const QString &titolo, const QString &icona)
{
    caricaRisorse();
    finestra->setObjectName(nome);
    finestra->setWindowTitle(titolo);
    finestra->setWindowIcon(QIcon(icona));
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

QPushButton *pulsante(QWidget *genitore, const QString &nome, const QString &testo, QRect r,
                      const QString &suggerimento, std::function<void()> azione)
{
    auto *b = new QPushButton(testo, genitore);
    b->setObjectName(nome);
    b->setGeometry(r);
    b->setToolTip(suggerimento);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, genitore, std::move(azione));
    return b;
}

void colora(QWidget *w, std::optional<QColor> fondo, std::optional<QColor> testo)
{
    QPalette p = w->palette();
    if (fondo) {
        p.setColor(QPalette::Window, *fondo);
        w->setAutoFillBackground(true);
    }
    if (testo)
        p.setColor(QPalette::WindowText, *testo);
    w->setPalette(p);
}

QLabel *notaDiscreta(QWidget *genitore, const QString &nome, QRect r)
{
    QLabel *l = etichetta(genitore, nome, QString(), r);
    l->setWordWrap(true);
    l->setStyleSheet(QStringLiteral("QLabel#%1 { background: #fff4d6; border: 1px solid #e0b54a;"
                                    " border-radius: 2px; padding: 0 3px; color: #5a3b00; }")
                         .arg(nome));
    QFont piccolo = l->font();
    piccolo.setPointSizeF(std::max(6.0, piccolo.pointSizeF() - 1.5));
    l->setFont(piccolo);
    l->hide();
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


} // namespace perix
