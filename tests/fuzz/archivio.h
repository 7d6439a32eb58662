#pragma once
// Checks shared by the two archive targets: what a value read back must be.

#include "comune.h"
#include "core/campi.h"

#include <cmath>

namespace fuzz {

inline bool stessiCampi(const QList<perix::Campo> &a, const QList<perix::Campo> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].testo != b[i].testo || a[i].citato != b[i].citato)
            return false;
    return true;
}

inline QString mostra(const perix::Valore &v)
{
    if (const auto *s = std::get_if<QString>(&v))
        return u'"' + *s + u'"';
    if (const auto *n = std::get_if<double>(&v))
        return descrivi(*n);
    return QStringLiteral("(vuoto)");
}

// A written value as it must come back: a text the same text in quotes, nothing an empty
// field, a number the value of its 15-significant-digit form (or, at the edge of the double
// range where that form overflows, a finite number within the 15th digit).
inline void tornato(const perix::Valore &scritto, const perix::Campo &letto, const QString &dove)
{
    const QString d = dove + QStringLiteral(": scritto %1, letto \"%2\"%3")
                                 .arg(mostra(scritto), letto.testo, letto.citato ? " tra virgolette" : "");
    if (const auto *s = std::get_if<QString>(&scritto)) {
        verifica(letto.citato && letto.testo == *s, "un testo torna uguale", d);
    } else if (const auto *x = std::get_if<double>(&scritto)) {
        const auto n = letto.numero();
        verifica(!letto.citato && n.has_value(), "un numero torna numero", d);
        bool ok = false;
        const double atteso = QLocale::c().toDouble(QString::number(*x, 'e', 14), &ok);
        if (ok && std::isfinite(atteso))
            verifica(*n == atteso, "un numero torna con le sue 15 cifre", d);
        else
            verifica(std::fabs(*n - *x) <= std::fabs(*x) * 1e-14, "un numero ai limiti torna vicino", d);
    } else {
        verifica(letto.vuoto(), "un campo vuoto torna vuoto", d);
    }
}

} // namespace fuzz
