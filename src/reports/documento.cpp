#include "reports/documento.h"

#include "reports/docx.h"
#include "reports/impaginazione.h"
#include "reports/pdf.h"

#include "core/scrittura.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace perix {

namespace {

// Every document lays itself out on this device, so layout units are independent of the
// screen: 720 dpi, a tenth of a point each.
QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int perMetre = qRound(Document::dotsPerInch / 0.0254);
        image.setDotsPerMeterX(perMetre);
        image.setDotsPerMeterY(perMetre);
        return image;
    }();
    return &device;
}

// Word-style cell margins: 5.4 pt each side, a little air above and below.
constexpr double cellSidePadding = 5.4;
constexpr double cellTopPadding = 2.0;
// Qt draws the grid of a collapsed table only from one logical pixel up: 3/4 pt at 96 dpi.
constexpr double gridLine = 0.75;

// The colourful table format: dark heading, two light bands, quiet grid.
const QColor headingShade(0x1F, 0x4E, 0x79);
const QColor headingText(Qt::white);
const QColor bandShade(0xDD, 0xEB, 0xF7);
const QColor otherBandShade(0xF2, 0xF7, 0xFC);
const QColor gridColour(0x8E, 0xA9, 0xC1);

// Calls fn(block, cursor) for every paragraph touching [start, end]; the cursor selects
// the part of that paragraph inside the stretch. A paragraph that merely begins at `end`
// is left out, so a paragraph's range (which ends past its mark) does not spill onto the
// next one; the document's last paragraph is in as soon as the stretch reaches it.
template <typename F>
void forEachBlock(QTextDocument *doc, int start, int end, F fn)
{
    if (end < start)
        std::swap(start, end);
    for (QTextBlock b = doc->findBlock(start); b.isValid(); b = b.next()) {
        if (b.position() > end || (b.position() == end && end > start && b.next().isValid()))
            break;
        const int from = std::max(start, b.position());
        const int to = std::min(end, b.position() + b.length() - 1);
        QTextCursor c(doc);
        c.setPosition(from);
        c.setPosition(std::max(from, to), QTextCursor::KeepAnchor);
        fn(b, c);
    }
}

void applyType(QTextDocument *doc, int start, int end, const QTextCharFormat &change)
{
    forEachBlock(doc, start, end, [&](const QTextBlock &, QTextCursor &c) {
        if (c.hasSelection())
            c.mergeCharFormat(change);
        // The paragraph mark too, so empty paragraphs take the new height.
        c.mergeBlockCharFormat(change);
    });
}

void applyAlignment(QTextDocument *doc, int start, int end, Alignment a)
{
    QTextBlockFormat f;
    switch (a) {
    case Alignment::Left: f.setAlignment(Qt::AlignLeft); break;
    case Alignment::Center: f.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Right: f.setAlignment(Qt::AlignRight); break;
    case Alignment::Justify: f.setAlignment(Qt::AlignJustify); break;
    }
    forEachBlock(doc, start, end, [&](const QTextBlock &, QTextCursor &c) { c.mergeBlockFormat(f); });
}

Alignment alignmentOf(const QTextBlock &b)
{
    const Qt::Alignment a = b.blockFormat().alignment();
    if (a & Qt::AlignJustify)
        return Alignment::Justify;
    if (a & Qt::AlignHCenter)
        return Alignment::Center;
    if (a & Qt::AlignRight)
        return Alignment::Right;
    return Alignment::Left;
}

// The type at a position: the character after it, or the mark of an empty paragraph.
QTextCharFormat typeAt(QTextDocument *doc, int pos)
{
    QTextCursor c(doc);
    c.setPosition(pos);
    return typeOnly(c.charFormat());
}

QString familyOf(const QTextCharFormat &f)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.constFirst();
    return f.property(QTextFormat::FontFamily).toString();
}

