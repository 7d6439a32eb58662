#include "reports/impaginazione.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace perix {

namespace {

// Qt keeps layout positions in 1/64 of a unit and rounds some of them to whole units; doing
// the same keeps every line where Qt's layout would put it.
double fixed(double x) { return std::round(x * 64.0) / 64.0; }
double whole(double x) { return std::floor(fixed(x) + 0.5); }

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

// Pictures in the text (QTextImageFormat), sized from their format and drawn from the
// document's resources.
class ImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ImageHandler(QObject *parent) : QObject(parent) {}

    static QImage image(QTextDocument *doc, const QTextFormat &format)
    {
        const QVariant v = doc->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
        if (v.canConvert<QImage>())
            return v.value<QImage>();
        return {};
    }

    // As Qt sizes a picture: whole logical pixels, scaled to the device and rounded again.
    QSizeF intrinsicSize(QTextDocument *doc, int, const QTextFormat &format) override
    {
        const QTextImageFormat f = format.toImageFormat();
        const auto round = [](double x) { return std::floor(x + 0.5); };
        double width = round(f.width());
        double height = round(f.height());
        const bool hasWidth = f.hasProperty(QTextFormat::ImageWidth);
        const bool hasHeight = f.hasProperty(QTextFormat::ImageHeight);
        if (!hasWidth || !hasHeight) {
            const QImage i = image(doc, format);
            if (!hasWidth)
                width = hasHeight && i.height() > 0 ? round(i.width() * height / i.height()) : i.width();
            if (!hasHeight)
                height = hasWidth && i.width() > 0 ? round(i.height() * width / i.width()) : i.height();
        }
        const QPaintDevice *device = doc->documentLayout()->paintDevice();
        const double scale = device ? double(device->logicalDpiY()) / qt_defaultDpiY() : 1.0;
        return QSizeF(round(width * scale), round(height * scale));
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int, const QTextFormat &format) override
    {
        const QImage i = image(doc, format);
        if (!i.isNull())
            painter->drawImage(rect, i);
    }
};

Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment align)
{
    if (!(align & Qt::AlignHorizontal_Mask))
        align |= Qt::AlignLeft;
    if (!(align & Qt::AlignAbsolute) && (align & (Qt::AlignLeft | Qt::AlignRight))) {
        if (direction == Qt::RightToLeft)
            align ^= (Qt::AlignLeft | Qt::AlignRight);
        align |= Qt::AlignAbsolute;
    }
    return align;
}

bool isEmptyBlockBeforeTable(const QTextBlock &block, const QTextBlockFormat &format, const QTextFrame::iterator &next)
{
    return !next.atEnd() && qobject_cast<QTextTable *>(next.currentFrame()) && block.isValid() && block.length() == 1
        && !format.hasProperty(QTextFormat::PageBreakPolicy) && !format.hasProperty(QTextFormat::BackgroundBrush)
        && next.currentFrame()->firstPosition() == block.position() + 1;
}

bool isEmptyBlockAfterTable(const QTextBlock &block, const QTextFrame *previous)
{
    return qobject_cast<const QTextTable *>(previous) && block.isValid() && block.length() == 1
        && previous->lastPosition() == block.position() - 1;
}

} // namespace

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

PageLayout::PageLayout(QTextDocument *document) : QAbstractTextDocumentLayout(document)
{
    registerHandler(QTextFormat::ImageObject, new ImageHandler(this));
}

PageLayout::~PageLayout() = default;

void PageLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    // Nothing is laid out while a report is being built: only when someone looks.
    const QTextBlock first = document()->findBlock(from);
    QTextBlock end = document()->findBlock(std::max(0, from + charsAdded - 1));
    if (end.isValid())
        end = end.next();
    for (QTextBlock b = first; b.isValid() && b != end; b = b.next())
        b.clearLayout();
    Q_UNUSED(charsRemoved);
    dirty_ = true;
    emit update();
}

QSizeF PageLayout::pageSize() const { return document()->pageSize(); }

const QList<PageLayout::Page> &PageLayout::pages() const
{
    if (dirty_)
        layOut();
    return pages_;
}

int PageLayout::pageCount() const { return int(pages().size()); }

QSizeF PageLayout::documentSize() const
{
    pages();
    return QSizeF(pageSize().width(), height_);
}

