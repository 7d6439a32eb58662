#include "ui/recupero.h"

#include "ui/comandi.h"
#include "ui/cornice.h"
#include "ui/dialoghi.h"
#include "core/allegato.h"
#include "core/campi.h"
#include "core/tipi.h"
#include "core/verifica.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QPointer>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <map>
#include <numeric>

namespace perix::recupero {

namespace {

// The first line of every copy; the second is a JSON object saying what follows it.
const QByteArray intestazione = QByteArrayLiteral("Perix-recupero 1\r\n");
const QString nomeBlocco = QStringLiteral("sessione.lock");

QString nomeCopia(int finestra) { return QStringLiteral("finestra-%1.copia").arg(finestra); }

TipoArchivio tipoFinestra(int finestra)
{
    switch (finestra) {
    case 2: return TipoArchivio::Disaggregati;
    case 3: return TipoArchivio::Sintetici;
    case 4: return TipoArchivio::Tipologie;
    case 5: return TipoArchivio::Altezze;
    default: return TipoArchivio::Menu;
    }
}

QByteArray impronta(const QByteArray &dati) { return QCryptographicHash::hash(dati, QCryptographicHash::Sha256).toHex(); }

// Whether the bytes are laid out as a record of `tipo`; why not.
std::optional<QString> difetto(TipoArchivio tipo, const QByteArray &dati)
{
    QString motivo;
    const auto righe = leggiRighe(dati, &motivo);
    if (!righe)
        return motivo;
    return difettoForma(tipo, *righe);
}

// The windows that exist, in the order they were loaded.
QList<QPointer<FinestraStima>> &finestre()
{
    static QList<QPointer<FinestraStima>> f;
    return f;
}

QTimer *timer()
{
    static QPointer<QTimer> t;
    if (!t) {
        t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setInterval(attesaCopia);
        QObject::connect(t, &QTimer::timeout, [] { aggiorna(); });
    }
    return t;
}

Gestore *&gestoreAttivo()
{
    static Gestore *g = nullptr;
    return g;
}

void verifica(FinestraStima *f)
{
    if (f->daVerificare() || f->nonSalvata())
        f->verificaFigure();
}

} // namespace

QByteArray codificaCopia(const Copia &c)
{
    const QByteArray corpo = c.record + c.aggiunte;
    const QJsonObject o{
        {QStringLiteral("finestra"), c.finestra},
        {QStringLiteral("file"), c.file},
        {QStringLiteral("ora"), c.ora.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("record"), c.record.size()},
        {QStringLiteral("aggiunte"), c.aggiunte.size()},
        {QStringLiteral("sha256"), QString::fromLatin1(impronta(corpo))},
    };
    return intestazione + QJsonDocument(o).toJson(QJsonDocument::Compact) + QByteArrayLiteral("\r\n") + corpo;
}

std::optional<Copia> leggiCopia(const QByteArray &dati, QString *motivo)
{
    if (!dati.startsWith(intestazione))
        return rifiuta(motivo, QStringLiteral("non è una copia di recupero di Perix"));
    const qsizetype fineRiga = dati.indexOf("\r\n", intestazione.size());
    if (fineRiga < 0)
        return rifiuta(motivo, QStringLiteral("la copia è incompleta"));
    QJsonParseError errore;
    const QJsonDocument d = QJsonDocument::fromJson(dati.mid(intestazione.size(), fineRiga - intestazione.size()), &errore);
    if (errore.error != QJsonParseError::NoError || !d.isObject())
        return rifiuta(motivo, QStringLiteral("la descrizione della copia è danneggiata"));
    const QJsonObject o = d.object();
    Copia c;
    c.finestra = o.value(QStringLiteral("finestra")).toInt();
    c.file = o.value(QStringLiteral("file")).toString();
    c.ora = QDateTime::fromString(o.value(QStringLiteral("ora")).toString(), Qt::ISODateWithMs).toLocalTime();
    const qint64 record = o.value(QStringLiteral("record")).toInteger(-1);
    const qint64 aggiunte = o.value(QStringLiteral("aggiunte")).toInteger(-1);
    if (c.finestra < 1 || c.finestra > 5 || record < 0 || aggiunte < 0 || record > dimensioneMassima
        || aggiunte > dimensioneMassima)
        return rifiuta(motivo, QStringLiteral("la descrizione della copia è danneggiata"));
    const QByteArray corpo = dati.mid(fineRiga + 2);
    if (corpo.size() != record + aggiunte)
        return rifiuta(motivo, corpo.size() < record + aggiunte ? QStringLiteral("la copia è incompleta")
                                                                : QStringLiteral("la copia ha dati in più"));
    if (impronta(corpo) != o.value(QStringLiteral("sha256")).toString().toLatin1())
        return rifiuta(motivo, QStringLiteral("la copia è stata modificata dopo essere stata scritta"));
    c.record = corpo.left(record);
    c.aggiunte = corpo.mid(record);
    if (const auto no = difetto(tipoFinestra(c.finestra), c.record))
        return rifiuta(motivo, QStringLiteral("i dati della finestra non si leggono: ") + *no);
    QString perche;
    if (!allegatoDaDati(c.record, &perche))
        return rifiuta(motivo, QStringLiteral("i dati dell'incarico non si leggono: ") + perche);
    if (!c.aggiunte.isEmpty())
        if (const auto no = difetto(TipoArchivio::Percentuali, c.aggiunte))
            return rifiuta(motivo, QStringLiteral("le percentuali non si leggono: ") + *no);
    return c;
}

QString nomeFinestra(int numero)
{
    static const char *const nomi[] = {"Menu", "Costi disaggregati", "Costi sintetici", "Costi per tipologie",
                                       "Costi per altezze"};
    return QString::fromLatin1(nomi[std::clamp(numero, 1, 5) - 1]);
}

void registra(FinestraStima *finestra)
{
    finestre().append(finestra);
    pianifica(); // a fresh window takes the place of the one whose copy may be there
}

void pianifica()
{
    QTimer *t = timer();
    if (!t->isActive())
        t->start();
}

void chiusa(FinestraStima *finestra)
{
    // Changes the timer has not reached yet go into the copy now: a closed window's copy
    // stays until the window comes back or Perix ends cleanly.
    finestre().removeAll(QPointer<FinestraStima>(finestra));
    if (!finestra->daVerificare() && !finestra->nonSalvata())
        return;
    verifica(finestra);
    if (Gestore *g = Gestore::attivo())
        g->conserva(finestra);
}

void aggiorna()
{
    timer()->stop();
    auto &lista = finestre();
    lista.removeAll(QPointer<FinestraStima>());
    for (const QPointer<FinestraStima> &f : std::as_const(lista)) {
        verifica(f);
        if (Gestore *g = Gestore::attivo())
            g->conserva(f);
    }
}

// ---- Gestore ----------------------------------------------------------------------------

QString Gestore::cartellaPredefinita()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recupero");
}

