#include "ui/comandi.h"

#include "ui/modulo.h"
#include "core/tipi.h"
#include "core/verifica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace perix {

bool cestina(const QString &percorso)
{
    // Qt 6.4 cannot set up the trash in a data folder that does not exist yet (a new
    // user's ~/.local/share) and then moves the file into ./files of the working folder.
    const QString dati = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dati.isEmpty() || !QDir().mkpath(dati))
        return false;
    QString dove;
    if (!QFile::moveToTrash(percorso, &dove))
        return false;
    if (QDir::isAbsolutePath(dove))
        return true;
    QFile::rename(dove, percorso); // not a trash: back where it was, to be deleted
    return false;
}

namespace {

// The name alone keeps the message short; the folder is the one the user just chose.
QString soloNome(const QString &percorso) { return QFileInfo(percorso).fileName(); }

// A dialog that comes back with no name has chosen nothing.
std::optional<QString> scelto(const std::optional<QString> &risposta)
{
    if (!risposta || risposta->isEmpty())
        return std::nullopt;
    return risposta;
}

dialoghi::RichiestaFile richiestaApertura(const DescrizioneArchivio &archivio, const QString &titolo)
{
    return {titolo, archivio.nomeProposto, filtriApertura(archivio), 2, archivio.prefisso};
}


struct Scelta {
    QString percorso;
    bool preso = false;
    bool letto = false;
};

std::optional<Scelta> &giaScelto()
{
    static std::optional<Scelta> s;
    return s;
}

// The file named before the command, taken once; nothing when the dialog is to ask.
std::optional<QString> prendiGiaScelto()
{
    auto &s = giaScelto();
    if (!s || s->preso)
        return std::nullopt;
    s->preso = true;
    return s->percorso;
}

bool elimina(const QString &percorso, QString *motivo)
{
    const QFileInfo info(percorso);
    // A dangling link is still something to delete.
    if (!info.exists() && !info.isSymLink())
        return falso(motivo, QStringLiteral("il file non esiste"));
    if (info.isDir() && !info.isSymLink())
        return falso(motivo, QStringLiteral("è una cartella, non un file"));
    // Into the desktop's trash, where the user can take it back; deleted outright only
    // where there is no trash to move it to.
    if (cestina(percorso))
        return true;
    QFile f(percorso);
    if (f.remove())
        return true;
    if (!QFileInfo(info.absolutePath()).isWritable())
        return falso(motivo, QStringLiteral("la cartella è di sola lettura"));
    return falso(motivo, QStringLiteral("il file non può essere eliminato"));
}

// The fields the window takes from the file. A file of the window's own kind, by its name
// or by the shape of its lines, goes through the one reading of its record (leggiRecord):
// laid out otherwise, or holding a figure no window holds, it is refused with the same
// words as a report made from it without a window. Any other file read through "Tutti i
// file" is taken field by field as always.
std::optional<QList<Campo>> campiDelFile(const DescrizioneArchivio &archivio, const QString &percorso,
                                         const QByteArray &dati, int quantiCampi, QString *motivo)
{
    const auto tipo = archivio.prefisso.isEmpty() ? std::nullopt : tipoDaNome(archivio.prefisso);
    const auto righe = leggiRighe(dati, motivo);
    if (!righe)
        return std::nullopt;
    const bool nominato = QFileInfo(percorso).fileName().startsWith(archivio.prefisso, Qt::CaseInsensitive);
    if (tipo && (nominato || tipoDaRighe(*righe) == tipo))
        return leggiRecord(*tipo, dati, motivo);
    return leggiCampi(dati, quantiCampi, motivo);
}

} // namespace

QString nomeConPrefisso(const QString &percorso, const QString &prefisso)
{
    const QFileInfo info(percorso);
    // Apri lists the files by their prefix, in any case, as the dialogs match it. A folder
    // is no name to complete: saving onto it fails and says so.
    if (prefisso.isEmpty() || info.isDir() || info.fileName().startsWith(prefisso, Qt::CaseInsensitive))
        return percorso;
    return QDir(info.path()).filePath(prefisso + info.fileName());
}

dialoghi::Filtro filtroPrefisso(const DescrizioneArchivio &archivio)
{
    return {QStringLiteral("File %1 ").arg(archivio.prefisso), archivio.prefisso + u'*'};
}

QList<dialoghi::Filtro> filtriApertura(const DescrizioneArchivio &archivio)
{
    return {{QStringLiteral("Tutti i file"), QStringLiteral("*.*")}, filtroPrefisso(archivio)};
}

