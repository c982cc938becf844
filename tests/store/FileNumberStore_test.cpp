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
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <tuple>

#include "store/StoreFileReader.h"
#include "store/StorePath.h"
#include "support/Files.h"
#include "support/ToolProcess.h"

namespace netmoth::store {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::readFile;
using testing::writeFile;
using Text = std::optional<std::string>;
using Numbers = std::unordered_map<std::string, std::int64_t>;

const json kCases = json::parse(std::ifstream(NETMOTH_STORE_CASES));  // the tables, in store-cases.json

TEST(StorePath, FollowsAbsoluteXdgThenHomeThenAccount) {
    for (const json& row : kCases.at("storePath")) {
        const auto text = [&](int column) { return row[column].is_null() ? Text() : Text(row[column]); };
        const auto path = resolveStorePath(
            [&](std::string_view name) { return text(name == "XDG_CONFIG_HOME" ? 0 : 1); }, [&] { return text(2); });
        EXPECT_EQ(path ? Text(path->string()) : Text(), text(3)) << row;
    }
}

// A store file holding these hidden numbers and nothing else.
json holding(const json& numbers) { return {{"hiddenSsidIndexByBssid", numbers}}; }

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
        alarm(60);  // a lease that blocks for ever fails the test instead of hanging it
        _exit(body());
    }
    return testing::exitStatus(child);
}

// A member "k" nesting `levels` levels of arrays or objects, the top-level object included.
std::string nestedMember(int levels, bool arrays) {
    std::string value = arrays ? "[]" : "{}";
    for (int level = 3; level <= levels; ++level) value = arrays ? "[" + value + "]" : R"({"k":)" + value + "}";
    return R"("k":)" + value;
}
std::string nested(int levels, bool arrays) { return "{" + nestedMember(levels, arrays) + "}"; }

class FileNumberStoreTest : public ::testing::Test {
protected:
    void SetUp() override { emptyFolder(); }
    // An empty store folder, whatever the last case of a table did to it.
    void emptyFolder() {
        if (fs::exists(folder_)) fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
    }
    fs::path withSuffix(const char* suffix) const { return fs::path(store_.string() + suffix); }
    std::unique_ptr<NumbersLease> lease() const { return FileNumberStore(store_, diagnostics_).lease(); }
    json stored() const { return json::parse(readFile(store_)); }

    testing::TempFolder root_;
    fs::path folder_ = root_ / "netmoth-companion", store_ = folder_ / "defaults.json";
    mutable util::Diagnostics diagnostics_;
};

// Folders and files are private; a save replaces our member, keeps the rest,
// and clears only temporaries of our exact name pattern; a dangling link is
// replaced, not written through. Without a home there is nothing to read.
TEST_F(FileNumberStoreTest, SaveMakesPrivateFilesReplacesOurMemberAndKeepsTheRest) {
    const fs::path deep = root_ / "a" / "b" / "defaults.json", deepTmp = deep.string() + ".tmp-Ab12Cd",
                   backup = deep.string() + ".tmp-backup-2024.json";
    FileNumberStore(deep, diagnostics_).lease()->save({{"a", 1}});
    writeFile(deep, R"({"other":[1,{"x":null}],"hiddenSsidIndexByBssid":{"a":1}})");
    writeFile(deepTmp, R"({"k":)");
    writeFile(backup, "mine");
    FileNumberStore(deep, diagnostics_).lease()->save({{"b", 2}});
    EXPECT_EQ(json::parse(readFile(deep)), json::parse(R"({"other":[1,{"x":null}],"hiddenSsidIndexByBssid":{"b":2}})"));
    EXPECT_FALSE(fs::exists(deepTmp));
    EXPECT_EQ(readFile(backup), "mine");
    for (const fs::path& path : {root_ / "a", root_ / "a" / "b", deep, fs::path(deep.string() + ".lock")})
        EXPECT_EQ(modeOf(path), fs::is_directory(path) ? 0700u : 0600u) << path;
    fs::create_symlink(root_ / "elsewhere.json", store_);
    lease()->save({{"k", 1}});
    EXPECT_FALSE(fs::exists(root_ / "elsewhere.json"));
    EXPECT_EQ(stored(), holding({{"k", 1}}));
    auto nowhere = FileNumberStore(std::nullopt, diagnostics_).lease();
    EXPECT_TRUE(nowhere->numbers().empty());
    nowhere->save({{"k", 1}});
}

TEST_F(FileNumberStoreTest, DamagedStoreIsKeptAsideBeforeTheFirstWrite) {
    const std::string damagedTexts[] = {"", "{\"k\":", "[1,2]", "null", "{\"k\":1} trailing", "{\"k\":\"\xFF\"}",
                                        std::string("{\"k\":{}}\0{\"theme\":1}", 20),  // a NUL after the object
                                        nested(kMaxStoreNesting + 1, true), nested(kMaxStoreNesting + 1, false)};
    for (const std::string& damaged : damagedTexts) {
        emptyFolder();
        writeFile(store_, damaged);
        writeFile(withSuffix(".corrupt"), "older");
        EXPECT_TRUE(lease()->numbers().empty()) << damaged;
        EXPECT_EQ(readFile(withSuffix(".corrupt")), "older") << "a lease that only reads moved the store";
        {
            auto held = lease();
            held->save({{"k", 1}});
            held->save({{"k", 2}});  // the second save must not move the new store aside
        }
        EXPECT_EQ(readFile(withSuffix(".corrupt")), damaged);
        EXPECT_EQ(stored(), holding({{"k", 2}}));
    }
}

