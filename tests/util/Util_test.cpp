// Base64, the pretty JSON writer and lossy UTF-8 decoding.
#include <gtest/gtest.h>

#include <fstream>

#include "util/Base64.h"
#include "util/JsonWriter.h"
#include "util/Utf8.h"

namespace netmoth::util {
namespace {

using nlohmann::json;

// util-cases.json: each "base64" row is bytes (in hex) and their code;
// "notBase64" text that is no canonical code. Each "prettyJson" value against
// its written text (null: the writer refuses the value). Empty containers
// still span lines, so they differ from fallback text; plain runs meet an
// escape or a multi-byte character at either end. Each "lossyUtf8" row: bytes
// in and out, in hex.
const json kCases = json::parse(std::ifstream(NETMOTH_UTIL_CASES));

template <typename Out = std::string>
Out bytesOf(const std::string& hex) {
    Out bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<typename Out::value_type>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

TEST(Base64, EncodesEveryPaddingLengthAndDecodesOnlyCanonicalText) {
    for (const json& row : kCases.at("base64")) {
        EXPECT_EQ(encodeBase64(bytesOf<Bytes>(row[0])), row[1]) << row;
        EXPECT_EQ(decodeBase64(row[1].get<std::string>()), bytesOf<Bytes>(row[0])) << row;
    }
    Bytes all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(decodeBase64(encodeBase64(all)), all);
    for (const std::string bad : kCases.at("notBase64")) EXPECT_EQ(decodeBase64(bad), std::nullopt) << bad;
}

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
              writePrettyJson(json::array(
                  {{{"a", "x/y"}, {"b", json::object()}, {"c", {{"n", -3}, {"t", true}}}}, {{"s", "ok"}}})));
    EXPECT_EQ(written("\xFF"), std::nullopt);
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
