#include "cli/ArgumentMatching.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "cli/CanonicalEquivalence.h"
#include "cli/GraphemeClusterReader.h"

namespace netmoth::cli {
namespace {

constexpr std::string_view kQuote = "\"";

std::string_view dropClusters(std::string_view text, std::size_t count) {
    GraphemeClusterReader reader(text);
    for (std::size_t dropped = 0; dropped < count && reader.next(); ++dropped) {
    }
    return reader.remaining();
}

// Clusters cannot be found reliably backwards, so this segments forwards.
std::size_t lastClusterLength(std::string_view text) {
    GraphemeClusterReader reader(text);
    std::size_t length = 0;
    while (const auto cluster = reader.next()) length = cluster->size();
    return length;
}

std::vector<std::string_view> allClusters(std::string_view text) {
    std::vector<std::string_view> clusters;
    GraphemeClusterReader reader(text);
    while (const auto cluster = reader.next()) clusters.push_back(*cluster);
    return clusters;
}

// The last `count` clusters of text (fewer if it has fewer), in order; memory
// stays proportional to count however long text is.
std::deque<std::string_view> lastClusters(std::string_view text, std::size_t count) {
    std::deque<std::string_view> tail;
    GraphemeClusterReader reader(text);
    while (const auto cluster = reader.next()) {
        tail.push_back(*cluster);
        if (tail.size() > count) tail.pop_front();
    }
    return tail;
}

}  // namespace

bool hasPrefix(std::string_view argument, std::string_view prefix) {
    // Plain ASCII, as switches nearly always are, needs no segmenting: each
    // character is a cluster of its own but CR LF, and none is canonically
    // equivalent to another.
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(argument) && ascii(prefix)) {
        return argument.starts_with(prefix) &&
               !(prefix.ends_with('\r') && argument.size() > prefix.size() && argument[prefix.size()] == '\n');
    }
    GraphemeClusterReader argumentClusters(argument);
    GraphemeClusterReader prefixClusters(prefix);
    CanonicalComparer comparer;
    while (const auto expected = prefixClusters.next()) {
        const auto actual = argumentClusters.next();
        if (!actual || !comparer.equivalent(*actual, *expected)) return false;
    }
    return true;
}

bool hasSuffix(std::string_view text, std::string_view suffix) {
    const std::vector<std::string_view> expected = allClusters(suffix);
    if (expected.empty()) return true;
    const std::deque<std::string_view> actual = lastClusters(text, expected.size());
    if (actual.size() < expected.size()) return false;
    CanonicalComparer comparer;
    return std::equal(
        actual.rbegin(), actual.rend(), expected.rbegin(),
        [&comparer](std::string_view left, std::string_view right) { return comparer.equivalent(left, right); });
}

std::string parseArgument(std::string_view argument, std::string_view prefix) {
    std::string_view value = dropClusters(argument, countGraphemeClusters(prefix));
    if (!hasPrefix(value, kQuote) || !hasSuffix(value, kQuote)) return std::string(value);
    value = dropClusters(value, 1);
    value.remove_suffix(lastClusterLength(value));
    return std::string(value);
}

}  // namespace netmoth::cli
