// Whatever lies at the store path, a scan prints its whole report, numbers
// never repeat, and nothing the store held is lost: a damaged store is kept
// aside, one we cannot read or replace is left exactly as it was.


#include <functional>

#include "FaultFixture.h"

namespace netmoth::faults {
namespace {

std::string hiddenBssid(int serial) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:00:00:%02x", serial);
    return text;
}

// The numbers hidden-many.json's ten hidden BSSIDs get on a fresh store.
const std::vector<std::int64_t> kFresh{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

struct Row {
    std::string name;
    std::function<void(const fs::path& store)> plant;
    std::vector<std::int64_t> numbers;                  // of 02:00:00:00:00:01 .. 0a, in order
    std::function<void(const fs::path& store)> check;   // what is at the store path afterwards
    bool needsPermissions = false;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

fs::path besides(const fs::path& store, const char* suffix) { return fs::path(store.string() + suffix); }

json indexIn(const fs::path& store) { return json::parse(e2e::readFile(store)).at("hiddenSsidIndexByBssid"); }

json freshIndex(const std::vector<std::int64_t>& numbers) {
    json index = json::object();
    for (int i = 0; i < 10; ++i) index[hiddenBssid(i + 1)] = numbers[static_cast<std::size_t>(i)];
    return index;
}

// A store that was not a JSON object is kept, byte for byte, before a new one is written.
Row damaged(std::string name, std::string text) {
    return {std::move(name),
            [text](const fs::path& store) { writeBytes(store, text); },
            kFresh,
            [text](const fs::path& store) {
                EXPECT_EQ(e2e::readFile(besides(store, ".corrupt")), text);
                EXPECT_EQ(indexIn(store), freshIndex(kFresh));
            }};
}

std::string fiftyThousandEntries() {
    json index = json::object();
    for (int i = 0; i < 50000; ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "0e:00:00:%02x:%02x:%02x", (i >> 16) & 0xff, (i >> 8) & 0xff, i & 0xff);
        index[bssid] = i;
    }
    index[hiddenBssid(5)] = 50000;
    return json{{"hiddenSsidIndexByBssid", index}}.dump();
}

const std::string kWrongTypes = R"({"theme": "dark", "hiddenSsidIndexByBssid": {
    "02:00:00:00:00:01": "4", "02:00:00:00:00:02": 2.0, "02:00:00:00:00:03": true,
    "02:00:00:00:00:04": null, "02:00:00:00:00:05": [6], "02:00:00:00:00:06": 2.5,
    "02:00:00:00:00:07": -3, "02:00:00:00:00:08": 1e300}})";

const std::string kKept = R"({"hiddenSsidIndexByBssid": {"02:00:00:00:00:01": 40}})";

class StoreFault : public FaultTest, public ::testing::WithParamInterface<Row> {};

TEST_P(StoreFault, ScanPrintsEveryNetworkAndLosesNothing) {
    const Row& row = GetParam();
    if (row.needsPermissions && !permissionsApply()) GTEST_SKIP() << "root that cannot become nobody reads every file";
    fs::create_directories(storeFile().parent_path());
    row.plant(storeFile());

    const testing::ToolRun result = runTool(launch("hidden-many.json", {}));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    const json report = json::parse(result.out);
    ASSERT_EQ(report.size(), 11u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(report[static_cast<std::size_t>(i)].at("SSID"),
                  "Hidden SSID " + std::to_string(row.numbers[static_cast<std::size_t>(i)]))
            << hiddenBssid(i + 1);
    }
    EXPECT_EQ(report[10].at("SSID"), "Named");
    row.check(storeFile());
}

