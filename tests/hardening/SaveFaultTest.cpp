// Saving a profile and config.xml while a step of the write fails or the process dies: the file
// that was there before must still open as it was, and the user must hear of the failure.

#include "core/FileUtil.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"
#include "document/ProfileDocument.h"
#include "document/fileio/ProfileFile.h"
#include "document/fileio/ProfileName.h"
#include "support/DocumentFixture.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <memory>
#include <set>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

enum class Op { CreateTemp, SetMode, Write, Sync, Close, Link, Rename, OpenFolder };
enum class Target { Profile, Config };

struct SaveStep {
    const char* name;
    Target target;
    Op op;
    int call;         // the how-manieth call of that operation during one save (from 1)
    bool partial;     // a write that gets half the bytes out before the step strikes
    int error;        // errno of the failing call
    bool newInPlace;  // the new file has replaced the old one when this step comes
    friend void PrintTo(const SaveStep& s, std::ostream* os) { *os << s.name; }
};

// File operations that act normally except at one step of a save, where they fail with an error
// or kill the process outright.
class StepOps : public FileUtil::IFileOps {
public:
    enum class Action { Fail, Kill };
    StepOps(const SaveStep& step, Action action) : step_(step), action_(action) { FileUtil::SetFileOps(this); }
    ~StepOps() override { FileUtil::SetFileOps(nullptr); }

    int CreateTemp(std::string& t) override { return At(Op::CreateTemp) ? Strike() : IFileOps::CreateTemp(t); }
    int SetMode(int fd, mode_t m) override { return At(Op::SetMode) ? Strike() : IFileOps::SetMode(fd, m); }
    ssize_t Write(int fd, const char* data, std::size_t size) override {
        if (halfWritten_) return Strike();
        if (!At(Op::Write)) return IFileOps::Write(fd, data, size);
        if (!step_.partial) return Strike();
        halfWritten_ = true;  // a short write; the next call strikes
        return IFileOps::Write(fd, data, size / 2);
    }
    int Sync(int fd) override { return At(Op::Sync) ? Strike() : IFileOps::Sync(fd); }
    int Close(int fd) override { return At(Op::Close) ? Strike(fd) : IFileOps::Close(fd); }
    int Link(const std::string& a, const std::string& b) override {
        return At(Op::Link) ? Strike() : IFileOps::Link(a, b);
    }
    int Rename(const std::string& a, const std::string& b) override {
        return At(Op::Rename) ? Strike() : IFileOps::Rename(a, b);
    }
    int OpenFolder(const std::string& p) override { return At(Op::OpenFolder) ? Strike() : IFileOps::OpenFolder(p); }

    bool Struck() const { return struck_; }

private:
    bool At(Op op) { return op == step_.op && ++calls_ == step_.call; }
    // A failing close still releases the descriptor, as close(2) does.
    int Strike(int fdToRelease = -1) {
        struck_ = true;
        if (action_ == Action::Kill) ::kill(::getpid(), SIGKILL);
        if (fdToRelease >= 0) IFileOps::Close(fdToRelease);
        errno = step_.error;
        return -1;
    }

    SaveStep step_;
    Action action_;
    int calls_ = 0;
    bool halfWritten_ = false;
    bool struck_ = false;
};

// What is saved: versions 1, 2, 3... of one file, each a real change made through the program.
class Saved {
public:
    virtual ~Saved() = default;
    virtual void Change(int version) = 0;
    virtual bool Save() = 0;
    virtual bool Modified() const = 0;
    // Whether the file at `path` opens as a whole file of its kind.
    virtual bool Opens(const std::string& path) const = 0;
    virtual std::string Path() const = 0;
    virtual bool HasBackup() const = 0;
};

