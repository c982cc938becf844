// Which job a launch runs, and what it prints, from plain values; the rest is
// in tests/e2e/cases.json.

#include "cli/Run.h"

#include <gtest/gtest.h>

#include "support/Doubles.h"

namespace netmoth::cli {
namespace {

struct Launch : ::testing::Test {
    Launch() {
        const wifi::Interface wlan0{"wlan0", "Home", "aa:bb:cc:dd:ee:ff", -48};
        backend.defaultValue = wlan0;
        backend.list = std::vector<wifi::Interface>{wlan0};
    }
    std::string run(const std::vector<std::string>& arguments) {
        std::string out;
        EXPECT_TRUE(cli::run(arguments, platform, out));
        return out;
    }

    testing::FakeBackend backend;
    testing::MemoryNumberStore numbers;
    util::Diagnostics diagnostics;
    Platform platform{backend, numbers, diagnostics};
};

// Which name a scan is for is in tests/e2e/cases.json; the program's own path
// is an argument like any other, and no arguments at all scan for every name.
TEST_F(Launch, TheProgramPathIsAnArgumentAndNoArgumentsScanEveryName) {
    EXPECT_TRUE(run({"--isRetrievingInterfaces"}).starts_with("{\n  \"wlan0\" : {"));
    EXPECT_TRUE(run({"/bin/tool", "--help"}).starts_with("usage: netmoth-companion"));
    run({});
    EXPECT_EQ(backend.scannedNames, (std::vector<std::optional<std::string>>{std::nullopt}));
}

TEST_F(Launch, AReportThatCannotBeWrittenPrintsOnlyItsFallback) {
    backend.defaultValue->ssid = std::string("\xFF\xFE");  // not UTF-8: the writer refuses it
    backend.list->front().ssid = backend.defaultValue->ssid;
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingConnectedSignal"}), "{}\n");
    EXPECT_EQ(run({"/bin/tool", "--isRetrievingInterfaces"}), "");
}

TEST_F(Launch, HiddenNumbersAreSavedOnlyWhenNewAndNeverAfterAFailedScan) {
    wifi::Network hidden;
    hidden.bssid = "h1";
    backend.found = std::vector<wifi::Network>{hidden};
    numbers.kept = {{"h0", 4}};
    EXPECT_NE(run({"/bin/tool"}).find("Hidden SSID 5"), std::string::npos);
    EXPECT_EQ(run({"/bin/tool"}), run({"/bin/tool"}));
    EXPECT_EQ(numbers.saves, 1);
    backend.found = std::nullopt;
    run({"/bin/tool"});
    backend.defaultValue = std::nullopt;
    run({"/bin/tool"});
    EXPECT_EQ(numbers.saves, 1);
}

}  // namespace
}  // namespace netmoth::cli
