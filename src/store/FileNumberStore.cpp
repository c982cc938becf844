#include "store/FileNumberStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "util/AtomicFileWriter.h"
#include "store/FolderChain.h"
#include "store/StoreFileReader.h"
#include "store/StoreLock.h"

namespace netmoth::store {
namespace {

constexpr const char* kConsequence = "hidden-network numbers were not saved, so their labels may change next time";

std::filesystem::path withSuffix(const std::filesystem::path& file, const char* suffix) {
    return std::filesystem::path(file.string() + suffix);
}

// A set-user-ID or set-group-ID binary raises privilege only for the radio.
// The scan is over before the store is opened, so the rest of the run gives it
// up for good: every store file is then made as, and checked against, the user.
bool dropRaisedIdentity() {
    const uid_t user = getuid();
    const gid_t group = getgid();
    if (geteuid() == user && getegid() == group) return true;
    return setresgid(group, group, group) == 0 && setresuid(user, user, user) == 0 && geteuid() == user &&
           getegid() == group;
}

class FileNumbersLease final : public NumbersLease {
public:
    FileNumbersLease(std::filesystem::path storeFile, util::Diagnostics& diagnostics)
        : storeFile_(std::move(storeFile)),
          diagnostics_(diagnostics),
          folderReady_(createFolderChain(storeFile_.parent_path()) ? 0 : errno),
          lock_(withSuffix(storeFile_, ".lock")),
          contents_(readStoreFile(storeFile_)),
          numbers_(contents_.document.hiddenNumbers()) {}

    const HiddenNumbers& numbers() const override { return numbers_; }

    void save(HiddenNumbers numbers) override {
        try {
            contents_.document.setHiddenNumbers(numbers);
            numbers_ = std::move(numbers);
            if (!readyToWrite()) return;
            removeAbandonedSaves();
            if (const int error = util::replaceFileAtomically(storeFile_, contents_.document.serialise())) {
                diagnostics_.note("cannot save hidden-network numbers to " + util::printable(storeFile_.string()) + " (" +
                                  std::strerror(error) +
                                  "): their labels may change next time; make the folder writable by you");
            }
        } catch (const std::bad_alloc&) {
            diagnostics_.note("out of memory saving " + util::printable(storeFile_.string()) + ": " + kConsequence);
        }
    }

private:
    // Saves only under the lock: without it another launch may hand out the
    // same numbers. An unreadable store is left alone: we cannot tell what we
    // would destroy. A damaged one is moved aside first; if that fails we do
    // not write.
    bool readyToWrite() {
        if (folderReady_ != 0) {
            diagnostics_.note("cannot create " + util::printable(storeFile_.parent_path().string()) + " (" +
                              std::strerror(folderReady_) + "): " + kConsequence +
                              "; make that path a folder you can write");
            return false;
        }
        if (!lock_.held()) {
            diagnostics_.note("cannot lock " + util::printable(withSuffix(storeFile_, ".lock").string()) + " (" + lock_.problem() +
                              "): " + kConsequence +
                              "; make it a regular file you own, or end the process that holds it");
            return false;
        }
        if (contents_.state == StoreFileState::Unreadable) {
            diagnostics_.note("cannot read " + util::printable(storeFile_.string()) + " (" + contents_.problem + "): " + kConsequence +
                              "; make it a regular file you can read and write, under 64 MiB");
            return false;
        }
        if (contents_.state != StoreFileState::Damaged) return true;
        const std::filesystem::path corrupt = withSuffix(storeFile_, ".corrupt");
        if (std::rename(storeFile_.c_str(), corrupt.c_str()) != 0) {
            diagnostics_.note("cannot move the damaged " + util::printable(storeFile_.string()) + " aside (" + std::strerror(errno) +
                              "): " + kConsequence + "; remove or repair it");
            return false;
        }
        contents_.state = StoreFileState::Missing;
        return true;
    }

    // A save killed before its rename leaves its temporary file behind. While we
    // hold the lock no other save is under way, so such files are abandoned;
    // only ours are removed: our exact name pattern, regular files of this user.
    void removeAbandonedSaves() const {
        std::error_code error;
        std::filesystem::directory_iterator entry(storeFile_.parent_path(), error);
        for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
            const std::filesystem::path& path = entry->path();
            struct stat info {};
            if (!util::isTemporaryName(storeFile_, path.filename().string()) || lstat(path.c_str(), &info) != 0 ||
                !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
                continue;
            }
            unlink(path.c_str());
        }
    }

    std::filesystem::path storeFile_;
    util::Diagnostics& diagnostics_;
    int folderReady_;  // 0, or why the folder cannot be made
    StoreLock lock_;   // taken before the read, released after the last write
    StoreFileContents contents_;
    HiddenNumbers numbers_;
};

// Reads nothing and writes nowhere; says so when there was something to keep.
class DetachedLease final : public NumbersLease {
public:
    DetachedLease(util::Diagnostics& diagnostics, std::string why) : diagnostics_(diagnostics), why_(std::move(why)) {}
    const HiddenNumbers& numbers() const override { return none_; }
    void save(HiddenNumbers) override { diagnostics_.note(why_); }

private:
    util::Diagnostics& diagnostics_;
    std::string why_;
    HiddenNumbers none_;
};

}  // namespace

FileNumberStore::FileNumberStore(std::optional<std::filesystem::path> storeFile, util::Diagnostics& diagnostics)
    : storeFile_(std::move(storeFile)), diagnostics_(diagnostics) {}

std::unique_ptr<NumbersLease> FileNumberStore::lease() {
    if (!storeFile_) {
        return std::make_unique<DetachedLease>(
            diagnostics_, std::string("no home directory is known: ") + kConsequence + "; set HOME");
    }
    if (!dropRaisedIdentity()) {
        return std::make_unique<DetachedLease>(
            diagnostics_, "cannot give up raised privileges (" + std::string(std::strerror(errno)) +
                              ") before using " + util::printable(storeFile_->string()) + ": " + kConsequence +
                              "; install the program without set-user-ID");
    }
    return std::make_unique<FileNumbersLease>(*storeFile_, diagnostics_);
}

}  // namespace netmoth::store
