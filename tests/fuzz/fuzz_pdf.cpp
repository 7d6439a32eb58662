// Documents built from random texts (any Unicode, long words, empty cells, page breaks)
// written by the PDF writer: the file always parses, has the document's pages, and keeps
// every character of the document in its text (read back by poppler).

#include "comune.h"
#include "reports/documento.h"
#include "reports/pdf.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>

#include <poppler-document.h>
#include <poppler-page.h>

#include <algorithm>
#include <memory>

using namespace perix;
using fuzz::verifica;

// Fontconfig and Qt keep their caches for the whole run: not leaks of the writer.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libQt6Gui\nleak:libQt6Core\nleak:libfreetype\nleak:libpoppler\n";
}

namespace {

const char16_t *const pezzi[] = {u"ﬁ", u"ﬂ", u"fi", u"ffi", u"e\u0301", u"q\u0307", u"中文", u"１２００", u"Ἀθηνᾶ",
                                 u"Кириллица", u"𝔸", u"😀", u"€", u"½", u"µμ", u"\u00A0", u" ", u"  ",
                                 u"precipitevolissimevolmente", u"\t", u"-", u"\u00AD", u"1.234,56"};

// The code points of a text a reader gives back, whatever their order (a right-to-left
// run comes back in the order it is drawn), composed, without blanks and what is never drawn.
QList<uint> caratteri(const QString &t)
{
    QList<uint> out;
    for (uint c : t.normalized(QString::NormalizationForm_C).toUcs4())
        if (!QChar::isSpace(c) && c != QChar::ObjectReplacementCharacter && c != QChar::SoftHyphen
            && QChar::category(c) != QChar::Other_Control && QChar::category(c) != QChar::Other_Format)
            out.append(c);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SOURCE_DATE_EPOCH", "0");
    static QGuiApplication app(*argc, *argv);
    QFont::insertSubstitution(QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"));
    fuzz::italiano();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    FuzzedDataProvider fdp(dati, dimensione);
    Document doc;
    doc.setPaperA4();
    Selection &s = doc.selection();
    s.setFontName(QStringLiteral("Century Gothic"));
    const int parti = fdp.ConsumeIntegralInRange(1, 6);
    for (int p = 0; p < parti && fdp.remaining_bytes() > 0; ++p) {
        switch (fdp.ConsumeIntegralInRange(0, 3)) {
        case 0:
            s.setFontSize(fdp.ConsumeIntegralInRange(6, 28));
            s.setBold(fdp.ConsumeBool());
            s.typeText(fuzz::testoDaPezzi(fdp, pezzi, 24) + QLatin1Char('\r'));
            break;
        case 1: {
            const int righe = fdp.ConsumeIntegralInRange(1, 4), colonne = fdp.ConsumeIntegralInRange(1, 4);
            QList<QStringList> celle;
            for (int r = 0; r < righe; ++r) {
                QStringList riga;
                for (int c = 0; c < colonne; ++c)
                    riga << (fdp.ConsumeBool() ? QString() : fuzz::testoDaPezzi(fdp, pezzi, 8));
                celle << riga;
            }
            doc.addTable(righe, colonne, celle, 10.0, fdp.ConsumeBool() ? 9 : 0);
            s.endKey();
            break;
        }
        case 2:
            s.insertPageBreak();
            break;
        default:
            s.typeText(QString(fdp.ConsumeIntegralInRange(1, 300), QLatin1Char('x')) + QLatin1Char('\r'));
            break;
        }
    }

    QByteArray pdf;
    QBuffer b(&pdf);
    b.open(QIODevice::WriteOnly);
    verifica(scriviPdf(doc, b), "il PDF e' scritto");
    const QString dettaglio = QStringLiteral("testo: ") + doc.toPlainText();
    std::unique_ptr<poppler::document> letto(poppler::document::load_from_raw_data(pdf.constData(), int(pdf.size())));
    verifica(letto && !letto->is_locked(), "poppler legge il PDF", dettaglio);
    verifica(letto->pages() == doc.pageCount(), "tante pagine quante il documento", dettaglio);
    QString testo;
    for (int p = 0; p < letto->pages(); ++p) {
        std::unique_ptr<poppler::page> pagina(letto->create_page(p));
        const poppler::byte_array utf8 = pagina->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
        testo += QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    }
    verifica(caratteri(testo) == caratteri(doc.toPlainText()), "ogni carattere del documento e' nel PDF",
             dettaglio + QStringLiteral("\nletto: ") + testo);
    return 0;
}
