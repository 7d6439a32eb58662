#include "ui/cornice.h"

#include "ui/accessibile.h"
#include "ui/dialoghi.h"
#include "ui/elementi.h"
#include "ui/incarico.h"
#include "ui/modulo.h"
#include "ui/recupero.h"
#include "ui/registro.h"
#include "core/scrittura.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace perix {

namespace {

// How long the status line says where a file was saved, as the report window does.
constexpr int durataAnnuncio = 8000; // ms

struct PosizioneBarra {
    const char *icona;    // nullptr for a separator
    const char *suggerimento;
    Comando comando;
};

// Separators carry the command of the button after them.
const PosizioneBarra barra[22] = {
    {"apri", "apri file", Comando::Apri},
    {"salva", "salva file", Comando::Salva},
    {"salvanome", "salva file con nome", Comando::SalvaNome},
    {"elimina", "elimina file", Comando::Elimina},
    {nullptr, nullptr, Comando::Stampa},
    {"stampa", "stampa dati finestra", Comando::Stampa},
    {nullptr, nullptr, Comando::Fin1},
    {"finestra1", "visualizza finestra 'Menu'", Comando::Fin1},
    {"finestra2", "visualizza finestra 'Costi disaggregati'", Comando::Fin2},
    {"finestra3", "visualizza finestra 'Costi sintetici'", Comando::Fin3},
    {"finestra4", "visualizza finestra 'Costi per tipologie'", Comando::Fin4},
    {"finestra5", "visualizza finestra 'Costi per altezze'", Comando::Fin5},
    {nullptr, nullptr, Comando::Colore},
    {"colore", "colore di sfondo", Comando::Colore},
    {nullptr, nullptr, Comando::Guida},
    {"guida", "guida in linea", Comando::Guida},
    {"supporto", "supporto prodotto", Comando::Supporto},
    {"informazioni", "informazioni su Perix", Comando::Informazioni},
    {nullptr, nullptr, Comando::Controlla},
    {"controlla", "controllo dati immessi", Comando::Controlla},
    {"cancella", "cancella dati finestra", Comando::Cancella},
    {"uscita", "uscita da Perix", Comando::Esci},
};

VoceMenu voce(const char *nome, const char *testo, Comando c)
{
    return {QString::fromUtf8(nome), QString::fromUtf8(testo), c};
}
VoceMenu separatore(const char *nome = "")
{
    return {QString::fromUtf8(nome), QString(), std::nullopt};
}

// The shortcuts desktop users expect; Ctrl and F-keys never meet the captions' Alt mnemonics.
QKeySequence scorciatoia(Comando c)
{
    switch (c) {
    case Comando::Apri: return QKeySequence::Open;
    case Comando::Salva: return QKeySequence::Save;
    case Comando::SalvaNome: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    case Comando::Stampa: return QKeySequence::Print;
    case Comando::Fin1: return QKeySequence(Qt::CTRL | Qt::Key_1);
    case Comando::Fin2: return QKeySequence(Qt::CTRL | Qt::Key_2);
    case Comando::Fin3: return QKeySequence(Qt::CTRL | Qt::Key_3);
    case Comando::Fin4: return QKeySequence(Qt::CTRL | Qt::Key_4);
    case Comando::Fin5: return QKeySequence(Qt::CTRL | Qt::Key_5);
    case Comando::Finestra: return QKeySequence(Qt::Key_F1);
    default: return {};
    }
}

} // namespace

