#include "reports/docx.h"

#include "core/scrittura.h"

#include <QAbstractTextDocumentLayout>
#include <QBrush>
#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QIODevice>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <QXmlStreamWriter>

#include <zip.h>

#include <algorithm>
#include <cmath>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace perix {

namespace {

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
// The pictures' vocabularies: the drawing in the text, DrawingML, the picture, the relationship.
const QString WP = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString A = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString PIC = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");
const QString R = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
// The relationship of the styles part is rId1; pictures follow from rId2.
constexpr int firstPictureId = 2;
// English Metric Units: 914400 to the inch, 635 to the twip.
constexpr qint64 emuPerTwip = 635;

// A4 with 2 cm margins, for a document that was never given a page.
constexpr int a4Width = 11906;
constexpr int a4Height = 16838;
constexpr int defaultMargin = 1134;

void setReason(QString *motivo, const QString &testo)
{
    if (motivo)
        *motivo = testo;
}

QString hex(const QColor &c) { return c.name(QColor::HexRgb).mid(1).toUpper(); }

// Characters XML 1.0 cannot carry, and the placeholders of embedded objects.
bool writable(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20)
        return false;
    return u != 0xFFFE && u != 0xFFFF && u != QChar::ObjectReplacementCharacter;
}

// A picture of the document, as it goes into the package.
struct Picture {
    QString relationship; // rId2, rId3, ...
    QString part;         // media/immagine1.png, relative to word/
    QByteArray png;
};

bool hasPictures(const QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return true;
    return false;
}

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc)
    {
        // Lengths in formats are logical pixels; the page size is in the layout device's.
        dpi_ = qt_defaultDpiY();
        const QPaintDevice *dev = doc.documentLayout()->paintDevice();
        const double pageDpi = dev ? dev->logicalDpiY() : dpi_;
        const QSizeF page = doc.pageSize();
        paginated_ = page.isValid() && page.width() > 0 && page.height() > 0 && page.height() < 1e6;
        const QTextFrameFormat root = doc.rootFrame()->frameFormat();
        if (paginated_) {
            pageWidth_ = int(std::lround(page.width() * 1440.0 / pageDpi));
            pageHeight_ = int(std::lround(page.height() * 1440.0 / pageDpi));
            margins_[0] = twips(root.topMargin());
            margins_[1] = twips(root.rightMargin());
            margins_[2] = twips(root.bottomMargin());
            margins_[3] = twips(root.leftMargin());
        }
        textWidth_ = std::max(1, pageWidth_ - margins_[1] - margins_[3]);
    }

    QByteArray document()
    {
        QByteArray out;
        QXmlStreamWriter x(&out);
        x_ = &x;
        x.writeStartDocument(QStringLiteral("1.0"), true);
        x.writeNamespace(W, QStringLiteral("w"));
        if (hasPictures(doc_)) {
            x.writeNamespace(WP, QStringLiteral("wp"));
            x.writeNamespace(A, QStringLiteral("a"));
            x.writeNamespace(PIC, QStringLiteral("pic"));
            x.writeNamespace(R, QStringLiteral("r"));
        }
        x.writeStartElement(W, QStringLiteral("document"));
        x.writeStartElement(W, QStringLiteral("body"));
        frame(doc_.rootFrame());
        section();
        x.writeEndElement();
        x.writeEndElement();
        x.writeEndDocument();
        return out;
    }

    QByteArray styles()
    {
        QByteArray out;
        QXmlStreamWriter x(&out);
        x_ = &x;
        const QFont font = doc_.defaultFont();
        x.writeStartDocument(QStringLiteral("1.0"), true);
        x.writeNamespace(W, QStringLiteral("w"));
        x.writeStartElement(W, QStringLiteral("styles"));
        x.writeStartElement(W, QStringLiteral("docDefaults"));
        x.writeStartElement(W, QStringLiteral("rPrDefault"));
        x.writeStartElement(W, QStringLiteral("rPr"));
        fonts(font.family());
        const int half = std::lround((font.pointSizeF() > 0 ? font.pointSizeF() : 12.0) * 2);
        val(QStringLiteral("sz"), QString::number(half));
        val(QStringLiteral("szCs"), QString::number(half));
        x.writeEmptyElement(W, QStringLiteral("lang"));
        x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("it-IT"));
        x.writeEndElement();
        x.writeEndElement();
        x.writeStartElement(W, QStringLiteral("pPrDefault"));
        x.writeStartElement(W, QStringLiteral("pPr"));
        x.writeEmptyElement(W, QStringLiteral("spacing"));
        x.writeAttribute(W, QStringLiteral("after"), QStringLiteral("0"));
        x.writeAttribute(W, QStringLiteral("line"), QStringLiteral("240"));
        x.writeAttribute(W, QStringLiteral("lineRule"), QStringLiteral("auto"));
        x.writeEndElement();
        x.writeEndElement();
        x.writeEndElement(); // docDefaults

        x.writeStartElement(W, QStringLiteral("style"));
        x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("paragraph"));
        x.writeAttribute(W, QStringLiteral("default"), QStringLiteral("1"));
        x.writeAttribute(W, QStringLiteral("styleId"), QStringLiteral("Normal"));
        val(QStringLiteral("name"), QStringLiteral("Normal"));
        x.writeEmptyElement(W, QStringLiteral("qFormat"));
        x.writeEndElement();

        x.writeStartElement(W, QStringLiteral("style"));
        x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("table"));
        x.writeAttribute(W, QStringLiteral("default"), QStringLiteral("1"));
        x.writeAttribute(W, QStringLiteral("styleId"), QStringLiteral("TableNormal"));
        val(QStringLiteral("name"), QStringLiteral("Normal Table"));
        x.writeStartElement(W, QStringLiteral("tblPr"));
        x.writeEmptyElement(W, QStringLiteral("tblInd"));
        x.writeAttribute(W, QStringLiteral("w"), QStringLiteral("0"));
        x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
        cellMargins(0, 108, 0, 108);
        x.writeEndElement();
        x.writeEndElement();

        x.writeEndElement(); // styles
        x.writeEndDocument();
        return out;
    }

    // The pictures met while writing the document, in order.
    const QList<Picture> &pictures() const { return pictures_; }