QRectF PageLayout::frameBoundingRect(QTextFrame *frame) const
{
    pages();
    if (frame == document()->rootFrame())
        return QRectF(QPointF(0, 0), documentSize());
    return frames_.value(frame);
}

QRectF PageLayout::blockBoundingRect(const QTextBlock &block) const
{
    pages();
    const QTextLayout *tl = block.layout();
    if (!tl)
        return {};
    // As Qt gives it: the layout's origin, and the size its lines take.
    QRectF rect = tl->boundingRect();
    rect.moveTopLeft(tl->position());
    return rect;
}

int PageLayout::hitTest(const QPointF &, Qt::HitTestAccuracy) const { return -1; }

PageLayout::Page &PageLayout::pageAt(int index) const
{
    while (pages_.size() <= index)
        pages_.append(Page());
    return pages_[index];
}

void PageLayout::layOut() const
{
    dirty_ = false;
    pages_.clear();
    frames_.clear();
    const QSizeF page = pageSize();
    QTextFrame *root = document()->rootFrame();
    const QTextFrameFormat ff = root->frameFormat();
    const double scale = double(paintDevice() ? paintDevice()->logicalDpiY() : qt_defaultDpiY()) / qt_defaultDpiY();

    Flow f;
    const double top = whole(ff.topMargin() * scale);
    const double bottom = whole(ff.bottomMargin() * scale);
    f.left = whole(ff.leftMargin() * scale);
    f.right = page.width() - whole(ff.rightMargin() * scale);
    f.y = top;
    f.pageHeight = page.height() > 0 ? page.height() : 1e18;
    f.pageTopMargin = top;
    f.pageBottomMargin = bottom;
    f.pageBottom = f.pageHeight - bottom;
    layOutFlow(f, root);
    // As many pages as the flow reached, its bottom margin included (a page break at the very
    // end gives an empty last page, as it always did).
    const int count = std::max(1, int(std::ceil((f.y + bottom) / f.pageHeight)));
    pageAt(count - 1);
    height_ = f.pageHeight * count;
}

void PageLayout::layOutFlow(Flow &f, QTextFrame *frame) const
{
    QTextFrame::iterator it = frame->begin();
    QTextFrame::iterator previous;
    QTextBlockFormat previousFormat;
    bool hadPrevious = false;
    while (!it.atEnd()) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child))
                layOutTable(f, table);
            previous = it;
            hadPrevious = false; // no collapsed spacing between a table and what follows
            ++it;
            continue;
        }
        const QTextFrame::iterator last = previous;
        previous = it;
        const QTextBlock block = it.currentBlock();
        ++it;
        const QTextBlockFormat bf = block.blockFormat();
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            f.newPage();
        const double origY = f.y;
        const double origPageBottom = f.pageBottom;
        layOutBlock(f, block, hadPrevious ? &previousFormat : nullptr);
        if (isEmptyBlockBeforeTable(block, bf, it)) {
            // Qt hides it in the table's border: it takes no room on the page.
            const QTextBlock lastBlock = last.atEnd() ? QTextBlock() : last.currentBlock();
            const double lastBottom = lastBlock.isValid() ? lastBlock.blockFormat().bottomMargin() : 0.0;
            f.y = origY + fixed(std::max(lastBottom, bf.topMargin()));
            f.pageBottom = origPageBottom;
        } else if (QTextFrame *table = last.atEnd() ? nullptr : last.currentFrame();
                   isEmptyBlockAfterTable(block, table)) {
            // Qt tucks it in at the table's bottom right corner, out of the way.
            const QRectF t = frames_.value(table);
            block.layout()->setPosition(QPointF(t.right(), t.bottom() - block.layout()->boundingRect().height()));
            f.y = origY;
            f.pageBottom = origPageBottom;
        } else {
            addLines(block, QPointF());
            if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
                f.newPage();
        }
        previousFormat = bf;
        hadPrevious = true;
    }
}

