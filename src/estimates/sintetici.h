#pragma once
// The synthetic costs window.

#include "estimates/finestracosti.h"

#include <QLabel>
#include <array>

namespace perix {

class risultatisintetici : public FinestraCosti
{
    Q_OBJECT
public:
    risultatisintetici();
    void nascondiIcone();
    void mostraIcona(int classe);
    bool iconaVisibile(int classe) const;
    // Rows 1..5 of the column of class 1..3 (index 0 unused).
    void impostaColonna(int classe, const std::array<QString, 6> &valori);

private:
    std::array<QWidget *, 4> m_icone{};
    std::array<std::array<QLabel *, 6>, 4> m_griglia{};
};

} // namespace perix
