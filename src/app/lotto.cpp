#include "app/lotto.h"

#include <QDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <new>
#include <vector>

#if defined(Q_OS_LINUX)
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
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
    int fd = -1; // closed at the end of its results, or when it is gone
};

// The next divisible document to take, shared by every process of the batch: whoever is
// free takes one, so none waits while another still has several to do.
struct Coda {
    std::atomic<qsizetype> prossimo{0};
};
static_assert(std::atomic<qsizetype>::is_always_lock_free, "a counter shared between processes");

} // namespace
#endif

void eseguiLotto(const LavoriDelLotto &l)
{
    std::vector<std::optional<EsitoRapporto>> esiti(std::size_t(l.quanti));
    qsizetype stampati = 0;
    const auto riferisci = [&] {
        for (; stampati < l.quanti && esiti[std::size_t(stampati)]; ++stampati)
            l.fatto(stampati, *esiti[std::size_t(stampati)]);
    };
    std::vector<qsizetype> divisibili;
    for (qsizetype i = 0; i < l.quanti; ++i)
        if (l.divisibile(i))
            divisibili.push_back(i);
#if defined(PERIX_LOTTO_DIVISO)
    const int processi = processiDelLotto(l.quanti);
    std::vector<Aiutante> aiutanti;
    Coda *coda = nullptr;
    if (processi > 1 && divisibili.size() > 1) {
        void *comune = ::mmap(nullptr, sizeof(Coda), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (comune != MAP_FAILED)
            coda = new (comune) Coda;
    }
    if (coda) {
        // The first document here, before the helpers start: they find the fonts, faces
        // and subsets it loaded, instead of each loading them again.
        const qsizetype primo = divisibili[std::size_t(coda->prossimo++)];
        esiti[std::size_t(primo)] = l.fai(primo);
        riferisci();
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
                for (qsizetype k; (k = coda->prossimo++) < qsizetype(divisibili.size());) {
                    const qsizetype i = divisibili[std::size_t(k)];
                    if (!scriviTutto(tubo[1], codifica(i, l.fai(i))))
                        ::_exit(1);
                }
                ::_exit(0); // nothing of this process's ending: that is the batch's
            }
            ::close(tubo[1]);
            if (pid < 0) {
                ::close(tubo[0]);
                break;
            }
            aiutanti.push_back({pid, tubo[0]});
        }
    }
    // What the helpers have sent: all of it when `aspetta`, otherwise only what is there. A
    // helper that is gone leaves undone what it took: done here at the end.
    const auto ricevi = [&](bool aspetta) {
        for (Aiutante &h : aiutanti) {
            while (h.fd >= 0) {
                pollfd p{h.fd, POLLIN, 0};
                if (!aspetta && ::poll(&p, 1, 0) <= 0)
                    break;
                const auto r = decodifica(h.fd);
                if (!r || r->first < 0 || r->first >= l.quanti || esiti[std::size_t(r->first)]) {
                    ::close(h.fd); // its end, or a helper gone
                    h.fd = -1;
                    break;
                }
                esiti[std::size_t(r->first)] = r->second;
            }
        }
    };
    // Those that must be done here, in their order, then a share of the rest.
    for (qsizetype i = 0; i < l.quanti; ++i)
        if (!l.divisibile(i) || !coda)
            if (!esiti[std::size_t(i)]) {
                esiti[std::size_t(i)] = l.fai(i);
                ricevi(false);
                riferisci();
            }
    if (coda)
        for (qsizetype k; (k = coda->prossimo++) < qsizetype(divisibili.size());) {
            const qsizetype i = divisibili[std::size_t(k)];
            esiti[std::size_t(i)] = l.fai(i);
            ricevi(false);
            riferisci();
        }
    ricevi(true);
#else
    for (qsizetype i = 0; i < l.quanti; ++i) {
        esiti[std::size_t(i)] = l.fai(i);
        riferisci();
    }
#endif
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
    if (coda) {
        coda->~Coda();
        ::munmap(coda, sizeof(Coda));
    }
#endif
}

} // namespace perix