// A paragraph longer than any a report or help page writes is cut to its beginning: the
// layout breaks a long word again for every line it fills, so its time grows with the
// square of the length (a 1 MiB caption took minutes), and no reader wants those pages.
QString capped(QString paragraph)
{
    if (paragraph.size() <= Document::longestParagraph)
        return paragraph;
    qsizetype cut = Document::longestParagraph - 1;
    if (paragraph.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    paragraph.truncate(cut);
    return paragraph + QChar(0x2026);
}

QStringList paragraphsOf(const QString &text)
{
    static const QRegularExpression ends(QStringLiteral("\r\n|\r|\n"));
    QStringList parts = text.split(ends);
    for (QString &p : parts)
        p = capped(std::move(p));
    return parts;
}

QTextBlockFormat withoutBreak(QTextBlockFormat f)
{
    f.clearProperty(QTextFormat::PageBreakPolicy);
    return f;
}

// Inserts text at c; each "\r" starts a new paragraph shaped like `paragraph`.
void insertParagraphs(QTextCursor &c, const QString &text, const QTextCharFormat &type,
                      const QTextBlockFormat &paragraph)
{
    const QStringList parts = paragraphsOf(text);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            c.mergeBlockCharFormat(type);
            c.insertBlock(withoutBreak(paragraph), type);
        }
        if (!parts.at(i).isEmpty())
            c.insertText(parts.at(i), type);
    }
}

QString selectedText(const QTextCursor &c)
{
    QString t = c.selectedText();
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
    return t;
}

void mergeCellFormat(QTextTableCell cell, const QTextCharFormat &change)
{
    QTextCharFormat f = cell.format();
    f.merge(change);
    cell.setFormat(f);
}

QTextTableFormat plainTableFormat(int columns)
{
    QTextTableFormat tf;
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setColumnWidthConstraints(
        QList<QTextLength>(columns, QTextLength(QTextLength::PercentageLength, 100.0 / columns)));
    tf.setCellSpacing(0);
    tf.setCellPadding(0);
    tf.setMargin(0);
    tf.setBorder(std::max(1.0, Document::length(gridLine)));
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setBorderBrush(QColor(Qt::black));
    tf.setBorderCollapse(true);
    tf.setAlignment(Qt::AlignLeft);
    return tf;
}

void collectTables(QTextFrame *frame, QList<QTextTable *> &out)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *t = qobject_cast<QTextTable *>(child))
            out << t;
        collectTables(child, out);
    }
}

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

} // namespace

QTextCharFormat typeOnly(const QTextCharFormat &format)
{
    static const int kept[] = {QTextFormat::FontFamilies, QTextFormat::FontFamily,
                               QTextFormat::FontPointSize, QTextFormat::FontWeight,
                               QTextFormat::FontItalic, QTextFormat::FontUnderline,
                               QTextFormat::TextUnderlineStyle, QTextFormat::ForegroundBrush};
    QTextCharFormat t;
    for (int p : kept)
        if (format.hasProperty(p))
            t.setProperty(p, format.property(p));
    return t;
}

// ---- Range ---------------------------------------------------------------------------

Range::Range(Document *doc, int start, int end) : doc_(doc), start_(std::min(start, end)), end_(std::max(start, end)) {}

bool Range::isValid() const { return doc_ != nullptr; }
int Range::start() const { return start_; }
int Range::end() const { return end_; }

QString Range::text() const
{
    if (!doc_)
        return {};
    QTextCursor c(doc_);
    c.setPosition(start_);
    c.setPosition(end_, QTextCursor::KeepAnchor);
    return selectedText(c);
}

void Range::setText(const QString &text)
{
    if (!doc_)
        return;
    QTextCursor c(doc_);
    c.setPosition(start_);
    const QTextCharFormat type = typeAt(doc_, start_);
    const QTextBlockFormat paragraph = c.blockFormat();
    c.beginEditBlock();
    c.setPosition(end_, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    insertParagraphs(c, text, type, paragraph);
    c.endEditBlock();
    end_ = c.position();
}

void Range::setFontName(const QString &family)
{
    if (!doc_)
        return;
    QTextCharFormat f;
    f.setFontFamilies({family});
    applyType(doc_, start_, end_, f);
}

void Range::setFontSize(double points)
{
    if (!doc_)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    applyType(doc_, start_, end_, f);
}

void Range::setBold(bool bold)
{
    if (!doc_)
        return;
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    applyType(doc_, start_, end_, f);
}

void Range::setAlignment(Alignment alignment)
{
    if (doc_)
        applyAlignment(doc_, start_, end_, alignment);
}

QString Range::fontName() const { return doc_ ? familyOf(typeAt(doc_, start_)) : QString(); }

double Range::fontSize() const { return doc_ ? typeAt(doc_, start_).fontPointSize() : 0.0; }

void Range::select() const
{
    if (doc_)
        doc_->selection().selectRange(start_, end_);
}

// ---- Cell, Column, Table -------------------------------------------------------------

Cell::Cell(Document *doc, QTextTable *table, int row, int column)
    : doc_(doc), table_(table), row_(row), column_(column)
{
}

QTextTableCell Cell::cell() const
{
    if (!doc_ || !table_)
        return {};
    return table_->cellAt(row_ - 1, column_ - 1);
}

bool Cell::isValid() const { return cell().isValid(); }

QString Cell::text() const
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return {};
    QTextCursor cur = c.firstCursorPosition();
    cur.setPosition(c.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return selectedText(cur);
}

void Cell::setText(const QString &text)
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return;
    QTextCursor cur = c.firstCursorPosition();
    const QTextCharFormat type = typeAt(doc_, cur.position());
    const QTextBlockFormat paragraph = cur.blockFormat();
    cur.beginEditBlock();
    cur.setPosition(c.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    cur.removeSelectedText();
    insertParagraphs(cur, text, type, paragraph);
    cur.endEditBlock();
}

Range Cell::range() const
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return {};
    return Range(doc_, c.firstPosition(), c.lastPosition());
}