QList<MenuCornice> menuPredefiniti()
{
    return {
        {QStringLiteral("file"), QStringLiteral("&File"),
         {voce("apri", "&Apri...", Comando::Apri), separatore(),
          voce("salva", "&Salva", Comando::Salva),
          voce("salvanome", "Salva con &nome...", Comando::SalvaNome), separatore(),
          voce("eliminare", "E&limina", Comando::Elimina), separatore(),
          voce("solodati", "S&tampa dati finestra", Comando::Stampa),
          voce("esportaxlsx", "Esporta &foglio di calcolo...", Comando::EsportaFoglio), separatore(),
          voce("esci", "&Esci", Comando::Esci)}},
        {QStringLiteral("modifica"), QStringLiteral("&Modifica"),
         {voce("colorare", "&Colore di sfondo", Comando::Colore), separatore(),
          voce("controlla", "Controllo &dati immessi", Comando::Controlla), separatore(),
          voce("cancelladati", "C&ancella dati finestra", Comando::Cancella), separatore("sepincarico"),
          voce("incarico", "Dati dell'&incarico...", Comando::Incarico),
          voce("tecnico", "Dati del &tecnico...", Comando::Tecnico)}},
        {QStringLiteral("visualizza"), QStringLiteral("&Visualizza"),
         {voce("fin1", "Finestra Menu", Comando::Fin1),
          voce("fin2", "Finestra Costi disaggregati", Comando::Fin2),
          voce("fin3", "Finestra Costi sintetici", Comando::Fin3),
          voce("fin4", "Finestra Costi per tipologie", Comando::Fin4),
          voce("fin5", "Finestra Costi per altezze", Comando::Fin5)}},
        {QStringLiteral("interr"), QStringLiteral("&?"),
         {voce("guidainlinea", "&Guida in linea", Comando::Guida),
          voce("sugger", "&Suggerimenti...", Comando::Suggerimenti), separatore(),
          voce("supporto", "Supporto &prodotto", Comando::Supporto), separatore(),
          voce("informazioni", "&Informazioni su Perix", Comando::Informazioni), separatore("septecnico"),
          voce("tecnicoguida", "Dati del &tecnico...", Comando::Tecnico)}},
    };
}

namespace {

// The toolbar's pictures are read once per session: five windows of 22 buttons each would
// otherwise parse the same drawings again every time a window is made.
QIcon iconaRisorsa(const QString &percorso)
{
    static QHash<QString, QIcon> lette;
    auto it = lette.find(percorso);
    if (it == lette.end())
        it = lette.insert(percorso, QIcon(percorso));
    return *it;
}

} // namespace

FinestraStima::FinestraStima(const DescrizioneCornice &descrizione, QWidget *parent)
    : QMainWindow(parent), m_descrizione(descrizione)
{
    caricaRisorse();
    setWindowTitle(descrizione.titolo + QStringLiteral("[*]"));
    setWindowIcon(iconaRisorsa(QStringLiteral(":/icons/icona.svg")));
    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("area"));
    setCentralWidget(m_area);
    creaMenu();
    creaBarra();
    creaPulsanti();
    m_soldi = new QLabel(m_area);
    m_soldi->setObjectName(QStringLiteral("soldi"));
}

void FinestraStima::mostraTitolo(const QString &percorso)
{
    m_fileNelTitolo = percorso;
    // "[*]" is where the desktop shows the unsaved marker; one in a file's name stays text.
    const QString nome = QFileInfo(percorso).fileName().replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle((percorso.isEmpty() ? m_descrizione.titolo : QStringLiteral("Perix - ") + nome)
                   + QStringLiteral("[*]"));
}

void FinestraStima::fileAperto(const QString &percorso)
{
    mostraTitolo(percorso);
    prendiBase();
}

void FinestraStima::fileSalvato(const QString &percorso)
{
    fileAperto(percorso);
    annunciaSalvataggio(percorso);
}

void FinestraStima::fileEliminato(const QString &percorso)
{
    if (!m_fileNelTitolo.isEmpty() && QFileInfo(percorso) == QFileInfo(m_fileNelTitolo))
        fileAperto(QString());
}

void FinestraStima::dichiaraArchivio(DescrizioneArchivio archivio, Scrittore scrivi)
{
    m_archivio = std::move(archivio);
    m_scrivi = std::move(scrivi);
    prendiBase(); // what a fresh window holds
}

