#include "core/verifica.h"

#include "core/allegato.h"

#include "core/calcoli_altezze.h"
#include "core/calcoli_disaggregati.h"
#include "core/calcoli_sintetici.h"
#include "core/calcoli_tipologie.h"
#include "core/numeri.h"

#include <array>

namespace perix {

namespace {

// What a field of a record holds (formaRecord's letters).
enum class Genere : char { Testo = 'T', Numero = 'N', Percentuale = 'P' };

QString nomeTipo(TipoArchivio tipo)
{
    switch (tipo) {
    case TipoArchivio::Menu: return QStringLiteral("stima di aree fabbricabili");
    case TipoArchivio::Disaggregati: return QStringLiteral("costi di costruzione disaggregati");
    case TipoArchivio::Percentuali: return QStringLiteral("percentuali dei costi disaggregati");
    case TipoArchivio::Sintetici: return QStringLiteral("costi sintetici");
    case TipoArchivio::Tipologie: return QStringLiteral("costi per tipologie");
    case TipoArchivio::Altezze: return QStringLiteral("costi per altezze");
    }
    return {};
}

QString quanti(qsizetype n, const char *uno, const char *molti)
{
    return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(uno))
                  : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(molti));
}

bool rigaVuota(const QList<Campo> &riga) { return riga.size() == 1 && riga.first().vuoto(); }

// A text quoted in a reason: a field can be as long as the file.
QString citazione(const QString &testo)
{
    return breve(testo.trimmed(), 24);
}

QList<Campo> inFila(const QList<QList<Campo>> &righe)
{
    QList<Campo> campi;
    for (const auto &r : righe)
        campi += r;
    return campi;
}

// An amount the window reads with the user's rules and its data check with the plain
// reading: a number, within the figures the program computes with, not zero.
std::optional<QString> difettoImporto(const QString &nome, const QString &testo)
{
    if (testo.trimmed().isEmpty())
        return QStringLiteral("manca %1").arg(nome);
    const auto v = letturaLocale(testo);
    if (!v)
        return QStringLiteral("%1 «%2» non è un numero").arg(nome, citazione(testo));
    if (!rappresentabile(*v))
        return QStringLiteral("%1 «%2» è troppo grande per il calcolo").arg(nome, citazione(testo));
    if (letturaSemplice(testo) == 0)
        return QStringLiteral("%1 «%2» non è un importo valido").arg(nome, citazione(testo));
    return std::nullopt;
}

// The cost a typology or height table is computed from.
std::optional<QString> difettoCosto(const QString &nome, const QString &testo)
{
    if (testo.trimmed().isEmpty())
        return QStringLiteral("manca %1").arg(nome);
    const auto v = letturaLocale(testo);
    if (!v)
        return QStringLiteral("%1 «%2» non è un numero").arg(nome, citazione(testo));
    if (*v < 0)
        return QStringLiteral("%1 «%2» è negativo").arg(nome, citazione(testo));
    if (!rappresentabile(*v))
        return QStringLiteral("%1 «%2» è troppo grande per il calcolo").arg(nome, citazione(testo));
    return std::nullopt;
}

// The chosen row of a typology or height table: a whole number from 1 to `massimo`.
std::optional<QString> difettoScelta(const QString &nome, const Campo &campo, int massimo)
{
    if (indiceScelto(campo, massimo) != 0)
        return std::nullopt;
    if (campo.testo.trimmed().isEmpty())
        return QStringLiteral("non è scelta %1").arg(nome);
    return QStringLiteral("%1 «%2» non è un numero da 1 a %3").arg(nome, citazione(campo.testo)).arg(massimo);
}

const QString mancaValuta = QStringLiteral("manca la valuta (\"Valori in lire\" o \"Valori in euro\")");

} // namespace

