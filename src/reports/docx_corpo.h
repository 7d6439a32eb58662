#pragma once
// The .docx writer's inside: the WordprocessingML elements written as the schema wants
// them, and the parts that come from the document's text (docx_corpo.cpp); docx.cpp adds
// the styles and the package's own parts and zips them.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QXmlStreamWriter>

#include <initializer_list>
#include <utility>

class QTextDocument;

namespace perix {

inline const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// Writes one XML part, element by element.
class ParteXml
{
public:
    using Attributes = std::initializer_list<std::pair<const char *, QString>>;

    // The part written by `body`, in the w: namespace.
    template <typename F>
    QByteArray part(F body)
    {
        QByteArray out;
        QXmlStreamWriter x(&out);
        x_ = &x;
        x.writeStartDocument(QStringLiteral("1.0"), true);
        x.writeNamespace(W, QStringLiteral("w"));
        body();
        x.writeEndDocument();
        x_ = nullptr;
        return out;
    }

    void open(const char *element, Attributes list = {}, const QString &ns = W)
    {
        x_->writeStartElement(ns, QString::fromLatin1(element));
        attributes(ns, list);
    }
    void leaf(const char *element, Attributes list = {}, const QString &ns = W)
    {
        x_->writeEmptyElement(ns, QString::fromLatin1(element));
        attributes(ns, list);
    }
    void close(int elements = 1)
    {
        for (int i = 0; i < elements; ++i)
            x_->writeEndElement();
    }
    void val(const char *element, const QString &value) { leaf(element, {{"val", value}}); }
    void fonts(const QString &family)
    {
        leaf("rFonts", {{"ascii", family}, {"hAnsi", family}, {"cs", family}, {"eastAsia", family}});
    }
    void cellMargins(int top, int left, int bottom, int right)
    {
        open("tblCellMar");
        const std::pair<const char *, int> sides[] = {{"top", top}, {"left", left}, {"bottom", bottom}, {"right", right}};
        for (const auto &[side, w] : sides)
            leaf(side, {{"w", QString::number(w)}, {"type", QStringLiteral("dxa")}});
        close();
    }

protected:
    QXmlStreamWriter *x_ = nullptr;

private:
    // A w: element's attributes are w: too; the drawing's are plain.
    void attributes(const QString &ns, Attributes list)
    {
        for (const auto &[name, value] : list) {
            if (ns == W)
                x_->writeAttribute(W, QString::fromLatin1(name), value);
            else
                x_->writeAttribute(QString::fromLatin1(name), value);
        }
    }
};

// A picture of the document, as it goes into the package.
struct ImmagineDocx {
    QString relazione; // rId2, rId3, ...
    QString parte;     // media/immagine1.png, relative to word/
    QByteArray png;
};

struct CorpoDocx {
    QByteArray documento;         // word/document.xml
    QList<ImmagineDocx> immagini; // in the order the body meets them
    QByteArray piede;             // word/footer1.xml; empty when the pages carry no footer
};

// The relationship that names the footer part.
inline const QString relazionePiede = QStringLiteral("rIdPiede");

CorpoDocx corpoDocx(const QTextDocument &documento);

} // namespace perix
