#include "estimates/sintetici.h"

#include "ui/accessibile.h"
#include "ui/elementi.h"

#include "ui/controlli.h"
#include "ui/dialoghi.h"
#include "reports/foglio.h"
#include "reports/documento.h"
#include "ui/modulo.h"
#include "ui/comandi.h"
#include "core/calcoli.h"
#include "reports/rapporti_costi.h"

#include <QGroupBox>
#include <QIcon>
#include <QToolButton>

namespace perix {

namespace {

QList<MenuCornice> menuSintetici()
{
    QList<MenuCornice> m = rinominaMenu(menuPredefiniti(),
                                        {{"modifica", "modif"}, {"visualizza", "VISU"}, {"interr", "inter"},
                                         {"cancelladati", "cancella"}, {"informazioni", "informaz"},
                                         {"sugger", "sugg"}},
                                        {{"apri", "&Apri"}, {"eliminare", "E&limina..."}});
    // Nine lines: the main window's eight, and one between the main window and the cost
    // windows in Visualizza.
    for (MenuCornice &menu : m)
        if (menu.nome == QLatin1String("VISU"))
            menu.voci.insert(1, VoceMenu{});
    int n = 0;
    for (MenuCornice &menu : m)
        for (VoceMenu &v : menu.voci)
            if (!v.comando && v.nome.isEmpty())
                v.nome = QStringLiteral("l%1").arg(++n);
    return m;
}

// Grid geometry: three class columns right of the row headings; rows 26 pixels apart,
// room enough for the boxed figures at the usual type size.
constexpr int xColonne = 272, larghezzaColonna = 116, passoColonne = 120;
constexpr int yRighe = 62, passoRighe = 26, altezzaRiga = 22;

int xColonna(int classe) { return xColonne + (classe - 1) * passoColonne; }
int yRiga(int riga) { return yRighe + (riga - 1) * passoRighe; }

} // namespace

risultatisintetici::risultatisintetici()
    : FinestraCosti(descrizioneCosti(3, "Costi sintetici", "Perix: risultati della stima dei costi sintetici",
                                     menuSintetici(), 126, QStringLiteral("dei costi sintetici")),
                    QStringLiteral("risultatisintetici"))
{
    m_aiuto = QStringLiteral("- I dati provengono dalla finestra Menu;\r"
                             "- non è prevista alcuna immissione di dati;\r"
                             "- tornare indietro o aprire un file archiviato del tipo Perix-sint-... per "
                             "avere nuovi risultati.");
    QWidget *a = area();
    QFont grassetto = font();
    grassetto.setBold(true);

    passo = etichetta(a, "passo",
                      "la finestra è di sola lettura, immettere i dati nella finestra Menu o aprire un file archiviato",
                      {8, 360, 624, 28}, "indicazioni in linea sulla immissione dei dati");
    passo->setWordWrap(true);
    stilePasso(passo, false);
    accessibile::voce(passo);

    frame3()->setGeometry(8, 262, 262, 88); // level with the Web frame
    creaWeb(a, {280, 262, 352, 88}, {QRect{232, 34, 108, 30}, QRect{120, 34, 108, 30}, QRect{8, 34, 108, 30}}, 18);

    // Column headings, right to left as the classes rise.
    etichetta(a, "Label4", "evolute", {xColonna(3), 36, larghezzaColonna, altezzaRiga},
              "risultati per un edificio con caratteristiche evolute o signorili");
    etichetta(a, "Label3", " medie", {xColonna(2), 36, larghezzaColonna, altezzaRiga},
              "risultati per un edificio con caratteristiche di tipo medio o civile");
    etichetta(a, "Label2", " economiche", {xColonna(1), 36, larghezzaColonna, altezzaRiga},
              "risultati per un edificio con caratteristiche di tipo economico o popolare");
    for (const char *n : {"Label2", "Label3", "Label4"}) {
        auto *h = a->findChild<QLabel *>(QString::fromLatin1(n));
        h->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        h->setContentsMargins(0, 0, 4, 0);
        h->setFont(grassetto);
    }
    auto *Label5 = etichetta(a, "Label5", "CARATTERISTICHE DELL'EDIFICIO",
                             {xColonne, 10, xColonna(3) + larghezzaColonna - xColonne, 20});
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setFont(grassetto);

    const char *righe[7][2] = {
        {},
        {" Costo a metro cubo vuoto per pieno", "valutato con i parametri di cui sotto"},
        {" Costo a metro quadrato di superficie lorda", "dato immesso nella finestra Menu o prelevato da archivio"},
        {" Parametro del volume del vano (mc.)", "parametro di riferimento considerando il volume"},
        {" Parametro della superficie del vano (mq.)", "parametro di riferimento considerando la superficie"},
        {" Costo a vano (circa)", "costo per un vano virtuale con i parametri di cui sopra"},
        {"Tipo di edificio scelto", "il tipo di edificio di riferimento scelto nei dati"},
    };
    for (int r = 1; r <= 6; ++r)
        etichetta(a, qPrintable(QStringLiteral("Label1(%1)").arg(r)), righe[r][0], {8, yRiga(r), 262, altezzaRiga},
                  righe[r][1]);

    const char *colonne[4] = {"", "rissint", "rissint2", "rissint3"};
    const char *classi[4] = {"", "economiche", "medie", "evolute"};
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 5; ++r) {
            auto *v = new QLabel(a);
            v->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(colonne[c])).arg(r));
            v->setGeometry(xColonna(c), yRiga(r), larghezzaColonna, altezzaRiga);
            v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            v->setTextFormat(Qt::PlainText); // texts may come from a file
            // Read-only figures, boxed as the main window's results.
            v->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #b4bcc6; border-radius: 2px;"
                                            " background: #f7f9fb; padding: 0 3px; }"));
            m_griglia[std::size_t(c)][std::size_t(r)] = v;
            accessibile::cella(v, QString::fromUtf8(righe[r][0]), QStringLiteral("caratteristiche %1").arg(QLatin1String(classi[c])));
        }
        auto *icona = new QLabel(a);
        icona->setObjectName(QStringLiteral("Image1(%1)").arg(c));
        icona->setPixmap(QIcon(QStringLiteral(":/icons/moneta.svg")).pixmap(20, 20));
        icona->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        icona->setContentsMargins(0, 0, 4, 0);
        icona->setGeometry(xColonna(c), yRiga(6), larghezzaColonna, altezzaRiga);
        m_icone[std::size_t(c)] = icona;
        accessibile::nomina(icona, QStringLiteral("Tipo di edificio scelto: caratteristiche %1").arg(QLatin1String(classi[c])));
    }
    soldi()->setTextFormat(Qt::PlainText);
    soldi()->setToolTip(QStringLiteral("valuta scelta nella finestra Menu o prelevata da archivio"));
    // Under the grid: the building's gross floor area and the total cost of the chosen class.
    creaCostoTotale(a, {8, 226, 624, 26}, QStringLiteral("Superficie &lorda (m²):"), QStringLiteral("sintetici"),
                    QStringLiteral("m²"));
    nascondiIcone();
    dichiaraArchivio({.prefisso = QStringLiteral("Perix-sint-"),
                      .titoloApri = QStringLiteral("Apri file (costi di costruzione sintetici)"),
                      .riconosci = recordSintetico},
                     [this](QString *rifiuto) { return scrivisintetici(rifiuto); });
    dichiaraRapporto([this](QString *rifiuto) { return rapportoDi(datiRapporto(rifiuto), rapportoSintetici); });
    dichiaraFoglio([this](QString *rifiuto) { return foglioDi(datiRapporto(rifiuto), scriviFoglioSintetici); });
    completaCaricamento(QSize(640, 395));
}

