#pragma once
// The about window: the program's name, description and version line.

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace perix {

// "edizione professionale - versione 3.09.04   1999- 2019": the version, two blanks, the
// year of `dataversione` (day/month/year) after a blank, "- 20" and the last two digits
// of `dataaggiornamento`.
QString rigaversione(const QString &versioneprogramma, const QString &dataversione,
                     const QString &dataaggiornamento);

class informa : public QWidget
{
    Q_OBJECT
public:
    informa();

    void cmdOK_Click();

private:
    void Form_Load();

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label5 = nullptr, *Label6 = nullptr;
    QPushButton *cmdOK = nullptr;
};

} // namespace perix
