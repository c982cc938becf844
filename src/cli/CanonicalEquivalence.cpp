#include "cli/CanonicalEquivalence.h"

#include <algorithm>
#include <array>

#include <utf8proc.h>

#include "util/Utf8.h"

namespace netmoth::cli {
namespace {

// No code point has a full canonical decomposition longer than 4.
constexpr utf8proc_ssize_t kMaxDecompositionLength = 4;

void appendDecomposition(char32_t codePoint, std::vector<std::int32_t>& out) {
    std::array<utf8proc_int32_t, kMaxDecompositionLength> buffer{};
    const auto value = static_cast<utf8proc_int32_t>(codePoint);
    const utf8proc_ssize_t count =
        utf8proc_decompose_char(value, buffer.data(), kMaxDecompositionLength, UTF8PROC_DECOMPOSE, nullptr);
    // Errors only come from values outside Unicode, which decoding never yields;
    // keeping the code point as is still gives a consistent comparison.
    if (count <= 0 || count > kMaxDecompositionLength) {
        out.push_back(value);
        return;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + count);
}

int combiningClass(std::int32_t codePoint) { return utf8proc_get_property(codePoint)->combining_class; }

bool isCombiningMark(std::int32_t codePoint) { return combiningClass(codePoint) != 0; }

// Canonical ordering: a stable sort by combining class inside each run of
// marks. A stable sort keeps huge runs out of quadratic time.
void orderCombiningMarks(std::vector<std::int32_t>& codePoints) {
    for (auto runStart = codePoints.begin(); runStart != codePoints.end();) {
        runStart = std::find_if(runStart, codePoints.end(), isCombiningMark);
        const auto runEnd = std::find_if_not(runStart, codePoints.end(), isCombiningMark);
        std::stable_sort(runStart, runEnd, [](std::int32_t left, std::int32_t right) {
            return combiningClass(left) < combiningClass(right);
        });
        runStart = runEnd;
    }
}

void decomposeCanonically(std::string_view text, std::vector<std::int32_t>& out) {
    out.clear();
    for (std::size_t offset = 0; offset < text.size();) {
        const util::DecodedCodePoint decoded = util::decodeCodePointAt(text, offset);
        appendDecomposition(decoded.value, out);
        offset += decoded.length;
    }
    orderCombiningMarks(out);
}

}  // namespace

bool CanonicalComparer::equivalent(std::string_view left, std::string_view right) {
    if (left == right) return true;
    decomposeCanonically(left, leftDecomposed_);
    decomposeCanonically(right, rightDecomposed_);
    return leftDecomposed_ == rightDecomposed_;
}

}  // namespace netmoth::cli
