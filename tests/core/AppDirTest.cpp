#include "core/AppDir.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

TEST(AppDir, ResolutionOrder) {
    TempDir tmp;
    tmp.Write("exe/config.xml", "<settings/>");
    tmp.Write("installed/config.xml", "<settings><section name='General'/></settings>");
    std::filesystem::create_directories(tmp.Path() / "bare-exe");

    AppDir::Inputs in;
    in.exeDir = tmp.File("exe");
    in.dataHome = tmp.File("home");
    in.installedData = tmp.File("installed");

    in.option = tmp.File("opt") + "/";
    in.env = tmp.File("env");
    EXPECT_EQ(tmp.File("opt"), AppDir::Resolve(in));
    in.option.reset();
    EXPECT_EQ(tmp.File("env"), AppDir::Resolve(in));
    in.env = "";
    EXPECT_EQ(tmp.File("exe"), AppDir::Resolve(in));

    // An installed program has no config.xml beside it: the user's data folder is created and seeded.
    in.exeDir = tmp.File("bare-exe");
    EXPECT_EQ(tmp.File("home/velmora"), AppDir::Resolve(in));
    EXPECT_EQ(tmp.Read("installed/config.xml"), tmp.Read("home/velmora/config.xml"));

    // The installation's read-only data is reached through links from the user's folder.
    tmp.Write("installed/xslt/HTML.xsl", "<xsl/>");
    AppDir::Resolve(in);
    EXPECT_EQ("<xsl/>", tmp.Read("home/velmora/xslt/HTML.xsl"));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp.Path() / "home/velmora/xslt"));
    EXPECT_FALSE(std::filesystem::exists(tmp.Path() / "home/velmora/help"));

    // Seeding never overwrites what the user has.
    tmp.Write("home/velmora/config.xml", "<settings>mine</settings>");
    AppDir::Resolve(in);
    EXPECT_EQ("<settings>mine</settings>", tmp.Read("home/velmora/config.xml"));
}

TEST(AppDir, SharedFilesComeFromTheFolderElseFromWhereTheProgramCameWith) {
    TempDir tmp;
    tmp.Write("build/xslt/HTML.xsl", "build");
    tmp.Write("installed/xslt/HTML.xsl", "installed");
    tmp.Write("installed/help/reference/index.htm", "installed help");
    const std::vector<std::string> fallbacks{tmp.File("build"), tmp.File("installed") + "/"};
    auto shared = [&](const std::string& relative) {
        return AppDir::SharedFile(tmp.File("mine"), relative, fallbacks);
    };

    EXPECT_EQ(tmp.File("build/xslt/HTML.xsl"), shared("/xslt/HTML.xsl"));
    EXPECT_EQ(tmp.File("installed/help/reference/index.htm"), shared("/help/reference/index.htm"));
    // Found nowhere: the folder's own path, to be named in the message.
    EXPECT_EQ(tmp.File("mine/xslt/Gone.xsl"), shared("/xslt/Gone.xsl"));
    // A folder where a file should be is no template.
    std::filesystem::create_directories(tmp.Path() / "mine/xslt/HTML.xsl");
    EXPECT_EQ(tmp.File("build/xslt/HTML.xsl"), shared("/xslt/HTML.xsl"));

    tmp.Write("mine/help/reference/index.htm", "mine");
    EXPECT_EQ(tmp.File("mine/help/reference/index.htm"), shared("/help/reference/index.htm"));
}

