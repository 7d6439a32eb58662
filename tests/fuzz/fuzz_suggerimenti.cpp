// The tips reader on arbitrary bytes: it never crashes; every line end (CR LF, CR or LF)
// closes one tip and no tip holds one; a final line end adds no tip; the count stays
// within the cap; and the tips, joined again with LF, give back the decoded text less its
// control and invisible format characters.

#include "comune.h"
#include "core/campi.h"
#include "core/lettura_suggerimenti.h"

using namespace perix;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::italiano();
    return 0;
}

namespace {

// Line ends of the text as the reader should see them: CR LF counts once.
qsizetype fini(const QString &t)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t[i] == u'\n' || t[i] == u'\r') {
            ++n;
            if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
                ++i;
        }
    return n;
}

QString decodificato(QByteArray b)
{
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    return decodificaTesto(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t n)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(n));
    const QStringList t = dividiSuggerimenti(byte);
    const QString dove = QStringLiteral("byte %1").arg(QString::fromLatin1(byte.toPercentEncoding()));
    fuzz::verifica(t.size() <= suggerimentiMassimi, "al piu' suggerimentiMassimi suggerimenti", dove);
    for (const QString &s : t)
        fuzz::verifica(!s.contains(u'\r') && !s.contains(u'\n'), "nessun suggerimento contiene una fine riga", dove);

    const QString testo = decodificato(byte);
    const bool finale = !testo.isEmpty() && (testo.endsWith(u'\n') || testo.endsWith(u'\r'));
    const qsizetype attesi = fini(testo) + (testo.isEmpty() || finale ? 0 : 1);
    if (attesi <= suggerimentiMassimi) {
        fuzz::verifica(t.size() == attesi, "un suggerimento per riga, nessuno dopo l'ultima fine riga",
                       dove + QStringLiteral(" -> %1 invece di %2").arg(t.size()).arg(attesi));
        // Joined with LF, and the final line end given back, the tips are the text with
        // its line ends made LF.
        QString normale = testo;
        normale.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        // Less the control and invisible characters each tip drops.
        QStringList righe = normale.split(u'\n');
        for (QString &r : righe)
            r = senzaControlli(r);
        normale = righe.join(u'\n');
        const QString rifatto = t.join(u'\n') + (finale ? QStringLiteral("\n") : QString());
        fuzz::verifica(rifatto == normale, "i suggerimenti ridanno il testo", dove);
    } else {
        fuzz::verifica(t.size() == suggerimentiMassimi, "oltre il limite si tengono le prime righe", dove);
    }
    return 0;
}
