// Base64, the pretty JSON writer and lossy UTF-8 decoding.
#include <gtest/gtest.h>

#include "util/Base64.h"
#include "util/JsonWriter.h"
#include "util/Utf8.h"

namespace netmoth::util {
namespace {

using nlohmann::json;

TEST(Base64, EncodesEveryPaddingLengthAndDecodesOnlyCanonicalText) {
    const auto bytesOf = [](std::string_view text) { return Bytes(text.begin(), text.end()); };
    for (const auto& [text, code] : {std::pair{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foobar", "Zm9vYmFy"}})
        EXPECT_EQ(encodeBase64(bytesOf(text)), code);
    EXPECT_EQ(encodeBase64(Bytes{0xfb, 0xff, 0xbf}), "+/+/");
    Bytes all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
    for (std::size_t length = 0; length <= 4; ++length) {
        const Bytes part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(decodeBase64(encodeBase64(part)), part);
    }
    EXPECT_EQ(decodeBase64(encodeBase64(all)), all);
    for (const char* bad : {"Zg=", "Zg", "Z===", "Zh==", "Zm9=", "Zg==Zg==", "Zm 9v", "Zm9v\n", "Zm-v", "=Zg="})
        EXPECT_EQ(decodeBase64(bad), std::nullopt) << bad;
}

// Written text against the value; nullopt: the writer refuses the value.
TEST(JsonWriter, WritesTheCallersLayoutAndRefusesWhatIsNotUtf8) {
    const std::pair<json, std::optional<std::string>> cases[] = {
        {json::array({json{{"a", 1}, {"b", json::array({true, false})}}}),
         "[\n  {\n    \"a\" : 1,\n    \"b\" : [\n      true,\n      false\n    ]\n  }\n]"},
        // Empty containers still span lines, so they differ from fallback text.
        {json::array(), "[\n\n]"},
        {json::object(), "{\n\n}"},
        {json{{"k", json::array()}}, "{\n  \"k\" : [\n\n  ]\n}"},
        {json::array({"a/b\"c\\d"}), "[\n  \"a\\/b\\\"c\\\\d\"\n]"},
        {json::array({std::string("\n\t\r\b\f\x01\x1f", 7)}), "[\n  \"\\n\\t\\r\\b\\f\\u0001\\u001f\"\n]"},
        {json::array({"Caf\xC3\xA9 \xE2\x98\x95"}), "[\n  \"Caf\xC3\xA9 \xE2\x98\x95\"\n]"},
        {json{{"a/b", 1}}, "{\n  \"a\\/b\" : 1\n}"},
        {json::array({INT64_MIN, INT64_MAX, -48}), "[\n  -9223372036854775808,\n  9223372036854775807,\n  -48\n]"},
        // Plain runs meeting an escape or a multi-byte character at either end.
        {json::array({"/"}), "[\n  \"\\/\"\n]"},
        {json::array({"ab\n"}), "[\n  \"ab\\n\"\n]"},
        {json::array({"\x7f\xC3\xA9x\xF0\x9F\x98\x80"}), "[\n  \"\x7f\xC3\xA9x\xF0\x9F\x98\x80\"\n]"},
        {json::array({"ok", "\xFF"}), std::nullopt},
        {json{{"\xC3", 1}}, std::nullopt},
        {json::array({1.5}), std::nullopt},
        {json::array({"ok\xC3"}), std::nullopt},         // cut short at the end
        {json::array({"\xED\xA0\x80"}), std::nullopt}};  // a surrogate
    for (const auto& [value, text] : cases) EXPECT_EQ(writePrettyJson(value), text) << value.dump();
}

// Element by element, the writer gives exactly the text of the whole array;
// one unwritable element spoils the whole array.
TEST(ArrayWriter, MatchesTheWholeArrayWrittenAtOnce) {
    for (const json& array : {json::array(), json::array({1}), json::array({json::object(), json::array()}),
                              json::array({json{{"k", json::array({"a/b", -1})}}, "x", nullptr})}) {
        PrettyArrayWriter writer;
        for (const json& element : array) EXPECT_TRUE(writer.append(element));
        EXPECT_EQ(std::move(writer).finish(), writePrettyJson(array));
    }
    PrettyArrayWriter writer;
    EXPECT_TRUE(writer.append("ok"));
    EXPECT_FALSE(writer.append(json{{"k", "\xFF"}}));
    EXPECT_FALSE(writer.append("fine again"));
    EXPECT_EQ(std::move(writer).finish(), std::nullopt);
}

TEST(DecodeUtf8Lossy, ReplacesEachMaximalInvalidSubpart) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    const std::pair<std::string, std::string> cases[] = {
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {"a\xC3", "a" + r},
        {"\xF0\x9F\x98"
         "b",
         r + "b"},  // a truncated four-byte sequence is one subpart
        {"\xC0\xAF", r + r},
        {"\xF0\x8F\xBF\xBF", r + r + r + r},
        {"\xED\xA0\x80", r + r + r},
        {"\xED\x9F\xBF", "\xED\x9F\xBF"},
        {"\xF4\x90\x80\x80", r + r + r + r},
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        {"\xF5\xF8\xFC\xFE\xFF", r + r + r + r + r},
        {"\xE2\xC3\xA9", r + "\xC3\xA9"},
        {"\xF0\x9F\xE2\x82\xAC", r + "\xE2\x82\xAC"}};
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(decodeUtf8Lossy(input), expected) << input;
        EXPECT_EQ(isValidUtf8(input), input == expected) << input;
    }
}

}  // namespace
}  // namespace netmoth::util
