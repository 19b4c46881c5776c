#include "platform/CompletionHandler.h"

#include <atomic>
#include <cstdlib>
#include <iostream>

namespace norla {

namespace {

    void abortOnViolation(std::string_view reason)
    {
        std::cerr << "CompletionHandler: " << reason << std::endl;
        std::abort();
    }

    std::atomic<CompletionViolationHandler> violationHandler { abortOnViolation };

} // namespace

void setCompletionViolationHandler(CompletionViolationHandler handler)
{
    violationHandler.store(handler ? handler : abortOnViolation);
}

void reportCompletionViolation(std::string_view reason) { violationHandler.load()(reason); }

} // namespace norla
