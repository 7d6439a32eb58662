#include "estimates/quotazioniomi.h"

#include "core/numeri.h"
#include "estimates/menu.h"
#include "ui/dialoghi.h"
#include "ui/fileomi.h"
#include "ui/modulo.h"
#include "ui/registro.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QListView>
#include <QStringListModel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>
#include <thread>

namespace perix {

namespace {

const QString chiaveFile = QStringLiteral("omi/file");

QString testoNonLette(int n)
{
    return n == 1 ? QStringLiteral("1 riga non letta") : QStringLiteral("%1 righe non lette").arg(n);
}

// The type of the main window's building class, as the OMI calls it.
QString tipologiaDellaClasse()
{
    switch (Modulo::classeedificio.value_or(0)) {
    case 1: return QStringLiteral("Abitazioni di tipo economico");
    case 2: return QStringLiteral("Abitazioni civili");
    case 3: return QStringLiteral("Abitazioni signorili");
    default: return {};
    }
}

QString euro(double v)
{
    return QLocale().toString(v, 'f', 0) + QStringLiteral(" €");
}

} // namespace

quotazioniomi::quotazioniomi()
{
    setObjectName(QStringLiteral("quotazioniomi"));
    setWindowTitle(QStringLiteral("Perix: quotazioni OMI dell'Agenzia Entrate"));
    setWindowFlag(Qt::Window);

    auto *griglia = new QGridLayout(this);
    int riga = 0;
    const auto etichetta = [&](const QString &testo, QWidget *compagno) {
        auto *l = new QLabel(testo, this);
        l->setBuddy(compagno);
        griglia->addWidget(l, riga, 0, Qt::AlignLeft | Qt::AlignTop);
        return l;
    };

    m_fileomi = new QPushButton(QStringLiteral("&File delle quotazioni..."), this);
    m_fileomi->setObjectName(QStringLiteral("fileomi"));
    m_fileomi->setToolTip(QStringLiteral("scegliere il file QI_..._VALORI.csv o lo .zip scaricato dal sito "
                                         "dell'Agenzia Entrate"));
    m_infoomi = new QLabel(QStringLiteral("nessun file di quotazioni scelto"), this);
    m_infoomi->setObjectName(QStringLiteral("infoomi"));
    m_infoomi->setTextFormat(Qt::PlainText);
    m_infoomi->setWordWrap(true);
    griglia->addWidget(m_fileomi, riga, 0);
    griglia->addWidget(m_infoomi, riga++, 1);

    m_comuneomi = new QLineEdit(this);
    m_comuneomi->setObjectName(QStringLiteral("comuneomi"));
    m_comuneomi->setPlaceholderText(QStringLiteral("parte del nome del comune"));
    m_comuneomi->setToolTip(QStringLiteral("digitare una parte del nome: maiuscole, accenti e apostrofi non contano"));
    etichetta(QStringLiteral("&Comune"), m_comuneomi);
    griglia->addWidget(m_comuneomi, riga++, 1);
    // A model of plain strings and rows of one height: the list of some 8,000 comuni is
    // filled again at every key without a pause.
    m_elenco = new QListView(this);
    m_elenco->setObjectName(QStringLiteral("elencocomuniomi"));
    m_elenco->setUniformItemSizes(true);
    m_elenco->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_modello = new QStringListModel(this);
    m_elenco->setModel(m_modello);
    m_elenco->setMinimumHeight(110);
    griglia->addWidget(m_elenco, riga++, 1);

    m_zonaomi = new QComboBox(this);
    m_zonaomi->setObjectName(QStringLiteral("zonaomi"));
    etichetta(QStringLiteral("&Zona"), m_zonaomi);
    griglia->addWidget(m_zonaomi, riga++, 1);
    m_tipologiaomi = new QComboBox(this);
    m_tipologiaomi->setObjectName(QStringLiteral("tipologiaomi"));
    etichetta(QStringLiteral("&Tipologia"), m_tipologiaomi);
    griglia->addWidget(m_tipologiaomi, riga++, 1);
    m_statoomi = new QComboBox(this);
    m_statoomi->setObjectName(QStringLiteral("statoomi"));
    etichetta(QStringLiteral("&Stato conservativo"), m_statoomi);
    griglia->addWidget(m_statoomi, riga++, 1);

    m_quotazioneomi = new QLabel(this);
    m_quotazioneomi->setObjectName(QStringLiteral("quotazioneomi"));
    m_quotazioneomi->setTextFormat(Qt::PlainText);
    m_quotazioneomi->setWordWrap(true);
    griglia->addWidget(new QLabel(QStringLiteral("Quotazione"), this), riga, 0);
    griglia->addWidget(m_quotazioneomi, riga++, 1);

    m_superficieomi = new QLineEdit(this);
    m_superficieomi->setObjectName(QStringLiteral("superficieomi"));
    m_superficieomi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_superficieomi->setToolTip(QStringLiteral("la superficie del fabbricato in m², lorda o netta come dice la quotazione"));
    etichetta(QStringLiteral("Superficie in m&q."), m_superficieomi);
    griglia->addWidget(m_superficieomi, riga++, 1);

    auto *valori = new QGroupBox(QStringLiteral("Valore di mercato del fabbricato"), this);
    valori->setObjectName(QStringLiteral("valoriomi"));
    auto *lv = new QHBoxLayout(valori);
    m_minimo = new QRadioButton(valori);
    m_minimo->setObjectName(QStringLiteral("valoreminimoomi"));
    m_medio = new QRadioButton(valori);
    m_medio->setObjectName(QStringLiteral("valoremedioomi"));
    m_massimo = new QRadioButton(valori);
    m_massimo->setObjectName(QStringLiteral("valoremassimoomi"));
    m_medio->setChecked(true);
    for (QRadioButton *b : {m_minimo, m_medio, m_massimo})
        lv->addWidget(b);
    griglia->addWidget(valori, riga++, 0, 1, 2);

    m_notaomi = new QLabel(QStringLiteral("Fonte: Agenzia Entrate - OMI. ") + avvertenzaOmi(), this);
    m_notaomi->setObjectName(QStringLiteral("notaomi"));
    m_notaomi->setTextFormat(Qt::PlainText);
    m_notaomi->setWordWrap(true);
    m_notaomi->setStyleSheet(QStringLiteral("color: #5a3b00;"));
    griglia->addWidget(m_notaomi, riga++, 0, 1, 2);

    m_usaomi = new QPushButton(QStringLiteral("&Usa il valore scelto"), this);
    m_usaomi->setObjectName(QStringLiteral("usaomi"));
    m_usaomi->setToolTip(QStringLiteral("scrive il valore scelto nel valore di mercato della finestra Menu, "
                                        "con la sua fonte"));
    griglia->addWidget(m_usaomi, riga++, 1, Qt::AlignRight);
    griglia->setColumnStretch(1, 1);
    resize(620, 560);

    connect(m_fileomi, &QPushButton::clicked, this, &quotazioniomi::fileomi_Click);
    connect(m_comuneomi, &QLineEdit::textChanged, this, &quotazioniomi::comuneomi_Change);
    connect(m_elenco->selectionModel(), &QItemSelectionModel::currentChanged, this, &quotazioniomi::scegliComune);
    connect(m_zonaomi, &QComboBox::currentIndexChanged, this, &quotazioniomi::scegliZona);
    connect(m_tipologiaomi, &QComboBox::currentIndexChanged, this, &quotazioniomi::scegliTipologia);
    connect(m_statoomi, &QComboBox::currentIndexChanged, this, &quotazioniomi::aggiornaValori);
    connect(m_superficieomi, &QLineEdit::textChanged, this, &quotazioniomi::aggiornaValori);
    connect(m_usaomi, &QPushButton::clicked, this, &quotazioniomi::usaomi_Click);
    aggiornaValori();

    // The file of the last session, read again.
    const QString ultimo = QSettings().value(chiaveFile).toString();
    if (!ultimo.isEmpty() && QFileInfo::exists(ultimo))
        caricaFile(ultimo);
}

quotazioniomi::~quotazioniomi() = default;

void quotazioniomi::fileomi_Click()
{
    const QString ultimo = QSettings().value(chiaveFile).toString();
    const auto scelto = dialoghi::apriFile(
        this, {.titolo = QStringLiteral("Scegliere il file delle quotazioni OMI"),
               .filtri = {{QStringLiteral("Quotazioni OMI"), QStringLiteral("*_VALORI.csv *.zip")},
                          {QStringLiteral("Tutti i file"), QStringLiteral("*")}},
               .tipo = QStringLiteral("quotazioni OMI"),
               .cartella = ultimo.isEmpty() ? QString() : QFileInfo(ultimo).absolutePath()});
    if (scelto)
        caricaFile(*scelto);
}

void quotazioniomi::caricaFile(const QString &percorso)
{
    const quint64 generazione = ++m_generazione;
    m_inLettura = true;
    m_fileomi->setEnabled(false);
    m_infoomi->setText(QStringLiteral("lettura di %1 in corso...").arg(QFileInfo(percorso).fileName()));
    // The national file takes a moment: read on a thread of its own, the result queued back
    // to this window if it still exists and still waits for this file.
    QPointer<quotazioniomi> finestra(this);
    std::thread([finestra, generazione, percorso] {
        auto esito = std::make_shared<std::optional<QuotazioniOmi>>();
        QString motivo;
        *esito = caricaQuotazioniOmi(percorso, &motivo);
        QMetaObject::invokeMethod(
            qApp,
            [finestra, generazione, esito, percorso, motivo] {
                if (finestra)
                    finestra->letto(generazione, esito, percorso, motivo);
            },
            Qt::QueuedConnection);
    }).detach();
}

void quotazioniomi::letto(quint64 generazione, std::shared_ptr<std::optional<QuotazioniOmi>> esito,
                          const QString &percorso, const QString &motivo)
{
    if (generazione != m_generazione)
        return;
    m_inLettura = false;
    m_fileomi->setEnabled(true);
    if (!*esito) {
        // What was shown stays: a file that cannot be read changes nothing.
        m_infoomi->setText(m_quotazioni ? m_infoomi->property("testo").toString()
                                        : QStringLiteral("nessun file di quotazioni scelto"));
        dialoghi::stop(this, QStringLiteral("Impossibile leggere le quotazioni OMI da %1.\n%2")
                                 .arg(QFileInfo(percorso).fileName(), motivo),
                       Modulo::titolocontrollo);
        emit caricato(false);
        return;
    }
    m_quotazioni = std::make_unique<QuotazioniOmi>(std::move(**esito));
    QSettings().setValue(chiaveFile, QFileInfo(percorso).absoluteFilePath());
    QString info = QStringLiteral("%1\nSemestre %2 - %3 comuni, %4 quotazioni")
                       .arg(QFileInfo(percorso).fileName(),
                            m_quotazioni->semestre().isEmpty() ? QStringLiteral("non indicato") : m_quotazioni->semestre())
                       .arg(m_quotazioni->comuni().size())
                       .arg(m_quotazioni->quotazioni());
    if (m_quotazioni->righeNonLette() > 0)
        info += QStringLiteral(" - ") + testoNonLette(m_quotazioni->righeNonLette());
    if (!m_quotazioni->conZone())
        info += QStringLiteral(" - senza il file delle zone: zone senza descrizione");
    m_infoomi->setProperty("testo", info);
    m_infoomi->setText(info);
    m_visibili.clear();
    m_visibili.reserve(qsizetype(m_quotazioni->comuni().size()));
    for (const ComuneOmi &c : m_quotazioni->comuni())
        m_visibili << c.visibile();
    m_comune = -2; // none from this file yet: the zones of the last one go
    comuneomi_Change();
    emit caricato(true);
}

void quotazioniomi::comuneomi_Change()
{
    m_trovati = m_quotazioni ? m_quotazioni->cerca(m_comuneomi->text()) : QList<int>();
    QStringList voci;
    voci.reserve(m_trovati.size());
    for (int c : m_trovati)
        voci << m_visibili[c];
    QSignalBlocker blocco(m_elenco->selectionModel());
    m_modello->setStringList(voci);
    // The comune chosen stays chosen while it is still in the list; a single match is chosen.
    int riga = m_trovati.indexOf(m_comune);
    if (riga < 0 && m_trovati.size() == 1)
        riga = 0;
    m_elenco->setCurrentIndex(riga >= 0 ? m_modello->index(riga) : QModelIndex());
    blocco.unblock();
    scegliComune();
}

int quotazioniomi::rigaElenco() const
{
    const QModelIndex i = m_elenco->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void quotazioniomi::scegliComune()
{
    const int riga = rigaElenco();
    const int comune = riga >= 0 && riga < m_trovati.size() ? m_trovati[riga] : -1;
    if (comune == m_comune && (comune < 0 || m_zonaomi->count() > 0))
        return;
    m_comune = comune;
    m_zonaomi->blockSignals(true);
    m_zonaomi->clear();
    if (m_quotazioni && m_comune >= 0)
        for (const ZonaOmi &z : m_quotazioni->zoneDi(m_comune))
            m_zonaomi->addItem(z.visibile(), z.zona);
    m_zonaomi->setCurrentIndex(m_zonaomi->count() > 0 ? 0 : -1);
    m_zonaomi->blockSignals(false);
    scegliZona();
}

QList<QuotazioneOmi> quotazioniomi::righeZona() const
{
    if (!m_quotazioni || m_comune < 0 || m_zonaomi->currentIndex() < 0)
        return {};
    return m_quotazioni->quotazioniDi(m_comune, m_zonaomi->currentData().toString());
}

void quotazioniomi::scegliZona()
{
    const QList<QuotazioneOmi> righe = righeZona();
    QStringList tipi;
    for (const QuotazioneOmi &q : righe)
        if (!tipi.contains(q.tipologia))
            tipi << q.tipologia;
    // The main window's class first, else the zone's prevalent type, else the first.
    QString preferita = tipologiaDellaClasse();
    if (!tipi.contains(preferita) && m_quotazioni && m_comune >= 0) {
        preferita.clear();
        for (const ZonaOmi &z : m_quotazioni->zoneDi(m_comune))
            if (z.zona == m_zonaomi->currentData().toString())
                preferita = z.tipologiaPrevalente;
    }
    m_tipologiaomi->blockSignals(true);
    m_tipologiaomi->clear();
    m_tipologiaomi->addItems(tipi);
    m_tipologiaomi->setCurrentIndex(std::max<qsizetype>(0, tipi.indexOf(preferita)));
    if (tipi.isEmpty())
        m_tipologiaomi->setCurrentIndex(-1);
    m_tipologiaomi->blockSignals(false);
    scegliTipologia();
}

void quotazioniomi::scegliTipologia()
{
    QStringList stati;
    QString prevalente;
    for (const QuotazioneOmi &q : righeZona())
        if (q.tipologia == m_tipologiaomi->currentText()) {
            if (!stati.contains(q.stato))
                stati << q.stato;
            if (q.prevalente)
                prevalente = q.stato;
        }
    m_statoomi->blockSignals(true);
    m_statoomi->clear();
    m_statoomi->addItems(stati);
    m_statoomi->setCurrentIndex(stati.isEmpty() ? -1 : std::max<qsizetype>(0, stati.indexOf(prevalente)));
    m_statoomi->blockSignals(false);
    aggiornaValori();
}

std::optional<QuotazioneOmi> quotazioniomi::quotazioneScelta() const
{
    for (const QuotazioneOmi &q : righeZona())
        if (q.tipologia == m_tipologiaomi->currentText() && q.stato == m_statoomi->currentText())
            return q;
    return std::nullopt;
}

void quotazioniomi::aggiornaValori()
{
    const auto q = quotazioneScelta();
    const auto superficie = letturaLocale(m_superficieomi->text());
    const bool quotato = q && q->quotato();
    if (!q)
        m_quotazioneomi->setText(m_quotazioni ? QStringLiteral("scegliere comune, zona, tipologia e stato")
                                              : QStringLiteral("scegliere prima il file delle quotazioni"));
    else if (!quotato)
        m_quotazioneomi->setText(QStringLiteral("non quotato: per questa tipologia la zona ha solo valori di locazione"));
    else
        m_quotazioneomi->setText(QStringLiteral("da %1 a %2 €/m² di superficie %3 - fascia %4")
                                     .arg(q->minimo, q->massimo,
                                          q->superficie == u"N"   ? QStringLiteral("netta")
                                          : q->superficie == u"L" ? QStringLiteral("lorda")
                                                                  : QStringLiteral("(lorda o netta non indicato)"),
                                          (q->fascia + u' ' + nomeFasciaOmi(q->fascia)).trimmed()));
    const bool calcolabile = quotato && superficie && *superficie > 0 && std::isfinite(*superficie);
    const double minimo = quotato ? valoreOmi(q->minimo).value_or(0) : 0;
    const double massimo = quotato ? valoreOmi(q->massimo).value_or(0) : 0;
    const double s = calcolabile ? *superficie : 0;
    const std::array<std::pair<QRadioButton *, double>, 3> voci{
        {{m_minimo, minimo}, {m_medio, (minimo + massimo) / 2}, {m_massimo, massimo}}};
    const char *nomi[3] = {"minimo", "medio", "massimo"};
    for (std::size_t i = 0; i < voci.size(); ++i) {
        const double v = std::round(voci[i].second * s);
        const bool mostra = calcolabile && rappresentabile(v);
        voci[i].first->setText(QStringLiteral("%1: %2").arg(QLatin1String(nomi[i]),
                                                           mostra ? euro(v) : QStringLiteral("-")));
        voci[i].first->setProperty("valore", mostra ? testoInvariante(v) : QString());
    }
    if (!m_superficieomi->text().trimmed().isEmpty() && !(superficie && *superficie > 0))
        m_superficieomi->setToolTip(QStringLiteral("non è una superficie: scriverla ad esempio 120 o 95,5"));
    else
        m_superficieomi->setToolTip(QStringLiteral("la superficie del fabbricato in m², lorda o netta come dice la quotazione"));
    m_usaomi->setEnabled(calcolabile && !m_medio->property("valore").toString().isEmpty());
}

std::optional<FonteOmi> quotazioniomi::fonte() const
{
    const auto q = quotazioneScelta();
    if (!q || !m_quotazioni || m_comune < 0)
        return std::nullopt;
    QRadioButton *scelto = m_minimo->isChecked() ? m_minimo : m_massimo->isChecked() ? m_massimo : m_medio;
    const QString valore = scelto->property("valore").toString();
    if (valore.isEmpty())
        return std::nullopt;
    const ComuneOmi &c = m_quotazioni->comuni()[std::size_t(m_comune)];
    FonteOmi f;
    f.semestre = m_quotazioni->semestre();
    f.comune = c.nome;
    f.provincia = c.provincia;
    f.zona = q->zona;
    f.fascia = q->fascia;
    f.descrizione = q->descrizione;
    f.tipologia = q->tipologia;
    f.stato = q->stato;
    f.minimo = q->minimo;
    f.massimo = q->massimo;
    f.superficieTipo = q->superficie;
    f.superficie = m_superficieomi->text().trimmed();
    f.scelta = scelto == m_minimo ? QStringLiteral("minimo") : scelto == m_massimo ? QStringLiteral("massimo")
                                                                                   : QStringLiteral("medio");
    f.valore = valore;
    return f;
}

void quotazioniomi::usaomi_Click()
{
    const auto f = fonte();
    if (!f)
        return;
    menu *m = registro::prendi<menu>();
    if (!m->valoreDaOmi(*f)) {
        dialoghi::stop(this, QStringLiteral("Il valore di mercato si usa nella stima di aree fabbricabili e in quella "
                                            "dei costi disaggregati: sceglierne una nella finestra Menu."),
                       Modulo::titolocontrollo);
        return;
    }
    registro::porta(m);
}

} // namespace perix
