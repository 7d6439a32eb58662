#pragma once
// A command run to its end for a benchmark: wall time, processor time and peak memory.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
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

// Runs the command to its end, its output to `registro`: wall time, and the peak resident
// memory of the process and of the processes it waited for.
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
    if (pid > 0 && wait4(pid, &stato, 0, &uso) == pid) {
        m.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
        m.piccoMB = double(uso.ru_maxrss) / 1024.0; // kilobytes on Linux
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
