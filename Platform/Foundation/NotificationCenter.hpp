// NotificationCenter: in-process broadcast of named notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Foundation {

struct NotificationName {
    std::string rawValue;
    friend bool operator==(const NotificationName&, const NotificationName&) = default;
};

struct Notification {
    NotificationName name;
};

// Observers are called synchronously, on the posting thread, in the order
// they were added. Safe to use from any thread; an observer may add or
// remove observers while it runs. A post delivers to the observers present
// when it starts, so one removed meanwhile (from another thread, or by an
// earlier observer) may still receive that one notification.
class NotificationCenter {
public:
    using ObserverToken = std::uint64_t;

    static NotificationCenter& defaultCenter();

    ObserverToken addObserver(const NotificationName& name, std::function<void(const Notification&)> block);
    void removeObserver(ObserverToken token);

    // Posts `name` with no sender object and no user information.
    void postNotificationName(const NotificationName& name);

private:
    struct Observer {
        ObserverToken token;
        NotificationName name;
        // Shared so a post can call it after releasing the lock, even if the
        // observer is removed meanwhile.
        std::shared_ptr<const std::function<void(const Notification&)>> block;
    };

    std::mutex m_mutex;
    std::vector<Observer> m_observers;
    ObserverToken m_nextToken = 1;
};

}
