#include "reports/impaginazione.h"
#include "reports/impaginazione_flusso.h"

#include <QTextTable>

namespace perix {

namespace {

// The column widths come out of Qt's own fixed-point arithmetic, truncations included: a
// unit of difference there moves every column after it.
struct Fx {
    qint64 v = 0;
    static Fx real(double r) { return {qint64(r * 64)}; }
    double toReal() const { return double(v) / 64; }
    Fx operator*(Fx o) const
    {
        const bool negative = (v < 0) != (o.v < 0);
        const qint64 r = (std::abs(v) * std::abs(o.v) + 0x20) >> 6;
        return {negative ? -r : r};
    }
    Fx operator/(Fx o) const
    {
        if (o.v == 0)
            return {0x7FFFFFFF};
        const bool negative = (v < 0) != (o.v < 0);
        const qint64 a = std::abs(v), b = std::abs(o.v);
        const qint64 r = ((a << 6) + (b >> 1)) / b;
        return {negative ? -r : r};
    }
    Fx operator/(int d) const { return {v / d}; }
};

} // namespace

// A table as laid out: table coordinates from its frame's top left.
struct PageLayout::TableGeometry {
    QPointF position;
    double border = 0;
    double spacing = 0;
    double cellBorder = 0;
    double effectiveTopMargin = 0;    // of the frame on its page, for the rows after a break
    double effectiveBottomMargin = 0;
    double outerTop = 0, outerBottom = 0, outerLeft = 0, outerRight = 0;
    double grid = 0; // the width of the grid lines, 0 for none
    QColor gridColour;
    int headerRows = 0;
    double headerHeight = 0;
    QList<double> columnPositions, widths, rowPositions, heights;
    // per cell, row by row
    QList<double> topPadding, bottomPadding, leftPadding, rightPadding;
    QList<QColor> shading;
    QSizeF size;
    int columns = 0;

