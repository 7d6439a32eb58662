#include "reports/rapporti.h"

#include "core/omi.h"

#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "core/calcoli.h"
#include "core/numeri.h"
#include "core/calcoli_procedimento.h"
#include "core/scrittura.h"
#include "reports/finestrareport.h"
#include "reports/rapporto_procedimento.h"

#include <QApplication>
#include <QSettings>

#include <algorithm>

namespace perix {

Rapporto::Rapporto(const QString &nome, Avvio avvio)
    : nome_(nome), proprio_(std::make_unique<Document>()), documento_(proprio_.get())
{
    documento_->setMetaInformation(QTextDocument::DocumentTitle, titoloDocumento(nome));
    prepara(avvio);
}

Rapporto::Rapporto(Document *documento, Avvio avvio) : documento_(documento)
{
    if (!documento_) {
        motivo_ = QStringLiteral("il documento non c'è più");
        return;
    }
    prepara(avvio);
}

Rapporto::~Rapporto() { chiudiBlocco(); }

void Rapporto::chiudiBlocco()
{
    chiusura();
    if (!blocco_.isNull() && documento_)
        blocco_.endEditBlock();
    blocco_ = QTextCursor();
}

void Rapporto::prepara(Avvio avvio)
{
    blocco_ = QTextCursor(documento_.data());
    blocco_.beginEditBlock();
    if (avvio == Avvio::Completo) {
        Document *d = documento_;
        d->setParagraphSpacing(12);
        d->setPaperA4();
        d->selection().setFontName(QStringLiteral("Century Gothic"));
    }
}

bool Rapporto::valido() const { return documento_ != nullptr; }
QString Rapporto::motivo() const { return motivo_; }
QString Rapporto::nome() const { return nome_; }
Document *Rapporto::documento() const { return documento_; }
Selection *Rapporto::selezione() const { return documento_ ? &documento_->selection() : nullptr; }

void Rapporto::intestazione(const Frontespizio &frontespizio)
{
    frontespizio_ = frontespizio;
    firmato_ = false;
    scrivi(20, Modulo::nomeprogramma + QLatin1Char('\r'));
    const QList<VoceFrontespizio> voci = vociFrontespizio(frontespizio, QDate::currentDate());
    Selection *s = selezione();
    if (voci.isEmpty() || !s) {
        scrivi(16, Modulo::descrizioneprogramma + QStringLiteral("\r\r"));
        return;
    }
    scrivi(16, Modulo::descrizioneprogramma + QLatin1Char('\r'));
    // One paragraph, its lines broken inside it: compact, and kept together.
    s->setFontSize(10);
    for (qsizetype i = 0; i < voci.size(); ++i) {
        s->setBold(true);
        s->typeText(voci[i].etichetta + QStringLiteral(": "));
        s->setBold(false);
        s->typeText(voci[i].testo + (i + 1 < voci.size() ? QString(QChar::LineSeparator) : QStringLiteral("\r")));
    }
}

void Rapporto::firma()
{
    if (!frontespizio_ || firmato_ || !documento_)
        return;
    firmato_ = true;
    if (frontespizio_->tecnico.firmaDigitale)
        return;
    Selection &s = documento_->selection();
    const QString riga(30, u'_');
    s.endKey();
    s.setBold(false);
    s.setFontSize(10);
    s.setAlignment(Alignment::Left);
    s.typeText(QStringLiteral("\rLuogo e data  ") + riga + u'\r');
    s.setAlignment(Alignment::Right);
    const QString nome = firmaTecnico(frontespizio_->tecnico);
    s.typeText(QStringLiteral("Il tecnico") + QChar(QChar::LineSeparator)
               + (nome.isEmpty() ? QString() : nome + QChar(QChar::LineSeparator)) + QChar(QChar::LineSeparator) + riga);
}

void Rapporto::chiusura()
{
    if (!frontespizio_ || !documento_)
        return;
    firma();
    const Frontespizio f = *std::exchange(frontespizio_, std::nullopt);
    Document *d = documento_;
    d->setPageFooter(true, f.file);
    if (!f.incarico.oggetto.trimmed().isEmpty())
        d->setMetaInformation(QTextDocument::DocumentTitle, f.incarico.oggetto.trimmed());
    d->setAuthor(firmaTecnico(f.tecnico));
    if (!nome_.isEmpty()) {
        const QString committente = f.incarico.committente.trimmed();
        d->setSubject(nome_.left(1).toUpper() + nome_.mid(1)
                      + (committente.isEmpty() ? QString() : QStringLiteral(" per ") + committente));
    }
}

void Rapporto::scrivi(double punti, const QString &testo)
{
    if (Selection *s = selezione()) {
        s->setFontSize(punti);
        s->typeText(testo);
    }
}

void Rapporto::scrivi(const QString &testo)
{
    if (Selection *s = selezione())
        s->typeText(testo);
}

void Rapporto::interruzionePagina()
{
    if (Selection *s = selezione())
        s->insertPageBreak();
}

Range Rapporto::paragrafoInFondo()
{
    Document *d = documento();
    return d ? d->addParagraph() : Range();
}

Range Rapporto::paragrafoInFondo(double punti, const QString &testo)
{
    Range r = paragrafoInFondo();
    r.setFontSize(punti);
    r.setText(testo);
    return r;
}

Table Rapporto::tabella(const QList<QStringList> &righe, std::optional<double> punti, int formato)
{
    qsizetype colonne = 1;
    for (const QStringList &r : righe)
        colonne = std::max(colonne, r.size());
    return tabella(int(righe.size()), int(colonne), righe, punti, formato);
}

Table Rapporto::tabella(int righe, int colonne, const QList<QStringList> &contenuto,
                        std::optional<double> punti, int formato)
{
    Document *d = documento();
    if (!d)
        return {};
    return d->addTable(righe, colonne, contenuto, punti, formato);
}

void Rapporto::allinea(int tabella, int colonna, Alignment allineamento)
{
    Document *d = documento();
    if (!d)
        return;
    d->table(tabella).column(colonna).select();
    d->selection().setAlignment(allineamento);
}

void Rapporto::allinea(int tabella, std::initializer_list<int> colonne)
{
    for (int colonna : colonne)
        allinea(tabella, colonna);
}

void Rapporto::disegno(const Disegno &disegno)
{
    if (Selection *s = selezione())
        s->insertDrawing(disegno);
}

void Rapporto::giustificaTutto()
{
    if (Selection *s = selezione()) {
        s->wholeStory();
        s->setAlignment(Alignment::Justify);
    }
}

bool Rapporto::salva(const QString &percorso, QString *motivo) const
{
    Document *d = documento();
    return d ? d->saveAs(percorso, motivo) : falso(motivo, motivo_);
}

std::unique_ptr<Document> Rapporto::prendi()
{
    chiudiBlocco();
    documento_ = nullptr;
    return std::move(proprio_);
}

finestrareport *Rapporto::mostra(QString *motivo)
{
    if (!proprio_) {
        falso(motivo, motivo_.isEmpty() ? QStringLiteral("il documento non è di questo rapporto") : motivo_);
        return nullptr;
    }
    return mostraRapporto(nome_, prendi(), motivo);
}

namespace {

// The shared references point at the report last shown.
void registra(finestrareport *f)
{
    Document *d = f->documento();
    Modulo::wordapp = f;
    Modulo::worddoc = d;
    const int tabelle = d->tableCount();
    Modulo::wordtabella = tabelle > 0 ? d->table(tabelle).textTable() : nullptr;
}

} // namespace

finestrareport *mostraRapporto(const QString &nome, std::unique_ptr<Document> documento, QString *motivo)
{
    const auto rifiuta = [motivo](const QString &perche) -> finestrareport * {
        falso(motivo, perche);
        return nullptr;
    };
    if (!documento)
        return rifiuta(QStringLiteral("non c'è alcun documento da mostrare"));
    // Without a widget application a window would abort the program: refuse instead.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return rifiuta(QStringLiteral("il programma non ha un ambiente grafico in cui mostrare il documento"));
    auto *f = new finestrareport(nome, documento.release());
    registra(f);
    f->aggiorna();
    f->show();
    f->raise();
    f->activateWindow();
    return f;
}

namespace {

const QString chiaveProcedimento = QStringLiteral("rapporti/procedimentoESensibilita");

QSettings impostazioni() { return QSettings(QStringLiteral("Perix"), QStringLiteral("Perix")); }

void componiMenu(Rapporto &r, const DatiRapportoMenu &d, bool procedimento)
{
    r.intestazione(d.frontespizio);
    r.scrivi(12, QStringLiteral("- Dati per la stima (valori ") + d.valuta + QStringLiteral(")\r"));
    r.paragrafoInFondo();
    r.tabella({
        {QStringLiteral("dati"), QStringLiteral("valori")},
        // Each figure as the valuation read it, decimals included: rounded here, it would
        // stand beside results computed from another value.
        {QStringLiteral("valore di mercato del fabbricato"), figuraStampata(d.valoremercato)},
        {QStringLiteral("costi totali"), figuraStampata(d.costitotali)},
        {QStringLiteral("anni per redditività"), figuraStampata(d.anni)},
        {QStringLiteral("superficie del terreno in mq."), figuraStampata(d.superficie)},
    });
    if (d.omi) {
        r.paragrafoInFondo(12, QStringLiteral("\r- Fonte del valore di mercato\r"));
        // One paragraph, a line for each fact: the source reads as one block.
        r.paragrafoInFondo(10, righeFonteOmi(*d.omi).join(QChar::LineSeparator) + u'\r');
        r.paragrafoInFondo(10, avvertenzaOmi() + u'\r');
    }
    r.paragrafoInFondo(12, QStringLiteral("\r- Risultati della stima (valori ") + d.valuta + QStringLiteral(")\r"));
    r.tabella({
        {QStringLiteral("dati"), QStringLiteral("valori")},
        {QStringLiteral("costo totale massimo dell'area"), d.risultati[1]},
        {QStringLiteral("costo totale minimo dell'area"), d.risultati[2]},
        {QStringLiteral("costo totale medio dell'area"), d.risultati[3]},
        {QStringLiteral("valore massimo dell'area per mq."), d.risultati[4]},
        {QStringLiteral("valore minimo dell'area per mq."), d.risultati[5]},
        {QStringLiteral("valore medio dell'area per mq."), d.risultati[6]},
    });
    r.allinea(1, 2);
    r.allinea(2, 2);
    // What the window shows beside negative results, by the same rule.
    if (risultatoNegativo(d.risultati[5], d.risultati[6]))
        r.paragrafoInFondo(12, u'\r' + avvisoNegativi() + u'\r');
    if (d.fonteCosto) {
        // The figure carried in from a cost window says where it came from, under the tables.
        Selection *s = r.selezione();
        s->endKey();
        s->setFontSize(10);
        s->setBold(false);
        s->setAlignment(Alignment::Left);
        s->typeText(QStringLiteral("Costi totali dalla ") + testoFonteCosto(*d.fonteCosto, unitaValuta(d.valuta))
                    + u'.');
    }
    // The trail and the analysis follow the signed report as its annexes.
    if (procedimento) {
        r.firma();
        sezioniProcedimento(r, d);
    }
}

} // namespace

std::unique_ptr<Document> documentoClassi(const QString &nome, const QString &titolo, const QList<QStringList> &dati,
                                          const QString &didascalia, const QList<QStringList> &classi,
                                          const QList<double> &larghezze, const Frontespizio &frontespizio)
{
    Rapporto r(nome);
    r.intestazione(frontespizio);
    r.scrivi(12, titolo);
    r.tabella(dati);
    r.paragrafoInFondo(12, didascalia);
    r.tabella(classi, std::nullopt).setColumnWidths(larghezze);
    r.allinea(2, {2, 3});
    return r.prendi();
}

bool includiProcedimento() { return impostazioni().value(chiaveProcedimento, false).toBool(); }

void impostaIncludiProcedimento(bool includi) { impostazioni().setValue(chiaveProcedimento, includi); }

std::unique_ptr<Document> documentoMenu(const DatiRapportoMenu &d)
{
    Rapporto r(QStringLiteral("stima area fabbricabile"));
    componiMenu(r, d, d.procedimento.value_or(includiProcedimento()));
    return r.prendi();
}

finestrareport *rapportoMenu(const DatiRapportoMenu &d, QString *motivo)
{
    const bool procedimento = d.procedimento.value_or(includiProcedimento());
    DatiRapportoMenu scelti = d;
    scelti.procedimento = procedimento;
    finestrareport *f = mostraRapporto(QStringLiteral("stima area fabbricabile"), documentoMenu(scelti), motivo);
    if (!f)
        return nullptr;
    // The figures stay those of the click: the window may have changed since.
    f->aggiungiOpzione(QStringLiteral("procedimento"), QStringLiteral("Includi procedimento e sensibilità"),
                       QStringLiteral("aggiunge al documento il procedimento di calcolo e l'analisi di sensibilità"),
                       procedimento, [f, d](bool si) {
                           impostaIncludiProcedimento(si);
                           {
                               Rapporto di(f->documento());
                               componiMenu(di, d, si);
                           }
                           registra(f);
                           f->aggiorna();
                       });
    return f;
}

} // namespace perix

namespace perix::Modulo {

std::unique_ptr<Document> documentoguida()
{
    Rapporto r(QStringLiteral("Guida: ") + titologuida, Avvio::SoloDocumento);
    r.selezione()->setFontName(QStringLiteral("Century Gothic"));
    r.scrivi(20, nomeprogramma + QLatin1Char('\r'));
    r.scrivi(16, descrizioneprogramma + QStringLiteral("\r\r\r"));
    r.scrivi(QStringLiteral("Guida: ") + titologuida + QStringLiteral("\r\r"));
    r.scrivi(12, testoguida + QLatin1Char('\r'));
    r.giustificaTutto();
    return r.prendi();
}

bool stampaguida()
{
    QString motivo;
    if (!mostraRapporto(QStringLiteral("Guida: ") + titologuida, documentoguida(), &motivo)) {
        dialoghi::stop(nullptr, QStringLiteral("Impossibile preparare la pagina della guida: ") + motivo,
                       titolocontrollo);
        return false;
    }
    return true;
}

} // namespace perix::Modulo
