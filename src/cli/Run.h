#pragma once
// One launch: the switches choose one job, the job is answered from the
// platform's values, the answer is appended to the caller's text.

#include <string>
#include <vector>

#include "util/Diagnostics.h"
#include "store/NumberStore.h"
#include "wifi/Backend.h"

namespace netmoth::cli {

struct Platform {
    wifi::Backend& backend;
    store::NumberStore& numbers;  // keeps the hidden-network numbers
    util::Diagnostics& diagnostics;
};

// arguments: the process's, its own path first, already decoded as UTF-8.
// Appends the answer and its line feed to out. false when the job is a
// permission the platform never reports: nothing is appended and the caller
// waits until it is ended from outside.
bool run(const std::vector<std::string>& arguments, Platform& platform, std::string& out);

}  // namespace netmoth::cli