void risultatisintetici::nascondiIcone()
{
    for (int c = 1; c <= 3; ++c)
        m_icone[std::size_t(c)]->hide();
    aggiornaTotale();
}

void risultatisintetici::mostraIcona(int classe)
{
    if (classe >= 1 && classe <= 3)
        m_icone[std::size_t(classe)]->show();
    aggiornaTotale();
}

std::optional<FinestraCosti::CostoUnitario> risultatisintetici::costoUnitario() const
{
    static const char *classi[4] = {"", "economiche-popolari", "medie-civili", "evolute-signorili"};
    for (std::size_t c = 1; c <= 3; ++c)
        if (iconaVisibile(int(c)) && !m_griglia[c][2]->text().trimmed().isEmpty())
            return CostoUnitario{QString::fromLatin1(classi[c]), m_griglia[c][2]->text()};
    return std::nullopt;
}

bool risultatisintetici::iconaVisibile(int classe) const
{
    return classe >= 1 && classe <= 3 && !m_icone[std::size_t(classe)]->isHidden();
}

void risultatisintetici::impostaColonna(int classe, const std::array<QString, 6> &valori)
{
    if (classe < 1 || classe > 3)
        return;
    for (int r = 1; r <= 5; ++r)
        m_griglia[std::size_t(classe)][std::size_t(r)]->setText(valori[std::size_t(r)]);
    aggiornaTotale();
}