Gestore *Gestore::attivo() { return gestoreAttivo(); }

Gestore::Gestore(const QString &cartella, QObject *parent) : QObject(parent), m_radice(cartella)
{
    gestoreAttivo() = this;
    const QString base = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-"))
        + QString::number(QCoreApplication::applicationPid());
    QDir radice(cartella);
    for (int i = 0; i < 100 && m_sessione.isEmpty(); ++i) {
        const QString nome = i == 0 ? base : QStringLiteral("%1-%2").arg(base).arg(i);
        if (!radice.exists(nome) && radice.mkpath(nome))
            m_sessione = radice.filePath(nome);
    }
    if (m_sessione.isEmpty()) {
        m_motivo = QStringLiteral("impossibile creare la cartella %1").arg(QDir::toNativeSeparators(cartella));
        return;
    }
    auto blocco = std::make_unique<QLockFile>(m_sessione + u'/' + nomeBlocco);
    blocco->setStaleLockTime(0); // held for the whole run: only a dead process leaves it stale
    if (!blocco->tryLock(0)) {
        m_motivo = QStringLiteral("impossibile bloccare la cartella %1").arg(QDir::toNativeSeparators(m_sessione));
        return;
    }
    m_blocco = std::move(blocco);
    m_scrittore.setMaxThreadCount(1);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_fineSessione)
            rimuoviTutte();
        attendi();
    });
}

