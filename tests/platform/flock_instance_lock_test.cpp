#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/flock_instance_lock.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

TEST(FlockInstanceLock, OneHolderPerNameUntilReleased)
{
    const ScopedTempDir folder;
    FlockInstanceLock first(folder.WidePath());
    FlockInstanceLock second(folder.WidePath());
    FlockInstanceLock other(folder.WidePath());

    EXPECT_EQ(first.Acquire(L"Corvid Z5"), InstanceLockResult::Acquired);
    EXPECT_EQ(second.Acquire(L"Corvid Z5"), InstanceLockResult::HeldByAnother);
    // Another device name is another program.
    EXPECT_EQ(other.Acquire(L"Corvid Z7"), InstanceLockResult::Acquired);

    first.Release();
    EXPECT_EQ(second.Acquire(L"Corvid Z5"), InstanceLockResult::Acquired);
    EXPECT_TRUE(fs::exists(folder.Path() / "Corvid Z5.lock"));
}

TEST(FlockInstanceLock, ALockDiesWithItsProcess)
{
    const ScopedTempDir folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FlockInstanceLock held(folder.WidePath());
        const char answer = held.Acquire(L"Corvid Z5") == InstanceLockResult::Acquired ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        ::pause(); // killed below, without any chance to release
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    FlockInstanceLock lock(folder.WidePath());
    EXPECT_EQ(lock.Acquire(L"Corvid Z5"), InstanceLockResult::HeldByAnother);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(lock.Acquire(L"Corvid Z5"), InstanceLockResult::Acquired);
}

TEST(FlockInstanceLock, NamesStayInsideTheFolder)
{
    const ScopedTempDir folder;
    FlockInstanceLock lock(folder.WidePath());
    const std::string base = folder.Path().string() + "/";
    EXPECT_EQ(lock.LockFilePath(L"../x/y\\z"), base + ".._x_y_z.lock");
    EXPECT_EQ(lock.LockFilePath(L"a\nb"), base + "a_b.lock");
    EXPECT_EQ(lock.LockFilePath(L""), base + ".lock");
    // A folder that does not exist yet is made; one that cannot be made leaves the start unlocked.
    FlockInstanceLock nested(Utf8ToWide((folder.Path() / "run" / "user").string()));
    EXPECT_EQ(nested.Acquire(L"Corvid Z5"), InstanceLockResult::Acquired);
    WriteFileBytes(folder.Path() / "file", "");
    FlockInstanceLock blocked(Utf8ToWide((folder.Path() / "file" / "sub").string()));
    EXPECT_EQ(blocked.Acquire(L"Corvid Z5"), InstanceLockResult::Unavailable);
}

TEST(FlockInstanceLock, RuntimeFolderComesFromTheSessionElseTheFallback)
{
    {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000");
        EXPECT_EQ(FlockInstanceLock::DefaultFolder(L"/data/"), L"/run/user/1000");
    }
    for (const char* value : {"", "relative/run"}) {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(FlockInstanceLock::DefaultFolder(L"/data/"), L"/data/") << value;
    }
}
