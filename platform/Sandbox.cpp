#include "platform/Sandbox.h"

namespace platform {

bool IsSandboxToken(const CTokenFacts& facts) {
    constexpr std::uint32_t kMediumIntegrity = 0x2000; // SECURITY_MANDATORY_MEDIUM_RID
    return facts.restricted || facts.appContainer || facts.integrity < kMediumIntegrity;
}

} // namespace platform
