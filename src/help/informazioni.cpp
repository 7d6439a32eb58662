#include "help/informazioni.h"

#include "ui/elementi.h"
#include "ui/modulo.h"

#include <QDate>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace perix {

QString rigaversione(const QString &versioneprogramma, const QString &dataversione,
                     const QString &dataaggiornamento)
{
    // A year is written as a number is: the sign position, blank when positive, first.
    const QDate data = QDate::fromString(dataversione, QStringLiteral("d/M/yyyy"));
    const QString anno = data.isValid() ? u' ' + QString::number(data.year()) : QString();
    return QStringLiteral("edizione professionale - versione ") + versioneprogramma + QStringLiteral("  ") + anno
         + QStringLiteral("- 20") + dataaggiornamento.right(2);
}

namespace {

QFont carattere(const QString &famiglia, double punti, bool grassetto = false, bool corsivo = false)
{
    QFont f(famiglia);
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    f.setItalic(corsivo);
    return f;
}

} // namespace

informa::informa()
{
    caricaRisorse();
    setObjectName(QStringLiteral("informa"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/icona.svg")));
    // Nothing here grows with the window: it keeps the size it was drawn at.
    setFixedSize(400, 250);
    const int w = width();
    // Centred captions, each in its own type.
    const auto centrata = [this](const char *nome, const QString &testo, QRect r, const QFont &carattere) {
        QLabel *l = etichetta(this, QString::fromLatin1(nome), testo, r, Qt::AlignCenter);
        l->setFont(carattere);
        return l;
    };
    Label3 = centrata("Label3", QStringLiteral("software VELMORA"), {0, 8, w, 34}, carattere(QStringLiteral("Arial"), 18, true, true));
    linea(this, "Line1", 48);
    Label1 = centrata("Label1", QString(), {0, 54, w, 48}, carattere(QStringLiteral("Arial Black"), 24, true));
    Label2 = centrata("Label2", QString(), {8, 104, w - 16, 22}, carattere(QStringLiteral("MS Sans Serif"), 9.75));
    linea(this, "Line2", 132);
    Label5 = centrata("Label5", QStringLiteral("per sistemi Windows a 32 bit "), {8, 140, w - 16, 20}, font());
    Label6 = centrata("Label6", QString(), {8, 162, w - 16, 20}, font());
    linea(this, "Line3", 190);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry((w - 96) / 2, 206, 96, 30);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &informa::cmdOK_Click);
    Form_Load();
}

void informa::Form_Load()
{
    setWindowTitle(QStringLiteral("Informazioni su ") + Modulo::nomeprogramma);
    Label1->setText(Modulo::nomeprogramma);
    Label2->setText(Modulo::descrizioneprogramma);
    Label6->setText(rigaversione(Modulo::versioneprogramma, Modulo::dataversione, Modulo::dataaggiornamento));
}

void informa::cmdOK_Click()
{
    hide();
}

} // namespace perix