class SavedProfile : public Saved {
public:
    explicit SavedProfile(const TempDir& dir) : path_(dir.File("profiles/Ann Lee")) {
        std::filesystem::create_directories(dir.Path() / "profiles");
    }
    void Change(int version) override { doc_.SetDayFact("Weight", 60 + version); }
    bool Save() override { return doc_.OnSaveDocument(path_); }
    bool Modified() const override { return doc_.IsModified(); }
    bool Opens(const std::string& path) const override {
        CSingleDayDocData data(&DocumentFixture::Meals(), &DocumentFixture::Foods());
        std::string error;
        return ReadProfileFile(data, path, error);
    }
    std::string Path() const override { return path_; }
    bool HasBackup() const override { return true; }

private:
    std::string path_;
    CProfileDocument doc_{&DocumentFixture::Meals(), &DocumentFixture::Foods()};
};

class SavedSettings : public Saved {
public:
    explicit SavedSettings(const TempDir& dir) : settings_(dir.Path().string()) {
        dir.Write("config.xml", FileUtil::ReadFile(VELMORA_SOURCE_DIR "/data/config.xml"));
        settings_.AddSection("General", &general_);
        settings_.AddSection("Update", &update_);
        settings_.LoadSettings();
    }
    void Change(int version) override {
        general_.FindChild("Smart Hierarchy Depth")->SetValue(std::to_string(version));
        general_.SetModified(true);
    }
    bool Save() override { return settings_.SaveSettings(); }
    bool Modified() const override { return settings_.IsModified(); }
    bool Opens(const std::string& path) const override {
        Xml::XmlDocument doc;
        return doc.Load(path) && doc.Root().TagName() == "settings";
    }
    std::string Path() const override { return settings_.ConfigPath(); }
    bool HasBackup() const override { return false; }

private:
    Config::General::GeneralManager general_;
    Update::UpdateManager update_;
    Settings::CSettingsMgr settings_;
};

// The visible files of a folder with their bytes (a save's temporary files are hidden ones).
std::map<std::string, std::string> VisibleFiles(const std::filesystem::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string()[0] != '.') out[e.path().filename().string()] = FileUtil::ReadFile(e.path());
    return out;
}

std::vector<std::string> HiddenFiles(const std::filesystem::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string()[0] == '.') out.push_back(e.path().filename().string());
    return out;
}

class SaveFault : public ::testing::TestWithParam<SaveStep> {
protected:
    void SetUp() override {
        if (GetParam().target == Target::Profile)
            saved = std::make_unique<SavedProfile>(dir);
        else
            saved = std::make_unique<SavedSettings>(dir);
        path = saved->Path();
        folder = std::filesystem::path(path).parent_path();
        // Two good saves, so that a backup of the first exists where backups are kept.
        for (int v = 1; v <= 2; ++v) {
            saved->Change(v);
            ASSERT_TRUE(saved->Save());
            versions.push_back(FileUtil::ReadFile(path));
        }
        ASSERT_TRUE(prompt.messages.empty());
        before = VisibleFiles(folder);
        saved->Change(3);
    }

    std::string BackupPath() const { return ProfileBackupPath(path); }

    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    std::unique_ptr<Saved> saved;
    std::string path;
    std::filesystem::path folder;
    std::vector<std::string> versions;  // the bytes of versions 1 and 2
    std::map<std::string, std::string> before;
};

TEST_P(SaveFault, AFailingStepLeavesTheOldFileAndTellsTheUser) {
    const SaveStep& step = GetParam();
    {
        StepOps ops(step, StepOps::Action::Fail);
        EXPECT_FALSE(saved->Save());
        ASSERT_TRUE(ops.Struck()) << "the save never reached the step";
    }
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], HasSubstr(path));
    EXPECT_THAT(prompt.messages[0], HasSubstr(std::strerror(step.error)));
    EXPECT_TRUE(saved->Modified());
    EXPECT_THAT(HiddenFiles(folder), ElementsAre());

    if (!step.newInPlace) {
        EXPECT_EQ(versions[1], FileUtil::ReadFile(path));
    } else if (saved->HasBackup()) {
        // The rename is done and can't be taken back; the backup holds the file it replaced.
        EXPECT_EQ(versions[1], FileUtil::ReadFile(BackupPath()));
    }
    EXPECT_TRUE(saved->Opens(path));
    if (saved->HasBackup()) {
        // Version 1 until the backup was taken, then the file this save was to replace.
        const std::string backup = FileUtil::ReadFile(BackupPath());
        EXPECT_TRUE(backup == versions[0] || backup == versions[1]);
    }
    std::set<std::string> names;
    for (const auto& [name, bytes] : VisibleFiles(folder)) names.insert(name);
    std::set<std::string> namesBefore;
    for (const auto& [name, bytes] : before) namesBefore.insert(name);
    EXPECT_EQ(namesBefore, names);

    // Once the fault is gone the same save goes through.
    prompt.messages.clear();
    ASSERT_TRUE(saved->Save());
    EXPECT_FALSE(saved->Modified());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(saved->Opens(path));
    if (saved->HasBackup() && !step.newInPlace) {
        EXPECT_EQ(versions[1], FileUtil::ReadFile(BackupPath()));
    }
}

