#include "estimates/disaggregati.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"

#include "ui/controlli.h"
#include "ui/dialoghi.h"
#include "reports/foglio.h"
#include "reports/documento.h"
#include "ui/modulo.h"
#include "ui/registro.h"
#include "ui/comandi.h"
#include "core/calcoli.h"
#include "estimates/menu.h"
#include "core/numeri.h"
#include "reports/rapporti_costi.h"

#include <QGroupBox>
#include <QIcon>

namespace perix {

namespace {

const QString passoIniziale = QStringLiteral("leggere i risultati nella tabella di sinistra, azzerare con il "
                                             "corrispondente tasto X i lavori non necessari");

const QString versoMenu =
    QStringLiteral("Impostare i costi disaggregati e scegliere la tipologia del fabbricato nella finestra Menu!");

QList<MenuCornice> menuDisaggregati()
{
    QList<MenuCornice> m = rinominaMenu(
        menuPredefiniti(),
        {{"file", "fil"}, {"modifica", "modif"}, {"visualizza", "vis"}, {"cancelladati", "cancella"},
         {"informazioni", "informaz"}},
        {{"apri", "Apri..."}, {"salva", "Salva"}, {"salvanome", "Salva con nome..."}, {"eliminare", "Elimina..."},
         {"solodati", "Stampa dati finestra"}, {"esci", "Esci"}, {"colorare", "Colore di sfondo"},
         {"controlla", "Controlla dati immessi"}, {"cancelladati", "Cancella dati finestra"},
         {"guidainlinea", "Guida in linea"}, {"sugger", "Suggerimenti..."}, {"supporto", "Supporto prodotto"},
         {"informazioni", "Informazioni su Perix"}});
    // The separators have names of their own in this window.
    const QHash<QString, QStringList> separatori{
        {QStringLiteral("fil"), {"l5", "l6", "l7", "l8"}},
        {QStringLiteral("modif"), {"l3", "l4"}},
        {QStringLiteral("interr"), {"l1", "l2"}}};
    for (MenuCornice &menu : m) {
        const QStringList nomi = separatori.value(menu.nome);
        int i = 0;
        for (VoceMenu &v : menu.voci)
            if (!v.comando && i < nomi.size())
                v.nome = nomi[i++];
    }
    return m;
}

template <typename Azione>
void pulsanteFigura(QWidget *genitore, const char *nome, const char *testo, const char *icona,
                    const char *suggerimento, QRect r, Azione azione)
{
    auto *b = new QToolButton(genitore);
    b->setObjectName(QString::fromLatin1(nome));
    b->setText(QString::fromUtf8(testo));
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icona))));
    b->setIconSize(QSize(18, 18));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setToolTip(QString::fromUtf8(suggerimento));
    b->setGeometry(r);
    QObject::connect(b, &QToolButton::clicked, genitore, azione);
}

} // namespace

risultatidisaggregati::risultatidisaggregati()
    : FinestraCosti(descrizioneCosti(2, "Costi disaggregati",
                                     "Perix: risultati della stima dei costi di costruzione disaggregati",
                                     menuDisaggregati(), 124),
                    QStringLiteral("risultatidisaggregati"))
{
    m_aiuto = QStringLiteral("- I dati provengono dalla finestra Menu;\r"
                             "- oppure aprire un file appropriato (Perix-disaggr-...) per prelevarne;\r"
                             "- il tasto X, accanto alle varie voci di costo, consente di ridistribuire le "
                             "percentuali relative.");
    creaControlli();
    // The typed slots would otherwise hold figures these empty fields do not show.
    Modulo::percimmesse.fill(Valore{});
    dichiaraArchivio({.prefisso = QStringLiteral("Perix-disaggr-"),
                      .titoloApri = QStringLiteral("Apri file (costi di costruzione disaggregati)"),
                      .riconosci = eRecordDisaggregati},
                     [this](QString *rifiuto) { return scrividisaggregati(rifiuto); });
    dichiaraRapporto([this](QString *rifiuto) { return rapportoDi(datiRapporto(rifiuto), rapportoDisaggregati); });
    dichiaraFoglio([this](QString *rifiuto) { return foglioDi(datiRapporto(rifiuto), scriviFoglioDisaggregati); });
    completaCaricamento(QSize(640, 395));
}

