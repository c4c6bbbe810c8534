// The POSIX wrappers: events, threads, the recursive lock, files and local time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "framework/os/SFEvent.h"
#include "framework/os/SFFile.h"
#include "framework/os/SFSystem.h"
#include "framework/os/SFThread.h"
#include "framework/os/SFToolMutex.h"
#include "support/TempDir.h"

using namespace SF_SOFT_BASE;
using Clock = std::chrono::steady_clock;

namespace {

long long ElapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

}  // namespace

// Without Create, or after Close, every call fails softly; Create makes the event usable again.
TEST(SFEvent, FailsSoftlyWithoutCreateAndAfterClose) {
    CSFEvent event;
    EXPECT_EQ(event.Set(), 0);
    EXPECT_EQ(event.Reset(), 0);
    EXPECT_EQ(event.Wait(0), SF_WAIT_FAILED);
    EXPECT_EQ(event.Create(false, true), 1);
    EXPECT_EQ(event.Create(false, true), 0);  // already made
    auto start = Clock::now();
    EXPECT_EQ(event.Wait(60), SF_WAIT_TIMEOUT);
    EXPECT_GE(ElapsedMs(start), 55);  // a timeout waits its time
    event.Close();
    EXPECT_EQ(event.Wait(0), SF_WAIT_FAILED);
    EXPECT_EQ(event.Create(true, true), 1);
    EXPECT_EQ(event.Wait(0), SF_WAIT_OBJECT_0);
}

// Manual reset (true) stays signalled until Reset and releases every waiter; auto reset
// (false) releases one wait per Set and has no count.
class SFEventReset : public ::testing::TestWithParam<bool> {};