TEST_P(SaveFault, AProcessKilledAtTheStepLeavesAWholeFile) {
    const SaveStep& step = GetParam();
    const pid_t child = ::fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        StepOps ops(step, StepOps::Action::Kill);
        saved->Save();
        ::_exit(ops.Struck() ? 2 : 3);  // not killed: the step was never reached
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child ended with " << status;

    const std::string now = FileUtil::ReadFile(path);
    EXPECT_TRUE(saved->Opens(path));
    if (step.newInPlace)
        EXPECT_NE(versions[1], now);
    else
        EXPECT_EQ(versions[1], now);
    if (saved->HasBackup()) {
        // Version 1 until the backup's rename, version 2 after it: always one whole earlier file.
        const std::string backup = FileUtil::ReadFile(BackupPath());
        EXPECT_TRUE(backup == versions[0] || backup == versions[1]);
        EXPECT_THAT(ProfileName::List(folder.string()), ElementsAre("Ann Lee"));
    }
    // What the killed save left behind stands in no later save's way. A killed process that got
    // as far as replacing the file counts as another program, so saving over it is confirmed.
    prompt.answers = {Services::Answer::Yes};
    ASSERT_TRUE(saved->Save());
    EXPECT_TRUE(saved->Opens(path));
    // A profile's save clears away what killed saves of it left.
    if (saved->HasBackup()) {
        EXPECT_THAT(HiddenFiles(folder), ElementsAre());
    }
}

std::vector<SaveStep> Steps() {
    std::vector<SaveStep> out;
    for (Target t : {Target::Profile, Target::Config}) {
        const bool profile = t == Target::Profile;
        auto add = [&](const char* name, Op op, int call, bool partial, int error, bool newInPlace) {
            out.push_back({name, t, op, call, partial, error, newInPlace});
        };
        // Names are the test names: target first.
        if (profile) {
            add("Profile_CreateTemp", Op::CreateTemp, 1, false, ENOSPC, false);
            add("Profile_SetMode", Op::SetMode, 1, false, EPERM, false);
            add("Profile_Write", Op::Write, 1, false, ENOSPC, false);
            add("Profile_PartialWrite", Op::Write, 1, true, ENOSPC, false);
            add("Profile_Fsync", Op::Sync, 1, false, EIO, false);
            add("Profile_Close", Op::Close, 1, false, EIO, false);
            add("Profile_BackupLink", Op::Link, 1, false, EIO, false);
            add("Profile_BackupRename", Op::Rename, 1, false, EIO, false);
            add("Profile_Rename", Op::Rename, 2, false, EIO, false);
            add("Profile_FolderSync", Op::Sync, 2, false, EIO, true);
        } else {
            add("Config_CreateTemp", Op::CreateTemp, 1, false, ENOSPC, false);
            add("Config_SetMode", Op::SetMode, 1, false, EPERM, false);
            add("Config_Write", Op::Write, 1, false, ENOSPC, false);
            add("Config_PartialWrite", Op::Write, 1, true, ENOSPC, false);
            add("Config_Fsync", Op::Sync, 1, false, EIO, false);
            add("Config_Close", Op::Close, 1, false, EIO, false);
            add("Config_Rename", Op::Rename, 1, false, EIO, false);
            add("Config_FolderSync", Op::Sync, 2, false, EIO, true);
        }
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Steps, SaveFault, ::testing::ValuesIn(Steps()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
