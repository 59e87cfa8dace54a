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
