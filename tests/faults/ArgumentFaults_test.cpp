// Hostile arguments: bytes that are not UTF-8, a mebibyte of them, lone
// combining marks and CR LF. Each row names the networks the scan must report
// (a scan for a name reports only the network of exactly that name), so a
// wrongly cut, decoded or unquoted name shows up as the wrong network.

#include "FaultFixture.h"

namespace netmoth::faults {
namespace {

// The longest single argument Linux passes on (MAX_ARG_STRLEN less the NUL).
constexpr std::size_t kLongestArgument = 32 * 4096 - 1;

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

const std::string kMark = "\xCC\x81";  // U+0301, a combining acute accent
const std::string kReplacement = "\xEF\xBF\xBD";
const std::string kLongName(kLongestArgument - 7, 'N');  // fills "--ssid=" + name
const std::string kMarksArgument = repeated(kMark, 65000);

const std::vector<std::string> kNames{"Lab",
                                      "Lab" + kMark,
                                      "\"" + kMark + "\"",
                                      "\r\nX",
                                      "\r\n",
                                      "\"\r\n",
                                      kReplacement,
                                      "Lab" + kReplacement,
                                      kReplacement + kReplacement,
                                      kLongName};

struct Row {
    std::string name;
    std::vector<std::string> arguments;
    std::vector<std::string> reported;  // SSIDs of the scan, in order
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class ArgumentFault : public FaultTest, public ::testing::WithParamInterface<Row> {};

std::vector<std::string> reportedNames(const std::string& out) {
    std::vector<std::string> names;
    for (const json& record : json::parse(out)) names.push_back(record.at("SSID"));
    return names;
}

TEST_P(ArgumentFault, ScanReportsExactlyTheNamedNetworks) {
    const Row& row = GetParam();
    const std::string scene = writeScene("names.json", sceneWith(kNames, 0, 0).dump());
    const testing::ToolRun result = runTool(launchOn(scene, row.arguments));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    ASSERT_TRUE(result.out.ends_with("]\n")) << result.out.substr(0, 200);
    EXPECT_EQ(reportedNames(result.out), row.reported);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArgumentFault,
    ::testing::Values(
        Row{"BadByteInTheNameIsReadAsReplacementCharacter", {"--ssid=\xFF"}, {kReplacement}},
        // A cut-off sequence is one maximal bad subpart: one U+FFFD, not two.
        Row{"CutOffSequenceAtTheEndIsOneReplacement", {"--ssid=Lab\xE2\x82"}, {"Lab" + kReplacement}},
        Row{"OverlongInsideQuotesIsTwoReplacements", {"--ssid=\"\xC0\xAF\""}, {kReplacement + kReplacement}},
        Row{"MarkOnTheLastLetterStaysInTheName", {"--ssid=Lab" + kMark}, {"Lab" + kMark}},
        Row{"QuoteCarryingAMarkIsNoQuote", {"--ssid=\"" + kMark + "\""}, {"\"" + kMark + "\""}},
        Row{"LoneMarksAreNoSwitch", {kMark, kMark + "--ssid=Lab"}, kNames},
        // CR LF is one character: "=" still ends the switch before it.
        Row{"CrLfStartsTheName", {"--ssid=\r\nX"}, {"\r\nX"}},
        Row{"QuotedCrLfIsUnquoted", {"--ssid=\"\r\n\""}, {"\r\n"}},
        // The last character is CR LF, not a quote: there is no pair to remove.
        Row{"QuoteThenCrLfKeepsTheQuote", {"--ssid=\"\r\n"}, {"\"\r\n"}},
        Row{"LongestPossibleNameIsMatchedWhole", {"--ssid=" + kLongName}, {kLongName}},
        Row{"MebibyteOfMarksMakesNoSwitch",
            {"--ssid=" + kMarksArgument, kMarksArgument, kMarksArgument, kMarksArgument, kMarksArgument,
             kMarksArgument, kMarksArgument, "--isRetrievingInterfaces" + kMarksArgument},
            kNames}),
    [](const ::testing::TestParamInfo<Row>& rowInfo) { return rowInfo.param.name; });

TEST_F(FaultTest, MebibyteOfArgumentsBeforeTheLastSwitch) {
    std::vector<std::string> arguments(8, std::string(kLongestArgument, 'x'));
    arguments.push_back("--isRetrievingInterfaces\r\n");  // CR LF after the switch is a new character
    const testing::ToolRun result = runTool(launch("home.json", arguments));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(json::parse(result.out), json::parse(e2e::readFile(std::string(NETMOTH_E2E_DIR) +
                                                                 "/expected/home-interfaces.json")));
}

}  // namespace
}  // namespace netmoth::faults
