#include "tools/UsdaConverter.h"

#include "core/FileUtil.h"
#include "support/TempDir.h"

#include <archive.h>
#include <archive_entry.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

const fs::path kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24";
constexpr const char* kJarPath = "./usr/share/cronometer/usda_sr24.jar";

using Entries = std::vector<std::pair<std::string, std::string>>;

struct ArchiveWriteDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};

enum class Kind { Zip, TarXz, Ar };

std::string MakeArchive(Kind kind, const Entries& entries) {
    std::unique_ptr<archive, ArchiveWriteDeleter> a(archive_write_new());
    switch (kind) {
        case Kind::Zip: archive_write_set_format_zip(a.get()); break;
        case Kind::TarXz:
            archive_write_set_format_pax_restricted(a.get());
            archive_write_add_filter_xz(a.get());
            break;
        case Kind::Ar: archive_write_set_format_ar_bsd(a.get()); break;
    }
    std::size_t total = 1 << 16;
    for (const auto& [name, data] : entries) total += name.size() + data.size() + 1024;
    std::string buf(total, '\0');
    std::size_t used = 0;
    if (archive_write_open_memory(a.get(), buf.data(), buf.size(), &used) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(a.get()));
    for (const auto& [name, data] : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> e(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(e.get(), name.c_str());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), 0644);
        archive_entry_set_size(e.get(), static_cast<la_int64_t>(data.size()));
        if (archive_write_header(a.get(), e.get()) != ARCHIVE_OK)
            throw std::runtime_error(archive_error_string(a.get()));
        if (archive_write_data(a.get(), data.data(), data.size()) != static_cast<la_ssize_t>(data.size()))
            throw std::runtime_error(archive_error_string(a.get()));
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK) throw std::runtime_error(archive_error_string(a.get()));
    buf.resize(used);
    return buf;
}

