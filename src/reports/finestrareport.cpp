#include "reports/finestrareport.h"

#include "ui/elementi.h"
#include "ui/dialoghi.h"
#include "ui/modulo.h"
#include "reports/docx.h"
#include "reports/documento.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace perix {

namespace {

finestrareport::DialogoStampa &dialogoStampa()
{
    static finestrareport::DialogoStampa d;
    return d;
}

finestrareport::Apertura &apertura()
{
    static finestrareport::Apertura a;
    return a;
}

QString nomeProgramma()
{
    return Modulo::nomeprogramma.isEmpty() ? QStringLiteral("Perix") : Modulo::nomeprogramma;
}

QString conEstensione(const QString &percorso, const QString &estensione)
{
    return percorso.endsWith(estensione, Qt::CaseInsensitive) ? percorso : percorso + estensione;
}

QIcon icona(const QString &risorsa, QStyle::StandardPixmap riserva, const QWidget *w)
{
    if (QFile::exists(risorsa))
        return QIcon(risorsa);
    return w->style()->standardIcon(riserva);
}

void fallimento(QWidget *finestra, const QString &testo)
{
    dialoghi::stop(finestra, testo, Modulo::titolocontrollo);
}

} // namespace

QString titoloDocumento(const QString &nome)
{
    return nome.isEmpty() ? nomeProgramma() : nomeProgramma() + QStringLiteral(" - ") + nome;
}

finestrareport::finestrareport(const QString &nome, QWidget *parent) : finestrareport(nome, nullptr, parent) {}

