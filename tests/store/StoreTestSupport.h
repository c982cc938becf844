#pragma once
// A scratch folder per test and small file helpers for the store tests.

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace netmoth::platform::posix {

namespace fs = std::filesystem;

inline std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

inline unsigned modeOf(const fs::path& path) {
    return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::all);
}

// Runs body in a child process and returns its exit code, or -1 when it did
// not exit normally.
inline int runInChild(const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs body in a child process without the capabilities that let root ignore
// file permissions, so permission cases are real even when tests run as root.
inline int runObeyingPermissions(const std::function<int()>& body) {
    return runInChild([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        syscall(SYS_capget, &header, data);
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header, data);
        return body();
    });
}

class StoreFolderTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "store-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        folder_ = root_ / "netmoth-companion";
        store_ = folder_ / "defaults.json";
        fs::create_directory(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root_);
    }
    fs::path withSuffix(const char* suffix) const { return fs::path(store_.string() + suffix); }

    fs::path root_;
    fs::path folder_;
    fs::path store_;
};

}  // namespace netmoth::platform::posix
