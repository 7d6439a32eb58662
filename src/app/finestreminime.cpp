#include "finestreminime.h"

#include "app/avvio.h"

#include <QFont>
#include <QLabel>
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

} // namespace perix
