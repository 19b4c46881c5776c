#include "platform/NotificationCenter.h"

#include "platform/MainExecutor.h"

#include <algorithm>
#include <atomic>

namespace norla {

struct ObserverToken::Entry {
    std::string name;
    NotificationCenter::Block block;
    std::atomic<bool> active { true };
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

ObserverToken NotificationCenter::addObserver(std::string name, Block block)
{
    auto entry = std::make_shared<ObserverToken::Entry>();
    entry->name = std::move(name);
    entry->block = std::move(block);
    std::lock_guard lock(m_mutex);
    m_entries.push_back(entry);
    return ObserverToken(entry);
}

void NotificationCenter::removeObserver(const ObserverToken& token)
{
    if (!token.m_entry)
        return;
    token.m_entry->active.store(false);
    std::lock_guard lock(m_mutex);
    std::erase(m_entries, token.m_entry);
}

void NotificationCenter::post(std::string name, std::any object, Value userInfo)
{
    std::vector<std::shared_ptr<ObserverToken::Entry>> matching;
    {
        std::lock_guard lock(m_mutex);
        for (auto& entry : m_entries) {
            if (entry->name == name)
                matching.push_back(entry);
        }
    }
    if (matching.empty())
        return;
    auto notification = std::make_shared<const Notification>(
        Notification { std::move(name), std::move(object), std::move(userInfo) });
    for (auto& entry : matching) {
        postToMain([entry, notification] {
            if (entry->active.load())
                entry->block(*notification);
        });
    }
}

} // namespace norla
