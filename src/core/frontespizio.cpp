#include "core/frontespizio.h"

#include "core/numeri.h"

#include <array>

namespace perix {

bool Tecnico::vuoto() const
{
    Tecnico t = *this;
    t.firmaDigitale = false;
    return t == Tecnico{};
}

QString dataItaliana(const QDate &data)
{
    static const std::array<const char *, 12> mesi = {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno",
                                                      "luglio", "agosto", "settembre", "ottobre", "novembre", "dicembre"};
    if (!data.isValid())
        return {};
    // The first of the month is written "1°", as Italian usage has it.
    const QString giorno = data.day() == 1 ? QStringLiteral("1°") : QString::number(data.day());
    return QStringLiteral("%1 %2 %3").arg(giorno, QLatin1String(mesi[std::size_t(data.month() - 1)])).arg(data.year());
}

namespace {

// The usual abbreviations of the titles before a name; others are written whole.
QString abbreviato(const QString &titolo)
{
    const QString t = titolo.trimmed().toLower();
    const struct { const char *titolo, *breve; } noti[] = {
        {"geometra", "geom."}, {"architetto", "arch."}, {"ingegnere", "ing."}, {"perito edile", "per. ed."},
        {"geometra laureato", "geom."}, {"perito industriale", "per. ind."}, {"dottore agronomo", "dott. agr."},
    };
    for (const auto &n : noti)
        if (t == QLatin1String(n.titolo))
            return QString::fromUtf8(n.breve);
    return titolo.trimmed();
}

QString unisci(const QStringList &parti, const QString &con)
{
    QStringList piene;
    for (const QString &p : parti)
        if (!p.trimmed().isEmpty())
            piene << p.trimmed();
    return piene.join(con);
}

} // namespace

QString firmaTecnico(const Tecnico &t)
{
    return unisci({abbreviato(t.titolo), t.nome}, QStringLiteral(" "));
}

QList<VoceFrontespizio> vociFrontespizio(const Frontespizio &f, const QDate &oggi)
{
    const DatiIncarico &i = f.incarico;
    const Tecnico &t = f.tecnico;
    QList<VoceFrontespizio> v;
    if (i.vuoto() && t.vuoto())
        return v;
    const auto aggiungi = [&v](const char *etichetta, const QString &testo) {
        if (!testo.trimmed().isEmpty())
            v.append({QString::fromUtf8(etichetta), testo.trimmed()});
    };
    aggiungi("Committente", i.committente);
    aggiungi("Immobile", i.oggetto);
    aggiungi("Ubicazione", unisci({i.indirizzo, i.comune}, QStringLiteral(", ")));
    QStringList particelle;
    for (const Particella &p : i.particelle) {
        QStringList parti{p.catasto.isEmpty() ? QString() : QStringLiteral("C.%1").arg(p.catasto.left(1).toUpper())};
        if (!p.foglio.trimmed().isEmpty())
            parti << QStringLiteral("foglio ") + p.foglio.trimmed();
        if (!p.particella.trimmed().isEmpty())
            parti << QStringLiteral("particella ") + p.particella.trimmed();
        if (!p.subalterno.trimmed().isEmpty())
            parti << QStringLiteral("sub. ") + p.subalterno.trimmed();
        if (const QString s = unisci(parti, QStringLiteral(" ")); !s.isEmpty())
            particelle << s;
    }
    aggiungi("Dati catastali", particelle.join(QStringLiteral("; ")));
    aggiungi("Data della stima", dataItaliana(i.data.isValid() ? i.data : oggi));
    // "Collegio dei Geometri di Alessandria, iscrizione n. 1234": the register as the user
    // wrote it, so no article has to be guessed.
    const QString iscrizione = t.iscrizione.trimmed().isEmpty() ? QString()
                                                                : QStringLiteral("iscrizione n. ") + t.iscrizione.trimmed();
    const QString tecnico = unisci({firmaTecnico(t), t.albo, iscrizione}, QStringLiteral(", "));
    aggiungi("Tecnico", tecnico);
    aggiungi("Recapito", unisci({t.indirizzo, t.posta}, QStringLiteral(" - ")));
    aggiungi("Note", QString(i.nota).replace(u'\n', QStringLiteral("; ")));
    return v;
}

QString nomeFinestraCosto(const QString &finestra)
{
    if (finestra == u"sintetici")
        return QStringLiteral("Costi sintetici");
    if (finestra == u"tipologie")
        return QStringLiteral("Costi per tipologie");
    if (finestra == u"altezze")
        return QStringLiteral("Costi per altezze");
    return finestra;
}

QString testoFonteCosto(const FonteCosto &f, const QString &unita)
{
    const QString valuta = unita.isEmpty() ? QString() : QStringLiteral(" ") + unita;
    const QString perUnita = unita.isEmpty() ? QString() : unita + u'/' + f.unita;
    return QStringLiteral("finestra %1, %2: %3 %4 × %5 %6 = %7%8")
        .arg(nomeFinestraCosto(f.finestra), f.voce.trimmed(), f.unitario.trimmed(),
             perUnita.isEmpty() ? QStringLiteral("per ") + f.unita : perUnita, f.quantita.trimmed(),
             f.unita == u"vano" ? QStringLiteral("vani") : f.unita, formatta(f.valore, Schema::Intero), valuta);
}

} // namespace perix
