#include "AppDir.h"

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

}  // namespace

std::string Resolve(const Inputs& in) {
    std::error_code ec;
    if (in.option && !in.option->empty()) return WithoutTrailingSlash(fs::absolute(*in.option, ec).string());
    if (in.env && !in.env->empty()) return WithoutTrailingSlash(fs::absolute(*in.env, ec).string());
    if (!in.exeDir.empty() && fs::exists(fs::path(in.exeDir) / "config.xml", ec))
        return WithoutTrailingSlash(in.exeDir);

    const fs::path dir = fs::path(in.dataHome) / "velmora";
    fs::create_directories(dir, ec);
    const fs::path installed(in.installedData);
    const fs::path seed = installed / "config.xml";
    if (!fs::exists(dir / "config.xml", ec) && fs::exists(seed, ec))
        fs::copy_file(seed, dir / "config.xml", fs::copy_options::skip_existing, ec);
    // The read-only data of the installation is linked, not copied, so an upgrade of the program
    // brings new templates, help and food data to every user; the user's own files stay apart.
    for (const char* shared : {"foods", "xslt", "help"}) {
        if (!fs::exists(installed / shared, ec)) continue;
        if (fs::exists(fs::symlink_status(dir / shared, ec))) continue;
        fs::create_directory_symlink(installed / shared, dir / shared, ec);
    }
    return WithoutTrailingSlash(dir.string());
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
