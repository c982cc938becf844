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
