#include "core/scrittura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <optional>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace perix {

namespace {

// Why the name cannot simply be replaced: something other than a regular file stands there.
std::optional<QString> ostacolo(const QString &percorso)
{
#if defined(Q_OS_UNIX)
    // lstat, not stat: what stands under the name itself, never what a link points to.
    struct stat s {};
    if (::lstat(QFile::encodeName(percorso).constData(), &s) != 0)
        return std::nullopt; // nothing there (or nothing we may look at: opening will tell)
    if (S_ISREG(s.st_mode))
        return std::nullopt;
    if (S_ISLNK(s.st_mode))
        return QStringLiteral("al suo posto c'è un collegamento simbolico (a %1), che non viene seguito")
            .arg(QDir::toNativeSeparators(QFileInfo(percorso).symLinkTarget()));
    if (S_ISDIR(s.st_mode))
        return QStringLiteral("al suo posto c'è una cartella");
    if (S_ISFIFO(s.st_mode))
        return QStringLiteral("al suo posto c'è una FIFO (pipe con nome)");
    if (S_ISSOCK(s.st_mode))
        return QStringLiteral("al suo posto c'è un socket");
    if (S_ISCHR(s.st_mode) || S_ISBLK(s.st_mode))
        return QStringLiteral("al suo posto c'è un file di dispositivo");
    return QStringLiteral("al suo posto c'è qualcosa che non è un file normale");
#else
    const QFileInfo f(percorso);
    if (f.isSymLink())
        return QStringLiteral("al suo posto c'è un collegamento, che non viene seguito");
    if (!f.exists() || f.isFile())
        return std::nullopt;
    if (f.isDir())
        return QStringLiteral("al suo posto c'è una cartella");
    return QStringLiteral("al suo posto c'è qualcosa che non è un file normale");
#endif
}

// The temporary file, made for its owner alone, gets the permissions of the file it replaces
// or those a plain new file gets under the umask.
void impostaPermessi(QTemporaryFile &temporaneo, const QString &percorso, bool sostituisce)
{
    if (sostituisce) {
        temporaneo.setPermissions(QFile::permissions(percorso));
        return;
    }
#if defined(Q_OS_UNIX)
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    ::fchmod(temporaneo.handle(), 0666 & ~maschera);
#else
    temporaneo.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                              | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
#endif
}

// Puts what was written to an open file on the disk (fsync where the system has it,
// _commit on Windows; elsewhere the system writes it in its own time and this says yes).
bool registraSuDisco(QFileDevice &file)
{
    const int fd = file.handle();
    if (fd < 0)
        return true; // no descriptor to flush: the system keeps the data in its own time
#if defined(Q_OS_UNIX)
    return ::fsync(fd) == 0;
#elif defined(Q_OS_WIN)
    return ::_commit(fd) == 0;
#else
    return true;
#endif
}

// Makes the rename itself durable: a crash right after a save still finds the new file.
// Only POSIX systems can open a folder to flush it; elsewhere the rename is the system's.
void sincronizzaCartella(const QString &cartella)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(cartella);
#endif
}

// Gives the closed temporary file the final name; the system's reason when it cannot.
bool rinomina(QTemporaryFile &temporaneo, const QString &percorso, QString *perche)
{
#if defined(Q_OS_UNIX)
    // rename() replaces the name itself: should a link appear there meanwhile, the link
    // goes, its target stays as it was.
    if (::rename(QFile::encodeName(temporaneo.fileName()).constData(), QFile::encodeName(percorso).constData()) != 0) {
        *perche = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#else
    QFile::remove(percorso);
    if (!temporaneo.rename(percorso)) {
        *perche = temporaneo.errorString();
        return false;
    }
#endif
    temporaneo.setAutoRemove(false);
    return true;
}

// Why a new file cannot be made beside the old one, in the user's words.
QString nonSiApre(const QFileInfo &info)
{
    const QFileInfo cartella(info.absolutePath());
    if (!cartella.isDir())
        return QStringLiteral("la cartella non esiste");
    if (!cartella.isWritable())
        return QStringLiteral("la cartella è di sola lettura");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("il file è di sola lettura");
    return QStringLiteral("il file non può essere creato");
}

} // namespace