    int index(int row, int column) const { return row * columns + column; }
};

void PageLayout::layOutTable(Flow &f, QTextTable *table) const
{
    const QTextTableFormat fmt = table->format();
    const double scale = this->scale();
    const int rows = table->rows();
    const int columns = table->columns();
    if (fmt.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        f.newPage();

    TableGeometry t;
    t.columns = columns;
    const double topMargin = whole(fmt.topMargin() * scale);
    const double bottomMargin = whole(fmt.bottomMargin() * scale);
    const double leftMargin = whole(fmt.leftMargin() * scale);
    const double rightMargin = whole(fmt.rightMargin() * scale);
    t.border = whole(fmt.border() * scale);
    const double padding = whole(fmt.padding() * scale);
    const bool collapse = fmt.borderCollapse();
    t.cellBorder = collapse ? 0 : t.border;
    t.spacing = collapse ? 0 : whole(fmt.cellSpacing() * scale);
    const double cellPadding = fixed(fmt.cellPadding() * scale);
    if (collapse && fmt.border() >= 1) {
        t.grid = fmt.border() * scale;
        t.gridColour = fmt.borderBrush().style() == Qt::NoBrush ? QColor(Qt::black) : fmt.borderBrush().color();
    }
    const double outer = collapse ? whole(fmt.border() / 2 * scale) : t.border;
    t.outerTop = t.outerBottom = t.outerLeft = t.outerRight = outer;
    t.effectiveTopMargin = f.pageTopMargin + topMargin + t.border + padding;
    t.effectiveBottomMargin = f.pageBottomMargin + topMargin + t.border + padding;

    const double available = f.right - f.left;
    const double frameWidth = fmt.width().type() == QTextLength::FixedLength ? fmt.width().rawValue() * scale
                                                                            : fmt.width().value(available);
    const double contentsWidth = frameWidth - 2 * (t.border + padding) - leftMargin - rightMargin;

    // Per cell formats, read once: Qt's layout asks for them again and again.
    const int cells = rows * columns;
    t.topPadding.resize(cells);
    t.bottomPadding.resize(cells);
    t.leftPadding.resize(cells);
    t.rightPadding.resize(cells);
    t.shading.resize(cells);
    const auto pad = [&](const QTextFormat &cf, int property) {
        const QVariant v = cf.property(property);
        return v.isNull() ? cellPadding : fixed(v.toReal() * scale);
    };
    const double half = collapse ? fixed(t.grid / 2) : 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QTextCharFormat cf = table->cellAt(r, c).format();
            const int i = t.index(r, c);
            t.topPadding[i] = pad(cf, QTextFormat::TableCellTopPadding) + half;
            t.bottomPadding[i] = pad(cf, QTextFormat::TableCellBottomPadding) + half;
            t.leftPadding[i] = pad(cf, QTextFormat::TableCellLeftPadding) + half;
            t.rightPadding[i] = pad(cf, QTextFormat::TableCellRightPadding) + half;
            const QBrush b = cf.background();
            t.shading[i] = b.style() == Qt::NoBrush ? QColor() : b.color();
        }

    // Column widths as Qt gives them: percentages of the room left, rounded to whole units
    // with the rounding error carried to the next column.
    QList<QTextLength> constraints = fmt.columnWidthConstraints();
    constraints.resize(columns);
    const double tableLeft = leftMargin + padding + t.outerLeft;
    const double initialWidth = contentsWidth - columns * 2 * t.cellBorder - (columns + 1) * t.spacing
                              - (collapse ? t.outerLeft + t.outerRight : 0);
    const auto distribute = [&](const QList<double> &minimum) {
        t.widths.fill(0, columns);
        double remaining = initialWidth;
        double totalPercentage = 0, totalMinimum = 0;
        int variable = 0;
        for (int c = 0; c < columns; ++c) {
            const QTextLength &len = constraints.at(c);
            if (len.type() == QTextLength::FixedLength) {
                t.widths[c] = std::max(len.rawValue() * scale, minimum.at(c));
                remaining -= t.widths[c];
            } else if (len.type() == QTextLength::PercentageLength) {
                totalPercentage += Fx::real(len.rawValue()).toReal();
            } else {
                ++variable;
                t.widths[c] = minimum.at(c);
                remaining -= minimum.at(c);
            }
            totalMinimum += minimum.at(c);
        }
        const Fx percentaged = Fx::real(initialWidth) * Fx::real(totalPercentage) / 100;
        double remainingMinimum = totalMinimum;
        for (int c = 0; c < columns; ++c) {
            remainingMinimum -= minimum.at(c);
            if (constraints.at(c).type() != QTextLength::PercentageLength)
                continue;
            const double w = (percentaged * Fx::real(constraints.at(c).rawValue()) / Fx::real(totalPercentage)).toReal();
            t.widths[c] = w >= minimum.at(c) ? std::clamp(w, minimum.at(c), std::max(minimum.at(c), remaining - remainingMinimum))
                                             : minimum.at(c);
            remaining -= t.widths[c];
        }
        if (variable > 0 && remaining > 0)
            for (int c = 0; c < columns; ++c)
                if (constraints.at(c).type() == QTextLength::VariableLength)
                    t.widths[c] += remaining / variable;
        double error = 0;
        for (int c = 0; c < columns; ++c) {
            const double original = t.widths[c];
            t.widths[c] = whole(t.widths[c] - error);
            error = t.widths[c] - original;
        }
        t.columnPositions.resize(columns);
        t.columnPositions[0] = tableLeft + t.spacing + t.border;
        for (int c = 1; c < columns; ++c)
            t.columnPositions[c] = t.columnPositions[c - 1] + t.widths[c - 1] + 2 * t.cellBorder + t.spacing;
    };

    QList<double> minimum(columns, 1.0);
    t.position = QPointF(f.originX + f.left, f.frameY + f.y);
    bool widened = false;
    bool moved = false;
    t.headerRows = std::min(fmt.headerRowCount(), rows - 1);
    for (;;) {
        distribute(minimum);
        const double tableY = t.position.y();
        const double pageHeight = f.pageHeight;
        t.rowPositions.fill(0, rows);
        t.heights.fill(0, rows);
        t.headerHeight = 0;
        double effectiveTop = t.effectiveTopMargin;
        bool dropped = false;
        bool tooNarrow = false;
        QList<double> needed(columns, 1.0);
        t.rowPositions[0] = topMargin + padding + t.outerTop + t.spacing + t.border;
        for (int r = 0; r < rows; ++r) {
            if (r > 0)
                t.rowPositions[r] = t.rowPositions[r - 1] + t.heights[r - 1] + 2 * t.cellBorder + t.spacing;
            const int tableStartPage = int(tableY / pageHeight);
            const int currentPage = int((t.rowPositions[r] + tableY) / pageHeight);
            const double pageBottom = (currentPage + 1) * pageHeight - t.effectiveBottomMargin - tableY - t.spacing - t.border;
            const double pageTop = currentPage * pageHeight + effectiveTop - tableY + t.spacing + t.border;
            const double nextPageTop = pageTop + pageHeight;
            if (t.rowPositions[r] > pageBottom)
                t.rowPositions[r] = nextPageTop;
            else if (t.rowPositions[r] < pageTop)
                t.rowPositions[r] = pageTop;

            bool restart = false;
            bool rowDropped = false;
            for (bool again = true; again;) {
                again = false;
                const int rowStartPage = int((t.rowPositions[r] + tableY) / pageHeight);
                // The heading rows never stay behind on a page without the first row under them.
                if (r <= t.headerRows && rowStartPage > tableStartPage && !dropped) {
                    t.rowPositions[0] = nextPageTop;
                    effectiveTop = t.effectiveTopMargin;
                    dropped = true;
                    restart = true;
                    break;
                }
                t.heights[r] = 0;
                bool dropRow = columns > 0 && !rowDropped;
                for (int c = 0; c < columns; ++c) {
                    const int i = t.index(r, c);
                    const double width = t.widths[c] - t.leftPadding[i] - t.rightPadding[i];
                    const CellFlow cf = layOutCell(t, table, r, c, width, tableY + t.rowPositions[r] + t.topPadding[i]);
                    t.heights[r] = std::max(t.heights[r], whole(cf.height + t.bottomPadding[i] + t.topPadding[i]));
                    if (t.rowPositions[r] + t.topPadding[i] + cf.firstLine < pageBottom)
                        dropRow = false;
                    needed[c] = std::max(needed[c], std::ceil(cf.minimumWidth + t.leftPadding[i] + t.rightPadding[i]));
                    if (needed[c] > t.widths[c])
                        tooNarrow = true;
                }
                // A row whose text would only start on the next page goes there whole; the row
                // above then reaches down to the page's end, as Qt draws it.
                if (dropRow) {
                    rowDropped = true;
                    t.rowPositions[r] = nextPageTop;
                    if (r > t.headerRows)
                        t.heights[r - 1] = pageBottom - t.rowPositions[r - 1];
                    again = true;
                }
            }
            if (restart) {
                r = -1;
                continue;
            }
            if (r == t.headerRows - 1) {
                t.headerHeight = t.rowPositions[r] + t.heights[r] - t.rowPositions[0] + t.spacing + 2 * t.cellBorder;
                t.headerHeight -= t.headerHeight * std::floor(t.headerHeight / pageHeight);
                effectiveTop += t.headerHeight;
            }
        }
        // A word wider than its column widens the column, as Qt's minimum widths do.
        if (tooNarrow && !widened) {
            minimum = needed;
            widened = true;
            continue;
        }
        const double tableContentsWidth =
            t.columnPositions.last() + t.widths.last() + padding + t.border + t.spacing - tableLeft;
        t.size = QSizeF(leftMargin + t.outerLeft + padding + tableContentsWidth + rightMargin + t.outerRight + padding,
                        t.rowPositions.last() + t.heights.last() + padding + t.border + t.spacing + bottomMargin
                            + t.outerBottom + padding);
        // The whole table goes to the next page when its first row would start below this one.
        if (!moved && t.position.y() + t.rowPositions.first() > f.pageBottom) {
            moved = true;
            f.newPage();
            t.position = QPointF(f.originX + f.left, f.frameY + f.y);
            continue;
        }
        break;
    }
    frames_.insert(table, QRectF(t.position, t.size));
    placeTable(table, t);
    f.y += t.size.height();
    const int page = f.currentPage();
    f.pageBottom = (page + 1) * f.pageHeight - f.pageBottomMargin;
}

PageLayout::CellFlow PageLayout::layOutCell(const TableGeometry &t, QTextTable *table, int row, int column,
                                            double width, double cellTop) const
{
    const QTextTableCell cell = table->cellAt(row, column);
    const int i = t.index(row, column);
    Flow c;
    c.frameY = cellTop;
    c.originX = t.position.x() + t.columnPositions[column] + t.leftPadding[i];
    c.left = 0;
    c.right = width;
    c.pageHeight = pageHeight();
    c.pageTopMargin = t.effectiveTopMargin + t.spacing + t.border + t.topPadding[i] + (row >= t.headerRows ? t.headerHeight : 0);
    c.pageBottomMargin = t.effectiveBottomMargin + t.spacing + t.outerBottom + t.bottomPadding[i];
    c.pageBottom = (c.currentPage() + 1) * c.pageHeight - c.pageBottomMargin;
    bool hadPrevious = false;
    QTextBlockFormat previousFormat;
    CellFlow result;
    result.firstLine = -1;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        const QTextBlock b = it.currentBlock();
        if (!b.isValid())
            continue; // a table inside a cell: not something the reports make
        layOutBlock(c, b, hadPrevious ? &previousFormat : nullptr);
        const QTextLayout *tl = b.layout();
        if (result.firstLine < 0 && tl->lineCount() > 0)
            result.firstLine = tl->position().y() + tl->lineAt(0).y() - cellTop;
        result.minimumWidth = std::max(result.minimumWidth, tl->minimumWidth());
        previousFormat = b.blockFormat();
        hadPrevious = true;
    }
    result.firstLine = std::max(0.0, result.firstLine);
    result.height = c.y;
    return result;
}

