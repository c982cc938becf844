// Scenes that cannot be used: the tool prints nothing, says why on exactly
// one line naming the file, exits with status 2, and never reaches the store.

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

namespace fs = std::filesystem;

struct Row {
    std::string name;
    std::string folder;                // under the private folder; the scene is <folder>/scene.json
    std::optional<std::string> bytes;  // the scene's contents; nullopt: there is no such file
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

std::string nested(const std::string& key, std::size_t depth) {
    return "{\"" + key + "\": " + std::string(depth, '[') + std::string(depth, ']') + "}";
}

class SceneFault : public e2e::ToolTest, public ::testing::WithParamInterface<Row> {};

TEST_P(SceneFault, IsOneLineOnStandardErrorAndStatusTwo) {
    const Row& row = GetParam();
    const fs::path scene = home_ / row.folder / "scene.json";
    fs::create_directories(scene.parent_path());
    if (row.bytes) e2e::writeBytes(scene, *row.bytes);
    const testing::ToolRun result = run(scene.string());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.ends_with("\n")) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find("scene.json"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(configHome())) << "the store was reached";
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, SceneFault,
    ::testing::Values(Row{"MissingFile", "s", std::nullopt}, Row{"EmptyFile", "s", ""},
                      Row{"SecondDocumentAfterTheObject", "s", "{} {}"},
                      Row{"NulAfterTheObject", "s", std::string("{}\0", 3)},
                      Row{"HundredThousandDeepWhereAListGoes", "s", nested("interfaces", 100000)},
                      // The file name is quoted into the message: its line break must not split it.
                      Row{"LineBreakInThePath", "line\nbreak", "{"}),
    [](const ::testing::TestParamInfo<Row>& rowInfo) { return rowInfo.param.name; });

// Nesting where the scene ignores it is no error, and must not exhaust the stack either.
using UsableScene = e2e::ToolTest;

TEST_F(UsableScene, HundredThousandDeepUnderAnIgnoredKeyIsAnEmptyRadio) {
    const std::string scene = (home_ / "deep.json").string();
    e2e::writeBytes(scene, nested("note", 100000));
    const testing::ToolRun result = run(scene);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "[]\n");
}

}  // namespace
}  // namespace netmoth::faults