std::optional<QString> difettoForma(TipoArchivio tipo, const QList<QList<Campo>> &tutte)
{
    const QList<QList<Campo>> righe = separaAllegato(tutte).record;
    const QList<QByteArray> attese = formaRecord(tipo);
    if (const auto altro = tipoDaRighe(righe); altro && *altro != tipo)
        return QStringLiteral("il contenuto è quello di un file %1 (%2), non di un file %3 (%4)")
            .arg(descrizioneTipo(*altro).prefisso, nomeTipo(*altro), descrizioneTipo(tipo).prefisso, nomeTipo(tipo));

    // Blank lines at the end are no field; an empty percentage is a blank line of its own.
    qsizetype n = righe.size();
    while (n > 0 && rigaVuota(righe[n - 1]) && (tipo != TipoArchivio::Percentuali || n > attese.size()))
        --n;
    if (tipo != TipoArchivio::Percentuali)
        for (qsizetype i = 0; i < n; ++i)
            if (rigaVuota(righe[i]))
                return QStringLiteral("la riga %1 è vuota, e ogni dato che la segue finirebbe al posto sbagliato")
                    .arg(i + 1);
    if (n != attese.size())
        return QStringLiteral("il file ha %1 invece di %2")
            .arg(quanti(n, "riga", "righe"), QString::number(attese.size()));
    for (qsizetype i = 0; i < n; ++i) {
        const auto &riga = righe[i];
        const QByteArray &generi = attese[i];
        if (riga.size() != generi.size())
            return QStringLiteral("la riga %1 ha %2 invece di %3, e ogni dato che segue finirebbe al posto sbagliato")
                .arg(QString::number(i + 1), quanti(riga.size(), "campo", "campi"), QString::number(generi.size()));
        for (qsizetype j = 0; j < riga.size(); ++j) {
            const Campo &c = riga[j];
            const QString dove = QStringLiteral("il campo %1 della riga %2").arg(j + 1).arg(i + 1);
            switch (Genere(generi[j])) {
            case Genere::Testo:
                if (!c.citato)
                    return dove + QStringLiteral(" non è un testo tra virgolette");
                break;
            case Genere::Numero: // which number is the figures' check
                if (c.citato)
                    return dove + QStringLiteral(" è tra virgolette, ma è un numero");
                break;
            case Genere::Percentuale:
                if (!c.citato && !c.vuoto() && !c.numero())
                    return dove + QStringLiteral(" non è né un numero né un testo tra virgolette");
                break;
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> difettoDati(TipoArchivio tipo, const QList<QList<Campo>> &righe)
{
    const QList<Campo> campi = inFila(righe);
    switch (tipo) {
    case TipoArchivio::Menu:
    case TipoArchivio::Percentuali:
        return std::nullopt;
    case TipoArchivio::Disaggregati: {
        const auto r = leggiDisaggregati(campi);
        if (!r)
            return QStringLiteral("il file è incompleto");
        if (r->soldi.trimmed().isEmpty())
            return mancaValuta;
        if (r->tipoedi.trimmed().isEmpty())
            return QStringLiteral("manca il tipo di edificio");
        if (const auto d = difettoImporto(QStringLiteral("il valore di mercato"), r->vm))
            return d;
        return difettoImporto(QStringLiteral("il costo di costruzione"), r->cc);
    }
    case TipoArchivio::Sintetici: {
        QString motivo;
        const auto d = leggiSintetici(campi, &motivo);
        if (!d)
            return motivo;
        if (d->soldi.trimmed().isEmpty())
            return mancaValuta;
        for (std::size_t r = 1; r <= 5; ++r)
            for (std::size_t c = 1; c <= 3; ++c) {
                const QString &t = d->griglia[r][c];
                const QString cella = QStringLiteral("il costo della riga %1 per la classe %2").arg(r).arg(c);
                if (t.trimmed().isEmpty())
                    return QStringLiteral("manca ") + cella;
                // What the window itself shows for a cost too large to compute.
                if (t != nonCalcolabile && !letturaLocale(t))
                    return QStringLiteral("%1 «%2» non è un numero").arg(cella, citazione(t));
            }
        return std::nullopt;
    }
    case TipoArchivio::Tipologie: {
        const auto r = leggiRecordTipologie(campi);
        if (!r)
            return QStringLiteral("il file è incompleto");
        if (r->soldi.trimmed().isEmpty())
            return mancaValuta;
        if (const auto d = difettoCosto(QStringLiteral("il costo al mq. di superficie netta"), r->costonetto))
            return d;
        return difettoScelta(QStringLiteral("la tipologia di riferimento"), campi[2], numeroTipologie);
    }
    case TipoArchivio::Altezze: {
        const auto r = leggiRecordAltezze(campi);
        if (!r)
            return QStringLiteral("il file è incompleto");
        if (r->soldi.trimmed().isEmpty())
            return mancaValuta;
        if (const auto d = difettoCosto(QStringLiteral("il costo al mc. vuoto per pieno"), r->costopieno))
            return d;
        return difettoScelta(QStringLiteral("la classe di altezza di riferimento"), campi[2], numeroAltezze);
    }
    }
    return std::nullopt;
}

std::optional<QString> difettoArchivio(TipoArchivio tipo, const QByteArray &dati)
{
    QString motivo;
    if (dati.isEmpty())
        return QStringLiteral("il file è vuoto");
    const auto righe = leggiRighe(dati, &motivo);
    if (!righe)
        return motivo;
    if (auto d = difettoForma(tipo, *righe))
        return d;
    const auto [record, allegato] = separaAllegato(*righe);
    if (auto d = difettoDati(tipo, record))
        return d;
    if (!leggiAllegato(allegato, &motivo))
        return motivo;
    return std::nullopt;
}

std::optional<QString> difettoArchivio(TipoArchivio tipo, const QString &percorso)
{
    QString motivo;
    const auto dati = leggiFile(percorso, &motivo);
    if (!dati)
        return motivo;
    return difettoArchivio(tipo, *dati);
}

} // namespace perix
