#include "platform/linux/ScanPlan.h"

#include <cerrno>

namespace netmoth::linux_backend {
namespace {

constexpr std::size_t kMaxSsidLength = 32;

}  // namespace

AfterTrigger afterTrigger(std::optional<int> error) {
    if (!error) return AfterTrigger::Fail;
    switch (*error) {
        case 0:
        case EBUSY:
            return AfterTrigger::AwaitScanEnd;
        case ENODEV:
        case ENETDOWN:
            return AfterTrigger::Fail;
        default:
            // EPERM/EACCES (an ordinary user), EOPNOTSUPP (the driver) and
            // anything else the kernel refuses still leave its cached results.
            return AfterTrigger::ReadCache;
    }
}

std::vector<platform::Bytes> probeSsidsFor(const std::optional<std::string>& name) {
    std::vector<platform::Bytes> ssids;
    if (name && !name->empty() && name->size() <= kMaxSsidLength) {
        ssids.emplace_back(name->begin(), name->end());
    }
    ssids.emplace_back();
    return ssids;
}

}  // namespace netmoth::linux_backend
