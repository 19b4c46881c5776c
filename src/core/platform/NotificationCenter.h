#pragma once

#include "platform/Value.h"

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace norla {

struct Notification {
    std::string name;
    std::any object; // a std::string, a Url, … as the poster chose
    Value userInfo; // an object, or null for none
};

// Registration of one observer; pass it back to removeObserver.
class ObserverToken {
public:
    ObserverToken() = default;
    explicit operator bool() const { return m_entry != nullptr; }

private:
    friend class NotificationCenter;
    struct Entry;
    explicit ObserverToken(std::shared_ptr<Entry> entry)
        : m_entry(std::move(entry))
    {
    }
    std::shared_ptr<Entry> m_entry;
};

// The process's default notification center. Observers are delivered on the main thread (through the
// installed MainExecutor), in the order they were added; an observer removed before its delivery runs
// is not called. Posting is allowed from any thread.
class NotificationCenter {
public:
    using Block = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    ObserverToken addObserver(std::string name, Block block);
    void removeObserver(const ObserverToken& token);
    void post(std::string name, std::any object = {}, Value userInfo = {});

private:
    std::mutex m_mutex;
    std::vector<std::shared_ptr<ObserverToken::Entry>> m_entries;
};

} // namespace norla
