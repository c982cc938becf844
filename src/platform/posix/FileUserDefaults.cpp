#include "platform/posix/FileUserDefaults.h"

#include <cstdio>
#include <string>

#include "platform/posix/AtomicFileWriter.h"
#include "platform/posix/FolderChain.h"
#include "platform/posix/StoreFileReader.h"
#include "platform/posix/StoreLock.h"

namespace netmoth::platform::posix {
namespace {

std::filesystem::path withSuffix(const std::filesystem::path& file, const char* suffix) {
    return std::filesystem::path(file.string() + suffix);
}

// Invalid UTF-8 from a caller is replaced rather than thrown on: a store write
// must never end the program.
std::string serialise(const nlohmann::json& object) {
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

class FileDefaultsLease final : public DefaultsLease {
public:
    explicit FileDefaultsLease(std::filesystem::path storeFile)
        : storeFile_(std::move(storeFile)),
          folderReady_(createFolderChain(storeFile_.parent_path())),
          lock_(withSuffix(storeFile_, ".lock")),
          contents_(readStoreFile(storeFile_)) {}

    const nlohmann::json* objectForKey(std::string_view key) const override {
        auto found = contents_.object.find(key);
        return found == contents_.object.end() ? nullptr : &*found;
    }

    void setObject(std::string_view key, nlohmann::json value) override {
        contents_.object[std::string(key)] = std::move(value);
        if (!readyToWrite()) return;
        removeAbandonedSaves();
        replaceFileAtomically(storeFile_, serialise(contents_.object));
    }

private:
    // An unreadable store is left alone: we cannot tell what we would destroy.
    // A damaged one is moved aside first; if that fails we do not write.
    bool readyToWrite() {
        if (!folderReady_ || contents_.state == StoreFileState::Unreadable) return false;
        if (contents_.state != StoreFileState::Damaged) return true;
        if (std::rename(storeFile_.c_str(), withSuffix(storeFile_, ".corrupt").c_str()) != 0) {
            return false;
        }
        contents_.state = StoreFileState::Missing;
        return true;
    }

    // A save killed before its rename leaves its temporary file behind. While we
    // hold the lock no other save is under way, so every such file is abandoned.
    void removeAbandonedSaves() const {
        if (!lock_.held()) return;
        const std::string prefix = storeFile_.filename().string() + std::string(kTemporarySuffix);
        std::error_code error;
        std::filesystem::directory_iterator entry(storeFile_.parent_path(), error);
        for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
            std::error_code ignored;
            if (entry->path().filename().string().starts_with(prefix)) std::filesystem::remove(entry->path(), ignored);
        }
    }

    std::filesystem::path storeFile_;
    bool folderReady_;
    StoreLock lock_;  // taken before the read, released after the last write
    StoreFileContents contents_;
};

// Reads nothing and writes nowhere.
class DetachedLease final : public DefaultsLease {
public:
    const nlohmann::json* objectForKey(std::string_view) const override { return nullptr; }
    void setObject(std::string_view, nlohmann::json) override {}
};

}  // namespace

FileUserDefaults::FileUserDefaults(std::optional<std::filesystem::path> storeFile, Diagnostics& diagnostics)
    : storeFile_(std::move(storeFile)), diagnostics_(diagnostics) {}

std::unique_ptr<DefaultsLease> FileUserDefaults::acquire() {
    if (!storeFile_) return std::make_unique<DetachedLease>();
    return std::make_unique<FileDefaultsLease>(*storeFile_);
}

}  // namespace netmoth::platform::posix
