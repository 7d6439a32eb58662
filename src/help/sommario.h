#pragma once
// The help table of contents: one row per help page and information window, each an
// arrow button and a coloured caption (bold under the pointer), and the commands to
// print the whole help set, to hide the window and to leave the program.

#include "ui/clsresize.h"

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace perix {

class sommario : public QWidget
{
    Q_OBJECT
public:
    sommario();

    // Rows are numbered from 1, top to bottom.
    static constexpr int righe = 11;
    QLabel *label(int Index) const { return m_label.at(std::size_t(Index)); }
    QPushButton *pulsante(int Index) const { return m_pulsante.at(std::size_t(Index)); }

    void pulsante_Click(int Index);
    void label_MouseDown(int Index);
    void label_MouseUp(int Index);
    void label_MouseMove(int Index);
    void cmdchiudi_Click();
    void cmdstampa_Click();
    void cmduscita_Click();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    clsResize m_resize;
    std::array<QLabel *, righe + 1> m_label{};
    std::array<QPushButton *, righe + 1> m_pulsante{};
};

} // namespace perix