void risultatidisaggregati::creaControlli()
{
    QWidget *a = area();
    auto *Frame1 = new QGroupBox(QStringLiteral("Ripartizione dei costi tra le singole opere"), a);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(6, 2, 440, 282);
    QFont tabella = Frame1->font();
    tabella.setPointSizeF(tabella.pointSizeF() - 1);
    Frame1->setFont(tabella);
    const Qt::Alignment destra = Qt::AlignRight | Qt::AlignVCenter;
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        const int y = 20 + (k - 1) * 16;
        etichetta(Frame1, QStringLiteral("Label1(%1)").arg(k - 1), nomeCategoria(k), {4, y, 186, 16});
        annulla[i] = pulsante(Frame1, QStringLiteral("annulla(%1)").arg(k), QStringLiteral("X"), {192, y + 1, 16, 15},
                              QStringLiteral("cliccare sulla X per annullare i costi relativi, qualora non ricorrano, "
                                             "e ridistribuirli tra le restanti categorie di opere e lavori"),
                              [this, k] { annulla_Click(k); });
        p1[i] = etichetta(Frame1, QStringLiteral("p1(%1)").arg(k), {}, {210, y, 40, 16}, destra);
        ris[i] = etichetta(Frame1, QStringLiteral("ris(%1)").arg(k), {}, {252, y, 66, 16}, destra);
        p2[i] = new QLineEdit(Frame1);
        p2[i]->setObjectName(QStringLiteral("p2(%1)").arg(k));
        p2[i]->setGeometry(322, y, 46, 16);
        p2[i]->setAlignment(destra);
        p2[i]->setTextMargins(0, 0, 0, 0);
        p2[i]->setToolTip(QStringLiteral("immetti percentuali o richiamale da un file archiviato"));
        senzaControlli(p2[i]);
        ris2[i] = etichetta(Frame1, QStringLiteral("ris2(%1)").arg(k), {}, {370, y, 66, 16}, destra);
        connect(p2[i], &QLineEdit::textChanged, this, [this, k] { p2_Change(k); });
        // The columns have no headings on screen: each cell says its category and column.
        const QString categoria = accessibile::pulito(nomeCategoria(k));
        accessibile::nomina(annulla[i], QStringLiteral("Annulla %1").arg(categoria));
        accessibile::nomina(p2[i], QStringLiteral("Percentuale immessa: %1").arg(categoria));
        accessibile::cella(p1[i], categoria, QStringLiteral("percentuale preimpostata"));
        accessibile::cella(ris[i], categoria, QStringLiteral("costo con la percentuale preimpostata"));
        accessibile::cella(ris2[i], categoria, QStringLiteral("costo con la percentuale immessa"));
    }

    // The typed-percentage commands, beside the common buttons.
    pulsanteFigura(a, "aprip", "apri percentuali", "apri",
                   "cliccare per richiamare le eventuali percentuali archiviate e immesse manualmente",
                   {276, 292, 170, 24}, [this] { aprip_Click(); });
    pulsanteFigura(a, "preimp", "% preimpostate", "percentuali", "cliccare per richiamare le percentuali preimpostate",
                   {276, 318, 170, 24}, [this] { preimp_Click(); });
    pulsanteFigura(a, "archiviap", "archivia %", "salva", "cliccare per archiviare le percentuali immesse manualmente",
                   {276, 344, 170, 24}, [this] { archiviap_Click(); });
    frame3()->setGeometry(6, 288, 262, 80);

    // The figures on the right, each caption above its value.
    const int x = 452, w = 182;
    soldi()->setGeometry(x, 2, w, 18);
    soldi()->setToolTip(QStringLiteral("valuta scelta nella finestra 'Menu' o prelevata da archivio"));
    soldi()->setTextFormat(Qt::PlainText);
    m_tipoedi = etichetta(a, QStringLiteral("tipoedi"), {}, {x, 20, w, 34}, Qt::AlignLeft | Qt::AlignVCenter,
                          "tipo di edificio scelto nella finestra Menu o prelevato da archivio");
    m_tipoedi->setWordWrap(true); // "Edificio di caratteristiche evolute" takes two lines
    QFont grassetto = m_tipoedi->font();
    grassetto.setBold(true);
    m_tipoedi->setFont(grassetto);
    accessibile::risultato(m_tipoedi, QStringLiteral("Tipo di edificio"));
    struct Cifra { const char *didascalia, *nome, *suggerimento, *nomeValore, *suggerimentoValore; int y; QLabel **valore; };
    const Cifra cifre[] = {
        {" Valore di mercato dell'edificio", "Label2(1)",
         "il valore dell'edificio di cui ai costi di costruzione riportati a lato per categorie di lavoro", "vm",
         "dato digitato nella finestra Menu", 56, &m_vm},
        {" Costo di costruzione", "Label2(0)", "il totale dei costi disaggregati a lato per categorie", "cc",
         "dato digitato nella finestra Menu", 98, &m_cc},
        {" Profitto netto", "Label2(2)", "il guadagno derivante dalla costruzione del fabbricato", "profitto",
         "risultato dalla differenza dei valori soprariportati", 140, &m_profitto},
    };
    const QString riquadro = QStringLiteral("QLabel { border: 1px solid #b4bcc6; border-radius: 2px;"
                                            " background: #f7f9fb; padding: 0 4px; }");
    for (const Cifra &c : cifre) {
        QLabel *caption = etichetta(a, QString::fromLatin1(c.nome), QString::fromUtf8(c.didascalia), {x, c.y, w, 18},
                                    Qt::AlignLeft | Qt::AlignVCenter, c.suggerimento);
        *c.valore = etichetta(a, QString::fromLatin1(c.nomeValore), {}, {x, c.y + 18, w, 22}, destra,
                              c.suggerimentoValore);
        accessibile::risultato(*c.valore, caption);
        (*c.valore)->setStyleSheet(riquadro);
    }
    Label3 = etichetta(a, QStringLiteral("Label3"),
                       QStringLiteral("Cliccare sul tasto X corrispondente alla categoria di lavoro che si vuole "
                                      "annullare per la ridistribuzione del relativo costo stimato."),
                       {x, 184, w, 58}, Qt::AlignLeft | Qt::AlignTop);
    Label3->setWordWrap(true);
    Label3->setFont(tabella);

    creaWeb(a, {x, 244, w, 122}, {QRect{8, 20, 166, 28}, QRect{8, 54, 166, 28}, QRect{8, 88, 166, 28}}, 18);

    passo = etichetta(a, QStringLiteral("passo"), passoIniziale,
                      {6, 370, 628, 22}, Qt::AlignLeft | Qt::AlignVCenter,
                      "indicazioni in linea sulla immissione dei dati");
    stilePasso(passo, true);
    accessibile::voce(passo);
    QFont corto = passo->font();
    corto.setPointSizeF(corto.pointSizeF() - 1);
    passo->setFont(corto);
}

