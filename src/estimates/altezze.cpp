#include "estimates/altezze.h"

#include "ui/elementi.h"

#include "ui/dialoghi.h"
#include "reports/documento.h"
#include "ui/modulo.h"
#include "ui/comandi.h"
#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/rapporto_altezze.h"

#include <QGroupBox>
#include <QIcon>
#include <QSignalBlocker>

namespace perix {

namespace {

const QColor giallo(255, 255, 0);
const QColor ciano(0, 255, 255);

bool valida(int k) { return k >= 1 && k <= numeroAltezze; }

} // namespace

variocosto::variocosto()
    : FinestraCosti(descrizioneCosti(5, "Costi per altezze", "Perix: variazioni del costo unitario in base al numero dei piani",
                                     menuPredefiniti()),
                    QStringLiteral("variocosto"))
{
    creaControlli();
    for (int i = 1; i <= numeroAltezze; ++i) {
        Image1[std::size_t(i)]->hide();
        Optvario[std::size_t(i)]->setToolTip(
            QStringLiteral("scegliere la tipologia di fabbricato di cui si è digitato il costo a mc. vuoto per pieno"));
    }
    completaCaricamento(QSize(640, 395));
}

void variocosto::creaControlli()
{
    QWidget *a = area();
    QFont grassetto = font();
    grassetto.setBold(true);

    // Left: the table. Button, class, cost per m³, percentage, icon; a row every 240 twips.
    auto *Frame1 = new QGroupBox(QStringLiteral("Variazioni di costo in base alle altezze"), a);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 2, 466, 288);
    const int xPiani = 26, wPiani = 222, xCosto = 250, wCosto = 88, xPerc = 340, wPerc = 52, xIcona = 394,
              wIcona = 66;
    const int yTesta = 22, hTesta = 32, y0 = 56, passoRiga = 16;
    const QPixmap moneta = QIcon(QStringLiteral(":/icons/moneta.svg")).pixmap(16, 16);
    for (int i = 1; i <= numeroAltezze; ++i) {
        const auto n = std::size_t(i);
        const int y = y0 + (i - 1) * passoRiga;
        // As narrow as its round button: the caption does not show.
        Optvario[n] = new Opzione(QStringLiteral("Option1"), Frame1);
        Optvario[n]->setObjectName(QStringLiteral("Optvario(%1)").arg(i));
        Optvario[n]->setGeometry(6, y, 18, passoRiga);
        Optvario[n]->setFixedWidth(18); // also when the window grows
        Optvario[n]->alClic([this, i] { Optvario_Click(i); });
        Image1[n] = etichetta(Frame1, QStringLiteral("Image1(%1)").arg(i), QString(), {xIcona, y, wIcona, passoRiga});
        Image1[n]->setPixmap(moneta);
        Image1[n]->setAlignment(Qt::AlignCenter);
        Label4[n] = etichetta(Frame1, QStringLiteral("Label4(%1)").arg(i), percentualeIniziale(i),
                              {xPerc, y, wPerc, passoRiga - 1});
        varicosti[n] = etichetta(Frame1, QStringLiteral("varicosti(%1)").arg(i), QString(), {xCosto, y, wCosto, passoRiga - 1});
        piani[n] = etichetta(Frame1, QStringLiteral("piani(%1)").arg(i), nomeAltezza(i),
                             {xPiani, y, wPiani, passoRiga - 1});
        for (QLabel *l : {Label4[n], varicosti[n]}) {
            l->setTextFormat(Qt::PlainText); // the costs may come from a file
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setContentsMargins(0, 0, 4, 0);
        }
        for (QLabel *l : {piani[n], varicosti[n], Label4[n]})
            l->setAutoFillBackground(true);
        coloraRiga(i, giallo);
    }
    Label5 = etichetta(Frame1, QStringLiteral("Label5"), QStringLiteral("Edificio scelto"), {xIcona, yTesta, wIcona, hTesta},
                       QStringLiteral("il tipo di edificio di riferimento del costo a mc. vpp"));
    Label3 = etichetta(Frame1, QStringLiteral("Label3"), QStringLiteral("%"), {xPerc, yTesta, wPerc, hTesta},
                       QStringLiteral("percentuale di costi raffrontabili tra le diverse tipologie"));
    Label2 = etichetta(Frame1, QStringLiteral("Label2"), intestazioneAltezze(1), {xCosto, yTesta, wCosto, hTesta},
                       QStringLiteral("variazione in automatico dei costi per le differenti tipologie"));
    Label1 = etichetta(Frame1, QStringLiteral("Label1"), intestazioneAltezze(0),
                       {xPiani, yTesta, wPiani, hTesta},
                       QStringLiteral("tipologie di edifici in base al numero dei piani"));
    for (QLabel *l : {Label5, Label3, Label2, Label1}) {
        l->setFont(grassetto);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    }
    Label3->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    Label3->setContentsMargins(0, 0, 4, 0);