void Cell::setShading(const QColor &colour)
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return;
    QTextCharFormat f;
    if (colour.isValid())
        f.setBackground(colour);
    else
        f.setBackground(Qt::NoBrush);
    mergeCellFormat(c, f);
}

QColor Cell::shading() const
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return {};
    const QBrush b = c.format().background();
    return b.style() == Qt::NoBrush ? QColor() : b.color();
}

Alignment Cell::alignment() const
{
    const QTextTableCell c = cell();
    if (!c.isValid())
        return Alignment::Left;
    return alignmentOf(doc_->findBlock(c.firstPosition()));
}

Column::Column(Document *doc, QTextTable *table, int column) : doc_(doc), table_(table), column_(column) {}

void Column::select() const
{
    if (doc_ && table_ && column_ >= 1 && column_ <= table_->columns())
        doc_->selection().selectCells(table_, 0, table_->rows() - 1, column_ - 1, column_ - 1);
}

void Column::setAlignment(Alignment alignment) const
{
    if (!doc_ || !table_ || column_ < 1 || column_ > table_->columns())
        return;
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    for (int r = 0; r < table_->rows(); ++r) {
        const QTextTableCell c = table_->cellAt(r, column_ - 1);
        applyAlignment(doc_, c.firstPosition(), c.lastPosition(), alignment);
    }
    edit.endEditBlock();
}

Table::Table(Document *doc, QTextTable *table) : doc_(doc), table_(table) {}

bool Table::isValid() const { return doc_ && table_; }
QTextTable *Table::textTable() const { return table_; }
int Table::rows() const { return table_ ? table_->rows() : 0; }
int Table::columns() const { return table_ ? table_->columns() : 0; }

Cell Table::cell(int row, int column) const { return Cell(doc_, table_, row, column); }
Column Table::column(int column) const { return Column(doc_, table_, column); }

Range Table::range() const
{
    if (!isValid())
        return {};
    return Range(doc_, table_->firstPosition(), table_->lastPosition());
}

void Table::setFontSize(double points)
{
    if (!isValid())
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    for (int r = 0; r < table_->rows(); ++r)
        for (int c = 0; c < table_->columns(); ++c) {
            const QTextTableCell cell = table_->cellAt(r, c);
            applyType(doc_, cell.firstPosition(), cell.lastPosition(), f);
        }
    edit.endEditBlock();
}

void Table::fill(const QList<QStringList> &rows)
{
    if (!isValid())
        return;
    QTextCursor edit(doc_); // one layout for the whole table, not one per cell
    edit.beginEditBlock();
    for (int r = 0; r < std::min<int>(rows.size(), table_->rows()); ++r)
        for (int c = 0; c < std::min<int>(rows.at(r).size(), table_->columns()); ++c)
            cell(r + 1, c + 1).setText(rows.at(r).at(c));
    edit.endEditBlock();
}

void Table::setColumnWidths(const QList<double> &percent)
{
    if (!table_ || percent.size() != table_->columns())
        return;
    QTextTableFormat tf = table_->format();
    QList<QTextLength> larghezze;
    for (double p : percent)
        larghezze << QTextLength(QTextLength::PercentageLength, p);
    tf.setColumnWidthConstraints(larghezze);
    table_->setFormat(tf);
}

