#include <gtest/gtest.h>

#include <string>

#include "util/Utf8.h"

namespace netmoth::util {
namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

struct DecodingCase {
    const char* name;
    std::string input;
    std::string expected;
};

class DecodeUtf8Lossy : public testing::TestWithParam<DecodingCase> {};

TEST_P(DecodeUtf8Lossy, ReplacesEachMaximalInvalidSubpart) {
    EXPECT_EQ(decodeUtf8Lossy(GetParam().input), GetParam().expected);
    EXPECT_EQ(isValidUtf8(GetParam().input), GetParam().input == GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeUtf8Lossy,
    testing::Values(DecodingCase{"ValidMixedPassesUnchanged", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD",
                                 "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD"},
                    DecodingCase{"TruncatedTwoByteAtEnd", "a\xC3", "a" + kFFFD},
                    DecodingCase{"TruncatedFourByteIsOneSubpart",
                                 "\xF0\x9F\x98"
                                 "b",
                                 kFFFD + "b"},
                    DecodingCase{"OverlongTwoByte", "\xC0\xAF", kFFFD + kFFFD},
                    DecodingCase{"OverlongFourByte", "\xF0\x8F\xBF\xBF", kFFFD + kFFFD + kFFFD + kFFFD},
                    DecodingCase{"SurrogateD800", "\xED\xA0\x80", kFFFD + kFFFD + kFFFD},
                    DecodingCase{"LastBeforeSurrogatesIsValid", "\xED\x9F\xBF", "\xED\x9F\xBF"},
                    DecodingCase{"AboveMaxCodePoint", "\xF4\x90\x80\x80", kFFFD + kFFFD + kFFFD + kFFFD},
                    DecodingCase{"MaxCodePointIsValid", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
                    DecodingCase{"BytesF5ToFF", "\xF5\xF8\xFC\xFE\xFF", kFFFD + kFFFD + kFFFD + kFFFD + kFFFD},
                    DecodingCase{"ValidCharAfterInvalidLeadSurvives", "\xE2\xC3\xA9", kFFFD + "\xC3\xA9"},
                    DecodingCase{"ValidCharAfterTruncatedSurvives", "\xF0\x9F\xE2\x82\xAC", kFFFD + "\xE2\x82\xAC"}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace netmoth::util
