#pragma once
// The costs by typology window.

#include "estimates/finestracosti.h"

#include <QLabel>
#include <array>

namespace perix {

class risultatitipologie : public FinestraCosti
{
    Q_OBJECT
public:
    risultatitipologie();
};

} // namespace perix
