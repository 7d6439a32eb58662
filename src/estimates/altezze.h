#pragma once
// The costs by height window.

#include "estimates/finestracosti.h"

#include <QLabel>
#include <array>

namespace perix {

class variocosto : public FinestraCosti
{
    Q_OBJECT
public:
    variocosto();
};

} // namespace perix
