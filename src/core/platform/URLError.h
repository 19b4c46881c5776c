#pragma once

#include <string>
#include <string_view>

namespace norla {

// The URL loading system's errors (`URLError`), as far as the system raises them itself.
enum class URLError {
    fileDoesNotExist = -1100,
};

inline std::string_view errorDomain(URLError) { return "NSURLErrorDomain"; }
inline std::string errorDescription(URLError error)
{
    switch (error) {
    case URLError::fileDoesNotExist:
        return "ファイルが存在しません";
    }
    return "URL エラー";
}

} // namespace norla
