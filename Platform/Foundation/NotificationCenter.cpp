#include "Platform/Foundation/NotificationCenter.hpp"

#include <algorithm>

namespace Foundation {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverToken NotificationCenter::addObserver(
    const NotificationName& name, std::function<void(const Notification&)> block)
{
    auto shared = std::make_shared<const std::function<void(const Notification&)>>(std::move(block));
    std::scoped_lock const lock(m_mutex);
    ObserverToken const token = m_nextToken++;
    m_observers.push_back(Observer { token, name, std::move(shared) });
    return token;
}

void NotificationCenter::removeObserver(ObserverToken token)
{
    std::scoped_lock const lock(m_mutex);
    std::erase_if(m_observers, [token](const Observer& observer) { return observer.token == token; });
}

void NotificationCenter::postNotificationName(const NotificationName& name)
{
    // Observers run outside the lock so that they may add or remove
    // observers, or post, without deadlocking.
    std::vector<std::shared_ptr<const std::function<void(const Notification&)>>> blocks;
    {
        std::scoped_lock const lock(m_mutex);
        for (auto const& observer : m_observers) {
            if (observer.name == name)
                blocks.push_back(observer.block);
        }
    }
    Notification const notification { name };
    for (auto const& block : blocks)
        (*block)(notification);
}

}
