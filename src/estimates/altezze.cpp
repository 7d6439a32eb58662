#include "estimates/altezze.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"

#include "ui/dialoghi.h"
#include "reports/foglio.h"
#include "reports/documento.h"
#include "ui/modulo.h"
#include "ui/comandi.h"
#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/rapporti_costi.h"

#include <QGroupBox>
#include <QIcon>
#include <QSignalBlocker>

namespace perix {

namespace {

FinestraTabella::Descrizione descrizioneTabella()
{
    return {numeroAltezze, &Modulo::altezzascelta, true, QStringLiteral("Digitare il costo a mc. vuoto per pieno."),
            {QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati (scelta valuta) o prelevarne da un "
                            "file archiviato (Perix-alt-...)."),
             QStringLiteral("Digitare un valore per il costo al mc. vuoto per pieno."),
             QStringLiteral("Il costo al mc. vuoto per pieno «%1» non è un numero valido: correggerlo (ad esempio "
                            "1.250,50)."),
             QStringLiteral("Cliccare nella casella corrispondente alla scelta del tipo di edificio di riferimento "
                            "del dato.")}};
}

} // namespace

variocosto::variocosto()
    : FinestraTabella(descrizioneCosti(5, "Costi per altezze", "Perix: variazioni del costo unitario in base al numero dei piani",
                                       menuPredefiniti()),
                      QStringLiteral("variocosto"), descrizioneTabella())
{
    m_aiuto = QStringLiteral("- Digitare, se necessario, il costo a metrocubo vuoto per pieno;\r"
                             "- quindi cliccare sulla opzione di riferimento dell'altezza dell'edificio;\r"
                             "- oppure aprire un file archiviato del tipo Perix-alt-...");
    creaControlli();
    dichiaraArchivio({.prefisso = QStringLiteral("Perix-alt-"),
                      .titoloApri = QStringLiteral("Apri file (costi di costruzione per altezze)"),
                      .riconosci = recordAltezzeProprio},
                     [this](QString *rifiuto) { return scrivialtezze(rifiuto); });
    dichiaraRapporto([this](QString *rifiuto) { return rapportoDi(datiRapporto(rifiuto), rapportoAltezze); });
    dichiaraFoglio([this](QString *rifiuto) { return foglioDi(datiRapporto(rifiuto), scriviFoglioAltezze); });
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
    creaRighe(Frame1, QStringLiteral("Optvario(%1)"), 6, y0, passoRiga,
              {Colonna{QStringLiteral("piani(%1)"), xPiani, wPiani, nomeAltezza},
               Colonna{QStringLiteral("varicosti(%1)"), xCosto, wCosto},
               Colonna{QStringLiteral("Label4(%1)"), xPerc, wPerc, percentualeIniziale}},
              Colonna{QStringLiteral("Image1(%1)"), xIcona, wIcona},
              QStringLiteral("scegliere la tipologia di fabbricato di cui si è digitato il costo a mc. vuoto per pieno"),
              true, QStringLiteral("Option1"));
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
    nominaCelle({Label1, Label2, Label3});

    // Bottom: the four buttons and the status line.
    frame3()->setGeometry(8, 296, 624, 94);
    passo = etichetta(frame3(), QStringLiteral("passo"),
                      QStringLiteral("scegliere la tipologia di edificio e controllare i costi, digitare il costo a "
                                     "metro cubo se non è riportato"),
                      {270, 12, 346, 64}, QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    passo->setWordWrap(true);
    stilePasso(passo, false);
    accessibile::voce(passo);

    // Right: the currency, the caption of the cost, the cost; the arrow points at class 4.
    const int xd = 482, wd = 150;
    Label7 = etichetta(a, QStringLiteral("Label7"), QStringLiteral("<-soluzione più vantaggiosa"),
                       {xd - 8, 2 + y0 + 3 * passoRiga, wd + 8, passoRiga});
    Label7->setTextFormat(Qt::PlainText);
    soldi()->setGeometry(xd, 8, wd, 20);
    soldi()->setTextFormat(Qt::PlainText); // it may come from a file
    soldi()->setToolTip(QStringLiteral("valuta scelta nella finestra 'Menu' o prelevata da archivio"));
    Label6 = etichetta(a, QStringLiteral("Label6"), didascaliaCostoPieno(), {xd, 32, wd, 20},
                       QStringLiteral("espresso nei valori indicati sopra"));
    creaCosto(a, QStringLiteral("costopieno"), {xd, 56, 130, 24}, QStringLiteral("dato di riferimento da digitare"),
              {xd, 126, wd, 46});
    // Below it: the building's volume and the total cost it gives.
    creaCostoTotale(a, {xd, 176, wd, 116}, QStringLiteral("V&olume vuoto per pieno (m³):"), QStringLiteral("altezze"),
                    QStringLiteral("m³"));
    accessibile::didascalia(Label6, costo());
}

void variocosto::calcola(int riga, double costo)
{
    const EsitoAltezze e = calcolaAltezze(riga, costo);
    for (int i = 1; i <= numeroAltezze; ++i) {
        const auto n = std::size_t(i);
        Modulo::percentualialtezze[n] = e.percentuali[n];
        cella(1, i)->setText(e.varicosti[n]);
        cella(2, i)->setText(e.percentuale[n]);
    }
}

void variocosto::apri_Click()
{
    // The whole record is read before anything changes; a file that cannot be read leaves
    // the window as it was, its name included, so "Salva" never writes over it.
    const auto r = apriArchivio(campiAltezze, [](const QList<Campo> &c, QString *m) { return leggiRecordAltezze(c, m); });
    if (!r)
        return;
    for (int i = 1; i <= numeroAltezze; ++i)
        cella(1, i)->setText(r->varicosti[std::size_t(i)]);
    // This window saves without a currency caption: such a record must not empty every
    // window's caption at the next switch.
    mostraFile(r->soldi, r->costopieno, r->altezzascelta);
}

std::optional<Record> variocosto::scrivialtezze(QString *rifiuto) const
{
    if (costo()->text().isEmpty())
        return rifiuta(rifiuto, QStringLiteral("Non esistono dati da archiviare."));
    RecordAltezze r;
    r.soldi = soldi()->text();
    r.costopieno = costo()->text();
    r.altezzascelta = valida(scelta()) ? scelta() : 0;
    for (int i = 1; i <= numeroAltezze; ++i)
        r.varicosti[std::size_t(i)] = testo(1, i);
    return recordAltezze(r);
}

std::optional<DatiRapportoAltezze> variocosto::datiRapporto(QString *rifiuto) const
{
    if (!stampabile(rifiuto, rifiutoStampaAltezze))
        return std::nullopt;
    DatiRapportoAltezze d;
    d.soldi = soldi()->text();
    d.etichetta = Label6->text();
    d.costopieno = costo()->text();
    d.classe = testo(0, scelta());
    d.intestazioni = {Label1->text(), Label2->text()};
    for (int i = 1; i <= numeroAltezze; ++i)
        d.righe[std::size_t(i)] = {testo(0, i), testo(1, i), testo(2, i)};
    return d;
}

} // namespace perix
