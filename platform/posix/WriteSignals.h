// Writes that must never end the process: a write past the process's file-size limit
// raises SIGXFSZ, and one into a pipe without a reader SIGPIPE, and either ends the
// host by default. While a CWriteSignalGuard lives, both are blocked in this thread, and
// one raised meanwhile is taken when it goes, so that the write only fails (EFBIG, EPIPE).
#pragma once

#include <cerrno>
#include <csignal>
#include <ctime>
#include <initializer_list>
#include <pthread.h>

namespace platform {

class CWriteSignalGuard {
public:
    CWriteSignalGuard()
        : m_signals(MakeSignals())
        , m_blocked(pthread_sigmask(SIG_BLOCK, &m_signals, &m_earlier) == 0) {}
    CWriteSignalGuard(const CWriteSignalGuard&) = delete;
    CWriteSignalGuard& operator=(const CWriteSignalGuard&) = delete;
    ~CWriteSignalGuard() {
        if (!m_blocked) {
            return;
        }
        const int error = errno; // the write's, for its caller
        // Only what was not blocked before is taken: the host's own stays pending.
        sigset_t taken = m_signals;
        for (const int signal : {SIGXFSZ, SIGPIPE}) {
            if (sigismember(&m_earlier, signal) == 1) {
                sigdelset(&taken, signal);
            }
        }
        const timespec now{};
        while (sigtimedwait(&taken, nullptr, &now) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_earlier, nullptr);
        errno = error;
    }

private:
    static sigset_t MakeSignals() {
        sigset_t signals{};
        sigemptyset(&signals);
        sigaddset(&signals, SIGXFSZ);
        sigaddset(&signals, SIGPIPE);
        return signals;
    }

    sigset_t m_signals{};
    sigset_t m_earlier{};
    bool m_blocked = false;
};

} // namespace platform
