#include "ui/incarico.h"

#include "ui/dialoghi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

namespace perix {

namespace {

// The settings' keys of the surveyor, with where each goes.
struct Chiave {
    const char *nome;
    QString Tecnico::*membro;
};
const Chiave chiaviTecnico[] = {
    {"tecnico/nome", &Tecnico::nome},           {"tecnico/titolo", &Tecnico::titolo},
    {"tecnico/albo", &Tecnico::albo},           {"tecnico/iscrizione", &Tecnico::iscrizione},
    {"tecnico/indirizzo", &Tecnico::indirizzo}, {"tecnico/posta", &Tecnico::posta},
};
const QString chiaveFirma = QStringLiteral("tecnico/firmaDigitale");

// The program's own settings, whatever the application calls itself (the batch, a test).
QSettings impostazioni() { return QSettings(QStringLiteral("Perix"), QStringLiteral("Perix")); }

QLineEdit *campo(QWidget *genitore, const char *nome, const QString &testo)
{
    auto *e = new QLineEdit(testo, genitore);
    e->setObjectName(QString::fromLatin1(nome));
    e->setClearButtonEnabled(true);
    return e;
}

QDialogButtonBox *pulsanti(QDialog *d)
{
    auto *b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    b->setObjectName(QStringLiteral("pulsanti"));
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}

const QStringList catasti{QStringLiteral("Fabbricati"), QStringLiteral("Terreni")};

} // namespace

Tecnico leggiTecnico()
{
    const QSettings s = impostazioni();
    Tecnico t;
    for (const Chiave &c : chiaviTecnico)
        t.*c.membro = s.value(QLatin1String(c.nome)).toString();
    t.firmaDigitale = s.value(chiaveFirma, false).toBool();
    return t;
}

void salvaTecnico(const Tecnico &t)
{
    QSettings s = impostazioni();
    for (const Chiave &c : chiaviTecnico)
        s.setValue(QLatin1String(c.nome), t.*c.membro);
    s.setValue(chiaveFirma, t.firmaDigitale);
}

datiincarico::datiincarico(const DatiIncarico &d, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("datiincarico"));
    setWindowTitle(QStringLiteral("Dati dell'incarico"));
    auto *modulo = new QFormLayout;
    m_committente = campo(this, "committente", d.committente);
    m_oggetto = campo(this, "oggetto", d.oggetto);
    m_oggetto->setPlaceholderText(QStringLiteral("es. lotto edificabile, appartamento al piano primo"));
    m_indirizzo = campo(this, "indirizzo", d.indirizzo);
    m_comune = campo(this, "comune", d.comune);
    modulo->addRow(QStringLiteral("&Committente:"), m_committente);
    modulo->addRow(QStringLiteral("&Oggetto della stima:"), m_oggetto);
    modulo->addRow(QStringLiteral("&Indirizzo:"), m_indirizzo);
    modulo->addRow(QStringLiteral("Co&mune:"), m_comune);

    m_particelle = new QTableWidget(0, 4, this);
    m_particelle->setObjectName(QStringLiteral("particelle"));
    m_particelle->setHorizontalHeaderLabels(
        {QStringLiteral("Catasto"), QStringLiteral("Foglio"), QStringLiteral("Particella"), QStringLiteral("Subalterno")});
    m_particelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_particelle->verticalHeader()->hide();
    m_particelle->setMinimumHeight(96);
    for (const Particella &p : d.particelle)
        aggiungiParticella(p);
    auto *aggiungi = new QPushButton(QStringLiteral("&Aggiungi particella"), this);
    aggiungi->setObjectName(QStringLiteral("aggiungiparticella"));
    connect(aggiungi, &QPushButton::clicked, this, [this] { aggiungiParticella(); });
    auto *togli = new QPushButton(QStringLiteral("&Togli particella"), this);
    togli->setObjectName(QStringLiteral("togliparticella"));
    connect(togli, &QPushButton::clicked, this, &datiincarico::togliParticella);
    for (QPushButton *b : {aggiungi, togli})
        b->setAutoDefault(false); // Enter confirms the form, never adds a row
    auto *righe = new QHBoxLayout;
    righe->addWidget(aggiungi);
    righe->addWidget(togli);
    righe->addStretch();
    auto *catasto = new QVBoxLayout;
    catasto->addWidget(m_particelle);
    catasto->addLayout(righe);
    auto *etichettaCatasto = new QLabel(QStringLiteral("Dati catastali:"), this);
    etichettaCatasto->setBuddy(m_particelle);
    modulo->addRow(etichettaCatasto, catasto);

    m_data = new QDateEdit(d.data.isValid() ? d.data : QDate::currentDate(), this);
    m_data->setObjectName(QStringLiteral("data"));
    m_data->setCalendarPopup(true);
    m_data->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    modulo->addRow(QStringLiteral("&Data di riferimento della stima:"), m_data);
    m_nota = new QPlainTextEdit(d.nota, this);
    m_nota->setObjectName(QStringLiteral("nota"));
    m_nota->setTabChangesFocus(true);
    m_nota->setMaximumHeight(72);
    modulo->addRow(QStringLiteral("&Nota:"), m_nota);

    auto *tutto = new QVBoxLayout(this);
    tutto->addLayout(modulo);
    tutto->addWidget(pulsanti(this));
    resize(520, sizeHint().height());
}

