#include "app/splash.h"

#include "help/finestre.h"
#include "app/avvio.h"
#include "ui/elementi.h"
#include "ui/modulo.h"
#include "ui/registro.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QIcon>

namespace perix {

frmSplash::frmSplash()
{
    preparaFinestra(this, QStringLiteral("frmSplash"), QStringLiteral("Perix"));
    setFixedSize(520, 330);
    setFocusPolicy(Qt::StrongFocus);
    colora(this, QColor(250, 248, 240));

    // Load: music first, so it plays while the window is open; it never delays the paint.
    m_MMControl1.apri(Modulo::trovaFileDati(QStringLiteral("Internet.mid")));
    m_MMControl1.play();
    Modulo::impostatesti();
    Modulo::datiprogramma();

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 2px solid #7a1f1f; border-radius: 6px; }"));
    shape->setGeometry(10, 10, 500, 310);

    auto *img = new QLabel(this);
    img->setObjectName(QStringLiteral("Image1"));
    img->setPixmap(QIcon(QStringLiteral(":/icons/perix.svg")).pixmap(128, 128));
    img->setGeometry(32, 92, 128, 128);

    for (int i = 0; i < 13; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("label(%1)").arg(i));
        l->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        l->installEventFilter(this);
        m_label[std::size_t(i)] = l;
    }
    img->installEventFilter(this);
    shape->installEventFilter(this);

    const auto posa = [this](int i, QRect r, QString testo, int punti, bool grassetto, QColor colore,
                             Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter) {
        QLabel *l = m_label[std::size_t(i)];
        l->setGeometry(r);
        l->setText(testo);
        l->setAlignment(a);
        QFont f = l->font();
        if (punti > 0)
            f.setPointSize(punti);
        f.setBold(grassetto);
        l->setFont(f);
        l->setStyleSheet(QStringLiteral("color: %1;").arg(colore.name()));
    };
    const QColor scuro(40, 40, 40), rosso(122, 31, 31), blu(25, 55, 110);
    posa(1, {180, 30, 310, 22}, QStringLiteral("software VELMORA"), 11, true, blu);
    posa(2, {180, 56, 310, 22}, QStringLiteral("                        presenta"), 10, false, scuro);
    posa(3, {180, 84, 310, 62}, QString(), 0, false, rosso);
    QFont titolo(QStringLiteral("Arial Black"));
    titolo.setPointSize(36);
    titolo.setWeight(QFont::Black);
    m_label[3]->setFont(titolo);
    posa(4, {180, 148, 310, 44}, QString(), 11, false, scuro);
    m_label[4]->setWordWrap(true);
    posa(5, {180, 196, 310, 22}, QString(), 9, true, blu);
    posa(8, {20, 286, 480, 22},
         QStringLiteral("(clic, Invio o barra spaziatrice per iniziare; un altro tasto per uscire)"),
         9, false, QColor(90, 90, 90), Qt::AlignCenter);
    for (int i : {0, 6, 7, 9, 10, 11, 12})
        m_label[std::size_t(i)]->hide(); // no text: they only kept places in the design

    m_label[3]->setText(Modulo::nomeprogramma);
    m_label[4]->setText(Modulo::descrizioneprogramma);
    m_label[5]->setText(QStringLiteral("EDIZIONE PROFESSIONALE - VERSIONE ") + Modulo::versioneprogramma);
}

frmSplash::~frmSplash() = default;

void frmSplash::impostaEtichetta(int i, const QString &testo)
{
    if (i >= 0 && i < 13)
        m_label[std::size_t(i)]->setText(testo);
}

void frmSplash::Form_Click()
{
    m_MMControl1.pausa();
    Modulo::vaiamenu();
}

void frmSplash::Form_KeyPress()
{
    m_MMControl1.chiudi();
    registro::chiudi<prodotti>();
    close();
}

void frmSplash::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        Form_Click();
}

void frmSplash::keyPressEvent(QKeyEvent *e)
{
    // Modifier keys alone are not a key press to the user.
    if (e->key() == Qt::Key_Shift || e->key() == Qt::Key_Control || e->key() == Qt::Key_Alt
        || e->key() == Qt::Key_Meta || e->key() == Qt::Key_AltGr)
        return;
    // Enter and the space bar start, as a click does: without a mouse the user must get in.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        Form_Click();
        return;
    }
    Form_KeyPress();
}

bool frmSplash::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        Form_Click();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

} // namespace perix
