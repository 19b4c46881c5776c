#include "platform/GLibMainExecutor.h"

#include "platform/SystemLog.h"

#include <deque>
#include <exception>
#include <mutex>
#include <string>

namespace norla {

// Tasks wait in our own FIFO and one idle source at a time drains it, so the order of posting is kept
// whatever GLib does with sources of equal priority, and a burst of posts costs one wake-up. Everything
// shared between threads goes through our own mutex: GLib's locks are invisible to the thread sanitizer.
struct GLibMainExecutor::Queue {
    std::mutex mutex;
    std::deque<UniqueFunction<void()>> tasks;
    bool isScheduled = false;
    // While sources are attached, the queue keeps itself alive: tasks posted just before the executor
    // goes still run, and a source never outlives its queue.
    int attachedSources = 0;
    std::shared_ptr<Queue> keepAlive;

    static gboolean drain(gpointer data)
    {
        auto* queue = static_cast<Queue*>(data);
        std::deque<UniqueFunction<void()>> batch;
        {
            std::lock_guard lock(queue->mutex);
            batch.swap(queue->tasks);
            queue->isScheduled = false;
        }
        // Tasks posted while this batch runs go to the next wake-up, after it.
        for (auto& task : batch)
            runGuarded(task);
        return G_SOURCE_REMOVE;
    }

    static void runGuarded(const UniqueFunction<void()>& task)
    {
        // An exception must not unwind through GLib's C frames.
        try {
            task();
        } catch (const std::exception& error) {
            logLine(std::string("GLibMainExecutor: task failed: ") + error.what());
        } catch (...) {
            logLine("GLibMainExecutor: task failed");
        }
    }

    static void detach(gpointer data)
    {
        auto* queue = static_cast<Queue*>(data);
        std::shared_ptr<Queue> last;
        {
            std::lock_guard lock(queue->mutex);
            if (--queue->attachedSources == 0)
                last = std::move(queue->keepAlive);
        }
        // `last` may free the queue here, after its mutex was released.
    }
};

GLibMainExecutor::GLibMainExecutor(GMainContext* context)
    : m_queue(std::make_shared<Queue>())
    , m_context(GRef<GMainContext>::retain(context ? context : g_main_context_default()))
    , m_mainThread(std::this_thread::get_id())
{
}

GLibMainExecutor::~GLibMainExecutor() = default;

void GLibMainExecutor::post(UniqueFunction<void()> task)
{
    {
        std::lock_guard lock(m_queue->mutex);
        m_queue->tasks.push_back(std::move(task));
        if (m_queue->isScheduled)
            return;
        m_queue->isScheduled = true;
        ++m_queue->attachedSources;
        m_queue->keepAlive = m_queue;
    }
    auto source = GRef<GSource>::adopt(g_idle_source_new());
    g_source_set_priority(source.get(), G_PRIORITY_DEFAULT);
    g_source_set_name(source.get(), "norla main executor");
    g_source_set_callback(source.get(), &Queue::drain, m_queue.get(), &Queue::detach);
    g_source_attach(source.get(), m_context.get());
}

bool GLibMainExecutor::isMainThread() const { return std::this_thread::get_id() == m_mainThread; }

} // namespace norla
