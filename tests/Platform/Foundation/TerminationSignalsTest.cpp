#include "Platform/Foundation/TerminationSignals.hpp"

#include <gtest/gtest.h>

#include <poll.h>
#include <pthread.h>

using Foundation::TerminationSignals;

namespace {

bool isBlocked(int signal)
{
    sigset_t current;
    pthread_sigmask(SIG_BLOCK, nullptr, &current);
    return sigismember(&current, signal) == 1;
}

}

TEST(TerminationSignals, EachRequestWaitsOnTheDescriptorInsteadOfKilling)
{
    ASSERT_FALSE(isBlocked(SIGTERM));
    {
        TerminationSignals signals;
        EXPECT_FALSE(signals.received()) << "nothing sent yet";
        for (int signal : { SIGTERM, SIGINT }) {
            ASSERT_EQ(raise(signal), 0);
            pollfd ready { signals.fileDescriptor(), POLLIN, 0 };
            EXPECT_EQ(poll(&ready, 1, 1000), 1) << signal;
            EXPECT_TRUE(signals.received()) << signal;
            EXPECT_FALSE(signals.received()) << "taken by the first call";
        }
        // A request nobody took is dropped with the descriptor rather than
        // delivered, the old way, when the mask is restored.
        ASSERT_EQ(raise(SIGTERM), 0);
    }
    EXPECT_FALSE(isBlocked(SIGTERM));
    EXPECT_FALSE(isBlocked(SIGINT));
}