    // Bottom: the four buttons and the status line.
    frame3()->setGeometry(8, 296, 624, 94);
    passo = etichetta(frame3(), QStringLiteral("passo"),
                      QStringLiteral("scegliere la tipologia di edificio e controllare i costi, digitare il costo a "
                                     "metro cubo se non è riportato"),
                      {270, 12, 346, 64}, QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    passo->setWordWrap(true);
    stilePasso(passo, false);

    // Right: the currency, the caption of the cost, the cost; the arrow points at class 4.
    const int xd = 482, wd = 150;
    costopieno = new QLineEdit(a);
    costopieno->setObjectName(QStringLiteral("costopieno"));
    costopieno->setGeometry(xd, 56, 130, 24);
    costopieno->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    costopieno->setToolTip(QStringLiteral("dato di riferimento da digitare"));
    senzaControlli(costopieno);
    connect(costopieno, &QLineEdit::textChanged, this, [this] { costopieno_Change(); });
    Label7 = etichetta(a, QStringLiteral("Label7"), QStringLiteral("<-soluzione più vantaggiosa"),
                       {xd - 8, 2 + y0 + 3 * passoRiga, wd + 8, passoRiga});
    Label7->setTextFormat(Qt::PlainText);
    soldi()->setGeometry(xd, 8, wd, 20);
    soldi()->setTextFormat(Qt::PlainText); // it may come from a file
    soldi()->setToolTip(QStringLiteral("valuta scelta nella finestra 'Menu' o prelevata da archivio"));
    Label6 = etichetta(a, QStringLiteral("Label6"), didascaliaCostoPieno(), {xd, 32, wd, 20},
                       QStringLiteral("espresso nei valori indicati sopra"));
    notacosto = etichetta(a, QStringLiteral("notacosto"), QString(), {xd, 126, wd, 46});
    notacosto->setTextFormat(Qt::PlainText);
    notacosto->setWordWrap(true);
    notacosto->setStyleSheet(QStringLiteral("QLabel#notacosto { background: #fff4d6; border: 1px solid #e0b54a;"
                                            " border-radius: 2px; padding: 0 3px; color: #5a3b00; }"));
    QFont piccolo = notacosto->font();
    piccolo.setPointSizeF(piccolo.pointSizeF() - 1.5);
    notacosto->setFont(piccolo);
    notacosto->hide();
}

void variocosto::coloraRiga(int i, const QColor &colore)
{
    for (QLabel *l : {piani[std::size_t(i)], varicosti[std::size_t(i)], Label4[std::size_t(i)]}) {
        QPalette p = l->palette();
        if (p.color(QPalette::Window) == colore)
            continue;
        p.setColor(QPalette::Window, colore);
        l->setPalette(p);
    }
}

void variocosto::Optvario_Click(int Index)
{
    if (!valida(Index))
        return;
    Modulo::altezzascelta = Index;
    evidenziaaltezza();
    // The check reads the leading plain number: "0,5" and "abc" are refused here.
    if (letturaSemplice(costopieno->text()) == 0) {
        dialoghi::messaggio(this, QStringLiteral("Digitare il costo a mc. vuoto per pieno."), Modulo::titolocontrollo,
                            dialoghi::Icona::Informazione);
        return;
    }
    // A cost that is not (yet) a number computes nothing and leaves no earlier figures
    // beside it, in the window or in a saved file; the note says why.
    const auto C = letturaLocale(costopieno->text());
    if (!C) {
        for (int i = 1; i <= numeroAltezze; ++i) {
            varicosti[std::size_t(i)]->clear();
            Label4[std::size_t(i)]->clear();
        }
        return;
    }
    const EsitoAltezze e = calcolaAltezze(Index, *C);
    for (int i = 1; i <= numeroAltezze; ++i) {
        const auto n = std::size_t(i);
        Modulo::percentualialtezze[n] = e.percentuali[n];
        varicosti[n]->setText(e.varicosti[n]);
        Label4[n]->setText(e.percentuale[n]);
    }
}

void variocosto::evidenziaaltezza()
{
    const int k = Modulo::altezzascelta;
    if (valida(k) && !Optvario[std::size_t(k)]->isChecked()) {
        // The choice is already running: checking the button must not run it a second time.
        const QSignalBlocker zitto(Optvario[std::size_t(k)]);
        Optvario[std::size_t(k)]->setChecked(true);
    }
    for (int i = 1; i <= numeroAltezze; ++i) {
        if (!valida(k))
            deseleziona(Optvario[std::size_t(i)]);
        coloraRiga(i, i == k ? ciano : giallo);
        Image1[std::size_t(i)]->setVisible(i == k);
    }
}

void variocosto::costopieno_Change()
{
    aggiornaNota();
    if (m_apertura)
        return;
    for (int i = 1; i <= numeroAltezze; ++i)
        if (Optvario[std::size_t(i)]->isChecked())
            Optvario_Click(i);
}

void variocosto::aggiornaNota()
{
    const QString t = costopieno->text();
    const bool errato = !t.isEmpty() && !letturaLocale(t);
    if (errato)
        notacosto->setText(QStringLiteral("«%1» non è un numero valido (es. 1.250,50): la tabella non cambia")
                               .arg(breve(t.trimmed())));
    notacosto->setVisible(errato);
}

void variocosto::controlla_click()
{
    const auto ferma = [this](const QString &testo) { dialoghi::stop(this, testo, Modulo::titolocontrollo); };
    if (soldi()->text().isEmpty())
        return ferma(QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati (scelta valuta) o prelevarne "
                                    "da un file archiviato (Perix-alt-...)."));
    if (costopieno->text().isEmpty())
        return ferma(QStringLiteral("Digitare un valore per il costo al mc. vuoto per pieno."));
    if (!letturaLocale(costopieno->text()))
        return ferma(QStringLiteral("Il costo al mc. vuoto per pieno «%1» non è un numero valido: correggerlo "
                                    "(ad esempio 1.250,50).")
                         .arg(breve(costopieno->text())));
    if (!valida(Modulo::altezzascelta))
        return ferma(QStringLiteral("Cliccare nella casella corrispondente alla scelta del tipo di edificio di "
                                    "riferimento del dato."));
    dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                        dialoghi::Icona::Informazione);
}