void FinestraStima::impostaAllegato(Allegato allegato)
{
    m_allegato = std::move(allegato);
    allegatoCambiato();
    figureCambiate(); // the job's data are figures of the estimate too
}

std::optional<Record> FinestraStima::recordCompleto(QString *rifiuto) const
{
    if (!m_scrivi)
        return std::nullopt;
    auto record = m_scrivi(rifiuto);
    if (record)
        *record += righeAllegato(m_allegato);
    return record;
}

Frontespizio FinestraStima::frontespizio() const
{
    return {m_allegato.incarico, leggiTecnico(), m_fileNelTitolo.isEmpty() ? QString() : QFileInfo(m_fileNelTitolo).fileName()};
}

void FinestraStima::incarico_Click()
{
    apriDatiIncarico(this, m_allegato.incarico, [this](const DatiIncarico &d) {
        Allegato a = m_allegato;
        a.incarico = d;
        impostaAllegato(std::move(a));
    });
}

void FinestraStima::dichiaraRapporto(std::function<Rapporto(QString *)> rapporto) { m_rapporto = std::move(rapporto); }

void FinestraStima::salva_Click() { scrivi(QStringLiteral("Salva file")); }

void FinestraStima::salvanome_Click()
{
    m_nomefile.clear();
    scrivi(QStringLiteral("Salva file con nome"));
}

void FinestraStima::scrivi(const QString &titoloDialogo)
{
    if (!m_archivio || !m_scrivi)
        return;
    QString rifiuto;
    const std::optional<Record> record = recordCompleto(&rifiuto);
    if (!record) {
        dialoghi::stop(this, rifiuto, Modulo::titolocontrollo);
        return;
    }
    const QString prima = m_nomefile;
    if (m_chiediSovrascrittura && !m_nomefile.isEmpty()) {
        // Figures brought back after an interruption: the file may have been changed since.
        const auto r = dialoghi::messaggio(
            this,
            QStringLiteral("I dati di questa finestra sono stati ripristinati dopo un'interruzione di Perix e il "
                           "file %1 potrebbe essere cambiato nel frattempo. Sostituirlo con i dati della finestra?\r"
                           "Rispondendo No si sceglie un altro nome.")
                .arg(QFileInfo(m_nomefile).fileName()),
            Modulo::titolocontrollo, dialoghi::Icona::Domanda, dialoghi::Pulsanti::SiNo, 2);
        if (r != dialoghi::Risposta::Si)
            m_nomefile.clear();
    }
    if (salvaArchivio(this, *m_archivio, m_nomefile, titoloDialogo, *record, Modulo::titolocontrollo))
        fileSalvato(m_nomefile);
    else if (m_nomefile.isEmpty())
        m_nomefile = prima; // another name was not chosen: the next "Salva" asks again
}

namespace {

// The currency caption comes first in every record; without another field filled there
// is no figure to keep.
bool haFigure(const Record &record)
{
    bool primo = true;
    for (const Riga &riga : record)
        for (const Valore &v : riga) {
            if (std::exchange(primo, false))
                continue;
            if (std::holds_alternative<double>(v))
                return true;
            if (const auto *t = std::get_if<QString>(&v); t && !t->isEmpty())
                return true;
        }
    return false;
}

} // namespace

FinestraStima::Figure FinestraStima::figure() const
{
    Figure f;
    if (!m_scrivi)
        return f;
    // Exactly what "Salva" writes: the record and its appendix.
    if (const auto record = recordCompleto(nullptr); record && haFigure(*record)) {
        f.record = codificaRecord(*record);
        f.aggiunte = figureAggiunte();
    }
    return f;
}

void FinestraStima::prendiBase()
{
    m_base = figure();
    m_daVerificare = false;
    m_chiediSovrascrittura = false;
    setWindowModified(false);
}

