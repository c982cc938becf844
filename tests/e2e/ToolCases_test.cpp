// Runs every case of cases.json: the binary on a scene with some arguments,
// its answer compared byte for byte ("stdout") or by JSON value ("answer", a
// file under expected/, since member order is free), and its standard error
// ("stderr": the one line expected after the program's name; none: empty).
// "idles": the launch still waits, having printed nothing, after 1.5 seconds.

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

class ToolCase : public ToolTest, public ::testing::WithParamInterface<json> {};

TEST_P(ToolCase, PrintsExactlyTheExpectedAnswer) {
    const json& c = GetParam();
    testing::ToolLaunch l = launch(c.at("scene"), c.at("arguments").get<std::vector<std::string>>());
    if (c.contains("idles")) l.timeout = std::chrono::milliseconds(1500);
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_EQ(result.timedOut, c.contains("idles"));
    EXPECT_EQ(result.exitCode, c.contains("idles") ? -1 : 0);
    const std::string why = c.value("stderr", "");
    EXPECT_EQ(result.err, why.empty() ? "" : "netmoth-companion: " + why + "\n");
    if (c.contains("answer")) {
        EXPECT_EQ(json::parse(result.out), json::parse(readFile(fs::path(NETMOTH_E2E_DIR) / "expected" /
                                                                c.at("answer").get<std::string>())))
            << result.out;
    } else {
        EXPECT_EQ(result.out, c.value("stdout", ""));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolCase,
                         ::testing::ValuesIn(json::parse(readFile(fs::path(NETMOTH_E2E_DIR) / "cases.json"))
                                                 .get<std::vector<json>>()),
                         [](const auto& each) { return each.param.at("name").template get<std::string>(); });

}  // namespace
}  // namespace netmoth::e2e