void variocosto::cancelladati_Click()
{
    for (int i = 1; i <= numeroAltezze; ++i) {
        Image1[std::size_t(i)]->hide();
        deseleziona(Optvario[std::size_t(i)]);
        varicosti[std::size_t(i)]->clear();
        Label4[std::size_t(i)]->clear();
        coloraRiga(i, giallo);
    }
    soldi()->clear();
    costopieno->clear(); // no button is checked: nothing is computed
}

void variocosto::aiuto_Click()
{
    dialoghi::messaggio(this,
                        QStringLiteral("- Digitare, se necessario, il costo a metrocubo vuoto per pieno;\r"
                                       "- quindi cliccare sulla opzione di riferimento dell'altezza dell'edificio;\r"
                                       "- oppure aprire un file archiviato del tipo Perix-alt-..."),
                        Modulo::titoloaiuto, dialoghi::Icona::Informazione);
}

const DescrizioneArchivio &variocosto::archivio()
{
    static const DescrizioneArchivio a{
        .prefisso = QStringLiteral("Perix-alt-"),
        .titoloApri = QStringLiteral("Apri file (costi di costruzione per altezze)"),
        .riconosci = recordAltezzeProprio,
    };
    return a;
}

void variocosto::apri_Click()
{
    // The whole record is read before anything changes; a file that cannot be read leaves
    // the window as it was, its name included, so "Salva" never writes over it.
    const QString prima = m_nomefile;
    const auto campi = apriArchivio(this, archivio(), m_nomefile, campiAltezze, Modulo::titolocontrollo);
    const auto r = campi ? leggiRecordAltezze(*campi) : std::nullopt;
    if (!r) {
        m_nomefile = prima;
        return;
    }
    for (int i = 1; i <= numeroAltezze; ++i)
        varicosti[std::size_t(i)]->setText(r->varicosti[std::size_t(i)]);
    // This window saves without a currency caption: such a record must not empty every
    // window's caption at the next switch.
    if (!r->soldi.isEmpty()) {
        soldi()->setText(r->soldi);
        Modulo::etichettavaluta = r->soldi;
    }
    m_apertura = true;
    costopieno->setText(r->costopieno);
    m_apertura = false;
    if (valida(r->altezzascelta)) {
        Optvario_Click(r->altezzascelta);
    } else {
        Modulo::altezzascelta = 0;
        evidenziaaltezza();
    }
    fileAperto(m_nomefile);
}

