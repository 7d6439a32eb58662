#include "reports/impaginazione.h"
#include "reports/impaginazione_flusso.h"
#include "reports/documento.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
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
        // A drawing is painted as lines and words, sharp on the screen and the printer alike.
        const auto *d = qobject_cast<Document *>(doc);
        if (const Disegno *disegno = d ? d->drawing(format.toImageFormat().name()) : nullptr) {
            painter->save();
            painter->translate(rect.topLeft());
            painter->scale(rect.width() / disegno->misura.width(), rect.height() / disegno->misura.height());
            dipingi(*painter, *disegno);
            painter->restore();
            return;
        }
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

// The footers' document is laid out by hand, line by line: its own layout only has to
// give the paint device, so its type has the report's resolution.
class FooterLayout : public QAbstractTextDocumentLayout
{
public:
    FooterLayout(QTextDocument *doc, QPaintDevice *device) : QAbstractTextDocumentLayout(doc) { setPaintDevice(device); }
    void draw(QPainter *, const PaintContext &) override {}
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

// The footer's baseline, from the bottom edge of the paper, and its type.
constexpr double footerBaseline = 34.0; // points: 1.2 cm
constexpr double footerPoints = 8.0;
const QColor footerColour(0x59, 0x59, 0x59);

} // namespace

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

double PageLayout::scale() const
{
    return double(paintDevice() ? paintDevice()->logicalDpiY() : qt_defaultDpiY()) / qt_defaultDpiY();
}

double PageLayout::pageHeight() const { return pageSize().height() > 0 ? pageSize().height() : 1e18; }

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
    const double scale = this->scale();

    Flow f;
    const double top = whole(ff.topMargin() * scale);
    const double bottom = whole(ff.bottomMargin() * scale);
    f.left = whole(ff.leftMargin() * scale);
    f.right = page.width() - whole(ff.rightMargin() * scale);
    f.y = top;
    f.pageHeight = pageHeight();
    f.pageTopMargin = top;
    f.pageBottomMargin = bottom;
    f.pageBottom = f.pageHeight - bottom;
    layOutFlow(f, root);
    // As many pages as the flow reached, its bottom margin included (a page break at the very
    // end gives an empty last page, as it always did).
    const int count = std::max(1, int(std::ceil((f.y + bottom) / f.pageHeight)));
    pageAt(count - 1);
    height_ = f.pageHeight * count;
    addFooters();
}

void PageLayout::addFooters() const
{
    const auto *doc = qobject_cast<const Document *>(document());
    if (!doc || !doc->pageNumbers() || pageSize().height() <= 0) {
        footers_.reset();
        return;
    }
    footers_ = std::make_unique<QTextDocument>();
    footers_->setDocumentLayout(new FooterLayout(footers_.get(), paintDevice()));
    QTextCharFormat type;
    type.setFontFamilies({QStringLiteral("Century Gothic")});
    type.setFontPointSize(footerPoints);
    type.setForeground(footerColour);
    const QTextFrameFormat ff = document()->rootFrame()->frameFormat();
    const double left = whole(ff.leftMargin() * scale());
    const double right = pageSize().width() - whole(ff.rightMargin() * scale());
    const double baseline = pageSize().height() - Document::units(footerBaseline);
    const int count = int(pages_.size());
    QTextCursor c(footers_.get());
    const auto line = [&](const QString &text, int page, bool toTheRight) {
        if (text.isEmpty())
            return;
        if (c.position() > 0)
            c.insertBlock();
        c.setBlockCharFormat(type);
        c.insertText(text, type);
        const QTextBlock block = c.block();
        QTextLayout *tl = block.layout();
        tl->setCacheEnabled(true);
        tl->beginLayout();
        QTextLine l = tl->createLine();
        l.setLineWidth(right - left);
        l.setPosition(QPointF(0, 0));
        tl->endLayout();
        const double width = l.naturalTextWidth();
        const double x = toTheRight ? right - width : left;
        pages_[page].lines.append({block, 0, QPointF(x, baseline - l.ascent())});
    };
    for (int p = 0; p < count; ++p) {
        line(doc->footerText(), p, false);
        line(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(count), p, true);
    }
}

void PageLayout::layOutFlow(Flow &f, QTextFrame *frame) const
{
    QTextFrame::iterator it = frame->begin();
    QTextFrame::iterator previous;
    QTextBlockFormat previousFormat;
    bool hadPrevious = false;
    while (!it.atEnd()) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child)) {
                layOutTable(f, table);
            } else {
                // A frame that is not a table (no report makes one): its text flows on in
                // place, never left off the page.
                const double top = f.absoluteY();
                layOutFlow(f, child);
                frames_.insert(child, QRectF(f.originX + f.left, top, f.right - f.left, f.absoluteY() - top));
            }
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
    const double scale = this->scale();
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
    tl->setCacheEnabled(true); // the PDF writer reads the glyphs again: shaped once
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

void PageLayout::addLines(const QTextBlock &block, QPointF shift) const
{
    const QTextLayout *tl = block.layout();
    const double pageHeight = this->pageHeight();
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        const double top = tl->position().y() + shift.y() + line.y();
        const int page = std::max(0, int((top + line.height() / 2) / pageHeight));
        pageAt(page).lines.append({block, i, tl->position() + shift - QPointF(0, page * pageHeight)});
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
    const double pageHeight = this->pageHeight();
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