private:
    int twips(double units) const { return int(std::lround(units * 1440.0 / dpi_)); }

    void val(const QString &element, const QString &value)
    {
        x_->writeEmptyElement(W, element);
        x_->writeAttribute(W, QStringLiteral("val"), value);
    }

    void fonts(const QString &family)
    {
        x_->writeEmptyElement(W, QStringLiteral("rFonts"));
        for (const char *a : {"ascii", "hAnsi", "cs", "eastAsia"})
            x_->writeAttribute(W, QString::fromLatin1(a), family);
    }

    void cellMargins(int top, int left, int bottom, int right)
    {
        x_->writeStartElement(W, QStringLiteral("tblCellMar"));
        const std::pair<const char *, int> sides[] = {{"top", top}, {"left", left}, {"bottom", bottom}, {"right", right}};
        for (const auto &[side, w] : sides) {
            x_->writeEmptyElement(W, QString::fromLatin1(side));
            x_->writeAttribute(W, QStringLiteral("w"), QString::number(w));
            x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
        }
        x_->writeEndElement();
    }

    // An empty paragraph right before a table is the table's anchor: Qt shows nothing for
    // it, and the word processor would show an empty line.
    static bool anchor(QTextFrame::iterator it)
    {
        if (it.currentBlock().length() != 1)
            return false;
        ++it;
        return !it.atEnd() && it.currentFrame();
    }

    // Writes the contents of a frame or cell; true when the last thing written is a paragraph.
    bool flow(QTextFrame::iterator it)
    {
        bool endsWithParagraph = false;
        for (; !it.atEnd(); ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (auto *t = qobject_cast<QTextTable *>(child))
                    table(t);
                else
                    flow(child->begin());
                endsWithParagraph = false;
            } else if (it.currentBlock().isValid() && !anchor(it)) {
                paragraph(it.currentBlock());
                endsWithParagraph = true;
            }
        }
        return endsWithParagraph;
    }

    void frame(const QTextFrame *f)
    {
        if (!flow(f->begin())) // the body, like a cell, ends with a paragraph
            x_->writeEmptyElement(W, QStringLiteral("p"));
    }

    // Run properties, in the order the schema wants them.
    void runProperties(const QTextCharFormat &f)
    {
        QStringList families = f.fontFamilies().toStringList();
        if (families.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
            families << f.property(QTextFormat::FontFamily).toString();
        const bool bold = f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::DemiBold;
        const bool italic = f.hasProperty(QTextFormat::FontItalic) && f.fontItalic();
        const bool colour = f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush;
        const bool size = f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0;
        const bool underline = f.fontUnderline();
        if (families.isEmpty() && !bold && !italic && !colour && !size && !underline)
            return;
        x_->writeStartElement(W, QStringLiteral("rPr"));
        if (!families.isEmpty() && !families.constFirst().isEmpty())
            fonts(families.constFirst());
        if (bold) {
            x_->writeEmptyElement(W, QStringLiteral("b"));
            x_->writeEmptyElement(W, QStringLiteral("bCs"));
        }
        if (italic) {
            x_->writeEmptyElement(W, QStringLiteral("i"));
            x_->writeEmptyElement(W, QStringLiteral("iCs"));
        }
        if (colour)
            val(QStringLiteral("color"), hex(f.foreground().color()));
        if (size) {
            const QString half = QString::number(std::lround(f.fontPointSize() * 2));
            val(QStringLiteral("sz"), half);
            val(QStringLiteral("szCs"), half);
        }
        if (underline)
            val(QStringLiteral("u"), QStringLiteral("single"));
        x_->writeEndElement();
    }

    void text(const QString &t)
    {
        QString chunk;
        auto flush = [&] {
            if (chunk.isEmpty())
                return;
            x_->writeStartElement(W, QStringLiteral("t"));
            x_->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x_->writeCharacters(chunk);
            x_->writeEndElement();
            chunk.clear();
        };
        for (QChar c : t) {
            if (c == QLatin1Char('\t')) {
                flush();
                x_->writeEmptyElement(W, QStringLiteral("tab"));
            } else if (c == QChar::LineSeparator || c == QLatin1Char('\n')) {
                flush();
                x_->writeEmptyElement(W, QStringLiteral("br"));
            } else if (writable(c)) {
                chunk += c;
            }
        }
        flush();
    }

    void paragraph(const QTextBlock &b)
    {
        const QTextBlockFormat bf = b.blockFormat();
        x_->writeStartElement(W, QStringLiteral("p"));
        x_->writeStartElement(W, QStringLiteral("pPr"));
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            x_->writeEmptyElement(W, QStringLiteral("pageBreakBefore"));
        x_->writeEmptyElement(W, QStringLiteral("spacing"));
        x_->writeAttribute(W, QStringLiteral("before"), QString::number(twips(bf.topMargin())));
        x_->writeAttribute(W, QStringLiteral("after"), QString::number(twips(bf.bottomMargin())));
        x_->writeAttribute(W, QStringLiteral("line"), QStringLiteral("240"));
        x_->writeAttribute(W, QStringLiteral("lineRule"), QStringLiteral("auto"));
        const Qt::Alignment a = bf.alignment();
        if (a & Qt::AlignJustify)
            val(QStringLiteral("jc"), QStringLiteral("both"));
        else if (a & Qt::AlignHCenter)
            val(QStringLiteral("jc"), QStringLiteral("center"));
        else if (a & Qt::AlignRight)
            val(QStringLiteral("jc"), QStringLiteral("right"));
        else if (bf.hasProperty(QTextFormat::BlockAlignment))
            val(QStringLiteral("jc"), QStringLiteral("left"));
        // The mark's own type sets the height of an empty paragraph.
        runProperties(b.charFormat());
        x_->writeEndElement(); // pPr

        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || frag.text().isEmpty())
                continue;
            if (frag.charFormat().isImageFormat()) {
                for (QChar c : frag.text())
                    if (c == QChar::ObjectReplacementCharacter)
                        picture(frag.charFormat().toImageFormat());
                continue;
            }
            x_->writeStartElement(W, QStringLiteral("r"));
            runProperties(frag.charFormat());
            text(frag.text());
            x_->writeEndElement();
        }
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter) {
            x_->writeStartElement(W, QStringLiteral("r"));
            x_->writeEmptyElement(W, QStringLiteral("br"));
            x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("page"));
            x_->writeEndElement();
        }
        x_->writeEndElement(); // p
    }

    // An inline picture in its own run; a picture the document cannot give is left out.
    void picture(const QTextImageFormat &f)
    {
        const QVariant resource = doc_.resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage image = resource.value<QImage>();
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            return;
        // The size on the page: the format's, in logical pixels, or the image's own at 96 dpi.
        const double w = f.hasProperty(QTextFormat::ImageWidth) ? f.width() : image.width() * dpi_ / 96.0;
        const double h = f.hasProperty(QTextFormat::ImageHeight) ? f.height() : image.height() * dpi_ / 96.0;
        const QString cx = QString::number(qint64(twips(w)) * emuPerTwip);
        const QString cy = QString::number(qint64(twips(h)) * emuPerTwip);
        const int n = int(pictures_.size()) + 1;
        const QString id = QString::number(n);
        const QString file = QStringLiteral("immagine%1.png").arg(n);
        pictures_ << Picture{QStringLiteral("rId%1").arg(firstPictureId + n - 1), QStringLiteral("media/") + file, png};

        x_->writeStartElement(W, QStringLiteral("r"));
        x_->writeStartElement(W, QStringLiteral("drawing"));
        x_->writeStartElement(WP, QStringLiteral("inline"));
        for (const char *d : {"distT", "distB", "distL", "distR"})
            x_->writeAttribute(QString::fromLatin1(d), QStringLiteral("0"));
        x_->writeEmptyElement(WP, QStringLiteral("extent"));
        x_->writeAttribute(QStringLiteral("cx"), cx);
        x_->writeAttribute(QStringLiteral("cy"), cy);
        x_->writeEmptyElement(WP, QStringLiteral("docPr"));
        x_->writeAttribute(QStringLiteral("id"), id);
        x_->writeAttribute(QStringLiteral("name"), QStringLiteral("Immagine %1").arg(n));
        x_->writeStartElement(WP, QStringLiteral("cNvGraphicFramePr"));
        x_->writeEmptyElement(A, QStringLiteral("graphicFrameLocks"));
        x_->writeAttribute(QStringLiteral("noChangeAspect"), QStringLiteral("1"));
        x_->writeEndElement();
        x_->writeStartElement(A, QStringLiteral("graphic"));
        x_->writeStartElement(A, QStringLiteral("graphicData"));
        x_->writeAttribute(QStringLiteral("uri"), PIC);
        x_->writeStartElement(PIC, QStringLiteral("pic"));
        x_->writeStartElement(PIC, QStringLiteral("nvPicPr"));
        x_->writeEmptyElement(PIC, QStringLiteral("cNvPr"));
        x_->writeAttribute(QStringLiteral("id"), id);
        x_->writeAttribute(QStringLiteral("name"), file);
        x_->writeEmptyElement(PIC, QStringLiteral("cNvPicPr"));
        x_->writeEndElement(); // nvPicPr
        x_->writeStartElement(PIC, QStringLiteral("blipFill"));
        x_->writeEmptyElement(A, QStringLiteral("blip"));
        x_->writeAttribute(R, QStringLiteral("embed"), pictures_.constLast().relationship);
        x_->writeStartElement(A, QStringLiteral("stretch"));
        x_->writeEmptyElement(A, QStringLiteral("fillRect"));
        x_->writeEndElement();
        x_->writeEndElement(); // blipFill
        x_->writeStartElement(PIC, QStringLiteral("spPr"));
        x_->writeStartElement(A, QStringLiteral("xfrm"));
        x_->writeEmptyElement(A, QStringLiteral("off"));
        x_->writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
        x_->writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
        x_->writeEmptyElement(A, QStringLiteral("ext"));
        x_->writeAttribute(QStringLiteral("cx"), cx);
        x_->writeAttribute(QStringLiteral("cy"), cy);
        x_->writeEndElement(); // xfrm
        x_->writeStartElement(A, QStringLiteral("prstGeom"));
        x_->writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
        x_->writeEmptyElement(A, QStringLiteral("avLst"));
        x_->writeEndElement();
        x_->writeEndElement(); // spPr
        x_->writeEndElement(); // pic
        x_->writeEndElement(); // graphicData
        x_->writeEndElement(); // graphic
        x_->writeEndElement(); // inline
        x_->writeEndElement(); // drawing
        x_->writeEndElement(); // r
    }

    QList<int> columnWidths(const QTextTable *t, int tableWidth) const
    {
        const QTextTableFormat tf = t->format();
        const int n = t->columns();
        QList<int> widths(n, 0);
        const QList<QTextLength> constraints = tf.columnWidthConstraints();
        int used = 0;
        int variable = 0;
        for (int c = 0; c < n; ++c) {
            const QTextLength l = c < constraints.size() ? constraints.at(c) : QTextLength();
            if (l.type() == QTextLength::PercentageLength)
                widths[c] = int(std::lround(tableWidth * l.rawValue() / 100.0));
            else if (l.type() == QTextLength::FixedLength)
                widths[c] = twips(l.rawValue());
            else
                ++variable;
            used += widths[c];
        }
        if (variable > 0) {
            const int share = std::max(1, (tableWidth - used) / variable);
            for (int c = 0; c < n; ++c)
                if (widths[c] == 0)
                    widths[c] = share;
        }
        return widths;
    }

    void border(const QString &side, const QString &style, int eighths, const QString &colour)
    {
        x_->writeEmptyElement(W, side);
        x_->writeAttribute(W, QStringLiteral("val"), style);
        x_->writeAttribute(W, QStringLiteral("sz"), QString::number(eighths));
        x_->writeAttribute(W, QStringLiteral("space"), QStringLiteral("0"));
        x_->writeAttribute(W, QStringLiteral("color"), colour);
    }

    void table(const QTextTable *t)
    {
        const QTextTableFormat tf = t->format();
        const QTextLength width = tf.width();
        int tableWidth = textWidth_;
        if (width.type() == QTextLength::PercentageLength)
            tableWidth = int(std::lround(textWidth_ * width.rawValue() / 100.0));
        else if (width.type() == QTextLength::FixedLength)
            tableWidth = twips(width.rawValue());
        const QList<int> widths = columnWidths(t, tableWidth);

        x_->writeStartElement(W, QStringLiteral("tbl"));
        x_->writeStartElement(W, QStringLiteral("tblPr"));
        x_->writeEmptyElement(W, QStringLiteral("tblW"));
        if (width.type() == QTextLength::PercentageLength) {
            x_->writeAttribute(W, QStringLiteral("w"), QString::number(std::lround(width.rawValue() * 50)));
            x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("pct"));
        } else {
            x_->writeAttribute(W, QStringLiteral("w"), QString::number(tableWidth));
            x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
        }
        if (tf.alignment() & Qt::AlignHCenter)
            val(QStringLiteral("jc"), QStringLiteral("center"));
        else if (tf.alignment() & Qt::AlignRight)
            val(QStringLiteral("jc"), QStringLiteral("right"));

        QString style = QStringLiteral("single");
        switch (tf.borderStyle()) {
        case QTextFrameFormat::BorderStyle_None: style = QStringLiteral("nil"); break;
        case QTextFrameFormat::BorderStyle_Dotted: style = QStringLiteral("dotted"); break;
        case QTextFrameFormat::BorderStyle_Dashed: style = QStringLiteral("dashed"); break;
        case QTextFrameFormat::BorderStyle_Double: style = QStringLiteral("double"); break;
        default: break;
        }
        if (tf.border() <= 0)
            style = QStringLiteral("nil");
        // Border widths are counted in eighths of a point, from a quarter point up.
        const int eighths = std::clamp(int(std::lround(twips(tf.border()) * 8 / 20.0)), 2, 96);
        const QColor bc = tf.borderBrush().style() == Qt::NoBrush ? QColor(Qt::black) : tf.borderBrush().color();
        x_->writeStartElement(W, QStringLiteral("tblBorders"));
        for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
            border(QString::fromLatin1(side), style, eighths, hex(bc));
        x_->writeEndElement();
        x_->writeEmptyElement(W, QStringLiteral("tblLayout"));
        x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("fixed"));

        const QTextTableCellFormat first = t->cellAt(0, 0).format().toTableCellFormat();
        auto pad = [&](int property, double value) {
            return twips(first.hasProperty(property) ? value : tf.cellPadding());
        };
        cellMargins(pad(QTextFormat::TableCellTopPadding, first.topPadding()),
                    pad(QTextFormat::TableCellLeftPadding, first.leftPadding()),
                    pad(QTextFormat::TableCellBottomPadding, first.bottomPadding()),
                    pad(QTextFormat::TableCellRightPadding, first.rightPadding()));
        x_->writeEmptyElement(W, QStringLiteral("tblLook"));
        x_->writeAttribute(W, QStringLiteral("val"), QStringLiteral("04A0"));
        x_->writeEndElement(); // tblPr

        x_->writeStartElement(W, QStringLiteral("tblGrid"));
        for (int w : widths) {
            x_->writeEmptyElement(W, QStringLiteral("gridCol"));
            x_->writeAttribute(W, QStringLiteral("w"), QString::number(w));
        }
        x_->writeEndElement();

        for (int r = 0; r < t->rows(); ++r) {
            x_->writeStartElement(W, QStringLiteral("tr"));
            if (r < tf.headerRowCount()) {
                x_->writeStartElement(W, QStringLiteral("trPr"));
                x_->writeEmptyElement(W, QStringLiteral("tblHeader"));
                x_->writeEndElement();
            }
            for (int c = 0; c < t->columns();) {
                const QTextTableCell cell = t->cellAt(r, c);
                const int span = std::max(1, cell.columnSpan());
                cellElement(cell, r, widths.mid(c, span));
                c += span;
            }
            x_->writeEndElement(); // tr
        }
        x_->writeEndElement(); // tbl
    }

    void cellElement(const QTextTableCell &cell, int row, const QList<int> &widths)
    {
        const bool continuation = cell.row() != row; // covered by a cell spanning from above
        const QTextTableCellFormat cf = cell.format().toTableCellFormat();
        int w = 0;
        for (int x : widths)
            w += x;
        x_->writeStartElement(W, QStringLiteral("tc"));
        x_->writeStartElement(W, QStringLiteral("tcPr"));
        x_->writeEmptyElement(W, QStringLiteral("tcW"));
        x_->writeAttribute(W, QStringLiteral("w"), QString::number(w));
        x_->writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
        if (widths.size() > 1)
            val(QStringLiteral("gridSpan"), QString::number(widths.size()));
        if (continuation)
            x_->writeEmptyElement(W, QStringLiteral("vMerge"));
        else if (cell.rowSpan() > 1)
            val(QStringLiteral("vMerge"), QStringLiteral("restart"));
        const QBrush bg = cf.background();
        if (bg.style() != Qt::NoBrush) {
            x_->writeEmptyElement(W, QStringLiteral("shd"));
            x_->writeAttribute(W, QStringLiteral("val"), QStringLiteral("clear"));
            x_->writeAttribute(W, QStringLiteral("color"), QStringLiteral("auto"));
            x_->writeAttribute(W, QStringLiteral("fill"), hex(bg.color()));
        }
        if (cf.verticalAlignment() == QTextCharFormat::AlignMiddle)
            val(QStringLiteral("vAlign"), QStringLiteral("center"));
        else if (cf.verticalAlignment() == QTextCharFormat::AlignBottom)
            val(QStringLiteral("vAlign"), QStringLiteral("bottom"));
        x_->writeEndElement(); // tcPr

        const bool endsWithParagraph = !continuation && flow(cell.begin());
        if (!endsWithParagraph) // a cell must end with a paragraph
            x_->writeEmptyElement(W, QStringLiteral("p"));
        x_->writeEndElement(); // tc
    }

    void section()
    {
        x_->writeStartElement(W, QStringLiteral("sectPr"));
        x_->writeEmptyElement(W, QStringLiteral("pgSz"));
        x_->writeAttribute(W, QStringLiteral("w"), QString::number(pageWidth_));
        x_->writeAttribute(W, QStringLiteral("h"), QString::number(pageHeight_));
        if (pageWidth_ > pageHeight_)
            x_->writeAttribute(W, QStringLiteral("orient"), QStringLiteral("landscape"));
        x_->writeEmptyElement(W, QStringLiteral("pgMar"));
        x_->writeAttribute(W, QStringLiteral("top"), QString::number(margins_[0]));
        x_->writeAttribute(W, QStringLiteral("right"), QString::number(margins_[1]));
        x_->writeAttribute(W, QStringLiteral("bottom"), QString::number(margins_[2]));
        x_->writeAttribute(W, QStringLiteral("left"), QString::number(margins_[3]));
        x_->writeAttribute(W, QStringLiteral("header"), QStringLiteral("709"));
        x_->writeAttribute(W, QStringLiteral("footer"), QStringLiteral("709"));
        x_->writeAttribute(W, QStringLiteral("gutter"), QStringLiteral("0"));
        x_->writeEndElement();
    }

    const QTextDocument &doc_;
    QXmlStreamWriter *x_ = nullptr;
    QList<Picture> pictures_;
    double dpi_ = 96.0;
    bool paginated_ = false;
    int pageWidth_ = a4Width;
    int pageHeight_ = a4Height;
    int margins_[4] = {defaultMargin, defaultMargin, defaultMargin, defaultMargin};
    int textWidth_ = a4Width - 2 * defaultMargin;
};

