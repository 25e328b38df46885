#include "Platform/Foundation/NotificationCenter.hpp"

#include <gtest/gtest.h>

using Foundation::Notification;
using Foundation::NotificationCenter;
using Foundation::NotificationName;

TEST(NotificationCenter, DeliversANameToItsObserversInOrderAndTheyMayChangeTheObservers)
{
    NotificationCenter center;
    NotificationName const changed { "Changed" };
    std::string calls;
    NotificationCenter::ObserverToken first = 0;
    // Removing and adding observers from inside one must not deadlock.
    first = center.addObserver(changed, [&](const Notification&) {
        calls += '1';
        center.removeObserver(first);
        center.addObserver(NotificationName { "Later" }, [&](const Notification&) { calls += 'L'; });
    });
    center.addObserver(NotificationName { "Other" }, [&](const Notification&) { calls += 'x'; });
    center.addObserver(changed, [&](const Notification& notification) { calls += notification.name == changed ? '2' : '?'; });

    center.postNotificationName(changed);
    center.postNotificationName(changed);
    center.postNotificationName(NotificationName { "Later" });
    EXPECT_EQ(calls, "122L");
}