std::optional<double> risultatidisaggregati::baseCosti(bool avvisa)
{
    const menu *m = registro::seEsiste<menu>();
    const QString testo = m ? m->testoCostitotali() : QString();
    if (testo.isEmpty())
        return std::nullopt; // no cost base (a file opened in a fresh run): nothing to compute
    if (const auto C = letturaLocale(testo)) {
        // The base reads again: the word about the wrong figure goes.
        if (m_avvisoBase) {
            passo->setText(passoIniziale);
            m_avvisoBase = false;
        }
        return C;
    }
    const QString detto = QStringLiteral("Il dato dei costi totali della finestra Menu \"%1\" non è un numero valido: "
                                         "correggerlo per ricalcolare gli importi.").arg(testo);
    if (avvisa)
        dialoghi::stop(this, detto, Modulo::titolocontrollo);
    else {
        passo->setText(detto);
        m_avvisoBase = true;
    }
    return std::nullopt;
}

void risultatidisaggregati::ricevi(const QString &tipoedi, const QString &vm, const QString &cc,
                                   const QString &profitto)
{
    m_tipoedi->setText(tipoedi);
    m_cc->setText(cc);
    m_vm->setText(vm);
    m_profitto->setText(profitto);
    // A percentages file read while there was no cost base left the preset columns
    // waiting; new figures from the main window always fill them.
    m_modoricalcolo = 0;
    calcolo();
}

