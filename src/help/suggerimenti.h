#pragma once
// The tips window: short tips about the program, one at a time, read from the tips file
// beside the program when the window is created. "Successivo" runs round from the last
// tip to the first; "Precedente" stops at the first.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;

namespace perix {

class frmTip : public QWidget
{
    Q_OBJECT
public:
    frmTip();

    static inline const QString nomeFile = QStringLiteral("SuggerimentiPerix.TXT");
    // What the tip label shows when the file is missing or cannot be read.
    static QString messaggioMancante();
    // Tests name the file the next window reads (nothing: the usual lookup again).
    static void impostaFile(std::optional<QString> percorso);

    bool LoadTips(const QString &nomefile);
    void DisplayCurrentTip();
    void ShowNextTip();
    void cmdNextTip_Click();
    void cmdprecedente_Click();
    void cmdOK_Click();

    const QStringList &TipList() const { return m_tipList; }
    int32_t TipNumber() const { return m_tipNumber; }

private:
    void Form_Load();

    QStringList m_tipList;
    int32_t m_tipNumber = 0;
    QLabel *m_testo = nullptr;
};

} // namespace perix
