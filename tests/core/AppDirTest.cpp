#include "core/AppDir.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

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