void Table::autoFormat(int format)
{
    if (!isValid())
        return;
    const bool colourful = format == 9;
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    QTextTableFormat tf = table_->format();
    tf.setBorderBrush(colourful ? gridColour : QColor(Qt::black));
    tf.setHeaderRowCount(colourful ? 1 : 0);
    table_->setFormat(tf);

    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setForeground(headingText);
    for (int r = 0; r < table_->rows(); ++r) {
        QColor shade;
        if (colourful)
            shade = r == 0 ? headingShade : (r % 2 ? bandShade : otherBandShade);
        for (int c = 0; c < table_->columns(); ++c) {
            Cell(doc_, table_, r + 1, c + 1).setShading(shade);
            if (colourful && r == 0) {
                const QTextTableCell cell = table_->cellAt(r, c);
                applyType(doc_, cell.firstPosition(), cell.lastPosition(), heading);
            }
        }
    }
    edit.endEditBlock();
}

// ---- Selection -----------------------------------------------------------------------

Selection::Selection(Document *doc) : doc_(doc), cursor_(doc) {}

void Selection::selectRange(int start, int end)
{
    cellTable_ = nullptr;
    cursor_.setPosition(start);
    cursor_.setPosition(end, QTextCursor::KeepAnchor);
}

void Selection::selectCells(QTextTable *table, int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    cellTable_ = table;
    rows_[0] = firstRow;
    rows_[1] = lastRow;
    columns_[0] = firstColumn;
    columns_[1] = lastColumn;
    cursor_.setPosition(table->cellAt(firstRow, firstColumn).firstPosition());
    cursor_.setPosition(table->cellAt(lastRow, lastColumn).lastPosition(), QTextCursor::KeepAnchor);
}

template <typename F>
void Selection::forEachSelectedBlock(F fn)
{
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    if (cellTable_) {
        for (int r = rows_[0]; r <= rows_[1]; ++r)
            for (int c = columns_[0]; c <= columns_[1]; ++c) {
                const QTextTableCell cell = cellTable_->cellAt(r, c);
                fn(cell.firstPosition(), cell.lastPosition());
            }
    } else {
        fn(cursor_.selectionStart(), cursor_.selectionEnd());
    }
    edit.endEditBlock();
}

bool Selection::isCollapsed() const { return !cellTable_ && !cursor_.hasSelection(); }

void Selection::setFontName(const QString &family)
{
    format_.setFontFamilies({family});
    QTextCharFormat f;
    f.setFontFamilies({family});
    if (!isCollapsed())
        forEachSelectedBlock([&](int s, int e) { applyType(doc_, s, e, f); });
    else if (cursor_.block().length() == 1)
        cursor_.mergeBlockCharFormat(f); // an empty paragraph's mark follows what will be typed
}

void Selection::setFontSize(double points)
{
    format_.setFontPointSize(points);
    QTextCharFormat f;
    f.setFontPointSize(points);
    if (!isCollapsed())
        forEachSelectedBlock([&](int s, int e) { applyType(doc_, s, e, f); });
    else if (cursor_.block().length() == 1)
        cursor_.mergeBlockCharFormat(f);
}

void Selection::setBold(bool bold)
{
    format_.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    QTextCharFormat f;
    f.setFontWeight(format_.fontWeight());
    if (!isCollapsed())
        forEachSelectedBlock([&](int s, int e) { applyType(doc_, s, e, f); });
}

QString Selection::fontName() const { return familyOf(format_); }
double Selection::fontSize() const { return format_.fontPointSize(); }
bool Selection::bold() const { return format_.fontWeight() >= QFont::DemiBold; }

void Selection::newParagraph()
{
    // The mark of the paragraph just ended keeps the type it was typed in.
    cursor_.mergeBlockCharFormat(format_);
    cursor_.insertBlock(withoutBreak(cursor_.blockFormat()), format_);
}

void Selection::typeText(const QString &text)
{
    if (cellTable_) {
        const int at = cursor_.selectionStart();
        cellTable_ = nullptr;
        cursor_.setPosition(at);
    }
    cursor_.beginEditBlock();
    if (cursor_.hasSelection())
        cursor_.removeSelectedText();
    const QStringList parts = paragraphsOf(text);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            newParagraph();
        if (!parts.at(i).isEmpty())
            cursor_.insertText(parts.at(i), format_);
    }
    cursor_.endEditBlock();
}

