// The store file: writes replace one key and keep the rest, damaged files are
// kept aside, files we cannot use are left alone, and the lock spans the lease.
#include "platform/posix/FileUserDefaults.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <tuple>

#include "platform/posix/StoreFileReader.h"

namespace netmoth::platform::posix {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

unsigned modeOf(const fs::path& path) { return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::all); }

// Inode, size and mode: any replacement or rewrite of the file changes one.
std::tuple<ino_t, off_t, mode_t> identityOf(const fs::path& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return {info.st_ino, info.st_size, info.st_mode};
}

// Runs body in a child process without the capabilities that let root ignore
// file permissions; returns its exit code, or -1 when it did not exit normally.
int runInChild(const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        syscall(SYS_capget, &header, data);
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header, data);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class FileUserDefaultsTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "store-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directory(folder_ = root_ / "netmoth-companion");
        store_ = folder_ / "defaults.json";
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }
    fs::path withSuffix(const char* suffix) const { return fs::path(store_.string() + suffix); }
    std::unique_ptr<DefaultsLease> acquire() const { return FileUserDefaults(store_, diagnostics_).acquire(); }
    json stored() const { return json::parse(readText(store_)); }
    bool onlyStoreAndLockInFolder() const {
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path() != store_ && entry.path() != withSuffix(".lock")) return false;
        }
        return true;
    }

    fs::path root_, folder_, store_;
    mutable platform::Diagnostics diagnostics_;
};

TEST_F(FileUserDefaultsTest, WriteCreatesPrivateFoldersAndReplacesOneKeyKeepingTheRest) {
    const fs::path deep = root_ / "a" / "b" / "defaults.json";
    FileUserDefaults(deep, diagnostics_).acquire()->setObject("other", json::parse(R"([1,{"x":null}])"));
    {
        auto lease = FileUserDefaults(deep, diagnostics_).acquire();
        EXPECT_EQ(lease->objectForKey("absent"), nullptr);
        lease->setObject("index", json{{"a", 1}});
        lease->setObject("index", json{{"b", 2}});
    }
    EXPECT_EQ(json::parse(readText(deep)), json::parse(R"({"other":[1,{"x":null}],"index":{"b":2}})"));
    for (const fs::path& folder : {root_ / "a", root_ / "a" / "b"}) EXPECT_EQ(modeOf(folder), 0700u) << folder;
    for (const fs::path& file : {deep, fs::path(deep.string() + ".lock")}) EXPECT_EQ(modeOf(file), 0600u) << file;
}

TEST_F(FileUserDefaultsTest, DanglingLinkIsReplacedNotWrittenThrough) {
    fs::create_symlink(root_ / "elsewhere.json", store_);
    acquire()->setObject("k", 1);
    EXPECT_FALSE(fs::exists(root_ / "elsewhere.json"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(store_)));
    EXPECT_EQ(stored(), json({{"k", 1}}));
}

// Under the lock no other save is under way, so any temporary is abandoned.
TEST_F(FileUserDefaultsTest, SaveRemovesTemporariesOfKilledSaves) {
    writeText(withSuffix(".tmp-Ab12Cd"), R"({"k":)");
    acquire()->setObject("k", 1);
    EXPECT_TRUE(onlyStoreAndLockInFolder());
}

TEST(FileUserDefaultsWithoutHome, ReadsNothingAndWritesNowhere) {
    platform::Diagnostics diagnostics;
    auto lease = FileUserDefaults(std::nullopt, diagnostics).acquire();
    lease->setObject("k", 1);
    EXPECT_EQ(lease->objectForKey("k"), nullptr);
}

struct DamagedCase {
    const char* name;
    std::string contents;
};

void PrintTo(const DamagedCase& row, std::ostream* out) { *out << row.name; }

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
    EXPECT_EQ(stored(), json({{"k", 2}}));
}