bool FinestraStima::verificaFigure()
{
    m_daVerificare = false;
    const Figure f = figure();
    const bool diverse = f.record && (!m_base || f != *m_base);
    setWindowModified(diverse);
    return diverse;
}

void FinestraStima::aggiunteSalvate()
{
    if (m_base && m_base->record)
        m_base->aggiunte = figureAggiunte();
    verificaFigure();
}

void FinestraStima::segnaCambiamento(bool testo)
{
    // The keystroke's whole cost: the comparison and the copy wait for the timer.
    m_daVerificare = true;
    if (testo && !isWindowModified())
        setWindowModified(true);
    recupero::pianifica();
}

void FinestraStima::figureCambiate()
{
    segnaCambiamento(false);
    verificaFigure();
}

void FinestraStima::valutaRicevuta()
{
    if (m_base && !m_daVerificare && !isWindowModified())
        m_base = figure();
}

bool FinestraStima::ripristina(const QByteArray &record, const QByteArray &aggiunte, const QString &file)
{
    if (!m_archivio)
        return false;
    const bool letto = apriDaDati(m_archivio->prefisso + QStringLiteral("ripristino"), record,
                                  [this] { esegui(Comando::Apri); });
    if (!letto)
        return false;
    // The record is in: whatever follows, the window no longer names the temporary file.
    const bool tutto = aggiunte.isEmpty() || riprendiFigureAggiunte(aggiunte);
    m_nomefile = file;
    mostraTitolo(file);
    m_base.reset(); // never what was last saved: kept only in the copy
    m_chiediSovrascrittura = !file.isEmpty();
    m_daVerificare = true;
    setWindowModified(true);
    recupero::pianifica();
    return tutto; // not all of it: the copy goes to the trash, where it can still be taken back
}

void FinestraStima::osservaFigure()
{
    for (QLineEdit *e : m_area->findChildren<QLineEdit *>())
        connect(e, &QLineEdit::textChanged, this, [this] { segnaCambiamento(true); });
    for (QAbstractButton *b : m_area->findChildren<QAbstractButton *>())
        connect(b, &QAbstractButton::clicked, this, [this] { segnaCambiamento(false); });
    recupero::registra(this);
}

void FinestraStima::closeEvent(QCloseEvent *e)
{
    QMainWindow::closeEvent(e);
    if (e->isAccepted())
        recupero::chiusa(this);
}

void FinestraStima::changeEvent(QEvent *e)
{
    // A window reached with figures handed over shows at once whether they are saved.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && m_daVerificare)
        verificaFigure();
    QMainWindow::changeEvent(e);
}

void FinestraStima::eliminare_click()
{
    if (m_archivio && eliminaArchivio(this, *m_archivio, m_nomefile, Modulo::titoloelimina, Modulo::titolocontrollo))
        fileEliminato(m_nomefile);
}

void FinestraStima::solodati_click()
{
    if (!m_rapporto)
        return;
    QString rifiuto;
    const Rapporto mostra = m_rapporto(&rifiuto);
    if (!mostra) {
        dialoghi::messaggio(this, rifiuto, Modulo::titolocontrollo, m_descrizione.rifiutoStampa);
        return;
    }
    // "passo", the guidance line every estimation window has, tells what happens meanwhile.
    auto *passo = findChild<QLabel *>(QStringLiteral("passo"));
    const QString prima = passo ? passo->text() : QString();
    if (passo) {
        passo->setText(QStringLiteral("sto preparando il documento"));
        passo->repaint(); // the user sees it while the document is built
    }
    QString motivo;
    if (!mostra(&motivo)) {
        if (passo)
            passo->setText(prima);
        dialoghi::stop(this, QStringLiteral("Impossibile preparare il documento %1: %2").arg(m_descrizione.documento, motivo),
                       Modulo::titolocontrollo);
        return;
    }
    if (passo)
        passo->setText(QStringLiteral("documento pronto: stamparlo o salvarlo dalla sua finestra"));
}

