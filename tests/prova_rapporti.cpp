// The document layer, the report window, the .docx writer and the reports built on them.

#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "core/numeri.h"
#include "reports/documento.h"
#include "reports/docx.h"
#include "reports/finestrareport.h"
#include "reports/rapporti.h"
#include "reports/rapporto_procedimento.h"
#include "supporto.h"

#include <QDir>
#include <QPointer>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>

using namespace perix;
namespace dp = perix::dialoghi::prova;

namespace {

// The data of the documents in tests/dati, built before the report could take the
// calculation trail: the report without it must stay exactly as they are.
DatiRapportoMenu esempioLire()
{
    DatiRapportoMenu d = prova::datiMenuEsempio();
    d.valuta = QStringLiteral("in lire");
    d.anni = QStringLiteral("2,5");
    d.superficie.clear();
    d.risultati = {QString(), QStringLiteral("-12"), nonCalcolabile, QStringLiteral("1,5"), nonCalcolabile,
                   nonCalcolabile, nonCalcolabile};
    return d;
}

QByteArray riferimento(const QString &nome)
{
    return prova::contenuto(QFINDTESTDATA(QStringLiteral("dati/") + nome));
}

// The paragraphs outside tables, in order.
QList<QTextBlock> paragrafi(const QTextDocument *doc)
{
    QList<QTextBlock> out;
    for (auto it = doc->rootFrame()->begin(); !it.atEnd(); ++it)
        if (!it.currentFrame() && it.currentBlock().isValid())
            out << it.currentBlock();
    return out;
}

// The document's top level as a list: paragraph texts, and "[tabella]" for each table.
QStringList sequenza(const QTextDocument *doc)
{
    QStringList out;
    for (auto it = doc->rootFrame()->begin(); !it.atEnd(); ++it)
        out << (it.currentFrame() ? QStringLiteral("[tabella]") : it.currentBlock().text());
    return out;
}

double dimensione(const QTextBlock &b) // of the first character, or of the mark when empty
{
    if (b.text().isEmpty())
        return b.charFormat().fontPointSize();
    return b.begin().fragment().charFormat().fontPointSize();
}

QString famiglia(const QTextBlock &b)
{
    const QTextCharFormat f = b.text().isEmpty() ? b.charFormat() : b.begin().fragment().charFormat();
    return f.fontFamilies().toStringList().value(0);
}

QTextCharFormat formatoTestoCella(QTextTable *t, int r, int c)
{
    const QTextBlock b = t->document()->findBlock(t->cellAt(r, c).firstPosition());
    return b.text().isEmpty() ? b.charFormat() : b.begin().fragment().charFormat();
}

QStringList righeTabella(QTextTable *t)
{
    QStringList out;
    for (int r = 0; r < t->rows(); ++r) {
        QStringList celle;
        for (int c = 0; c < t->columns(); ++c) {
            QTextCursor cur = t->cellAt(r, c).firstCursorPosition();
            cur.setPosition(t->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
            celle << cur.selectedText();
        }
        out << celle.join(QLatin1Char('|'));
    }
    return out;
}

Qt::Alignment allineamentoCella(QTextTable *t, int r, int c)
{
    return t->document()->findBlock(t->cellAt(r, c).firstPosition()).blockFormat().alignment();
}

// What the .docx says, read back with a plain XML reader.
struct ParagrafoDocx {
    QString testo;
    QList<int> dimensioni; // w:sz of the runs
    QString jc;
    QString font;
    bool grassetto = false;
    bool interruzione = false;
    int dopo = -1;
};
struct CellaDocx {
    QList<ParagrafoDocx> paragrafi;
    QString sfondo;
    QString testo() const
    {
        QStringList t;
        for (const auto &p : paragrafi)
            t << p.testo;
        return t.join(QLatin1Char('\r'));
    }
};
struct Docx {
    QList<ParagrafoDocx> paragrafi; // outside tables
    QList<QList<QList<CellaDocx>>> tabelle;
    int larghezza = 0;
    int altezza = 0;
    QString bordo;
};

Docx leggiDocx(const QByteArray &xml)
{
    Docx d;
    QXmlStreamReader x(xml);
    ParagrafoDocx p;
    int profonditaTabella = 0;
    bool inPPr = false, inRun = false, inTcPr = false;
    while (!x.atEnd()) {
        x.readNext();
        const QStringView n = x.name();
        const auto a = x.attributes();
        if (x.isStartElement()) {
            if (n == u"tbl") {
                if (++profonditaTabella == 1)
                    d.tabelle.append(QList<QList<CellaDocx>>());
            } else if (n == u"tr" && profonditaTabella == 1) {
                d.tabelle.last().append(QList<CellaDocx>());
            } else if (n == u"tc" && profonditaTabella == 1) {
                d.tabelle.last().last().append(CellaDocx());
            } else if (n == u"tcPr") {
                inTcPr = true;
            } else if (n == u"shd" && inTcPr && profonditaTabella == 1) {
                d.tabelle.last().last().last().sfondo = a.value(QStringLiteral("w:fill")).toString();
            } else if (n == u"p") {
                p = ParagrafoDocx();
            } else if (n == u"pPr") {
                inPPr = true;
            } else if (n == u"r") {
                inRun = true;
            } else if (n == u"jc" && inPPr) {
                p.jc = a.value(QStringLiteral("w:val")).toString();
            } else if (n == u"spacing" && inPPr) {
                p.dopo = a.value(QStringLiteral("w:after")).toInt();
            } else if (n == u"pageBreakBefore") {
                p.interruzione = true;
            } else if (n == u"sz" && inRun) {
                p.dimensioni << a.value(QStringLiteral("w:val")).toInt();
            } else if (n == u"b" && inRun) {
                p.grassetto = true;
            } else if (n == u"rFonts" && inRun) {
                p.font = a.value(QStringLiteral("w:ascii")).toString();
            } else if (n == u"t") {
                p.testo += x.readElementText();
            } else if (n == u"pgSz") {
                d.larghezza = a.value(QStringLiteral("w:w")).toInt();
                d.altezza = a.value(QStringLiteral("w:h")).toInt();
            } else if (n == u"insideH") {
                d.bordo = a.value(QStringLiteral("w:val")).toString();
            }
        } else if (x.isEndElement()) {
            if (n == u"tbl")
                --profonditaTabella;
            else if (n == u"tcPr")
                inTcPr = false;
            else if (n == u"pPr")
                inPPr = false;
            else if (n == u"r")
                inRun = false;
            else if (n == u"p") {
                if (profonditaTabella == 0)
                    d.paragrafi << p;
                else if (profonditaTabella == 1)
                    d.tabelle.last().last().last().paragrafi << p;
            }
        }
    }
    return d;
}

} // namespace

class ProvaRapporti : public QObject
{
    Q_OBJECT

