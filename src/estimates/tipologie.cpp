#include "estimates/tipologie.h"

#include "ui/elementi.h"

#include "ui/dialoghi.h"
#include "reports/documento.h"
#include "ui/modulo.h"
#include "ui/comandi.h"
#include "core/calcoli.h"
#include "core/numeri.h"
#include "reports/rapporto_tipologie.h"

#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QSignalBlocker>
#include <QStyle>

namespace perix {

namespace {

const QColor giallo(255, 255, 0);
const QColor ciano(0, 255, 255);

bool valida(int k) { return k >= 1 && k <= numeroTipologie; }

} // namespace

risultatitipologie::risultatitipologie()
    : FinestraCosti(descrizioneCosti(4, "Costi per tipologie", "Perix: risultati della stima dei costi per tipologie",
                                     rinominaMenu(menuPredefiniti(),
                                                  {{"modifica", "modif"}, {"visualizza", "visu"}, {"interr", "inter"},
                                                   {"cancelladati", "cancella"}, {"informazioni", "informaz"}})),
                    QStringLiteral("risultatitipologie"))
{
    creaControlli();
    for (int i = 1; i <= numeroTipologie; ++i) {
        Image1[std::size_t(i)]->hide();
        tipologia[std::size_t(i)]->setToolTip(
            QStringLiteral("scegliere la tipologia di fabbricato di cui si è digitato il costo al mq. di superficie netta."));
    }
    completaCaricamento(QSize(640, 395));
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
    costonetto = new QLineEdit(a);
    costonetto->setObjectName(QStringLiteral("costonetto"));
    costonetto->setGeometry(8, 48, 140, 24);
    costonetto->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    costonetto->setToolTip(QStringLiteral("valore da digitare"));
    senzaControlli(costonetto);
    connect(costonetto, &QLineEdit::textChanged, this, [this] { costonetto_Change(); });
    notacosto = etichetta(a, QStringLiteral("notacosto"), QString(), {154, 44, 140, 34});
    notacosto->setTextFormat(Qt::PlainText);
    notacosto->setWordWrap(true);
    notacosto->setStyleSheet(QStringLiteral("QLabel#notacosto { background: #fff4d6; border: 1px solid #e0b54a;"
                                            " border-radius: 2px; padding: 0 3px; color: #5a3b00; }"));
    QFont piccolo = notacosto->font();
    piccolo.setPointSizeF(piccolo.pointSizeF() - 1.5);
    notacosto->setFont(piccolo);
    notacosto->hide();

    // Top middle: the web pages.
    auto *Frame2 = new QGroupBox(QStringLiteral("Web"), a);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(300, 2, 332, 76);
    struct W { QToolButton *&pulsante; const char *nome, *testo, *suggerimento; void (risultatitipologie::*clic)(); };
    const W web[] = {
        {archivio_, "archivio", "archivio dati",
         "cliccare per visualizzare la pagina web con i dati locali per la stima di terreni ed edifici",
         &risultatitipologie::archivio_Click},
        {edifici, "edifici", "stima edifici",
         "cliccare per visualizzare la pagina web con il software per stima di edifici", &risultatitipologie::edifici_Click},
        {terreni, "terreni", "relazione",
         "cliccare per visualizzare la pagina web con il software per stima di terreni edificabili ",
         &risultatitipologie::terreni_Click},
    };
    // The web picture the cost windows share; the style's network picture where it is missing.
    const QString percorsoWeb = QStringLiteral(":/icons/web.svg");
    const QIcon iconaWeb = QFile::exists(percorsoWeb) ? QIcon(percorsoWeb) : style()->standardIcon(QStyle::SP_DriveNetIcon);
    int x = 8;
    for (const W &w : web) {
        w.pulsante = new QToolButton(Frame2);
        w.pulsante->setObjectName(QString::fromUtf8(w.nome));
        w.pulsante->setText(QString::fromUtf8(w.testo));
        w.pulsante->setToolTip(QString::fromUtf8(w.suggerimento));
        w.pulsante->setIcon(iconaWeb);
        w.pulsante->setIconSize(QSize(22, 22));
        w.pulsante->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        w.pulsante->setGeometry(x, 18, 102, 52);
        connect(w.pulsante, &QToolButton::clicked, this, w.clic);
        x += 108;
    }

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
    const QPixmap moneta = QIcon(QStringLiteral(":/icons/moneta.svg")).pixmap(16, 16);
    for (int i = 1; i <= numeroTipologie; ++i) {
        const auto n = std::size_t(i);
        const int y = y0 + (i - 1) * passoRiga;
        tipologia[n] = new Opzione(QString(), Frame1);
        tipologia[n]->setObjectName(QStringLiteral("tipologia(%1)").arg(i));
        tipologia[n]->setGeometry(8, y, 18, passoRiga);
        tipologia[n]->alClic([this, i] { tipologia_Click(i); });
        Image1[n] = etichetta(Frame1, QStringLiteral("Image1(%1)").arg(i), QString(), {xIcona, y, wIcona, passoRiga});
        Image1[n]->setPixmap(moneta);
        Image1[n]->setAlignment(Qt::AlignCenter);
        vano[n] = etichetta(Frame1, QStringLiteral("vano(%1)").arg(i), QString(), {xVano, y, wVano, passoRiga - 1});
        edificio[n] = etichetta(Frame1, QStringLiteral("edificio(%1)").arg(i), QString(), {xMq, y, wMq, passoRiga - 1});
        Label1[n] = etichetta(Frame1, QStringLiteral("Label1(%1)").arg(i), nomeTipologia(i),
                              {xNome, y, wNome, passoRiga - 1});
        for (QLabel *l : {vano[n], edificio[n]}) {
            l->setTextFormat(Qt::PlainText); // captions may come from a file
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setContentsMargins(0, 0, 4, 0);
        }
        for (QLabel *l : {Label1[n], vano[n], edificio[n]})
            l->setAutoFillBackground(true);
        coloraRiga(i, giallo);
    }

    // Bottom: the four buttons and the status line.
    frame3()->setGeometry(8, 296, 624, 94);
    passo = etichetta(frame3(), QStringLiteral("passo"),
                      QStringLiteral("scegliere la tipologia di edificio e controllare i costi, i dati provengono dalla "
                                     "finestra Menu o da un file archiviato"),
                      {270, 12, 346, 64}, QStringLiteral("indicazioni in linea sulla immissione dei dati"));
    passo->setWordWrap(true);
    stilePasso(passo, false);
}

void risultatitipologie::coloraRiga(int i, const QColor &colore)
{
    for (QLabel *l : {Label1[std::size_t(i)], edificio[std::size_t(i)], vano[std::size_t(i)]}) {
        QPalette p = l->palette();
        if (p.color(QPalette::Window) == colore)
            continue;
        p.setColor(QPalette::Window, colore);
        l->setPalette(p);
    }
}

void risultatitipologie::tipologia_Click(int Index)
{
    if (!valida(Index))
        return;
    Modulo::tipologiascelta = Index;
    evidenziatipologia();
    if (costonetto->text().isEmpty()) {
        dialoghi::messaggio(this, QStringLiteral("Digitare il costo della superficie netta."), Modulo::titolocontrollo,
                            dialoghi::Icona::Informazione);
        return;
    }
    // A cost that is not (yet) a number computes nothing and leaves no earlier figures
    // beside it, in the window or in a saved file; the note says why.
    const auto C = letturaLocale(costonetto->text());
    if (!C) {
        for (int i = 1; i <= numeroTipologie; ++i) {
            edificio[std::size_t(i)]->clear();
            vano[std::size_t(i)]->clear();
        }
        return;
    }
    const EsitoTipologie e = calcolaTipologie(Index, *C);
    m_costitipologie = e.costitipologie;
    for (int i = 1; i <= numeroTipologie; ++i) {
        edificio[std::size_t(i)]->setText(e.edificio[std::size_t(i)]);
        vano[std::size_t(i)]->setText(e.vano[std::size_t(i)]);
    }
}

void risultatitipologie::evidenziatipologia()
{
    const int k = Modulo::tipologiascelta;
    if (valida(k) && !tipologia[std::size_t(k)]->isChecked()) {
        // The choice is already running: checking the button must not run it a second time.
        const QSignalBlocker zitto(tipologia[std::size_t(k)]);
        tipologia[std::size_t(k)]->setChecked(true);
    }
    for (int i = 1; i <= numeroTipologie; ++i) {
        if (!valida(k))
            deseleziona(tipologia[std::size_t(i)]);
        coloraRiga(i, i == k ? ciano : giallo);
        Image1[std::size_t(i)]->setVisible(i == k);
    }
}

void risultatitipologie::costonetto_Change()
{
    aggiornaNota();
    if (m_apertura)
        return;
    for (int i = 1; i <= numeroTipologie; ++i)
        if (tipologia[std::size_t(i)]->isChecked())
            tipologia_Click(i);
}

void risultatitipologie::aggiornaNota()
{
    const QString t = costonetto->text();
    const bool errato = !t.isEmpty() && !letturaLocale(t);
    if (errato)
        notacosto->setText(QStringLiteral("«%1» non è un numero valido (es. 1.250,50): la tabella non cambia")
                               .arg(breve(t.trimmed())));
    notacosto->setVisible(errato);
}

void risultatitipologie::controlla_click()
{
    const auto ferma = [this](const QString &testo) { dialoghi::stop(this, testo, Modulo::titolocontrollo); };
    if (soldi()->text().isEmpty())
        return ferma(QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati o prelevarne da un file "
                                    "archiviato (Perix-tipol-...)."));
    if (costonetto->text().isEmpty())
        return ferma(QStringLiteral("Digitare un valore per il costo al mq. di superficie netta."));
    if (!letturaLocale(costonetto->text()))
        return ferma(QStringLiteral("Il costo al mq. di superficie netta «%1» non è un numero valido: correggerlo "
                                    "(ad esempio 1.250,50).")
                         .arg(breve(costonetto->text())));
    if (!valida(Modulo::tipologiascelta))
        return ferma(QStringLiteral("Cliccare nella casella corrispondente al tipo di edificio di riferimento del dato."));
    dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                        dialoghi::Icona::Informazione);
}