void PageLayout::layOutBlock(Flow &f, const QTextBlock &block, const QTextBlockFormat *previous) const
{
    QTextLayout *tl = block.layout();
    const QTextBlockFormat bf = block.blockFormat();
    const double scale = double(paintDevice() ? paintDevice()->logicalDpiY() : qt_defaultDpiY()) / qt_defaultDpiY();
    if (previous) {
        double margin = std::max(bf.topMargin(), previous->bottomMargin());
        if (margin > 0)
            margin *= scale;
        f.y += fixed(margin);
    }
    const Qt::LayoutDirection direction = block.textDirection();
    const double leftMargin = bf.leftMargin();
    const double rightMargin = bf.rightMargin();

    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    option.setTabs(bf.tabPositions());
    Qt::Alignment align = document()->defaultTextOption().alignment();
    if (bf.hasProperty(QTextFormat::BlockAlignment))
        align = bf.alignment();
    option.setAlignment(visualAlignment(direction, align));
    if (bf.nonBreakableLines())
        option.setWrapMode(QTextOption::ManualWrap);
    tl->setTextOption(option);
    const bool anywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const double cy = f.y;
    const double l = f.left + leftMargin;
    const double r = f.right - rightMargin;
    tl->setPosition(QPointF(f.originX + f.left, f.frameY + cy));
    double bottom = f.y;
    bool firstLine = true;
    tl->beginLayout();
    for (QTextLine line = tl->createLine(); line.isValid(); line = tl->createLine()) {
        line.setLeadingIncluded(true);
        double left = l;
        if (firstLine) {
            left += direction == Qt::LeftToRight ? bf.textIndent() : 0;
            firstLine = false;
        }
        const double width = r - left;
        line.setLineWidth(width);
        if (fixed(line.naturalTextWidth()) > width && anywhere) {
            option.setWrapMode(QTextOption::WrapAnywhere);
            tl->setTextOption(option);
            line.setLineWidth(std::max(line.naturalTextWidth(), width));
            option.setWrapMode(QTextOption::WordWrap);
            tl->setTextOption(option);
        }
        const double height = line.height();
        const double lineHeight = fixed(std::ceil(line.ascent() + line.descent() + line.leading()));
        while (f.absoluteY() + height > f.pageBottom && f.contentHeight() >= height)
            f.newPage();
        line.setPosition(QPointF(left - f.left, f.y - cy));
        bottom = f.y + height;
        f.y += lineHeight;
    }
    f.y = std::max(f.y, bottom);
    tl->endLayout();
}

void PageLayout::layOutTable(Flow &f, QTextTable *table) const
{
    const QTextTableFormat fmt = table->format();
    const double scale = double(paintDevice() ? paintDevice()->logicalDpiY() : qt_defaultDpiY()) / qt_defaultDpiY();
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
    c.pageHeight = pageSize().height() > 0 ? pageSize().height() : 1e18;
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

void PageLayout::addLines(const QTextBlock &block, QPointF shift) const
{
    const QTextLayout *tl = block.layout();
    const double pageHeight = pageSize().height() > 0 ? pageSize().height() : 1e18;
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        const double top = tl->position().y() + shift.y() + line.y();
        const int page = std::max(0, int((top + line.height() / 2) / pageHeight));
        pageAt(page).lines.append({block, i, tl->position() + shift - QPointF(0, page * pageHeight)});
    }
}

void PageLayout::placeTable(QTextTable *table, const TableGeometry &t) const
{
    const double pageHeight = pageSize().height() > 0 ? pageSize().height() : 1e18;
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

void PageLayout::drawPage(QPainter *painter, int index) const
{
    const QList<Page> &all = pages();
    if (index < 0 || index >= all.size())
        return;
    const Page &page = all.at(index);
    painter->save();
    for (const Fill &f : page.fills)
        painter->fillRect(f.rect, f.colour);
    painter->setPen(Qt::black);
    for (const TextLine &l : page.lines)
        l.block.layout()->lineAt(l.line).draw(painter, l.origin);
    painter->restore();
}

void PageLayout::draw(QPainter *painter, const PaintContext &context)
{
    const double pageHeight = pageSize().height() > 0 ? pageSize().height() : 1e18;
    for (int p = 0; p < pageCount(); ++p) {
        const QRectF rect(0, p * pageHeight, pageSize().width(), pageHeight);
        if (context.clip.isValid() && !context.clip.intersects(rect))
            continue;
        painter->save();
        painter->translate(0, p * pageHeight);
        drawPage(painter, p);
        painter->restore();
    }
}

} // namespace perix

#include "impaginazione.moc"
