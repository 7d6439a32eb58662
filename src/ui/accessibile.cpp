#include "ui/accessibile.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>

namespace perix::accessibile {

namespace {

// What a marked label is to assistive technology.
enum class Ruolo { Nessuno, Risultato, Voce };

constexpr const char *chiaveRuolo = "perixAccessibile";
constexpr const char *chiaveNome = "perixNome";        // a fixed caption
constexpr const char *chiaveCaption = "perixCaption";  // the caption label, read live
constexpr const char *chiaveCampo = "perixCampo";      // the field a note speaks of
constexpr const char *chiaveDetto = "perixDetto";      // the text last announced

Ruolo ruolo(const QObject *o)
{
    return o ? Ruolo(o->property(chiaveRuolo).toInt()) : Ruolo::Nessuno;
}

// A cell's name: its row, then its column.
QString unisci(const QString &riga, const QString &colonna)
{
    if (riga.isEmpty() || colonna.isEmpty())
        return riga + colonna;
    return riga + QStringLiteral(", ") + colonna;
}

QWidget *widgetIn(const QObject *o, const char *chiave)
{
    return qobject_cast<QWidget *>(o->property(chiave).value<QObject *>());
}

// A label read as caption and figure (a result), or as its own words said on every change
// (a status line, a note). Its text is also offered as text, which is what a screen reader
// reads of a label and what its change events carry.
class EtichettaAccessibile : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    EtichettaAccessibile(QLabel *l, QAccessible::Role r) : QAccessibleWidget(l, r) {}

    QLabel *etichetta() const { return static_cast<QLabel *>(object()); }
    QString contenuto() const { return etichetta()->text(); }

    QString text(QAccessible::Text t) const override
    {
        const QLabel *l = etichetta();
        const bool risultato = ruolo(l) == Ruolo::Risultato;
        switch (t) {
        case QAccessible::Name:
            if (!l->accessibleName().isEmpty())
                return l->accessibleName();
            if (!risultato)
                return contenuto();
            if (const auto *c = qobject_cast<QLabel *>(widgetIn(l, chiaveCaption)))
                return unisci(pulito(c->text()), l->property(chiaveNome).toString());
            return l->property(chiaveNome).toString();
        case QAccessible::Value:
            return risultato ? contenuto() : QString();
        case QAccessible::Description:
            if (!l->accessibleDescription().isEmpty())
                return l->accessibleDescription();
            if (!l->toolTip().isEmpty() || !risultato)
                return l->toolTip();
            if (const QWidget *c = widgetIn(l, chiaveCaption))
                return c->toolTip();
            return {};
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Read-only text: no caret, no selection.
    void selection(int, int *inizio, int *fine) const override { *inizio = *fine = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int inizio, int fine) const override { return contenuto().mid(inizio, fine - inizio); }
    int characterCount() const override { return int(contenuto().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *inizio, int *fine) const override
    {
        *inizio = 0;
        *fine = characterCount();
        return {};
    }
};

QAccessibleInterface *fabbrica(const QString &, QObject *o)
{
    auto *l = qobject_cast<QLabel *>(o);
    switch (ruolo(l)) {
    case Ruolo::Risultato: return new EtichettaAccessibile(l, QAccessible::StaticText);
    case Ruolo::Voce:
        // The status line is one; a note beside a field is a notice that comes and goes.
        return new EtichettaAccessibile(l, widgetIn(l, chiaveCampo) ? QAccessible::Notification : QAccessible::StatusBar);
    case Ruolo::Nessuno: break;
    }
    return nullptr;
}

// Qt tells of a label's new text (a name change, when the label has no fixed name) and of
// its showing and hiding; what a screen reader needs besides is said here, on the way.
QAccessible::UpdateHandler precedente = nullptr;
void gestore(QAccessibleEvent *e);

void inoltra(QAccessibleEvent *e)
{
    if (precedente) {
        precedente(e);
        return;
    }
    // Qt's own way on to the desktop's accessibility bus, this handler stepping aside.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(e);
    QAccessible::installUpdateHandler(gestore);
}

void descriviCampo(QLabel *nota)
{
    QWidget *campo = widgetIn(nota, chiaveCampo);
    if (!campo)
        return;
    const QString detto = nota->isVisibleTo(nota->parentWidget()) ? nota->text().simplified() : QString();
    const QString base = campo->toolTip();
    const QString descrizione = detto.isEmpty() ? QString() : base.isEmpty() ? detto : base + QStringLiteral(". ") + detto;
    // Setting it tells assistive technology the description changed.
    if (campo->accessibleDescription() != descrizione)
        campo->setAccessibleDescription(descrizione);
}

void gestore(QAccessibleEvent *e)
{
    inoltra(e);
    auto *l = qobject_cast<QLabel *>(e->object());
    if (ruolo(l) == Ruolo::Nessuno)
        return;
    switch (e->type()) {
    case QAccessible::NameChanged: {
        const QString prima = l->property(chiaveDetto).toString();
        const QString ora = l->text();
        if (prima == ora)
            break;
        l->setProperty(chiaveDetto, ora);
        QAccessibleTextUpdateEvent testo(l, 0, prima, ora);
        inoltra(&testo); // what a screen reader follows of a label's text
        descriviCampo(l);
        break;
    }
    case QAccessible::ObjectShow:
    case QAccessible::ObjectHide: descriviCampo(l); break;
    default: break;
    }
}

void segna(QLabel *l, Ruolo r)
{
    static const bool installata = [] {
        QAccessible::installFactory(fabbrica);
        precedente = QAccessible::installUpdateHandler(gestore);
        return true;
    }();
    Q_UNUSED(installata);
    l->setProperty(chiaveRuolo, int(r));
    l->setProperty(chiaveDetto, l->text());
    // Qt makes a label's interface as soon as its text is set: one made before the marking
    // would hide it.
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(l);
    if (i && !dynamic_cast<EtichettaAccessibile *>(i))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(i));
}

} // namespace

QString pulito(const QString &didascalia)
{
    QString t;
    t.reserve(didascalia.size());
    for (qsizetype i = 0; i < didascalia.size(); ++i) {
        if (didascalia[i] == u'&' && i + 1 < didascalia.size())
            ++i; // "&&" reads as one ampersand, "&x" as x
        t += didascalia[i];
    }
    t = t.simplified();
    while (t.endsWith(u':'))
        t.chop(1);
    return t.trimmed();
}

void didascalia(QLabel *caption, QWidget *campo)
{
    caption->setBuddy(campo);
    campo->setAccessibleName(pulito(caption->text()));
}

void nomina(QWidget *controllo, const QString &nome)
{
    controllo->setAccessibleName(pulito(nome));
}

void risultato(QLabel *figura, QLabel *caption)
{
    figura->setProperty(chiaveCaption, QVariant::fromValue(static_cast<QObject *>(caption)));
    segna(figura, Ruolo::Risultato);
}

void risultato(QLabel *figura, const QString &nome)
{
    figura->setProperty(chiaveNome, pulito(nome));
    segna(figura, Ruolo::Risultato);
}

void cella(QLabel *figura, const QString &riga, const QString &colonna)
{
    risultato(figura, unisci(pulito(riga), pulito(colonna)));
}

void cella(QLabel *figura, QLabel *riga, const QString &colonna)
{
    figura->setProperty(chiaveNome, pulito(colonna));
    risultato(figura, riga);
}

void voce(QLabel *riga, QWidget *campo)
{
    if (campo)
        riga->setProperty(chiaveCampo, QVariant::fromValue(static_cast<QObject *>(campo)));
    segna(riga, Ruolo::Voce);
}

} // namespace perix::accessibile
