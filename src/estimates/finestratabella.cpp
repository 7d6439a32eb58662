#include "estimates/finestratabella.h"

#include "core/calcoli.h"
#include "core/numeri.h"
#include "ui/accessibile.h"
#include "ui/dialoghi.h"
#include "ui/elementi.h"
#include "ui/modulo.h"

#include <QGroupBox>
#include <QIcon>
#include <QSignalBlocker>

namespace perix {

namespace {

const QColor giallo(255, 255, 0);
const QColor ciano(0, 255, 255);

} // namespace

FinestraTabella::FinestraTabella(const DescrizioneCornice &cornice, const QString &nome, const Descrizione &tabella)
    : FinestraCosti(cornice, nome), m_descrizione(tabella)
{
}

void FinestraTabella::creaRighe(QGroupBox *tabella, const QString &opzione, int xOpzione, int y0, int passoRiga,
                                const std::array<Colonna, 3> &colonne, const Colonna &icona,
                                const QString &suggerimento, bool fissa, const QString &testoOpzione)
{
    const QPixmap moneta = QIcon(QStringLiteral(":/icons/moneta.svg")).pixmap(16, 16);
    m_opzioni = {nullptr};
    m_icone = {nullptr};
    for (QList<QLabel *> &c : m_colonne)
        c = {nullptr};
    for (int i = 1; i <= m_descrizione.righe; ++i) {
        const int y = y0 + (i - 1) * passoRiga;
        auto *o = new Opzione(testoOpzione, tabella);
        o->setObjectName(opzione.arg(i));
        o->setGeometry(xOpzione, y, 18, passoRiga);
        if (fissa)
            o->setFixedWidth(18);
        o->setToolTip(suggerimento);
        o->alClic([this, i] { scegli(i); });
        m_opzioni.append(o);
        QLabel *figura = etichetta(tabella, icona.nome.arg(i), QString(), {icona.x, y, icona.larghezza, passoRiga},
                                   Qt::AlignCenter);
        figura->setPixmap(moneta);
        figura->hide();
        m_icone.append(figura);
        for (int c = 2; c >= 0; --c) {
            const Colonna &k = colonne[std::size_t(c)];
            QLabel *l = etichetta(tabella, k.nome.arg(i), k.testo ? k.testo(i) : QString(),
                                  {k.x, y, k.larghezza, passoRiga - 1});
            l->setAutoFillBackground(true);
            if (c > 0) { // figures, right aligned
                l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                l->setContentsMargins(0, 0, 4, 0);
            }
            m_colonne[std::size_t(c)].append(l); // row i at index i
        }
        coloraRiga(i, giallo);
    }
}

void FinestraTabella::creaCosto(QWidget *genitore, const QString &nome, QRect campo, const QString &suggerimento,
                                QRect nota)
{
    m_costo = new QLineEdit(genitore);
    m_costo->setObjectName(nome);
    m_costo->setGeometry(campo);
    m_costo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_costo->setToolTip(suggerimento);
    senzaControlli(m_costo);
    connect(m_costo, &QLineEdit::textChanged, this, [this] { costo_Change(); });
    m_nota = notaDiscreta(genitore, QStringLiteral("notacosto"), nota);
    accessibile::voce(m_nota, m_costo);
}

void FinestraTabella::nominaCelle(const std::array<QLabel *, 3> &intestazioni)
{
    for (int i = 1; i <= m_descrizione.righe; ++i) {
        const QString riga = accessibile::pulito(testo(0, i));
        accessibile::nomina(m_opzioni.at(i), riga);
        for (int c = 1; c <= 2; ++c)
            accessibile::cella(cella(c, i), riga, intestazioni[std::size_t(c)]->text());
    }
}

void FinestraTabella::coloraRiga(int riga, const QColor &colore)
{
    for (const QList<QLabel *> &c : m_colonne) {
        QLabel *l = c.at(riga);
        QPalette p = l->palette();
        if (p.color(QPalette::Window) == colore)
            continue;
        p.setColor(QPalette::Window, colore);
        l->setPalette(p);
    }
}

void FinestraTabella::scegli(int riga)
{
    if (!valida(riga))
        return;
    *m_descrizione.scelta = riga;
    evidenzia();
    const bool manca = m_descrizione.zeroManca ? letturaSemplice(m_costo->text()) == 0 : m_costo->text().isEmpty();
    if (manca) {
        dialoghi::messaggio(this, m_descrizione.costoMancante, Modulo::titolocontrollo, dialoghi::Icona::Informazione);
        return;
    }
    // A cost that is not (yet) a number computes nothing and leaves no earlier figures
    // beside it, in the window or in a saved file; the note says why.
    const auto C = letturaLocale(m_costo->text());
    if (!C) {
        for (int i = 1; i <= m_descrizione.righe; ++i) {
            cella(1, i)->clear();
            cella(2, i)->clear();
        }
        aggiornaTotale();
        return;
    }
    calcola(riga, *C);
    aggiornaTotale();
}

void FinestraTabella::evidenzia()
{
    const int k = scelta();
    if (valida(k) && !m_opzioni.at(k)->isChecked()) {
        // The choice is already running: checking the button must not run it a second time.
        const QSignalBlocker zitto(m_opzioni.at(k));
        m_opzioni.at(k)->setChecked(true);
    }
    for (int i = 1; i <= m_descrizione.righe; ++i) {
        if (!valida(k))
            deseleziona(m_opzioni.at(i));
        coloraRiga(i, i == k ? ciano : giallo);
        m_icone.at(i)->setVisible(i == k);
    }
}

void FinestraTabella::costo_Change()
{
    aggiornaNota();
    if (m_apertura)
        return;
    for (int i = 1; i <= m_descrizione.righe; ++i)
        if (m_opzioni.at(i)->isChecked())
            scegli(i);
}

void FinestraTabella::aggiornaNota()
{
    const QString t = m_costo->text();
    const bool errato = !t.isEmpty() && !letturaLocale(t);
    if (errato)
        m_nota->setText(
            QStringLiteral("«%1» non è un numero valido (es. 1.250,50): la tabella non cambia").arg(breve(t.trimmed())));
    m_nota->setVisible(errato);
}

void FinestraTabella::controlla_click()
{
    const std::array<QString, 4> &no = m_descrizione.controlli;
    QString rifiuto;
    if (soldi()->text().isEmpty())
        rifiuto = no[0];
    else if (m_costo->text().isEmpty())
        rifiuto = no[1];
    else if (!letturaLocale(m_costo->text()))
        rifiuto = no[2].arg(breve(m_costo->text()));
    else if (!valida(scelta()))
        rifiuto = no[3];
    if (!rifiuto.isEmpty())
        dialoghi::stop(this, rifiuto, Modulo::titolocontrollo);
    else
        dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                            dialoghi::Icona::Informazione);
}