finestrareport::finestrareport(const QString &nome, Document *documento, QWidget *parent)
    : QMainWindow(parent), nome_(nome)
{
    setObjectName(QStringLiteral("finestrareport"));
    setAttribute(Qt::WA_DeleteOnClose);
    caricaRisorse();
    setWindowIcon(icona(QStringLiteral(":/icons/icona.svg"), QStyle::SP_FileIcon, this));
    setWindowTitle(nomeProgramma() + QStringLiteral(": documento")
                   + (nome.isEmpty() ? QString() : QStringLiteral(" - ") + nome));

    if (documento) {
        documento_ = documento;
        documento_->setParent(this);
    } else {
        documento_ = new Document(this);
        documento_->setMetaInformation(QTextDocument::DocumentTitle, titoloDocumento(nome));
    }

    stampanteAnteprima_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    preparaStampante(*stampanteAnteprima_);
    anteprima_ = new QPrintPreviewWidget(stampanteAnteprima_.get(), this);
    anteprima_->setObjectName(QStringLiteral("anteprima"));
    anteprima_->fitToWidth();
    connect(anteprima_, &QPrintPreviewWidget::paintRequested, this, &finestrareport::disegna);
    setCentralWidget(anteprima_);
    connect(documento_, &QTextDocument::contentsChanged, this, &finestrareport::pianificaAggiornamento);

    QToolBar *barra = addToolBar(QStringLiteral("Documento"));
    barra->setObjectName(QStringLiteral("barradocumento"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto azione = [&](const char *nomeAzione, const QString &testo, const QIcon &ic, const QKeySequence &tasti,
                      const QString &suggerimento, auto comando) {
        auto *a = new QAction(ic, testo, this);
        a->setObjectName(QString::fromLatin1(nomeAzione));
        a->setShortcut(tasti);
        a->setToolTip(suggerimento);
        a->setStatusTip(suggerimento);
        connect(a, &QAction::triggered, this, comando);
        addAction(a); // shortcuts work wherever the action is shown
        return a;
    };
    barra->addAction(azione("stampa", QStringLiteral("&Stampa..."),
           icona(QStringLiteral(":/icons/stampa.svg"), QStyle::SP_FileDialogDetailedView, this),
           QKeySequence::Print, QStringLiteral("stampa il documento"), [this] { stampa(); }));
    barra->addAction(azione("esportapdf", QStringLiteral("Esporta &PDF..."),
           icona(QStringLiteral(":/icons/salvanome.svg"), QStyle::SP_DialogSaveButton, this),
           QKeySequence(), QStringLiteral("salva il documento come file PDF"), [this] { esportaPdf(); }));
    barra->addAction(azione("salvadocx", QStringLiteral("Salva come documento &Word..."),
           icona(QStringLiteral(":/icons/salva.svg"), QStyle::SP_DialogSaveButton, this),
           QKeySequence::Save, QStringLiteral("salva il documento nel formato degli elaboratori di testi (.docx)"),
           [this] { salvaDocx(); }));
    barra->addAction(azione("apriconelaboratore", QStringLiteral("&Apri con l'elaboratore di testi"),
           icona(QStringLiteral(":/icons/apri.svg"), QStyle::SP_DirOpenIcon, this), QKeySequence(),
           QStringLiteral("apre una copia del documento con l'elaboratore di testi del sistema"),
           [this] { apriConElaboratore(); }));

    // Closing as any document window closes, with no button of its own on the toolbar.
    QList<QKeySequence> chiusura{QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)};
    for (const QKeySequence &k : QKeySequence::keyBindings(QKeySequence::Close))
        if (!chiusura.contains(k))
            chiusura << k; // Ctrl+F4 too where the desktop uses it
    azione("chiudi", QStringLiteral("&Chiudi"), QIcon(), QKeySequence(), QStringLiteral("chiude il documento"),
           [this] { close(); })
        ->setShortcuts(chiusura);

    // The view controls sit in the status bar, out of the way of the document commands.
    stato_ = new QLabel(this);
    stato_->setObjectName(QStringLiteral("pagine"));
    statusBar()->addPermanentWidget(stato_);
    const QList<QAction *> vista = {
        azione("riduci", QStringLiteral("\u2212"), QIcon(), QKeySequence::ZoomOut, QStringLiteral("riduce la pagina"),
               [this] { anteprima_->zoomOut(); }),
        azione("ingrandisci", QStringLiteral("+"), QIcon(), QKeySequence::ZoomIn, QStringLiteral("ingrandisce la pagina"),
               [this] { anteprima_->zoomIn(); }),
        azione("adattalarghezza", QStringLiteral("&Larghezza pagina"), QIcon(), QKeySequence(),
               QStringLiteral("mostra la pagina larga quanto la finestra"), [this] { anteprima_->fitToWidth(); }),
        azione("paginaintera", QStringLiteral("Pagina &intera"), QIcon(), QKeySequence(),
               QStringLiteral("mostra una pagina intera"), [this] { anteprima_->fitInView(); }),
    };
    for (QAction *a : vista) {
        auto *b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        statusBar()->addPermanentWidget(b);
    }

    const QRect schermo = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(900, schermo.width() * 9 / 10), schermo.height() * 9 / 10);
}

finestrareport::~finestrareport()
{
    // The preview refers to our printer: it goes first.
    disconnect(documento_, nullptr, this, nullptr);
    delete anteprima_;
    anteprima_ = nullptr;
}

Document *finestrareport::documento() const { return documento_; }
QString finestrareport::nome() const { return nome_; }
QPrintPreviewWidget *finestrareport::anteprima() const { return anteprima_; }
int finestrareport::pagine() const { return anteprima_ ? anteprima_->pageCount() : 0; }
QString finestrareport::documentoAperto() const { return documentoAperto_; }

void finestrareport::impostaDialogoStampa(DialogoStampa dialogo) { dialogoStampa() = std::move(dialogo); }
void finestrareport::impostaApertura(Apertura a) { apertura() = std::move(a); }

void finestrareport::pianificaAggiornamento()
{
    if (daAggiornare_)
        return;
    daAggiornare_ = true;
    // Many edits make one report: draw once, when the building is over.
    QMetaObject::invokeMethod(this, [this] { if (daAggiornare_) aggiorna(); }, Qt::QueuedConnection);
}

void finestrareport::aggiorna()
{
    daAggiornare_ = false;
    preparaStampante(*stampanteAnteprima_); // the document may have changed its paper
    anteprima_->updatePreview();
    aggiornaStato();
}

void finestrareport::aggiornaStato()
{
    const int n = pagine();
    stato_->setText(n == 1 ? QStringLiteral("1 pagina") : QStringLiteral("%1 pagine").arg(n));
}