void FinestraStima::esportaxlsx_click()
{
    if (!m_foglio)
        return;
    QString rifiuto;
    const Foglio scrivi = m_foglio(&rifiuto);
    if (!scrivi) {
        dialoghi::messaggio(this, rifiuto, Modulo::titolocontrollo, m_descrizione.rifiutoStampa);
        return;
    }
    // Named after the archive file the figures came from, or the window's prefix, as saves are.
    const QString estensione = QStringLiteral(".xlsx");
    const QString base = !m_nomefile.isEmpty() ? QFileInfo(m_nomefile).fileName()
        : m_archivio                           ? m_archivio->prefisso
                                               : QStringLiteral("Perix-");
    const auto scelta = dialoghi::salvaFile(
        this, {QStringLiteral("Esporta foglio di calcolo"), base + estensione,
               {{QStringLiteral("Cartella di lavoro Excel"), QStringLiteral("*.xlsx")}}, 1, QStringLiteral("fogli")});
    if (!scelta)
        return;
    const QString percorso = scelta->endsWith(estensione, Qt::CaseInsensitive) ? *scelta : *scelta + estensione;
    QString motivo;
    if (!scriviAtomico(percorso, scrivi, &motivo, modoDocumento)) {
        dialoghi::stop(this,
                       QStringLiteral("Impossibile salvare il file %1: %2").arg(QDir::toNativeSeparators(percorso), motivo),
                       Modulo::titolocontrollo);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Foglio di calcolo salvato in %1")
                                 .arg(QDir::toNativeSeparators(QFileInfo(percorso).absoluteFilePath())),
                             durataAnnuncio);
}

void FinestraStima::dichiaraFoglio(std::function<Foglio(QString *rifiuto)> foglio) { m_foglio = std::move(foglio); }

void FinestraStima::annunciaSalvataggio(const QString &percorso)
{
    statusBar()->showMessage(
        QStringLiteral("Salvato in %1").arg(QDir::toNativeSeparators(QFileInfo(percorso).absoluteFilePath())),
        durataAnnuncio);
}

void FinestraStima::creaMenu()
{
    for (const MenuCornice &m : std::as_const(m_descrizione.menu)) {
        QMenu *menu = menuBar()->addMenu(m.testo);
        menu->setObjectName(m.nome);
        for (const VoceMenu &v : m.voci) {
            QAction *a = v.comando ? menu->addAction(v.testo) : menu->addSeparator();
            if (!v.nome.isEmpty())
                a->setObjectName(v.nome);
            if (v.comando) {
                a->setShortcut(scorciatoia(*v.comando));
                connect(a, &QAction::triggered, this, [this, c = *v.comando] { esegui(c); });
            }
        }
    }
    // The far-right item naming the window: Qt has no right-aligned menu item, so the
    // blanks of its caption push it there, as they always did.
    const QString testo = QString(m_descrizione.spaziFinestra, u' ')
        + QStringLiteral("Fi&nestra n.%1 di 5").arg(m_descrizione.numero);
    auto *fin = new QAction(testo.trimmed(), this);
    fin->setObjectName(QStringLiteral("finestra"));
    fin->setProperty("didascalia", testo);
    fin->setShortcut(scorciatoia(Comando::Finestra));
    addAction(fin); // keeps its Alt+N mnemonic
    connect(fin, &QAction::triggered, this, [this] { esegui(Comando::Finestra); });
    auto *angolo = new QToolButton(menuBar());
    angolo->setObjectName(QStringLiteral("finestraAngolo"));
    angolo->setDefaultAction(fin);
    angolo->setAutoRaise(true);
    angolo->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // It reads as the window's name: Tab passes it by (F1 and Alt+N still run it).
    angolo->setFocusPolicy(Qt::NoFocus);
    menuBar()->setCornerWidget(angolo, Qt::TopRightCorner);
}