void variocosto::salva_Click()
{
    scrivialtezze(QStringLiteral("Salva file"));
}

void variocosto::salvanome_Click()
{
    m_nomefile.clear();
    scrivialtezze(QStringLiteral("Salva file con nome"));
}

void variocosto::scrivialtezze(const QString &titoloDialogo)
{
    if (costopieno->text().isEmpty()) {
        dialoghi::stop(this, QStringLiteral("Non esistono dati da archiviare."), Modulo::titolocontrollo);
        return;
    }
    RecordAltezze r;
    r.soldi = soldi()->text();
    r.costopieno = costopieno->text();
    r.altezzascelta = valida(Modulo::altezzascelta) ? Modulo::altezzascelta : 0;
    for (int i = 1; i <= numeroAltezze; ++i)
        r.varicosti[std::size_t(i)] = varicosti[std::size_t(i)]->text();
    if (salvaArchivio(this, archivio(), m_nomefile, titoloDialogo, recordAltezze(r), Modulo::titolocontrollo))
        fileSalvato(m_nomefile);
}

void variocosto::eliminare_click()
{
    if (eliminaArchivio(this, archivio(), m_nomefile, Modulo::titoloelimina, Modulo::titolocontrollo))
        fileEliminato(m_nomefile);
}

std::optional<DatiRapportoAltezze> variocosto::datiRapporto(QString *rifiuto) const
{
    const int k = Modulo::altezzascelta;
    if (soldi()->text().isEmpty() || !valida(k)) {
        if (rifiuto)
            *rifiuto = nienteDaStampare();
        return std::nullopt;
    }
    if (!costopieno->text().isEmpty() && !letturaLocale(costopieno->text())) {
        if (rifiuto)
            *rifiuto = rifiutoStampaAltezze(costopieno->text());
        return std::nullopt;
    }
    DatiRapportoAltezze d;
    d.soldi = soldi()->text();
    d.etichetta = Label6->text();
    d.costopieno = costopieno->text();
    d.classe = piani[std::size_t(k)]->text();
    d.intestazioni = {Label1->text(), Label2->text()};
    for (int i = 1; i <= numeroAltezze; ++i)
        d.righe[std::size_t(i)] = {piani[std::size_t(i)]->text(), varicosti[std::size_t(i)]->text(),
                                   Label4[std::size_t(i)]->text()};
    return d;
}

void variocosto::solodati_click()
{
    QString rifiuto;
    const auto d = datiRapporto(&rifiuto);
    stampaConStato(passo, d.has_value(), rifiuto, [&](QString *motivo) { return rapportoAltezze(*d, motivo) != nullptr; });
}

} // namespace perix
