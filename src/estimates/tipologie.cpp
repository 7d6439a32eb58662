#include "estimates/tipologie.h"

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

#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QSignalBlocker>
#include <QStyle>

namespace perix {

namespace {

FinestraTabella::Descrizione descrizioneTabella()
{
    return {numeroTipologie, &Modulo::tipologiascelta, false, QStringLiteral("Digitare il costo della superficie netta."),
            {QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati o prelevarne da un file archiviato "
                            "(Perix-tipol-...)."),
             QStringLiteral("Digitare un valore per il costo al mq. di superficie netta."),
             QStringLiteral("Il costo al mq. di superficie netta «%1» non è un numero valido: correggerlo (ad esempio "
                            "1.250,50)."),
             QStringLiteral("Cliccare nella casella corrispondente al tipo di edificio di riferimento del dato.")}};
}

} // namespace

risultatitipologie::risultatitipologie()
    : FinestraTabella(descrizioneCosti(4, "Costi per tipologie", "Perix: risultati della stima dei costi per tipologie",
                                       rinominaMenu(menuPredefiniti(),
                                                    {{"modifica", "modif"}, {"visualizza", "visu"}, {"interr", "inter"},
                                                     {"cancelladati", "cancella"}, {"informazioni", "informaz"}})),
                      QStringLiteral("risultatitipologie"), descrizioneTabella())
{
    m_aiuto = QStringLiteral("- Digitare il costo a mq. di superficie netta;\r"
                             "- scegliere quindi la tipologia di edificio di riferimento del dato;\r"
                             "- oppure aprire un file archiviato del tipo Peri-tipol-...");
    creaControlli();
    dichiaraArchivio({.prefisso = QStringLiteral("Perix-tipol-"),
                      .titoloApri = QStringLiteral("Apri file (costi di costruzione per tipologie)"),
                      .riconosci = recordTipologieProprio},
                     [this](QString *rifiuto) { return scrivitipologie(rifiuto); });
    dichiaraRapporto([this](QString *rifiuto) { return rapportoDi(datiRapporto(rifiuto), rapportoTipologie); });
    dichiaraFoglio([this](QString *rifiuto) { return foglioDi(datiRapporto(rifiuto), scriviFoglioTipologie); });
    completaCaricamento(QSize(640, 431));
}

void risultatitipologie::creaControlli()
{
    QWidget *a = area();
    QFont grassetto = font();
    grassetto.setBold(true);

    // Top left: the currency, the caption of the cost, the cost.
    soldi()->setGeometry(8, 4, 280, 20);
    soldi()->setTextFormat(Qt::PlainText); // it may come from a file
    soldi()->setToolTip(QStringLiteral("valuta scelta nella finestra 'Menu' o prelevata da archivio"));
    Label6 = etichetta(a, QStringLiteral("Label6"), QStringLiteral(" Costo superficie netta al mq."), {8, 26, 280, 20},
                       QStringLiteral("costo, espresso nei valori indicati a lato, per un mq. di superficie netta"));
    creaCosto(a, QStringLiteral("costonetto"), {8, 48, 140, 24}, QStringLiteral("valore da digitare"),
              {154, 44, 140, 34});
    accessibile::didascalia(Label6, costo());

    // Top middle: the web pages.
    creaWeb(a, {300, 2, 332, 76}, {QRect{8, 18, 102, 52}, QRect{116, 18, 102, 52}, QRect{224, 18, 102, 52}}, 22, true);

    // The table: button, name, cost per m², cost of a room, icon; a row every 240 twips.
    auto *Frame1 = new QGroupBox(QStringLiteral("Confronto tra costi di diverse tipologie"), a);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 80, 624, 212);
    const int xNome = 28, wNome = 226, xMq = 256, wMq = 136, xVano = 394, wVano = 126, xIcona = 522, wIcona = 94;
    const int yTesta = 22, hTesta = 34, y0 = 58, passoRiga = 16;
    Label4 = etichetta(Frame1, QStringLiteral("Label4"), QStringLiteral(" Tipo di edificio scelto"),
                       {xIcona, yTesta, wIcona, hTesta},
                       QStringLiteral("il tipo di edificio di riferimento del costo a mq. di superficie netta"));
    Label3[2] = etichetta(Frame1, QStringLiteral("Label3(2)"), intestazioneTipologie(2),
                          {xVano, yTesta, wVano, hTesta},
                          QStringLiteral("costo indicativo di un vano di mq.18 di superficie netta"));
    Label3[1] = etichetta(Frame1, QStringLiteral("Label3(1)"), intestazioneTipologie(1),
                          {xMq, yTesta, wMq, hTesta},
                          QStringLiteral("i differenti costi riguardanti le singole tipologie edilizie"));
    Label3[0] = etichetta(Frame1, QStringLiteral("Label3(0)"), intestazioneTipologie(0), {xNome, yTesta, wNome, hTesta},
                          QStringLiteral("elenco delle differenti tipologie maggiormente ricorrenti"));
    for (QLabel *l : {Label4, Label3[2], Label3[1], Label3[0]}) {
        l->setFont(grassetto);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    }
    creaRighe(Frame1, QStringLiteral("tipologia(%1)"), 8, y0, passoRiga,
              {Colonna{QStringLiteral("Label1(%1)"), xNome, wNome, nomeTipologia},
               Colonna{QStringLiteral("edificio(%1)"), xMq, wMq}, Colonna{QStringLiteral("vano(%1)"), xVano, wVano}},
              Colonna{QStringLiteral("Image1(%1)"), xIcona, wIcona},
              QStringLiteral("scegliere la tipologia di fabbricato di cui si è digitato il costo al mq. di superficie "
                             "netta."));
    nominaCelle({Label3[0], Label3[1], Label3[2]});

    // Under the table: the building's size and the total cost it gives.
    creaCostoTotale(a, {8, 298, 624, 26}, QStringLiteral("Superficie ne&tta (m²):"), QStringLiteral("tipologie"),
                    QStringLiteral("m²"));

    // Bottom: the four buttons and the status line.
    frame3()->setGeometry(8, 332, 624, 94);
    passo = etichetta(frame3(), QStringLiteral("passo"),
                      QStringLiteral("scegliere la tipologia di edificio e controllare i costi, i dati provengono dalla "
                                     "finestra Menu o da un file archiviato"),
                      {270, 12, 346, 64}, QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    passo->setWordWrap(true);
    stilePasso(passo, false);
    accessibile::voce(passo);
}

