#include "app/lotto.h"

#include <QDir>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <optional>
#include <vector>

#if defined(Q_OS_LINUX)
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#define PERIX_LOTTO_DIVISO 1
#endif

namespace perix {

int processiDelLotto(qsizetype documenti)
{
#if defined(PERIX_LOTTO_DIVISO)
    int n = std::min(4, QThread::idealThreadCount());
    bool letto = false;
    const int scelto = qEnvironmentVariableIntValue("PERIX_PROCESSI", &letto);
    if (letto)
        n = std::clamp(scelto, 1, 16);
    // A helper is worth a fork from two documents of its own.
    n = int(std::min<qsizetype>(n, documenti / 2));
    if (n < 2)
        return 1;
    const qsizetype fili = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    return fili == 1 ? n : 1;
#else
    Q_UNUSED(documenti);
    return 1;
#endif
}

#if defined(PERIX_LOTTO_DIVISO)
namespace {

bool scriviTutto(int fd, const QByteArray &dati)
{
    const char *p = dati.constData();
    qsizetype resto = dati.size();
    while (resto > 0) {
        const ssize_t n = ::write(fd, p, size_t(resto));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        resto -= n;
    }
    return true;
}

bool leggiTutto(int fd, char *p, qsizetype quanti)
{
    while (quanti > 0) {
        const ssize_t n = ::read(fd, p, size_t(quanti));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        quanti -= n;
    }
    return true;
}

// One result on the pipe: the document's number, success, pages, the reason's length, then
// the reason in UTF-8.
QByteArray codifica(qsizetype i, const EsitoRapporto &e)
{
    const QByteArray motivo = e.motivo.toUtf8();
    const qint64 testa[4] = {i, e.riuscito ? 1 : 0, e.pagine, motivo.size()};
    return QByteArray(reinterpret_cast<const char *>(testa), sizeof testa) + motivo;
}

std::optional<std::pair<qsizetype, EsitoRapporto>> decodifica(int fd)
{
    qint64 testa[4];
    if (!leggiTutto(fd, reinterpret_cast<char *>(testa), sizeof testa) || testa[3] < 0 || testa[3] > (1 << 24))
        return std::nullopt;
    QByteArray motivo(qsizetype(testa[3]), Qt::Uninitialized);
    if (!leggiTutto(fd, motivo.data(), motivo.size()))
        return std::nullopt;
    EsitoRapporto e;
    e.riuscito = testa[1] != 0;
    e.pagine = int(testa[2]);
    e.motivo = QString::fromUtf8(motivo);
    return std::make_pair(qsizetype(testa[0]), e);
}

struct Aiutante {
    pid_t pid = -1;
    int fd = -1;
    std::deque<qsizetype> attesi; // its documents whose results have not come yet
};

} // namespace
#endif

void eseguiLotto(const LavoriDelLotto &l)
{
    std::vector<std::optional<EsitoRapporto>> esiti(std::size_t(l.quanti));
    qsizetype prossimo = 0;
    const auto riferisci = [&] {
        for (; prossimo < l.quanti && esiti[std::size_t(prossimo)]; ++prossimo)
            l.fatto(prossimo, *esiti[std::size_t(prossimo)]);
    };
    std::vector<int> chi(std::size_t(l.quanti), 0); // 0: this process
#if defined(PERIX_LOTTO_DIVISO)
    const int processi = processiDelLotto(l.quanti);
    std::vector<Aiutante> aiutanti;
    if (processi > 1) {
        // The divisible documents dealt round, this process taking its turn with the rest.
        int turno = 0;
        for (qsizetype i = 0; i < l.quanti; ++i)
            if (l.divisibile(i))
                chi[std::size_t(i)] = turno++ % processi;
        // This process's first document before the helpers start: they find the fonts,
        // faces and subsets it loaded, instead of each loading them again.
        for (qsizetype i = 0; i < l.quanti; ++i)
            if (chi[std::size_t(i)] == 0) {
                esiti[std::size_t(i)] = l.fai(i);
                riferisci();
                break;
            }
        std::fflush(nullptr); // nothing buffered is written twice
        for (int a = 1; a < processi; ++a) {
            int tubo[2];
            if (::pipe(tubo) != 0)
                break;
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(tubo[0]);
                for (const Aiutante &altro : aiutanti)
                    ::close(altro.fd);
                ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives the batch
                if (::getppid() == 1)
                    ::_exit(1);
                ::signal(SIGPIPE, SIG_IGN);
                for (qsizetype i = 0; i < l.quanti; ++i)
                    if (chi[std::size_t(i)] == a && !scriviTutto(tubo[1], codifica(i, l.fai(i))))
                        ::_exit(1);
                ::_exit(0); // nothing of this process's ending: that is the batch's
            }
            ::close(tubo[1]);
            if (pid < 0) {
                ::close(tubo[0]);
                break;
            }
            Aiutante h;
            h.pid = pid;
            h.fd = tubo[0];
            for (qsizetype i = 0; i < l.quanti; ++i)
                if (chi[std::size_t(i)] == a)
                    h.attesi.push_back(i);
            aiutanti.push_back(std::move(h));
        }
        // Shares of helpers that could not be started are done here.
        for (int &c : chi)
            if (c > int(aiutanti.size()))
                c = 0;
    }
    // What the helpers have sent: all of it when `aspetta`, otherwise only what is there.
    const auto ricevi = [&](bool aspetta) {
        for (Aiutante &h : aiutanti) {
            while (h.fd >= 0 && !h.attesi.empty()) {
                pollfd p{h.fd, POLLIN, 0};
                if (!aspetta && ::poll(&p, 1, 0) <= 0)
                    break;
                const auto r = decodifica(h.fd);
                if (!r || r->first != h.attesi.front()) {
                    // The helper is gone: what it left undone is done here, at the end.
                    ::close(h.fd);
                    h.fd = -1;
                    for (qsizetype i : h.attesi)
                        chi[std::size_t(i)] = 0;
                    h.attesi.clear();
                    break;
                }
                h.attesi.pop_front();
                esiti[std::size_t(r->first)] = r->second;
            }
        }
    };
#else
    const auto ricevi = [](bool) {};
#endif
    for (qsizetype i = 0; i < l.quanti; ++i) {
        if (chi[std::size_t(i)] != 0 || esiti[std::size_t(i)])
            continue;
        esiti[std::size_t(i)] = l.fai(i);
        ricevi(false);
        riferisci();
    }
    ricevi(true);
    // Left by a helper that stopped early.
    for (qsizetype i = 0; i < l.quanti; ++i)
        if (!esiti[std::size_t(i)]) {
            esiti[std::size_t(i)] = l.fai(i);
            riferisci();
        }
    riferisci();
#if defined(PERIX_LOTTO_DIVISO)
    for (Aiutante &h : aiutanti) {
        if (h.fd >= 0)
            ::close(h.fd);
        int stato = 0;
        while (::waitpid(h.pid, &stato, 0) < 0 && errno == EINTR) {
        }
    }
#endif
}

} // namespace perix
