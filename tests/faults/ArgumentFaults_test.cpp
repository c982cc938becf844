// Arguments as the kernel hands them over: bytes that are not UTF-8 are read
// as U+FFFD, and a mebibyte of arguments does not hide the last switch.

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

using ArgumentFault = e2e::ToolTest;

TEST_F(ArgumentFault, BadByteInTheNameIsReadAsReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    const std::string scene = writeScene("names.json", e2e::sceneWith({"Lab", replacement}, 0, 0));
    const e2e::json report = e2e::json::parse(run(scene, {"--ssid=\xFF"}).out);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].at("SSID"), replacement);
}

TEST_F(ArgumentFault, MebibyteOfArgumentsBeforeTheLastSwitch) {
    // The longest single argument Linux passes on (MAX_ARG_STRLEN less the NUL).
    std::vector<std::string> arguments(8, std::string(32 * 4096 - 1, 'x'));
    arguments.push_back("--isRetrievingInterfaces\r\n");  // CR LF after the switch is a new character
    const testing::ToolRun result = run("home.json", arguments);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, run("home.json", {"--isRetrievingInterfaces"}).out);
}

}  // namespace
}  // namespace netmoth::faults
