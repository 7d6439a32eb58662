#pragma once
// A command run to its end for a benchmark: wall time, processor time and peak memory.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace perix::banco {

struct Misura {
    double secondi = 0;
    double cpu = -1;     // user + system seconds of the process and its children
    double piccoMB = -1; // not measured where the system cannot tell
    int stato = -1;
};

#if defined(Q_OS_LINUX)
// Resident megabytes of `pid` and its descendants, from /proc; 0 where it cannot be read.
inline double memoriaAlberoMB(pid_t pid)
{
    double mb = 0;
    std::vector<pid_t> da{pid};
    while (!da.empty()) {
        const pid_t p = da.back();
        da.pop_back();
        QFile statm(QStringLiteral("/proc/%1/statm").arg(p));
        if (statm.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> campi = statm.readAll().split(' ');
            if (campi.size() > 1)
                mb += campi[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
        }
        const QDir compiti(QStringLiteral("/proc/%1/task").arg(p));
        for (const QString &t : compiti.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile figli(compiti.filePath(t + QStringLiteral("/children")));
            if (figli.open(QIODevice::ReadOnly))
                for (const QByteArray &f : figli.readAll().split(' '))
                    if (const int c = f.trimmed().toInt(); c > 0)
                        da.push_back(pid_t(c));
        }
    }
    return mb;
}
#else
inline double memoriaAlberoMB(int) { return 0; }
#endif

// Runs the command to its end, its output to `registro`: wall time, processor time, and the
// peak resident memory of the process and its descendants together.
inline Misura esegui(const QStringList &comando, const QString &registro)
{
    Misura m;
    QElapsedTimer t;
    t.start();
#if defined(Q_OS_UNIX)
    std::vector<QByteArray> parti;
    for (const QString &a : comando)
        parti.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &p : parti)
        argv.push_back(p.data());
    argv.push_back(nullptr);
    const QByteArray uscita = QFile::encodeName(registro);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(uscita.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int stato = 0;
    rusage uso{};
    // The resident memory of the process and of all its descendants together, looked at
    // every millisecond: a program that shares its work among processes is counted whole
    // (pages they share counted in each, so never less than it is).
    double insieme = 0;
    pid_t finito = 0;
    while (pid > 0 && (finito = wait4(pid, &stato, WNOHANG, &uso)) == 0) {
        insieme = std::max(insieme, memoriaAlberoMB(pid));
        usleep(1000);
    }
    if (pid > 0 && finito == pid) {
        m.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
        // The largest single process, as the system counts it, or the sampled sum.
        m.piccoMB = std::max(double(uso.ru_maxrss) / 1024.0, insieme); // kilobytes on Linux
        m.cpu = double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) + double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    }
#else
    QProcess p;
    p.setStandardOutputFile(registro);
    p.setStandardErrorFile(registro, QIODevice::Append);
    p.start(comando.first(), comando.mid(1));
    p.waitForFinished(-1);
    m.stato = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
#endif
    m.secondi = double(t.nsecsElapsed()) / 1e9;
    return m;
}

} // namespace perix::banco
