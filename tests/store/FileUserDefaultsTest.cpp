#include "platform/posix/FileUserDefaults.h"

#include <sys/resource.h>

#include <csignal>

#include "StoreTestSupport.h"
#include "platform/posix/StoreFileReader.h"

namespace netmoth::platform::posix {
namespace {

using nlohmann::json;

class FileUserDefaultsTest : public StoreFolderTest {
protected:
    std::unique_ptr<DefaultsLease> acquire() { return FileUserDefaults(store_).acquire(); }
    void setKey(const char* key, json value) { acquire()->setObject(key, std::move(value)); }
    bool onlyStoreAndLockIn(const fs::path& folder) const {
        for (const auto& entry : fs::directory_iterator(folder)) {
            auto name = entry.path().filename();
            if (name != "defaults.json" && name != "defaults.json.lock") return false;
        }
        return true;
    }
};

TEST_F(FileUserDefaultsTest, WriteReplacesOneKeyAndKeepsTheRest) {
    writeText(store_, R"({"other":[1,{"x":null}],"hiddenSsidIndexByBssid":{"a":1}})");
    {
        auto lease = acquire();
        EXPECT_EQ(lease->objectForKey("absent"), nullptr);
        lease->setObject("hiddenSsidIndexByBssid", json{{"b", 2}});
        lease->setObject("added", "text");
    }
    auto lease = acquire();
    EXPECT_EQ(*lease->objectForKey("other"), json::parse(R"([1,{"x":null}])"));
    EXPECT_EQ(*lease->objectForKey("hiddenSsidIndexByBssid"), json({{"b", 2}}));
    EXPECT_EQ(*lease->objectForKey("added"), "text");
    EXPECT_EQ(modeOf(store_), 0600u);
}

TEST_F(FileUserDefaultsTest, MissingFoldersAreCreatedPrivate) {
    fs::path deep = root_ / "a" / "b" / "defaults.json";
    FileUserDefaults(deep).acquire()->setObject("k", 1);
    EXPECT_EQ(modeOf(root_ / "a"), 0700u);
    EXPECT_EQ(modeOf(root_ / "a" / "b"), 0700u);
    EXPECT_EQ(modeOf(deep), 0600u);
    EXPECT_EQ(modeOf(root_ / "a" / "b" / "defaults.json.lock"), 0600u);
    EXPECT_EQ(json::parse(readText(deep)), json({{"k", 1}}));
}

struct DamagedCase {
    const char* name;
    std::string contents;
};

class DamagedStoreTest : public FileUserDefaultsTest, public testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedStoreTest, IsKeptAsideBeforeTheFirstWrite) {
    const std::string damaged = GetParam().contents;
    writeText(store_, damaged);
    writeText(withSuffix(".corrupt"), "older");
    EXPECT_EQ(acquire()->objectForKey("k"), nullptr);
    EXPECT_EQ(readText(store_), damaged) << "a lease that only reads must not touch the store";
    EXPECT_EQ(readText(withSuffix(".corrupt")), "older");

    {
        auto lease = acquire();
        lease->setObject("k", 1);
        lease->setObject("k", 2);  // the second write must not move the new store aside
    }
    EXPECT_EQ(readText(withSuffix(".corrupt")), damaged);
    EXPECT_EQ(json::parse(readText(store_)), json({{"k", 2}}));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, DamagedStoreTest,
    testing::Values(DamagedCase{"Empty", ""}, DamagedCase{"Truncated", "{\"k\":"},
                    DamagedCase{"NotJson", "not json"}, DamagedCase{"Array", "[1,2]"},
                    DamagedCase{"String", "\"text\""}, DamagedCase{"Null", "null"},
                    DamagedCase{"TrailingText", "{\"k\":1} trailing"},
                    DamagedCase{"InvalidUtf8", "{\"k\":\"\xFF\"}"},
                    DamagedCase{"TooDeep", "{\"k\":" + std::string(kMaxStoreNesting + 1, '[') +
                                               std::string(kMaxStoreNesting + 1, ']') + "}"}),
    [](const testing::TestParamInfo<DamagedCase>& testInfo) { return std::string(testInfo.param.name); });

TEST_F(FileUserDefaultsTest, OversizedStoreIsNeitherReadNorReplaced) {
    writeText(store_, "{}");
    fs::resize_file(store_, kMaxStoreBytes + 1);  // sparse: costs no disk
    auto lease = acquire();
    lease->setObject("k", 1);
    EXPECT_EQ(lease->objectForKey("absent"), nullptr);
    EXPECT_EQ(fs::file_size(store_), kMaxStoreBytes + 1);
    EXPECT_FALSE(fs::exists(withSuffix(".corrupt")));
}

TEST_F(FileUserDefaultsTest, DirectoryAtStorePathReadsEmptyAndIsLeftAlone) {
    fs::create_directory(store_);
    auto lease = acquire();
    EXPECT_EQ(lease->objectForKey("k"), nullptr);
    lease->setObject("k", 1);
    EXPECT_TRUE(fs::is_directory(store_));
    EXPECT_TRUE(fs::is_empty(store_));
    EXPECT_FALSE(fs::exists(withSuffix(".corrupt")));
    EXPECT_TRUE(onlyStoreAndLockIn(folder_)) << "no temporary file may be left behind";
}

TEST_F(FileUserDefaultsTest, DanglingLinkIsReplacedNotWrittenThrough) {
    fs::path target = root_ / "elsewhere.json";
    fs::create_symlink(target, store_);
    auto lease = acquire();
    EXPECT_EQ(lease->objectForKey("k"), nullptr);
    lease->setObject("k", 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(store_)));
    EXPECT_EQ(json::parse(readText(store_)), json({{"k", 1}}));
}

TEST_F(FileUserDefaultsTest, UnreadableStoreIsNeverOverwritten) {
    writeText(store_, R"({"k":"kept"})");
    fs::permissions(store_, fs::perms::none);
    int result = runObeyingPermissions([&] {
        auto lease = acquire();
        bool readNothing = lease->objectForKey("k") == nullptr;
        lease->setObject("k", "lost");
        return readNothing ? 0 : 1;
    });
    EXPECT_EQ(result, 0) << "an unreadable store must read as empty";
    EXPECT_EQ(readText(store_), R"({"k":"kept"})");
    EXPECT_FALSE(fs::exists(withSuffix(".corrupt")));
}

TEST_F(FileUserDefaultsTest, ReadOnlyFolderFailsQuietlyAndLeavesNoTemporary) {
    setKey("k", "old");
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    int result = runObeyingPermissions([&] {
        auto lease = acquire();
        lease->setObject("k", "new");
        return *lease->objectForKey("k") == "new" ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(json::parse(readText(store_)), json({{"k", "old"}}));
    EXPECT_TRUE(onlyStoreAndLockIn(folder_));
}

// A file size limit makes the temporary file's write fail as a full disk would.
TEST_F(FileUserDefaultsTest, FailedWriteLeavesOldStoreAndNoTemporary) {
    setKey("k", "old");
    int result = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        acquire()->setObject("k", std::string(4096, 'x'));
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(json::parse(readText(store_)), json({{"k", "old"}}));
    EXPECT_TRUE(onlyStoreAndLockIn(folder_));
}

TEST(FileUserDefaultsWithoutHome, ReadsNothingAndWritesNowhere) {
    auto lease = FileUserDefaults(std::nullopt).acquire();
    lease->setObject("k", 1);
    EXPECT_EQ(lease->objectForKey("k"), nullptr);
}

}  // namespace
}  // namespace netmoth::platform::posix