void risultatitipologie::cancella_click()
{
    for (int i = 1; i <= numeroTipologie; ++i) {
        Image1[std::size_t(i)]->hide();
        coloraRiga(i, giallo);
        deseleziona(tipologia[std::size_t(i)]);
        edificio[std::size_t(i)]->clear();
        vano[std::size_t(i)]->clear();
    }
    soldi()->clear();
    costonetto->clear(); // no button is checked: nothing is computed
}

void risultatitipologie::aiuto_Click()
{
    dialoghi::messaggio(this,
                        QStringLiteral("- Digitare il costo a mq. di superficie netta;\r"
                                       "- scegliere quindi la tipologia di edificio di riferimento del dato;\r"
                                       "- oppure aprire un file archiviato del tipo Peri-tipol-..."),
                        Modulo::titoloaiuto, dialoghi::Icona::Informazione);
}

const DescrizioneArchivio &risultatitipologie::archivio()
{
    static const DescrizioneArchivio a{
        .prefisso = QStringLiteral("Perix-tipol-"),
        .titoloApri = QStringLiteral("Apri file (costi di costruzione per tipologie)"),
        .riconosci = recordTipologieProprio,
    };
    return a;
}

void risultatitipologie::apri_Click()
{
    // The whole record is read before anything changes; a file that cannot be read leaves
    // the window as it was, its name included, so "Salva" never writes over it.
    const QString prima = m_nomefile;
    const auto campi = apriArchivio(this, archivio(), m_nomefile, campiTipologie, Modulo::titolocontrollo);
    const auto r = campi ? leggiRecordTipologie(*campi) : std::nullopt;
    if (!r) {
        m_nomefile = prima;
        return;
    }
    for (int i = 1; i <= numeroTipologie; ++i) {
        edificio[std::size_t(i)]->setText(r->edificio[std::size_t(i)]);
        vano[std::size_t(i)]->setText(r->vano[std::size_t(i)]);
    }
    // A record without a caption would empty every window's caption at the next switch.
    if (!r->soldi.isEmpty()) {
        soldi()->setText(r->soldi);
        Modulo::etichettavaluta = r->soldi;
    }
    m_apertura = true;
    costonetto->setText(r->costonetto);
    m_apertura = false;
    if (valida(r->tipologiascelta)) {
        tipologia_Click(r->tipologiascelta);
    } else {
        Modulo::tipologiascelta = 0;
        evidenziatipologia();
    }
    fileAperto(m_nomefile);
}

