// The job's data and the surveyor: their forms, the settings, the appendix saved and read
// back; the cost windows' total carried into the main window with its source; the reports'
// heading, page numbers and signature as printed (PDF text) and in the batch.

#include "app/avvio.h"
#include "app/comando.h"
#include "core/allegato.h"
#include "core/campi.h"
#include "core/frontespizio.h"
#include "core/numeri.h"
#include "estimates/menu.h"
#include "reports/documento.h"
#include "reports/rapporti.h"
#include "ui/cornice.h"
#include "ui/incarico.h"
#include "ui/modulo.h"
#include "supporto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace perix;
using namespace perix::prova;

namespace {

DatiIncarico incaricoEsempio()
{
    DatiIncarico d;
    d.committente = QStringLiteral("Impresa Rossi S.r.l.");
    d.oggetto = QStringLiteral("Lotto edificabile in via Roma");
    d.indirizzo = QStringLiteral("via Roma 12");
    d.comune = QStringLiteral("Alessandria");
    d.particelle = {{QStringLiteral("Terreni"), QStringLiteral("12"), QStringLiteral("345"), QString()},
                    {QStringLiteral("Fabbricati"), QStringLiteral("12"), QStringLiteral("346"), QStringLiteral("7")}};
    d.data = QDate(2026, 12, 9);
    d.nota = QStringLiteral("sopralluogo del 2 dicembre");
    return d;
}

Tecnico tecnicoEsempio()
{
    return {QStringLiteral("Mario Bianchi"), QStringLiteral("geometra"), QStringLiteral("Collegio dei Geometri di Alessandria"),
            QStringLiteral("1234"), QStringLiteral("via Milano 3, Alessandria"), QStringLiteral("m.bianchi@pec.example"),
            false};
}

// The form the last command showed, recorded by the dialog layer and open for the test.
template <typename T>
T *moduloAperto(const QString &nome)
{
    const auto m = ultimoMostrato();
    if (m.tipo != dialoghi::prova::Mostrato::Tipo::Modulo || m.testo != nome)
        return nullptr;
    const QList<T *> aperti = finestre<T>(nome, true);
    return aperti.isEmpty() ? nullptr : aperti.last();
}

void conferma(QDialog *d, bool si = true)
{
    auto *b = d->findChild<QDialogButtonBox *>(QStringLiteral("pulsanti"));
    QTest::mouseClick(b->button(si ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
}

void compila(QDialog *d, const char *campo, const QString &testo)
{
    auto *e = d->findChild<QLineEdit *>(QString::fromLatin1(campo));
    QVERIFY2(e, campo);
    e->clear();
    QTest::keyClicks(e, testo);
}

// The PDF's text, one page or all (page 0).
QString testoPdf(Document &doc, const QString &percorso, int pagina = 0)
{
    if (!doc.exportPdf(percorso))
        return QStringLiteral("<PDF non scritto>");
    return poppler(QStringLiteral("pdftotext"), percorso,
                   pagina ? QStringList{QStringLiteral("-f"), QString::number(pagina), QStringLiteral("-l"),
                                        QString::number(pagina)}
                          : QStringList{});
}

} // namespace

class ProvaIncarico : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // the user's own settings stay untouched
        preparaApplicazione();
        preparaAmbiente();
        Modulo::datiprogramma();
        impostaIncludiProcedimento(false);
        QVERIFY(cartella_.isValid());
    }
    void init() { salvaTecnico({}); }
    void cleanup() { sessioneNuova(); }