Gestore::~Gestore()
{
    if (gestoreAttivo() == this)
        gestoreAttivo() = nullptr;
    m_lasciate.clear();
    if (!m_blocco)
        return;
    attendi();
    m_blocco->unlock();
    // A folder with no copy left has nothing for the next start.
    QDir sessione(m_sessione);
    if (sessione.entryList({QStringLiteral("*.copia")}, QDir::Files).isEmpty())
        sessione.removeRecursively();
}

QString Gestore::percorsoCopia(int finestra) const { return m_sessione + u'/' + nomeCopia(finestra); }

void Gestore::inCoda(std::function<void()> lavoro) { m_scrittore.start(std::move(lavoro)); }

void Gestore::attendi() { m_scrittore.waitForDone(); }

void Gestore::conserva(FinestraStima *f)
{
    if (!m_blocco || !f)
        return;
    const int n = f->numero();
    if (n < 1 || n > 5)
        return;
    const std::size_t i = std::size_t(n);
    const QString percorso = percorsoCopia(n);
    if (!f->nonSalvata()) {
        if (m_scritte[i]) {
            inCoda([percorso] { QFile::remove(percorso); });
            m_scritte[i].reset();
        }
        return;
    }
    const FinestraStima::Figure fig = f->figure();
    if (!fig.record)
        return;
    const QByteArray chiave = f->nomefile().toUtf8() + '\n' + *fig.record + fig.aggiunte;
    if (m_scritte[i] == chiave)
        return;
    m_scritte[i] = chiave;
    const QByteArray dati = codificaCopia({n, f->nomefile(), QDateTime::currentDateTime(), *fig.record, fig.aggiunte});
    inCoda([percorso, dati, n, io = QPointer<Gestore>(this)] {
        QString motivo;
        if (!salvaAtomico(percorso, dati, &motivo))
            QMetaObject::invokeMethod(
                qApp, [io, n, motivo] {
                    if (io)
                        io->scritturaFallita(n, motivo);
                },
                Qt::QueuedConnection);
    });
}

void Gestore::scritturaFallita(int finestra, const QString &motivo)
{
    m_scritte[std::size_t(finestra)].reset(); // the next change tries again
    // Said once, quietly: the figures are still in the window.
    if (std::exchange(m_erroreDetto, true))
        return;
    for (const QPointer<FinestraStima> &f : std::as_const(finestre()))
        if (f && f->numero() == finestra)
            f->statusBar()->showMessage(QStringLiteral("Impossibile scrivere la copia di recupero: %1").arg(motivo), 10000);
}

void Gestore::rimuoviTutte()
{
    if (!m_blocco)
        return;
    for (int n = 1; n <= 5; ++n) {
        inCoda([percorso = percorsoCopia(n)] { QFile::remove(percorso); });
        m_scritte[std::size_t(n)].reset();
    }
}

QList<Lasciata> Gestore::copieLasciate()
{
    QList<Lasciata> lasciate;
    m_lasciate.clear();
    const QDir radice(m_radice);
    for (const QFileInfo &d : radice.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (d.absoluteFilePath() == QFileInfo(m_sessione).absoluteFilePath())
            continue;
        auto blocco = std::make_unique<QLockFile>(d.absoluteFilePath() + u'/' + nomeBlocco);
        blocco->setStaleLockTime(0);
        if (!blocco->tryLock(0))
            continue; // a Perix still running owns it
        const QDir sessione(d.absoluteFilePath());
        const QFileInfoList copie = sessione.entryInfoList({QStringLiteral("*.copia")}, QDir::Files, QDir::Name);
        for (const QFileInfo &c : copie) {
            Lasciata l{c.absoluteFilePath(), std::nullopt, {}};
            QString motivo;
            if (const auto dati = leggiFile(l.percorso, &motivo))
                l.copia = leggiCopia(*dati, &motivo);
            l.motivo = motivo;
            lasciate << l;
        }
        m_lasciate.push_back({d.absoluteFilePath(), std::move(blocco)});
    }
    return lasciate;
}

