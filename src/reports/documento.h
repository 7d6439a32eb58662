#pragma once
// The document the reports are written into: a QTextDocument with a small API shaped
// like the word-processor calls the reports were designed around (a selection that types
// at the insertion point, paragraphs and tables added at the end, table format 9,
// columns selected and aligned), plus printing, PDF and .docx output.
//
// Layout units: the document lays itself out on a 720-dpi device, so one unit of its page
// size is a tenth of a point (Document::unitsPerPoint); font sizes stay in points.

#include "reports/disegno.h"

#include <QColor>
#include <QHash>
#include <QMarginsF>
#include <QPageSize>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <optional>

class QImage;
class QIODevice;
class QPagedPaintDevice;

namespace perix {

class Document;

// Paragraph alignment, numbered as the word processor numbers it.
enum class Alignment { Left = 0, Center = 1, Right = 2, Justify = 3 };

// A stretch of the document (a paragraph with its mark, a cell, a whole table, the
// document end), by position: take it, use it, and take a new one after other edits.
class Range
{
public:
    Range() = default;
    Range(Document *doc, int start, int end);

    bool isValid() const;
    int start() const;
    int end() const;

    // Paragraphs are separated by "\r".
    QString text() const;
    // Replaces the stretch; "\r" ends a paragraph. The new text takes the formatting found
    // at the start of the stretch, and the range then covers it.
    void setText(const QString &text);

    void setFontName(const QString &family);
    void setFontSize(double points);
    void setBold(bool bold);
    void setAlignment(Alignment alignment);

    QString fontName() const; // at the start of the stretch
    double fontSize() const;

    // Makes this stretch the document's selection.
    void select() const;

private:
    void setType(const QTextCharFormat &change);

    QPointer<Document> doc_;
    int start_ = 0;
    int end_ = 0;
};

class Cell
{
public:
    Cell() = default;
    Cell(Document *doc, QTextTable *table, int row, int column); // 1-based

    bool isValid() const;
    QString text() const; // paragraphs separated by "\r"
    void setText(const QString &text);
    Range range() const;
    void setShading(const QColor &colour);
    QColor shading() const; // invalid when unshaded
    Alignment alignment() const;

private:
    QTextTableCell cell() const;

    QPointer<Document> doc_;
    QPointer<QTextTable> table_;
    int row_ = 0;
    int column_ = 0;
};

class Column
{
public:
    Column() = default;
    Column(Document *doc, QTextTable *table, int column); // 1-based

    // Makes the column's cells the document's selection.
    void select() const;
    void setAlignment(Alignment alignment) const;

private:
    bool isValid() const;

    QPointer<Document> doc_;
    QPointer<QTextTable> table_;
    int column_ = 0;
};

class Table
{
public:
    Table() = default;
    Table(Document *doc, QTextTable *table);

    bool isValid() const;
    QTextTable *textTable() const;
    int rows() const;
    int columns() const;

    Cell cell(int row, int column) const; // 1-based, as the word processor counts
    Column column(int column) const;
    Range range() const;

    // Type size of every cell, present and future text.
    void setFontSize(double points);
    // Fills rows from the first: each list is one row, from the first column.
    void fill(const QList<QStringList> &rows);
    // Column widths in percent of the table's width, one per column; a list of another
    // length is ignored.
    void setColumnWidths(const QList<double> &percent);
    // Built-in table format; 9 is the colourful one: coloured heading row with bold
    // light text, banded shading on the body rows, thin grid lines.
    void autoFormat(int format = 9);

private:
    QPointer<Document> doc_;
    QPointer<QTextTable> table_;
};

// The insertion point, or a selected stretch, or a rectangle of table cells.
class Selection
{
public:
    explicit Selection(Document *doc);
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;

    void setFontName(const QString &family);
    void setFontSize(double points);
    void setBold(bool bold);
    QString fontName() const;
    double fontSize() const;
    bool bold() const;

    // Types at the selection (replacing what is selected). "\r" ends a paragraph; "\n"
    // and "\r\n" are taken as paragraph ends too.
    void typeText(const QString &text);
    void typeParagraph();
    // What follows starts on a new page.
    void insertPageBreak();
    // An image at the selection, `points` wide and high on the page. The document keeps it
    // as a resource, so the preview, the print, the PDF and the .docx all carry it.
    void insertImage(const QImage &image, const QSizeF &points);
    // A drawing at the selection, as big as it says. The PDF gets its lines and words as
    // such; the preview, the print and the .docx a picture of it, made when first asked for.
    void insertDrawing(const Disegno &drawing);

    void setAlignment(Alignment alignment);
    Alignment alignment() const; // of the first paragraph selected

