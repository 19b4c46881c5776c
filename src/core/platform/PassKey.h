#pragma once

namespace norla {

// Lets a type keep its constructor public (for std::make_shared) while only the type itself can call it:
// only T can make a PassKey<T>, and `{}` from anywhere else does not compile.
template <class T> class PassKey {
    friend T;
    PassKey() = default;
};

} // namespace norla
