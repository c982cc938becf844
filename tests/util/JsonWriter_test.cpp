#include "util/JsonWriter.h"

#include <gtest/gtest.h>

namespace netmoth::util {
namespace {

using nlohmann::json;

TEST(JsonWriter, NestedValuesStandOnIndentedLinesWithoutTrailingLineFeed) {
    const json value = json::array({json{{"a", 1}, {"b", json::array({true, false})}}});
    EXPECT_EQ(writePrettyJson(value),
              "[\n"
              "  {\n"
              "    \"a\" : 1,\n"
              "    \"b\" : [\n"
              "      true,\n"
              "      false\n"
              "    ]\n"
              "  }\n"
              "]");
}

TEST(JsonWriter, EmptyContainersStillSpanLinesSoTheyDifferFromFallbackText) {
    EXPECT_EQ(writePrettyJson(json::array()), "[\n\n]");
    EXPECT_EQ(writePrettyJson(json::object()), "{\n\n}");
    EXPECT_EQ(writePrettyJson(json{{"k", json::array()}}), "{\n  \"k\" : [\n\n  ]\n}");
}

TEST(JsonWriter, EscapesSlashQuotesAndControlCharactersButNotUnicode) {
    EXPECT_EQ(writePrettyJson(json::array({"a/b\"c\\d"})), "[\n  \"a\\/b\\\"c\\\\d\"\n]");
    EXPECT_EQ(writePrettyJson(json::array({std::string("\n\t\r\b\f\x01\x1f", 7)})),
              "[\n  \"\\n\\t\\r\\b\\f\\u0001\\u001f\"\n]");
    EXPECT_EQ(writePrettyJson(json::array({"Caf\xC3\xA9 \xE2\x98\x95"})), "[\n  \"Caf\xC3\xA9 \xE2\x98\x95\"\n]");
    EXPECT_EQ(writePrettyJson(json{{"a/b", 1}}), "{\n  \"a\\/b\" : 1\n}");
}

TEST(JsonWriter, WritesSigned64BitIntegersInFullAndRefusesTextThatIsNotUtf8AnywhereInTheValue) {
    EXPECT_EQ(writePrettyJson(json::array({INT64_MIN, INT64_MAX, -48})),
              "[\n  -9223372036854775808,\n  9223372036854775807,\n  -48\n]");
    EXPECT_EQ(writePrettyJson(json::array({"ok", "\xFF"})), std::nullopt);
    EXPECT_EQ(writePrettyJson(json{{"\xC3", 1}}), std::nullopt);
    EXPECT_EQ(writePrettyJson(json::array({1.5})), std::nullopt);
}

// Strings where a plain run meets an escape or a multi-byte character at
// either end, the places where copying runs could lose or repeat a byte.
TEST(JsonWriter, RunsOfPlainTextKeepEveryByteAroundEscapes) {
    EXPECT_EQ(writePrettyJson(json::array({"/"})), "[\n  \"\\/\"\n]");
    EXPECT_EQ(writePrettyJson(json::array({"ab\n"})), "[\n  \"ab\\n\"\n]");
    EXPECT_EQ(writePrettyJson(json::array({"\x7f\xC3\xA9x\xF0\x9F\x98\x80"})),
              "[\n  \"\x7f\xC3\xA9x\xF0\x9F\x98\x80\"\n]");
    EXPECT_EQ(writePrettyJson(json::array({"ok\xC3"})), std::nullopt);        // cut short at the end
    EXPECT_EQ(writePrettyJson(json::array({"\xED\xA0\x80"})), std::nullopt);  // a surrogate
}

class ArrayWriter : public ::testing::TestWithParam<json> {};

// Element by element, the writer gives exactly the text of the whole array.
TEST_P(ArrayWriter, MatchesTheWholeArrayWrittenAtOnce) {
    PrettyArrayWriter writer;
    for (const json& element : GetParam()) EXPECT_TRUE(writer.append(element));
    EXPECT_EQ(std::move(writer).finish(), writePrettyJson(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Arrays, ArrayWriter,
                         ::testing::Values(json::array(), json::array({1}),
                                           json::array({json::object(), json::array()}),
                                           json::array({json{{"k", json::array({"a/b", -1})}}, "x", nullptr})));

// Member by member, an object element reads as the same object appended whole.
TEST(ArrayWriter, AnObjectWrittenMemberByMemberMatchesItAppended) {
    PrettyArrayWriter byMember;
    byMember.beginObject();
    byMember.stringMember("a", "x/y");
    byMember.beginObjectMember("b");
    byMember.endObject();
    byMember.beginObjectMember("c");
    byMember.integerMember("n", -3);
    byMember.booleanMember("t", true);
    byMember.endObject();
    byMember.endObject();
    byMember.beginObject();
    byMember.endObject();
    PrettyArrayWriter whole;
    whole.append(json{{"a", "x/y"}, {"b", json::object()}, {"c", {{"n", -3}, {"t", true}}}});
    whole.append(json::object());
    EXPECT_EQ(std::move(byMember).finish(), std::move(whole).finish());
    PrettyArrayWriter spoilt;
    spoilt.beginObject();
    spoilt.stringMember("k", "\xFF");
    spoilt.endObject();
    EXPECT_EQ(std::move(spoilt).finish(), std::nullopt);
}

TEST(ArrayWriter, OneUnwritableElementSpoilsTheWholeArray) {
    PrettyArrayWriter writer;
    EXPECT_TRUE(writer.append("ok"));
    EXPECT_FALSE(writer.append(json{{"k", "\xFF"}}));
    EXPECT_FALSE(writer.append("fine again"));
    EXPECT_EQ(std::move(writer).finish(), std::nullopt);
}

}  // namespace
}  // namespace netmoth::util
