#pragma once
// Files for tests: a private temporary folder, and whole files as bytes.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace netmoth::testing {

// A fresh folder only this test uses, removed with all it holds.
struct TempFolder : std::filesystem::path {
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "netmoth-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
        assign(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;  // a failed test may leave what we cannot remove
        std::filesystem::remove_all(*this, ignored);
    }
};

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace netmoth::testing
