#include "ui/dialoghi.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <deque>
#include <memory>

namespace perix::dialoghi {

namespace {

struct StatoProva {
    bool attivo = false;
    std::deque<Risposta> risposte;
    std::deque<std::optional<QString>> file;
    std::deque<std::optional<QColor>> colori;
    std::deque<std::pair<std::optional<bool>, std::optional<QList<int>>>> elenchi;
    QList<prova::Mostrato> mostrati;
    QStringList senzaRisposta;
};

StatoProva &stato()
{
    static StatoProva s;
    return s;
}

QMessageBox::Icon iconaQt(Icona i)
{
    switch (i) {
    case Icona::Stop: return QMessageBox::Critical;
    case Icona::Informazione: return QMessageBox::Information;
    case Icona::Domanda: return QMessageBox::Question;
    case Icona::Attenzione: return QMessageBox::Warning;
    case Icona::Nessuna: break;
    }
    return QMessageBox::NoIcon;
}

template <typename T>
std::optional<T> prendi(std::deque<T> &coda, const QString &cosa)
{
    if (coda.empty()) {
        stato().senzaRisposta << cosa;
        return std::nullopt;
    }
    T v = std::move(coda.front());
    coda.pop_front();
    return v;
}

std::optional<QString> chiedeFile(QWidget *parent, const RichiestaFile &r, bool salvataggio)
{
    auto &s = stato();
    if (s.attivo) {
        using T = prova::Mostrato::Tipo;
        s.mostrati.append({salvataggio ? T::SalvaFile : T::ApriFile, {}, r.titolo, Icona::Nessuna,
                           Pulsanti::Ok, 1, r});
        auto v = prendi(s.file, QStringLiteral("file: ") + r.titolo);
        return v ? *v : std::nullopt;
    }
    QFileDialog dlg(parent, r.titolo);
    if (!r.cartella.isEmpty())
        dlg.setDirectory(r.cartella);
    dlg.setAcceptMode(salvataggio ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(salvataggio ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filtri;
    for (const auto &f : r.filtri)
        filtri << filtroQt({f});
    if (!salvataggio && QFileInfo(r.esempi).isDir()) {
        QList<QUrl> laterali = dlg.sidebarUrls();
        laterali << QUrl::fromLocalFile(r.esempi);
        dlg.setSidebarUrls(laterali);
    }
    dlg.setNameFilters(filtri);
    if (r.indiceFiltro >= 1 && r.indiceFiltro <= filtri.size())
        dlg.selectNameFilter(filtri.at(r.indiceFiltro - 1));
    if (!r.nomeProposto.isEmpty())
        dlg.selectFile(r.nomeProposto);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().constFirst();
}

std::optional<QString> dialogoFile(QWidget *parent, RichiestaFile r, bool salvataggio)
{
    if (r.cartella.isEmpty() && !r.tipo.isEmpty())
        r.cartella = cartellaIniziale(r.tipo, salvataggio ? QString() : r.esempi);
    auto scelta = chiedeFile(parent, r, salvataggio);
    if (scelta && !scelta->isEmpty() && !r.tipo.isEmpty())
        ricordaCartella(r.tipo, QFileInfo(*scelta).absolutePath());
    return scelta;
}

QString chiaveCartella(const QString &tipo)
{
    return QStringLiteral("cartelle/") + QString(tipo).replace(u'/', u'_');
}

} // namespace

QString cartellaIniziale(const QString &tipo, const QString &primaVolta)
{
    const QString usata = QSettings().value(chiaveCartella(tipo)).toString();
    if (!usata.isEmpty() && QFileInfo(usata).isDir())
        return usata;
    if (!primaVolta.isEmpty() && QFileInfo(primaVolta).isDir())
        return primaVolta;
    // Never the program's working folder, which is no place of the user's.
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documenti.isEmpty() && QFileInfo(documenti).isDir())
        return documenti;
    return QDir::homePath();
}

void ricordaCartella(const QString &tipo, const QString &cartella)
{
    QSettings().setValue(chiaveCartella(tipo), cartella);
}

QString filtroQt(const QList<Filtro> &filtri)
{
    QStringList parti;
    for (const auto &f : filtri) {
        // "*.*" means every file on the desktop this program came from; here that is "*".
        QString schema = f.schema.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : f.schema.trimmed();
        parti << QStringLiteral("%1 (%2)").arg(f.descrizione.trimmed(), schema);
    }
    return parti.join(QStringLiteral(";;"));
}

Risposta messaggio(QWidget *parent, const QString &testo, const QString &titolo, Icona icona,
                   Pulsanti pulsanti, int predefinito)
{
    auto &s = stato();
    const Risposta rifiuto = pulsanti == Pulsanti::Ok ? Risposta::Ok : Risposta::No;
    if (s.attivo) {
        s.mostrati.append({prova::Mostrato::Tipo::Messaggio, testo, titolo, icona, pulsanti,
                           predefinito, {}});
        if (pulsanti == Pulsanti::Ok)
            return Risposta::Ok; // a lone OK needs no answer from the test
        return prendi(s.risposte, QStringLiteral("domanda: ") + testo).value_or(rifiuto);
    }
    std::unique_ptr<QMessageBox> box(costruisciMessaggio(parent, testo, titolo, icona, pulsanti, predefinito));
    const int r = box->exec();
    if (pulsanti == Pulsanti::Ok)
        return Risposta::Ok;
    return r == QMessageBox::Yes ? Risposta::Si : Risposta::No;
}

QMessageBox *costruisciMessaggio(QWidget *parent, const QString &testo, const QString &titolo, Icona icona,
                                 Pulsanti pulsanti, int predefinito)
{
    // Lines joined by a carriage return alone, as the windows write them, still show as lines.
    const QString righe = QString(testo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    auto *box = new QMessageBox(iconaQt(icona), titolo, righe, QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("messaggio"));
    box->setAccessibleName(titolo);
    box->setAccessibleDescription(righe);
    // Messages quote names and addresses the user may want to copy, and texts from files:
    // shown as written, and selectable.
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (pulsanti == Pulsanti::Ok) {
        box->setStandardButtons(QMessageBox::Ok);
    } else {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(predefinito == 2 ? QMessageBox::No : QMessageBox::Yes);
    }
    return box;
}

void stop(QWidget *parent, const QString &testo, const QString &titolo)
{
    messaggio(parent, testo, titolo, Icona::Stop, Pulsanti::Ok);
}

std::optional<QString> apriFile(QWidget *parent, const RichiestaFile &richiesta)
{
    return dialogoFile(parent, richiesta, false);
}

std::optional<QString> salvaFile(QWidget *parent, const RichiestaFile &richiesta)
{
    return dialogoFile(parent, richiesta, true);
}

std::optional<QColor> scegliColore(QWidget *parent, const QColor &iniziale)
{
    auto &s = stato();
    if (s.attivo) {
        s.mostrati.append({prova::Mostrato::Tipo::Colore, {}, {}, Icona::Nessuna, Pulsanti::Ok, 1, {}});
        auto v = prendi(s.colori, QStringLiteral("colore"));
        return v ? *v : std::nullopt;
    }
    QColor c = QColorDialog::getColor(iniziale, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<RispostaElenco> domandaElenco(QWidget *parent, const QString &testo, const QString &titolo,
                                            const QList<VoceElenco> &voci, const QString &primo,
                                            const QString &secondo)
{
    QList<int> iniziali;
    for (int i = 0; i < voci.size(); ++i)
        if (voci[i].scelta && voci[i].attiva)
            iniziali << i;
    auto &s = stato();
    if (s.attivo) {
        prova::Mostrato m{prova::Mostrato::Tipo::Elenco, testo, titolo, Icona::Domanda, Pulsanti::SiNo, 1, {}};
        m.voci = voci;
        s.mostrati.append(m);
        const auto r = prendi(s.elenchi, QStringLiteral("elenco: ") + titolo);
        if (!r || !r->first)
            return std::nullopt;
        return RispostaElenco{*r->first, r->second.value_or(iniziali)};
    }
    QDialog dlg(parent);
    dlg.setWindowTitle(titolo);
    // A screen reader reads it as it reads a message box: its title, then its text.
    dlg.setAccessibleName(titolo);
    dlg.setAccessibleDescription(testo);
    auto *disposizione = new QVBoxLayout(&dlg);
    auto *etichetta = new QLabel(testo, &dlg);
    etichetta->setTextFormat(Qt::PlainText); // file names come from the disk
    etichetta->setWordWrap(true);
    disposizione->addWidget(etichetta);
    auto *lista = new QListWidget(&dlg);
    lista->setObjectName(QStringLiteral("elenco"));
    lista->setAccessibleName(QStringLiteral("Elenco"));
    for (const VoceElenco &v : voci) {
        auto *riga = new QListWidgetItem(v.testo, lista);
        Qt::ItemFlags f = Qt::ItemIsEnabled;
        if (v.attiva) {
            f |= Qt::ItemIsUserCheckable;
            riga->setCheckState(v.scelta ? Qt::Checked : Qt::Unchecked);
        }
        riga->setFlags(f);
    }
    disposizione->addWidget(lista);
    auto *pulsanti = new QDialogButtonBox(&dlg);
    QPushButton *si = pulsanti->addButton(primo, QDialogButtonBox::AcceptRole);
    pulsanti->addButton(secondo, QDialogButtonBox::DestructiveRole);
    si->setDefault(true);
    bool sceltoPrimo = false, risposto = false;
    QObject::connect(pulsanti, &QDialogButtonBox::clicked, &dlg, [&](QAbstractButton *b) {
        risposto = true;
        sceltoPrimo = b == si;
        dlg.accept();
    });
    disposizione->addWidget(pulsanti);
    // As tall as its items, up to eight, so the question stays compact.
    const int righe = std::clamp(int(voci.size()), 2, 8);
    lista->setFixedHeight(righe * std::max(lista->sizeHintForRow(0), 18) + 2 * lista->frameWidth() + 4);
    dlg.resize(560, dlg.sizeHint().height());
    dlg.exec();
    if (!risposto)
        return std::nullopt;
    RispostaElenco r{sceltoPrimo, {}};
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->checkState() == Qt::Checked)
            r.scelte << i;
    return r;
}

void mostraModulo(QDialog *modulo)
{
    auto &s = stato();
    if (s.attivo) {
        s.mostrati.append({prova::Mostrato::Tipo::Modulo, modulo->objectName(), modulo->windowTitle(), Icona::Nessuna,
                           Pulsanti::Ok, 1, {}});
        modulo->show();
        return;
    }
    modulo->open();
}

namespace prova {
void attiva(bool a) { stato().attivo = a; }
bool attivo() { return stato().attivo; }
void azzera()
{
    auto &s = stato();
    s.risposte.clear();
    s.file.clear();
    s.colori.clear();
    s.elenchi.clear();
    s.mostrati.clear();
    s.senzaRisposta.clear();
}
void accodaRisposta(Risposta r) { stato().risposte.push_back(r); }
void accodaFile(std::optional<QString> p) { stato().file.push_back(std::move(p)); }
void accodaColore(std::optional<QColor> c) { stato().colori.push_back(std::move(c)); }
void accodaElenco(std::optional<bool> primo, std::optional<QList<int>> scelte)
{
    stato().elenchi.emplace_back(primo, std::move(scelte));
}
const QList<Mostrato> &mostrati() { return stato().mostrati; }
QStringList senzaRisposta() { return stato().senzaRisposta; }
int risposteInAttesa()
{
    auto &s = stato();
    return int(s.risposte.size() + s.file.size() + s.colori.size() + s.elenchi.size());
}
} // namespace prova

} // namespace perix::dialoghi
