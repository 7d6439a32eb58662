#include "numeri.h"

#include <QLocale>
#include <cmath>

namespace perix {

double letturaSemplice(const QString &testo)
{
    // Build a clean ASCII copy first so std::strtod sees exactly what the reading accepts.
    std::string pulito;
    pulito.reserve(testo.size());
    bool segno = false, cifre = false, punto = false;
    for (QChar c : testo) {
        if (c == u' ' || c == u'\t')
            continue;
        if ((c == u'-' || c == u'+') && !segno && !cifre && !punto) {
            segno = true;
            pulito.push_back(char(c.unicode()));
        } else if (c >= u'0' && c <= u'9') {
            cifre = true;
            pulito.push_back(char(c.unicode()));
        } else if (c == u'.' && !punto) {
            punto = true;
            pulito.push_back('.');
        } else {
            break;
        }
    }
    if (!cifre)
        return 0.0;
    return std::strtod(pulito.c_str(), nullptr);
}

std::optional<double> letturaLocale(const QString &testo)
{
    bool ok = false;
    const double v = QLocale().toDouble(testo.trimmed(), &ok);
    if (!ok || std::isnan(v))
        return std::nullopt;
    return v;
}

bool rappresentabile(double valore)
{
    return std::isfinite(valore) && std::fabs(valore) < 1e15;
}

double arrotonda(double valore)
{
    return std::round(valore);
}

QString testoNumero(double valore)
{
    if (!rappresentabile(valore))
        return nonCalcolabile;
    // 15 significant digits, as the number's text form; tiny values have no whole part to show.
    if (std::fabs(valore) < 1e-12)
        return QStringLiteral("0");
    QString t = QString::number(valore, 'g', 15);
    if (t.contains(u'e')) // only tiny magnitudes get here: write them out in full
        t = QString::number(valore, 'f', 15);
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    return t.replace(u'.', QLocale().decimalPoint());
}

QString formatta(const QString &testo, Schema schema)
{
    const auto v = letturaLocale(testo);
    if (!v)
        return testo;
    const QLocale loc;
    switch (schema) {
    case Schema::Intero: {
        const double r = arrotonda(*v);
        if (!rappresentabile(r))
            return nonCalcolabile;
        return loc.toString(qlonglong(r));
    }
    case Schema::DueDecimali:
    case Schema::InteroDueDecimali: {
        // Round the hundredths of the 15-digit text form, so 1,005 gives 1,01 as typed.
        const double centesimi = QString::number(*v * 100.0, 'g', 15).toDouble();
        const double r = std::round(centesimi) / 100.0;
        if (!rappresentabile(r))
            return nonCalcolabile;
        QString t = loc.toString(r, 'f', 2);
        if (schema == Schema::DueDecimali)
            t.remove(loc.groupSeparator());
        return t;
    }
    }
    return testo;
}

QString formatta(const QString &testo, const QString &schema)
{
    if (schema == QLatin1String("0.00"))
        return formatta(testo, Schema::DueDecimali);
    if (schema == QLatin1String("##,##0.00"))
        return formatta(testo, Schema::InteroDueDecimali);
    return formatta(testo, Schema::Intero);
}

QString formattanumero(const QString &numerodaformattare)
{
    return formatta(numerodaformattare, Schema::Intero);
}

} // namespace perix
