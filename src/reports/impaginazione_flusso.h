#pragma once
// What the page layout's flow of text (impaginazione.cpp) and its tables
// (impaginazione_tabelle.cpp) both lay out with.

#include "reports/impaginazione.h"

#include <algorithm>
#include <cmath>

namespace perix {

// Qt keeps layout positions in 1/64 of a unit and rounds some of them to whole units; doing
// the same keeps every line where Qt's layout would put it.
inline double fixed(double x) { return std::round(x * 64.0) / 64.0; }
inline double whole(double x) { return std::floor(fixed(x) + 0.5); }

// Where text flows: a frame's content area, with the page it is on.
struct PageLayout::Flow {
    double y = 0;      // from the frame's origin
    double frameY = 0; // the frame's origin, from the document's top
    double originX = 0;
    double left = 0; // the content area, from the frame's origin
    double right = 0;
    double pageHeight = 0;
    double pageTopMargin = 0;
    double pageBottomMargin = 0;
    double pageBottom = 0;

    double absoluteY() const { return frameY + y; }
    int currentPage() const { return int(absoluteY() / pageHeight); }
    double contentHeight() const { return pageHeight - pageBottomMargin - pageTopMargin; }
    void newPage()
    {
        pageBottom += pageHeight;
        y = std::max(y, pageBottom - pageHeight + pageBottomMargin + pageTopMargin - frameY);
    }
};

} // namespace perix
