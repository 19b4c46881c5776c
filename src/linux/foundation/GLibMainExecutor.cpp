#include "foundation/GLibMainExecutor.h"

#include "platform/SystemLog.h"

#include <deque>
#include <exception>
#include <mutex>
#include <string>

namespace norla {

// Tasks wait in our own FIFO and one idle source at a time drains it, so the order of posting is kept
// whatever GLib does with sources of equal priority, and a burst of posts costs one wake-up.
struct GLibMainExecutor::Queue {
    std::mutex mutex;
    std::deque<UniqueFunction<void()>> tasks;
    bool isScheduled = false;

    static gboolean drain(gpointer data)
    {
        auto& queue = *static_cast<std::shared_ptr<Queue>*>(data);
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

    static void release(gpointer data)
    {
        std::unique_ptr<std::shared_ptr<Queue>>(static_cast<std::shared_ptr<Queue>*>(data));
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
    }
    auto source = GRef<GSource>::adopt(g_idle_source_new());
    g_source_set_priority(source.get(), G_PRIORITY_DEFAULT);
    g_source_set_name(source.get(), "norla main executor");
    // The source keeps the queue alive: tasks posted just before the executor goes still run.
    auto holder = std::make_unique<std::shared_ptr<Queue>>(m_queue);
    g_source_set_callback(source.get(), &Queue::drain, holder.release(), &Queue::release);
    g_source_attach(source.get(), m_context.get());
}

bool GLibMainExecutor::isMainThread() const { return std::this_thread::get_id() == m_mainThread; }

} // namespace norla