    QTemporaryDir cartella_;
    QList<QUrl> aperti_;
    bool aperturaRiesce_ = true;
    QString stampaSu_; // PDF file the print dialog points the printer to; empty: cancelled

private slots:
    void initTestCase()
    {
        prova::preparaAmbiente();
        QFont::insertSubstitution(QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"));
        Modulo::impostatesti();
        QVERIFY(cartella_.isValid());
        // The word processor's copies go to the user's cache: keep them in the test folder
        // (Qt's test folders are under the home folder).
        qputenv("HOME", QFile::encodeName(cartella_.path()));
        finestrareport::impostaApertura([this](const QUrl &u) {
            aperti_ << u;
            return aperturaRiesce_;
        });
        finestrareport::impostaDialogoStampa([this](QPrinter &p, QWidget *) {
            if (stampaSu_.isEmpty())
                return false;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(stampaSu_);
            return true;
        });
    }

    void cleanup()
    {
        prova::chiudiTutto();
        impostaIncludiProcedimento(false);
        aperti_.clear();
        aperturaRiesce_ = true;
        stampaSu_.clear();
    }

    // ---- the document layer ------------------------------------------------------------

    void scritturaConParagrafiECaratteri()
    {
        Document doc;
        Selection &s = doc.selection();
        s.setFontName(QStringLiteral("Century Gothic"));
        s.setFontSize(20);
        s.typeText(QStringLiteral("Titolo\r"));
        s.setFontSize(16);
        s.typeText(QStringLiteral("sotto\r\r"));
        s.setFontSize(12);
        s.typeText(QStringLiteral("uno\r\ndue\nfine"));
        QCOMPARE(sequenza(&doc), (QStringList{"Titolo", "sotto", "", "uno", "due", "fine"}));
        const auto p = paragrafi(&doc);
        QCOMPARE(dimensione(p[0]), 20.0);
        QCOMPARE(dimensione(p[1]), 16.0);
        QCOMPARE(dimensione(p[2]), 16.0); // an empty paragraph keeps the size it was typed in
        QCOMPARE(dimensione(p[3]), 12.0);
        QCOMPARE(dimensione(p[5]), 12.0);
        for (const auto &b : p)
            QCOMPARE(famiglia(b), QStringLiteral("Century Gothic"));
        QCOMPARE(s.fontName(), QStringLiteral("Century Gothic"));
        QCOMPARE(s.fontSize(), 12.0);

        // typing over a selection replaces it
        s.wholeStory();
        s.typeText(QStringLiteral("nuovo"));
        QCOMPARE(sequenza(&doc), QStringList{"nuovo"});
    }

    void paginaA4ESpaziatura()
    {
        Document doc;
        doc.selection().typeText(QStringLiteral("a\rb"));
        doc.setParagraphSpacing(12);
        doc.setPaperA4();
        doc.selection().typeText(QStringLiteral("\rc"));
        QCOMPARE(doc.paperSize().id(), QPageSize::A4);
        QCOMPARE(qRound(Document::points(doc.pageSize().width())), 595);
        QCOMPARE(qRound(Document::points(doc.pageSize().height())), 842);
        for (const auto &b : paragrafi(&doc))
            QCOMPARE(b.blockFormat().bottomMargin(), Document::length(12)); // typed after too
        QCOMPARE(doc.pageCount(), 1);
    }

    void interruzioniDiPagina()
    {
        Document doc;
        Selection &s = doc.selection();
        s.typeText(QStringLiteral("uno\r"));
        s.insertPageBreak(); // in an empty paragraph: that paragraph moves on
        s.typeText(QStringLiteral("due\rtre"));
        s.insertPageBreak(); // inside a paragraph: what follows starts a new one
        s.typeText(QStringLiteral("quattro"));
        QCOMPARE(sequenza(&doc), (QStringList{"uno", "due", "tre", "quattro"}));
        const auto p = paragrafi(&doc);
        const auto rompe = [](const QTextBlock &b) {
            return bool(b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        };
        QVERIFY(!rompe(p[0]));
        QVERIFY(rompe(p[1]));
        QVERIFY(!rompe(p[2])); // not carried on to the next paragraph
        QVERIFY(rompe(p[3]));
        QCOMPARE(doc.pageCount(), 3);
    }

    void paragrafoETabelleInFondo()
    {
        Document doc;
        Selection &s = doc.selection();
        s.setFontName(QStringLiteral("Century Gothic"));
        s.setFontSize(12);
        s.typeText(QStringLiteral("titolo\r"));
        doc.addParagraph();
        Table t1 = doc.addTable(2, 2);
        // the added paragraph, then the empty last one the table stands on, then one after it
        QCOMPARE(sequenza(&doc), (QStringList{"titolo", "", "", "[tabella]", ""}));
        QCOMPARE(famiglia(doc.findBlock(t1.textTable()->cellAt(0, 0).firstPosition())), QStringLiteral("Century Gothic"));

        Range r = doc.addParagraph();
        r.setFontSize(14);
        r.setText(QStringLiteral("\rRisultati\r"));
        QCOMPARE(r.text(), QStringLiteral("\rRisultati\r"));
        Table t2 = doc.addTable(3, 2);
        QCOMPARE(sequenza(&doc), (QStringList{"titolo", "", "", "[tabella]", "", "Risultati", "", "[tabella]", ""}));
        QCOMPARE(dimensione(paragrafi(&doc)[4]), 14.0);
        QCOMPARE(doc.tableCount(), 2);
        QCOMPARE(doc.table(1).textTable(), t1.textTable());
        QCOMPARE(doc.table(2).textTable(), t2.textTable());
        QVERIFY(!doc.table(3).isValid());

        // a table after text with no paragraph end keeps the text before it
        Document doc2;
        doc2.selection().typeText(QStringLiteral("Dati generali"));
        doc2.addTable(1, 1);
        QCOMPARE(sequenza(&doc2), (QStringList{"Dati generali", "[tabella]", ""}));
        // typing goes on after the table
        doc2.selection().typeText(QStringLiteral("dopo"));
        QCOMPARE(sequenza(&doc2).last(), QStringLiteral("dopo"));
    }

    void tabellaCaratteriECelle()
    {
        Document doc;
        doc.selection().setFontSize(12);
        Table t = doc.addTable(17, 6);
        QCOMPARE(t.rows(), 17);
        QCOMPARE(t.columns(), 6);
        QCOMPARE(formatoTestoCella(t.textTable(), 5, 5).fontPointSize(), 12.0); // from the last mark
        t.setFontSize(8);
        t.cell(1, 1).setText(QStringLiteral("n."));
        t.cell(17, 6).setText(QStringLiteral("1.234"));
        t.cell(2, 2).setText(QStringLiteral("due\rrighe"));
        QCOMPARE(t.cell(1, 1).text(), QStringLiteral("n."));
        QCOMPARE(t.cell(2, 2).text(), QStringLiteral("due\rrighe"));
        QCOMPARE(t.cell(17, 6).text(), QStringLiteral("1.234"));
        QCOMPARE(formatoTestoCella(t.textTable(), 0, 0).fontPointSize(), 8.0);
        QCOMPARE(formatoTestoCella(t.textTable(), 16, 5).fontPointSize(), 8.0);
        QCOMPARE(formatoTestoCella(t.textTable(), 9, 3).fontPointSize(), 8.0); // empty cell too
        // replacing the text keeps the cell's type
        t.cell(17, 6).setText(QStringLiteral("5"));
        QCOMPARE(formatoTestoCella(t.textTable(), 16, 5).fontPointSize(), 8.0);
        QCOMPARE(t.cell(17, 6).text(), QStringLiteral("5"));
        QVERIFY(!t.cell(18, 1).isValid());
    }

    // A paragraph longer than any report writes shows its beginning: laying out a long
    // word takes time growing with the square of its length.
    void testiLunghiTroncati()
    {
        const qsizetype n = Document::longestParagraph;
        Document doc;
        Table t = doc.addTable(1, 3);
        t.cell(1, 1).setText(QString(n, u'a'));
        t.cell(1, 2).setText(QString(50 * n, u'b') + QStringLiteral("\rfine"));
        // Never half of a character made of two.
        t.cell(1, 3).setText(QString(n - 2, u'c') + QStringLiteral("\U0001F3E0\U0001F3E0"));
        QCOMPARE(t.cell(1, 1).text(), QString(n, u'a'));
        QCOMPARE(t.cell(1, 2).text(), QString(n - 1, u'b') + QStringLiteral("…\rfine"));
        QCOMPARE(t.cell(1, 3).text(), QString(n - 2, u'c') + QStringLiteral("…"));
    }

    void formatoTabellaColorato()
    {
        Document doc;
        Table t = doc.addTable(4, 2);
        t.fill({{"dati", "valori"}, {"a", "1"}, {"b", "2"}, {"c", "3"}});
        t.autoFormat(9);
        const QColor capo = t.cell(1, 1).shading();
        QVERIFY(capo.isValid());
        QCOMPARE(t.cell(1, 2).shading(), capo);
        const QTextCharFormat testoCapo = formatoTestoCella(t.textTable(), 0, 0);
        QVERIFY(testoCapo.fontWeight() >= QFont::Bold);
        // the heading text must stand out from its shade (WCAG contrast of at least 4.5)
        const auto luce = [](const QColor &c) {
            const auto canale = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * canale(c.redF()) + 0.7152 * canale(c.greenF()) + 0.0722 * canale(c.blueF());
        };
        const double l1 = luce(testoCapo.foreground().color()), l2 = luce(capo);
        QVERIFY2((std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05) >= 4.5, "heading text unreadable");
        // body rows shaded, in two alternating bands lighter than the heading
        const QColor b1 = t.cell(2, 1).shading(), b2 = t.cell(3, 1).shading();
        QVERIFY(b1.isValid() && b2.isValid());
        QVERIFY(b1 != b2);
        QCOMPARE(t.cell(4, 2).shading(), b1);
        QVERIFY(luce(b1) > luce(capo) && luce(b2) > luce(capo));
        QVERIFY(formatoTestoCella(t.textTable(), 1, 0).fontWeight() < QFont::Bold);
        // thin grid lines
        const QTextTableFormat tf = t.textTable()->format();
        QVERIFY(tf.border() > 0 && tf.border() <= Document::length(1));
        QCOMPARE(tf.borderStyle(), QTextFrameFormat::BorderStyle_Solid);
        QCOMPARE(tf.headerRowCount(), 1);
        // text set after the format takes the heading's look
        t.cell(1, 1).setText(QStringLiteral("voce"));
        QVERIFY(formatoTestoCella(t.textTable(), 0, 0).fontWeight() >= QFont::Bold);
    }

    void colonnaSelezionataEGiustificazione()
    {
        Document doc;
        doc.selection().typeText(QStringLiteral("testo\r"));
        Table t = doc.addTable(3, 3);
        t.fill({{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
        t.column(2).select();
        QCOMPARE(doc.selection().text(), QStringLiteral("b\re\rh"));
        doc.selection().setAlignment(Alignment::Right);
        for (int r = 0; r < 3; ++r) {
            QVERIFY(allineamentoCella(t.textTable(), r, 1) & Qt::AlignRight);
            QVERIFY(!(allineamentoCella(t.textTable(), r, 0) & Qt::AlignRight));
            QVERIFY(!(allineamentoCella(t.textTable(), r, 2) & Qt::AlignRight));
        }
        QCOMPARE(t.cell(2, 2).alignment(), Alignment::Right);
        QCOMPARE(doc.selection().alignment(), Alignment::Right);

        doc.selection().wholeStory();
        doc.selection().setAlignment(Alignment::Justify);
        for (const auto &b : paragrafi(&doc))
            QVERIFY(b.blockFormat().alignment() & Qt::AlignJustify);
    }

    // ---- the main window's report ---------------------------------------------------------

    void rapportoMenuContenuto()
    {
        QString motivo;
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio(), &motivo);
        QVERIFY2(f, qPrintable(motivo));
        QVERIFY(f->isVisible());
        QCOMPARE(f->objectName(), QStringLiteral("finestrareport"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Perix: documento - stima area fabbricabile"));
        Document *doc = f->documento();
        QCOMPARE(Modulo::wordapp.data(), f);
        QCOMPARE(Modulo::worddoc.data(), doc);
        QCOMPARE(Modulo::wordtabella, doc->table(2).textTable());

        QCOMPARE(sequenza(doc), (QStringList{Modulo::nomeprogramma, Modulo::descrizioneprogramma, "",
                                             "- Dati per la stima (valori in euro)", "", "", "[tabella]", "",
                                             "- Risultati della stima (valori in euro)", "", "[tabella]", "",
                                             "Luogo e data  " + QString(30, u'_'),
                                             "Il tecnico" + QString(2, QChar::LineSeparator) + QString(30, u'_')}));
        const auto p = paragrafi(doc);
        QCOMPARE(dimensione(p[0]), 20.0);
        QCOMPARE(dimensione(p[1]), 16.0);
        QCOMPARE(dimensione(p[3]), 12.0);
        QCOMPARE(dimensione(p[7]), 12.0);
        QCOMPARE(famiglia(p[0]), QStringLiteral("Century Gothic"));
        QCOMPARE(famiglia(p[7]), QStringLiteral("Century Gothic"));
        QCOMPARE(p[3].blockFormat().bottomMargin(), Document::length(12));
        QCOMPARE(doc->paperSize().id(), QPageSize::A4);

        QTextTable *t1 = doc->table(1).textTable();
        QTextTable *t2 = doc->table(2).textTable();
        QCOMPARE(righeTabella(t1), (QStringList{"dati|valori", "valore di mercato del fabbricato|1.000.000",
                                                 "costi totali|500.000", "anni per redditività|2",
                                                 "superficie del terreno in mq.|1.000"}));
        QCOMPARE(righeTabella(t2),
                 (QStringList{"dati|valori", "costo totale massimo dell'area|349.375",
                              "costo totale minimo dell'area|165.289", "costo totale medio dell'area|257.332",
                              "valore massimo dell'area per mq.|349", "valore minimo dell'area per mq.|165",
                              "valore medio dell'area per mq.|257"}));
        for (QTextTable *t : {t1, t2}) {
            for (int r = 0; r < t->rows(); ++r) {
                QVERIFY(allineamentoCella(t, r, 1) & Qt::AlignRight);
                QVERIFY(!(allineamentoCella(t, r, 0) & Qt::AlignRight));
                QCOMPARE(formatoTestoCella(t, r, 0).fontPointSize(), 10.0);
                QCOMPARE(formatoTestoCella(t, r, 1).fontFamilies().toStringList().value(0),
                         QStringLiteral("Century Gothic"));
            }
            QVERIFY(t->cellAt(0, 0).format().background().style() != Qt::NoBrush);
        }
        QCOMPARE(doc->pageCount(), 1);
        QCOMPARE(f->pagine(), 1);
        QVERIFY(p.last().blockFormat().alignment() & Qt::AlignRight); // the signature, on the right
    }

    void rapportoMenuFormati_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<int>("riga");
        QTest::addColumn<QString>("atteso");
        // Each figure as the valuation read it: rounded, it would stand beside results of another value.
        QTest::newRow("anni 2,5 come letti") << "anni" << "2,5" << 3 << "2,5";
        QTest::newRow("valore raggruppato") << "valoremercato" << "1500000" << 1 << "1.500.000";
        QTest::newRow("costi con decimali") << "costitotali" << "1.234,5" << 2 << "1.234,5";
        QTest::newRow("testo non numerico") << "costitotali" << "abc" << 2 << "abc";
        QTest::newRow("campo vuoto") << "anni" << "" << 3 << "";
        QTest::newRow("superficie come digitata") << "superficie" << "1.000,5" << 4 << "1.000,5";
        QTest::newRow("superficie senza punti") << "superficie" << "1500" << 4 << "1.500";
    }

    void rapportoMenuFormati()
    {
        QFETCH(QString, campo);
        QFETCH(QString, digitato);
        QFETCH(int, riga);
        QFETCH(QString, atteso);
        DatiRapportoMenu d = prova::datiMenuEsempio();
        if (campo == u"anni")
            d.anni = digitato;
        else if (campo == u"valoremercato")
            d.valoremercato = digitato;
        else if (campo == u"costitotali")
            d.costitotali = digitato;
        else
            d.superficie = digitato;
        finestrareport *f = rapportoMenu(d);
        QVERIFY(f);
        QCOMPARE(f->documento()->table(1).cell(riga + 1, 2).text(), atteso);
    }

    void dueRapportiDueFinestre()
    {
        QPointer<finestrareport> a = rapportoMenu(prova::datiMenuEsempio());
        QPointer<finestrareport> b = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(a && b);
        QVERIFY(a != b);
        QVERIFY(a->isVisible() && b->isVisible());
        QVERIFY(a->documento() != b->documento());
        QCOMPARE(Modulo::worddoc.data(), b->documento());
        b->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!b);          // deleted on close
        QVERIFY(a);           // the other one stays
        QVERIFY(!Modulo::worddoc); // the closed report's document is gone with it
        QCOMPARE(a->documento()->tableCount(), 2);
    }

    // ---- the calculation trail and the sensitivity sections -------------------------------

    void senzaProcedimentoComePrima_data()
    {
        QTest::addColumn<int>("caso");
        QTest::newRow("euro") << 1;
        QTest::newRow("lire, valori non calcolabili") << 2;
    }
    void senzaProcedimentoComePrima()
    {
        QFETCH(int, caso);
        DatiRapportoMenu d = caso == 1 ? prova::datiMenuEsempio() : esempioLire();
        d.procedimento = false;
        finestrareport *f = rapportoMenu(d);
        QCOMPARE(f->documento()->toHtml().toUtf8(), riferimento(QStringLiteral("rapporto_menu_%1.html").arg(caso)));
        const auto parti = prova::leggiZip(componiDocx(*f->documento()));
        QCOMPARE(parti.value("word/document.xml"), riferimento(QStringLiteral("rapporto_menu_%1.xml").arg(caso)));
        QCOMPARE(parti.size(), 6); // no picture; the page footer
    }

    void opzioneProcedimento()
    {
        impostaIncludiProcedimento(false);
        QPointer<finestrareport> f = rapportoMenu(prova::datiMenuEsempio());
        QAction *a = prova::azione(f, QStringLiteral("procedimento"));
        QVERIFY(a && a->isCheckable() && !a->isChecked());
        QCOMPARE(a->text(), QStringLiteral("Includi procedimento e sensibilità"));
        QCOMPARE(f->documento()->tableCount(), 2);

        a->trigger(); // rebuilt in the same window
        QVERIFY(f);
        Document *doc = f->documento();
        QCOMPARE(Modulo::worddoc.data(), doc);
        QCOMPARE(doc->tableCount(), 3);
        QVERIFY(doc->toPlainText().contains(QStringLiteral("- Procedimento di calcolo (valori in euro)")));
        QVERIFY(doc->toPlainText().contains(QStringLiteral("- Analisi di sensibilità (valori in euro)")));
        // The base case is the window's risultati(3), and stands out.
        const Table t = doc->table(3);
        QCOMPARE(t.cell(casoBase + 2, casoBase + 2).text(), prova::datiMenuEsempio().risultati[3]);
        QVERIFY(t.cell(casoBase + 2, casoBase + 2).shading() != t.cell(casoBase + 2, casoBase + 1).shading());
        // The chart is in the document as a drawing; a picture of it at print resolution for
        // those who ask for one (the .docx, Qt's own layout).
        QTextImageFormat grafico;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    grafico = it.fragment().charFormat().toImageFormat();
        QVERIFY(doc->drawing(grafico.name()));
        const QImage img = doc->resource(QTextDocument::ImageResource, QUrl(grafico.name())).value<QImage>();
        QVERIFY(img.width() / (grafico.width() / 96.0) >= 299.0);

        // Remembered for the next report; turned off there, that report is the plain one again.
        QVERIFY(includiProcedimento());
        finestrareport *g = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(prova::azione(g, QStringLiteral("procedimento"))->isChecked());
        QCOMPARE(g->documento()->tableCount(), 3);
        prova::azione(g, QStringLiteral("procedimento"))->trigger();
        QVERIFY(!includiProcedimento());
        QCOMPARE(g->documento()->toHtml().toUtf8(), riferimento(QStringLiteral("rapporto_menu_1.html")));
        QCOMPARE(f->documento()->tableCount(), 3); // the other window keeps its document
        Modulo::stampaguida();
        QVERIFY(!prova::azione(Modulo::wordapp, QStringLiteral("procedimento")));
    }

    // Each line of the chart through the window's figures, the typed years marked on them,
    // the words of the axes and the legend, all inside the drawing.
    void graficoDegliAnni()
    {
        const CurvaAnni c = curvaAnni(datiStima(prova::datiMenuEsempio()));
        const Disegno d = disegnoGraficoAnni(c, QStringLiteral("lire"), QSizeF(481.9, 290));
        QStringList parole;
        for (const Disegno::Scritta &s : d.scritte)
            parole << s.testo;
        for (const char *p : {"anni per redditività", "valore dell'area (lire)", "massimo (sconto al 7 %)", "medio",
                              "minimo (sconto al 10 %)", "anni della stima (n = 2)", "0", "10"})
            QVERIFY2(parole.contains(QString::fromUtf8(p)), p);
        QVERIFY(std::any_of(d.scritte.begin(), d.scritte.end(), [](const auto &s) { return s.verticale; }));
        // The three curves: the last three lines of eleven points (years 0 to 10), in order,
        // highest first; the marks sit on their third point (2 years).
        QList<Disegno::Linea> curve;
        for (const Disegno::Linea &l : d.linee)
            if (l.punti.size() == 11)
                curve << l;
        QCOMPARE(curve.size(), 3);
        QCOMPARE(d.punti.size(), 4); // and the legend's
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(d.punti[k].centro, curve[k].punti[2]);
            if (k > 0)
                QVERIFY(curve[k].punti[2].y() > curve[k - 1].punti[2].y());
        }
        // Nothing outside the drawing.
        const QRectF tela(QPointF(0, 0), d.misura);
        for (const Disegno::Linea &l : d.linee)
            for (const QPointF &p : l.punti)
                QVERIFY(tela.contains(p));
        for (const Disegno::Scritta &s : d.scritte)
            QVERIFY2(s.verticale || larghezzaScritta(s.testo, s.corpo, s.grassetto) < d.misura.width(), qPrintable(s.testo));
    }

    void paginaDellaGuida()
    {
        Modulo::titologuida = QStringLiteral("MENU");
        Modulo::testoguida = QStringLiteral("La finestra Menu è il punto di partenza: si sceglie la valuta e il tipo di stima.");
        QVERIFY(Modulo::stampaguida());
        auto *f = qobject_cast<finestrareport *>(Modulo::wordapp.data());
        QVERIFY(f);
        QVERIFY(f->isVisible());
        Document *doc = f->documento();
        QCOMPARE(sequenza(doc), (QStringList{Modulo::nomeprogramma, Modulo::descrizioneprogramma, "", "",
                                             "Guida: MENU", "", Modulo::testoguida, ""}));
        const auto p = paragrafi(doc);
        QCOMPARE(dimensione(p[0]), 20.0);
        QCOMPARE(dimensione(p[1]), 16.0);
        QCOMPARE(dimensione(p[4]), 16.0);
        QCOMPARE(dimensione(p[6]), 12.0);
        for (const auto &b : p) {
            QVERIFY(b.blockFormat().alignment() & Qt::AlignJustify);
            QCOMPARE(b.blockFormat().bottomMargin(), 0.0); // no page set-up for a help page
        }
        QCOMPARE(famiglia(p[6]), QStringLiteral("Century Gothic"));
        QCOMPARE(doc->tableCount(), 0);
    }

    // ---- the report window ----------------------------------------------------------------

    void finestraEComandi()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(f);
        const QList<QPair<QString, QString>> comandi = {
            {"stampa", "&Stampa..."},
            {"esportapdf", "Esporta &PDF..."},
            {"salvadocx", "Salva come documento &Word..."},
            {"apriconelaboratore", "&Apri con l'elaboratore di testi"}};
        for (const auto &[nome, testo] : comandi) {
            QAction *a = prova::azione(f, nome);
            QVERIFY2(a, qPrintable(nome));
            QCOMPARE(a->text(), testo);
        }
        QVERIFY(f->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(f->findChild<QPrintPreviewWidget *>());
        QVERIFY(!f->grab().isNull());

        // edits after the report are shown once the window gets to redraw
        Selection &s = f->documento()->selection();
        s.endKey();
        s.insertPageBreak();
        s.typeText(QStringLiteral("seconda pagina"));
        QCOMPARE(f->documento()->pageCount(), 2);
        QCOMPARE(f->pagine(), 1); // not yet: one redraw when the edits are over
        QCoreApplication::processEvents();
        QCOMPARE(f->pagine(), 2);
    }

    void esportaPdf()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(f);
        const QString senzaEstensione = cartella_.filePath(QStringLiteral("stima"));
        QVERIFY(prova::attivaConFile(f, QStringLiteral("esportapdf"), senzaEstensione));
        QCOMPARE(dp::risposteInAttesa(), 0);
        QCOMPARE(prova::messaggiMostrati(), 0);
        const auto chiesto = prova::ultimoMostrato();
        QCOMPARE(chiesto.tipo, dp::Mostrato::Tipo::SalvaFile);
        QCOMPARE(chiesto.file.filtri.size(), 1);
        QCOMPARE(chiesto.file.filtri[0].descrizione, QStringLiteral("Documento PDF"));
        QCOMPARE(chiesto.file.filtri[0].schema, QStringLiteral("*.pdf"));
        const QString pdf = senzaEstensione + QStringLiteral(".pdf");
        QCOMPARE(prova::contenuto(pdf).left(5), QByteArray("%PDF-"));

        if (prova::eseguibile({"pdftotext"}).isEmpty())
            QSKIP("pdftotext non disponibile: contenuto del PDF non verificato");
        const QString testo = prova::poppler("pdftotext", pdf);
        for (const char *atteso : {"Perix", "- Dati per la stima (valori in euro)", "anni per redditività",
                                   "1.000.000", "costo totale massimo dell'area", "349.375"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
        const QString info = prova::poppler("pdfinfo", pdf);
        QVERIFY2(info.contains(QStringLiteral("Pages:           1")), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        const QString font = prova::poppler("pdffonts", pdf);
        QVERIFY2(font.contains(QStringLiteral("URWGothic")), qPrintable(font)); // the stand-in reached the page
    }

    void esportaPdfAnnullato()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(prova::attivaConFile(f, QStringLiteral("esportapdf"), std::nullopt));
        QCOMPARE(prova::ultimoMostrato().tipo, dp::Mostrato::Tipo::SalvaFile);
        QCOMPARE(prova::messaggiMostrati(), 0);
        QVERIFY(!f->esportaPdf()); // nothing queued: cancelled again, still in silence
        QCOMPARE(prova::messaggiMostrati(), 0);
        QVERIFY(f->isVisible());
    }

    void esportaPdfFallito_data()
    {
        QTest::addColumn<QString>("percorso");
        QTest::newRow("una cartella") << QStringLiteral("cartella.pdf");
        QTest::newRow("cartella inesistente") << QStringLiteral("manca/stima.pdf");
    }

    void esportaPdfFallito()
    {
        QFETCH(QString, percorso);
        QDir(cartella_.path()).mkpath(QStringLiteral("cartella.pdf"));
        const QString completo = cartella_.filePath(percorso);
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        const QStringList prima = sequenza(f->documento());
        QVERIFY(prova::attivaConFile(f, QStringLiteral("esportapdf"), completo));
        QCOMPARE(prova::messaggiMostrati(), 1);
        const auto m = prova::ultimoMostrato();
        QCOMPARE(m.icona, dialoghi::Icona::Stop);
        QCOMPARE(m.titolo, Modulo::titolocontrollo);
        QVERIFY2(m.testo.startsWith(QStringLiteral("Impossibile esportare il documento in PDF ") + completo + ": "),
                 qPrintable(m.testo));
        QVERIFY(m.testo.size() > QStringLiteral("Impossibile esportare il documento in PDF ").size() + completo.size() + 2);
        QVERIFY(f->isVisible());
        QCOMPARE(sequenza(f->documento()), prima);
        QVERIFY(!QFileInfo(completo).isFile());
    }

    void stampa()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        stampaSu_ = cartella_.filePath(QStringLiteral("stampato.pdf"));
        QVERIFY(prova::attiva(f, QStringLiteral("stampa")));
        QCOMPARE(prova::contenuto(stampaSu_).left(5), QByteArray("%PDF-"));
        QCOMPARE(prova::messaggiMostrati(), 0);

        // a cancelled print dialog prints nothing and says nothing
        stampaSu_.clear();
        QVERIFY(!f->stampa());
        QCOMPARE(prova::messaggiMostrati(), 0);
    }

    // ---- the .docx writer -----------------------------------------------------------------

    void salvaDocxRiletto()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        const QString percorso = cartella_.filePath(QStringLiteral("stima.docx"));
        QVERIFY(prova::attivaConFile(f, QStringLiteral("salvadocx"), percorso));
        QCOMPARE(prova::messaggiMostrati(), 0);
        QCOMPARE(prova::ultimoMostrato().file.filtri[0].descrizione, QStringLiteral("Documento Word"));
        QCOMPARE(prova::ultimoMostrato().file.filtri[0].schema, QStringLiteral("*.docx"));

        const auto parti = prova::leggiZip(prova::contenuto(percorso));
        for (const char *p : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/styles.xml"})
            QVERIFY2(parti.contains(QString::fromLatin1(p)), p);
        QVERIFY(parti.value("[Content_Types].xml").contains("wordprocessingml.document.main+xml"));
        QVERIFY(parti.value("_rels/.rels").contains("Target=\"word/document.xml\""));
        const Docx d = leggiDocx(parti.value("word/document.xml"));

        QCOMPARE(d.larghezza, 11906);
        QCOMPARE(d.altezza, 16838);
        QVERIFY(d.paragrafi.size() >= 8);
        QCOMPARE(d.paragrafi[0].testo, Modulo::nomeprogramma);
        QCOMPARE(d.paragrafi[0].dimensioni, QList<int>{40});
        QCOMPARE(d.paragrafi[0].font, QStringLiteral("Century Gothic"));
        QCOMPARE(d.paragrafi[0].dopo, 240);
        QCOMPARE(d.paragrafi[1].testo, Modulo::descrizioneprogramma);
        QCOMPARE(d.paragrafi[1].dimensioni, QList<int>{32});
        QCOMPARE(d.paragrafi[3].testo, QStringLiteral("- Dati per la stima (valori in euro)"));
        QCOMPARE(d.paragrafi[3].dimensioni, QList<int>{24});
        QCOMPARE(d.paragrafi[4].testo, QString()); // the empty paragraph added before the table
        QCOMPARE(d.paragrafi[5].testo, QString()); // after the table; the tables' anchors are left out
        QCOMPARE(d.paragrafi[6].testo, QStringLiteral("- Risultati della stima (valori in euro)"));
        QVERIFY(d.paragrafi[8].testo.startsWith(QStringLiteral("Luogo e data")));
        QCOMPARE(d.paragrafi.size(), 10);

        QCOMPARE(d.tabelle.size(), 2);
        QCOMPARE(d.tabelle[0].size(), 5);
        QCOMPARE(d.tabelle[1].size(), 7);
        QCOMPARE(d.bordo, QStringLiteral("single"));
        QCOMPARE(d.tabelle[0][3][0].testo(), QStringLiteral("anni per redditività"));
        QCOMPARE(d.tabelle[0][1][1].testo(), QStringLiteral("1.000.000"));
        QCOMPARE(d.tabelle[1][6][0].testo(), QStringLiteral("valore medio dell'area per mq."));
        QCOMPARE(d.tabelle[1][6][1].testo(), QStringLiteral("257"));
        for (const auto &t : d.tabelle) {
            const QString capo = t[0][0].sfondo;
            QVERIFY(!capo.isEmpty());
            QVERIFY(t[0][0].paragrafi[0].grassetto);
            QVERIFY(!t[1][0].paragrafi[0].grassetto);
            for (const auto &riga : t) {
                QCOMPARE(riga.size(), 2);
                QCOMPARE(riga[1].paragrafi[0].jc, QStringLiteral("right"));
                QVERIFY(riga[0].paragrafi[0].jc != QStringLiteral("right"));
                QCOMPARE(riga[0].paragrafi[0].dimensioni, QList<int>{20});
                QVERIFY(!riga[1].sfondo.isEmpty());
            }
            QVERIFY(t[1][0].sfondo != capo);
        }
    }

    void docxConImmagine()
    {
        Document doc;
        doc.selection().typeText(QStringLiteral("grafico:\r"));
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::red);
        doc.selection().insertImage(img, QSizeF(72, 36)); // an inch by half an inch
        const auto parti = prova::leggiZip(componiDocx(doc));
        QCOMPARE(QImage::fromData(parti.value("word/media/immagine1.png"), "PNG").size(), QSize(40, 20));
        QVERIFY(parti.value("[Content_Types].xml").contains("<Default Extension=\"png\" ContentType=\"image/png\"/>"));
        QVERIFY(parti.value("word/_rels/document.xml.rels")
                    .contains("<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                              "2006/relationships/image\" Target=\"media/immagine1.png\"/>"));
        const QByteArray xml = parti.value("word/document.xml");
        QVERIFY(xml.contains("<a:blip r:embed=\"rId2\"/>"));
        QVERIFY(xml.contains("<wp:extent cx=\"914400\" cy=\"457200\"/>"));
    }

    // The job's heading in the document itself; the page numbers in the .docx's footer as
    // fields, beside the archive file's name.
    void docxIntestazioneEPiede_data()
    {
        QTest::addColumn<bool>("conDati");
        QTest::newRow("senza dati dell'incarico") << false;
        QTest::newRow("con i dati dell'incarico") << true;
    }
    void docxIntestazioneEPiede()
    {
        QFETCH(bool, conDati);
        DatiRapportoMenu d = prova::datiMenuEsempio();
        d.procedimento = false;
        if (conDati) {
            d.frontespizio.incarico.committente = QStringLiteral("Impresa Rossi");
            d.frontespizio.incarico.data = QDate(2026, 12, 9);
            d.frontespizio.file = QStringLiteral("Perix-menu-prova");
        }
        const auto doc = documentoMenu(d);
        const QString testo = doc->toPlainText();
        QCOMPARE(testo.contains(QStringLiteral("Committente: Impresa Rossi")), conDati);
        QCOMPARE(testo.contains(QStringLiteral("Data della stima: 9 dicembre 2026")), conDati);
        QVERIFY(testo.contains(QStringLiteral("Luogo e data")));
        QCOMPARE(doc->tableCount(), 2); // the heading and the signature are no tables
        const auto parti = prova::leggiZip(componiDocx(*doc));
        const QByteArray piede = parti.value("word/footer1.xml");
        QVERIFY(piede.contains("> PAGE <") && piede.contains("> NUMPAGES <"));
        QCOMPARE(piede.contains("Perix-menu-prova"), conDati);
        QVERIFY(parti.value("word/document.xml").contains("<w:footerReference w:type=\"default\" r:id=\"rIdPiede\"/>"));
        QVERIFY(parti.value("word/_rels/document.xml.rels").contains("Target=\"footer1.xml\""));
        QVERIFY(parti.value("[Content_Types].xml").contains("/word/footer1.xml"));
        // A document without page numbers (the help page) has no footer at all.
        QVERIFY(!prova::leggiZip(componiDocx(*Modulo::documentoguida())).contains(QStringLiteral("word/footer1.xml")));
    }

    void docxInterruzioniEPiccoli()
    {
        Document doc;
        Selection &s = doc.selection();
        s.typeText(QStringLiteral("prima\r"));
        s.insertPageBreak();
        s.typeText(QStringLiteral("seconda\t pagina\r"));
        Table t = doc.addTable(17, 6);
        t.setFontSize(8);
        t.cell(17, 6).setText(QStringLiteral(" 16"));
        t.autoFormat(9);
        const Docx d = leggiDocx(prova::leggiZip(componiDocx(doc)).value("word/document.xml"));
        int interruzioni = 0;
        for (const auto &p : d.paragrafi)
            interruzioni += p.interruzione;
        QCOMPARE(interruzioni, 1);
        QVERIFY(d.paragrafi[1].interruzione);
        QCOMPARE(d.paragrafi[1].testo, QStringLiteral("seconda pagina")); // the tab is its own element
        QCOMPARE(d.paragrafi.size(), 3); // the table's empty anchor is not written
        QCOMPARE(d.tabelle.size(), 1);
        QCOMPARE(d.tabelle[0].size(), 17);
        QCOMPARE(d.tabelle[0][16].size(), 6);
        QCOMPARE(d.tabelle[0][16][5].testo(), QStringLiteral(" 16")); // leading blank kept
        QCOMPARE(d.tabelle[0][16][5].paragrafi[0].dimensioni, QList<int>{16});
    }

    void docxDispositivoCheCede_data()
    {
        QTest::addColumn<double>("quota"); // of the package the device takes
        QTest::newRow("nessun byte") << 0.0;
        QTest::newRow("metà") << 0.5;
        QTest::newRow("tutto meno un byte") << -1.0;
    }

    void docxDispositivoCheCede()
    {
        QFETCH(double, quota);
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        const qint64 totale = componiDocx(*f->documento()).size();
        QVERIFY(totale > 1000);
        prova::DispositivoCheCede pieno(quota < 0 ? totale - 1 : qint64(totale * quota));
        QString motivo;
        QVERIFY(!scriviDocx(*f->documento(), pieno, &motivo));
        QCOMPARE(motivo, prova::DispositivoCheCede::errore);

        prova::DispositivoCheCede capiente(totale);
        QVERIFY(scriviDocx(*f->documento(), capiente, &motivo));
        QVERIFY(prova::leggiZip(capiente.dati).contains(QStringLiteral("word/document.xml")));
    }

    void docxFileNonScrivibile()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        const QString percorso = cartella_.filePath(QStringLiteral("manca/stima.docx"));
        QString motivo;
        QVERIFY(!scriviDocx(*f->documento(), percorso, &motivo));
        QVERIFY(!motivo.isEmpty());
        QVERIFY(!QFileInfo::exists(percorso));

        QVERIFY(prova::attivaConFile(f, QStringLiteral("salvadocx"), percorso));
        const auto m = prova::ultimoMostrato();
        QCOMPARE(m.icona, dialoghi::Icona::Stop);
        QCOMPARE(m.titolo, Modulo::titolocontrollo);
        QVERIFY2(m.testo.startsWith(QStringLiteral("Impossibile salvare il documento ") + percorso + ": "),
                 qPrintable(m.testo));

        // a failed save leaves the file that was there untouched
        const QString esistente = cartella_.filePath(QStringLiteral("vecchio.docx"));
        QVERIFY(prova::scrivi(esistente, "contenuto di prima"));
        QFile::setPermissions(cartella_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool scritto = scriviDocx(*f->documento(), esistente, &motivo);
        QFile::setPermissions(cartella_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (scritto)
            QSKIP("la cartella di prova resta scrivibile (utente root): salvataggio atomico non verificato");
        QCOMPARE(prova::contenuto(esistente).left(100), QByteArray("contenuto di prima"));
    }

    void apriConElaboratore()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        QVERIFY(prova::attiva(f, QStringLiteral("apriconelaboratore")));
        QCOMPARE(prova::messaggiMostrati(), 0);
        QCOMPARE(aperti_.size(), 1);
        const QString primo = aperti_[0].toLocalFile();
        QCOMPARE(primo, f->documentoAperto());
        QVERIFY(primo.endsWith(QStringLiteral(".docx")));
        QVERIFY(prova::leggiZip(prova::contenuto(primo)).value("word/document.xml").contains("anni per redditivit"));

        QVERIFY(f->apriConElaboratore()); // a second copy, the first may still be open
        QCOMPARE(aperti_.size(), 2);
        QVERIFY(aperti_[1].toLocalFile() != primo);
        QVERIFY(QFileInfo::exists(primo));

        // The copies outlive the window: the word processor may still be reading them.
        QVERIFY(primo.startsWith(cartella_.path() + u'/'));
        QVERIFY(primo.startsWith(finestrareport::cartellaCopie() + u'/'));
        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QFileInfo::exists(primo));

        // Start-up clears the copies a few days old, and only those.
        QFile vecchia(primo);
        QVERIFY(vecchia.open(QIODevice::ReadWrite));
        QVERIFY(vecchia.setFileTime(QDateTime::currentDateTime().addDays(-4), QFileDevice::FileModificationTime));
        vecchia.close();
        QCOMPARE(finestrareport::pulisciCopie(), 1);
        QVERIFY(!QFileInfo::exists(primo));
        QVERIFY(QFileInfo::exists(aperti_[1].toLocalFile()));
    }

    void apriConElaboratoreFallito()
    {
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        aperturaRiesce_ = false;
        QVERIFY(!f->apriConElaboratore());
        const auto m = prova::ultimoMostrato();
        QCOMPARE(m.icona, dialoghi::Icona::Stop);
        QCOMPARE(m.titolo, Modulo::titolocontrollo);
        QVERIFY(m.testo.startsWith(QStringLiteral("Impossibile aprire il documento con l'elaboratore di testi: ")));
        QVERIFY(f->isVisible());
    }

    void conversioneConLibreOffice()
    {
        const QString soffice = prova::eseguibile({"soffice", "libreoffice"});
        if (soffice.isEmpty())
            QSKIP("LibreOffice non installato: conversione del .docx non verificata");
        finestrareport *f = rapportoMenu(prova::datiMenuEsempio());
        const QString docx = cartella_.filePath(QStringLiteral("conversione.docx"));
        QString motivo;
        QVERIFY2(scriviDocx(*f->documento(), docx, &motivo), qPrintable(motivo));
        QProcess p;
        p.start(soffice, {"--headless", "--convert-to", "pdf", "--outdir", cartella_.path(), docx});
        QVERIFY(p.waitForFinished(120000));
        const QString pdf = cartella_.filePath(QStringLiteral("conversione.pdf"));
        QCOMPARE(prova::contenuto(pdf).left(5), QByteArray("%PDF-"));
        const QString testo = prova::poppler("pdftotext", pdf);
        // The page number is a field the word processor fills in itself.
        for (const char *atteso : {"Dati per la stima", "anni per redditività", "1.000.000", "349.375", "Pagina 1 di 1",
                                   "Luogo e data"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
    }
};

QTEST_MAIN(ProvaRapporti)
#include "prova_rapporti.moc"
