#pragma once
// The greeting window: plays the music and shows the program's name, description
// and version. A click, Enter or the space bar opens the main window; any other key ends
// the program.

#include "app/musica.h"

#include <QLabel>
#include <QWidget>
#include <array>

namespace perix {

class frmSplash : public QWidget
{
    Q_OBJECT
public:
    frmSplash();
    ~frmSplash() override;

    Musica &musica() { return m_MMControl1; }
    QLabel *etichetta(int i) const { return m_label.at(std::size_t(i)); }
    void impostaEtichetta(int i, const QString &testo);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Form_Click();
    void Form_KeyPress();

    Musica m_MMControl1;
    std::array<QLabel *, 13> m_label{};
};

} // namespace perix
