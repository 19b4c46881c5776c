#pragma once

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace norla {

// The process-wide implementation of one seam (a platform interface), chosen by the composition root
// (the application, a tool, or a test fixture) before the logic runs.
template <class T> class Seam {
public:
    static void install(std::shared_ptr<T> implementation)
    {
        std::lock_guard lock(mutex());
        slot() = std::move(implementation);
    }
    // The installed implementation, or null.
    static std::shared_ptr<T> find()
    {
        std::lock_guard lock(mutex());
        return slot();
    }
    // The installed implementation; a missing one is a wiring mistake of the composition root.
    static std::shared_ptr<T> get()
    {
        auto implementation = find();
        if (!implementation)
            throw std::logic_error(std::string("no implementation installed for seam ") + typeid(T).name());
        return implementation;
    }

private:
    static std::shared_ptr<T>& slot()
    {
        static std::shared_ptr<T> instance;
        return instance;
    }
    static std::mutex& mutex()
    {
        static std::mutex instance;
        return instance;
    }
};

template <class T> std::shared_ptr<T> seam() { return Seam<T>::get(); }

} // namespace norla
