// Scenes that cannot be used: the tool prints nothing, says why on exactly
// one line naming the file, exits with status 2, and never reaches the store.
// Nesting where the scene ignores it is no error, and exhausts no stack.

#include "e2e/E2eFixture.h"

namespace netmoth::faults {
namespace {

std::string nested(const std::string& key, std::size_t depth) {
    return "{\"" + key + "\": " + std::string(depth, '[') + std::string(depth, ']') + "}";
}

using SceneFault = e2e::ToolTest;

TEST_F(SceneFault, IsOneLineOnStandardErrorAndStatusTwo) {
    const std::pair<std::string, std::optional<std::string>> rows[] = {  // folder, bytes (nullopt: no file)
        {"missing", std::nullopt}, {"empty", ""}, {"second", "{} {}"}, {"nul", std::string("{}\0", 3)},
        {"deep", nested("interfaces", 100000)},
        {"line\nbreak", "{"}};  // the file name is quoted into the message: its line break must not split it
    for (const auto& [folder, bytes] : rows) {
        const e2e::fs::path scene = home_ / folder / "scene.json";
        e2e::fs::create_directories(scene.parent_path());
        if (bytes) e2e::writeBytes(scene, *bytes);
        const testing::ToolRun result = run(scene.string());
        EXPECT_EQ(result.exitCode, 2) << folder;
        EXPECT_EQ(result.out, "") << folder;
        EXPECT_TRUE(result.err.ends_with("\n") && std::count(result.err.begin(), result.err.end(), '\n') == 1 &&
                    result.err.find("scene.json") != std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(e2e::fs::exists(configHome())) << "the store was reached";
    e2e::writeBytes(home_ / "ignored.json", nested("note", 100000));
    const testing::ToolRun ignored = run((home_ / "ignored.json").string());
    EXPECT_EQ(ignored.exitCode, 0);
    EXPECT_EQ(ignored.out, "[]\n");
}

}  // namespace
}  // namespace netmoth::faults
