// TerminationSignals: the requests to end a long-running program (SIGTERM,
// SIGINT) as a file descriptor, so that the program sleeps on them and on
// its other sources in one poll(2) and ends normally, at a point of its
// choosing, instead of being killed between two writes. The same for a
// closed pipe on standard output (SIGPIPE): an error the program sees.
#pragma once

#include <signal.h>

namespace Foundation {

// While one exists, SIGTERM and SIGINT are blocked in the thread that made
// it and wait on the descriptor instead. Make it before starting any other
// thread, or block them there too: a thread that does not block them still
// dies of them. Child processes inherit the blocked signals, so a program
// that starts one resets the child's mask (posix_spawnattr_setsigmask).
class TerminationSignals {
public:
    // Throws std::system_error when no descriptor can be had.
    TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;
    // Restores the thread's previous mask. A request still waiting is
    // dropped first: it was for the program that is already ending.
    ~TerminationSignals();

    // Readable when a request waits.
    int fileDescriptor() const { return m_descriptor; }

    // Whether a request has arrived since the last call; takes every
    // waiting one. Never blocks.
    bool received();

private:
    int m_descriptor;
    sigset_t m_previousMask;
};

// From now on, in the whole process, a write to a pipe or socket whose
// reader has gone fails with EPIPE instead of killing the process: for a
// program whose reader going away is the normal end of its run.
void failWritesToClosedPipes();

}
