#include "reports/rapporto_guida.h"

#include "ui/modulo.h"
#include "core/campi.h"
#include "core/numeri.h"
#include "reports/docx.h"
#include "reports/documento.h"
#include "reports/finestrareport.h"
#include "reports/rapporti.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace perix {

namespace {
std::optional<QStringList> cartelleScelte;
}

std::unique_ptr<Document> documentoGuida(const QList<PaginaStampata> &pagine)
{
    Rapporto r(QStringLiteral("guida"));
    r.scrivi(20, Modulo::nomeprogramma + QLatin1Char('\r'));
    r.scrivi(16, Modulo::descrizioneprogramma + QStringLiteral("\r\r\r"));
    for (qsizetype i = 0; i < pagine.size(); ++i) {
        r.scrivi(QStringLiteral("Guida: ") + pagine[i].titolo + QStringLiteral("\r\r"));
        // The first title keeps the description's 16 points; everything after it is 12.
        if (i == 0)
            r.selezione()->setFontSize(12);
        r.scrivi(pagine[i].testo + QLatin1Char('\r'));
        if (i + 1 < pagine.size())
            r.interruzionePagina();
    }
    r.giustificaTutto();
    return r.prendi();
}

finestrareport *rapportoGuida(const QList<PaginaStampata> &pagine, QString *motivo)
{
    return mostraRapporto(QStringLiteral("guida"), documentoGuida(pagine), motivo);
}

QString nomeFileGuida()
{
    return Modulo::nomeprogramma + QStringLiteral("-guida.docx");
}

QStringList cartelleGuida()
{
    if (cartelleScelte)
        return *cartelleScelte;
    return cartelleGuida(QCoreApplication::applicationDirPath(), Modulo::cartellaDati(),
                         QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QStringList cartelleGuida(const QString &programma, const QString &dati, const QString &documenti)
{
    // An installed program lives in a system folder (/usr/bin), writable by root alone: the
    // program's folder counts only where its data sit beside it, as in its own folder.
    if (QDir(dati) != QDir(programma))
        return {documenti};
    return {programma, documenti};
}

void impostaCartelleGuida(std::optional<QStringList> cartelle)
{
    cartelleScelte = std::move(cartelle);
}

std::optional<QString> salvaGuida(const Document &documento, const QStringList &cartelle, QString *motivo)
{
    QString primo;
    for (const QString &c : cartelle) {
        if (c.isEmpty())
            continue;
        QDir cartella(c);
        // The documents folder may not exist yet on a fresh account.
        if (!cartella.exists() && !QDir().mkpath(c))
            continue;
        const QString percorso = cartella.absoluteFilePath(nomeFileGuida());
        QString perche;
        // Through the archive's atomic save: its reasons are in Italian.
        const bool salvato = salvaAtomico(
            percorso, [&documento](QIODevice &d, QString *m) { return scriviDocx(documento, d, m); }, &perche);
        if (salvato)
            return QDir::toNativeSeparators(percorso);
        if (primo.isEmpty())
            primo = perche;
    }
    falso(motivo, primo.isEmpty() ? QStringLiteral("nessuna cartella disponibile") : primo);
    return std::nullopt;
}

std::unique_ptr<Document> documentoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto)
{
    Rapporto r(QStringLiteral("listino prodotti"));
    r.scrivi(20, QStringLiteral("prodotti software VELMORA\r\r"));
    r.scrivi(12, QStringLiteral("acquistabili dalla pagina ") + paginaacquisto + QStringLiteral("\r\r"));
    r.paragrafoInFondo();
    // The blanks after the subject's heading widen its column, as in the word processor.
    QList<QStringList> righe{{QStringLiteral("numero"), QStringLiteral("nome del software"),
                              QStringLiteral("argomento trattato") + QString(20, u' '),
                              QStringLiteral("listino in euro"), QStringLiteral("in offerta ad euro")}};
    righe.reserve(prodotti.size() + 1);
    for (qsizetype i = 0; i < prodotti.size(); ++i) {
        const Prodotto &p = prodotti[i];
        righe.append({u' ' + QString::number(i + 1), p.nome, p.argomento,
                      formatta(testoNumero(p.prezzonetto), Schema::InteroDueDecimali),
                      formatta(testoNumero(p.prezzoofferta), Schema::InteroDueDecimali)});
    }
    r.tabella(righe, 8.0).setColumnWidths({9, 17, 44, 15, 15});
    r.allinea(1, {4, 5});
    return r.prendi();
}

finestrareport *rapportoProdotti(const QList<Prodotto> &prodotti, const QString &paginaacquisto, QString *motivo)
{
    return mostraRapporto(QStringLiteral("listino prodotti"), documentoProdotti(prodotti, paginaacquisto), motivo);
}


} // namespace perix
