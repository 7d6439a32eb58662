#include "reports/documento.h"
#include "reports/documento_formati.h"

#include <QImage>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

namespace perix {

namespace {

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

void applyType(QTextDocument *doc, const QTextTableCell &cell, const QTextCharFormat &change)
{
    applyType(doc, cell.firstPosition(), cell.lastPosition(), change);
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

Alignment alignmentAt(QTextDocument *doc, int position)
{
    const Qt::Alignment a = doc->findBlock(position).blockFormat().alignment();
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

QTextCharFormat withFamily(const QString &family)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    return f;
}

QTextCharFormat withSize(double points)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    return f;
}

QTextCharFormat withWeight(bool bold)
{
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

QString selectedText(const QTextCursor &c)
{
    QString t = c.selectedText();
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
    return t;
}

} // namespace

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

void Range::setFontName(const QString &family) { setType(withFamily(family)); }
void Range::setFontSize(double points) { setType(withSize(points)); }
void Range::setBold(bool bold) { setType(withWeight(bold)); }

void Range::setType(const QTextCharFormat &change)
{
    if (doc_)
        applyType(doc_, start_, end_, change);
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

QString Cell::text() const { return range().text(); }

void Cell::setText(const QString &text) { range().setText(text); }

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
    f.setBackground(colour.isValid() ? QBrush(colour) : QBrush(Qt::NoBrush));
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
    return alignmentAt(doc_, c.firstPosition());
}

Column::Column(Document *doc, QTextTable *table, int column) : doc_(doc), table_(table), column_(column) {}

bool Column::isValid() const { return doc_ && table_ && column_ >= 1 && column_ <= table_->columns(); }

void Column::select() const
{
    if (isValid())
        doc_->selection().selectCells(table_, 0, table_->rows() - 1, column_ - 1, column_ - 1);
}

void Column::setAlignment(Alignment alignment) const
{
    if (!isValid())
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
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    for (int r = 0; r < table_->rows(); ++r)
        for (int c = 0; c < table_->columns(); ++c)
            applyType(doc_, table_->cellAt(r, c), withSize(points));
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
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    QTextTableFormat tf = table_->format();
    setTableLook(tf, format);
    table_->setFormat(tf);
    for (int r = 0; r < table_->rows(); ++r)
        for (int c = 0; c < table_->columns(); ++c) {
            Cell(doc_, table_, r + 1, c + 1).setShading(rowShade(r, format));
            if (format == 9 && r == 0)
                applyType(doc_, table_->cellAt(r, c), headingType());
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

void Selection::setFontName(const QString &family) { setType(withFamily(family), true); }
void Selection::setFontSize(double points) { setType(withSize(points), true); }
void Selection::setBold(bool bold) { setType(withWeight(bold), false); }

void Selection::setType(const QTextCharFormat &change, bool markFollows)
{
    format_.merge(change);
    if (!isCollapsed())
        forEachSelectedBlock([&](int s, int e) { applyType(doc_, s, e, change); });
    else if (markFollows && cursor_.block().length() == 1)
        cursor_.mergeBlockCharFormat(change); // an empty paragraph's mark follows what will be typed
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
    insertParagraphs(cursor_, text, format_, cursor_.blockFormat());
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

void Selection::insertDrawing(const Disegno &drawing)
{
    typeText(QString());
    static int numero = 0;
    const QString nome = QStringLiteral("perix-disegno-%1.png").arg(++numero);
    doc_->drawings_.insert(nome, drawing);
    QTextImageFormat f;
    f.setName(nome);
    f.setWidth(Document::length(drawing.misura.width()));
    f.setHeight(Document::length(drawing.misura.height()));
    cursor_.insertImage(f);
}

void Selection::setAlignment(Alignment alignment)
{
    forEachSelectedBlock([&](int s, int e) { applyAlignment(doc_, s, e, alignment); });
}

Alignment Selection::alignment() const
{
    if (cellTable_)
        return alignmentAt(doc_, cellTable_->cellAt(rows_[0], columns_[0]).firstPosition());
    return alignmentAt(doc_, cursor_.selectionStart());
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

} // namespace perix