void datiincarico::aggiungiParticella(const Particella &p)
{
    const int r = m_particelle->rowCount();
    m_particelle->insertRow(r);
    auto *catasto = new QComboBox(m_particelle);
    catasto->setObjectName(QStringLiteral("catasto(%1)").arg(r + 1));
    catasto->addItems(catasti);
    catasto->setCurrentIndex(std::max(0, int(catasti.indexOf(p.catasto))));
    m_particelle->setCellWidget(r, 0, catasto);
    const QString testi[3] = {p.foglio, p.particella, p.subalterno};
    for (int c = 1; c <= 3; ++c)
        m_particelle->setItem(r, c, new QTableWidgetItem(testi[c - 1]));
    m_particelle->setCurrentCell(r, 1);
}

void datiincarico::togliParticella()
{
    const int r = m_particelle->currentRow() >= 0 ? m_particelle->currentRow() : m_particelle->rowCount() - 1;
    if (r >= 0)
        m_particelle->removeRow(r);
}

DatiIncarico datiincarico::dati() const
{
    DatiIncarico d;
    d.committente = m_committente->text().trimmed();
    d.oggetto = m_oggetto->text().trimmed();
    d.indirizzo = m_indirizzo->text().trimmed();
    d.comune = m_comune->text().trimmed();
    for (int r = 0; r < m_particelle->rowCount(); ++r) {
        const auto testo = [&](int c) { return m_particelle->item(r, c) ? m_particelle->item(r, c)->text().trimmed() : QString(); };
        Particella p{static_cast<QComboBox *>(m_particelle->cellWidget(r, 0))->currentText(), testo(1), testo(2), testo(3)};
        if (!p.foglio.isEmpty() || !p.particella.isEmpty() || !p.subalterno.isEmpty())
            d.particelle.append(p); // a row left empty is no parcel
    }
    d.data = m_data->date();
    d.nota = m_nota->toPlainText().trimmed();
    return d;
}

datitecnico::datitecnico(const Tecnico &t, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("datitecnico"));
    setWindowTitle(QStringLiteral("Dati del tecnico"));
    auto *modulo = new QFormLayout;
    m_nome = campo(this, "nome", t.nome);
    m_titolo = new QComboBox(this);
    m_titolo->setObjectName(QStringLiteral("titolo"));
    m_titolo->setEditable(true);
    m_titolo->addItems({QStringLiteral("geometra"), QStringLiteral("architetto"), QStringLiteral("ingegnere"),
                        QStringLiteral("perito edile"), QStringLiteral("perito industriale"),
                        QStringLiteral("dottore agronomo")});
    m_titolo->setCurrentText(t.titolo);
    m_albo = campo(this, "albo", t.albo);
    m_albo->setPlaceholderText(QStringLiteral("es. Collegio dei Geometri di Alessandria"));
    m_iscrizione = campo(this, "iscrizione", t.iscrizione);
    m_indirizzo = campo(this, "indirizzo", t.indirizzo);
    m_posta = campo(this, "posta", t.posta);
    m_firma = new QCheckBox(QStringLiteral("&Firmo i documenti digitalmente (nessuna riga per la firma)"), this);
    m_firma->setObjectName(QStringLiteral("firmadigitale"));
    m_firma->setChecked(t.firmaDigitale);
    modulo->addRow(QStringLiteral("&Nome e cognome:"), m_nome);
    modulo->addRow(QStringLiteral("&Titolo:"), m_titolo);
    modulo->addRow(QStringLiteral("&Albo o collegio:"), m_albo);
    modulo->addRow(QStringLiteral("N. di &iscrizione:"), m_iscrizione);
    modulo->addRow(QStringLiteral("In&dirizzo:"), m_indirizzo);
    modulo->addRow(QStringLiteral("&E-mail o PEC:"), m_posta);
    modulo->addRow(QString(), m_firma);
    auto *nota = new QLabel(QStringLiteral("Questi dati valgono per tutte le stime e compaiono nei documenti."), this);
    nota->setWordWrap(true);
    auto *tutto = new QVBoxLayout(this);
    tutto->addLayout(modulo);
    tutto->addWidget(nota);
    tutto->addWidget(pulsanti(this));
    resize(480, sizeHint().height());
}

Tecnico datitecnico::dati() const
{
    return {m_nome->text().trimmed(), m_titolo->currentText().trimmed(), m_albo->text().trimmed(),
            m_iscrizione->text().trimmed(), m_indirizzo->text().trimmed(), m_posta->text().trimmed(),
            m_firma->isChecked()};
}

datiincarico *apriDatiIncarico(QWidget *finestra, const DatiIncarico &attuali,
                               std::function<void(const DatiIncarico &)> fatto)
{
    auto *d = new datiincarico(attuali, finestra);
    d->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(d, &QDialog::accepted, d, [d, fatto = std::move(fatto)] { fatto(d->dati()); });
    dialoghi::mostraModulo(d);
    return d;
}

datitecnico *apriDatiTecnico(QWidget *finestra)
{
    auto *d = new datitecnico(leggiTecnico(), finestra);
    d->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(d, &QDialog::accepted, d, [d] { salvaTecnico(d->dati()); });
    dialoghi::mostraModulo(d);
    return d;
}

} // namespace perix