DatiSintetici risultatisintetici::dati() const
{
    DatiSintetici d;
    d.soldi = soldi()->text();
    for (int c = 1; c <= 3; ++c)
        if (iconaVisibile(c))
            d.classe = c;
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            d.griglia[r][c] = m_griglia[c][r]->text();
    return d;
}

void risultatisintetici::mostraDati(const DatiSintetici &d)
{
    soldi()->setText(d.soldi);
    Modulo::etichettavaluta = d.soldi;
    nascondiIcone();
    // A file saved with no icon shown leaves the main window's class as it is.
    if (d.classe) {
        Modulo::classeedificio = *d.classe;
        mostraIcona(*d.classe);
    }
    for (std::size_t r = 1; r <= 5; ++r)
        for (std::size_t c = 1; c <= 3; ++c)
            m_griglia[c][r]->setText(d.griglia[r][c]);
    aggiornaTotale();
}

void risultatisintetici::apri_Click()
{
    // Nothing changes unless the whole record reads and checks, the file name included.
    const auto d = apriArchivio(campiSintetici, [](const QList<Campo> &c, QString *m) { return leggiSintetici(c, m); });
    if (!d)
        return;
    mostraDati(*d);
    fileAperto(nomefile());
}

std::optional<Record> risultatisintetici::scrivisintetici(QString *rifiuto) const
{
    if (soldi()->text().isEmpty())
        return rifiuta(rifiuto, QStringLiteral("Non esistono dati da archiviare."));
    return recordSintetici(dati());
}

void risultatisintetici::controlla_click()
{
    if (!soldi()->text().isEmpty() && !m_griglia[1][2]->text().isEmpty())
        dialoghi::messaggio(this, QStringLiteral("I dati sono stati immessi correttamente."), Modulo::titolocontrollo,
                            dialoghi::Icona::Informazione);
    else
        dialoghi::stop(this,
                       QStringLiteral("Tornare alla finestra Menu per l'immissione dei dati o prelevarne da un file "
                                      "archiviato (Perix-sint-...)."),
                       Modulo::titolocontrollo);
}

void risultatisintetici::cancella_click()
{
    soldi()->clear();
    nascondiIcone();
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 5; ++r)
            m_griglia[std::size_t(c)][std::size_t(r)]->clear();
    aggiornaTotale();
}

std::optional<DatiRapportoSintetici> risultatisintetici::datiRapporto(QString *rifiuto) const
{
    if (soldi()->text().isEmpty())
        return rifiuta(rifiuto, nienteDaStampare());
    DatiRapportoSintetici d;
    d.soldi = soldi()->text();
    for (std::size_t c = 1; c <= 3; ++c) {
        d.icona[c] = iconaVisibile(int(c));
        for (std::size_t r = 1; r <= 5; ++r)
            d.griglia[r][c] = m_griglia[c][r]->text();
    }
    return d;
}

} // namespace perix