const char contentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

const char packageRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

const char documentRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// The two lists that name the pictures: the PNG type once, and one relationship each.
QByteArray withPictures(const char *xml, const QByteArray &before, const QByteArray &added)
{
    QByteArray out(xml);
    out.insert(out.indexOf(before), added);
    return out;
}

struct Part {
    QByteArray name;
    QByteArray bytes;
};

// Zips the parts in memory: libzip writes into a growing buffer source we read back.
QByteArray zip(const QList<Part> &parts, QString *motivo)
{
    auto fail = [&](const QString &why) {
        setReason(motivo, QStringLiteral("impossibile comporre il pacchetto del documento: ") + why);
        return QByteArray();
    };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return fail(why);
    }
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(buffer);
        return fail(why);
    }
    zip_error_fini(&error);
    zip_source_keep(buffer); // still needed after zip_close, to read the bytes back

    for (const Part &p : parts) {
        zip_source_t *s = zip_source_buffer(archive, p.bytes.constData(), zip_uint64_t(p.bytes.size()), 0);
        const zip_int64_t index = s ? zip_file_add(archive, p.name.constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        // A picture is compressed already: deflating it again costs time and saves nothing.
        if (index >= 0 && p.name.endsWith(".png"))
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        if (index < 0) {
            const QString why = QString::fromLocal8Bit(zip_strerror(archive));
            if (s)
                zip_source_free(s);
            zip_discard(archive);
            zip_source_free(buffer);
            return fail(why);
        }
    }
    if (zip_close(archive) < 0) {
        const QString why = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(buffer);
        return fail(why);
    }

    QByteArray out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer, &st) < 0 || zip_source_open(buffer) < 0) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer)));
        zip_source_free(buffer);
        return fail(why);
    }
    out.resize(qsizetype(st.size));
    const zip_int64_t read = zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    if (read < 0 || zip_uint64_t(read) != st.size)
        return fail(QStringLiteral("lettura del pacchetto incompleta"));
    return out;
}

} // namespace