void FinestraStima::creaBarra()
{
    m_barra = addToolBar(QStringLiteral("Barra degli strumenti"));
    m_barra->setObjectName(QStringLiteral("Toolbar1"));
    m_barra->setMovable(false);
    m_barra->setFloatable(false);
    m_barra->setIconSize(QSize(24, 24));
    m_barra->setContextMenuPolicy(Qt::PreventContextMenu);
    for (int p = 1; p <= 22; ++p) {
        const PosizioneBarra &b = barra[p - 1];
        QAction *a = b.icona
            ? m_barra->addAction(iconaRisorsa(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icona))),
                                 QString::fromUtf8(b.suggerimento))
            : m_barra->addSeparator();
        a->setObjectName(QStringLiteral("Toolbar1(%1)").arg(p));
        if (b.icona) {
            a->setToolTip(QString::fromUtf8(b.suggerimento));
            connect(a, &QAction::triggered, this, [this, p] { Toolbar1_ButtonClick(p); });
        }
    }
}

void FinestraStima::creaPulsanti()
{
    m_frame3 = new QGroupBox(m_area);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    struct P { const char *nome, *testo, *suggerimento; Comando c; bool aiuto; };
    const P pulsanti[] = {
        {"cmduscita", "&USCITA", "cliccare per uscire da Perix", Comando::Esci, false},
        {"cmdmune", "Me&nu", "cliccare per visualizzare la finestra 'Menu'", Comando::Fin1, false},
        {"guida", "&Guida in linea", "cliccare per visualizzare il sommario della guida", Comando::Guida, false},
        {"aiuto", "&AIUTO", "cliccare per visualizzare gli aiuti in linea", Comando::Guida, true},
    };
    for (const P &p : pulsanti)
        pulsante(m_frame3, QString::fromUtf8(p.nome), QString::fromUtf8(p.testo), {}, QString::fromUtf8(p.suggerimento),
                 [this, c = p.c, aiuto = p.aiuto] { aiuto ? aiuto_Click() : esegui(c); });
    // The toolbar's "guida in linea" opens the same table of contents: the button says which.
    accessibile::nomina(m_frame3->findChild<QPushButton *>(QStringLiteral("guida")),
                        QStringLiteral("Guida in linea: sommario"));
}

void FinestraStima::disponiPulsanti(QRect riquadro, int larghezza, int passo)
{
    m_frame3->setGeometry(riquadro);
    int i = 0;
    for (const char *n : {"cmduscita", "cmdmune", "guida", "aiuto"}) {
        if (auto *b = m_frame3->findChild<QPushButton *>(QString::fromLatin1(n)))
            b->setGeometry(8 + passo * (i % 2), i < 2 ? 12 : 46, larghezza, 30);
        ++i;
    }
}

void FinestraStima::completaCaricamento(QSize areaProgetto)
{
    // The controls are placed for this inner size; the window then takes its fixed
    // start size of 9600 × 6825 twips, menu bar and toolbar included.
    m_area->resize(areaProgetto);
    m_resize.setSourceForm(m_area);
    m_resize.SizeFormToScreen(75, this);
    resize(9600 / twipsPerPixel, 6825 / twipsPerPixel);
    m_area->installEventFilter(this);
    ordinaCampi();
    osservaFigure();
    prendiBase();
}

