#pragma once
// The Linux backend: Wi-Fi facts from the kernel's nl80211 family. The link
// is opened when first asked; each fact is asked of the kernel once per
// launch, and diagnostics hears why the kernel gave less than a full answer.

#include <functional>
#include <memory>

#include "nl80211/KernelLink.h"
#include "util/Diagnostics.h"
#include "wifi/Backend.h"

namespace netmoth::nl80211 {

// Opens the link; nullptr there means the kernel has no nl80211 at all.
using OpenLink = std::function<std::unique_ptr<KernelLink>()>;

// diagnostics must outlive the backend.
std::unique_ptr<wifi::Backend> makeNl80211Backend(util::Diagnostics& diagnostics);
std::unique_ptr<wifi::Backend> makeNl80211Backend(OpenLink openLink, util::Diagnostics& diagnostics);

}  // namespace netmoth::nl80211