    // Each estimation window's Modifica menu opens the job's form; what is confirmed goes into
    // the window's appendix and comes back in the form; a cancelled form changes nothing.
    void moduloIncarico_data()
    {
        QTest::addColumn<int>("numero");
        for (int n = 1; n <= 5; ++n)
            QTest::newRow(qPrintable(QStringLiteral("finestra %1").arg(n))) << n;
    }
    void moduloIncarico()
    {
        QFETCH(int, numero);
        mostraFinestraStima(numero);
        FinestraStima *w = stimaAperta(numero);
        QVERIFY(w && attiva(w, QStringLiteral("incarico")));
        auto *f = moduloAperto<datiincarico>(QStringLiteral("datiincarico"));
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Dati dell'incarico"));
        const DatiIncarico atteso = incaricoEsempio();
        compila(f, "committente", atteso.committente);
        compila(f, "oggetto", atteso.oggetto);
        compila(f, "indirizzo", atteso.indirizzo);
        compila(f, "comune", atteso.comune);
        auto *tabella = f->findChild<QTableWidget *>(QStringLiteral("particelle"));
        for (qsizetype i = 0; i <= atteso.particelle.size(); ++i) // one row too many, left empty
            clicca(f, QStringLiteral("aggiungiparticella"));
        for (int r = 0; r < int(atteso.particelle.size()); ++r) {
            const Particella &p = atteso.particelle[r];
            f->findChild<QComboBox *>(QStringLiteral("catasto(%1)").arg(r + 1))->setCurrentText(p.catasto);
            tabella->item(r, 1)->setText(p.foglio);
            tabella->item(r, 2)->setText(p.particella);
            tabella->item(r, 3)->setText(p.subalterno);
        }
        f->findChild<QDateEdit *>(QStringLiteral("data"))->setDate(atteso.data);
        QTest::keyClicks(f->findChild<QPlainTextEdit *>(QStringLiteral("nota")), atteso.nota);
        conferma(f);
        QCOMPARE(w->allegato().incarico, atteso);
        QCOMPARE(w->frontespizio().incarico, atteso);

        QVERIFY(attiva(w, QStringLiteral("incarico")));
        f = moduloAperto<datiincarico>(QStringLiteral("datiincarico"));
        QVERIFY(f);
        QCOMPARE(f->dati(), atteso);
        compila(f, "committente", QStringLiteral("altro"));
        conferma(f, false);
        QCOMPARE(w->allegato().incarico, atteso);
        PERIX_NESSUNA_DOMANDA_SOSPESA();
    }

