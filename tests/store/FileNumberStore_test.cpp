// The store file: writes replace one key and keep the rest, damaged files are
// kept aside, files we cannot use are left alone, and the lock spans the lease.
#include "store/FileNumberStore.h"

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

#include "store/StoreFileReader.h"
#include "report/HiddenSsidIndex.h"

namespace netmoth::store {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A store file holding these hidden numbers and nothing else.
json holding(const json& numbers) { return {{"hiddenSsidIndexByBssid", numbers}}; }

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

class FileNumberStoreTest : public testing::Test {
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
    std::unique_ptr<NumbersLease> lease() const { return FileNumberStore(store_, diagnostics_).lease(); }
    json stored() const { return json::parse(readText(store_)); }
    bool onlyStoreAndLockInFolder() const {
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path() != store_ && entry.path() != withSuffix(".lock")) return false;
        }
        return true;
    }

    fs::path root_, folder_, store_;
    mutable util::Diagnostics diagnostics_;
};

TEST_F(FileNumberStoreTest, SaveCreatesPrivateFoldersAndReplacesOurNumbersKeepingTheRest) {
    const fs::path deep = root_ / "a" / "b" / "defaults.json";
    FileNumberStore(deep, diagnostics_).lease()->save({{"a", 1}});
    writeText(deep, R"({"other":[1,{"x":null}],"hiddenSsidIndexByBssid":{"a":1}})");
    {
        auto lease = FileNumberStore(deep, diagnostics_).lease();
        EXPECT_EQ(lease->numbers(), (HiddenNumbers{{"a", 1}}));
        lease->save({{"a", 1}, {"b", 2}});
        lease->save({{"b", 2}});
    }
    EXPECT_EQ(json::parse(readText(deep)), json::parse(R"({"other":[1,{"x":null}],"hiddenSsidIndexByBssid":{"b":2}})"));
    for (const fs::path& folder : {root_ / "a", root_ / "a" / "b"}) EXPECT_EQ(modeOf(folder), 0700u) << folder;
    for (const fs::path& file : {deep, fs::path(deep.string() + ".lock")}) EXPECT_EQ(modeOf(file), 0600u) << file;
}

TEST_F(FileNumberStoreTest, DanglingLinkIsReplacedNotWrittenThrough) {
    fs::create_symlink(root_ / "elsewhere.json", store_);
    lease()->save({{"k", 1}});
    EXPECT_FALSE(fs::exists(root_ / "elsewhere.json"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(store_)));
    EXPECT_EQ(stored(), holding({{"k", 1}}));
}

// Under the lock no other save is under way, so our temporaries are abandoned;
// files that merely share the prefix are someone else's.
TEST_F(FileNumberStoreTest, SaveRemovesOnlyItsOwnAbandonedTemporaries) {
    writeText(withSuffix(".tmp-Ab12Cd"), R"({"k":)");
    const std::vector<fs::path> others{withSuffix(".tmp-backup-2024.json"), withSuffix(".tmp-Folder"),
                                       withSuffix(".tmp-Link00"), withSuffix(".tmp-Nobody")};
    writeText(others[0], "mine");
    fs::create_directory(others[1]);
    fs::create_symlink(others[0], others[2]);
    writeText(others[3], "");
    ASSERT_EQ(chown(others[3].c_str(), 65534, 65534), 0);
    lease()->save({{"k", 1}});
    EXPECT_FALSE(fs::exists(withSuffix(".tmp-Ab12Cd")));
    for (const fs::path& other : others) EXPECT_TRUE(fs::exists(fs::symlink_status(other))) << other;
    EXPECT_EQ(readText(others[0]), "mine");
}

TEST(FileNumberStoreWithoutHome, ReadsNothingAndSavesNowhere) {
    util::Diagnostics diagnostics;
    auto lease = FileNumberStore(std::nullopt, diagnostics).lease();
    lease->save({{"k", 1}});
    EXPECT_TRUE(lease->numbers().empty());
    EXPECT_EQ(diagnostics.lines().size(), 1U);
}

struct DamagedCase {
    const char* name;
    std::string contents;
};

void PrintTo(const DamagedCase& row, std::ostream* out) { *out << row.name; }