void PageLayout::placeTable(QTextTable *table, const TableGeometry &t) const
{
    const double pageHeight = this->pageHeight();
    // Drawn at whole units, as Qt draws tables, so neighbouring shades meet without a seam.
    const QPointF off(std::round(t.position.x()), std::round(t.position.y()));
    const int rows = table->rows();
    const int columns = t.columns;
    // The cells' text goes with the rounded origin too.
    const QPointF shift = off - t.position;
    for (QTextBlock b = document()->findBlock(table->firstPosition()); b.isValid() && b.position() <= table->lastPosition();
         b = b.next()) {
        if (!shift.isNull())
            b.layout()->setPosition(b.layout()->position() + shift);
        addLines(b, QPointF());
    }
    const double left = off.x() + t.columnPositions.first();
    const double right = off.x() + t.columnPositions.last() + t.widths.last();
    const auto rowRect = [&](int r) { return QRectF(left, off.y() + t.rowPositions[r], right - left, t.heights[r]); };
    const auto topPage = [&](const QRectF &r) { return std::max(0, int(r.top() / pageHeight)); };
    const auto bottomPage = [&](const QRectF &r) { return std::max(0, int(r.bottom() / pageHeight)); };
    const double bottomMargin = t.effectiveBottomMargin + t.spacing + t.border;
    const auto topMargin = [&](int r) {
        return t.effectiveTopMargin + t.spacing + t.border + (r >= t.headerRows ? t.headerHeight : 0);
    };

    // A row's part on one page: a row with more lines than the page has room for goes on
    // over the page break, cut at the margins.
    struct Part {
        int row;
        QRectF rect;
        bool top, bottom; // whether its grid line is drawn there
        double dy = 0;    // a repeated heading row: how far its text moves
        bool repeated = false;
    };
    QHash<int, QList<Part>> parts;
    const bool hasHeader = t.headerRows > 0;
    for (int r = 0; r < rows; ++r) {
        const QRectF rect = rowRect(r);
        const int first = topPage(rect), last = bottomPage(rect);
        const bool header = r < t.headerRows;
        for (int p = first; p <= last; ++p) {
            QRectF clipped = rect;
            if (first != last) {
                clipped = QRectF(QPointF(std::round(rect.left()), std::round(rect.top())),
                                 QPointF(std::round(rect.right()), std::round(rect.bottom())));
                clipped.setTop(std::max(clipped.top(), p * pageHeight + topMargin(r)));
                clipped.setBottom(std::min(clipped.bottom(), (p + 1) * pageHeight - bottomMargin));
                if (clipped.bottom() <= clipped.top())
                    continue;
            }
            const bool previousOnEarlierPage = r > t.headerRows && bottomPage(rowRect(r - 1)) < p;
            const bool nextOnLaterPage = r + 1 < rows && topPage(rowRect(r + 1)) > p;
            const bool top = header || (p == first && !(hasHeader && previousOnEarlierPage));
            const bool bottom = header || (p == last && !nextOnLaterPage);
            parts[p].append({r, clipped, top, bottom});
        }
    }
    // On each later page the table reaches, its heading rows again on top.
    const int startPage = int(t.position.y() / pageHeight);
    const int endPage = int((t.position.y() + t.size.height()) / pageHeight);
    for (int p = startPage + 1; p <= endPage; ++p) {
        const double headerTop = p * pageHeight + t.effectiveTopMargin + t.spacing + t.border;
        const double dy = headerTop - (off.y() + t.rowPositions[0]);
        QList<Part> heading;
        for (int h = 0; h < t.headerRows; ++h)
            heading.append({h, rowRect(h).translated(0, dy), true, true, dy, true});
        parts[p] = heading + parts.value(p);
    }

    const double g = t.grid;
    const double before = std::ceil(g / 2); // of a grid line, above or left of its edge
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        Page &page = pageAt(it.key());
        const double pageTop = it.key() * pageHeight;
        for (const Part &part : it.value()) {
            for (int c = 0; c < columns; ++c) {
                const QColor shade = t.shading[t.index(part.row, c)];
                if (shade.isValid())
                    page.fills.append({QRectF(off.x() + t.columnPositions[c], part.rect.top() - pageTop, t.widths[c],
                                              part.rect.height()),
                                       shade});
            }
            if (part.repeated)
                for (int c = 0; c < columns; ++c) {
                    const QTextTableCell cell = table->cellAt(part.row, c);
                    for (QTextBlock b = document()->findBlock(cell.firstPosition());
                         b.isValid() && b.position() <= cell.lastPosition(); b = b.next())
                        for (int i = 0; i < b.layout()->lineCount(); ++i)
                            page.lines.append({b, i, b.layout()->position() + QPointF(0, part.dy - pageTop)});
                }
        }
        if (g <= 0)
            continue;
        // The grid: `g` wide on every cell edge, half on each side of it.
        const QList<Part> &list = it.value();
        for (const Part &part : list) {
            if (part.top)
                page.fills.append({QRectF(left - before, part.rect.top() - pageTop - before, right - left + g, g), t.gridColour});
            if (part.bottom)
                page.fills.append({QRectF(left - before, part.rect.bottom() - pageTop - g + std::floor(g / 2), right - left + g, g),
                                   t.gridColour});
        }
        const double top = list.first().rect.top() - (list.first().top ? before : 0);
        const double bottom = list.last().rect.bottom() + (list.last().bottom ? std::floor(g / 2) : 0);
        for (int c = 0; c <= columns; ++c) {
            const double x = c < columns ? off.x() + t.columnPositions[c] : right;
            page.fills.append({QRectF(x - before, top - pageTop, g, bottom - top), t.gridColour});
        }
    }
}

} // namespace perix
