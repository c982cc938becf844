// Loading a scene from a file: reasons name the file, the size cap holds, the sample loads.
#include <gmock/gmock.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "SceneTestSupport.h"
#include "platform/scene/SceneFile.h"

namespace netmoth::scene {
namespace {

using ::testing::StartsWith;

class SceneFile : public ::testing::Test {
protected:
    const std::string& write(std::string_view text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }
    ~SceneFile() override { std::filesystem::remove(path_); }

    std::string path_ =
        (std::filesystem::temp_directory_path() / ("scene-test-" + std::to_string(::getpid()) + ".json")).string();
};

TEST_F(SceneFile, ErrorsStartWithThePathThenTheReason) {
    EXPECT_EQ(loadSceneFile(path_).error, path_ + ": cannot open: No such file or directory");
    EXPECT_EQ(loadSceneFile(write("{\n  \"rssi\": }")).error,
              path_ + ": invalid JSON at byte 13: parse error at line 2, column 11: syntax error while parsing value "
                      "- unexpected '}'; expected '[', '{', or a literal");
    EXPECT_EQ(loadSceneFile(write(R"({"interfaces": [{"rssi": true}]})")).error,
              path_ + ": interfaces[0].rssi: expected an integer, got a boolean");
    const std::string directory = std::filesystem::temp_directory_path();
    EXPECT_EQ(loadSceneFile(directory).error, directory + ": cannot read: Is a directory");
}

TEST_F(SceneFile, SizeCapRefusesOneByteMore) {
    write("{}");
    EXPECT_EQ(readFileCapped(path_, 2).text, "{}");
    EXPECT_THAT(readFileCapped(path_, 1).error, StartsWith("larger than the 1 bytes"));
    EXPECT_THAT(readFileCapped("/dev/zero", 1 << 20).error, StartsWith("larger than"));  // no size known up front
}

TEST(SampleScene, LoadsWithTheNetworksItDescribes) {
    const auto result = loadSceneFile(NETMOTH_SAMPLE_SCENE);
    ASSERT_TRUE(result.scene) << result.error;
    auto& client = result.scene->client();
    const auto interfaces = *client.interfaces();
    ASSERT_EQ(interfaces.size(), 2U);
    EXPECT_EQ(std::tuple(interfaces[1]->interfaceName(), interfaces[1]->ssid()), std::tuple("wlan1", std::nullopt));
    const auto all = testing::scan(*client.interface());
    const auto lab = testing::scan(*client.interface(), "Lab");
    ASSERT_EQ(all.size(), 6U);
    ASSERT_EQ(lab.size(), 1U);
    EXPECT_EQ(std::tuple(all[4]->ssid(), all[4]->bssid()), std::tuple(std::nullopt, lab[0]->bssid()));
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& n) { return !n->wlanChannel(); }), 1);
}

}  // namespace
}  // namespace netmoth::scene