void risultatitipologie::salva_Click()
{
    scrivitipologie(QStringLiteral("Salva file"));
}

void risultatitipologie::salvanome_Click()
{
    m_nomefile.clear();
    scrivitipologie(QStringLiteral("Salva file con nome"));
}

void risultatitipologie::scrivitipologie(const QString &titoloDialogo)
{
    if (soldi()->text().isEmpty()) {
        dialoghi::stop(this, QStringLiteral("Non esistono dati da archiviare."), Modulo::titolocontrollo);
        return;
    }
    RecordTipologie r;
    r.soldi = soldi()->text();
    r.costonetto = costonetto->text();
    r.tipologiascelta = valida(Modulo::tipologiascelta) ? Modulo::tipologiascelta : 0;
    for (int i = 1; i <= numeroTipologie; ++i) {
        r.edificio[std::size_t(i)] = edificio[std::size_t(i)]->text();
        r.vano[std::size_t(i)] = vano[std::size_t(i)]->text();
    }
    if (salvaArchivio(this, archivio(), m_nomefile, titoloDialogo, recordTipologie(r), Modulo::titolocontrollo))
        fileSalvato(m_nomefile);
}

void risultatitipologie::eliminare_click()
{
    if (eliminaArchivio(this, archivio(), m_nomefile, Modulo::titoloelimina, Modulo::titolocontrollo))
        fileEliminato(m_nomefile);
}