TEST_P(SFEventReset, SignalledStateAndWaiters) {
    const bool manual = GetParam();
    CSFEvent event;
    ASSERT_EQ(event.Create(true, manual), 1);
    EXPECT_EQ(event.Wait(0), SF_WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), manual ? SF_WAIT_OBJECT_0 : SF_WAIT_TIMEOUT);
    event.Reset();
    EXPECT_EQ(event.Wait(0), SF_WAIT_TIMEOUT);
    event.Set();
    event.Set();  // no count: two sets release one wait of an auto-reset event
    EXPECT_EQ(event.Wait(0), SF_WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), manual ? SF_WAIT_OBJECT_0 : SF_WAIT_TIMEOUT);
    event.Reset();

    // Three waiters without a short timeout (a late Set on a loaded machine must not count as
    // a waiter the event did not release); Close ends the waits never released as failed.
    std::atomic<int> woken{0};
    std::atomic<int> failed{0};
    std::thread waiters[3];
    for (auto& waiter : waiters) {
        waiter = std::thread([&] {
            const int result = event.Wait(10000);
            woken += result == SF_WAIT_OBJECT_0 ? 1 : 0;
            failed += result == SF_WAIT_FAILED ? 1 : 0;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    event.Set();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (woken.load() < (manual ? 3 : 1) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // room for a wrong extra one
    EXPECT_EQ(woken.load(), manual ? 3 : 1);
    event.Close();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(woken.load(), manual ? 3 : 1);
    EXPECT_EQ(failed.load(), manual ? 0 : 2);
}

INSTANTIATE_TEST_SUITE_P(ManualReset, SFEventReset, ::testing::Bool());

TEST(SFThread, RunsTheRoutineAndReportsItsIdAndExitCode) {
    CSFThread thread;
    EXPECT_EQ(thread.Wait(0), SF_WAIT_FAILED);  // no thread yet
    EXPECT_EQ(thread.Create(0, nullptr, nullptr, 0, nullptr), 0);
    CSFEvent release;
    ASSERT_EQ(release.Create(false, true), 1);
    struct Seen {
        CSFEvent* release;
        std::atomic<std::uint32_t> id{0};
    } seen{&release};
    auto routine = [](void* p) -> unsigned {
        static_cast<Seen*>(p)->id = CSFThread::GetCurrentThreadID();
        static_cast<Seen*>(p)->release->Wait(10000);
        return 7;
    };
    std::uint32_t id = 0;
    std::uint32_t second = 0;
    ASSERT_EQ(thread.Create(0, routine, &seen, 0, &id), 1);
    EXPECT_EQ(thread.Create(0, routine, &seen, 0, &second), 1);  // starts nothing
    EXPECT_EQ(second, id);
    EXPECT_EQ(thread.Wait(30), SF_WAIT_TIMEOUT);
    release.Set();
    EXPECT_EQ(thread.Wait(10000), SF_WAIT_OBJECT_0);
    EXPECT_EQ(seen.id.load(), id);
    EXPECT_EQ(static_cast<pid_t>(CSFThread::GetCurrentThreadID()), ::getpid());  // main thread
    EXPECT_EQ(thread.ExitCode(), 7);
    EXPECT_EQ(thread.Wait(0), SF_WAIT_OBJECT_0);  // already ended
}

// 1 when another thread could take the lock (and gave it back), 0 when it could not.
int TryLockElsewhere(CSFToolMutex& mutex) {
    int got = -1;
    std::thread([&] {
        got = mutex.TryLock();
        if (got == 1) {
            mutex.Unlock();
        }
    }).join();
    return got;
}

// The owner may lock again, others may not; the scoped lock releases early once or at its end.
TEST(SFToolMutex, RecursiveForItsOwnerAndScopedLockReleasesOnce) {
    CSFToolMutex mutex;
    mutex.Lock();
    EXPECT_EQ(mutex.TryLock(), 1);  // recursive
    EXPECT_EQ(TryLockElsewhere(mutex), 0);
    mutex.Unlock();
    EXPECT_EQ(TryLockElsewhere(mutex), 0);  // still held once
    mutex.Unlock();
    EXPECT_EQ(TryLockElsewhere(mutex), 1);
    {
        CSFToolAutoMutexLock lock(mutex);
        EXPECT_EQ(TryLockElsewhere(mutex), 0);
        lock.Unlock();
        EXPECT_EQ(TryLockElsewhere(mutex), 1);
        lock.Unlock();  // harmless
    }
    {
        CSFToolAutoMutexLock lock(&mutex);
        EXPECT_EQ(TryLockElsewhere(mutex), 0);
    }
    EXPECT_EQ(TryLockElsewhere(mutex), 1);
    CSFToolAutoMutexLock none(static_cast<CSFToolMutex*>(nullptr));
}

// Reads, writes and seeks of one file; directories made and deleted, links inside removed as
// links (what they point to stays).
TEST(SFFile, ReadWriteSeekAndDirectoriesDeletedWithoutFollowingLinks) {
    const testsupport::TempDir dir;
    const std::string path = dir.file("data.bin");
    CSFFile file;
    EXPECT_EQ(file.Open(path.c_str(), SF_GENERIC_READ, 0, SF_OPEN_EXISTING, 0), 0);  // missing
    ASSERT_EQ(file.Open(path.c_str(), SF_GENERIC_READ | SF_GENERIC_WRITE, 0, SF_CREATE_NEW, 0), 1);
    EXPECT_EQ(file.Write("0123456789", 10), 10u);
    EXPECT_EQ(file.Seek(3, SF_FILE_END), 7);  // counts backwards from the end
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(file.Seek(2, SF_FILE_BEGIN), 2);
    EXPECT_EQ(file.Seek(1, SF_FILE_CURRENT), 3);
    EXPECT_EQ(file.Tell(), 3);
    EXPECT_EQ(file.Seek(-1, SF_FILE_BEGIN), -1);
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.Tell(), 10);  // the size query leaves the position at the end
    file.Close();
    EXPECT_EQ(file.Read(buffer, 1), 0u);
    EXPECT_EQ(file.Open(path.c_str(), SF_GENERIC_WRITE, 0, SF_CREATE_NEW, 0), 0);  // exists
    ASSERT_EQ(file.Open(path.c_str(), SF_GENERIC_WRITE, 0, SF_TRUNCATE_EXISTING, 0), 1);
    EXPECT_EQ(file.GetSize(), 0);

    const std::string tree = dir.file("tree");
    ASSERT_EQ(CSFFile::CreateDirectory(tree.c_str()), 1);
    EXPECT_EQ(CSFFile::CreateDirectory(tree.c_str()), 0);
    ASSERT_EQ(CSFFile::CreateDirectory(dir.file("outside").c_str()), 1);
    const std::string keep = dir.write("outside/keep.txt", "k");
    dir.write("tree/sub/a.txt", "a");
    ASSERT_EQ(::symlink(dir.file("outside").c_str(), (tree + "/link").c_str()), 0);
    EXPECT_EQ(CSFFile::DeleteDirectory(tree.c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(tree));
    EXPECT_TRUE(std::filesystem::exists(keep));
    EXPECT_EQ(CSFFile::DeleteFile(keep.c_str()), 1);
    EXPECT_EQ(CSFFile::DeleteFile(keep.c_str()), 0);
    EXPECT_GT(CSFFile::GetFreeDiskSpace(dir.path().c_str()), 0);
    EXPECT_EQ(CSFFile::GetFreeDiskSpace(dir.file("missing").c_str()), -1);
    EXPECT_FALSE(CSFFile::GetCurrentDirectory().empty());
}

// Time conversions run with TZ=UTC (set by the tests' main), so calendar values are exact. An
// accepted record's calendar value converts back to a record of the same value.
struct TimeCase {
    const char* name;
    SFTimeRecord record;
    int accepted;
    long long calendar;
};

class TimeRecordToCalendar : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeRecordToCalendar, RejectsClampsAndConvertsBack) {
    const TimeCase& c = GetParam();
    std::int64_t calendar = -12345;
    EXPECT_EQ(CSFSystem::TimeRecordToCalendar(c.record, &calendar), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(calendar, c.calendar);
        SFTimeRecord back;
        ASSERT_EQ(CSFSystem::CalendarToTimeRecord(calendar, &back), 1);
        EXPECT_EQ(CSFSystem::TimeRecordToCalendar(back, &calendar), 1);
        EXPECT_EQ(calendar, c.calendar);
    } else {
        EXPECT_EQ(calendar, -12345);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeRecordToCalendar,
    ::testing::Values(TimeCase{"Ordinary", {2024, 2, 29, 12, 30, 15}, 1, 1709209815},
                      TimeCase{"LastUnclampedYear", {2037, 12, 31, 23, 59, 59}, 1, 2145916799},
                      TimeCase{"Year2038ClampedTo2037", {2038, 6, 1, 0, 0, 0}, 1, 2127427200},
                      TimeCase{"Year3000ClampedTo2037", {3000, 6, 1, 0, 0, 0}, 1, 2127427200},
                      TimeCase{"Year1899Rejected", {1899, 6, 1, 0, 0, 0}, 0, 0},
                      TimeCase{"Year3001Rejected", {3001, 1, 1, 0, 0, 0}, 0, 0},
                      TimeCase{"Month0Rejected", {2020, 0, 1, 0, 0, 0}, 0, 0},
                      TimeCase{"Month13Rejected", {2020, 13, 1, 0, 0, 0}, 0, 0},
                      TimeCase{"NegativeDayRejected", {2020, 5, -1, 0, 0, 0}, 0, 0},
                      TimeCase{"NegativeHourRejected", {2020, 5, 1, -1, 0, 0}, 0, 0},
                      TimeCase{"NegativeMinuteRejected", {2020, 5, 1, 0, -1, 0}, 0, 0},
                      TimeCase{"NegativeSecondRejected", {2020, 5, 1, 0, 0, -1}, 0, 0},
                      TimeCase{"SecondsCarry", {2020, 1, 1, 0, 0, 60}, 1, 1577836860}),
    [](const ::testing::TestParamInfo<TimeCase>& row) { return std::string(row.param.name); });

TEST(SFSystem, DirectoriesLibrariesStringsAndClock) {
    EXPECT_EQ(CSFSystem::DirectoryOf("/a/b/c.so"), "/a/b/");
    EXPECT_EQ(CSFSystem::DirectoryOf("C:\\x\\y.dll"), "C:\\x\\");
    EXPECT_EQ(CSFSystem::DirectoryOf("plain"), "");
    const std::string exeDir = CSFSystem::GetModuleDirectory(nullptr);
    EXPECT_EQ(exeDir.back(), '/');

    void* library = nullptr;
    void* cosine = CSFSystem::GetLibraryProcAddress("libm.so.6", "cos", &library);
    ASSERT_NE(cosine, nullptr);
    EXPECT_NE(library, nullptr);
    EXPECT_EQ(reinterpret_cast<double (*)(double)>(cosine)(0.0), 1.0);
    EXPECT_NE(CSFSystem::GetModuleDirectory(cosine), exeDir);
    EXPECT_EQ(CSFSystem::FreeLibrary(library), 1);
    EXPECT_EQ(CSFSystem::GetLibraryProcAddress("libm.so.6", "no_such_symbol", &library), nullptr);
    EXPECT_EQ(library, nullptr);
    EXPECT_EQ(CSFSystem::GetLibraryProcAddress("libmissing-xyz.so", "f", nullptr), nullptr);
    EXPECT_EQ(CSFSystem::FreeLibrary(nullptr), 0);

    char small[4];
    EXPECT_EQ(CSFSystem::CopyString(small, sizeof small, "abc"), 1);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(CSFSystem::CopyString(small, sizeof small, "abcdef"), 0);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(CSFSystem::CompareNoCase("Tessaro", "TESSARO"), 0);
    EXPECT_LT(CSFSystem::CompareNoCase(nullptr, "a"), 0);

    SFTimeRecord r;
    EXPECT_EQ(CSFSystem::CalendarToTimeRecord(-1, &r), 0);
    EXPECT_EQ(CSFSystem::CalendarToTimeRecord(40000000000LL, &r), 0);  // year 3237
    EXPECT_EQ(CSFSystem::CalendarToTimeRecord(0, nullptr), 0);
    EXPECT_GE(CSFSystem::GetLocalTime().year, 2024);
    auto start = Clock::now();
    CSFSystem::Sleep(20);
    EXPECT_GE(ElapsedMs(start), 19);
}
