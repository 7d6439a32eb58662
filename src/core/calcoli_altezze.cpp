#include "core/calcoli_altezze.h"

#include "core/calcoli_tipologie.h"
#include "core/numeri.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace perix {

namespace {

constexpr float indici[numeroAltezze] = {104.6f, 107.8f, 102.3f, 100.0f, 104.8f, 103.0f, 102.4f,
                                         101.4f, 101.1f, 104.4f, 103.4f, 103.3f, 103.1f, 102.7f};

bool valida(int classe) { return classe >= 1 && classe <= numeroAltezze; }

} // namespace

float indicealtezze(int classe)
{
    return valida(classe) ? indici[classe - 1] : std::nanf("");
}

QString percentualeIniziale(int classe)
{
    // The indices themselves, class 4 (the cheapest) at 100: what choosing it shows, in the
    // same Italian form, so the column reads one way before and after a choice.
    return valida(classe) ? testoSingolo(percentualeArrotondata(percentualeAltezza(4, classe))) : QString();
}

float percentualeAltezza(int scelta, int classe)
{
    if (classe == scelta)
        return 100.0f;
    return float(double(indicealtezze(classe)) * 100.0 / double(indicealtezze(scelta)));
}

float percentualeArrotondata(float percentuale)
{
    const float centesimi = percentuale * 100.0f; // single precision, as the value is held
    return float(std::floor(double(centesimi) + 0.5)) / 100.0f;
}

QString testoSingolo(float valore)
{
    if (!std::isfinite(valore))
        return nonCalcolabile;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, valore, std::chars_format::fixed);
    if (r.ec != std::errc())
        return nonCalcolabile;
    QString t = QString::fromLatin1(buf, r.ptr - buf);
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t.replace(u'.', QLocale().decimalPoint());
}

EsitoAltezze calcolaAltezze(int scelta, double C)
{
    EsitoAltezze e;
    for (int i = 1; i <= numeroAltezze; ++i) {
        const float p = percentualeAltezza(scelta, i);
        // The cost takes the percentage before it is rounded for display.
        e.varicosti[std::size_t(i)] = formattanumero(testoNumero(std::floor(C * double(p) / 100.0)));
        e.percentuali[std::size_t(i)] = percentualeArrotondata(p);
        e.percentuale[std::size_t(i)] = testoSingolo(e.percentuali[std::size_t(i)]);
    }
    return e;
}

QString nomeAltezza(int classe)
{
    static const char *const nomi[numeroAltezze] = {
        " 1 piano",
        " 2 piani",
        " 3 piani + cantinato",
        " 4 piani + cantinato",
        " 5 piani + cantinato (1 ascensore)",
        " 6 piani + cantinato (1 ascensore)",
        " 7 piani + cantinato (1 ascensore)",
        " 8 piani + cantinato (1 ascensore)",
        " 9 piani + cantinato (1 ascensore)",
        " 10 piani + cantinato (2 ascensori)",
        " 11 piani + cantinato (2 ascensori)",
        " 12 piani + cantinato (2 ascensori)",
        " 13 piani + cantinato (2 ascensori)",
        " 14 piani + cantinato (2 ascensori)",
    };
    return valida(classe) ? QString::fromUtf8(nomi[classe - 1]) : QString();
}

QString intestazioneAltezze(int colonna)
{
    switch (colonna) {
    case 0: return QStringLiteral(" Altezze degli edifici in c.a.");
    case 1: return QStringLiteral("Costi a mc. vpp");
    }
    return {};
}

QString didascaliaCostoPieno()
{
    return QStringLiteral("Costo mc. vuoto per pieno");
}

QString rifiutoStampaAltezze(const QString &costopieno)
{
    return QStringLiteral("Il costo al mc. vuoto per pieno «%1» non è un numero valido: correggerlo prima di "
                          "stampare i dati.")
        .arg(breve(costopieno));
}

Record recordAltezze(const RecordAltezze &r)
{
    Record record;
    record.append(Riga{r.soldi, r.costopieno, r.altezzascelta > 0 ? Valore(double(r.altezzascelta)) : Valore()});
    for (int i = 1; i <= numeroAltezze; ++i)
        record.append(Riga{r.varicosti[std::size_t(i)]});
    return record;
}

std::optional<RecordAltezze> leggiRecordAltezze(const QList<Campo> &campi, QString *motivo)
{
    if (campi.size() < campiAltezze)
        return rifiuta(motivo, QStringLiteral("il file è incompleto"));
    RecordAltezze r;
    r.soldi = campi[0].testo;
    r.costopieno = campi[1].testo;
    r.altezzascelta = indiceScelto(campi[2], numeroAltezze);
    for (int i = 1; i <= numeroAltezze; ++i)
        r.varicosti[std::size_t(i)] = campi[2 + i].testo;
    return r;
}

std::optional<RecordAltezze> leggiRecordAltezze(const QByteArray &dati, QString *motivo)
{
    const auto campi = leggiCampi(dati, campiAltezze, motivo);
    if (!campi)
        return std::nullopt;
    return leggiRecordAltezze(*campi, motivo);
}

} // namespace perix
