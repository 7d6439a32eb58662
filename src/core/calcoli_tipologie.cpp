#include "core/calcoli_tipologie.h"

#include "core/numeri.h"

#include <cmath>

namespace perix {

namespace {

constexpr double rapporti[numeroTipologie][numeroTipologie] = {
    {1, 1.0839, 1.135, 1.1408, 1.142, 1.1893, 1.2068, 1.2524, 1.3112},
    {0.9226, 1, 1.0472, 1.0525, 1.0536, 1.0973, 1.1134, 1.1555, 1.2098},
    {0.8811, 0.955, 1, 1.0051, 1.0062, 1.0479, 1.0632, 1.1034, 1.1553},
    {0.8766, 0.9501, 0.9949, 1, 1.0011, 1.0426, 1.0578, 1.0978, 1.1494},
    {0.8757, 0.9491, 0.9939, 0.9989, 1, 1.0415, 1.0567, 1.0967, 1.1482},
    {0.8408, 0.9113, 0.9543, 0.9592, 0.9602, 1, 1.0147, 1.053, 1.1025},
    {0.8287, 0.8982, 0.9406, 0.9453, 0.9463, 0.9856, 1, 1.0378, 1.0866},
    {0.7985, 0.8654, 0.9063, 0.9109, 0.9118, 0.9497, 0.9636, 1, 1.047},
    {0.7626, 0.8266, 0.8656, 0.87, 0.8709, 0.907, 0.9203, 0.9551, 1},
};

} // namespace

double rapportotipologie(int k, int j)
{
    if (k < 1 || k > numeroTipologie || j < 1 || j > numeroTipologie)
        return std::nan("");
    return rapporti[k - 1][j - 1];
}

EsitoTipologie calcolaTipologie(int scelta, double C)
{
    EsitoTipologie e;
    for (int j = 1; j <= numeroTipologie; ++j)
        e.costitipologie[std::size_t(j)] = j == scelta ? C : C / rapportotipologie(scelta, j);
    for (int i = 1; i <= numeroTipologie; ++i) {
        // The whole part of the double itself: 9051 / 1.2068 is 7499.999999999999, which its
        // 15-digit text would round up to 7500.
        const QString t = testoNumero(std::floor(e.costitipologie[std::size_t(i)]));
        e.edificio[std::size_t(i)] = formattanumero(t);
        const auto intero = letturaLocale(t);
        const QString v = intero ? testoNumero(*intero * 18) : t;
        e.vano[std::size_t(i)] = formattanumero(v);
    }
    return e;
}

QString nomeTipologia(int k)
{
    static const char *const nomi[numeroTipologie] = {
        " Edifici continui (duplex)",
        " Edificio isolato (3 piani)",
        " Edifici continui (3 piani)",
        " Edifici continui (4-5 piani)",
        " Edificio isolato (4-5 piani)",
        " Edificio isolato (9 piani ed oltre)",
        " Edificio isolato (6-8 piani)",
        " Edifici continui (9 piani ed oltre)",
        " Edifici continui (6-8 piani)",
    };
    return k >= 1 && k <= numeroTipologie ? QString::fromUtf8(nomi[k - 1]) : QString();
}

QString intestazioneTipologie(int colonna)
{
    switch (colonna) {
    case 0: return QStringLiteral(" Tipologie");
    case 1: return QStringLiteral(" Costi unitari a mq. netti");
    case 2: return QStringLiteral(" Costo a vano (mq.18)");
    }
    return {};
}

QString rifiutoStampaTipologie(const QString &costonetto)
{
    return QStringLiteral("Il costo al mq. di superficie netta «%1» non è un numero valido: correggerlo prima di "
                          "stampare i dati.")
        .arg(breve(costonetto));
}

int indiceScelto(const Campo &campo, int massimo)
{
    const auto n = campo.numero();
    if (!n || *n != std::floor(*n) || *n < 1 || *n > massimo)
        return 0;
    return int(*n);
}

Record recordTipologie(const RecordTipologie &r)
{
    Record record;
    record.append(Riga{r.soldi, r.costonetto,
                       r.tipologiascelta > 0 ? Valore(double(r.tipologiascelta)) : Valore()});
    for (int i = 1; i <= numeroTipologie; ++i)
        record.append(Riga{r.edificio[std::size_t(i)], r.vano[std::size_t(i)]});
    return record;
}

std::optional<RecordTipologie> leggiRecordTipologie(const QList<Campo> &campi, QString *motivo)
{
    if (campi.size() < campiTipologie)
        return rifiuta(motivo, QStringLiteral("il file è incompleto"));
    RecordTipologie r;
    r.soldi = campi[0].testo;
    r.costonetto = campi[1].testo;
    r.tipologiascelta = indiceScelto(campi[2], numeroTipologie);
    for (int i = 1; i <= numeroTipologie; ++i) {
        r.edificio[std::size_t(i)] = campi[1 + 2 * i].testo;
        r.vano[std::size_t(i)] = campi[2 + 2 * i].testo;
    }
    return r;
}

std::optional<RecordTipologie> leggiRecordTipologie(const QByteArray &dati, QString *motivo)
{
    const auto campi = leggiCampi(dati, campiTipologie, motivo);
    if (!campi)
        return std::nullopt;
    return leggiRecordTipologie(*campi, motivo);
}

} // namespace perix