QByteArray componiDocx(const QTextDocument &documento, QString *motivo)
{
    Writer w(documento);
    const QByteArray body = w.document();
    QByteArray types(contentTypes);
    QByteArray relationships(documentRelationships);
    if (!w.pictures().isEmpty()) {
        types = withPictures(contentTypes, "<Default Extension=\"xml\"",
                             R"(<Default Extension="png" ContentType="image/png"/>)");
        QByteArray each;
        for (const Picture &p : w.pictures())
            each += QStringLiteral(R"(<Relationship Id="%1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="%2"/>)")
                        .arg(p.relationship, p.part)
                        .toUtf8();
        relationships = withPictures(documentRelationships, "</Relationships>", each);
    }
    QList<Part> parts = {
        {"[Content_Types].xml", types},
        {"_rels/.rels", QByteArray(packageRelationships)},
        {"word/document.xml", body},
        {"word/_rels/document.xml.rels", relationships},
        {"word/styles.xml", w.styles()},
    };
    for (const Picture &p : w.pictures())
        parts << Part{"word/" + p.part.toUtf8(), p.png};
    return zip(parts, motivo);
}

bool scriviDocx(const QTextDocument &documento, QIODevice &dispositivo, QString *motivo)
{
    if (!dispositivo.isWritable()) {
        setReason(motivo, QStringLiteral("il file non è aperto in scrittura"));
        return false;
    }
    const QByteArray bytes = componiDocx(documento, motivo);
    if (bytes.isEmpty())
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = dispositivo.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = dispositivo.errorString();
            setReason(motivo, why.isEmpty() || why == QLatin1String("Unknown error")
                                  ? QStringLiteral("la scrittura si è interrotta")
                                  : why);
            return false;
        }
        done += n;
    }
    return true;
}

bool scriviDocx(const QTextDocument &documento, const QString &percorso, QString *motivo)
{
    return scriviAtomico(
        percorso, [&documento](QIODevice &d, QString *m) { return scriviDocx(documento, d, m); }, motivo, modoDocumento);
}

} // namespace perix
