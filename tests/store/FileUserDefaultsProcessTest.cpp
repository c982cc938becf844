// Leases in separate processes take turns.

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "StoreTestSupport.h"
#include "platform/posix/FileUserDefaults.h"

namespace netmoth::platform::posix {
namespace {

using nlohmann::json;

// Exit code of a child that tries to take the store's lock without waiting:
// 0 when it got the lock, 1 when another holder has it.
int tryLockInChild(const fs::path& lockFile) {
    return runInChild([&] {
        int fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return 2;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        return errno == EWOULDBLOCK ? 1 : 3;
    });
}

using LeaseAcrossProcessesTest = StoreFolderTest;

TEST_F(LeaseAcrossProcessesTest, LockIsHeldFromAcquireUntilTheLeaseEnds) {
    FileUserDefaults defaults(store_);
    auto lease = defaults.acquire();
    EXPECT_EQ(tryLockInChild(withSuffix(".lock")), 1);
    lease->setObject("k", 1);
    EXPECT_EQ(tryLockInChild(withSuffix(".lock")), 1) << "a write must not release the lock";
    lease.reset();
    EXPECT_EQ(tryLockInChild(withSuffix(".lock")), 0);
}

// Read-modify-write cycles from two processes: any cycle that read before the
// other's write would lose an increment.
TEST_F(LeaseAcrossProcessesTest, ConcurrentIncrementsAreNeverLost) {
    constexpr int kRounds = 25;
    auto incrementRepeatedly = [this] {
        FileUserDefaults defaults(store_);
        for (int round = 0; round < kRounds; ++round) {
            auto lease = defaults.acquire();
            const json* count = lease->objectForKey("count");
            lease->setObject("count", (count ? count->get<int>() : 0) + 1);
        }
    };
    pid_t child = fork();
    if (child == 0) {
        incrementRepeatedly();
        _exit(0);
    }
    incrementRepeatedly();
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(*FileUserDefaults(store_).acquire()->objectForKey("count"), 2 * kRounds);
}

}  // namespace
}  // namespace netmoth::platform::posix
