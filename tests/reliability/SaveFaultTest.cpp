// What the user keeps, under faults: the settings file (saved through the atomic replacement)
// and an exported workbook. Each fault runs the save in a child process: the disk full at every
// byte the save writes (RLIMIT_FSIZE), the process killed at every system call stop of the save
// (ptrace), and the target's surroundings changed (a read-only folder, a folder or a link in its
// place). Afterwards the target is the old file or the complete new one, and a save that
// reported success left the new one, a save that reported failure the old one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "Main/xlsx/ExportData.h"
#include "Main/xlsx/WorkbookPatch.h"
#include "framework/os/SFAtomicFile.h"
#include "shell/AppSettings.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

// One kind of file: how to write version 0 (old) or 1 (new) to a path, and whether bytes are
// the complete new version.
struct Kept {
    const char* name;
    const char* fileName;
    std::function<bool(const std::string& path, int version)> save;
    std::function<bool(const std::string& bytes, const std::string& old)> isNew;
};

bool SaveSettings(const std::string& path, int version) {
    CAppSettings settings;
    settings.LoadSettings(nullptr);
    settings.m_language = version;
    settings.SetFilePath(path);
    return settings.SaveSettings();
}

std::wstring Identity(const wchar_t* key) { return key; }

bool Export(const std::string& path, int version) {
    SpecSheetValues values;
    for (size_t i = 0; i < SpecSheetValues::kCount; ++i) {
        values.fields[i] = std::to_wstring(version * 1000 + int(i));
    }
    const fs::path p(path);
    return ExportData(p.parent_path().wstring(), p.stem().wstring(), values, nullptr,
                      &Identity) == ExportResult::Exported;
}

const Kept kKept[] = {
    {"settings", "config.xml", &SaveSettings,
     [](const std::string& bytes, const std::string&) {
         CAppSettings s;
         s.LoadSettings(nullptr);
         s.m_language = 1;
         return bytes == s.SettingsText();
     }},
    {"workbook", "book.xlsx", &Export,
     [](const std::string& bytes, const std::string& old) {
         return bytes != old && XlsxPatch::CWorkbookPatch::Load(bytes) != nullptr;
     }},
};

enum class Outcome { Saved, Failed, Killed };

// Saves version 1 in a child. fileLimit: the largest file it may write; killAt >= 0: the child
// is traced and killed at that system call stop (entry and exit count separately).
Outcome SaveInChild(const Kept& kept, const std::string& path, rlim_t fileLimit, int killAt) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (killAt >= 0) {
            if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
                ::_exit(3);  // not traceable here: reported as a failed save, the test fails
            }
            ::raise(SIGSTOP);
        }
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
        const rlimit limit{fileLimit, fileLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(kept.save(path, 1) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    for (int stop = 0; killAt >= 0 && WIFSTOPPED(status); ++stop) {
        if (stop == killAt) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return Outcome::Killed;
        }
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, nullptr);
        ::waitpid(pid, &status, 0);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::Saved : Outcome::Failed;
}

bool TempFileLeft(const std::string& dir) {
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind(SF_SOFT_BASE::kTempPrefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

class SaveFault : public testing::TestWithParam<Kept> {
protected:
    void SetUp() override {
        path = dir.file(GetParam().fileName);
        ASSERT_TRUE(GetParam().save(path, 0));
        old = TempDir::read(path);
    }
    // The target after a save that ended with `outcome`; restores the old file for the next run.
    void Check(Outcome outcome, const std::string& context) {
        SCOPED_TRACE(context);
        const std::string now = TempDir::read(path);
        const bool isNew = GetParam().isNew(now, old);
        EXPECT_TRUE(now == old || isNew) << "neither the old nor the complete new file";
        if (outcome == Outcome::Saved) {
            EXPECT_TRUE(isNew) << "success reported, new file missing";
        } else if (outcome == Outcome::Failed) {
            EXPECT_EQ(now, old) << "failure reported, old file changed";
            EXPECT_FALSE(TempFileLeft(dir.path()));
        }
        for (const auto& e : fs::directory_iterator(dir.path())) {
            if (e.path() != fs::path(path)) {
                fs::remove_all(e.path());
            }
        }
        dir.write(GetParam().fileName, old);
    }
    TempDir dir;
    std::string path;
    std::string old;
};

TEST_P(SaveFault, DiskFullAtEveryWrite) {
    const rlim_t step = old.size() > 512 ? 97 : 1;
    Outcome outcome = Outcome::Failed;
    for (rlim_t limit = 0; outcome != Outcome::Saved; limit += step) {
        outcome = SaveInChild(GetParam(), path, limit, -1);
        Check(outcome, "file size limit " + std::to_string(limit));
        ASSERT_LT(limit, 64u * 1024) << "the save never succeeded";
    }
}

TEST_P(SaveFault, KilledAtEveryStep) {
    Outcome outcome = Outcome::Killed;
    int stop = 0;
    for (; outcome == Outcome::Killed; ++stop) {
        outcome = SaveInChild(GetParam(), path, RLIM_INFINITY, stop);
        Check(outcome, "killed at system call stop " + std::to_string(stop));
        ASSERT_LT(stop, 100000);
    }
    EXPECT_EQ(outcome, Outcome::Saved);
    EXPECT_GT(stop, 10) << "the kill points did not reach the save";
}

// The target's surroundings changed before the save; `expectFailure`: the save must fail.
struct Surroundings {
    const char* name;
    std::function<void(const std::string& dir, const std::string& path)> change;
    bool expectFailure;
};

const Surroundings kSurroundings[] = {
    {"read-only folder", [](const std::string& d, const std::string&) { ::chmod(d.c_str(), 0555); },
     false},
    {"folder in its place",
     [](const std::string&, const std::string& p) {
         fs::remove(p);
         fs::create_directories(p + "/inside");
     },
     true},
    {"link to a folder",
     [](const std::string& d, const std::string& p) {
         fs::remove(p);
         fs::create_directories(d + "/sub");
         fs::create_symlink(d + "/sub", p);
     },
     true},
};

TEST_P(SaveFault, ChangedSurroundings) {
    for (const Surroundings& s : kSurroundings) {
        SCOPED_TRACE(s.name);
        TempDir here;
        const std::string target = here.file(GetParam().fileName);
        ASSERT_TRUE(GetParam().save(target, 0));
        const std::string before = TempDir::read(target);
        s.change(here.path(), target);
        const bool saved = GetParam().save(target, 1);
        ::chmod(here.path().c_str(), 0755);
        if (s.expectFailure) {
            EXPECT_FALSE(saved);
            EXPECT_TRUE(fs::is_directory(target));
            EXPECT_FALSE(TempFileLeft(here.path()));
        } else {
            const std::string now = TempDir::read(target);
            EXPECT_TRUE(saved ? GetParam().isNew(now, before) : now == before);
        }
    }
}

TEST_P(SaveFault, LinkStaysALink) {
    const std::string real = dir.file("real");
    fs::rename(path, real);
    fs::create_symlink(real, path);
    EXPECT_TRUE(GetParam().save(path, 1));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_TRUE(GetParam().isNew(TempDir::read(real), old));
}

INSTANTIATE_TEST_SUITE_P(Kept, SaveFault, testing::ValuesIn(kKept),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
