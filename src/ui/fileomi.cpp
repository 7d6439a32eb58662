#include "ui/fileomi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace perix {

namespace {

// Far above the national file (some 19 MB), far below what would strain the machine.
constexpr qint64 dimensioneMassimaOmi = 512LL * 1024 * 1024;

std::optional<QByteArray> leggiTutto(const QString &percorso, QString *motivo)
{
    QFile f(percorso);
    if (!QFileInfo(percorso).isFile()) {
        *motivo = QStringLiteral("il file %1 non esiste o non è un file").arg(QDir::toNativeSeparators(percorso));
        return std::nullopt;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        *motivo = QStringLiteral("impossibile aprire il file %1: %2").arg(QDir::toNativeSeparators(percorso), f.errorString());
        return std::nullopt;
    }
    if (f.size() > dimensioneMassimaOmi) {
        *motivo = QStringLiteral("il file %1 è troppo grande per essere un file delle quotazioni OMI")
                      .arg(QDir::toNativeSeparators(percorso));
        return std::nullopt;
    }
    QByteArray b = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        *motivo = QStringLiteral("impossibile leggere il file %1: %2").arg(QDir::toNativeSeparators(percorso), f.errorString());
        return std::nullopt;
    }
    return b;
}

// The entry of the zip whose name ends so (case aside), unzipped; nothing when there is none
// or it cannot be read (`motivo` then says so).
std::optional<QByteArray> voceZip(zip_t *z, const char *finale, QString *nome, QString *motivo)
{
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const QString voce = QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
        if (!voce.endsWith(QLatin1String(finale), Qt::CaseInsensitive) || voce.endsWith(u'/'))
            continue;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
            || st.size > zip_uint64_t(dimensioneMassimaOmi)) {
            *motivo = QStringLiteral("il file %1 nello zip è troppo grande o illeggibile").arg(voce);
            return std::nullopt;
        }
        zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), 0);
        if (!f) {
            *motivo = QStringLiteral("impossibile estrarre %1 dallo zip: %2").arg(voce, QString::fromLocal8Bit(zip_strerror(z)));
            return std::nullopt;
        }
        QByteArray b(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t letti = zip_fread(f, b.data(), st.size);
        zip_fclose(f);
        if (letti < 0 || zip_uint64_t(letti) != st.size) {
            *motivo = QStringLiteral("lo zip è danneggiato: %1 non si estrae per intero").arg(voce);
            return std::nullopt;
        }
        *nome = voce;
        return b;
    }
    return std::nullopt;
}

} // namespace

std::optional<QuotazioniOmi> caricaQuotazioniOmi(const QString &percorso, QString *motivo)
{
    QString perche;
    const auto fallito = [&](const QString &m) -> std::optional<QuotazioniOmi> {
        if (motivo)
            *motivo = m;
        return std::nullopt;
    };
    auto dati = leggiTutto(percorso, &perche);
    if (!dati)
        return fallito(perche.left(1).toUpper() + perche.mid(1) + u'.');
    QByteArray valori, zone;
    QString nome = QFileInfo(percorso).fileName();
    if (dati->startsWith("PK\x03\x04") || dati->startsWith("PK\x05\x06")) {
        zip_error_t errore;
        zip_error_init(&errore);
        zip_source_t *sorgente = zip_source_buffer_create(dati->constData(), zip_uint64_t(dati->size()), 0, &errore);
        zip_t *z = sorgente ? zip_open_from_source(sorgente, ZIP_RDONLY, &errore) : nullptr;
        if (!z) {
            if (sorgente)
                zip_source_free(sorgente);
            zip_error_fini(&errore);
            return fallito(QStringLiteral("Il file %1 non è uno zip leggibile: ci si aspettava lo .zip delle quotazioni "
                                          "OMI con il file QI_..._VALORI.csv.")
                               .arg(QFileInfo(percorso).fileName()));
        }
        zip_error_fini(&errore);
        QString voce;
        const auto v = voceZip(z, "_VALORI.csv", &voce, &perche);
        if (v) {
            valori = *v;
            nome = voce;
            QString zv;
            if (const auto zn = voceZip(z, "_ZONE.csv", &zv, &perche))
                zone = *zn;
        }
        zip_discard(z);
        if (!v)
            return fallito(perche.isEmpty() ? QStringLiteral("Lo zip %1 non contiene un file QI_..._VALORI.csv delle "
                                                             "quotazioni OMI.")
                                                  .arg(QFileInfo(percorso).fileName())
                                            : perche.left(1).toUpper() + perche.mid(1) + u'.');
    } else {
        valori = std::move(*dati);
        // The ZONE file of the same delivery, beside it.
        const QFileInfo info(percorso);
        QString nomeZone = info.fileName();
        const auto i = nomeZone.lastIndexOf(QLatin1String("_VALORI"), -1, Qt::CaseInsensitive);
        if (i >= 0) {
            nomeZone.replace(i, 7, QStringLiteral("_ZONE"));
            QString ignora;
            if (const auto z = leggiTutto(info.dir().filePath(nomeZone), &ignora))
                zone = *z;
        }
    }
    auto q = QuotazioniOmi::leggi(std::move(valori), zone, &perche, nome);
    if (!q)
        return fallito(perche);
    return q;
}

} // namespace perix