void Selection::typeParagraph() { typeText(QStringLiteral("\r")); }

void Selection::insertPageBreak()
{
    typeText(QString()); // collapses the selection, replacing what was selected
    cursor_.beginEditBlock();
    if (cursor_.block().length() > 1)
        newParagraph();
    QTextBlockFormat f;
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor_.mergeBlockFormat(f);
    cursor_.endEditBlock();
}

void Selection::insertImage(const QImage &image, const QSizeF &points)
{
    typeText(QString()); // collapses the selection, replacing what was selected
    // One name per image for the life of the program: a rebuilt document never finds an
    // older picture under the same name.
    static int numero = 0;
    const QString nome = QStringLiteral("perix-immagine-%1.png").arg(++numero);
    doc_->addResource(QTextDocument::ImageResource, QUrl(nome), image);
    QTextImageFormat f;
    f.setName(nome);
    f.setWidth(Document::length(points.width()));
    f.setHeight(Document::length(points.height()));
    cursor_.insertImage(f);
}

void Selection::setAlignment(Alignment alignment)
{
    forEachSelectedBlock([&](int s, int e) { applyAlignment(doc_, s, e, alignment); });
}

Alignment Selection::alignment() const
{
    if (cellTable_)
        return alignmentOf(doc_->findBlock(cellTable_->cellAt(rows_[0], columns_[0]).firstPosition()));
    return alignmentOf(doc_->findBlock(cursor_.selectionStart()));
}

void Selection::wholeStory()
{
    cellTable_ = nullptr;
    // By position: a cursor's moves ask the layout for the block's lines, laying the document
    // out in the middle of its building.
    cursor_.setPosition(0);
    cursor_.setPosition(doc_->characterCount() - 1, QTextCursor::KeepAnchor);
}

void Selection::endKey()
{
    cellTable_ = nullptr;
    cursor_.setPosition(doc_->characterCount() - 1);
}

QString Selection::text() const
{
    if (!cellTable_)
        return selectedText(cursor_);
    QStringList cells;
    for (int r = rows_[0]; r <= rows_[1]; ++r)
        for (int c = columns_[0]; c <= columns_[1]; ++c)
            cells << Cell(doc_, cellTable_, r + 1, c + 1).text();
    return cells.join(QLatin1Char('\r'));
}

int Selection::position() const { return cursor_.position(); }

// ---- Document ------------------------------------------------------------------------

Document::Document(QObject *parent) : QTextDocument(parent), selection_(this), paper_(QPageSize::A4)
{
    setUndoRedoEnabled(false);
    setDocumentLayout(new PageLayout(this));
    documentLayout()->setPaintDevice(layoutDevice());
    setDefaultFont(QFont(QStringLiteral("Times New Roman"), 12));
    setDocumentMargin(0);
    setPaperSize(paper_);
    setMargins(QMarginsF(56.69, 70.87, 56.69, 56.69)); // 2 cm, 2.5 cm at the top

    QTextCharFormat type;
    type.setFontFamilies({defaultFont().family()});
    type.setFontPointSize(defaultFont().pointSizeF());
    selection_.format_ = type;
    QTextCursor(this).setBlockCharFormat(type);
}

Document::~Document() = default;

double Document::length(double pts) { return pts * qt_defaultDpiY() / 72.0; }
double Document::lengthInPoints(double length) { return length * 72.0 / qt_defaultDpiY(); }

Selection &Document::selection() { return selection_; }

void Document::setPaperSize(const QPageSize &size)
{
    paper_ = size;
    // Millimetres, not points: Qt keeps a page's size in points rounded to whole ones.
    const QSizeF mm = size.size(QPageSize::Millimeter);
    setPageSize(QSizeF(units(mm.width() * 72 / 25.4), units(mm.height() * 72 / 25.4)));
}

void Document::setPaperA4() { setPaperSize(QPageSize(QPageSize::A4)); }

QPageSize Document::paperSize() const { return paper_; }

void Document::setMargins(const QMarginsF &m)
{
    QTextFrameFormat f = rootFrame()->frameFormat();
    f.setLeftMargin(length(m.left()));
    f.setTopMargin(length(m.top()));
    f.setRightMargin(length(m.right()));
    f.setBottomMargin(length(m.bottom()));
    rootFrame()->setFrameFormat(f);
}

