#include "platform/session/StandardOutput.h"

#include <cerrno>
#include <csignal>
#include <ctime>

#include <pthread.h>
#include <unistd.h>

namespace {

// Blocks SIGPIPE on this thread for its lifetime, and takes away a SIGPIPE the write raised, so
// that none is delivered once it is unblocked. One that was pending before is left alone.
class SigpipeBlock
{
public:
    SigpipeBlock()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~SigpipeBlock()
    {
        if (m_raised && !m_wasPending) {
            const timespec now{0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &now) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    void noteBrokenPipe() { m_raised = true; }

private:
    sigset_t m_pipe;
    sigset_t m_previous;
    bool m_wasPending = false;
    bool m_raised = false;
};

} // namespace

bool StandardOutput::writeLine(const QByteArray& line)
{
    const QByteArray bytes = line + '\n';
    SigpipeBlock block;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(STDOUT_FILENO, bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (errno == EPIPE)
                block.noteBrokenPipe();
            return false;
        }
        done += wrote;
    }
    return true;
}
