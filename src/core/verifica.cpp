#include "core/verifica.h"

#include "core/allegato.h"

#include "core/calcoli.h"
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

// What an invisible character is, in a few words the user can look for in an editor.
QString nomeInvisibile(char32_t u)
{
    QString nome;
    if ((u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e || u == 0x200f || u == 0x061c)
        nome = QStringLiteral("controllo della direzione del testo");
    else if (u == 0x200b)
        nome = QStringLiteral("spazio di larghezza zero");
    else if (u == 0x200c || u == 0x200d || u == 0x2060)
        nome = QStringLiteral("legatura invisibile");
    else if (u == 0xfeff)
        nome = QStringLiteral("segno d'ordine dei byte");
    else if (u == 0x00ad)
        nome = QStringLiteral("trattino facoltativo");
    else if (u == 0x2028)
        nome = QStringLiteral("separatore di riga");
    else if (u == 0x2029)
        nome = QStringLiteral("separatore di paragrafo");
    else if (u == u'\t')
        nome = QStringLiteral("tabulazione");
    else if (QChar::category(u) == QChar::Other_Control)
        nome = QStringLiteral("carattere di controllo");
    else
        nome = QStringLiteral("carattere di formato");
    return QStringLiteral("U+%1, %2").arg(QStringLiteral("%1").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper(), nome);
}

// Why a figure's characters are not a figure's: an invisible one (which the reading drops,
// so the figure seen in an editor is not the one read) or a digit of another script.
std::optional<QString> difettoCaratteri(const QString &nome, const Campo &campo)
{
    if (campo.invisibile)
        return QStringLiteral("%1 «%2» contiene un carattere invisibile (%3), che un numero non contiene")
            .arg(nome, citazione(campo.testo), nomeInvisibile(campo.invisibile));
    for (qsizetype i = 0; i < campo.testo.size(); ++i) {
        const QChar c = campo.testo[i];
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < campo.testo.size())
            u = QChar::surrogateToUcs4(c, campo.testo[i + 1]);
        if (QChar::category(u) == QChar::Number_DecimalDigit && !(u >= u'0' && u <= u'9'))
            return QStringLiteral("%1 «%2» contiene la cifra «%3» (U+%4), che non è una delle cifre da 0 a 9")
                .arg(nome, citazione(campo.testo), QString::fromUcs4(&u, 1))
                .arg(QStringLiteral("%1").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper());
    }
    return std::nullopt;
}

// A result the window stores as it shows it: a whole amount grouped as the window groups
// it, or "valore non calcolabile"; empty where `vuoto` allows it, not negative where
// `negativo` forbids it.
std::optional<QString> difettoRisultato(const QString &nome, const Campo &campo, bool vuoto, bool negativo = true)
{
    if (const auto d = difettoCaratteri(nome, campo))
        return d;
    const QString &t = campo.testo;
    if (t.isEmpty())
        return vuoto ? std::nullopt : std::optional(QStringLiteral("manca ") + nome);
    if (t == nonCalcolabile)
        return std::nullopt;
    const auto v = letturaImporto(t);
    if (!v)
        return QStringLiteral("%1 «%2» non è un numero intero come lo scrive la finestra (ad esempio 1.250.000)")
            .arg(nome, citazione(t));
    if (!negativo && *v < 0)
        return QStringLiteral("%1 «%2» è negativo").arg(nome, citazione(t));
    return std::nullopt;
}