void finestrareport::disegna(QPrinter *stampante) { documento_->printPages(*stampante); }

void finestrareport::preparaStampante(QPrinter &stampante) const
{
    stampante.setPageLayout(QPageLayout(documento_->paperSize(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    stampante.setFullPage(true);
    stampante.setDocName(windowTitle());
}

void finestrareport::impostaArchivio(const QString &percorso) { archivio_ = percorso; }

QString finestrareport::nomeProposto() const
{
    // A file deleted since, or a name never written, is no file the estimate has.
    if (!archivio_.isEmpty() && QFileInfo(archivio_).isFile())
        return QFileInfo(archivio_).fileName();
    QString base = nomeProgramma() + (nome_.isEmpty() ? QStringLiteral("-documento") : QStringLiteral(" - ") + nome_);
    static const QRegularExpression vietati(QStringLiteral(R"([/\\:*?"<>|])"));
    return base.replace(vietati, QStringLiteral("-"));
}

QString finestrareport::cartellaProposta() const
{
    return !archivio_.isEmpty() && QFileInfo(archivio_).isFile() ? QFileInfo(archivio_).absolutePath() : QString();
}

QString finestrareport::nomeFile(const QString &estensione) const
{
    return nomeProposto() + estensione;
}

bool finestrareport::stampa()
{
    QPrinter stampante(QPrinter::HighResolution);
    preparaStampante(stampante);
    bool conferma = false;
    if (const auto &d = dialogoStampa()) {
        conferma = d(stampante, this);
    } else {
        QPrintDialog dialogo(&stampante, this);
        dialogo.setWindowTitle(QStringLiteral("Stampa del documento"));
        conferma = dialogo.exec() == QDialog::Accepted;
    }
    if (!conferma)
        return false;
    stampante.setFullPage(true); // the document brings its own margins
    QString motivo;
    if (!documento_->printPages(stampante, &motivo)) {
        fallimento(this, QStringLiteral("Impossibile stampare il documento: ") + motivo);
        return false;
    }
    return true;
}

bool finestrareport::esportaPdf()
{
    return salvaCome(QStringLiteral("Esporta il documento in PDF"), QStringLiteral("Documento PDF"), QStringLiteral(".pdf"),
                     QStringLiteral("Impossibile esportare il documento in PDF %1: %2"), QStringLiteral("PDF salvato in %1"),
                     [this](const QString &p, QString *m) { return documento_->exportPdf(p, m); });
}

bool finestrareport::salvaDocx()
{
    return salvaCome(QStringLiteral("Salva come documento Word"), QStringLiteral("Documento Word"), QStringLiteral(".docx"),
                     QStringLiteral("Impossibile salvare il documento %1: %2"),
                     QStringLiteral("Documento Word salvato in %1"),
                     [this](const QString &p, QString *m) { return scriviDocx(*documento_, p, m); });
}

bool finestrareport::salvaCome(const QString &titolo, const QString &tipo, const QString &estensione,
                               const QString &errore, const QString &fatto,
                               const std::function<bool(const QString &, QString *)> &scrivi)
{
    const auto scelta = dialoghi::salvaFile(this, {titolo, nomeFile(estensione), {{tipo, u'*' + estensione}}, 1,
                                                   QStringLiteral("rapporti"), cartellaProposta()});
    if (!scelta)
        return false;
    const QString percorso = conEstensione(*scelta, estensione);
    QString motivo;
    if (!scrivi(percorso, &motivo)) {
        fallimento(this, errore.arg(QDir::toNativeSeparators(percorso), motivo));
        return false;
    }
    annunciaFile(fatto, percorso);
    return true;
}

void finestrareport::annunciaFile(const QString &frase, const QString &percorso)
{
    statusBar()->showMessage(frase.arg(QDir::toNativeSeparators(QFileInfo(percorso).absoluteFilePath())), 8000);
}

QString finestrareport::cartellaCopie()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/documenti");
}

int finestrareport::pulisciCopie(int giorni)
{
    QDir cartella(cartellaCopie());
    const QDateTime limite = QDateTime::currentDateTime().addDays(-giorni);
    int tolte = 0;
    for (const QFileInfo &f : cartella.entryInfoList({QStringLiteral("*.docx")}, QDir::Files))
        if (f.lastModified() < limite && QFile::remove(f.absoluteFilePath()))
            ++tolte;
    return tolte;
}

bool finestrareport::apriConElaboratore()
{
    const QString titolo = QStringLiteral("Impossibile aprire il documento con l'elaboratore di testi: ");
    // The copy outlives this window: the word processor may still be starting, or the user
    // may save from it. Start-up clears copies a few days old.
    QDir cartella(cartellaCopie());
    if (!cartella.mkpath(QStringLiteral("."))) {
        fallimento(this, titolo + QStringLiteral("la cartella %1 non può essere creata")
                                      .arg(QDir::toNativeSeparators(cartella.path())));
        return false;
    }
    // A new name each time: the copy opened before may still be open in the word processor.
    const QString base = nomeFile(QString());
    QString percorso = cartella.filePath(base + QStringLiteral(".docx"));
    for (int n = 2; QFileInfo::exists(percorso); ++n)
        percorso = cartella.filePath(QStringLiteral("%1 (%2).docx").arg(base).arg(n));
    QString motivo;
    if (!scriviDocx(*documento_, percorso, &motivo)) {
        fallimento(this, titolo + motivo);
        return false;
    }
    documentoAperto_ = percorso;
    const QUrl indirizzo = QUrl::fromLocalFile(percorso);
    const bool aperto = apertura() ? apertura()(indirizzo) : QDesktopServices::openUrl(indirizzo);
    if (!aperto) {
        fallimento(this, titolo + QStringLiteral("nel sistema non c'è un programma che apra i documenti Word"));
        return false;
    }
    return true;
}

QAction *finestrareport::aggiungiOpzione(const QString &nomeAzione, const QString &testo,
                                         const QString &suggerimento, bool attiva,
                                         std::function<void(bool)> ricostruisci)
{
    // A check box in the tool button, ticked when the option is on: a pressed tool button
    // alone hardly shows its state.
    QIcon casella;
    for (const bool attivo : {false, true}) {
        const int lato = style()->pixelMetric(QStyle::PM_IndicatorWidth);
        QPixmap disegno(lato, lato);
        disegno.fill(Qt::transparent);
        QPainter pittore(&disegno);
        QStyleOptionButton opzione;
        opzione.rect = disegno.rect();
        opzione.state = QStyle::State_Enabled | (attivo ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opzione, &pittore, this);
        pittore.end();
        casella.addPixmap(disegno, QIcon::Normal, attivo ? QIcon::On : QIcon::Off);
    }
    auto *a = new QAction(casella, testo, this);
    a->setObjectName(nomeAzione);
    a->setCheckable(true);
    a->setChecked(attiva);
    a->setToolTip(suggerimento);
    a->setStatusTip(suggerimento);
    // Connected after the first state is set: opening the window rebuilds nothing.
    connect(a, &QAction::toggled, this, [this, ricostruisci = std::move(ricostruisci)](bool si) {
        nuovoDocumento();
        ricostruisci(si);
    });
    // A row of their own under the commands, so a narrow window never folds them away.
    auto *barra = findChild<QToolBar *>(QStringLiteral("barraopzioni"));
    if (!barra) {
        addToolBarBreak();
        barra = addToolBar(QStringLiteral("Opzioni"));
        barra->setObjectName(QStringLiteral("barraopzioni"));
        barra->setMovable(false);
        barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    barra->addAction(a);
    return a;
}

Document *finestrareport::nuovoDocumento()
{
    Document *vecchio = documento_;
    documento_ = new Document(this);
    documento_->setMetaInformation(QTextDocument::DocumentTitle,
                                   vecchio->metaInformation(QTextDocument::DocumentTitle));
    documento_->setAuthor(vecchio->author());
    documento_->setSubject(vecchio->subject());
    connect(documento_, &QTextDocument::contentsChanged, this, &finestrareport::pianificaAggiornamento);
    disconnect(vecchio, nullptr, this, nullptr);
    delete vecchio;
    pianificaAggiornamento();
    return documento_;
}

} // namespace perix