    void wholeStory();   // selects the whole document
    void endKey();       // collapses to the end of the document
    bool isCollapsed() const;
    QString text() const;
    int position() const;

private:
    friend class Range;
    friend class Column;
    friend class Document;

    void selectRange(int start, int end);
    void selectCells(QTextTable *table, int firstRow, int lastRow, int firstColumn, int lastColumn);
    template <typename F> void forEachSelectedBlock(F fn);
    // What typing will use takes the change, and so does what is selected; with nothing
    // selected, `markFollows` gives it to the mark of an empty paragraph too.
    void setType(const QTextCharFormat &change, bool markFollows);
    void newParagraph();

    Document *doc_;
    QTextCursor cursor_;
    QTextCharFormat format_; // what typing will use
    QPointer<QTextTable> cellTable_;
    int rows_[2] = {0, 0};
    int columns_[2] = {0, 0};
};

class Document : public QTextDocument
{
    Q_OBJECT
public:
    static constexpr double unitsPerPoint = 10.0;
    static constexpr double dotsPerInch = 720.0;
    // The most characters a paragraph or a cell shows; a longer text shows its beginning
    // and "…" (a figure or a caption is a few words, a help paragraph under a thousand
    // characters).
    static constexpr qsizetype longestParagraph = 2000;

    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    Selection &selection();

    // Page set-up. A new document is A4 portrait with 2.5 cm top, 2 cm other margins.
    void setPaperSize(const QPageSize &size);
    void setPaperA4();
    QPageSize paperSize() const;
    void setMargins(const QMarginsF &points);

    // Page furniture: with `numbered`, every page carries "Pagina N di M" at the bottom right,
    // and `text` (the archive file's name, or nothing) at the bottom left. Off for a new document.
    void setPageFooter(bool numbered, const QString &text = {});
    bool pageNumbers() const { return pageNumbers_; }
    QString footerText() const { return footerText_; }
    // What a PDF's properties and a .docx say of the document besides its title.
    void setAuthor(const QString &author) { author_ = author; }
    void setSubject(const QString &subject) { subject_ = subject; }
    QString author() const { return author_; }
    QString subject() const { return subject_; }

    // Space after every paragraph of the text, present and future (not inside tables, whose
    // rows stay compact).
    void setParagraphSpacing(double points);

    Range content();
    // A paragraph mark added at the end of the document; the range is the paragraph it
    // closes (empty when the document ended with an empty paragraph).
    Range addParagraph();
    // A table added at the end of the document. An empty last paragraph gives way to it: it
    // stays in the text as the table's anchor, shown and saved as nothing. Cells start with
    // the type of the last paragraph mark.
    Table addTable(int rows, int columns);
    // The same table filled at once: what addTable, Table::setFontSize(points), Table::fill
    // and Table::autoFormat(format) (when format > 0) give, in one pass over the cells.
    Table addTable(int rows, int columns, const QList<QStringList> &contents, std::optional<double> points,
                   int format);

    int tableCount() const;
    Table table(int n); // 1-based

    // Output. Each page of the document goes onto one page of the device, scaled to fit.
    bool printPages(QPagedPaintDevice &device, QString *reason = nullptr) const;
    bool exportPdf(QIODevice &device, QString *reason = nullptr) const;
    bool exportPdf(const QString &path, QString *reason = nullptr) const;
    // Saves in the word processor's own format (.docx).
    bool saveAs(const QString &path, QString *reason = nullptr) const;

    // The page size is in layout units. Lengths kept in formats (margins, spacing, paddings,
    // borders) are in Qt's logical pixels, which the layout scales to its device: length()
    // gives them from points.
    static double units(double points) { return points * unitsPerPoint; }
    static double points(double units) { return units / unitsPerPoint; }
    static double length(double points);

    // The 720 dpi device every document is laid out on.
    static QPaintDevice *layoutDevice();

    // The drawing an image format names, if it names one (Selection::insertDrawing).
    const Disegno *drawing(const QString &name) const;

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    friend class Selection;
    QList<QTextTable *> tables() const;

    Selection selection_;
    QPageSize paper_;
    bool pageNumbers_ = false;
    QString footerText_, author_, subject_;
    // The tables added, in document order (they are only ever added at the end). Qt brings
    // its own list of frames up to date only when an edit block ends, and a report is
    // built as one block.
    QList<QPointer<QTextTable>> added_;
    QHash<QString, Disegno> drawings_;
};

// Copies only the type (family, size, weight, italics, colour) of a format: cell and
// object properties stay where they belong.
QTextCharFormat typeOnly(const QTextCharFormat &format);

} // namespace perix