// A column of results filled together: all empty (never computed) or each one a result.
std::optional<QString> difettoColonna(const QList<std::pair<QString, const Campo *>> &colonna, bool negativo)
{
    bool tuttiVuoti = true;
    for (const auto &[nome, campo] : colonna)
        tuttiVuoti = tuttiVuoti && campo->testo.isEmpty() && !campo->invisibile;
    for (const auto &[nome, campo] : colonna)
        if (const auto d = difettoRisultato(nome, *campo, tuttiVuoti, negativo))
            return d;
    return std::nullopt;
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

std::optional<QString> difettoLettura(TipoArchivio tipo, const QList<QList<Campo>> &righe)
{
    const QList<Campo> campi = inFila(separaAllegato(righe).record);
    const auto campo = [&campi](qsizetype i) -> const Campo & {
        static const Campo nessuno;
        return i < campi.size() ? campi[i] : nessuno;
    };
    switch (tipo) {
    case TipoArchivio::Menu:
        for (int f = ValoreMercato; f <= Superficie; ++f)
            if (const auto d = difettoCaratteri(QStringLiteral("il dato di '%1'").arg(didascaliaFigura(FiguraArea(f))),
                                                campo(f + 1)))
                return d;
        return std::nullopt;
    case TipoArchivio::Percentuali:
        for (int k = 1; k <= categorie; ++k)
            if (const auto d = difettoCaratteri(QStringLiteral("la percentuale %1").arg(k), campo(k - 1)))
                return d;
        return std::nullopt;
    case TipoArchivio::Disaggregati: {
        const std::array<QString, 3> nomi{QStringLiteral("il valore di mercato"), QStringLiteral("il costo di costruzione"),
                                          QStringLiteral("il profitto netto")};
        for (int i = 0; i < 3; ++i)
            if (const auto d = difettoRisultato(nomi[std::size_t(i)], campo(2 + i), false, i == 2))
                return d;
        QList<std::pair<QString, const Campo *>> colonna;
        for (int k = 1; k <= categorie; ++k)
            colonna.append({QStringLiteral("il costo di «%1»").arg(nomeCategoriaRapporto(k)), &campo(4 + k)});
        return difettoColonna(colonna, false);
    }
    case TipoArchivio::Sintetici: {
        QList<std::pair<QString, const Campo *>> griglia;
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 3; ++c)
                griglia.append({QStringLiteral("il costo della riga %1 per la classe %2").arg(r).arg(c),
                                &campo(2 + (r - 1) * 3 + (c - 1))});
        return difettoColonna(griglia, false);
    }
    case TipoArchivio::Tipologie: {
        if (const auto d = difettoCaratteri(QStringLiteral("il costo al mq. di superficie netta"), campo(1)))
            return d;
        for (int i = 1; i <= numeroTipologie; ++i) {
            if (const auto d = difettoRisultato(QStringLiteral("il costo al mq. della tipologia %1").arg(i),
                                                campo(1 + 2 * i), true))
                return d;
            if (const auto d = difettoRisultato(QStringLiteral("il costo a vano della tipologia %1").arg(i),
                                                campo(2 + 2 * i), true))
                return d;
        }
        return std::nullopt;
    }
    case TipoArchivio::Altezze: {
        if (const auto d = difettoCaratteri(QStringLiteral("il costo al mc. vuoto per pieno"), campo(1)))
            return d;
        for (int i = 1; i <= numeroAltezze; ++i)
            if (const auto d = difettoRisultato(QStringLiteral("il costo della classe di altezza %1").arg(i),
                                                campo(2 + i), true))
                return d;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<QList<Campo>> leggiRecord(TipoArchivio tipo, const QByteArray &dati, QString *motivo)
{
    if (dati.isEmpty())
        return rifiuta(motivo, QStringLiteral("il file è vuoto"));
    const auto righe = leggiRighe(dati, motivo);
    if (!righe)
        return std::nullopt;
    const QList<QList<Campo>> record = separaAllegato(*righe).record;
    if (auto d = difettoForma(tipo, record))
        return rifiuta(motivo, *d);
    if (auto d = difettoLettura(tipo, record))
        return rifiuta(motivo, *d);
    return inFila(record);
}

std::optional<QString> difettoDati(TipoArchivio tipo, const QList<QList<Campo>> &righe)
{
    if (auto d = difettoLettura(tipo, righe))
        return d;
    const QList<Campo> campi = inFila(separaAllegato(righe).record);
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
    if (!leggiRecord(tipo, dati, &motivo))
        return motivo;
    const auto [record, allegato] = separaAllegato(*leggiRighe(dati));
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