// A store we may not, cannot or must not replace is left as it was, with its
// folder: no .corrupt file, and other launches' temporary files kept. Without
// the lock a save could give another launch's numbers out again.
TEST_F(FileNumberStoreTest, StoreOrLockWeCannotUseIsLeftAlone) {
    const fs::path lock = withSuffix(".lock"), theirs = withSuffix(".tmp-Ab12Cd");
    const struct {
        const char* name;
        std::function<int()> plant;  // over a store holding 7 for "k"; returns a descriptor to close, or -1
        bool readsOld;               // false: what we cannot read we cannot judge
        bool limitFileSize = false;  // the temporary file's write then fails as on a full disk
    } cases[] = {
        {"unreadable store", [&] { return fs::permissions(store_, fs::perms::none), -1; }, false},
        {"oversized store", [&] { return fs::resize_file(store_, kMaxStoreBytes + 1), -1; }, false},
        {"fifo store", [&] { return fs::remove(store_), mkfifo(store_.c_str(), 0600) - 1; }, false},
        {"file size limit", [&] { return fs::remove(theirs), -1; }, true, true},
        {"fifo lock", [&] { return mkfifo(lock.c_str(), 0600) - 1; }, true},
        {"link at the lock", [&] { return fs::create_symlink(store_, lock), -1; }, true},
        {"lock held by a stopped launch", [&] {
             const int fd = open(lock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
             return flock(fd, LOCK_EX), fd;
         }, true}};
    for (const auto& row : cases) {
        emptyFolder();
        writeFile(store_, R"({"hiddenSsidIndexByBssid":{"k":7}})");
        writeFile(theirs, "another launch's save");
        const int planted = row.plant();
        const auto before = identityOf(store_);
        const int readAsExpected = runInChild([&] {
            if (row.limitFileSize) {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{64, 64};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            auto held = lease();
            const Numbers read(held->numbers().begin(), held->numbers().end());
            held->save({{std::string(100, 'b'), 1}});  // longer than the file size limit
            return read == (row.readsOld ? Numbers{{"k", 7}} : Numbers{}) ? 0 : 1;
        });
        if (planted >= 0) close(planted);
        EXPECT_EQ(readAsExpected, 0) << row.name;
        EXPECT_EQ(identityOf(store_), before) << row.name;
        for (const auto& entry : fs::directory_iterator(folder_))
            EXPECT_TRUE(entry.path() == store_ || entry.path() == lock || entry.path() == theirs) << entry.path();
        EXPECT_EQ(readFile(theirs), row.limitFileSize ? "" : "another launch's save") << row.name;
    }
}

TEST_F(FileNumberStoreTest, LockIsHeldFromReadUntilTheLeaseEnds) {
    const auto lockIsFree = [this] {
        return runInChild([&] {
                   return flock(open(withSuffix(".lock").c_str(), O_RDONLY | O_CLOEXEC), LOCK_EX | LOCK_NB);
               }) == 0;
    };
    auto held = lease();
    EXPECT_FALSE(lockIsFree());
    held.reset();
    EXPECT_TRUE(lockIsFree());
}

// One value the store cannot hold costs that entry only, and a save writes
// back what is not ours exactly as it was read.
TEST_F(FileNumberStoreTest, KeepsEveryUsableEntryAndOtherMembersByteForByte) {
    json rows = kCases.at("usable");
    for (const bool arrays : {true, false}) {
        rows.push_back({{"text", nested(kMaxStoreNesting, arrays)}, {"kept", json::object()},
                        {"preserved", json::array({nestedMember(kMaxStoreNesting, arrays)})}});
    }
    json many = json::object();  // fifty thousand entries: none is lost
    for (int i = 0; i < 50000; ++i) many["b" + std::to_string(i)] = i;
    rows.push_back({{"text", holding(many).dump()}, {"kept", many}});
    for (const json& row : rows) {
        const std::string text = row.at("text"), name = text.substr(0, 200);
        emptyFolder();
        writeFile(store_, text);
        {
            auto held = lease();
            HiddenNumbers numbers = held->numbers();
            EXPECT_EQ(Numbers(numbers.begin(), numbers.end()), row.at("kept").get<Numbers>()) << name;
            held->save((numbers.emplace_back("new", 1), numbers));
        }
        EXPECT_FALSE(fs::exists(withSuffix(".corrupt"))) << name;
        const std::string saved = readFile(store_);
        for (const std::string& bytes : row.value("preserved", std::vector<std::string>{}))
            EXPECT_NE(saved.find(bytes), std::string::npos) << bytes;
        json kept = row.at("kept");
        kept["new"] = 1;
        const json document = json::parse(saved, nullptr, false);  // discarded when others' numbers overflow
        EXPECT_TRUE(document.is_discarded() || document.at("hiddenSsidIndexByBssid") == kept) << name;
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
            return json::parse(readFile(store_), nullptr, false) == holding({{"k", 2}}) ? 0 : 1;
        });
        EXPECT_EQ(saved, 0) << "umask " << std::oct << mask;
        for (const auto& [path, mode] : {std::pair{folder_, 0700u}, {lock, 0600u}, {store_, 0600u}})
            EXPECT_EQ(modeOf(path), mode) << path << ", umask " << std::oct << mask;
    }
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(lock, fs::perms::owner_write);
    EXPECT_EQ(runInChild([&] { return (lease()->save({{"k", 3}}), 0); }), 0);
    EXPECT_EQ(stored(), holding({{"k", 3}}));
    EXPECT_EQ(std::pair(modeOf(folder_), modeOf(lock)), std::pair(0700u, 0600u));
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
    for (const fs::path& made : {own, own.parent_path()})
        EXPECT_TRUE(stat(made.c_str(), &info) == 0 && info.st_uid == 65534u) << made << " is missing or not the user's";
    EXPECT_TRUE(fs::is_empty(rootOnly)) << "root's identity wrote through the planted link";
}

}  // namespace
}  // namespace netmoth::store