QMarginsF Document::margins() const
{
    const QTextFrameFormat f = rootFrame()->frameFormat();
    return QMarginsF(lengthInPoints(f.leftMargin()), lengthInPoints(f.topMargin()), lengthInPoints(f.rightMargin()),
                     lengthInPoints(f.bottomMargin()));
}

void Document::setParagraphSpacing(double pts)
{
    spacing_ = pts;
    QTextBlockFormat f;
    f.setBottomMargin(length(pts));
    QTextCursor c(this);
    c.beginEditBlock();
    for (auto it = rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock b = it.currentBlock();
        if (!b.isValid())
            continue;
        c.setPosition(b.position());
        c.mergeBlockFormat(f);
    }
    c.endEditBlock();
}

double Document::paragraphSpacing() const { return spacing_; }

Range Document::content() { return Range(this, 0, characterCount() - 1); }

Range Document::endOfDocument()
{
    const int end = characterCount() - 1;
    return Range(this, end, end);
}

Range Document::addParagraph()
{
    QTextCursor c(this);
    c.setPosition(characterCount() - 1);
    const QTextBlock last = c.block();
    const int start = last.position();
    const bool follow = selection_.isCollapsed() && selection_.position() == c.position();
    c.insertBlock(withoutBreak(last.blockFormat()), typeOnly(last.charFormat()));
    if (follow)
        selection_.endKey();
    return Range(this, start, c.position());
}

Table Document::addTable(int rows, int columns)
{
    if (rows < 1 || columns < 1)
        return {};
    QTextCursor c(this);
    c.setPosition(characterCount() - 1);
    const QTextBlock last = c.block();
    const bool follow = selection_.isCollapsed() && selection_.position() == c.position();
    const QTextBlockFormat paragraph = last.blockFormat();
    const QTextCharFormat mark = typeOnly(last.charFormat());

    // An empty last paragraph stays as the table's anchor: Qt does not lay out an empty
    // paragraph right before a table, so the table takes its place on the page, as the word
    // processor's table takes the place of the empty paragraph it is added at. The .docx
    // writer leaves such a paragraph out.
    QTextTableFormat tf = plainTableFormat(columns);
    if (last.length() == 1 && paragraph.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    c.beginEditBlock();
    QTextTable *table = c.insertTable(rows, columns, tf);
    QTextTableCellFormat padding;
    padding.setLeftPadding(length(cellSidePadding));
    padding.setRightPadding(length(cellSidePadding));
    padding.setTopPadding(length(cellTopPadding));
    padding.setBottomPadding(length(cellTopPadding));
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < columns; ++col) {
            const QTextTableCell cell = table->cellAt(r, col);
            mergeCellFormat(cell, padding);
            QTextCursor in = cell.firstCursorPosition();
            in.mergeBlockCharFormat(mark);
        }
    // The paragraph after the table is the old last paragraph, as the word processor keeps it.
    QTextCursor after(this);
    after.setPosition(table->lastPosition() + 1);
    after.setBlockFormat(withoutBreak(paragraph));
    after.mergeBlockCharFormat(mark);
    c.endEditBlock();

    if (follow)
        selection_.endKey();
    added_.append(table);
    return Table(this, table);
}

