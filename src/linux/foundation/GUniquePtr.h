#pragma once

#include <glib.h>

#include <memory>

namespace norla {

// Deleters for C objects with a single owner.
template <class T> struct GDeleter;
template <> struct GDeleter<GError> {
    void operator()(GError* error) const { g_error_free(error); }
};
template <> struct GDeleter<gchar> {
    void operator()(gchar* text) const { g_free(text); }
};
template <> struct GDeleter<GVariant> {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
template <> struct GDeleter<GUri> {
    void operator()(GUri* uri) const { g_uri_unref(uri); }
};

// An attached source that we alone keep: it is removed from its context when it goes.
template <> struct GDeleter<GSource> {
    void operator()(GSource* source) const
    {
        g_source_destroy(source);
        g_source_unref(source);
    }
};

template <class T> using GUniquePtr = std::unique_ptr<T, GDeleter<T>>;

using GErrorPtr = GUniquePtr<GError>;
using GCharPtr = GUniquePtr<gchar>;

// An out-parameter for `GError**`: `call(..., GErrorOut(error))` leaves the error owned by `error`.
class GErrorOut {
public:
    explicit GErrorOut(GErrorPtr& target)
        : m_target(target)
    {
    }
    GErrorOut(const GErrorOut&) = delete;
    GErrorOut& operator=(const GErrorOut&) = delete;
    ~GErrorOut() { m_target.reset(m_error); }
    operator GError**() { return &m_error; } // NOLINT(google-explicit-constructor): passed where C wants GError**

private:
    GErrorPtr& m_target;
    GError* m_error = nullptr;
};

} // namespace norla
