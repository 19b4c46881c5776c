#include "recording/CaptureError.h"

namespace norla {

std::string_view errorDomain(CaptureError) { return "CaptureError"; }

std::string errorDescription(CaptureError error, std::string_view detail)
{
    switch (error) {
    case CaptureError::permissionDenied:
        return "画面収録が許可されていません: " + std::string(detail);
    case CaptureError::noDisplay:
        return "画面が見つかりません";
    case CaptureError::empty:
        return "音が1つも録れていません";
    }
    return {};
}

Error captureError(CaptureError error, std::string_view detail)
{
    return Error::from(error, errorDescription(error, detail));
}

} // namespace norla
