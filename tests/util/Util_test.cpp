// Base64, the pretty JSON writer and lossy UTF-8 decoding.
#include <gtest/gtest.h>

#include <fstream>

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

// util-cases.json: each "prettyJson" value against its written text (null:
// the writer refuses the value). Empty containers still span lines, so they
// differ from fallback text; plain runs meet an escape or a multi-byte
// character at either end. Each "lossyUtf8" row: bytes in and out, in hex.
const json kCases = json::parse(std::ifstream(NETMOTH_UTIL_CASES));

TEST(JsonWriter, WritesTheCallersLayoutAndRefusesWhatIsNotUtf8) {
    for (const json& row : kCases.at("prettyJson")) {
        EXPECT_EQ(writePrettyJson(row["value"]), row["text"].is_null() ? std::nullopt : std::optional(row["text"]))
            << row;
    }
    // Not UTF-8 anywhere, cut short at the end, or a surrogate.
    for (const json& value :
         {json::array({"ok", "\xFF"}), json{{"\xC3", 1}}, json::array({"ok\xC3"}), json::array({"\xED\xA0\x80"})})
        EXPECT_EQ(writePrettyJson(value), std::nullopt);
}

// Member by member, the writer gives exactly the text of the whole array
// written at once; one string that is not UTF-8 spoils the whole array.
TEST(ArrayWriter, MatchesTheWholeArrayWrittenAtOnce) {
    const auto written = [](std::string_view spoiler) {
        PrettyArrayWriter writer;
        writer.beginObject();
        writer.stringMember("a", "x/y");
        writer.beginObjectMember("b");
        writer.endObject();
        writer.beginObjectMember("c");
        writer.integerMember("n", -3);
        writer.booleanMember("t", true);
        writer.endObject();
        writer.endObject();
        writer.beginObject();
        writer.stringMember("s", spoiler);
        writer.endObject();
        return std::move(writer).finish();
    };
    EXPECT_EQ(written("ok"),
              writePrettyJson(json::array({{{"a", "x/y"}, {"b", json::object()}, {"c", {{"n", -3}, {"t", true}}}},
                                           {{"s", "ok"}}})));
    EXPECT_EQ(written("\xFF"), std::nullopt);
}

std::string bytesOf(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

TEST(DecodeUtf8Lossy, ReplacesEachMaximalInvalidSubpart) {
    for (const json& row : kCases.at("lossyUtf8")) {
        const std::string input = bytesOf(row[0]), expected = bytesOf(row[1]);
        EXPECT_EQ(decodeUtf8Lossy(input), expected) << row;
        EXPECT_EQ(isValidUtf8(input), input == expected) << row;
    }
}

}  // namespace
}  // namespace netmoth::util