class DamagedStoreTest : public FileNumberStoreTest, public testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedStoreTest, IsKeptAsideBeforeTheFirstWrite) {
    const std::string damaged = GetParam().contents;
    writeText(store_, damaged);
    writeText(withSuffix(".corrupt"), "older");
    EXPECT_TRUE(lease()->numbers().empty());
    EXPECT_EQ(readText(store_), damaged) << "a lease that only reads must not touch the store";
    EXPECT_EQ(readText(withSuffix(".corrupt")), "older");
    {
        auto held = lease();
        held->save({{"k", 1}});
        held->save({{"k", 2}});  // the second save must not move the new store aside
    }
    EXPECT_EQ(readText(withSuffix(".corrupt")), damaged);
    EXPECT_EQ(stored(), holding({{"k", 2}}));
}

// A member "k" nesting `levels` levels of arrays or objects, the top-level object included.
std::string nestedMember(int levels, bool arrays) {
    std::string value = arrays ? "[]" : "{}";
    for (int level = 3; level <= levels; ++level) value = arrays ? "[" + value + "]" : R"({"k":)" + value + "}";
    return R"("k":)" + value;
}
std::string nested(int levels, bool arrays) { return "{" + nestedMember(levels, arrays) + "}"; }

INSTANTIATE_TEST_SUITE_P(Contents, DamagedStoreTest,
                         testing::Values(DamagedCase{"Empty", ""}, DamagedCase{"Truncated", "{\"k\":"},
                                         DamagedCase{"Array", "[1,2]"}, DamagedCase{"Null", "null"},
                                         DamagedCase{"TrailingText", "{\"k\":1} trailing"},
                                         DamagedCase{"InvalidUtf8", "{\"k\":\"\xFF\"}"},
                                         DamagedCase{"TooDeepArrays", nested(kMaxStoreNesting + 1, true)},
                                         DamagedCase{"TooDeepObjects", nested(kMaxStoreNesting + 1, false)}),
                         [](const auto& row) { return std::string(row.param.name); });

// A store we may not or cannot replace: the lease keeps its write in memory, and
// the folder stays as it was, with no .corrupt or temporary file.
struct LeftAloneCase {
    const char* name;
    void (*plant)(const fs::path& store);  // over a store holding the number 7 for "k"
    bool readsOld;                         // false: what we cannot read we cannot judge
    bool limitFileSize = false;            // the temporary file's write then fails as on a full disk
};

void PrintTo(const LeftAloneCase& row, std::ostream* out) { *out << row.name; }

class LeftAloneTest : public FileNumberStoreTest, public testing::WithParamInterface<LeftAloneCase> {};

