#include "web/BootstrapScripts.h"

#include "app/BuildConfiguration.h"
#include "web/BootstrapScriptSources.h"

#include <initializer_list>
#include <utility>

namespace norla {

namespace {

    constexpr std::string_view platformWord = "mac";
    constexpr std::string_view recordingScheme = "norla-rec";

    using Substitution = std::pair<std::string_view, std::string_view>;

    // One left-to-right pass per token, in the order given; within a pass the inserted text is not scanned again.
    std::string fillTemplate(std::string_view source, std::initializer_list<Substitution> substitutions)
    {
        std::string result(source);
        for (const auto& [token, value] : substitutions) {
            std::string filled;
            filled.reserve(result.size());
            std::size_t from = 0;
            for (auto at = result.find(token); at != std::string::npos; at = result.find(token, from)) {
                filled.append(result, from, at - from);
                filled.append(value);
                from = at + token.size();
            }
            filled.append(result, from, std::string::npos);
            result = std::move(filled);
        }
        return result;
    }

} // namespace

std::string recorderBootstrapScript(std::string_view originString)
{
    return fillTemplate(scripts::recorderBootstrapTemplate,
        {
            { "@@NORLA_PLATFORM@@", platformWord },
            { "@@NORLA_RECORDING_SCHEME@@", recordingScheme },
            { "@@NORLA_ACCOUNTS_HOST@@", build::identityProviderAccountsHost },
            { "@@NORLA_IDENTITY_PROVIDER_SUFFIX@@", build::identityProviderDomainSuffix },
            { "@@NORLA_AUTHENTICATION_BACKEND_SUFFIX@@", build::authenticationBackendSuffix },
            // Last, so an origin that happens to contain a token is not filled in again.
            { "@@NORLA_ORIGIN@@", originString },
        });
}

std::string shellBootstrapScript(std::string_view originString)
{
    return fillTemplate(scripts::shellBootstrapTemplate, { { "@@NORLA_ORIGIN@@", originString } });
}

} // namespace norla