const std::string kTooDeep = std::string(kMaxStoreNesting + 1, '[') + std::string(kMaxStoreNesting + 1, ']');

INSTANTIATE_TEST_SUITE_P(Contents, DamagedStoreTest,
                         testing::Values(DamagedCase{"Empty", ""}, DamagedCase{"Truncated", "{\"k\":"},
                                         DamagedCase{"Array", "[1,2]"}, DamagedCase{"Null", "null"},
                                         DamagedCase{"TrailingText", "{\"k\":1} trailing"},
                                         DamagedCase{"InvalidUtf8", "{\"k\":\"\xFF\"}"},
                                         DamagedCase{"TooDeep", "{\"k\":" + kTooDeep + "}"}),
                         [](const auto& row) { return std::string(row.param.name); });

// A store we may not or cannot replace: the lease keeps its write in memory, and
// the folder stays as it was, with no .corrupt or temporary file.
struct LeftAloneCase {
    const char* name;
    void (*plant)(const fs::path& store);  // over a store holding {"k":"old"}
    bool readsOld;                         // false: what we cannot read we cannot judge
    bool limitFileSize = false;            // the temporary file's write then fails as on a full disk
};

void PrintTo(const LeftAloneCase& row, std::ostream* out) { *out << row.name; }

class LeftAloneTest : public FileUserDefaultsTest, public testing::WithParamInterface<LeftAloneCase> {};

TEST_P(LeftAloneTest, LeaseWorksInMemoryAndTheStoreIsNotReplaced) {
    writeText(store_, R"({"k":"old"})");
    GetParam().plant(store_);
    const auto before = identityOf(store_);
    const std::string value(4096, 'x');
    const int result = runInChild([&] {
        if (GetParam().limitFileSize) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{64, 64};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        auto lease = acquire();
        const json* old = lease->objectForKey("k");
        const bool readAsExpected = GetParam().readsOld ? old && *old == "old" : old == nullptr;
        lease->setObject("k", value);
        return readAsExpected && *lease->objectForKey("k") == value ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(identityOf(store_), before);
    EXPECT_TRUE(onlyStoreAndLockInFolder());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LeftAloneTest,
    testing::Values(
        LeftAloneCase{"Unreadable", [](const fs::path& store) { fs::permissions(store, fs::perms::none); }, false},
        LeftAloneCase{"Oversized", [](const fs::path& store) { fs::resize_file(store, kMaxStoreBytes + 1); }, false},
        LeftAloneCase{"Directory",
                      [](const fs::path& store) {
                          fs::remove(store);
                          fs::create_directory(store);
                      },
                      false},
        LeftAloneCase{"Fifo",
                      [](const fs::path& store) {
                          fs::remove(store);
                          mkfifo(store.c_str(), 0600);
                      },
                      false},
        LeftAloneCase{"ReadOnlyFolder",
                      [](const fs::path& store) {
                          fs::permissions(store.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
                      },
                      true},
        LeftAloneCase{"FileSizeLimit", [](const fs::path&) {}, true, true}),
    [](const auto& row) { return std::string(row.param.name); });

// Whether a child process could take the store's lock without waiting.
bool lockIsFreeInChild(const fs::path& lockFile) {
    return runInChild([&] { return flock(open(lockFile.c_str(), O_RDONLY | O_CLOEXEC), LOCK_EX | LOCK_NB); }) == 0;
}

TEST_F(FileUserDefaultsTest, LockIsHeldFromAcquireUntilTheLeaseEnds) {
    auto lease = acquire();
    EXPECT_FALSE(lockIsFreeInChild(withSuffix(".lock")));
    lease->setObject("k", 1);
    EXPECT_FALSE(lockIsFreeInChild(withSuffix(".lock"))) << "a write must not release the lock";
    lease.reset();
    EXPECT_TRUE(lockIsFreeInChild(withSuffix(".lock")));
}

}  // namespace
}  // namespace netmoth::platform::posix
