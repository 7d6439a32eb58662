#pragma once
// The customer-support page: the maker's addresses and how to ask for help. Every text
// is fixed.

#include <QWidget>

class QPushButton;

namespace perix {

class supportoclienti : public QWidget
{
    Q_OBJECT
public:
    supportoclienti();

    void Command1_Click();

private:
    QPushButton *Command1 = nullptr;
};

} // namespace perix
