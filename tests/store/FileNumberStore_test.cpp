// Where the store lives, and the store file: writes replace one key and keep
// the rest, damaged files are kept aside, files we cannot use are left alone,
// and the lock spans the lease.
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

#include "report/HiddenSsidIndex.h"
#include "store/StoreFileReader.h"
#include "store/StorePath.h"

namespace netmoth::store {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Text = std::optional<std::string>;

TEST(StorePath, FollowsAbsoluteXdgThenHomeThenAccount) {
    const Text xdg = "/xdg/netmoth-companion/defaults.json", home = "/home/u/.config/netmoth-companion/defaults.json",
               account = "/acct/.config/netmoth-companion/defaults.json", none;
    const std::tuple<Text, Text, Text, Text> cases[] = {
        // XDG_CONFIG_HOME, HOME, the account's home, the store
        {"/xdg", "/home/u", "/acct", xdg}, {"/xdg/", none, none, xdg},
        {none, "/home/u", "/acct", home},  {"", "/home/u", "/acct", home},
        {"xdg", "/home/u", "/acct", home}, {none, "home/u", "/acct", account},
        {none, none, "acct", none},        {none, "x", none, none}};
    for (const auto& [xdgConfigHome, homeVariable, accountHome, expected] : cases) {
        const auto path = resolveStorePath(
            [&](std::string_view name) { return name == "XDG_CONFIG_HOME" ? xdgConfigHome : homeVariable; },
            [&] { return accountHome; });
        EXPECT_EQ(path ? Text(path->string()) : none, expected)
            << xdgConfigHome.value_or("-") << homeVariable.value_or("-");
    }
}

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

// A member "k" nesting `levels` levels of arrays or objects, the top-level object included.
std::string nestedMember(int levels, bool arrays) {
    std::string value = arrays ? "[]" : "{}";
    for (int level = 3; level <= levels; ++level) value = arrays ? "[" + value + "]" : R"({"k":)" + value + "}";
    return R"("k":)" + value;
}
std::string nested(int levels, bool arrays) { return "{" + nestedMember(levels, arrays) + "}"; }

class FileNumberStoreTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "store-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        folder_ = root_ / "netmoth-companion";
        store_ = folder_ / "defaults.json";
        emptyFolder();
    }
    void TearDown() override {
        emptyFolder();
        fs::remove_all(root_);
    }
    // An empty store folder, whatever the last case of a table did to it.
    void emptyFolder() {
        if (fs::exists(folder_)) fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
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
    // A dangling link is replaced, not written through.
    fs::create_symlink(root_ / "elsewhere.json", store_);
    lease()->save({{"k", 1}});
    EXPECT_FALSE(fs::exists(root_ / "elsewhere.json"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(store_)));
    EXPECT_EQ(stored(), holding({{"k", 1}}));
    // Without a home directory, or with a folder that cannot exist: reads
    // nothing, saves nowhere, says so once.
    writeText(root_ / "file", "");
    for (const std::optional<fs::path>& nowhere :
         {std::optional<fs::path>(), std::optional(root_ / "file" / "d" / "s.json")}) {
        util::Diagnostics diagnostics;
        auto held = FileNumberStore(nowhere, diagnostics).lease();
        held->save({{"k", 1}});
        EXPECT_EQ(held->numbers().empty(), !nowhere);  // a lease with a path keeps its write in memory
        EXPECT_EQ(diagnostics.lines().size(), 1U);
        EXPECT_NE(diagnostics.lines().at(0).find(nowhere.value_or("").parent_path().string()), std::string::npos);
    }
    EXPECT_EQ(readText(root_ / "file"), "");
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

TEST_F(FileNumberStoreTest, DamagedStoreIsKeptAsideBeforeTheFirstWrite) {
    const std::string damagedTexts[] = {"",
                                        "{\"k\":",
                                        "[1,2]",
                                        "null",
                                        "{\"k\":1} trailing",
                                        "{\"k\":\"\xFF\"}",
                                        std::string("{\"k\":{}}\0{\"theme\":1}", 20),  // a NUL after the object
                                        nested(kMaxStoreNesting + 1, true),
                                        nested(kMaxStoreNesting + 1, false)};
    for (const std::string& damaged : damagedTexts) {
        emptyFolder();
        writeText(store_, damaged);
        writeText(withSuffix(".corrupt"), "older");
        EXPECT_TRUE(lease()->numbers().empty()) << damaged;
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
}

// A store we may not or cannot replace: the lease keeps its write in memory, and
// the folder stays as it was, with no .corrupt or temporary file.
TEST_F(FileNumberStoreTest, StoreWeCannotReplaceIsLeftAloneAndTheLeaseWorksInMemory) {
    const struct {
        const char* name;
        std::function<void()> plant;  // over a store holding the number 7 for "k"
        bool readsOld;                // false: what we cannot read we cannot judge
        bool limitFileSize = false;   // the temporary file's write then fails as on a full disk
    } cases[] = {{"unreadable", [&] { fs::permissions(store_, fs::perms::none); }, false},
                 {"oversized", [&] { fs::resize_file(store_, kMaxStoreBytes + 1); }, false},
                 {"directory", [&] { fs::remove(store_), fs::create_directory(store_); }, false},
                 {"fifo", [&] { fs::remove(store_), mkfifo(store_.c_str(), 0600); }, false},
                 {"another user's read-only folder",
                  [&] {
                      fs::permissions(folder_, fs::perms::others_read | fs::perms::others_exec),
                          lchown(folder_.c_str(), 65534, 65534);
                  },
                  true},
                 {"file size limit", [] {}, true, true}};
    HiddenNumbers many;
    for (int i = 0; i < 200; ++i) many.emplace_back("b" + std::to_string(i), i);
    for (const auto& row : cases) {
        emptyFolder();
        writeText(store_, R"({"hiddenSsidIndexByBssid":{"k":7}})");
        row.plant();
        const auto before = identityOf(store_);
        EXPECT_EQ(runInChild([&] {
                      if (row.limitFileSize) {
                          std::signal(SIGXFSZ, SIG_IGN);
                          rlimit limit{64, 64};
                          setrlimit(RLIMIT_FSIZE, &limit);
                      }
                      auto held = lease();
                      const bool readAsExpected =
                          held->numbers() == (row.readsOld ? HiddenNumbers{{"k", 7}} : HiddenNumbers{});
                      held->save(many);
                      return readAsExpected && held->numbers() == many ? 0 : 1;
                  }),
                  0)
            << row.name;
        EXPECT_EQ(identityOf(store_), before) << row.name;
        EXPECT_TRUE(onlyStoreAndLockInFolder()) << row.name;
    }
}

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
TEST_F(FileNumberStoreTest, KeepsEveryUsableEntryAndOtherMembersByteForByte) {
    const std::string k401Digits = "1" + std::string(400, '0');
    const struct {
        std::string text;
        std::unordered_map<std::string, std::int64_t> kept;  // the hidden numbers read
        std::vector<std::string> preserved;                  // bytes the save keeps
    } cases[] = {{R"({"hiddenSsidIndexByBssid":{"02:00:00:00:00:05":0,"a":1e400,"b":-1e400,"c":)" + k401Digits + "}}",
                  {{"02:00:00:00:00:05", 0}},
                  {}},
                 {R"({"hiddenSsidIndexByBssid":{"a":3},"theirs":[1e400,-1E+999,{"x":)" + k401Digits + "}]}",
                  {{"a", 3}},
                  {R"("theirs":[1e400,-1E+999,{"x":)" + k401Digits + "}]"}},
                 {R"({"hiddenSsidIndexByBssid":{"a":9007199254740992,"b":9007199254740993.0,"c":1e-400,)"
                  R"("d":-9.2233720368547758e18,"e":5.0}})",
                  {{"a", 9007199254740992}, {"e", 5}},
                  {}},
                 {R"({"hiddenSsidIndexByBssid":{"f":5.5,"b":true,"s":"9","n":null,"l":[9],"o":{"x":9},"k":2,)"
                  R"("u":9223372036854775808,"two63":9.223372036854775808e18,"lo":-9223372036854775808,)"
                  R"("lof":-9.223372036854775808e18,"z":-0.0,"e":1e3}})",
                  {{"k", 2}, {"lo", INT64_MIN}, {"lof", INT64_MIN}, {"z", 0}, {"e", 1000}},
                  {}},
                 {R"({"hiddenSsidIndexByBssid":[1,2]})", {}, {}},
                 {R"({"big":123456789012345678901234567890, "tiny" : 1e-400,"s":"é\/","t":1.50})",
                  {},
                  {R"("big":123456789012345678901234567890)", R"("tiny":1e-400)", R"("s":"é\/")", R"("t":1.50)"}},
                 {nested(kMaxStoreNesting, true), {}, {nestedMember(kMaxStoreNesting, true)}},
                 {nested(kMaxStoreNesting, false), {}, {nestedMember(kMaxStoreNesting, false)}}};
    for (const auto& row : cases) {
        emptyFolder();
        writeText(store_, row.text);
        {
            auto held = lease();
            auto index = report::loadHiddenSsidIndex(held->numbers());
            EXPECT_EQ(index.numberByBssid, row.kept) << row.text;
            report::hiddenSsidNumber(index, "new");
            report::saveHiddenSsidIndex(index, *held);
        }
        EXPECT_FALSE(fs::exists(withSuffix(".corrupt"))) << row.text;
        const std::string saved = readText(store_);
        for (const std::string& bytes : row.preserved) EXPECT_NE(saved.find(bytes), std::string::npos) << bytes;
    }
    emptyFolder();  // fifty thousand entries: none is lost
    json many = json::object();
    for (int i = 0; i < 50000; ++i) many["b" + std::to_string(i)] = i;
    writeText(store_, holding(many).dump());
    {
        auto held = lease();
        HiddenNumbers numbers = held->numbers();
        EXPECT_EQ(numbers.size(), 50000u);
        held->save((numbers.emplace_back("new", 50000), numbers));
    }
    many["new"] = 50000;
    EXPECT_TRUE(stored() == holding(many)) << "an entry was lost";
}

// Without the lock a save could give another launch's numbers out again: the
// lease still reads, saves nothing, leaves other saves' files alone, says why.
TEST_F(FileNumberStoreTest, WithoutTheLockALeaseReadsButNeverSavesAndSaysWhy) {
    const fs::path lock = withSuffix(".lock");
    const std::pair<const char*, std::function<int()>> plants[] = {
        // returns a descriptor to close, or -1
        {"fifo", [&] { return mkfifo(lock.c_str(), 0600) - 1; }},
        {"folder", [&] { return fs::create_directory(lock) - 2; }},
        {"link to a file", [&] { return fs::create_symlink(store_, lock), -1; }},
        {"another user's private file",
         [&] {
             writeText(lock, "");
             fs::permissions(lock, fs::perms::owner_read | fs::perms::owner_write);
             return lchown(lock.c_str(), 65534, 65534) - 1;
         }},
        {"held by a stopped launch", [&] {
             const int fd = open(lock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
             return flock(fd, LOCK_EX), fd;
         }}};
    for (const auto& [name, plant] : plants) {
        emptyFolder();
        writeText(store_, R"({"hiddenSsidIndexByBssid":{"k":7}})");
        writeText(withSuffix(".tmp-Ab12Cd"), "another launch's save");
        const int planted = plant();
        const auto before = identityOf(store_);
        const int result = runInChild([&] {
            alarm(60);  // a lock that blocks for ever fails the test instead of hanging it
            auto held = lease();
            const bool readOld = held->numbers() == HiddenNumbers{{"k", 7}};
            held->save({{"k", 7}, {"new", 8}});
            const auto& lines = diagnostics_.lines();
            return readOld && lines.size() == 1 && lines[0].find(lock.string()) != std::string::npos ? 0 : 1;
        });
        if (planted >= 0) close(planted);
        EXPECT_EQ(result, 0) << name;
        EXPECT_EQ(identityOf(store_), before) << name;
        EXPECT_EQ(readText(withSuffix(".tmp-Ab12Cd")), "another launch's save") << name;
    }
}

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
