#pragma once
// The disaggregated costs window.

#include "estimates/finestracosti.h"

#include <QLabel>
#include <array>

namespace perix {

class risultatidisaggregati : public FinestraCosti
{
    Q_OBJECT
public:
    risultatidisaggregati();
    // The figures handed over by the main window: class, market value, cost, profit.
    void ricevi(const QString &tipoedi, const QString &vm, const QString &cc, const QString &profitto);

private:
    QLabel *m_tipoedi, *m_vm, *m_cc, *m_profitto;
};

} // namespace perix