void risultatitipologie::calcola(int riga, double costo)
{
    const EsitoTipologie e = calcolaTipologie(riga, costo);
    m_costitipologie = e.costitipologie;
    for (int i = 1; i <= numeroTipologie; ++i) {
        cella(1, i)->setText(e.edificio[std::size_t(i)]);
        cella(2, i)->setText(e.vano[std::size_t(i)]);
    }
}

void risultatitipologie::apri_Click()
{
    // The whole record is read before anything changes; a file that cannot be read leaves
    // the window as it was, its name included, so "Salva" never writes over it.
    const auto r = apriArchivio(campiTipologie, [](const QList<Campo> &c, QString *m) { return leggiRecordTipologie(c, m); });
    if (!r)
        return;
    for (int i = 1; i <= numeroTipologie; ++i) {
        cella(1, i)->setText(r->edificio[std::size_t(i)]);
        cella(2, i)->setText(r->vano[std::size_t(i)]);
    }
    mostraFile(r->soldi, r->costonetto, r->tipologiascelta);
}

std::optional<Record> risultatitipologie::scrivitipologie(QString *rifiuto) const
{
    if (soldi()->text().isEmpty())
        return rifiuta(rifiuto, QStringLiteral("Non esistono dati da archiviare."));
    RecordTipologie r;
    r.soldi = soldi()->text();
    r.costonetto = costo()->text();
    r.tipologiascelta = valida(scelta()) ? scelta() : 0;
    for (int i = 1; i <= numeroTipologie; ++i) {
        r.edificio[std::size_t(i)] = testo(1, i);
        r.vano[std::size_t(i)] = testo(2, i);
    }
    return recordTipologie(r);
}

std::optional<DatiRapportoTipologie> risultatitipologie::datiRapporto(QString *rifiuto) const
{
    if (!stampabile(rifiuto, rifiutoStampaTipologie))
        return std::nullopt;
    DatiRapportoTipologie d;
    d.soldi = soldi()->text();
    d.costonetto = costo()->text();
    d.tipologia = testo(0, scelta());
    for (int c = 0; c < 3; ++c)
        d.intestazioni[std::size_t(c)] = Label3[std::size_t(c)]->text();
    for (int i = 1; i <= numeroTipologie; ++i)
        d.righe[std::size_t(i)] = {testo(0, i), testo(1, i), testo(2, i)};
    return d;
}

} // namespace perix
