#include "recording/RecorderError.h"

namespace norla {

std::string_view errorDomain(RecorderError) { return "RecorderError"; }

std::string errorDescription(RecorderError error, std::string_view detail)
{
    switch (error) {
    case RecorderError::exportFailed:
        return "録音をまとめられませんでした: " + std::string(detail);
    case RecorderError::permissionDenied:
        return "マイクの使用が許可されていません。設定アプリの「Vantorel」でマイクをオンにしてください。";
    case RecorderError::alreadyRecording:
        return "すでに録音中です";
    case RecorderError::notRecording:
        return "録音していません";
    case RecorderError::sessionInUse:
        return "この録音はほかのプロセスが使っています";
    }
    return {};
}

Error recorderError(RecorderError error, std::string_view detail)
{
    return Error::from(error, errorDescription(error, detail));
}

} // namespace norla
