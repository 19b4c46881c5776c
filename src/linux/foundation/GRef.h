#pragma once

#include <glib-object.h>

#include <utility>

namespace norla {

// How a reference-counted C type is referenced and released. GObjects by default; other types
// (GBytes, GVariant, GMainContext, boxed WebKit types) specialize it next to their use.
template <class T> struct GRefTraits {
    static T* ref(T* object) { return static_cast<T*>(g_object_ref(object)); }
    static void unref(T* object) { g_object_unref(object); }
};

template <> struct GRefTraits<GBytes> {
    static GBytes* ref(GBytes* bytes) { return g_bytes_ref(bytes); }
    static void unref(GBytes* bytes) { g_bytes_unref(bytes); }
};
template <> struct GRefTraits<GVariant> {
    static GVariant* ref(GVariant* variant) { return g_variant_ref_sink(variant); }
    static void unref(GVariant* variant) { g_variant_unref(variant); }
};
template <> struct GRefTraits<GMainContext> {
    static GMainContext* ref(GMainContext* context) { return g_main_context_ref(context); }
    static void unref(GMainContext* context) { g_main_context_unref(context); }
};
template <> struct GRefTraits<GSource> {
    static GSource* ref(GSource* source) { return g_source_ref(source); }
    static void unref(GSource* source) { g_source_unref(source); }
};
template <> struct GRefTraits<GKeyFile> {
    static GKeyFile* ref(GKeyFile* file) { return g_key_file_ref(file); }
    static void unref(GKeyFile* file) { g_key_file_unref(file); }
};

// One reference to a reference-counted C object. Every call site says how the pointer is taken:
// `adopt` takes over a reference the caller already owns (a `_new` or transfer-full result),
// `retain` adds a reference of its own (a borrowed, transfer-none pointer).
template <class T> class GRef {
public:
    GRef() = default;
    GRef(std::nullptr_t) { }

    [[nodiscard]] static GRef adopt(T* object) { return GRef(object); }
    [[nodiscard]] static GRef retain(T* object) { return GRef(object ? GRefTraits<T>::ref(object) : nullptr); }
    // A GObject created with a floating reference (most widgets): the floating reference becomes ours.
    [[nodiscard]] static GRef sink(T* object)
    {
        return GRef(object ? static_cast<T*>(g_object_ref_sink(object)) : nullptr);
    }

    GRef(const GRef& other)
        : m_object(other.m_object ? GRefTraits<T>::ref(other.m_object) : nullptr)
    {
    }
    GRef(GRef&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    GRef& operator=(GRef other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~GRef() { reset(); }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    void reset()
    {
        if (auto* object = std::exchange(m_object, nullptr))
            GRefTraits<T>::unref(object);
    }

private:
    explicit GRef(T* object)
        : m_object(object)
    {
    }
    T* m_object = nullptr;
};

} // namespace norla