void FinestraTabella::cancella()
{
    for (int i = 1; i <= m_descrizione.righe; ++i) {
        m_icone.at(i)->hide();
        coloraRiga(i, giallo);
        deseleziona(m_opzioni.at(i));
        cella(1, i)->clear();
        cella(2, i)->clear();
    }
    soldi()->clear();
    m_costo->clear(); // no button is checked: nothing is computed
    aggiornaTotale();
}

void FinestraTabella::mostraFile(const QString &soldi, const QString &costo, int riga)
{
    // A record without a caption would empty every window's caption at the next switch.
    if (!soldi.isEmpty()) {
        this->soldi()->setText(soldi);
        Modulo::etichettavaluta = soldi;
    }
    m_apertura = true;
    m_costo->setText(costo);
    m_apertura = false;
    if (valida(riga)) {
        scegli(riga);
    } else {
        *m_descrizione.scelta = 0;
        evidenzia();
    }
    aggiornaTotale();
    fileAperto(nomefile());
}

std::optional<FinestraCosti::CostoUnitario> FinestraTabella::costoUnitario() const
{
    const int k = scelta();
    if (!valida(k) || testo(1, k).trimmed().isEmpty() || !m_opzioni.at(k)->isChecked())
        return std::nullopt;
    return CostoUnitario{testo(0, k).trimmed(), testo(1, k)};
}

bool FinestraTabella::stampabile(QString *rifiuto, QString (*rifiutoCosto)(const QString &)) const
{
    QString no;
    if (soldi()->text().isEmpty() || !valida(scelta()))
        no = nienteDaStampare();
    else if (!m_costo->text().isEmpty() && !letturaLocale(m_costo->text()))
        no = rifiutoCosto(m_costo->text());
    if (rifiuto)
        *rifiuto = no;
    return no.isEmpty();
}

} // namespace perix
