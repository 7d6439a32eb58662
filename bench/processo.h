#pragma once
// A command run to its end for a benchmark: wall time, processor time and peak memory.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <string>
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
// A small /proc file read whole, with plain system calls: the sampling must not take the
// processor from what it measures.
inline std::string leggiProc(const std::string &percorso)
{
    std::string testo;
    const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return testo;
    char buf[512];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
        testo.append(buf, std::size_t(n));
    ::close(fd);
    return testo;
}

// Resident megabytes of `pid` and its descendants (children of their main threads, where a
// program starts its helpers); 0 where it cannot be read.
inline double memoriaAlberoMB(pid_t pid)
{
    static const double pagina = double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
    double mb = 0;
    std::vector<pid_t> da{pid};
    while (!da.empty()) {
        const std::string p = std::to_string(da.back());
        da.pop_back();
        const std::string statm = leggiProc("/proc/" + p + "/statm");
        const std::size_t spazio = statm.find(' ');
        if (spazio != std::string::npos)
            mb += std::strtod(statm.c_str() + spazio + 1, nullptr) * pagina;
        const std::string figli = leggiProc("/proc/" + p + "/task/" + p + "/children");
        for (const char *c = figli.c_str(); *c;) {
            char *fine = nullptr;
            const long f = std::strtol(c, &fine, 10);
            if (fine == c)
                break;
            if (f > 0)
                da.push_back(pid_t(f));
            c = fine;
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
    // every 5 ms: a program that shares its work among processes is counted whole (pages
    // they share counted in each, so never less than it is).
    double insieme = 0;
    pid_t finito = 0;
    while (pid > 0 && (finito = wait4(pid, &stato, WNOHANG, &uso)) == 0) {
        insieme = std::max(insieme, memoriaAlberoMB(pid));
        usleep(5000);
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
