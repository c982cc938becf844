#pragma once
// What a report hands to the output step: its answer already written as
// pretty-printed JSON, or the news that it could not be built at all.

#include <optional>
#include <string>
#include <string_view>

namespace netmoth::reports {

struct ReportOutcome {
    // False when the report could not be built: unbuiltText is printed instead.
    bool built = false;
    // The written answer; nullopt when some value could not be written.
    std::optional<std::string> text;
    // "{}" or "[]".
    std::string_view unbuiltText;
    // Printed when the answer could not be written; absent: nothing is printed.
    std::optional<std::string_view> unwritableText;
};

}  // namespace netmoth::reports
