// The reports' page layout and PDF writer: pages laid out and drawn as Qt's own text layout
// lays them out and draws them, tables built in one pass as step by step, and PDF files that
// carry the pages, the text, the fonts and the pictures.

#include "app/avvio.h"
#include "ui/modulo.h"
#include "help/testi_guida.h"
#include "reports/documento.h"
#include "reports/impaginazione.h"
#include "reports/pdf.h"
#include "reports/rapporti.h"
#include "reports/rapporti_costi.h"
#include "reports/rapporto_guida.h"
#include "pdfa.h"
#include "supporto.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextTable>

#include <functional>
#include <memory>

using namespace perix;

namespace {

using Costruttore = std::function<std::unique_ptr<Document>()>;

QString cifra(int i) { return QLocale().toString(1000 + 37 * i); }

std::unique_ptr<Document> menu(bool procedimento)
{
    DatiRapportoMenu d = prova::datiMenuEsempio();
    d.procedimento = procedimento;
    return documentoMenu(d);
}

std::unique_ptr<Document> altezze()
{
    DatiRapportoAltezze d;
    d.soldi = QStringLiteral("Valori in euro");
    d.etichetta = QStringLiteral("Costo mc. vuoto per pieno");
    d.costopieno = QStringLiteral("420");
    d.classe = QStringLiteral("5 piani + cantinato (1 ascensore)");
    d.intestazioni = {QStringLiteral("Altezze degli edifici in c.a."), QStringLiteral("Costi a mc. vpp")};
    for (int i = 1; i <= 14; ++i)
        d.righe[std::size_t(i)] = {QStringLiteral("%1 piani + cantinato").arg(i), cifra(i), QStringLiteral("98,5")};
    return documentoAltezze(d);
}

std::unique_ptr<Document> disaggregati()
{
    DatiRapportoDisaggregati d;
    d.soldi = QStringLiteral("Valori in euro");
    d.tipoedi = QStringLiteral("Edificio di tipo medio");
    d.vm = QStringLiteral("1.850.000");
    d.cc = QStringLiteral("1.120.000");
    d.profitto = QStringLiteral("730.000");
    for (std::size_t i = 1; i <= 16; ++i) {
        d.p1[i] = QStringLiteral("6,25");
        d.ris[i] = cifra(int(i));
        d.p2[i] = QStringLiteral("5");
        d.ris2[i] = cifra(int(i) + 3);
    }
    return documentoDisaggregati(d);
}

std::unique_ptr<Document> sintetici()
{
    DatiRapportoSintetici d;
    d.soldi = QStringLiteral("Valori in euro");
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            d.griglia[r][c] = cifra(int(r * c));
    d.icona = {false, false, true, false};
    return documentoSintetici(d);
}

std::unique_ptr<Document> tipologie()
{
    DatiRapportoTipologie d;
    d.soldi = QStringLiteral("Valori in euro");
    d.costonetto = QStringLiteral("1.350");
    d.tipologia = QStringLiteral("Edifici continui (3 piani)");
    d.intestazioni = {QStringLiteral("tipologia"), QStringLiteral("costo al mq."), QStringLiteral("costo a vano")};
    for (std::size_t i = 1; i <= 9; ++i)
        d.righe[i] = {QStringLiteral("tipologia %1").arg(i), cifra(int(i)), cifra(int(i) * 18)};
    return documentoTipologie(d);
}

std::unique_ptr<Document> guida()
{
    QList<PaginaStampata> pagine;
    for (const TestoGuida &t : testiGuida())
        pagine.append({t.titolo, t.testo});
    return documentoGuida(pagine);
}

// A table longer than a page: rows moved whole to the next page, the heading row repeated
// there, a cell whose lines go on over the page break.
std::unique_ptr<Document> tabellaLunga(int righe)
{
    Rapporto r(QStringLiteral("lunga"));
    r.intestazione();
    r.scrivi(12, QStringLiteral("Tabella lunga\r"));
    r.paragrafoInFondo();
    QList<QStringList> rr{{QStringLiteral("dati"), QStringLiteral("valori"), QStringLiteral("note")}};
    for (int i = 0; i < righe; ++i)
        rr.append({QStringLiteral("riga %1").arg(i), cifra(i),
                   i % 7 == 0 ? QStringLiteral("una nota che va a capo più volte nella sua cella stretta, riga %1").arg(i)
                              : QStringLiteral("…")});
    r.tabella(rr);
    r.allinea(1, 2);
    r.paragrafoInFondo(12, QStringLiteral("\rdopo la tabella\r"));
    r.tabella({{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("1"), QStringLiteral("2")}});
    return r.prendi();
}

// A page break right after a table, at the very end: an empty page follows.
std::unique_ptr<Document> interruzioneInFondo()
{
    Rapporto r(QStringLiteral("interruzione"));
    r.scrivi(12, QStringLiteral("prima\r"));
    r.paragrafoInFondo();
    r.tabella({{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("1"), QStringLiteral("2")}});
    r.interruzionePagina();
    return r.prendi();
}

void righeDocumenti()
{
    QTest::addColumn<Costruttore>("costruttore");
    QTest::newRow("area fabbricabile") << Costruttore([] { return menu(false); });
    QTest::newRow("area con procedimento e grafico") << Costruttore([] { return menu(true); });
    QTest::newRow("costi disaggregati") << Costruttore(disaggregati);
    QTest::newRow("costi sintetici") << Costruttore(sintetici);
    QTest::newRow("costi per tipologie") << Costruttore(tipologie);
    QTest::newRow("costi per altezze") << Costruttore(altezze);
    QTest::newRow("guida intera") << Costruttore(guida);
    QTest::newRow("tabella di tre pagine") << Costruttore([] { return tabellaLunga(75); });
    QTest::newRow("tabella di sei pagine") << Costruttore([] { return tabellaLunga(140); });
    QTest::newRow("interruzione in fondo") << Costruttore(interruzioneInFondo);
    QTest::newRow("catalogo") << Costruttore([] {
        return documentoProdotti({{QStringLiteral("Perix"), QStringLiteral("stime di aree"), 120.5, 99},
                                  {QStringLiteral("Perix Più"), QStringLiteral("costi di costruzione"), 1499.9, 1250}},
                                 QStringLiteral("https://www.velmora.example/catalogo.htm"));
    });
    QTest::newRow("pagina di guida") << Costruttore([] {
        Modulo::titologuida = QStringLiteral("Costi per altezze");
        Modulo::testoguida = QStringLiteral("Il costo di ogni classe d'altezza deriva da quello della classe scelta.");
        return Modulo::documentoguida();
    });
    QTest::newRow("testi difficili") << Costruttore([] {
        DatiRapportoDisaggregati d;
        d.soldi = QStringLiteral("Valori in euro");
        d.tipoedi = QStringLiteral("Villa 中文 lotto １２００ ﬁne Ἀθηνᾶ Кё 𝔸 perche\u0301");
        return documentoDisaggregati(d);
    });
}

QImage pagina(const QSizeF &misura, double scala, const std::function<void(QPainter &)> &disegna)
{
    QImage img(int(misura.width() * scala), int(misura.height() * scala), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scala, scala);
    disegna(p);
    return img;
}

// Pixels that differ by more than a faint anti-aliasing shade.
// Patches of `lato` × `lato` pixels inside `zona` whose ink differs between the two pictures
// (fonts and lines rasterised by different roads differ at their edges, nothing else).
int zoneDiverse(const QImage &a, const QImage &b, const QRect &zona, int lato = 12)
{
    int n = 0;
    const QRect z = zona & a.rect() & b.rect();
    for (int y = z.top(); y + lato <= z.bottom() + 1; y += lato)
        for (int x = z.left(); x + lato <= z.right() + 1; x += lato) {
            double s = 0, t = 0;
            for (int j = y; j < y + lato; ++j)
                for (int i = x; i < x + lato; ++i) {
                    s += qGray(a.pixel(i, j));
                    t += qGray(b.pixel(i, j));
                }
            n += std::abs(s - t) / (lato * lato) >= 40;
        }
    return n;
}

// Where page `p` has drawings, in page coordinates.
QList<QRectF> disegniDellaPagina(const Document &doc, const PageLayout &layout, int p)
{
    QList<QRectF> zone;
    for (const PageLayout::TextLine &riga : layout.pages().at(p).lines) {
        const QTextLine l = riga.block.layout()->lineAt(riga.line);
        for (auto it = riga.block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const Disegno *d = f.isImageFormat() ? doc.drawing(f.toImageFormat().name()) : nullptr;
            const int da = it.fragment().position() - riga.block.position();
            if (!d || da < l.textStart() || da >= l.textStart() + l.textLength())
                continue;
            const QSizeF misura(Document::units(d->misura.width()), Document::units(d->misura.height()));
            zone << QRectF(riga.origin + QPointF(l.cursorToX(da), l.y() + l.ascent() - misura.height()), misura);
        }
    }
    return zone;
}

int pixelDiversi(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += std::max({std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                           std::abs(qBlue(p[x]) - qBlue(q[x]))})
               > 60;
    }
    return n;
}