    // The surveyor's form, from Modifica and from "?", writes the settings and shows them again.
    void moduloTecnico_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("voce");
        QTest::newRow("Modifica, finestra Menu") << 1 << "tecnico";
        QTest::newRow("?, finestra Menu") << 1 << "tecnicoguida";
        QTest::newRow("Modifica, costi per altezze") << 5 << "tecnico";
        QTest::newRow("?, costi sintetici") << 3 << "tecnicoguida";
    }
    void moduloTecnico()
    {
        QFETCH(int, numero);
        QFETCH(QString, voce);
        mostraFinestraStima(numero);
        FinestraStima *w = stimaAperta(numero);
        QVERIFY(attiva(w, voce));
        auto *f = moduloAperto<datitecnico>(QStringLiteral("datitecnico"));
        QVERIFY(f);
        const Tecnico t = tecnicoEsempio();
        compila(f, "nome", t.nome);
        f->findChild<QComboBox *>(QStringLiteral("titolo"))->setCurrentText(t.titolo);
        compila(f, "albo", t.albo);
        compila(f, "iscrizione", t.iscrizione);
        compila(f, "indirizzo", t.indirizzo);
        compila(f, "posta", t.posta);
        f->findChild<QCheckBox *>(QStringLiteral("firmadigitale"))->setChecked(true);
        conferma(f);
        Tecnico atteso = t;
        atteso.firmaDigitale = true;
        QCOMPARE(leggiTecnico(), atteso);
        QCOMPARE(QSettings(QStringLiteral("Perix"), QStringLiteral("Perix")).value(QStringLiteral("tecnico/nome")).toString(), t.nome);
        QCOMPARE(w->frontespizio().tecnico, atteso);

        QVERIFY(attiva(w, voce));
        f = moduloAperto<datitecnico>(QStringLiteral("datitecnico"));
        QCOMPARE(f->dati(), atteso);
        compila(f, "nome", QStringLiteral("altro"));
        conferma(f, false);
        QCOMPARE(leggiTecnico(), atteso);
    }

    // The appendix follows the record, which stays as it was; the file opens again with the
    // job's data and the building's size; a file without them saves as it was, byte for byte.
    void salvatoERiletto_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("dimensione"); // empty: the window has none
        QTest::newRow("menu") << 1 << "menu" << "";
        QTest::newRow("costi sintetici") << 3 << "sint" << "1.250,5";
        QTest::newRow("costi per tipologie") << 4 << "tipol" << "480";
        QTest::newRow("costi per altezze") << 5 << "alt" << "3200";
    }
    void salvatoERiletto()
    {
        QFETCH(int, numero);
        QFETCH(QString, tipo);
        QFETCH(QString, dimensione);
        const QByteArray vecchio = contenuto(esempio(tipo));
        mostraFinestraStima(numero);
        FinestraStima *w = stimaAperta(numero);
        QVERIFY(attivaConFile(w, QStringLiteral("apri"), esempio(tipo)));
        const QString invariato = cartella_.filePath(QStringLiteral("Perix-%1-invariato").arg(tipo));
        QVERIFY(attivaConFile(w, QStringLiteral("salvanome"), invariato));
        QCOMPARE(contenuto(invariato), vecchio);

        Allegato a = w->allegato();
        a.incarico = incaricoEsempio();
        w->impostaAllegato(a);
        if (!dimensione.isEmpty())
            digita(w, QStringLiteral("dimensione"), dimensione);
        const QString percorso = cartella_.filePath(QStringLiteral("Perix-%1-incarico").arg(tipo));
        QVERIFY(attivaConFile(w, QStringLiteral("salvanome"), percorso));
        const QByteArray salvato = contenuto(percorso);
        QVERIFY(salvato.startsWith(vecchio));
        const auto letto = allegatoDaDati(salvato);
        QVERIFY(letto);
        QCOMPARE(letto->incarico, incaricoEsempio());
        QCOMPARE(letto->dimensione, dimensione);

        sessioneNuova();
        mostraFinestraStima(numero);
        w = stimaAperta(numero);
        QVERIFY(attivaConFile(w, QStringLiteral("apri"), percorso));
        QCOMPARE(w->allegato().incarico, incaricoEsempio());
        if (!dimensione.isEmpty())
            QCOMPARE(testo(w, QStringLiteral("dimensione")), dimensione);
        QCOMPARE(w->frontespizio().file, QFileInfo(percorso).fileName());
        PERIX_NESSUNA_DOMANDA_SOSPESA();
    }

    // The report's first page with and without the job's data, as the PDF prints it: the
    // heading, the file's name and the page number at the foot, the signature lines unless
    // the surveyor signs digitally.
    void testoDelRapporto_data()
    {
        QTest::addColumn<bool>("conDati");
        QTest::addColumn<bool>("firmaDigitale");
        QTest::addColumn<QStringList>("presenti");
        QTest::addColumn<QStringList>("assenti");
        const QStringList dati{"Committente: Impresa Rossi S.r.l.", "Immobile: Lotto edificabile in via Roma",
                               "Ubicazione: via Roma 12, Alessandria",
                               "Dati catastali: C.T foglio 12 particella 345; C.F foglio 12 particella 346 sub. 7",
                               "Data della stima: 9 dicembre 2026", "Tecnico: geom. Mario Bianchi",
                               "Perix-menu-via-roma"};
        QTest::newRow("senza dati") << false << false << QStringList{"Luogo e data", "Il tecnico", "Pagina 1 di 1"}
                                    << QStringList{"Committente", "Tecnico:", "Data della stima"};
        QTest::newRow("con i dati") << true << false
                                    << dati + QStringList{"Luogo e data", "Il tecnico", "Pagina 1 di 1"}
                                    << QStringList{};
        QTest::newRow("firma digitale") << true << true << dati + QStringList{"Pagina 1 di 1"}
                                        << QStringList{"Luogo e data", "Il tecnico"};
    }
    void testoDelRapporto()
    {
        QFETCH(bool, conDati);
        QFETCH(bool, firmaDigitale);
        QFETCH(QStringList, presenti);
        QFETCH(QStringList, assenti);
        if (eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("pdftotext non è installato");
        DatiRapportoMenu d = datiMenuEsempio();
        d.procedimento = false;
        if (conDati)
            d.frontespizio = {incaricoEsempio(), tecnicoEsempio(), QStringLiteral("Perix-menu-via-roma")};
        d.frontespizio.tecnico.firmaDigitale = firmaDigitale;
        const auto doc = documentoMenu(d);
        const QString pdf = testoPdf(*doc, cartella_.filePath(QStringLiteral("rapporto.pdf"))).simplified();
        for (const QString &t : presenti)
            QVERIFY2(pdf.contains(t), qPrintable(t + QStringLiteral(" in: ") + pdf));
        for (const QString &t : assenti)
            QVERIFY2(!pdf.contains(t), qPrintable(t));
        // The figures stay where they were: the heading comes before them.
        QVERIFY(pdf.indexOf(QStringLiteral("Dati per la stima")) > pdf.indexOf(QStringLiteral("Perix")));
        if (conDati) {
            const QString info = poppler(QStringLiteral("pdfinfo"), cartella_.filePath(QStringLiteral("rapporto.pdf")));
            QVERIFY2(info.contains(QStringLiteral("Lotto edificabile in via Roma")), qPrintable(info));
            QVERIFY2(info.contains(QStringLiteral("geom. Mario Bianchi")), qPrintable(info));
            QVERIFY2(info.contains(QStringLiteral("per Impresa Rossi S.r.l.")), qPrintable(info));
        }
    }

    // Every page of a three-page report says which it is, and of how many; the signature
    // closes the report, before the trail's annexes where there are some.
    void numeriDiPagina_data()
    {
        QTest::addColumn<bool>("procedimento");
        QTest::addColumn<int>("paginaFirma");
        QTest::newRow("tabella lunga") << false << 3;
        QTest::newRow("procedimento e sensibilità") << true << 1;
    }
    void numeriDiPagina()
    {
        QFETCH(bool, procedimento);
        QFETCH(int, paginaFirma);
        if (eseguibile({QStringLiteral("pdftotext")}).isEmpty())
            QSKIP("pdftotext non è installato");
        const Frontespizio f{incaricoEsempio(), tecnicoEsempio(), QStringLiteral("Perix-menu-lunga")};
        std::unique_ptr<Document> doc;
        if (procedimento) {
            DatiRapportoMenu d = datiMenuEsempio();
            d.procedimento = true;
            d.frontespizio = f;
            doc = documentoMenu(d);
        }
        // Otherwise a report with a table long enough for three pages.
        for (int righe = 40; !procedimento && righe < 400 && (!doc || doc->pageCount() < 3); righe += 10) {
            Rapporto r(QStringLiteral("tabella lunga"));
            r.intestazione(f);
            QList<QStringList> tabella{{QStringLiteral("riga"), QStringLiteral("valore")}};
            for (int i = 1; i <= righe; ++i)
                tabella.append({QStringLiteral("riga %1").arg(i), QString::number(i * 1000)});
            r.tabella(tabella);
            doc = r.prendi();
        }
        QCOMPARE(doc->pageCount(), 3);
        const QString percorso = cartella_.filePath(QStringLiteral("tre.pdf"));
        for (int p = 1; p <= 3; ++p) {
            const QString t = testoPdf(*doc, percorso, p);
            for (int q = 1; q <= 3; ++q)
                QCOMPARE(t.contains(QStringLiteral("Pagina %1 di 3").arg(q)), p == q);
            QVERIFY(t.contains(QStringLiteral("Perix-menu-lunga")));
            QCOMPARE(t.contains(QStringLiteral("Luogo e data")), p == paginaFirma);
            QCOMPARE(t.contains(QStringLiteral("Il tecnico")), p == paginaFirma);
        }
    }

    // A cost window's total goes into the main window's total costs with its source, which the
    // report and its trail name; another figure typed there takes the source away.
    void costoPortato_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("totale");
        QTest::addColumn<QString>("fonte");
        // The samples' unit costs: medie-civili 1.250 per m² gross, typology 3 1.350 per m²
        // net, class 6 420 per m³, each for 500 units.
        QTest::newRow("costi sintetici") << 3 << "sint" << "625000"
                                         << "finestra Costi sintetici, medie-civili: 1.250 €/m² × 500 m² = 625.000 €";
        QTest::newRow("costi per tipologie") << 4 << "tipol" << "675000"
                                             << "finestra Costi per tipologie, Edifici continui (3 piani): 1.350 €/m² × 500 m² = 675.000 €";
        QTest::newRow("costi per altezze") << 5 << "alt" << "210000"
                                           << "finestra Costi per altezze, 6 piani + cantinato (1 ascensore): 420 €/m³ × 500 m³ = 210.000 €";
    }
    void costoPortato()
    {
        QFETCH(int, numero);
        QFETCH(QString, tipo);
        QFETCH(QString, totale);
        QFETCH(QString, fonte);
        mostraFinestraStima(1);
        auto *m = static_cast<menu *>(stimaAperta(1));
        stimaArea(m);
        mostraFinestraStima(numero);
        FinestraStima *w = stimaAperta(numero);
        QVERIFY(attivaConFile(w, QStringLiteral("apri"), esempio(tipo)));
        clicca(w, QStringLiteral("portacosto")); // no size yet: said, nothing carried
        QCOMPARE(ultimoMostrato().icona, dialoghi::Icona::Stop);
        QCOMPARE(testo(m, QStringLiteral("costitotali")), QStringLiteral("500000"));
        digita(w, QStringLiteral("dimensione"), QStringLiteral("500"));
        QVERIFY(testo(w, QStringLiteral("costototale")).contains(formatta(totale, Schema::Intero)));
        QVERIFY(clicca(w, QStringLiteral("portacosto")));
        QCOMPARE(testo(m, QStringLiteral("costitotali")), totale);
        QVERIFY(m->allegato().costo);
        const auto d = m->datiRapporto();
        QVERIFY(d && d->fonteCosto);
        DatiRapportoMenu conTraccia = *d;
        conTraccia.procedimento = true;
        const QString testoRapporto = documentoMenu(conTraccia)->toPlainText().simplified();
        QVERIFY2(testoRapporto.contains(QStringLiteral("Costi totali dalla ") + fonte), qPrintable(testoRapporto));
        QVERIFY(testoRapporto.contains(QStringLiteral("Origine dei costi totali")));
        QCOMPARE(testoRapporto.count(fonte), 2); // under the tables and in the trail

        // Saved with the main window's figures, and read back with them.
        const QString percorso = cartella_.filePath(QStringLiteral("Perix-menu-costo-") + tipo);
        QVERIFY(attivaConFile(m, QStringLiteral("salvanome"), percorso));
        QCOMPARE(allegatoDaDati(contenuto(percorso))->costo, m->allegato().costo);

        digita(m, QStringLiteral("costitotali"), QStringLiteral("700000"));
        QVERIFY(!m->allegato().costo);
        QVERIFY(!m->datiRapporto()->fonteCosto);
        QVERIFY(!documentoMenu(*m->datiRapporto())->toPlainText().contains(QStringLiteral("Costi totali dalla")));
    }

    // The batch prints the file's job data, the surveyor of the settings and the file's name.
    void lotto()
    {
        salvaTecnico(tecnicoEsempio());
        const QString file = cartella_.filePath(QStringLiteral("Perix-menu-lotto"));
        Allegato a;
        a.incarico = incaricoEsempio();
        QVERIFY(scrivi(file, contenuto(esempio(QStringLiteral("menu"))) + codificaRecord(righeAllegato(a))));
        const QString pdf = cartella_.filePath(QStringLiteral("lotto.pdf"));
        const EsitoRapporto e = rapportoDiFile(file, pdf);
        QVERIFY2(e.riuscito, qPrintable(e.motivo));
        const QString t = poppler(QStringLiteral("pdftotext"), pdf).simplified();
        for (const char *atteso : {"Committente: Impresa Rossi S.r.l.", "Tecnico: geom. Mario Bianchi",
                                   "Perix-menu-lotto", "Pagina 1 di 1", "Luogo e data"})
            QVERIFY2(t.contains(QString::fromUtf8(atteso)), atteso);
    }

private:
    QTemporaryDir cartella_;
};

QTEST_MAIN(ProvaIncarico)
#include "prova_incarico.moc"