std::optional<QList<Campo>> apriArchivio(QWidget *parent, const DescrizioneArchivio &archivio,
                                         QString &nomefile, int quantiCampi,
                                         const QString &titoloMessaggi, QString *letto, Allegato *allegato)
{
    auto percorso = prendiGiaScelto();
    const bool giaNominato = percorso.has_value();
    if (!giaNominato) {
        auto r = richiestaApertura(archivio, archivio.titoloApri);
        r.esempi = Modulo::cartellaEsempi(); // the samples the help sends the user to
        percorso = scelto(dialoghi::apriFile(parent, r));
    }
    if (!percorso)
        return std::nullopt;
    QString motivo;
    const auto dati = leggiFile(*percorso, &motivo);
    auto campi = dati ? campiDelFile(archivio, *percorso, *dati, quantiCampi, &motivo) : std::nullopt;
    std::optional<Allegato> aggiunto;
    if (campi && !(aggiunto = allegatoDaDati(*dati, &motivo)))
        campi.reset();
    if (giaNominato)
        giaScelto()->letto = campi.has_value();
    if (!campi) {
        // The window keeps the file it had: a later "Salva" never lands on the unreadable one.
        rifiutaRecordAperto(parent, *percorso, motivo, titoloMessaggi);
        return campi;
    }
    nomefile = *percorso;
    if (letto)
        *letto = *percorso;
    if (allegato)
        *allegato = *aggiunto;
    if (archivio.riconosci) {
        const auto righe = leggiRighe(*dati);
        if (!righe || !archivio.riconosci(*righe))
            nomefile.clear(); // someone else's file: never overwrite it with this record
    }
    return campi;
}

FileGiaScelto::FileGiaScelto(const QString &percorso)
{
    giaScelto() = Scelta{percorso};
}

FileGiaScelto::~FileGiaScelto()
{
    giaScelto().reset();
}

bool FileGiaScelto::preso() const { return giaScelto() && giaScelto()->preso; }
bool FileGiaScelto::letto() const { return giaScelto() && giaScelto()->letto; }

bool apriDaDati(const QString &nome, const QByteArray &dati, const std::function<void()> &apri)
{
    QTemporaryDir cartella;
    if (!cartella.isValid())
        return false;
    const QString percorso = cartella.filePath(nome);
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(dati) != dati.size())
        return false;
    f.close();
    FileGiaScelto scelta(percorso);
    apri();
    return scelta.letto();
}

void rifiutaRecordAperto(QWidget *parent, const QString &percorso, const QString &motivo,
                         const QString &titoloMessaggi)
{
    if (auto &s = giaScelto(); s && s->preso)
        s->letto = false;
    if (!motivo.isEmpty())
        dialoghi::stop(parent, QStringLiteral("Impossibile aprire il file %1: %2").arg(soloNome(percorso), motivo),
                       titoloMessaggi);
}

bool salvaArchivio(QWidget *parent, const DescrizioneArchivio &archivio, QString &nomefile,
                   const QString &titoloDialogo, const Record &record, const QString &titoloMessaggi)
{
    if (nomefile.isEmpty()) {
        // Files are told apart by the start of their name: the dialog proposes it written.
        const QString proposto = archivio.nomeProposto.isEmpty() ? archivio.prefisso : archivio.nomeProposto;
        dialoghi::RichiestaFile r{titoloDialogo, proposto, {filtroPrefisso(archivio)}, 1, archivio.prefisso};
        if (archivio.salvaConTuttiIFile) {
            r.filtri = filtriApertura(archivio);
            r.indiceFiltro = 2;
        }
        const auto percorso = scelto(dialoghi::salvaFile(parent, r));
        if (!percorso)
            return false;
        const QString conPrefisso = nomeConPrefisso(*percorso, archivio.prefisso);
        // The dialog asked about the name typed, not about the one written: a file already
        // there under the full name is replaced only when the user says so.
        if (conPrefisso != *percorso && QFileInfo::exists(conPrefisso)
            && dialoghi::messaggio(parent,
                                   QStringLiteral("Il file %1 esiste già. Sostituirlo?").arg(soloNome(conPrefisso)),
                                   titoloMessaggi, dialoghi::Icona::Domanda, dialoghi::Pulsanti::SiNo, 2)
                   != dialoghi::Risposta::Si)
            return false;
        nomefile = conPrefisso;
    }
    QString motivo;
    if (salvaAtomico(nomefile, codificaRecord(record), &motivo))
        return true;
    dialoghi::stop(parent,
                   QStringLiteral("Impossibile salvare il file %1: %2").arg(soloNome(nomefile), motivo),
                   titoloMessaggi);
    return false;
}

bool eliminaArchivio(QWidget *parent, const DescrizioneArchivio &archivio, QString &nomefile,
                     const QString &titoloElimina, const QString &titoloMessaggi)
{
    const auto percorso = scelto(dialoghi::apriFile(parent, richiestaApertura(archivio, titoloElimina)));
    if (!percorso)
        return false;
    nomefile = *percorso;
    QString motivo;
    if (elimina(nomefile, &motivo))
        return true;
    dialoghi::stop(parent,
                   QStringLiteral("Impossibile eliminare il file %1: %2").arg(soloNome(nomefile), motivo),
                   titoloMessaggi);
    return false;
}

} // namespace perix
