#include "help/supporto.h"

#include "ui/elementi.h"
#include "help/velmora.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace perix {

namespace {

} // namespace

supportoclienti::supportoclienti()
{
    preparaFinestra(this, QStringLiteral("supportoclienti"), QStringLiteral("Servizi di supporto ai clienti"));
    // A page of fixed texts: it keeps the size it was drawn at.
    setFixedSize(480, 420);
    const int w = width(), x = 24, larga = w - 2 * x;

    auto *Label1 = etichetta(this, "Label1", QStringLiteral("software VELMORA"), {0, 10, w, 32}, Qt::AlignCenter);
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(16);
    f.setBold(true);
    f.setItalic(true);
    Label1->setFont(f);
    auto *Label6 = etichetta(this, "Label6",
                             QStringLiteral("dal 1988 al fianco di geometri, ingegneri e architetti"),
                             {0, 42, w, 20}, Qt::AlignCenter);
    QFont corsivo = font();
    corsivo.setItalic(true);
    Label6->setFont(corsivo);
    linea(this, "Line1", 70);

    etichetta(this, "Label2", QStringLiteral("Velmora software s.r.l. - via dei Geometri 12 - 99099 Velmora"),
              {x, 80, larga, 20});
    etichetta(this, "Label3", QStringLiteral("telefono 0999 000000"), {x, 100, larga, 20});
    etichetta(this, "Label9", QStringLiteral("e-mail: ") + velmora::email, {x, 120, larga, 20});
    etichetta(this, "Label8", QStringLiteral("sito internet:"), {x, 140, 90, 20});
    etichetta(this, "Label10", velmora::sito, {x + 90, 140, larga - 90, 20});
    linea(this, "Line2", 168);

    auto *Label4 = etichetta(
        this, "Label4",
        QStringLiteral("Per avere spiegazioni scritte inviate un'e-mail che descriva il problema con chiarezza. "
                       "Usate il telefono soltanto per le domande a cui si può rispondere a voce, indicando con "
                       "precisione il punto del programma a cui vi riferite. Il servizio telefonico risponde dal "
                       "lunedì al venerdì, la mattina dalle 9 alle 12.30 e il pomeriggio dalle 15 alle 18, "
                       "esclusi i giorni festivi."),
        {x, 178, larga, 118}, Qt::AlignLeft | Qt::AlignTop);
    Label4->setWordWrap(true);
    auto *Label5 = etichetta(
        this, "Label5",
        QStringLiteral("Su richiesta il programma può essere adattato alle esigenze del vostro studio. "
                       "Suggerimenti e proposte per le prossime versioni sono sempre benvenuti."),
        {x, 300, larga, 60}, Qt::AlignLeft | Qt::AlignTop);
    Label5->setWordWrap(true);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry((w - 96) / 2, 374, 96, 30);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &supportoclienti::Command1_Click);
}

void supportoclienti::Command1_Click()
{
    hide();
}

} // namespace perix