std::optional<DatiRapportoTipologie> risultatitipologie::datiRapporto(QString *rifiuto) const
{
    const int k = Modulo::tipologiascelta;
    if (soldi()->text().isEmpty() || !valida(k)) {
        if (rifiuto)
            *rifiuto = nienteDaStampare();
        return std::nullopt;
    }
    if (!costonetto->text().isEmpty() && !letturaLocale(costonetto->text())) {
        if (rifiuto)
            *rifiuto = rifiutoStampaTipologie(costonetto->text());
        return std::nullopt;
    }
    DatiRapportoTipologie d;
    d.soldi = soldi()->text();
    d.costonetto = costonetto->text();
    d.tipologia = Label1[std::size_t(k)]->text();
    for (int c = 0; c < 3; ++c)
        d.intestazioni[std::size_t(c)] = Label3[std::size_t(c)]->text();
    for (int i = 1; i <= numeroTipologie; ++i)
        d.righe[std::size_t(i)] = {Label1[std::size_t(i)]->text(), edificio[std::size_t(i)]->text(),
                                   vano[std::size_t(i)]->text()};
    return d;
}

void risultatitipologie::solodati_click()
{
    QString rifiuto;
    const auto d = datiRapporto(&rifiuto);
    stampaConStato(passo, d.has_value(), rifiuto, [&](QString *motivo) { return rapportoTipologie(*d, motivo) != nullptr; });
}

void risultatitipologie::terreni_Click()
{
    Modulo::apriindirizzo(Modulo::paginaterreni);
}

void risultatitipologie::edifici_Click()
{
    Modulo::apriindirizzo(Modulo::paginaedifici);
}

void risultatitipologie::archivio_Click()
{
    Modulo::apriindirizzo(Modulo::paginaarchivio);
}

} // namespace perix