void risultatidisaggregati::calcolo()
{
    if (m_vm->text().isEmpty() || m_cc->text().isEmpty())
        return;
    const auto C = baseCosti(false);
    if (!C)
        return; // never amounts of zero beside the figures shown
    if (m_modoricalcolo != 2)
        for (int k = 1; k <= categorie; ++k) {
            const double quota = Modulo::percentualiclasse[std::size_t(k)];
            ris[std::size_t(k)]->setText(importo(*C, quota, 10000));
            p1[std::size_t(k)]->setText(percentuale(quota / 100));
        }
    if (sommaCento(sommaImmesse()))
        for (int k = 1; k <= categorie; ++k) {
            const Valore &slot = Modulo::percimmesse[std::size_t(k)];
            if (std::holds_alternative<std::monostate>(slot))
                continue;
            // An emptied field, or one that is no number, has no amount of its own.
            const auto v = valorePercentuale(slot);
            ris2[std::size_t(k)]->setText(v ? importo(*C, *v, 100) : QString());
        }
    m_modoricalcolo = 0;
}

double risultatidisaggregati::sommaImmesse() const
{
    std::array<QString, categorie + 1> testi;
    for (int k = 1; k <= categorie; ++k)
        testi[std::size_t(k)] = p2[std::size_t(k)]->text();
    return sommaPercentuali(testi);
}

void risultatidisaggregati::p2_Change(int Index)
{
    Modulo::percimmesse[std::size_t(Index)] = p2[std::size_t(Index)]->text();
    if (m_modoricalcolo != 1)
        calcolo();
}

void risultatidisaggregati::mandaAMenu()
{
    dialoghi::stop(this, versoMenu, Modulo::titolocontrollo);
    registro::mostra<menu>();
}

void risultatidisaggregati::preimp_Click()
{
    mandaAMenu();
}

void risultatidisaggregati::annulla_Click(int Index)
{
    if (Index < 1 || Index > categorie)
        return;
    const auto i = std::size_t(Index);
    // The last category left holds the whole cost: it cannot go.
    const auto tutto = [](const QString &t) {
        const auto v = valorePercentuale(t);
        return v && std::fabs(*v - 100) < 1e-9;
    };
    if (tutto(p1[i]->text()) || tutto(p2[i]->text()))
        return;
    if (p1[1]->text().isEmpty()) {
        mandaAMenu();
        return;
    }
    const auto C = baseCosti(true);
    if (!C)
        return;
    m_modoricalcolo = 1;
    const Ridistribuzione r = ridistribuisci(Modulo::percentualiclasse, Modulo::percimmesse, Index);
    Modulo::percentualiclasse = r.preset;
    Modulo::percimmesse[i] = 0.0;
    p1[i]->setText(QStringLiteral("0"));
    p2[i]->setText(QStringLiteral("0"));
    for (int k = 1; k <= categorie; ++k) {
        const auto j = std::size_t(k);
        if (k == Index) {
            ris[j]->setText(QStringLiteral("0"));
            ris2[j]->setText(QStringLiteral("0"));
            continue;
        }
        p1[j]->setText(percentuale(r.preset[j] / 100));
        ris[j]->setText(importo(*C, r.preset[j], 10000));
        if (!r.immesse)
            continue;
        const double v = (*r.immesse)[j];
        Modulo::percimmesse[j] = v;
        // A changed text is stored back rounded by the change; an unchanged one keeps v.
        p2[j]->setText(percentuale(v));
        ris2[j]->setText(importo(*C, valorePercentuale(Modulo::percimmesse[j]).value_or(0.0), 100));
    }
    m_modoricalcolo = 0;
}

const DescrizioneArchivio &risultatidisaggregati::archivioPercentuali()
{
    static const DescrizioneArchivio a{
        .prefisso = QStringLiteral("Perix-percentuali-"),
        .titoloApri = QStringLiteral("Apri file (percentuali costi di costruzione disaggregati)"),
        .nomeProposto = QStringLiteral("Perix-percentuali-"),
        .salvaConTuttiIFile = true};
    return a;
}

