#include "help/suggerimenti.h"

#include "ui/elementi.h"
#include "ui/modulo.h"
#include "core/lettura_suggerimenti.h"
#include "ui/clsresize.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace perix {

namespace {

std::optional<QString> fileScelto;

} // namespace

QString frmTip::messaggioMancante()
{
    return QStringLiteral("Impossibile trovare il file ") + nomeFile + QStringLiteral("\r\n\r\n")
           + QStringLiteral("Creare un file di testo denominato ") + nomeFile
           + QStringLiteral(" utilizzando il Blocco note e inserendo un suggerimento per ogni riga. ")
           + QStringLiteral("Inserire il file nella stessa directory dell'applicazione. ");
}

void frmTip::impostaFile(std::optional<QString> percorso)
{
    fileScelto = std::move(percorso);
}

frmTip::frmTip()
{
    preparaFinestra(this, QStringLiteral("frmTip"), QStringLiteral("Suggerimento del giorno"));

    auto *pannello = new QFrame(this);
    pannello->setObjectName(QStringLiteral("Picture1"));
    pannello->setGeometry(twips(120, 120, 4455, 2715));
    pannello->setFrameShape(QFrame::Panel);
    pannello->setFrameShadow(QFrame::Sunken);
    colora(pannello, QColor(255, 255, 192), Qt::black);

    auto *icona = new QLabel(pannello);
    icona->setObjectName(QStringLiteral("Image1"));
    icona->setGeometry(twips(60, 120, 480, 480));
    icona->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

    auto *titolo = new QLabel(QStringLiteral("Non tutti sanno che..."), pannello);
    titolo->setObjectName(QStringLiteral("Label1"));
    titolo->setGeometry(twips(540, 180, 2655, 480));
    QFont grassetto = titolo->font();
    grassetto.setBold(true);
    grassetto.setPointSizeF(grassetto.pointSizeF() * 1.2);
    titolo->setFont(grassetto);

    m_testo = new QLabel(pannello);
    m_testo->setObjectName(QStringLiteral("lblTipText"));
    m_testo->setGeometry(twips(180, 840, 4095, 1635));
    // A tip is the user's text: "<Invio>" must show as typed.
    m_testo->setTextFormat(Qt::PlainText);
    m_testo->setWordWrap(true);
    m_testo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    pulsante(this, QStringLiteral("cmdOK"), QStringLiteral("&Chiudi"), twips(4800, 120, 1215, 375), {},
             [this] { cmdOK_Click(); });
    pulsante(this, QStringLiteral("cmdNextTip"), QStringLiteral("&Successivo"), twips(4800, 600, 1215, 375), {},
             [this] { cmdNextTip_Click(); });
    pulsante(this, QStringLiteral("cmdprecedente"), QStringLiteral("&Precedente"), twips(4800, 1080, 1215, 375), {},
             [this] { cmdprecedente_Click(); });

    // A small fixed dialog: it keeps its design size.
    setFixedSize(6195 / twipsPerPixel, 3285 / twipsPerPixel);
    Form_Load();
}

void frmTip::Form_Load()
{
    const QString percorso = fileScelto ? *fileScelto : Modulo::trovaFileDati(nomeFile);
    if (!LoadTips(percorso))
        m_testo->setText(messaggioMancante());
}

bool frmTip::LoadTips(const QString &nomefile)
{
    // A name that is there but cannot be read (a folder, no permission) counts as missing.
    const auto letti = leggiSuggerimenti(nomefile);
    if (!letti)
        return false;
    m_tipList.append(*letti);
    ShowNextTip();
    return true;
}

void frmTip::DisplayCurrentTip()
{
    if (!m_tipList.isEmpty() && m_tipNumber >= 1 && m_tipNumber <= m_tipList.size())
        m_testo->setText(m_tipList.at(m_tipNumber - 1));
}

void frmTip::ShowNextTip()
{
    ++m_tipNumber;
    if (m_tipNumber > m_tipList.size())
        m_tipNumber = 1;
    DisplayCurrentTip();
}

void frmTip::cmdNextTip_Click()
{
    ShowNextTip();
}

void frmTip::cmdprecedente_Click()
{
    if (m_tipNumber <= 1)
        return;
    --m_tipNumber;
    DisplayCurrentTip();
}

void frmTip::cmdOK_Click()
{
    hide();
}

} // namespace perix