bool falso(QString *motivo, const QString &perche)
{
    if (motivo)
        *motivo = perche;
    return false;
}

bool scriviAtomico(const QString &percorso, const Scrittore &scrivi, QString *motivo, ModoScrittura modo)
{
    const auto fallito = [&](const QString &italiano, const QString &diSistema) {
        return falso(motivo, modo.motiviInItaliano ? italiano : diSistema);
    };
    if (modo.soloFileNormali)
        if (const auto o = ostacolo(percorso))
            return falso(motivo, *o);
    const QFileInfo info(percorso);
    const QString cartella = info.absolutePath();
    // In the system's words QSaveFile says these itself.
    if (modo.motiviInItaliano && percorso.isEmpty())
        return falso(motivo, QStringLiteral("nessun nome di file"));
    if (modo.motiviInItaliano && info.isDir())
        return falso(motivo, QStringLiteral("è una cartella, non un file"));
    const bool sostituisce = info.isFile();
#if defined(Q_OS_UNIX)
    const bool subito = modo.registrazione == Registrazione::Subito || sostituisce;
#else
    const bool subito = true; // no single flush here for a whole batch
#endif

    QSaveFile salvataggio(percorso);
    // Hidden and beside the final file: the rename stays within one file system.
    QTemporaryFile temporaneo(info.absoluteDir().filePath(QStringLiteral(".") + info.fileName()
                                                          + QStringLiteral(".XXXXXX")));
    QFileDevice &file = modo.soloFileNormali ? static_cast<QFileDevice &>(temporaneo) : salvataggio;
    // Never fall back to writing in place: that is what could leave half a file behind.
    salvataggio.setDirectWriteFallback(false);
    if (modo.soloFileNormali ? !temporaneo.open() : !salvataggio.open(QIODevice::WriteOnly))
        return fallito(nonSiApre(info), file.errorString());
    if (modo.soloFileNormali)
        impostaPermessi(temporaneo, percorso, sostituisce);

    // The writer's own reason comes first; the system's is read before cancelWriting puts
    // its own in its place.
    const auto annulla = [&](const QString &italiano, const QString &delloScrittore = {}) {
        const QString diSistema = file.errorString();
        salvataggio.cancelWriting();
        return falso(motivo, !delloScrittore.isEmpty() ? delloScrittore : modo.motiviInItaliano ? italiano : diSistema);
    };
    QString perche;
    if (!scrivi(file, &perche))
        return annulla(QStringLiteral("la scrittura non è riuscita"), perche);
    if (!file.flush())
        return annulla(QStringLiteral("la scrittura si è interrotta (disco pieno o non disponibile)"));
    // On disk before the rename, so a crash leaves either the old file or the whole new one.
    if (subito && !registraSuDisco(file))
        return annulla(QStringLiteral("i dati non sono stati registrati sul disco"));
    QString diSistema;
    bool posto;
    if (modo.soloFileNormali) {
        temporaneo.close();
        posto = rinomina(temporaneo, percorso, &diSistema);
    } else {
        posto = salvataggio.commit();
        diSistema = salvataggio.errorString();
    }
    if (!posto)
        return fallito(QFileInfo(cartella).isDir() ? QStringLiteral("il file non può essere sostituito")
                                                   : QStringLiteral("la cartella non esiste più"),
                       diSistema);
    if (modo.registrazione == Registrazione::Subito)
        sincronizzaCartella(cartella);
    return true;
}

bool registraLottoSuDisco(const QString &cartella)
{
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool fatto = ::syncfs(fd) == 0;
    ::close(fd);
    return fatto;
#elif defined(Q_OS_UNIX)
    Q_UNUSED(cartella);
    ::sync();
    return true;
#else
    Q_UNUSED(cartella);
    return true; // the renames and their data are the system's to keep
#endif
}

} // namespace perix