namespace {

namespace fs = std::filesystem;

// The names in a folder, sorted, with the files of its subfolders as "sub/name".
std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::recursive_directory_iterator(); ++it)
        names.push_back(it->path().lexically_relative(dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

// A build tree: settings, help, templates and two food tables, besides its own foods.
void WriteBuildTree(const TempDir& tmp) {
    tmp.Write("build/config.xml", "<settings><section name='General'/></settings>");
    tmp.Write("build/xslt/HTML.xsl", "<xsl/>");
    tmp.Write("build/help/reference/index.htm", "help");
    tmp.Write("build/foods/usda.xml", "usda");
    tmp.Write("build/foods/my-foods.xml", "the build tree's own foods");
    tmp.Write("build/foods/my-foods.xml~", "their backup");
}

AppDir::Inputs NamedByOption(const TempDir& tmp, const std::string& folder) {
    AppDir::Inputs in;
    in.option = tmp.File(folder);
    in.exeDir = tmp.File("build");
    in.dataHome = tmp.File("home");
    in.installedData = tmp.File("not-installed");
    return in;
}

}  // namespace

TEST(AppDir, ANewOrEmptyNamedFolderIsSetUpFromTheProgramsData) {
    for (const bool exists : {false, true}) {
        for (const bool byEnv : {false, true}) {
            SCOPED_TRACE(std::string(exists ? "empty" : "new") + (byEnv ? ", VELMORA_HOME" : ", --app-dir"));
            TempDir tmp;
            WriteBuildTree(tmp);
            if (exists) fs::create_directories(tmp.Path() / "mine");
            AppDir::Inputs in = NamedByOption(tmp, exists ? "mine" : "mine/new");
            if (byEnv) std::swap(in.option, in.env);
            const std::string dir = AppDir::ResolveAndSetUp(in);

            EXPECT_EQ(*(byEnv ? in.env : in.option), dir);
            const fs::path app(dir);
            EXPECT_EQ(tmp.Read("build/config.xml"), tmp.Read(fs::relative(app / "config.xml", tmp.Path())));
            EXPECT_FALSE(fs::is_symlink(app / "config.xml"));
            EXPECT_TRUE(fs::is_symlink(app / "xslt"));
            EXPECT_TRUE(fs::is_symlink(app / "help"));
            EXPECT_TRUE(fs::exists(app / "help/reference/index.htm"));
            // The folder's own foods go into a foods folder of its own, beside a link to each table.
            EXPECT_FALSE(fs::is_symlink(app / "foods"));
            EXPECT_TRUE(fs::is_symlink(app / "foods/usda.xml"));
            EXPECT_EQ((std::vector<std::string>{"config.xml", "foods", "foods/usda.xml", "help", "xslt"}),
                      Listing(app));
        }
    }
}

TEST(AppDir, SettingUpAgainAddsOnlyWhatIsMissing) {
    TempDir tmp;
    WriteBuildTree(tmp);
    const AppDir::Inputs in = NamedByOption(tmp, "mine");
    AppDir::ResolveAndSetUp(in);
    tmp.Write("mine/config.xml", "<settings>mine</settings>");
    tmp.Write("mine/foods/my-foods.xml", "mine");
    tmp.Write("build/foods/ifct.xml", "a table installed later");

    AppDir::ResolveAndSetUp(in);
    EXPECT_EQ("<settings>mine</settings>", tmp.Read("mine/config.xml"));
    EXPECT_EQ("mine", tmp.Read("mine/foods/my-foods.xml"));
    EXPECT_EQ("the build tree's own foods", tmp.Read("build/foods/my-foods.xml"));
    EXPECT_EQ("a table installed later", tmp.Read("mine/foods/ifct.xml"));
}

TEST(AppDir, AnInstallationWithSettingsSeedsBeforeTheProgramsFolder) {
    TempDir tmp;
    WriteBuildTree(tmp);
    tmp.Write("installed/config.xml", "<settings>installed</settings>");
    AppDir::Inputs in = NamedByOption(tmp, "mine");
    EXPECT_EQ(tmp.File("build"), AppDir::SeedDir(in));
    in.installedData = tmp.File("installed");
    EXPECT_EQ(tmp.File("installed"), AppDir::SeedDir(in));
    AppDir::ResolveAndSetUp(in);
    EXPECT_EQ("<settings>installed</settings>", tmp.Read("mine/config.xml"));
    // What the installation lacks is not taken from elsewhere.
    EXPECT_FALSE(fs::exists(tmp.Path() / "mine/help"));
}

TEST(AppDir, AFolderHoldingSomethingElseIsRefusedAndLeftAsItIs) {
    struct Case {
        const char* what;
        std::vector<const char*> files;  // written into the folder before
        const char* refusal;             // a part of the message; null: the folder is taken
    };
    const std::vector<Case> cases = {
        {"documents", {"notes.txt", "photos/a.jpg"}, "holds files that are not Velmora's (notes.txt, photos)"},
        {"many documents", {"a", "b", "c", "d", "e"}, "(a, b, c and 2 more)"},
        {"what the program wrote", {"profiles/Ann", "log.txt", "config.xml.broken", "export.htm"}, nullptr},
        {"settings beside anything", {"config.xml", "notes.txt"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tmp;
        WriteBuildTree(tmp);
        for (const char* file : c.files) tmp.Write(std::string("mine/") + file, "x");
        const std::vector<std::string> before = Listing(tmp.Path() / "mine");
        if (!c.refusal) {
            EXPECT_NO_THROW(AppDir::ResolveAndSetUp(NamedByOption(tmp, "mine")));
            EXPECT_TRUE(fs::exists(tmp.Path() / "mine/foods/usda.xml"));
            continue;
        }
        try {
            AppDir::ResolveAndSetUp(NamedByOption(tmp, "mine"));
            ADD_FAILURE() << "taken";
        } catch (const AppDir::Refused& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(tmp.File("mine")));
            EXPECT_THAT(e.what(), ::testing::HasSubstr(c.refusal));
        }
        EXPECT_EQ(before, Listing(tmp.Path() / "mine"));
    }

    TempDir tmp;
    tmp.Write("file", "x");
    EXPECT_THROW(AppDir::ResolveAndSetUp(NamedByOption(tmp, "file")), AppDir::Refused);
    EXPECT_THROW(AppDir::ResolveAndSetUp(NamedByOption(tmp, "file/below")), AppDir::Refused);
    EXPECT_EQ("x", tmp.Read("file"));
}
