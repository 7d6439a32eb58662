#include "reports/docx_corpo.h"
#include "reports/documento.h"

#include <QAbstractTextDocumentLayout>
#include <QBrush>
#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <cmath>

// Qt's logical resolution, the one format lengths are counted in.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace perix {

namespace {

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

QString hex(const QColor &c) { return c.name(QColor::HexRgb).mid(1).toUpper(); }

// Characters XML 1.0 cannot carry, and the placeholders of embedded objects.
bool writable(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20)
        return false;
    return u != 0xFFFE && u != 0xFFFF && u != QChar::ObjectReplacementCharacter;
}

bool hasPictures(const QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return true;
    return false;
}

class Writer : public ParteXml
{
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc)
    {
        // Lengths in formats are logical pixels; the page size is in the layout device's.
        dpi_ = qt_defaultDpiY();
        const QPaintDevice *dev = doc.documentLayout()->paintDevice();
        const double pageDpi = dev ? dev->logicalDpiY() : dpi_;
        const QSizeF page = doc.pageSize();
        const QTextFrameFormat root = doc.rootFrame()->frameFormat();
        if (page.isValid() && page.width() > 0 && page.height() > 0 && page.height() < 1e6) {
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
        return part([this] {
            if (hasPictures(doc_)) {
                x_->writeNamespace(WP, QStringLiteral("wp"));
                x_->writeNamespace(A, QStringLiteral("a"));
                x_->writeNamespace(PIC, QStringLiteral("pic"));
            }
            if (hasPictures(doc_) || footer())
                x_->writeNamespace(R, QStringLiteral("r"));
            open("document");
            open("body");
            if (!flow(doc_.rootFrame()->begin())) // the body, like a cell, ends with a paragraph
                leaf("p");
            section();
            close(2);
        });
    }

    // The document's page footer, when it has one.
    const Document *footer() const
    {
        const auto *d = qobject_cast<const Document *>(&doc_);
        return d && d->pageNumbers() ? d : nullptr;
    }

    // word/footer1.xml: the footer's text on the left, "Pagina N di M" at a right tab, the
    // numbers as fields, so the word processor keeps them right as the text is edited.
    QByteArray footerPart()
    {
        const Document *d = footer();
        if (!d)
            return {};
        return part([&] {
            open("ftr");
            open("p");
            open("pPr");
            open("tabs");
            leaf("tab", {{"val", QStringLiteral("right")}, {"pos", QString::number(textWidth_)}});
            close(2);
            const auto run = [&](const std::function<void()> &inside) {
                open("r");
                open("rPr");
                fonts(QStringLiteral("Century Gothic"));
                val("color", QStringLiteral("595959"));
                val("sz", QStringLiteral("16"));
                val("szCs", QStringLiteral("16"));
                close();
                inside();
                close();
            };
            const auto text = [&](const QString &t) {
                run([&] {
                    open("t");
                    x_->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                    x_->writeCharacters(t);
                    close();
                });
            };
            const auto field = [&](const QString &code, const QString &shown) {
                run([&] { leaf("fldChar", {{"fldCharType", QStringLiteral("begin")}}); });
                run([&] {
                    open("instrText");
                    x_->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                    x_->writeCharacters(QStringLiteral(" %1 ").arg(code));
                    close();
                });
                run([&] { leaf("fldChar", {{"fldCharType", QStringLiteral("separate")}}); });
                text(shown);
                run([&] { leaf("fldChar", {{"fldCharType", QStringLiteral("end")}}); });
            };
            if (!d->footerText().isEmpty())
                text(d->footerText());
            run([&] { leaf("tab"); });
            text(QStringLiteral("Pagina "));
            field(QStringLiteral("PAGE"), QStringLiteral("1"));
            text(QStringLiteral(" di "));
            field(QStringLiteral("NUMPAGES"), QString::number(std::max(1, d->pageCount())));
            close(2);
        });
    }

    // The pictures met while writing the document, in order.
    const QList<ImmagineDocx> &pictures() const { return pictures_; }

private:
    int twips(double units) const { return int(std::lround(units * 1440.0 / dpi_)); }

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
        open("rPr");
        if (!families.isEmpty() && !families.constFirst().isEmpty())
            fonts(families.constFirst());
        if (bold) {
            leaf("b");
            leaf("bCs");
        }
        if (italic) {
            leaf("i");
            leaf("iCs");
        }
        if (colour)
            val("color", hex(f.foreground().color()));
        if (size) {
            const QString half = QString::number(std::lround(f.fontPointSize() * 2));
            val("sz", half);
            val("szCs", half);
        }
        if (underline)
            val("u", QStringLiteral("single"));
        close();
    }

    void text(const QString &t)
    {
        QString chunk;
        auto flush = [&] {
            if (chunk.isEmpty())
                return;
            open("t");
            x_->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x_->writeCharacters(chunk);
            close();
            chunk.clear();
        };
        for (QChar c : t) {
            if (c == QLatin1Char('\t')) {
                flush();
                leaf("tab");
            } else if (c == QChar::LineSeparator || c == QLatin1Char('\n')) {
                flush();
                leaf("br");
            } else if (writable(c)) {
                chunk += c;
            }
        }
        flush();
    }

    void paragraph(const QTextBlock &b)
    {
        const QTextBlockFormat bf = b.blockFormat();
        open("p");
        open("pPr");
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            leaf("pageBreakBefore");
        leaf("spacing", {{"before", QString::number(twips(bf.topMargin()))},
                         {"after", QString::number(twips(bf.bottomMargin()))},
                         {"line", QStringLiteral("240")},
                         {"lineRule", QStringLiteral("auto")}});
        const Qt::Alignment a = bf.alignment();
        if (a & Qt::AlignJustify)
            val("jc", QStringLiteral("both"));
        else if (a & Qt::AlignHCenter)
            val("jc", QStringLiteral("center"));
        else if (a & Qt::AlignRight)
            val("jc", QStringLiteral("right"));
        else if (bf.hasProperty(QTextFormat::BlockAlignment))
            val("jc", QStringLiteral("left"));
        // The mark's own type sets the height of an empty paragraph.
        runProperties(b.charFormat());
        close(); // pPr

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
            open("r");
            runProperties(frag.charFormat());
            text(frag.text());
            close();
        }
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter) {
            open("r");
            leaf("br", {{"type", QStringLiteral("page")}});
            close();
        }
        close(); // p
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
        pictures_ << ImmagineDocx{QStringLiteral("rId%1").arg(firstPictureId + n - 1), QStringLiteral("media/") + file, png};

        const QString zero = QStringLiteral("0");
        open("r");
        open("drawing");
        open("inline", {{"distT", zero}, {"distB", zero}, {"distL", zero}, {"distR", zero}}, WP);
        leaf("extent", {{"cx", cx}, {"cy", cy}}, WP);
        leaf("docPr", {{"id", id}, {"name", QStringLiteral("Immagine %1").arg(n)}}, WP);
        open("cNvGraphicFramePr", {}, WP);
        leaf("graphicFrameLocks", {{"noChangeAspect", QStringLiteral("1")}}, A);
        close();
        open("graphic", {}, A);
        open("graphicData", {{"uri", PIC}}, A);
        open("pic", {}, PIC);
        open("nvPicPr", {}, PIC);
        leaf("cNvPr", {{"id", id}, {"name", file}}, PIC);
        leaf("cNvPicPr", {}, PIC);
        close(); // nvPicPr
        open("blipFill", {}, PIC);
        leaf("blip", {}, A);
        x_->writeAttribute(R, QStringLiteral("embed"), pictures_.constLast().relazione);
        open("stretch", {}, A);
        leaf("fillRect", {}, A);
        close(2); // blipFill
        open("spPr", {}, PIC);
        open("xfrm", {}, A);
        leaf("off", {{"x", zero}, {"y", zero}}, A);
        leaf("ext", {{"cx", cx}, {"cy", cy}}, A);
        close(); // xfrm
        open("prstGeom", {{"prst", QStringLiteral("rect")}}, A);
        leaf("avLst", {}, A);
        close(8); // prstGeom, spPr, pic, graphicData, graphic, inline, drawing, r
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

        open("tbl");
        open("tblPr");
        if (width.type() == QTextLength::PercentageLength)
            leaf("tblW", {{"w", QString::number(std::lround(width.rawValue() * 50))}, {"type", QStringLiteral("pct")}});
        else
            leaf("tblW", {{"w", QString::number(tableWidth)}, {"type", QStringLiteral("dxa")}});
        if (tf.alignment() & Qt::AlignHCenter)
            val("jc", QStringLiteral("center"));
        else if (tf.alignment() & Qt::AlignRight)
            val("jc", QStringLiteral("right"));

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
        open("tblBorders");
        for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
            leaf(side, {{"val", style}, {"sz", QString::number(eighths)}, {"space", QStringLiteral("0")}, {"color", hex(bc)}});
        close();
        leaf("tblLayout", {{"type", QStringLiteral("fixed")}});

        const QTextTableCellFormat first = t->cellAt(0, 0).format().toTableCellFormat();
        auto pad = [&](int property, double value) {
            return twips(first.hasProperty(property) ? value : tf.cellPadding());
        };
        cellMargins(pad(QTextFormat::TableCellTopPadding, first.topPadding()),
                    pad(QTextFormat::TableCellLeftPadding, first.leftPadding()),
                    pad(QTextFormat::TableCellBottomPadding, first.bottomPadding()),
                    pad(QTextFormat::TableCellRightPadding, first.rightPadding()));
        val("tblLook", QStringLiteral("04A0"));
        close(); // tblPr

        open("tblGrid");
        for (int w : widths)
            leaf("gridCol", {{"w", QString::number(w)}});
        close();

        for (int r = 0; r < t->rows(); ++r) {
            open("tr");
            if (r < tf.headerRowCount()) {
                open("trPr");
                leaf("tblHeader");
                close();
            }
            for (int c = 0; c < t->columns();) {
                const QTextTableCell cell = t->cellAt(r, c);
                const int span = std::max(1, cell.columnSpan());
                cellElement(cell, r, widths.mid(c, span));
                c += span;
            }
            close(); // tr
        }
        close(); // tbl
    }

    void cellElement(const QTextTableCell &cell, int row, const QList<int> &widths)
    {
        const bool continuation = cell.row() != row; // covered by a cell spanning from above
        const QTextTableCellFormat cf = cell.format().toTableCellFormat();
        int w = 0;
        for (int x : widths)
            w += x;
        open("tc");
        open("tcPr");
        leaf("tcW", {{"w", QString::number(w)}, {"type", QStringLiteral("dxa")}});
        if (widths.size() > 1)
            val("gridSpan", QString::number(widths.size()));
        if (continuation)
            leaf("vMerge");
        else if (cell.rowSpan() > 1)
            val("vMerge", QStringLiteral("restart"));
        const QBrush bg = cf.background();
        if (bg.style() != Qt::NoBrush)
            leaf("shd", {{"val", QStringLiteral("clear")}, {"color", QStringLiteral("auto")}, {"fill", hex(bg.color())}});
        if (cf.verticalAlignment() == QTextCharFormat::AlignMiddle)
            val("vAlign", QStringLiteral("center"));
        else if (cf.verticalAlignment() == QTextCharFormat::AlignBottom)
            val("vAlign", QStringLiteral("bottom"));
        close(); // tcPr

        const bool endsWithParagraph = !continuation && flow(cell.begin());
        if (!endsWithParagraph) // a cell must end with a paragraph
            leaf("p");
        close(); // tc
    }

    void section()
    {
        open("sectPr");
        if (footer()) {
            leaf("footerReference", {{"type", QStringLiteral("default")}});
            x_->writeAttribute(R, QStringLiteral("id"), relazionePiede);
        }
        leaf("pgSz", {{"w", QString::number(pageWidth_)}, {"h", QString::number(pageHeight_)}});
        if (pageWidth_ > pageHeight_)
            x_->writeAttribute(W, QStringLiteral("orient"), QStringLiteral("landscape"));
        leaf("pgMar", {{"top", QString::number(margins_[0])},
                       {"right", QString::number(margins_[1])},
                       {"bottom", QString::number(margins_[2])},
                       {"left", QString::number(margins_[3])},
                       {"header", QStringLiteral("709")},
                       {"footer", QStringLiteral("709")},
                       {"gutter", QStringLiteral("0")}});
        close();
    }

    const QTextDocument &doc_;
    QList<ImmagineDocx> pictures_;
    double dpi_ = 96.0;
    int pageWidth_ = a4Width;
    int pageHeight_ = a4Height;
    int margins_[4] = {defaultMargin, defaultMargin, defaultMargin, defaultMargin};
    int textWidth_ = a4Width - 2 * defaultMargin;
};

} // namespace

CorpoDocx corpoDocx(const QTextDocument &documento)
{
    Writer w(documento);
    CorpoDocx corpo;
    corpo.documento = w.document();
    corpo.immagini = w.pictures();
    corpo.piede = w.footerPart();
    return corpo;
}

} // namespace perix