// The fixture's files under a folder prefix, as the jar holds them.
Entries FixtureEntries(const std::string& prefix) {
    Entries out{{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n"}};
    for (const auto& f : fs::directory_iterator(kFixture))
        out.emplace_back(prefix + f.path().filename().string(), FileUtil::ReadFile(f.path().string()));
    return out;
}

void Replace(Entries& entries, const std::string& name, const std::string& data) {
    for (auto& e : entries)
        if (e.first == name) e.second = data;
}

std::string MakeJar(const Entries& entries) { return MakeArchive(Kind::Zip, entries); }

std::string MakeDeb(const Entries& dataEntries) {
    return MakeArchive(Kind::Ar,
                       {{"debian-binary", "2.0\n"},
                        {"control.tar.xz", MakeArchive(Kind::TarXz, {{"./control", "Package: cronometer\n"}})},
                        {"data.tar.xz", MakeArchive(Kind::TarXz, dataEntries)}});
}

std::string CopyOfFixture(const TempDir& dir, const std::string& name) {
    fs::copy(kFixture, dir.Path() / name);
    return (dir.Path() / name).string();
}

const std::string& FolderOutput() {
    static const std::string xml = Usda::BuildDataSource(Usda::CUsdaSource::Open(kFixture.string())).xml;
    return xml;
}

struct SourceCase {
    const char* name;
    std::function<std::string(const TempDir&)> make;  // returns the source path
    friend void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }
};

class UsdaSourceKind : public ::testing::TestWithParam<SourceCase> {};

TEST_P(UsdaSourceKind, GivesTheSameFileAsTheFolder) {
    TempDir dir;
    const std::string source = GetParam().make(dir);
    const Usda::ConvertSummary s = Usda::ConvertUsda(source, dir.File("out.xml"));
    EXPECT_EQ(4, s.foods);
    EXPECT_EQ(FolderOutput(), dir.Read("out.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    All, UsdaSourceKind,
    ::testing::Values(SourceCase{"UnpackedJarParent",
                                 [](const TempDir& d) {
                                     CopyOfFixture(d, "usda_sr24");
                                     return d.Path().string();
                                 }},
                      SourceCase{"Jar",
                                 [](const TempDir& d) {
                                     d.Write("usda_sr24.jar", MakeJar(FixtureEntries("usda_sr24/")));
                                     return d.File("usda_sr24.jar");
                                 }},
                      SourceCase{"Deb",
                                 [](const TempDir& d) {
                                     d.Write("cronometer_all.deb",
                                             MakeDeb({{"./usr/share/doc/cronometer/copyright", "public domain\n"},
                                                      {kJarPath, MakeJar(FixtureEntries("usda_sr24/"))}}));
                                     return d.File("cronometer_all.deb");
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::function<std::string(const TempDir&)> make;  // returns the source path
    std::string message;                              // part of the error, naming the file
    friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }
};

class UsdaBadSource : public ::testing::TestWithParam<BadCase> {};

TEST_P(UsdaBadSource, FailsNamingTheFileAndKeepsTheOldOutput) {
    TempDir dir;
    const std::string source = GetParam().make(dir);
    dir.Write("out.xml", "<old/>");
    auto names = [&dir] {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.Path())) out.insert(e.path().filename().string());
        return out;
    };
    const std::set<std::string> before = names();
    try {
        Usda::ConvertUsda(source, dir.File("out.xml"));
        ADD_FAILURE() << "no error";
    } catch (const Usda::ConvertError& e) {
        EXPECT_THAT(e.what(), HasSubstr(GetParam().message));
    }
    EXPECT_EQ("<old/>", dir.Read("out.xml"));
    EXPECT_EQ(before, names()) << "a file was left behind";
}

// A copy of the fixture folder with one file replaced (or removed when data is null).
std::function<std::string(const TempDir&)> FolderWith(const std::string& file, const char* data) {
    return [file, data](const TempDir& d) {
        const std::string folder = CopyOfFixture(d, "usda");
        if (data)
            d.Write("usda/" + file, data);
        else
            fs::remove(fs::path(folder) / file);
        return folder;
    };
}

INSTANTIATE_TEST_SUITE_P(
    All, UsdaBadSource,
    ::testing::Values(
        BadCase{"Missing", [](const TempDir& d) { return d.File("nothing.deb"); },
                "nothing.deb: no such file or folder"},
        BadCase{"TextFile",
                [](const TempDir& d) {
                    d.Write("notes.txt", "01001|Butter\n");
                    return d.File("notes.txt");
                },
                "notes.txt: neither a .deb package, a jar nor a folder"},
        BadCase{"FolderWithoutIndex", FolderWith("foods.index", nullptr), "usda/foods.index: missing"},
        BadCase{"BrokenIndexLine", FolderWith("foods.index", "01001|Butter, salted\r\n1001|Butter\r\n"),
                "usda/foods.index:2: expected NNNNN|name, found '1001|Butter'"},
        BadCase{"ListedFoodWithoutFile", FolderWith("03813.xml", nullptr),
                "usda/03813.xml: missing, though foods.index lists it"},
        BadCase{"FoodNotWellFormed", FolderWith("42128.xml", "<food uid=\"42128\" name=\"Turkey ham\""),
                "usda/42128.xml: not well-formed XML"},
        BadCase{"FoodOfAnotherKind", FolderWith("01001.xml", "<meal uid=\"01001\"/>"),
                "usda/01001.xml: the root element is <meal>, not <food>"},
        BadCase{"NutrientAmountNotANumber",
                FolderWith("19411.xml",
                           "<food uid=\"19411\" name=\"Chips\"><nutrient amount=\"lots\" name=\"Energy\"/></food>"),
                "usda/19411.xml: <nutrient> amount is not a number: 'lots'"},
        BadCase{
            "MeasureWeightInfinite",
            FolderWith("19411.xml",
                       "<food uid=\"19411\" name=\"Chips\"><measure amount=\"1.0\" name=\"oz\" grams=\"inf\"/></food>"),
            "usda/19411.xml: <measure> grams is not a number: 'inf'"},
        BadCase{"FoodWithoutName", FolderWith("19411.xml", "<food uid=\"19411\"/>"),
                "usda/19411.xml: <food> has no name"},
        BadCase{"FileOfAnotherFood", FolderWith("19411.xml", "<food uid=\"19412\" name=\"Chips\"/>"),
                "usda/19411.xml: uid \"19412\" does not match the file name"},
        BadCase{"JarWithoutIndex",
                [](const TempDir& d) {
                    d.Write("x.jar", MakeJar({{"usda_sr24/01001.xml", "<food/>"}}));
                    return d.File("x.jar");
                },
                "x.jar: no foods.index in the archive"},
        BadCase{"BrokenFoodInJar",
                [](const TempDir& d) {
                    Entries entries = FixtureEntries("usda_sr24/");
                    Replace(entries, "usda_sr24/42128.xml", "<food");
                    d.Write("x.jar", MakeJar(entries));
                    return d.File("x.jar");
                },
                "x.jar: usda_sr24/42128.xml: not well-formed XML"},
        BadCase{"TruncatedJar",
                [](const TempDir& d) {
                    const std::string jar = MakeJar(FixtureEntries("usda_sr24/"));
                    d.Write("x.jar", jar.substr(0, jar.size() / 2));
                    return d.File("x.jar");
                },
                "x.jar: "},
        BadCase{"DebWithoutJar",
                [](const TempDir& d) {
                    d.Write("x.deb", MakeDeb({{"./usr/bin/cronometer", "#!/bin/sh\n"}}));
                    return d.File("x.deb");
                },
                "x.deb: the package holds no usr/share/cronometer/usda_sr24.jar"},
        BadCase{"DebWithBrokenJar",
                [](const TempDir& d) {
                    d.Write("x.deb", MakeDeb({{kJarPath, "PK\x03\x04 not really"}}));
                    return d.File("x.deb");
                },
                "x.deb: usr/share/cronometer/usda_sr24.jar: "},
        BadCase{"ArchiveThatIsNoDeb",
                [](const TempDir& d) {
                    d.Write("x.a", MakeArchive(Kind::Ar, {{"x.o", "object"}}));
                    return d.File("x.a");
                },
                "x.a: no data.tar member"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