Table Document::addTable(int rows, int columns, const QList<QStringList> &contents, std::optional<double> points,
                         int format)
{
    if (rows < 1 || columns < 1)
        return {};
    // Each cell is set once instead of once per step: a report's tables are most of its
    // building time otherwise. The result is the same document, format for format.
    QTextCursor c(this);
    c.setPosition(characterCount() - 1);
    const QTextBlock last = c.block();
    const bool follow = selection_.isCollapsed() && selection_.position() == c.position();
    const QTextBlockFormat paragraph = last.blockFormat();
    const QTextCharFormat mark = typeOnly(last.charFormat());

    const bool colourful = format == 9;
    QTextTableFormat tf = plainTableFormat(columns);
    if (last.length() == 1 && paragraph.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (format > 0) {
        tf.setBorderBrush(colourful ? gridColour : QColor(Qt::black));
        tf.setHeaderRowCount(colourful ? 1 : 0);
    }
    QTextCharFormat markAndSize = mark;
    if (points)
        markAndSize.setFontPointSize(*points);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setForeground(headingText);

    c.beginEditBlock();
    QTextTable *table = c.insertTable(rows, columns, tf);
    for (int r = 0; r < rows; ++r) {
        const bool head = colourful && r == 0;
        QColor shade;
        if (colourful)
            shade = r == 0 ? headingShade : (r % 2 ? bandShade : otherBandShade);
        for (int col = 0; col < columns; ++col) {
            const QTextTableCell cell = table->cellAt(r, col);
            QTextTableCellFormat cf;
            cf.setLeftPadding(length(cellSidePadding));
            cf.setRightPadding(length(cellSidePadding));
            cf.setTopPadding(length(cellTopPadding));
            cf.setBottomPadding(length(cellTopPadding));
            if (format > 0) {
                if (shade.isValid())
                    cf.setBackground(shade);
                else
                    cf.setBackground(Qt::NoBrush);
            }
            mergeCellFormat(cell, cf);
            QTextCursor in = cell.firstCursorPosition();
            in.mergeBlockCharFormat(markAndSize);
            QTextCharFormat type = typeOnly(in.blockCharFormat());
            if (head) {
                in.mergeBlockCharFormat(heading);
                type.merge(heading);
            }
            const QString text = r < contents.size() && col < contents.at(r).size() ? contents.at(r).at(col) : QString();
            if (!text.isEmpty())
                insertParagraphs(in, text, type, in.blockFormat());
        }
    }
    QTextCursor after(this);
    after.setPosition(table->lastPosition() + 1);
    after.setBlockFormat(withoutBreak(paragraph));
    after.mergeBlockCharFormat(mark);
    c.endEditBlock();

    if (follow)
        selection_.endKey();
    added_.append(table);
    return Table(this, table);
}

QList<QTextTable *> Document::tables() const
{
    QList<QTextTable *> all;
    for (const QPointer<QTextTable> &t : added_)
        if (t)
            all << t;
    if (all.isEmpty()) // a document filled some other way
        collectTables(rootFrame(), all);
    return all;
}

int Document::tableCount() const { return int(tables().size()); }

Table Document::table(int n)
{
    const QList<QTextTable *> all = tables();
    if (n < 1 || n > all.size())
        return {};
    return Table(this, all.at(n - 1));
}

bool Document::printPages(QPagedPaintDevice &device, QString *reason) const
{
    QPainter p;
    if (!p.begin(&device)) {
        setReason(reason, QStringLiteral("il dispositivo di stampa non accetta il documento"));
        return false;
    }
    const QSizeF page = pageSize();
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRectF full = layout.fullRectPixels(dpi);
    const QRectF paint = layout.paintRectPixels(dpi);
    // The document carries its own margins: its page goes onto the whole sheet, and the
    // painter starts at the device's printable area.
    const double scale = std::min(full.width() / page.width(), full.height() / page.height());
    const QPointF origin = full.topLeft() - paint.topLeft();
    const QPageRanges ranges = device.pageRanges();
    const auto *lay = static_cast<const PageLayout *>(documentLayout());

    bool first = true;
    for (int i = 0; i < pageCount(); ++i) {
        if (!ranges.isEmpty() && !ranges.contains(i + 1))
            continue;
        if (!first && !device.newPage()) {
            p.end();
            setReason(reason, QStringLiteral("il dispositivo di stampa non accetta una nuova pagina"));
            return false;
        }
        first = false;
        p.save();
        p.translate(origin);
        p.scale(scale, scale);
        p.setClipRect(QRectF(QPointF(0, 0), page));
        lay->drawPage(&p, i);
        p.restore();
    }
    if (!p.end()) {
        setReason(reason, QStringLiteral("la stampa non è stata completata"));
        return false;
    }
    return true;
}

bool Document::exportPdf(QIODevice &device, QString *reason) const
{
    if (!device.isWritable()) {
        setReason(reason, QStringLiteral("il file non è aperto in scrittura"));
        return false;
    }
    return scriviPdf(*this, device, reason);
}

bool Document::exportPdf(const QString &path, QString *reason) const
{
    return scriviAtomico(path, [this](QIODevice &d, QString *m) { return exportPdf(d, m); }, reason, modoDocumento);
}

bool Document::saveAs(const QString &path, QString *reason) const { return scriviDocx(*this, path, reason); }

} // namespace perix