INSTANTIATE_TEST_SUITE_P(
    Store, StoreFault,
    ::testing::Values(
        damaged("EmptyFile", ""),
        damaged("ArrayHoldingATable", R"([{"hiddenSsidIndexByBssid": {"02:00:00:00:00:01": 7}}])"),
        damaged("BareNumber", "7"),
        // Not JSON at all: whatever follows the NUL would be lost by a rewrite.
        damaged("NulAfterTheObject", kKept + std::string(1, '\0') + R"({"theme": "dark"})"),
        // Deeper than the store will ever write back: kept aside, not recursed into.
        damaged("NestedTenThousandDeep", "{\"a\": " + std::string(10000, '[') + std::string(10000, ']') + "}"),
        Row{"WrongValueTypesAreRenumbered",
            [](const fs::path& store) { writeBytes(store, kWrongTypes); },
            {3, 2, 4, 5, 6, 7, -3, 8, 9, 10},
            [](const fs::path& store) {
                const json stored = json::parse(e2e::readFile(store));
                EXPECT_EQ(stored.at("theme"), "dark");
                EXPECT_EQ(stored.at("hiddenSsidIndexByBssid"), freshIndex({3, 2, 4, 5, 6, 7, -3, 8, 9, 10}));
            }},
        Row{"TableOfTheWrongTypeIsReplaced",
            [](const fs::path& store) { writeBytes(store, R"({"hiddenSsidIndexByBssid": [1], "theme": 1})"); },
            kFresh,
            [](const fs::path& store) {
                EXPECT_EQ(json::parse(e2e::readFile(store)).at("theme"), 1);
                EXPECT_EQ(indexIn(store), freshIndex(kFresh));
            }},
        Row{"FiftyThousandEntriesAreAllKept",
            [](const fs::path& store) { writeBytes(store, fiftyThousandEntries()); },
            {50001, 50002, 50003, 50004, 50000, 50005, 50006, 50007, 50008, 50009},
            [](const fs::path& store) {
                const json before = json::parse(fiftyThousandEntries()).at("hiddenSsidIndexByBssid");
                const json after = indexIn(store);
                EXPECT_EQ(after.size(), 50010u);
                for (const auto& [bssid, number] : before.items()) ASSERT_EQ(after.at(bssid), number) << bssid;
            }},
        Row{"LeftoverTemporaryOfAKilledSaveIsIgnored",
            [](const fs::path& store) {
                writeBytes(store, kKept);
                writeBytes(besides(store, ".tmp-Ab12Cd"), R"({"hiddenSsidIndexByBssid": {"02:00:00:00:00:01": 9)");
            },
            {40, 41, 42, 43, 44, 45, 46, 47, 48, 49},
            [](const fs::path& store) { EXPECT_EQ(indexIn(store), freshIndex({40, 41, 42, 43, 44, 45, 46, 47, 48, 49})); }},
        Row{"UnreadableFileIsLeftAsItWas",
            [](const fs::path& store) {
                writeBytes(store, kKept);
                fs::permissions(store, fs::perms::none);
            },
            kFresh,
            [](const fs::path& store) {
                EXPECT_EQ(fs::status(store).permissions(), fs::perms::none);
                fs::permissions(store, fs::perms::owner_read);
                EXPECT_EQ(e2e::readFile(store), kKept);
                EXPECT_FALSE(fs::exists(besides(store, ".corrupt")));
            },
            true},
        Row{"DirectoryIsLeftAsItWas",
            [](const fs::path& store) {
                fs::create_directory(store);
                writeBytes(store / "keep", "x");
            },
            kFresh,
            [](const fs::path& store) {
                EXPECT_EQ(e2e::readFile(store / "keep"), "x");
                EXPECT_FALSE(fs::exists(besides(store, ".corrupt")));
            }},
        // The link's target is never created: the new store replaces the link itself.
        Row{"DanglingLinkIsReplacedNotFollowed",
            [](const fs::path& store) { fs::create_symlink("elsewhere.json", store); },
            kFresh,
            [](const fs::path& store) {
                EXPECT_FALSE(fs::exists(store.parent_path() / "elsewhere.json"));
                EXPECT_FALSE(fs::is_symlink(store));
                EXPECT_EQ(indexIn(store), freshIndex(kFresh));
            }}),
    [](const ::testing::TestParamInfo<Row>& rowInfo) { return rowInfo.param.name; });

// A config folder we may not write: the report is whole, and nothing is created or changed.
class ReadOnlyFolder : public FaultTest {
protected:
    void SetUp() override {
        if (!permissionsApply()) GTEST_SKIP() << "root that cannot become nobody writes through read-only modes";
    }
    void makeReadOnly(const fs::path& folder) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    void expectWholeReport(const testing::ToolRun& result, std::int64_t firstNumber) {
        EXPECT_EQ(result.exitCode, 0);
        const json report = json::parse(result.out);
        ASSERT_EQ(report.size(), 11u);
        EXPECT_EQ(report[0].at("SSID"), "Hidden SSID " + std::to_string(firstNumber));
        EXPECT_EQ(report[1].at("SSID"), "Hidden SSID " + std::to_string(firstNumber + 1));
    }
};

TEST_F(ReadOnlyFolder, ConfigFolderGetsNoStoreFolder) {
    fs::create_directories(configHome());
    makeReadOnly(configHome());
    expectWholeReport(runTool(launch("hidden-many.json", {})), 0);
    EXPECT_FALSE(fs::exists(storeFile().parent_path()));
}

TEST_F(ReadOnlyFolder, StoreFolderIsReadButNotWritten) {
    fs::create_directories(storeFile().parent_path());
    writeBytes(storeFile(), kKept);
    makeReadOnly(storeFile().parent_path());
    expectWholeReport(runTool(launch("hidden-many.json", {})), 40);
    EXPECT_EQ(e2e::readFile(storeFile()), kKept);
    EXPECT_EQ(std::distance(fs::directory_iterator(storeFile().parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ReadOnlyFolder, ConfigFolderThatCannotExistGivesTheReport) {
    writeBytes(home_ / "file", "");
    testing::ToolLaunch l = launch("hidden-many.json", {});
    l.environment["XDG_CONFIG_HOME"] = (home_ / "file" / "config").string();
    expectWholeReport(runTool(l), 0);
    EXPECT_EQ(e2e::readFile(home_ / "file"), "");
}

TEST_F(ReadOnlyFolder, AccountHomeThatDoesNotExistGivesTheReport) {
    if (geteuid() != 0) GTEST_SKIP() << "would write under this user's real home";
    testing::ToolLaunch l = launch("hidden-many.json", {});
    l.environment.erase("XDG_CONFIG_HOME");
    l.environment.erase("HOME");  // nobody's home in the password database is /nonexistent
    expectWholeReport(runTool(l), 0);
}

}  // namespace
}  // namespace netmoth::faults
