#include "foundation/SignalConnection.h"

#include "foundation/GRef.h"

namespace norla {

SignalConnection::SignalConnection(gpointer instance, gulong handlerId)
    : m_instance(std::make_unique<GWeakRef>())
    , m_handlerId(handlerId)
{
    g_weak_ref_init(m_instance.get(), instance);
}

SignalConnection::SignalConnection(SignalConnection&& other) noexcept
    : m_instance(std::move(other.m_instance))
    , m_handlerId(std::exchange(other.m_handlerId, 0))
{
}

SignalConnection& SignalConnection::operator=(SignalConnection&& other) noexcept
{
    if (this != &other) {
        disconnect();
        m_instance = std::move(other.m_instance);
        m_handlerId = std::exchange(other.m_handlerId, 0);
    }
    return *this;
}

SignalConnection::~SignalConnection() { disconnect(); }

bool SignalConnection::isConnected() const
{
    if (!m_instance || !m_handlerId)
        return false;
    auto instance = GRef<GObject>::adopt(static_cast<GObject*>(g_weak_ref_get(m_instance.get())));
    return instance && g_signal_handler_is_connected(instance.get(), m_handlerId);
}

void SignalConnection::disconnect()
{
    if (!m_instance)
        return;
    {
        auto instance = GRef<GObject>::adopt(static_cast<GObject*>(g_weak_ref_get(m_instance.get())));
        if (instance && m_handlerId && g_signal_handler_is_connected(instance.get(), m_handlerId))
            g_signal_handler_disconnect(instance.get(), m_handlerId);
    }
    g_weak_ref_clear(m_instance.get());
    m_instance.reset();
    m_handlerId = 0;
}

} // namespace norla