void FinestraStima::ordinaCampi()
{
    // Tab goes through the controls as they are read: the blocks of the window (a frame and
    // what it holds, a field standing alone) top to bottom, left to right within a row, and
    // so the controls inside each block.
    QList<QWidget *> controlli;
    for (QWidget *w : m_area->findChildren<QWidget *>())
        if (w->focusPolicy() & Qt::TabFocus)
            controlli << w;
    const auto blocco = [this](QWidget *w) {
        while (w->parentWidget() && w->parentWidget() != m_area)
            w = w->parentWidget();
        return w;
    };
    // Tops a few pixels apart are one row (a button set a pixel lower than its field).
    const auto prima = [](QPoint a, QPoint b) {
        return a.y() / 8 != b.y() / 8 ? a.y() < b.y() : a.x() < b.x();
    };
    std::stable_sort(controlli.begin(), controlli.end(), [&](QWidget *a, QWidget *b) {
        QWidget *ba = blocco(a), *bb = blocco(b);
        if (ba != bb)
            return prima(ba->pos(), bb->pos());
        return prima(a->mapTo(ba, QPoint(0, 0)), b->mapTo(bb, QPoint(0, 0)));
    });
    // The order is a ring: Tab from the last control comes back to the first.
    for (qsizetype i = 1; i < controlli.size(); ++i)
        QWidget::setTabOrder(controlli[i - 1], controlli[i]);
}

bool FinestraStima::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_area && e->type() == QEvent::Resize)
        m_resize.ResizeControls();
    return QMainWindow::eventFilter(o, e);
}

Comando FinestraStima::comandoPosizione(int posizione)
{
    return barra[std::clamp(posizione, 1, 22) - 1].comando;
}

void FinestraStima::Toolbar1_ButtonClick(int posizione)
{
    if (posizione < 1 || posizione > 22)
        return;
    Modulo::aggiornavaluta();
    esegui(comandoPosizione(posizione));
}

void FinestraStima::esegui(Comando c)
{
    const auto finestra = [this](int n) {
        if (n == numero()) {
            finestraPropria_click();
        } else {
            if (n != 1)
                Modulo::aggiornavaluta();
            mostraFinestraStima(n);
        }
    };
    switch (c) {
    case Comando::Apri: apri_Click(); break;
    case Comando::Salva: salva_Click(); break;
    case Comando::SalvaNome: salvanome_Click(); break;
    case Comando::Elimina: eliminare_click(); break;
    case Comando::Stampa: solodati_click(); break;
    case Comando::Esci: Modulo::confermauscita(this); break;
    case Comando::Colore: colorare_Click(); break;
    case Comando::Controlla: controlla_click(); break;
    case Comando::Cancella:
        cancelladati_Click();
        segnaCambiamento(false);
        break;
    case Comando::Fin1: finestra(1); break;
    case Comando::Fin2: finestra(2); break;
    case Comando::Fin3: finestra(3); break;
    case Comando::Fin4: finestra(4); break;
    case Comando::Fin5: finestra(5); break;
    case Comando::Guida:
    case Comando::Suggerimenti:
    case Comando::Supporto:
    case Comando::Informazioni: mostraFinestraAiuto(c); break;
    case Comando::Finestra: finestra_Click(); break;
    case Comando::EsportaFoglio: esportaxlsx_click(); break;
    case Comando::Incarico: incarico_Click(); break;
    case Comando::Tecnico: apriDatiTecnico(this); break;
    }
}

void FinestraStima::finestraPropria_click()
{
    const auto r = dialoghi::messaggio(
        this,
        QStringLiteral("E' questa la finestra '%1': si vuole la guida della finestra?").arg(m_descrizione.nomeVisibile),
        Modulo::titoloaiuto, dialoghi::Icona::Domanda, dialoghi::Pulsanti::SiNo, 1);
    if (r != dialoghi::Risposta::No)
        mostraGuidaFinestra(numero());
}

void FinestraStima::finestra_Click()
{
    mostraGuidaFinestra(numero());
}

void FinestraStima::colorare_Click()
{
    // Cancelling leaves the window as it was (it used to repaint it with the dialog's old colour).
    const QColor iniziale = m_coloreDialogo.value_or(m_area->palette().color(QPalette::Window));
    const auto scelto = dialoghi::scegliColore(this, iniziale);
    if (!scelto || !scelto->isValid())
        return;
    m_coloreDialogo = *scelto;
    Modulo::coloresfondo = scelto->rgb();
    colora(m_area, *scelto);
}

} // namespace perix
