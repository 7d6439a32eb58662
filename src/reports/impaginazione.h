#pragma once
// The page layout of the reports' documents: where every paragraph, table cell and picture
// lands on the pages, worked out in one pass after each change, then drawn on a painter (the
// report window's preview, the printer) or written straight into a PDF (see pdf.h).
//
// It places things as Qt's own text layout places them (line heights, collapsed paragraph
// spacing, table rows kept whole and moved to the next page with the heading row repeated),
// so the pages look as they always did, at a fraction of the cost: every table cell is laid
// out once, and nothing is laid out while a report is being built.
//
// Coordinates are layout units (see Document::unitsPerPoint). Pages stack one below the
// other, as in Qt's paginated documents: page n spans [n·height, (n+1)·height).

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QTextBlock>

#include <memory>

class QTextTable;

namespace perix {

class PageLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT
public:
    explicit PageLayout(QTextDocument *document);
    ~PageLayout() override;

    // A rectangle filled with one colour: a cell's shading or a stretch of a table's grid.
    struct Fill {
        QRectF rect;
        QColor colour;
    };
    // A line of text: line `line` of `block`'s layout, drawn with the layout's origin at
    // `origin` (page coordinates). A table's heading row repeated on a later page is the
    // same lines at another origin.
    struct TextLine {
        QTextBlock block;
        int line = 0;
        QPointF origin;
    };
    struct Page {
        QList<Fill> fills; // under the text, in order
        QList<TextLine> lines;
    };
    // Laid out first when the document changed since.
    const QList<Page> &pages() const;
    QSizeF pageSize() const;

    // Draws page `page` (from 0) with the page's top left corner at the painter's origin.
    void drawPage(QPainter *painter, int page) const;

    // QAbstractTextDocumentLayout
    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    struct Flow;
    struct TableGeometry;
    struct CellFlow {
        double firstLine = 0; // the top of its first line, from the cell's content top
        double height = 0;
        double minimumWidth = 0;
    };

    // Format lengths (logical pixels) to layout units.
    double scale() const;
    // The page height, or all of it where the document has no pages.
    double pageHeight() const;
    void layOut() const;
    void layOutFlow(Flow &flow, QTextFrame *frame) const;
    void layOutBlock(Flow &flow, const QTextBlock &block, const QTextBlockFormat *previous) const;
    void layOutTable(Flow &flow, QTextTable *table) const;
    CellFlow layOutCell(const TableGeometry &t, QTextTable *table, int row, int column, double width,
                        double cellTop) const;
    void placeTable(QTextTable *table, const TableGeometry &t) const;
    void addLines(const QTextBlock &block, QPointF shift) const;
    // "Pagina N di M" and the document's footer text on every page, when it asks for them:
    // lines of a small document of their own, so every output draws them as any other line.
    void addFooters() const;
    Page &pageAt(int index) const;

    mutable bool dirty_ = true;
    mutable QList<Page> pages_;
    mutable QHash<QTextFrame *, QRectF> frames_;
    mutable double height_ = 0;
    mutable std::unique_ptr<QTextDocument> footers_;
};

} // namespace perix