QList<int> Gestore::offriRipristino(QWidget *parent)
{
    const QList<Lasciata> lasciate = copieLasciate();
    if (lasciate.isEmpty()) {
        chiudiSessioniLasciate();
        return {};
    }
    // The newest copy of each window is ticked; older ones of the same window are offered too.
    std::map<int, QDateTime> recenti;
    for (const Lasciata &l : lasciate)
        if (l.copia && (!recenti.count(l.copia->finestra) || l.copia->ora > recenti[l.copia->finestra]))
            recenti[l.copia->finestra] = l.copia->ora;
    QList<int> ordine(lasciate.size());
    std::iota(ordine.begin(), ordine.end(), 0);
    std::stable_sort(ordine.begin(), ordine.end(), [&](int a, int b) {
        const auto &ca = lasciate[a].copia, &cb = lasciate[b].copia;
        if (bool(ca) != bool(cb))
            return bool(ca); // the damaged ones last
        return ca && (ca->finestra != cb->finestra ? ca->finestra < cb->finestra : ca->ora > cb->ora);
    });
    QList<dialoghi::VoceElenco> voci;
    bool danneggiate = false;
    for (int i : ordine) {
        const Lasciata &l = lasciate[i];
        if (!l.copia) {
            danneggiate = true;
            voci.append({QStringLiteral("Copia danneggiata %1: %2").arg(QDir::toNativeSeparators(l.percorso), l.motivo),
                         false, false});
            continue;
        }
        const Copia &c = *l.copia;
        const QString file = c.file.isEmpty() ? QStringLiteral("senza nome") : QFileInfo(c.file).fileName();
        voci.append({QStringLiteral("Finestra %1 - %2 (copia del %3)")
                         .arg(nomeFinestra(c.finestra), file,
                              QLocale().toString(c.ora, QStringLiteral("d/M/yyyy 'alle' HH:mm:ss"))),
                     c.ora == recenti[c.finestra], true});
    }
    QString testo = QStringLiteral(
        "Perix non è stato chiuso regolarmente e ha conservato una copia delle stime che non erano state salvate.\n"
        "Spuntate quelle da riaprire e fate clic su Ripristina: le finestre si riaprono con i loro dati, ancora da "
        "salvare. Le copie non spuntate, e tutte con Scarta, vanno nel cestino.");
    if (danneggiate)
        testo += QStringLiteral("\nLe copie danneggiate non si possono riaprire e vanno anch'esse nel cestino.");
    const auto risposta = dialoghi::domandaElenco(parent, testo, QStringLiteral("Perix: stime non salvate"), voci,
                                                  QStringLiteral("Ripristina"), QStringLiteral("Scarta"));
    if (!risposta) {
        m_lasciate.clear(); // nothing decided: they wait for the next start
        return {};
    }
    // The chosen copy of each window, the newest when more were ticked.
    std::map<int, int> scelte;
    if (risposta->primo)
        for (int v : risposta->scelte) {
            if (v < 0 || v >= ordine.size() || !lasciate[ordine[v]].copia)
                continue;
            const Copia &c = *lasciate[ordine[v]].copia;
            if (!scelte.count(c.finestra) || c.ora > lasciate[scelte[c.finestra]].copia->ora)
                scelte[c.finestra] = ordine[v];
        }
    QList<int> ripristinate;
    QStringList copieRipristinate;
    for (const auto &[finestra, i] : scelte) {
        const Copia &c = *lasciate[i].copia;
        if (finestraStima(finestra)->ripristina(c.record, c.aggiunte, c.file)) {
            ripristinate << finestra;
            copieRipristinate << lasciate[i].percorso;
        }
    }
    // The windows' own copies first: only then may the old ones go.
    aggiorna();
    attendi();
    for (const Lasciata &l : lasciate) {
        const int n = l.copia ? l.copia->finestra : 0;
        if (copieRipristinate.contains(l.percorso) && QFile::exists(percorsoCopia(n)) && QFile::remove(l.percorso))
            continue;
        cestina(l.percorso); // where there is no trash it stays, to be offered again
    }
    chiudiSessioniLasciate();
    return ripristinate;
}

void Gestore::chiudiSessioniLasciate()
{
    for (Sessione &s : m_lasciate) {
        s.blocco->unlock();
        QDir d(s.cartella);
        // Only the lock and half-written temporary files are left once the copies are settled.
        if (d.entryList({QStringLiteral("*.copia")}, QDir::Files).isEmpty())
            d.removeRecursively();
    }
    m_lasciate.clear();
}

} // namespace perix::recupero
