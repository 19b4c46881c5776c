#include "platform/MainExecutor.h"

#include "platform/Seams.h"

namespace norla {

void postToMain(UniqueFunction<void()> task) { seam<MainExecutor>()->post(std::move(task)); }

} // namespace norla
