#include "reports/documento.h"

#include "reports/docx.h"
#include "reports/documento_formati.h"
#include "reports/impaginazione.h"
#include "reports/pdf.h"

#include "core/scrittura.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextFrame>

#include <algorithm>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace perix {

namespace {

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

// Split at "\r\n", "\r" and "\n", by hand: a report types hundreds of texts.
QStringList paragraphsOf(const QString &text)
{
    QStringList parts;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        parts << capped(text.mid(from, i - from));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        from = i + 1;
    }
    parts << capped(text.mid(from));
    return parts;
}

void collectTables(QTextFrame *frame, QList<QTextTable *> &out)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *t = qobject_cast<QTextTable *>(child))
            out << t;
        collectTables(child, out);
    }
}

} // namespace

QTextBlockFormat withoutBreak(QTextBlockFormat f)
{
    f.clearProperty(QTextFormat::PageBreakPolicy);
    return f;
}

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

void mergeCellFormat(QTextTableCell cell, const QTextCharFormat &change)
{
    QTextCharFormat f = cell.format();
    f.merge(change);
    cell.setFormat(f);
}

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

void setTableLook(QTextTableFormat &table, int format)
{
    table.setBorderBrush(format == 9 ? gridColour : QColor(Qt::black));
    table.setHeaderRowCount(format == 9 ? 1 : 0);
}

QColor rowShade(int row, int format)
{
    if (format != 9)
        return {};
    return row == 0 ? headingShade : (row % 2 ? bandShade : otherBandShade);
}

QTextCharFormat headingType()
{
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setForeground(headingText);
    return heading;
}

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

// Every document lays itself out on this device, so layout units are independent of the
// screen: 720 dpi, a tenth of a point each.
QPaintDevice *Document::layoutDevice()
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

const Disegno *Document::drawing(const QString &name) const
{
    const auto it = drawings_.constFind(name);
    return it == drawings_.constEnd() ? nullptr : &it.value();
}

QVariant Document::loadResource(int type, const QUrl &name)
{
    const Disegno *d = type == QTextDocument::ImageResource ? drawing(name.toString()) : nullptr;
    if (!d)
        return QTextDocument::loadResource(type, name);
    // At print resolution, once: the preview and the print ask again at every page they draw.
    const QImage picture = immagineDisegno(*d, 300);
    addResource(type, name, picture);
    return picture;
}

void Document::setPageFooter(bool numbered, const QString &text)
{
    pageNumbers_ = numbered;
    footerText_ = text;
    // The pages are laid out again, footers and all.
    markContentsDirty(0, 0);
}

double Document::length(double pts) { return pts * qt_defaultDpiY() / 72.0; }

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

void Document::setParagraphSpacing(double pts)
{
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

Range Document::content() { return Range(this, 0, characterCount() - 1); }

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

Table Document::addTable(int rows, int columns) { return addTable(rows, columns, {}, std::nullopt, 0); }

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

    // An empty last paragraph stays as the table's anchor: Qt does not lay out an empty
    // paragraph right before a table, so the table takes its place on the page, as the word
    // processor's table takes the place of the empty paragraph it is added at. The .docx
    // writer leaves such a paragraph out.
    QTextTableFormat tf = plainTableFormat(columns);
    if (last.length() == 1 && paragraph.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (format > 0)
        setTableLook(tf, format);
    QTextCharFormat markAndSize = mark;
    if (points)
        markAndSize.setFontPointSize(*points);

    c.beginEditBlock();
    QTextTable *table = c.insertTable(rows, columns, tf);
    for (int r = 0; r < rows; ++r) {
        const QColor shade = rowShade(r, format);
        for (int col = 0; col < columns; ++col) {
            const QTextTableCell cell = table->cellAt(r, col);
            QTextTableCellFormat cf;
            cf.setLeftPadding(length(cellSidePadding));
            cf.setRightPadding(length(cellSidePadding));
            cf.setTopPadding(length(cellTopPadding));
            cf.setBottomPadding(length(cellTopPadding));
            if (format > 0)
                cf.setBackground(shade.isValid() ? QBrush(shade) : QBrush(Qt::NoBrush));
            mergeCellFormat(cell, cf);
            QTextCursor in = cell.firstCursorPosition();
            in.mergeBlockCharFormat(markAndSize);
            QTextCharFormat type = typeOnly(in.blockCharFormat());
            if (format == 9 && r == 0) {
                in.mergeBlockCharFormat(headingType());
                type.merge(headingType());
            }
            const QString text = r < contents.size() && col < contents.at(r).size() ? contents.at(r).at(col) : QString();
            if (!text.isEmpty())
                insertParagraphs(in, text, type, in.blockFormat());
        }
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
    if (!p.begin(&device))
        return falso(reason, QStringLiteral("il dispositivo di stampa non accetta il documento"));
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
            return falso(reason, QStringLiteral("il dispositivo di stampa non accetta una nuova pagina"));
        }
        first = false;
        p.save();
        p.translate(origin);
        p.scale(scale, scale);
        p.setClipRect(QRectF(QPointF(0, 0), page));
        lay->drawPage(&p, i);
        p.restore();
    }
    return p.end() || falso(reason, QStringLiteral("la stampa non è stata completata"));
}

bool Document::exportPdf(QIODevice &device, QString *reason) const
{
    if (!device.isWritable())
        return falso(reason, QStringLiteral("il file non è aperto in scrittura"));
    return scriviPdf(*this, device, reason);
}

bool Document::exportPdf(const QString &path, QString *reason) const
{
    return scriviAtomico(path, [this](QIODevice &d, QString *m) { return exportPdf(d, m); }, reason, modoDocumento);
}

bool Document::saveAs(const QString &path, QString *reason) const { return scriviDocx(*this, path, reason); }

} // namespace perix
