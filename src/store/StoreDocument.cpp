#include "store/StoreDocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <cstdint>

namespace netmoth::store {
namespace {

using Text = std::string_view;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isNumberCharacter(char c) { return isDigit(c) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

// Position after the string that opens at `at` (a quote), or text.size().
std::size_t endOfString(Text text, std::size_t at) {
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return text.size();
}

// JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(Text n) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < n.size() && isDigit(n[i])) ++i;
        return i > start;
    };
    if (i < n.size() && n[i] == '-') ++i;
    if (i < n.size() && n[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < n.size() && n[i] == '.' && (++i, !digits())) return false;
    if (i < n.size() && (n[i] == 'e' || n[i] == 'E')) {
        ++i;
        if (i < n.size() && (n[i] == '+' || n[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == n.size();
}

// Whether a grammatical number's exact value has magnitude `magnitude`.
bool denotesExactly(Text n, std::uint64_t magnitude) {
    if (!n.empty() && n.front() == '-') n.remove_prefix(1);
    std::string significant;
    std::int64_t exponent = 0;  // value = significant * 10^exponent
    std::size_t i = 0;
    for (; i < n.size() && isDigit(n[i]); ++i) significant += n[i];
    if (i < n.size() && n[i] == '.') {
        for (++i; i < n.size() && isDigit(n[i]); ++i, --exponent) significant += n[i];
    }
    if (i < n.size()) {  // the exponent; a huge one only needs to stay huge
        std::int64_t written = 0;
        const bool negative = n[++i] == '-';
        if (n[i] == '-' || n[i] == '+') ++i;
        for (; i < n.size(); ++i) written = std::min<std::int64_t>(written * 10 + (n[i] - '0'), 1'000'000'000);
        exponent += negative ? -written : written;
    }
    const std::size_t first = significant.find_first_not_of('0');
    if (first == std::string::npos) return magnitude == 0;
    significant.erase(0, first);
    while (significant.back() == '0') {
        significant.pop_back();
        ++exponent;
    }
    if (exponent < 0 || static_cast<std::int64_t>(significant.size()) + exponent > 20) return false;
    __extension__ using Wide = unsigned __int128;  // holds every 20-digit integer
    Wide value = 0;
    for (const char digit : significant) value = value * 10 + static_cast<unsigned>(digit - '0');
    for (std::int64_t e = 0; e < exponent; ++e) value *= 10;
    return value == magnitude;
}

// Whether nlohmann would read the number as something other than what it says.
bool misreads(Text n) {
    const char* end = n.data() + n.size();
    if (n.find_first_of(".eE") == Text::npos) {
        std::int64_t signedValue = 0;
        std::uint64_t unsignedValue = 0;
        if (std::from_chars(n.data(), end, signedValue).ec == std::errc{} ||
            std::from_chars(n.data(), end, unsignedValue).ec == std::errc{}) {
            return false;  // read exactly as an integer
        }
    }
    // strtod (in the C locale, which the program never changes) rounds to
    // nearest as nlohmann does; std::from_chars(double) would do the same but
    // links libm into every launch for its rounding-mode check.
    // Out of range: beyond the largest double, or so small it becomes zero
    // although a digit of the significand is not.
    const std::string terminated(n);
    const double value = std::strtod(terminated.c_str(), nullptr);
    if (std::isinf(value)) return true;
    if (value == 0 && n.substr(0, n.find_first_of("eE")).find_first_of("123456789") != Text::npos) return true;
    constexpr double kTwo63 = 9223372036854775808.0;
    if (std::trunc(value) != value || std::fabs(value) > kTwo63) return false;
    return !denotesExactly(n, static_cast<std::uint64_t>(std::fabs(value)));
}

// The text with each misread number overwritten by null and spaces (so every
// offset stays), or nullopt when it nests too deep.
std::optional<std::string> withMisreadNumbersNull(Text text) {
    std::string result(text);
    int depth = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            i = endOfString(text, i);
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxStoreNesting) return std::nullopt;
            ++i;
        } else if (c == ']' || c == '}') {
            --depth;
            ++i;
        } else if (isDigit(c) || c == '-') {
            std::size_t end = i;
            while (end < text.size() && isNumberCharacter(text[end])) ++end;
            const Text number = text.substr(i, end - i);
            // A misread number is at least "1e999" long, so "null" fits.
            if (isJsonNumber(number) && misreads(number) && number.size() >= 4) {
                result.replace(i, number.size(), "null" + std::string(number.size() - 4, ' '));
            }
            i = end;
        } else {
            ++i;
        }
    }
    return result;
}

std::size_t skipSpace(Text text, std::size_t at) {
    while (at < text.size() && isSpace(text[at])) ++at;
    return at;
}

// Position after the value that starts at `at` in valid JSON.
std::size_t endOfValue(Text text, std::size_t at) {
    if (at >= text.size()) return text.size();
    if (text[at] == '"') return endOfString(text, at);
    if (text[at] != '[' && text[at] != '{') {
        while (at < text.size() && text[at] != ',' && text[at] != '}' && text[at] != ']' && !isSpace(text[at])) ++at;
        return at;
    }
    int depth = 0;
    for (std::size_t i = at; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            i = endOfString(text, i);
            continue;
        }
        if (c == '[' || c == '{') ++depth;
        if ((c == ']' || c == '}') && --depth == 0) return i + 1;
        ++i;
    }
    return text.size();
}

// Top-level members of a text nlohmann accepted as an object (up to misread numbers).
std::optional<std::vector<StoreMember>> splitMembers(Text text) {
    std::vector<StoreMember> members;
    std::size_t at = skipSpace(text, 0);
    if (at >= text.size() || text[at] != '{') return std::nullopt;
    at = skipSpace(text, at + 1);
    if (at < text.size() && text[at] == '}') return members;
    while (at < text.size() && text[at] == '"') {
        const std::size_t keyEnd = endOfString(text, at);
        const Text keyText = text.substr(at, keyEnd - at);
        at = skipSpace(text, keyEnd);
        if (at >= text.size() || text[at] != ':') return std::nullopt;
        const std::size_t valueStart = skipSpace(text, at + 1);
        const std::size_t valueEnd = endOfValue(text, valueStart);
        std::string key = nlohmann::json::parse(keyText).get<std::string>();
        std::string member = std::string(keyText) + ':' + std::string(text.substr(valueStart, valueEnd - valueStart));
        auto same = std::find_if(members.begin(), members.end(), [&](const StoreMember& m) { return m.key == key; });
        if (same != members.end()) {
            same->text = std::move(member);
        } else {
            members.push_back({std::move(key), std::move(member)});
        }
        at = skipSpace(text, valueEnd);
        if (at < text.size() && text[at] == '}') return members;
        if (at >= text.size() || text[at] != ',') return std::nullopt;
        at = skipSpace(text, at + 1);
    }
    return std::nullopt;
}

// Invalid UTF-8 from a caller is replaced rather than thrown on: a store write
// must never end the program.
std::string dump(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// nlohmann frees a value's children through a stack as large as its widest
// container; emptying containers from the leaves up needs none. Depth is at
// most kMaxStoreNesting.
void releaseWithoutAllocating(nlohmann::json& value) {
    if (!value.is_structured()) return;
    for (nlohmann::json& child : value) releaseWithoutAllocating(child);
    value.clear();
}

}  // namespace

StoreDocument::~StoreDocument() { releaseWithoutAllocating(object); }

void StoreDocument::set(const std::string& key, nlohmann::json value) {
    std::string text = dump(nlohmann::json(key)) + ':' + dump(value);
    object[key] = std::move(value);
    auto same = std::find_if(members.begin(), members.end(), [&](const StoreMember& m) { return m.key == key; });
    if (same != members.end()) {
        same->text = std::move(text);
    } else {
        members.push_back({key, std::move(text)});
    }
}

std::string StoreDocument::serialise() const {
    std::string text = "{";
    for (const StoreMember& member : members) {
        if (text.size() > 1) text += ',';
        text += member.text;
    }
    return text + '}';
}

std::optional<StoreDocument> parseStoreDocument(std::string_view text) {
    // nlohmann stops at a NUL byte: a rewrite would drop whatever follows it.
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    std::optional<std::string> readable = withMisreadNumbersNull(text);
    if (!readable) return std::nullopt;
    StoreDocument document;
    document.object = nlohmann::json::parse(*readable, nullptr, /*allow_exceptions=*/false);
    if (!document.object.is_object()) return std::nullopt;
    // The members keep the bytes of the text as it was, numbers included; its
    // structure is the one nlohmann just accepted.
    auto members = splitMembers(text);
    if (!members) return std::nullopt;
    document.members = std::move(*members);
    return document;
}

namespace {

constexpr const char* kHiddenNumbersMember = "hiddenSsidIndexByBssid";

std::optional<std::int64_t> storedInteger(const nlohmann::json& value) {
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > kLargest) return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (!value.is_number_float()) return std::nullopt;
    const double number = value.get<double>();
    // -2^63 and 2^63 are exact doubles; the range is [-2^63, 2^63).
    constexpr double kLimit = 9223372036854775808.0;
    if (!(number >= -kLimit && number < kLimit) || std::trunc(number) != number) return std::nullopt;
    return static_cast<std::int64_t>(number);
}

}  // namespace

HiddenNumbers StoreDocument::hiddenNumbers() const {
    HiddenNumbers numbers;
    const auto member = object.find(kHiddenNumbersMember);
    if (member == object.end() || !member->is_object()) return numbers;
    numbers.reserve(member->size());
    for (const auto& [bssid, value] : member->items()) {
        if (const auto number = storedInteger(value)) numbers.emplace_back(bssid, *number);
    }
    return numbers;
}

void StoreDocument::setHiddenNumbers(const HiddenNumbers& numbers) {
    nlohmann::json table = nlohmann::json::object();
    for (const auto& [bssid, number] : numbers) table[bssid] = number;
    set(kHiddenNumbersMember, std::move(table));
}

}  // namespace netmoth::store
