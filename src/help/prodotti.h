#pragma once
// The product catalogue: the maker's price list read from "listino.txt", ten products at a
// time with a scroll bar, printed through a report window, with buttons to the maker's
// catalogue page and to a new e-mail message.

#include "core/lettura_listino.h"
#include "ui/clsresize.h"

#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QScrollBar;

namespace perix {

class prodotti : public QWidget
{
    Q_OBJECT
public:
    prodotti();

    void VScroll1_Change();
    // Asks the desktop to open the address; whether it could.
    bool Link(const QString &indirizzo);
    void Command1_Click();
    void Command2_Click();
    void cmdsommario_Click();
    void cmdstampa_Click();
    void cmdchiudi_Click();

    const QString &annolistino() const { return m_listino.annolistino; }
    int numeroprodotti() const { return m_listino.numeroprodotti(); }
    int primariga() const { return m_primariga; }
    // What went wrong reading the list; empty when it read as announced.
    const QString &nota() const { return m_listino.nota; }

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void Form_Load();
    void creaControlli();

    static constexpr int righe = 10;
    std::array<QLabel *, righe + 1> num{}, nom{}, argom{}, eur{}, off{}; // 1..10
    QLabel *Label10 = nullptr, *notalistino = nullptr;
    QScrollBar *VScroll1 = nullptr;

    Listino m_listino;
    int m_primariga = 1;
    clsResize m_resize;
};

} // namespace perix
