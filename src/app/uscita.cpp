#include "app/uscita.h"

#include "core/campi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace perix {

namespace {

void motivoDi(QString *motivo, const QString &testo)
{
    if (motivo)
        *motivo = testo;
}

} // namespace

std::optional<QString> ostacoloUscita(const QString &percorso)
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

bool scriviUscita(const QString &percorso, const std::function<bool(QIODevice &, QString *)> &scrivi, QString *motivo,
                  Registrazione registrazione)
{
    if (const auto ostacolo = ostacoloUscita(percorso)) {
        motivoDi(motivo, *ostacolo);
        return false;
    }
    const QFileInfo finale(percorso);
    // Hidden and beside the final file: the rename stays within one file system.
    QTemporaryFile temporaneo(finale.absoluteDir().filePath(QStringLiteral(".") + finale.fileName()
                                                             + QStringLiteral(".XXXXXX")));
    if (!temporaneo.open()) {
        motivoDi(motivo, temporaneo.errorString());
        return false;
    }
    // The permissions a plain new file would get, or those of the file being replaced.
    QFileDevice::Permissions permessi = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
        | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
#if defined(Q_OS_UNIX)
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    permessi = {};
    const std::pair<mode_t, QFileDevice::Permissions> bit[] = {
        {S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
        {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto &[b, p] : bit)
        if (0666 & ~maschera & b)
            permessi |= p;
#endif
    const bool sostituisce = finale.isFile() && !finale.isSymLink();
    if (sostituisce)
        permessi = QFile::permissions(percorso);
    temporaneo.setPermissions(permessi);

    QString perche;
    if (!scrivi(temporaneo, &perche)) {
        motivoDi(motivo, perche.isEmpty() ? temporaneo.errorString() : perche);
        return false;
    }
    // A new name risks nothing old: in a batch one flush at the end does for all of them.
#if defined(Q_OS_UNIX)
    const bool subito = registrazione == Registrazione::Subito || sostituisce;
#else
    Q_UNUSED(registrazione);
    const bool subito = true; // no single flush here for a whole batch
#endif
    if (!temporaneo.flush() || (subito && !registraSuDisco(temporaneo))) {
        motivoDi(motivo, temporaneo.errorString());
        return false;
    }
    temporaneo.close();
#if defined(Q_OS_UNIX)
    // rename() replaces the name itself: should a link appear there meanwhile, the link
    // goes, its target stays as it was.
    if (::rename(QFile::encodeName(temporaneo.fileName()).constData(), QFile::encodeName(percorso).constData()) != 0) {
        motivoDi(motivo, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    temporaneo.setAutoRemove(false);
    return true;
#else
    QFile::remove(percorso);
    if (!temporaneo.rename(percorso)) {
        motivoDi(motivo, temporaneo.errorString());
        return false;
    }
    temporaneo.setAutoRemove(false);
    return true;
#endif
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