void risultatidisaggregati::archiviap_Click()
{
    const double S = sommaImmesse();
    if (!sommaCento(S)) {
        dialoghi::stop(this,
                       QStringLiteral("La somma delle percentuali è uguale a ") + testoSomma(S)
                           + QStringLiteral(": correggerla per avere 100."),
                       Modulo::titolocontrollo);
        return;
    }
    // A file name of their own: "Salva" never writes the window's record over them.
    m_nomefilePercentuali.clear();
    const Record record = [] {
        Record r;
        for (int k = 1; k <= categorie; ++k)
            r.append(Riga{Modulo::percimmesse[std::size_t(k)]});
        return r;
    }();
    // A schedule is not the window's record: the title keeps the record's file.
    if (salvaArchivio(this, archivioPercentuali(), m_nomefilePercentuali,
                      QStringLiteral("Salva file (percentuali costi di costruzione disaggregati)"), record,
                      Modulo::titolocontrollo))
        annunciaSalvataggio(m_nomefilePercentuali);
}

void risultatidisaggregati::aprip_Click()
{
    const auto campi = perix::apriArchivio(this, archivioPercentuali(), m_nomefilePercentuali, categorie,
                                           Modulo::titolocontrollo);
    if (!campi)
        return;
    for (int k = 1; k <= categorie; ++k)
        Modulo::percimmesse[std::size_t(k)] = campi->at(k - 1).valore();
    m_modoricalcolo = 2;
    for (int k = 1; k <= categorie; ++k) {
        const Valore v = Modulo::percimmesse[std::size_t(k)];
        QString t;
        if (const auto *s = std::get_if<QString>(&v))
            t = *s;
        else if (const auto *n = std::get_if<double>(&v))
            t = testoNumero(*n);
        p2[std::size_t(k)]->setText(t);
    }
}

void risultatidisaggregati::controlla_click()
{
    const bool manca = soldi()->text().isEmpty() || m_tipoedi->text().isEmpty()
        || letturaSemplice(m_vm->text()) == 0 || letturaSemplice(m_cc->text()) == 0;
    if (manca)
        dialoghi::stop(this,
                       QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati o prelevarne da un file "
                                      "archiviato (Perix-disaggr-...)."),
                       Modulo::titolocontrollo);
    else
        dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                            dialoghi::Icona::Informazione);
}

void risultatidisaggregati::cancelladati_Click()
{
    for (QLabel *l : {soldi(), m_tipoedi, m_vm, m_cc, m_profitto})
        l->clear();
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        p1[i]->clear();
        ris[i]->clear();
        p2[i]->setText(QStringLiteral("0"));
        ris2[i]->setText(QStringLiteral("0"));
    }
}

void risultatidisaggregati::apri_Click()
{
    const auto r = apriArchivio(5 + categorie, [](const QList<Campo> &campi, QString *) { return leggiDisaggregati(campi); });
    if (!r)
        return;
    soldi()->setText(r->soldi);
    Modulo::etichettavaluta = r->soldi;
    m_tipoedi->setText(r->tipoedi);
    m_vm->setText(r->vm);
    m_cc->setText(r->cc);
    m_profitto->setText(r->profitto);
    for (int k = 1; k <= categorie; ++k)
        ris[std::size_t(k)]->setText(r->ris[std::size_t(k)]);
    fileAperto(nomefile());
}

std::optional<Record> risultatidisaggregati::scrividisaggregati(QString *rifiuto) const
{
    if (m_vm->text().isEmpty())
        return rifiuta(rifiuto, QStringLiteral("Non esistono dati da archiviare."));
    RecordDisaggregati r{soldi()->text(), m_tipoedi->text(), m_vm->text(), m_cc->text(), m_profitto->text(), {}};
    for (int k = 1; k <= categorie; ++k)
        r.ris[std::size_t(k)] = ris[std::size_t(k)]->text();
    return recordDisaggregati(r);
}

std::optional<DatiRapportoDisaggregati> risultatidisaggregati::datiRapporto(QString *rifiuto) const
{
    if (soldi()->text().isEmpty())
        return rifiuta(rifiuto, nienteDaStampare());
    DatiRapportoDisaggregati d{soldi()->text(), m_tipoedi->text(), m_vm->text(), m_cc->text(), m_profitto->text(),
                               {}, {}, {}, {}};
    for (int k = 1; k <= categorie; ++k) {
        const auto i = std::size_t(k);
        d.p1[i] = p1[i]->text();
        d.ris[i] = ris[i]->text();
        d.p2[i] = p2[i]->text();
        d.ris2[i] = ris2[i]->text();
    }
    return d;
}

} // namespace perix
