// Runs every case of cases.json: the binary on a scene with some arguments,
// its answer compared byte for byte ("stdout") or by JSON value ("answer", a
// file under expected/, since member order is free), and its standard error
// ("stderr": the one line expected after the program's name; none: empty).

#include "E2eFixture.h"

namespace netmoth::e2e {
namespace {

struct Case {
    json spec;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.spec.dump(); }

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (json& spec : json::parse(readFile(fs::path(NETMOTH_E2E_DIR) / "cases.json"))) cases.push_back({spec});
    return cases;
}

class ToolCase : public ToolTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ToolCase, PrintsExactlyTheExpectedAnswer) {
    const json& c = GetParam().spec;
    const testing::ToolRun result = run(c.at("scene"), c.at("arguments").get<std::vector<std::string>>());
    EXPECT_EQ(result.exitCode, 0);
    const std::string why = c.value("stderr", "");
    EXPECT_EQ(result.err, why.empty() ? "" : "netmoth-companion: " + why + "\n");
    if (c.contains("answer")) {
        EXPECT_EQ(json::parse(result.out), expectedReport(c.at("answer"))) << result.out;
    } else {
        EXPECT_EQ(result.out, c.at("stdout").get<std::string>());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolCase, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& each) {
                             return each.param.spec.at("name").get<std::string>();
                         });

TEST_F(ToolTest, PermissionModeIdlesUntilTheLocationServiceAnswers) {
    testing::ToolLaunch l = launch("location-silent.json", {"--isCheckingLocationPermission"});
    l.timeout = std::chrono::milliseconds(1500);
    const testing::ToolRun result = testing::runTool(NETMOTH_BINARY, l);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace netmoth::e2e
