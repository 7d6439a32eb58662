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
#include "supporto.h"

#include <QBuffer>
#include <QDebug>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

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
}

// A device of the layout's resolution, as the document's own.
QImage *dispositivo720()
{
    static QImage i = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int perMetro = qRound(Document::dotsPerInch / 0.0254);
        img.setDotsPerMeterX(perMetro);
        img.setDotsPerMeterY(perMetro);
        return img;
    }();
    return &i;
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
        for (int p = 0; p < pagine; ++p)
            disegnate << pagina(foglio, scala, [&](QPainter &pt) { nostra->drawPage(&pt, p); });

        doc->setDocumentLayout(nullptr); // Qt's own, made anew
        doc->documentLayout()->setPaintDevice(dispositivo720());
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
            QVERIFY2(pixelDiversi(qt.copy(corpo), disegnate.at(p).copy(corpo)) <= 100,
                     qPrintable(QStringLiteral("pagina %1").arg(p + 1)));
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
        static const QRegularExpression incorporato(QStringLiteral("\\+URWGothic-Book +Type 1C +Custom +yes +yes +yes"));
        QVERIFY2(font.contains(incorporato), qPrintable(font)); // outlines and characters in the file

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
            const int lato = 12;
            for (int y = 0; y + lato <= std::min(poppler.height(), nostra.height()); y += lato)
                for (int x = 0; x + lato <= std::min(poppler.width(), nostra.width()); x += lato) {
                    double a = 0, b = 0;
                    for (int j = y; j < y + lato; ++j)
                        for (int i = x; i < x + lato; ++i) {
                            a += qGray(poppler.pixel(i, j));
                            b += qGray(nostra.pixel(i, j));
                        }
                    QVERIFY2(std::abs(a - b) / (lato * lato) < 40,
                             qPrintable(QStringLiteral("pagina %1, zona %2,%3: %4 contro %5").arg(p + 1).arg(x).arg(y).arg(a / 144).arg(b / 144)));
                }
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
        // Over 256 glyphs of one face: more than one font of the file holds them.
        QVERIFY2(prova::poppler(QStringLiteral("pdffonts"), file).count(QStringLiteral("+URWGothic-Book ")) >= 2, qPrintable(testo.left(10)));
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
