#pragma once
// What a report hands to the output step.

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

namespace netmoth::reports {

struct ReportOutcome {
    // Absent when the report could not be built at all.
    std::optional<nlohmann::json> value;
    // Written in place of a report that could not be built: "{}" or "[]".
    std::string_view unbuiltText;
    // Written when the value cannot be serialised; absent: nothing is written.
    std::optional<std::string_view> unwritableText;
};

}  // namespace netmoth::reports
