#include "AppDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef VELMORA_INSTALLED_DATA
#define VELMORA_INSTALLED_DATA "/usr/local/share/velmora"
#endif

namespace fs = std::filesystem;

namespace AppDir {

namespace {

std::string WithoutTrailingSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::optional<std::string>& Current() {
    static std::optional<std::string> dir;
    return dir;
}

// The user's own foods in a foods folder (refdata's MyFoods), never linked from another folder.
constexpr const char* kOwnFoods = "my-foods.xml";

// What the program writes into an application folder; "config.xml" and "log.txt" also stand for
// their backups and the settings kept aside.
bool ProgramWrites(const std::string& name) {
    for (const char* own : {"profiles", "foods", "xslt", "help", "export.htm", "export.xml"})
        if (name == own) return true;
    return name.rfind("config.xml", 0) == 0 || name.rfind("log.txt", 0) == 0;
}

// A folder with a config.xml is an application folder, whoever put it there; any other must hold
// only what the program writes, so that a folder of documents named by mistake is not filled
// with the program's files.
void RefuseForeignFolder(const fs::path& folder) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) return;
    if (!fs::is_directory(folder, ec))
        throw Refused("The application folder " + folder.string() + " is a file, not a folder.");
    if (fs::exists(fs::symlink_status(folder / "config.xml", ec))) return;
    std::vector<std::string> foreign;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!ProgramWrites(name)) foreign.push_back(name);
    }
    if (ec) throw Refused("Can't read the application folder " + folder.string() + ": " + ec.message());
    if (foreign.empty()) return;
    std::sort(foreign.begin(), foreign.end());
    std::string names;
    for (std::size_t i = 0; i < foreign.size() && i < 3; ++i) names += (i ? ", " : "") + foreign[i];
    if (foreign.size() > 3) names += " and " + std::to_string(foreign.size() - 3) + " more";
    throw Refused("The folder " + folder.string() +
                  " can't be the application folder: it holds files that are not Velmora's (" + names +
                  ").\nName a new or empty folder, or one Velmora has set up before.");
}

}  // namespace

std::string Resolve(const Inputs& in) {
    std::error_code ec;
    if (in.option && !in.option->empty()) return WithoutTrailingSlash(fs::absolute(*in.option, ec).string());
    if (in.env && !in.env->empty()) return WithoutTrailingSlash(fs::absolute(*in.env, ec).string());
    if (!in.exeDir.empty() && fs::exists(fs::path(in.exeDir) / "config.xml", ec))
        return WithoutTrailingSlash(in.exeDir);

    const std::string dir = (fs::path(in.dataHome) / "velmora").string();
    try {
        SetUp(dir, in.installedData);
    } catch (const Refused&) {
        // Not even a folder: the settings' reader names the path when it finds nothing there.
    }
    return WithoutTrailingSlash(dir);
}

std::string SeedDir(const Inputs& in) {
    std::error_code ec;
    for (const std::string& dir : {in.installedData, in.exeDir})
        if (!dir.empty() && fs::is_regular_file(fs::path(dir) / "config.xml", ec)) return WithoutTrailingSlash(dir);
    return {};
}

void SetUp(const std::string& dir, const std::string& seed) {
    std::error_code ec;
    const fs::path folder(dir);
    if (!fs::is_directory(folder, ec) && !fs::create_directories(folder, ec))
        throw Refused("Can't create the application folder " + dir + ": " +
                      (ec ? ec.message() : std::string("a file has that name")));
    if (seed.empty() || fs::equivalent(folder, seed, ec)) return;

    const fs::path installed(seed);
    if (!fs::exists(fs::symlink_status(folder / "config.xml", ec)) && fs::exists(installed / "config.xml", ec))
        fs::copy_file(installed / "config.xml", folder / "config.xml", fs::copy_options::skip_existing, ec);
    // The read-only data of the installation is linked, not copied, so an upgrade of the program
    // brings new templates, help and food data to every user; the user's own files stay apart.
    for (const char* shared : {"xslt", "help"}) {
        if (!fs::is_directory(installed / shared, ec)) continue;
        if (fs::exists(fs::symlink_status(folder / shared, ec))) continue;
        fs::create_directory_symlink(installed / shared, folder / shared, ec);
    }
    // The foods folder also takes the user's own foods, so it is the user's with a link to each
    // table; an older folder that links the whole of it is left as it is.
    const fs::path foods = installed / "foods";
    if (!fs::is_directory(foods, ec)) return;
    if (!fs::exists(fs::symlink_status(folder / "foods", ec))) fs::create_directory(folder / "foods", ec);
    if (fs::is_symlink(folder / "foods", ec) || !fs::is_directory(folder / "foods", ec)) return;
    for (const fs::directory_entry& entry : fs::directory_iterator(foods, ec)) {
        const std::string name = entry.path().filename().string();
        // A build tree is an application folder too: its own foods and backups stay its own.
        if (!entry.is_regular_file(ec) || name == kOwnFoods || name.back() == '~') continue;
        const fs::path link = folder / "foods" / name;
        if (!fs::exists(fs::symlink_status(link, ec))) fs::create_symlink(entry.path(), link, ec);
    }
}

std::string ResolveAndSetUp(const Inputs& in) {
    const std::string dir = Resolve(in);
    const bool named = (in.option && !in.option->empty()) || (in.env && !in.env->empty());
    if (!named) return dir;
    RefuseForeignFolder(dir);
    SetUp(dir, SeedDir(in));
    return dir;
}

Inputs FromEnvironment(const std::optional<std::string>& option) {
    Inputs in;
    in.option = option;
    if (const char* home = std::getenv("VELMORA_HOME")) in.env = home;
    in.exeDir = ExecutableDir();
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        in.dataHome = xdg;
    } else {
        const char* home = std::getenv("HOME");
        in.dataHome = std::string(home ? home : ".") + "/.local/share";
    }
    in.installedData = VELMORA_INSTALLED_DATA;
    return in;
}

void Set(const std::string& dir) { Current() = WithoutTrailingSlash(dir); }

const std::string& Get() {
    if (!Current()) {
        const Inputs in = FromEnvironment({});
        Current().emplace(Resolve(in));
    }
    return *Current();
}

std::string SharedFile(const std::string& appDir, const std::string& relative,
                       const std::vector<std::string>& fallbacks) {
    std::error_code ec;
    const std::string own = appDir + relative;
    if (fs::is_regular_file(own, ec)) return own;
    for (const std::string& dir : fallbacks) {
        if (dir.empty()) continue;
        const std::string candidate = WithoutTrailingSlash(dir) + relative;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return own;
}

std::string SharedFile(const std::string& appDir, const std::string& relative) {
    return SharedFile(appDir, relative, {ExecutableDir(), VELMORA_INSTALLED_DATA});
}

std::string ExecutableDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace AppDir
