#include "Platform/Foundation/TerminationSignals.hpp"

#include <cerrno>
#include <csignal>
#include <system_error>

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace Foundation {

namespace {

sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}

TerminationSignals::TerminationSignals()
{
    auto const set = terminationSet();
    // Blocked before the descriptor exists, so that no request falls
    // between the two and kills the program the old way.
    if (int const error = ::pthread_sigmask(SIG_BLOCK, &set, &m_previousMask); error != 0)
        throw std::system_error(error, std::generic_category(), "cannot block termination signals");
    m_descriptor = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_descriptor < 0) {
        int const error = errno;
        ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
        throw std::system_error(error, std::generic_category(), "cannot wait for termination signals");
    }
}

TerminationSignals::~TerminationSignals()
{
    received();
    ::close(m_descriptor);
    ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

bool TerminationSignals::received()
{
    bool any = false;
    signalfd_siginfo information;
    for (;;) {
        ssize_t const length = ::read(m_descriptor, &information, sizeof information);
        if (length == static_cast<ssize_t>(sizeof information))
            any = true;
        else if (length < 0 && errno == EINTR)
            continue;
        else
            return any;
    }
}

void failWritesToClosedPipes()
{
    // An ignored signal stays ignored across exec: children started
    // afterwards inherit this.
    std::signal(SIGPIPE, SIG_IGN);
}

}
