#include "core/allegato.h"

#include "core/numeri.h"

#include <array>

namespace perix {

namespace {

const QString marcatore = QStringLiteral("Perix-dati");
const QString versione = QStringLiteral("1");

bool eMarcatore(const QList<Campo> &riga)
{
    return !riga.isEmpty() && riga.first().citato && riga.first().testo == marcatore;
}

// The members of the two sources in the order their lines hold them.
std::array<QString *, 14> campiOmi(FonteOmi &f)
{
    return {&f.semestre, &f.comune, &f.provincia, &f.zona, &f.fascia, &f.descrizione, &f.tipologia,
            &f.stato, &f.minimo, &f.massimo, &f.superficieTipo, &f.superficie, &f.scelta, &f.valore};
}
std::array<QString *, 6> campiCosto(FonteCosto &f)
{
    return {&f.finestra, &f.voce, &f.unitario, &f.unita, &f.quantita, &f.valore};
}

template <std::size_t N>
Riga riga(const QString &chiave, const std::array<QString *, N> &campi)
{
    Riga r{chiave};
    for (const QString *c : campi)
        r << *c;
    return r;
}

template <std::size_t N>
bool riempi(const std::array<QString *, N> &campi, const QStringList &valori)
{
    if (valori.size() != qsizetype(N))
        return false;
    for (std::size_t i = 0; i < N; ++i)
        *campi[i] = valori[qsizetype(i)];
    return true;
}

// The single-text keys of the job, with where each goes.
struct Testo {
    const char *chiave;
    QString DatiIncarico::*membro;
};
constexpr std::array<Testo, 4> testiIncarico{{{"committente", &DatiIncarico::committente},
                                              {"oggetto", &DatiIncarico::oggetto},
                                              {"indirizzo", &DatiIncarico::indirizzo},
                                              {"comune", &DatiIncarico::comune}}};

} // namespace

bool DatiIncarico::vuoto() const
{
    return *this == DatiIncarico{};
}

bool Allegato::vuoto() const
{
    return *this == Allegato{};
}

void Allegato::verificaFonti(const QString &valoreMercato, const QString &costiTotali)
{
    if (omi && omi->valore != valoreMercato)
        omi.reset();
    if (costo && costo->valore != costiTotali)
        costo.reset();
}

Record righeAllegato(const Allegato &a)
{
    if (a.vuoto())
        return {};
    Record r{{marcatore, versione}};
    const DatiIncarico &i = a.incarico;
    for (const Testo &t : testiIncarico)
        if (!(i.*t.membro).isEmpty())
            r.append({QString::fromLatin1(t.chiave), i.*t.membro});
    for (const Particella &p : i.particelle)
        r.append({QStringLiteral("particella"), p.catasto, p.foglio, p.particella, p.subalterno});
    if (i.data.isValid())
        r.append({QStringLiteral("data"), i.data.toString(Qt::ISODate)});
    if (!i.nota.isEmpty()) {
        // A line end cannot stand inside a field: each line of the note is a text of its own.
        Riga nota{QStringLiteral("nota")};
        for (const QString &l : i.nota.split(u'\n'))
            nota << QString(l).remove(u'\r');
        r.append(nota);
    }
    if (a.omi) {
        FonteOmi f = *a.omi;
        r.append(riga(QStringLiteral("omi"), campiOmi(f)));
    }
    if (a.costo) {
        FonteCosto f = *a.costo;
        r.append(riga(QStringLiteral("costo"), campiCosto(f)));
    }
    if (!a.dimensione.isEmpty())
        r.append({QStringLiteral("dimensione"), a.dimensione});
    for (const QStringList &altra : a.altre) {
        Riga l;
        for (const QString &t : altra)
            l << t;
        r.append(l);
    }
    return r;
}

RigheSeparate separaAllegato(const QList<QList<Campo>> &righe)
{
    for (qsizetype i = 0; i < righe.size(); ++i)
        if (eMarcatore(righe[i]))
            return {righe.first(i), righe.sliced(i)};
    return {righe, {}};
}

std::optional<Allegato> leggiAllegato(const QList<QList<Campo>> &righe, QString *motivo)
{
    Allegato a;
    if (righe.isEmpty())
        return a;
    if (!eMarcatore(righe.first()))
        return rifiuta(motivo, QStringLiteral("i dati aggiuntivi non cominciano con «%1»").arg(marcatore));
    for (qsizetype n = 1; n < righe.size(); ++n) {
        const auto &riga = righe[n];
        // Blank lines at the end of a file are no data, as after a record.
        if (riga.size() == 1 && riga.first().vuoto())
            continue;
        const QString numero = QString::number(n + 1);
        QStringList valori;
        for (const Campo &c : riga) {
            if (!c.citato)
                return rifiuta(motivo, QStringLiteral("la riga %1 dei dati aggiuntivi ha un campo senza virgolette")
                                           .arg(numero));
            valori << c.testo;
        }
        const QString chiave = valori.takeFirst();
        const auto male = [&] {
            return rifiuta(motivo, QStringLiteral("la riga %1 dei dati aggiuntivi («%2») non è scritta come Perix la scrive")
                                       .arg(numero, breve(chiave, 24)));
        };
        DatiIncarico &i = a.incarico;
        bool letta = false;
        for (const Testo &t : testiIncarico)
            if (chiave == QLatin1String(t.chiave)) {
                if (valori.size() != 1)
                    return male();
                i.*t.membro = valori.first();
                letta = true;
            }
        if (letta)
            continue;
        if (chiave == u"particella") {
            if (valori.size() != 4)
                return male();
            i.particelle.append({valori[0], valori[1], valori[2], valori[3]});
        } else if (chiave == u"data") {
            i.data = valori.size() == 1 ? QDate::fromString(valori.first(), Qt::ISODate) : QDate();
            if (!i.data.isValid())
                return male();
        } else if (chiave == u"nota") {
            i.nota = valori.join(u'\n');
        } else if (chiave == u"omi") {
            FonteOmi f;
            if (!riempi(campiOmi(f), valori))
                return male();
            a.omi = f;
        } else if (chiave == u"costo") {
            FonteCosto f;
            if (!riempi(campiCosto(f), valori))
                return male();
            a.costo = f;
        } else if (chiave == u"dimensione") {
            if (valori.size() != 1)
                return male();
            a.dimensione = valori.first();
        } else if (chiave == marcatore) {
            return male();
        } else {
            valori.prepend(chiave);
            a.altre.append(valori);
        }
    }
    return a;
}

std::optional<Allegato> allegatoDaDati(const QByteArray &dati, QString *motivo)
{
    const auto righe = leggiRighe(dati, motivo);
    if (!righe)
        return std::nullopt;
    return leggiAllegato(separaAllegato(*righe).allegato, motivo);
}

} // namespace perix