QString proprieta(const QTextFormat &f)
{
    QString s;
    QDebug(&s) << f.properties();
    return s;
}

// Every paragraph, piece of text and table cell with all its formats.
QStringList struttura(QTextDocument *doc)
{
    QStringList out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        out << QStringLiteral("paragrafo «%1» %2 %3").arg(b.text(), proprieta(b.blockFormat()), proprieta(b.charFormat()));
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out << QStringLiteral("  «%1» %2").arg(it.fragment().text(), proprieta(it.fragment().charFormat()));
        if (auto *t = qobject_cast<QTextTable *>(doc->frameAt(b.position())))
            out << QStringLiteral("  tabella %1 cella %2").arg(proprieta(t->format()), proprieta(t->cellAt(b.position()).format()));
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Costruttore)

class ProvaImpaginazione : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaApplicazione(); // "Century Gothic" as the program has it
        prova::preparaAmbiente();
        Modulo::datiprogramma();
        impostaIncludiProcedimento(false);
        QVERIFY(cartella_.isValid());
    }

    // Every paragraph, line and page where Qt's own layout puts it, and every page drawn as
    // Qt draws it: the reports look as they always did.
    void comeLoImpaginaQt_data() { righeDocumenti(); }
    void comeLoImpaginaQt()
    {
        QFETCH(Costruttore, costruttore);
        const std::unique_ptr<Document> doc = costruttore();
        const auto *nostra = qobject_cast<const PageLayout *>(doc->documentLayout());
        QVERIFY(nostra);
        const int pagine = doc->pageCount();
        QList<QRectF> paragrafi;
        QList<QList<QPointF>> righe;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            paragrafi << nostra->blockBoundingRect(b);
            QList<QPointF> r;
            for (int i = 0; i < b.layout()->lineCount(); ++i)
                r << b.layout()->lineAt(i).position();
            righe << r;
        }
        const QSizeF foglio = doc->pageSize();
        constexpr double scala = 0.2; // 144 dpi
        QList<QImage> disegnate;
        QList<QList<QRectF>> disegni;
        for (int p = 0; p < pagine; ++p) {
            disegnate << pagina(foglio, scala, [&](QPainter &pt) { nostra->drawPage(&pt, p); });
            disegni << disegniDellaPagina(*doc, *nostra, p);
        }

        doc->setDocumentLayout(nullptr); // Qt's own, made anew
        doc->documentLayout()->setPaintDevice(Document::layoutDevice());
        doc->setPageSize(doc->pageSize()); // laid out from the start on that device
        QCOMPARE(doc->pageCount(), pagine);
        int n = 0;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++n) {
            const QRectF qt = doc->documentLayout()->blockBoundingRect(b);
            const QRectF nostro = paragrafi.at(n);
            QVERIFY2(std::abs(qt.x() - nostro.x()) < 0.5 && std::abs(qt.y() - nostro.y()) < 0.5
                         && std::abs(qt.height() - nostro.height()) < 0.5,
                     qPrintable(QStringLiteral("paragrafo %1 «%2»").arg(n).arg(b.text().left(30))));
            QCOMPARE(b.layout()->lineCount(), righe.at(n).size());
            for (int i = 0; i < b.layout()->lineCount(); ++i)
                QVERIFY((b.layout()->lineAt(i).position() - righe.at(n).at(i)).manhattanLength() < 0.5);
        }
        for (int p = 0; p < pagine; ++p) {
            const QImage qt = pagina(foglio, scala, [&](QPainter &pt) {
                QAbstractTextDocumentLayout::PaintContext ctx;
                ctx.clip = QRectF(0, p * foglio.height(), foglio.width(), foglio.height());
                ctx.palette.setColor(QPalette::Text, Qt::black);
                pt.translate(0, -ctx.clip.top());
                pt.setClipRect(ctx.clip);
                doc->documentLayout()->draw(&pt, ctx);
            });
            // A picture is scaled by another road: a few pixels of its edges may differ. The
            // page numbers in the bottom margin are the reports' own: Qt's layout has none.
            const QRect corpo(0, 0, qt.width(), int((foglio.height() - Document::units(45)) * scala));
            QImage a = qt.copy(corpo), b = disegnate.at(p).copy(corpo);
            // Qt's layout draws a drawing as its picture, ours as lines and words: the same ink
            // there, and every other pixel the same.
            for (const QRectF &z : disegni.at(p)) {
                const QRect zona = QRectF(z.topLeft() * scala, z.size() * scala).toAlignedRect();
                QVERIFY2(zoneDiverse(a, b, zona) == 0, qPrintable(QStringLiteral("disegno a pagina %1").arg(p + 1)));
                QPainter(&a).fillRect(zona, Qt::white);
                QPainter(&b).fillRect(zona, Qt::white);
            }
            QVERIFY2(pixelDiversi(a, b) <= 100, qPrintable(QStringLiteral("pagina %1").arg(p + 1)));
        }
    }

    // A report's table built at once is the table built step by step, format for format.
    void tabellaInUnaPassata_data()
    {
        QTest::addColumn<QList<QStringList>>("contenuto");
        QTest::addColumn<int>("righe");
        QTest::addColumn<double>("punti"); // 0: none
        QTest::addColumn<int>("formato");
        QTest::addColumn<bool>("dopoInterruzione");
        const QList<QStringList> dati{{"dati", "valori"}, {"costo", "1.350"}, {"tipo", "medio"}, {"x", "y"}};
        QTest::newRow("formato colorato") << dati << 4 << 10.0 << 9 << false;
        QTest::newRow("senza dimensione") << dati << 4 << 0.0 << 9 << false;
        QTest::newRow("senza formato") << dati << 4 << 10.0 << 0 << false;
        QTest::newRow("altro formato") << dati << 4 << 10.0 << 1 << false;
        QTest::newRow("celle su più paragrafi") << QList<QStringList>{{"a\rb", "c"}, {"d\re\rf", ""}} << 2 << 10.0 << 9 << false;
        QTest::newRow("meno dati che righe") << QList<QStringList>{{"solo"}} << 3 << 10.0 << 9 << false;
        QTest::newRow("dopo un'interruzione di pagina") << dati << 4 << 10.0 << 9 << true;
    }
    void tabellaInUnaPassata()
    {
        QFETCH(QList<QStringList>, contenuto);
        QFETCH(int, righe);
        QFETCH(double, punti);
        QFETCH(int, formato);
        QFETCH(bool, dopoInterruzione);
        const std::optional<double> dimensione = punti > 0 ? std::optional<double>(punti) : std::nullopt;
        const auto inizio = [&](Document &d) {
            d.selection().setFontName(QStringLiteral("Century Gothic"));
            d.selection().setFontSize(12);
            d.selection().typeText(QStringLiteral("titolo\r"));
            if (dopoInterruzione)
                d.selection().insertPageBreak();
            else
                d.addParagraph();
        };
        Document passoPasso, unaPassata;
        inizio(passoPasso);
        Table t = passoPasso.addTable(righe, 2);
        if (dimensione)
            t.setFontSize(*dimensione);
        t.fill(contenuto);
        if (formato > 0)
            t.autoFormat(formato);
        passoPasso.selection().typeText(QStringLiteral("dopo"));
        inizio(unaPassata);
        unaPassata.addTable(righe, 2, contenuto, dimensione, formato);
        unaPassata.selection().typeText(QStringLiteral("dopo"));
        QCOMPARE(struttura(&unaPassata), struttura(&passoPasso));
        QCOMPARE(unaPassata.tableCount(), 1);
    }

    // The PDF has the document's pages at its paper size, its text in the order read, its
    // fonts by name, and its glyphs drawn where the page has them.
    void pdfComeLaPagina_data() { righeDocumenti(); }
    void pdfComeLaPagina()
    {
        QFETCH(Costruttore, costruttore);
        const QString pdftoppm = prova::eseguibile({QStringLiteral("pdftoppm")});
        if (pdftoppm.isEmpty() || prova::eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("poppler-utils non è installato");
        const std::unique_ptr<Document> doc = costruttore();
        const QString file = cartella_.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        QString motivo;
        QVERIFY2(doc->exportPdf(file, &motivo), qPrintable(motivo));

        const QString info = prova::poppler(QStringLiteral("pdfinfo"), file);
        QVERIFY2(info.contains(QStringLiteral("Pages:           %1\n").arg(doc->pageCount())), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        const QString font = prova::poppler(QStringLiteral("pdffonts"), file);
        static const QRegularExpression incorporato(QStringLiteral("\\+URWGothic-Book +CID Type 0C +Identity-H +yes +yes +yes"));
        QVERIFY2(font.contains(incorporato), qPrintable(font)); // outlines and characters in the file
        bool senzaQpdf = false;
        const QStringList difetti = prova::difettiPdfA(file, &senzaQpdf);
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
        if (senzaQpdf)
            qWarning("qpdf non è installato: struttura PDF/A-1b non verificata");

        // A line may end after a hyphen, where the document goes on.
        static const QRegularExpression trattino(QStringLiteral("-\\s+"));
        // Every word of the document, in its order (the file's order: poppler's own reading
        // order takes a table column by column).
        const QString testo = prova::poppler(QStringLiteral("pdftotext"), file, {QStringLiteral("-raw")})
                                  .simplified()
                                  .replace(trattino, QStringLiteral("-"));
        QString atteso = doc->toPlainText().simplified().replace(trattino, QStringLiteral("-"));
        atteso.remove(QChar::ObjectReplacementCharacter);
        const QStringList nelFile = testo.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        qsizetype da = 0;
        for (const QString &p : atteso.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            while (da < nelFile.size() && nelFile.at(da) != p)
                ++da;
            QVERIFY2(da < nelFile.size(), qPrintable(QStringLiteral("«%1» manca, o non è al suo posto").arg(p)));
            ++da;
        }

        // Each page as poppler draws it against the page drawn by the layout: the same ink in
        // every patch of 12 × 12 pixels (fonts are rasterised differently, nothing else).
        const auto *layout = qobject_cast<const PageLayout *>(doc->documentLayout());
        const QString radice = cartella_.filePath(QStringLiteral("pagina-%1").arg(QTest::currentDataTag()));
        QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), file, radice});
        for (int p = 0; p < doc->pageCount(); ++p) {
            const QString png = radice + QStringLiteral("-%1.png").arg(p + 1, doc->pageCount() >= 10 ? 2 : 1, 10, QLatin1Char('0'));
            const QImage poppler = QImage(png).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!poppler.isNull(), qPrintable(png));
            const QImage nostra = pagina(doc->pageSize(), double(poppler.width()) / doc->pageSize().width(),
                                         [&](QPainter &pt) { layout->drawPage(&pt, p); });
            QCOMPARE(zoneDiverse(poppler, nostra, poppler.rect()), 0);
        }
    }

    // More glyphs than one font of the file holds, several faces, ligatures: every
    // character can still be searched and copied.
    void pdfTestoDiMoltiCaratteri()
    {
        if (prova::eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("poppler-utils non è installato");
        QString molti;
        for (char32_t c = 0x21; c < 0x7F; ++c)
            molti += QChar(c);
        for (char32_t c = 0xC0; c < 0x180; ++c)
            molti += QChar(c);
        for (char32_t c = 0x391; c < 0x3C9; ++c)
            if (c != 0x3A2)
                molti += QChar(c);
        for (char32_t c = 0x410; c < 0x450; ++c)
            molti += QChar(c);
        Rapporto r(QStringLiteral("caratteri"));
        r.scrivi(12, QStringLiteral("edificio, profitto, superficie\r"));
        for (qsizetype i = 0; i < molti.size(); i += 40)
            r.scrivi(molti.mid(i, 40) + QLatin1Char('\r'));
        const std::unique_ptr<Document> doc = r.prendi();
        QByteArray pdf;
        QBuffer b(&pdf);
        QVERIFY(b.open(QIODevice::WriteOnly));
        QVERIFY(scriviPdf(*doc, b));
        const QString file = cartella_.filePath(QStringLiteral("caratteri.pdf"));
        QVERIFY(prova::scrivi(file, pdf));
        QString testo = prova::poppler(QStringLiteral("pdftotext"), file);
        testo.remove(QLatin1Char('\n'));
        QVERIFY2(testo.contains(QStringLiteral("edificio, profitto, superficie")), qPrintable(testo.left(80)));
        for (QChar c : molti)
            QVERIFY2(testo.contains(c), qPrintable(QStringLiteral("manca «%1» (U+%2)").arg(c).arg(c.unicode(), 4, 16)));
        // Over 256 glyphs of one face: still one font of the file holds them.
        QCOMPARE(prova::poppler(QStringLiteral("pdffonts"), file).count(QStringLiteral("+URWGothic-Book ")), 1);
    }

    // What the page shows is what a reader searches and copies: the record's description
    // and a table cell holding a hard text read back as themselves, a character no font has
    // included (drawn as the window draws it, never dropped).
    void pdfTestoComeIlDocumento_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("ideogrammi") << QStringLiteral("Villa 中文 sul lago");
        QTest::newRow("cifre a tutta larghezza") << QStringLiteral("lotto １２００ mq");
        QTest::newRow("legature") << QStringLiteral("ﬁnestra ﬂusso efficace affluenza officina");
        QTest::newRow("accenti composti") << QStringLiteral("perche\u0301 citta\u0300 n\u0303 q\u0307 e\u0323\u0302");
        QTest::newRow("greco") << QStringLiteral("Ελληνικά Ἀθηνᾶ αβγδ");
        QTest::newRow("cirillico") << QStringLiteral("Кириллица жэюя Ёё");
        QTest::newRow("fuori dal piano di base") << QStringLiteral("𝔸𝕓 😀 𐍈");
        QTest::newRow("segni") << QStringLiteral("½ ™ € «» — … µ μ");
    }
    void pdfTestoComeIlDocumento()
    {
        QFETCH(QString, testo);
        if (prova::eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("poppler-utils non è installato");
        DatiRapportoDisaggregati d;
        d.soldi = QStringLiteral("Valori in euro");
        d.tipoedi = testo;
        d.vm = QStringLiteral("1.850.000");
        for (std::size_t i = 1; i <= 16; ++i)
            d.ris[i] = i == 3 ? testo : cifra(int(i));
        const std::unique_ptr<Document> doc = documentoDisaggregati(d);
        const QString file = cartella_.filePath(QStringLiteral("testo-%1.pdf").arg(QTest::currentDataTag()));
        QString motivo;
        QVERIFY2(doc->exportPdf(file, &motivo), qPrintable(motivo));
        // Composed as a reader gives it, without the blanks the layout puts between words.
        const auto leggibile = [](const QString &t) {
            QString out;
            for (QChar c : t.normalized(QString::NormalizationForm_C))
                if (!c.isSpace() && c != QChar::ObjectReplacementCharacter)
                    out += c;
            return out;
        };
        const QString letto = leggibile(prova::poppler(QStringLiteral("pdftotext"), file, {QStringLiteral("-raw")}));
        // The text, then the page's footer, which is the layout's and not the document's.
        QCOMPARE(letto, leggibile(doc->toPlainText() + QStringLiteral("Pagina 1 di 1")));
        QCOMPARE(letto.count(leggibile(testo)), 2);
        const QStringList difetti = prova::difettiPdfA(file);
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
    }

    // Pictures are stored losslessly (read back pixel for pixel), opaque: one with
    // transparency lies on the white of the page, as the window shows it.
    void pdfImmagineSenzaPerdite_data()
    {
        QTest::addColumn<QImage>("immagine");
        QRandomGenerator caso(7);
        QImage rumore(173, 61, QImage::Format_RGB32);
        for (int y = 0; y < rumore.height(); ++y)
            for (int x = 0; x < rumore.width(); ++x)
                rumore.setPixel(x, y, y < 20 ? qRgb(31, 78, 121) : caso.generate() | 0xFF000000u);
        QImage trasparente(40, 30, QImage::Format_ARGB32);
        trasparente.fill(QColor(200, 0, 0, 128));
        QImage grafico = pagina(QSizeF(700, 400), 1, [](QPainter &p) {
            p.setPen(QPen(Qt::blue, 3));
            p.drawLine(10, 390, 690, 10);
            p.drawText(QPointF(50, 50), QStringLiteral("valore dell'area"));
        });
        QTest::newRow("tinta unita e rumore") << rumore;
        QTest::newRow("trasparenza") << trasparente;
        QTest::newRow("come un grafico") << grafico;
    }
    void pdfImmagineSenzaPerdite()
    {
        QFETCH(QImage, immagine);
        if (prova::eseguibile({QStringLiteral("pdfimages")}).isEmpty())
            QSKIP("poppler-utils non è installato");
        Document doc;
        doc.selection().insertImage(immagine, QSizeF(immagine.width() / 2.0, immagine.height() / 2.0));
        const QString file = cartella_.filePath(QStringLiteral("immagine-%1.pdf").arg(QTest::currentDataTag()));
        QString motivo;
        QVERIFY2(doc.exportPdf(file, &motivo), qPrintable(motivo));
        const QString radice = cartella_.filePath(QStringLiteral("estratta-%1").arg(QTest::currentDataTag()));
        QProcess::execute(prova::eseguibile({QStringLiteral("pdfimages")}), {QStringLiteral("-png"), file, radice});
        QImage attesa(immagine.size(), QImage::Format_RGB888);
        attesa.fill(Qt::white);
        QPainter(&attesa).drawImage(0, 0, immagine);
        QCOMPARE(QImage(radice + QStringLiteral("-000.png")).convertToFormat(QImage::Format_RGB888), attesa);
        const QStringList difetti = prova::difettiPdfA(file);
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
    }

    // The same document gives the same bytes whatever was written before it in the run,
    // dated by SOURCE_DATE_EPOCH where it is set.
    void pdfStessiByte()
    {
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        const auto pdf = [](const Document &doc) {
            QByteArray b;
            QBuffer buffer(&b);
            buffer.open(QIODevice::WriteOnly);
            return scriviPdf(doc, buffer) ? b : QByteArray();
        };
        const std::unique_ptr<Document> uno = menu(false), altro = tipologie();
        Rapporto r(QStringLiteral("altri glifi"));
        r.scrivi(12, QStringLiteral("ÀÉÎÕÜ Ελληνικά Кириллица ﬁ 中 𝔸\r"));
        const std::unique_ptr<Document> diverso = r.prendi();
        const QByteArray prima = pdf(*uno);
        pdf(*altro);
        pdf(*diverso);
        const QByteArray dopo = pdf(*uno);
        qunsetenv("SOURCE_DATE_EPOCH");
        QVERIFY(!prima.isEmpty());
        QVERIFY(prima == dopo);
        QVERIFY(prima.contains("/CreationDate (D:20231114221320+00'00')"));
        QVERIFY(prima.contains("<xmp:CreateDate>2023-11-14T22:13:20+00:00</xmp:CreateDate>"));
    }

    // A face HarfBuzz cannot read (a Type 1 file has none of the tables it subsets) goes in
    // as a Type 3 font of its own outlines: drawn, searchable, and still PDF/A-1b.
    void pdfCarattereType1()
    {
        const QString t1 = QStringLiteral("/usr/share/fonts/X11/Type1/C059-Roman.pfb");
        if (!QFile::exists(t1) || prova::eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("manca il carattere Type 1 di fonts-urw-base35 o poppler-utils");
        const int id = QFontDatabase::addApplicationFont(t1);
        QVERIFY(id >= 0);
        QRawFont grezzo(t1, 12);
        QVERIFY(grezzo.isValid() && grezzo.fontTable("head").isEmpty()); // no tables for HarfBuzz
        Document doc;
        doc.setPaperA4();
        QTextCursor c(&doc);
        QTextCharFormat f;
        f.setFont(QFont(QFontDatabase::applicationFontFamilies(id).value(0)));
        f.setFontPointSize(14);
        const QString testo = QStringLiteral("Perizia Type 1: città, perché, ﬁne");
        c.insertText(testo, f);
        const QString file = cartella_.filePath(QStringLiteral("type1.pdf"));
        QString motivo;
        QVERIFY2(doc.exportPdf(file, &motivo), qPrintable(motivo));
        QFontDatabase::removeApplicationFont(id);
        const QString font = prova::poppler(QStringLiteral("pdffonts"), file);
        QVERIFY2(font.contains(QStringLiteral("Type 3")), qPrintable(font));
        QCOMPARE(prova::poppler(QStringLiteral("pdftotext"), file).simplified(), testo);
        const QStringList difetti = prova::difettiPdfA(file);
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
    }

    // The page layout lays out the flow, tables of single cells and pictures: a report that
    // made anything else (a table in a cell, cells spanning others) fails here, before a
    // page ever loses it.
    void soloCioCheLImpaginazioneSa_data() { righeDocumenti(); }
    void soloCioCheLImpaginazioneSa()
    {
        QFETCH(Costruttore, costruttore);
        const std::unique_ptr<Document> doc = costruttore();
        for (QTextFrame *f : doc->rootFrame()->childFrames()) {
            auto *t = qobject_cast<QTextTable *>(f);
            QVERIFY2(t, "una cornice che non è una tabella");
            QVERIFY2(t->childFrames().isEmpty(), "una tabella dentro una cella");
            for (int r = 0; r < t->rows(); ++r)
                for (int c = 0; c < t->columns(); ++c)
                    QVERIFY2(t->cellAt(r, c).rowSpan() == 1 && t->cellAt(r, c).columnSpan() == 1,
                             qPrintable(QStringLiteral("cella %1,%2 unita ad altre").arg(r).arg(c)));
        }
    }

    // A frame that is not a table is not a report's, but its text still reaches the page.
    void cornicePianaSullaPagina()
    {
        Document doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("prima"));
        c.insertFrame(QTextFrameFormat());
        c.insertText(QStringLiteral("nella cornice"));
        const auto *layout = qobject_cast<const PageLayout *>(doc.documentLayout());
        QStringList righe;
        for (const PageLayout::Page &p : layout->pages())
            for (const PageLayout::TextLine &l : p.lines)
                righe << l.block.text();
        QCOMPARE(righe, (QStringList{QStringLiteral("prima"), QStringLiteral("nella cornice"), QString()}));
    }

    // A device that takes nothing: a failure with its reason, never a half file called done.
    void pdfSuDispositivoCheCede()
    {
        prova::DispositivoCheCede dispositivo(0);
        QString motivo;
        QVERIFY(!scriviPdf(*menu(false), dispositivo, &motivo));
        QCOMPARE(motivo, prova::DispositivoCheCede::errore);
    }

private:
    QTemporaryDir cartella_;
};

QTEST_MAIN(ProvaImpaginazione)
#include "prova_impaginazione.moc"