TEST_P(LeftAloneTest, LeaseWorksInMemoryAndTheStoreIsNotReplaced) {
    writeText(store_, R"({"hiddenSsidIndexByBssid":{"k":7}})");
    GetParam().plant(store_);
    const auto before = identityOf(store_);
    HiddenNumbers many;
    for (int i = 0; i < 200; ++i) many.emplace_back("b" + std::to_string(i), i);
    const int result = runInChild([&] {
        if (GetParam().limitFileSize) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{64, 64};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        auto held = lease();
        const HiddenNumbers old = GetParam().readsOld ? HiddenNumbers{{"k", 7}} : HiddenNumbers{};
        const bool readAsExpected = held->numbers() == old;
        held->save(many);
        return readAsExpected && held->numbers() == many ? 0 : 1;
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
        LeftAloneCase{"AnotherUsersReadOnlyFolder",
                      [](const fs::path& store) {
                          fs::permissions(store.parent_path(), fs::perms::others_read | fs::perms::others_exec);
                          lchown(store.parent_path().c_str(), 65534, 65534);
                      },
                      true},
        LeftAloneCase{"FileSizeLimit", [](const fs::path&) {}, true, true}),
    [](const auto& row) { return std::string(row.param.name); });

// Whether a child process could take the store's lock without waiting.
bool lockIsFreeInChild(const fs::path& lockFile) {
    return runInChild([&] { return flock(open(lockFile.c_str(), O_RDONLY | O_CLOEXEC), LOCK_EX | LOCK_NB); }) == 0;
}

TEST_F(FileNumberStoreTest, LockIsHeldFromReadUntilTheLeaseEnds) {
    auto held = lease();
    EXPECT_FALSE(lockIsFreeInChild(withSuffix(".lock")));
    held->save({{"k", 1}});
    EXPECT_FALSE(lockIsFreeInChild(withSuffix(".lock"))) << "a save must not release the lock";
    held.reset();
    EXPECT_TRUE(lockIsFreeInChild(withSuffix(".lock")));
}

// One value the store cannot hold costs that entry only, and a save writes
// back what is not ours exactly as it was read.
struct MemberCase {
    const char* name;
    std::string text;
    std::unordered_map<std::string, std::int64_t> kept;  // the hidden numbers read
    std::vector<std::string> preserved;                  // bytes the save keeps
};

void PrintTo(const MemberCase& row, std::ostream* out) { *out << row.name; }

class StoreMembersTest : public FileNumberStoreTest, public testing::WithParamInterface<MemberCase> {};

TEST_P(StoreMembersTest, KeepEveryUsableEntryAndOtherMembersByteForByte) {
    writeText(store_, GetParam().text);
    {
        auto held = lease();
        auto index = report::loadHiddenSsidIndex(held->numbers());
        EXPECT_EQ(index.numberByBssid, GetParam().kept);
        report::hiddenSsidNumber(index, "new");
        report::saveHiddenSsidIndex(index, *held);
    }
    EXPECT_FALSE(fs::exists(withSuffix(".corrupt")));
    const std::string saved = readText(store_);
    for (const std::string& bytes : GetParam().preserved) EXPECT_NE(saved.find(bytes), std::string::npos) << bytes;
}

const std::string k401Digits = "1" + std::string(400, '0');

INSTANTIATE_TEST_SUITE_P(
    Texts, StoreMembersTest,
    testing::Values(
        MemberCase{"OutOfRangeEntries",
                   R"({"hiddenSsidIndexByBssid":{"02:00:00:00:00:05":0,"a":1e400,"b":-1e400,"c":)" + k401Digits + "}}",
                   {{"02:00:00:00:00:05", 0}},
                   {}},
        MemberCase{"OutOfRangeInAnotherMember",
                   R"({"hiddenSsidIndexByBssid":{"a":3},"theirs":[1e400,-1E+999,{"x":)" + k401Digits + "}]}",
                   {{"a", 3}},
                   {R"("theirs":[1e400,-1E+999,{"x":)" + k401Digits + "}]"}},
        MemberCase{"IntegersADoubleWouldRound",
                   R"({"hiddenSsidIndexByBssid":{"a":9007199254740992,"b":9007199254740993.0,"c":1e-400,)"
                   R"("d":-9.2233720368547758e18,"e":5.0}})",
                   {{"a", 9007199254740992}, {"e", 5}},
                   {}},
        MemberCase{"IntegersOnlyOfInt64Range",
                   R"({"hiddenSsidIndexByBssid":{"f":5.5,"b":true,"s":"9","n":null,"l":[9],"o":{"x":9},"k":2,)"
                   R"("u":9223372036854775808,"two63":9.223372036854775808e18,"lo":-9223372036854775808,)"
                   R"("lof":-9.223372036854775808e18,"z":-0.0,"e":1e3}})",
                   {{"k", 2}, {"lo", INT64_MIN}, {"lof", INT64_MIN}, {"z", 0}, {"e", 1000}},
                   {}},
        MemberCase{"NumbersThatAreNotAnObject", R"({"hiddenSsidIndexByBssid":[1,2]})", {}, {}},
        MemberCase{"OtherMembersAsTheyWere",
                   R"({"big":123456789012345678901234567890, "tiny" : 1e-400,"s":"é\/","t":1.50})",
                   {},
                   {R"("big":123456789012345678901234567890)", R"("tiny":1e-400)", R"("s":"é\/")",
                    R"("t":1.50)"}},
        MemberCase{"DeepestArrays", nested(kMaxStoreNesting, true), {}, {nestedMember(kMaxStoreNesting, true)}},
        MemberCase{"DeepestObjects", nested(kMaxStoreNesting, false), {}, {nestedMember(kMaxStoreNesting, false)}}),
    [](const auto& row) { return std::string(row.param.name); });

// Without the lock a save could give another launch's numbers out again: the
// lease still reads, saves nothing, leaves other saves' files alone, says why.
struct LockCase {
    const char* name;
    int (*plant)(const fs::path& lock);  // returns a descriptor to close afterwards, or -1
};

void PrintTo(const LockCase& row, std::ostream* out) { *out << row.name; }

class UnlockableTest : public FileNumberStoreTest, public testing::WithParamInterface<LockCase> {};

TEST_P(UnlockableTest, LeaseReadsButNeverSavesAndSaysWhy) {
    writeText(store_, R"({"hiddenSsidIndexByBssid":{"k":7}})");
    writeText(withSuffix(".tmp-Ab12Cd"), "another launch's save");
    const int held = GetParam().plant(withSuffix(".lock"));
    const auto before = identityOf(store_);
    const int result = runInChild([&] {
        alarm(60);  // a lock that blocks for ever fails the test instead of hanging it
        auto held = lease();
        const bool readOld = held->numbers() == HiddenNumbers{{"k", 7}};
        held->save({{"k", 7}, {"new", 8}});
        const auto& lines = diagnostics_.lines();
        const bool said = lines.size() == 1 && lines[0].find(withSuffix(".lock").string()) != std::string::npos;
        return readOld && said ? 0 : 1;
    });
    if (held >= 0) close(held);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(identityOf(store_), before);
    EXPECT_EQ(readText(withSuffix(".tmp-Ab12Cd")), "another launch's save");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnlockableTest,
    testing::Values(LockCase{"Fifo", [](const fs::path& lock) { return mkfifo(lock.c_str(), 0600) - 1; }},
                    LockCase{"Folder",
                             [](const fs::path& lock) {
                                 fs::create_directory(lock);
                                 return -1;
                             }},
                    LockCase{"LinkToAFile",
                             [](const fs::path& lock) {
                                 fs::create_symlink(lock.parent_path() / "defaults.json", lock);
                                 return -1;
                             }},
                    LockCase{"AnotherUsersPrivateFile",
                             [](const fs::path& lock) {
                                 writeText(lock, "");
                                 fs::permissions(lock, fs::perms::owner_read | fs::perms::owner_write);
                                 return lchown(lock.c_str(), 65534, 65534) - 1;
                             }},
                    LockCase{"HeldByAStoppedLaunch",
                             [](const fs::path& lock) {
                                 const int fd = open(lock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
                                 flock(fd, LOCK_EX);
                                 return fd;
                             }}),
    [](const auto& row) { return std::string(row.param.name); });

// A strict umask must neither lock the user out of the folder nor leave a lock
// no launch can open; our own folder and lock left so earlier are repaired.
TEST_F(FileNumberStoreTest, ModesAreExactWhateverTheUmaskAndOursAreRepaired) {
    const fs::path lock = withSuffix(".lock");
    for (const mode_t mask : {0277, 0477}) {
        fs::remove_all(folder_);
        const int saved = runInChild([&] {
            umask(mask);
            for (const int value : {1, 2}) lease()->save({{"k", value}});
            return json::parse(readText(store_), nullptr, false) == holding({{"k", 2}}) ? 0 : 1;
        });
        EXPECT_EQ(saved, 0) << "umask " << std::oct << mask;
        for (const auto& [path, mode] : {std::pair{folder_, 0700u}, {lock, 0600u}, {store_, 0600u}}) {
            EXPECT_EQ(modeOf(path), mode) << path << ", umask " << std::oct << mask;
        }
    }
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(lock, fs::perms::owner_write);
    EXPECT_EQ(runInChild([&] { return (lease()->save({{"k", 3}}), 0); }), 0);
    EXPECT_EQ(stored(), holding({{"k", 3}}));
    EXPECT_EQ(modeOf(folder_), 0700u);
    EXPECT_EQ(modeOf(lock), 0600u);
}

// Installed set-user-ID root, a launch has the user's real identity and root's
// effective one: the store must be made as the user, and a folder link the
// user planted must not lead where only root may write.
TEST_F(FileNumberStoreTest, SetUserIdRootUsesTheStoreAsTheRealUser) {
    if (geteuid() != 0) GTEST_SKIP() << "acting set-user-ID root needs root";
    const fs::path rootOnly = root_ / "root-only";
    fs::create_directory(rootOnly);
    fs::permissions(rootOnly, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    ASSERT_EQ(lchown(root_.c_str(), 65534, 65534), 0);
    const fs::path own = root_ / "own" / "netmoth-companion" / "defaults.json";
    fs::remove(folder_);
    fs::create_directory_symlink(rootOnly, folder_);
    for (const fs::path& store : {own, store_}) {
        runInChild([&] {
            if (setresgid(65534, 0, 0) != 0 || setresuid(65534, 0, 0) != 0) return 1;
            FileNumberStore(store, diagnostics_).lease()->save({{"k", 1}});
            return 0;
        });
    }
    struct stat info {};
    ASSERT_EQ(stat(own.c_str(), &info), 0) << "the store was not saved";
    EXPECT_EQ(info.st_uid, 65534u);
    ASSERT_EQ(stat(own.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_TRUE(fs::is_empty(rootOnly)) << "root's identity wrote through the planted link";
}

}  // namespace
}  // namespace netmoth::store
