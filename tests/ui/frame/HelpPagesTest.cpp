#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = VELMORA_SOURCE_DIR;
const fs::path kHelp = kSource / "data" / "help";

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasAnchor(const std::string& page, const std::string& anchor) {
    return page.find("id=\"" + anchor + "\"") != std::string::npos ||
           page.find("name=\"" + anchor + "\"") != std::string::npos;
}

// Every "/help/..." text in the program's code, with its anchor when it has one.
std::set<std::string> HelpPagesNamedByTheProgram() {
    static const std::regex literal(R"re("(/help/[^"]+)")re");
    std::set<std::string> pages;
    for (const char* folder : {"app", "ui", "widgets", "document", "core"}) {
        if (!fs::exists(kSource / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string text = Read(entry.path());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it)
                pages.insert((*it)[1].str());
        }
    }
    return pages;
}

TEST(HelpPages, EveryPageTheProgramOpensExistsWithItsAnchor) {
    const std::set<std::string> named = HelpPagesNamedByTheProgram();
    ASSERT_TRUE(named.count("/help/reference/index.htm")) << "the search for help texts found nothing";
    for (const std::string& url : named) {
        const std::size_t hash = url.find('#');
        const fs::path file = kHelp / url.substr(6, hash - 6);  // after "/help/"
        ASSERT_TRUE(fs::is_regular_file(file)) << url;
        if (hash != std::string::npos) {
            EXPECT_TRUE(HasAnchor(Read(file), url.substr(hash + 1))) << url;
        }
    }
}

TEST(HelpPages, LinksBetweenPagesLeadToPagesAndPlacesThatExist) {
    static const std::regex link(R"re((?:href|src)="([^"]+)")re");
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kHelp)) {
        if (entry.path().extension() != ".htm") continue;
        ++pages;
        const std::string text = Read(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1].str();
            if (target.find("://") != std::string::npos) continue;
            const std::size_t hash = target.find('#');
            const fs::path file = hash == 0 ? entry.path() : entry.path().parent_path() / target.substr(0, hash);
            ASSERT_TRUE(fs::is_regular_file(file)) << entry.path() << ": " << target;
            if (hash != std::string::npos) {
                EXPECT_TRUE(HasAnchor(Read(file), target.substr(hash + 1))) << entry.path() << ": " << target;
            }
        }
    }
    EXPECT_GT(pages, 0);
}

}  // namespace
