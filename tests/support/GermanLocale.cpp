#include "support/GermanLocale.h"

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <unistd.h>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLocale = "de_DE.UTF-8";

// Loads the locale from `folder` (LOCPATH); glibc reads LOCPATH when it loads a locale, and once
// loaded the locale stays without it.
bool LoadFrom(const fs::path& folder) {
    if (!fs::exists(folder / kLocale)) return false;
    setenv("LOCPATH", folder.c_str(), 1);
    const bool loaded = std::setlocale(LC_NUMERIC, kLocale) != nullptr;
    unsetenv("LOCPATH");
    return loaded;
}

// Generated locales are kept for later test runs (each test runs in a process of its own), in a
// folder of the user's under the temporary folder; a new one is made beside it and renamed in,
// so tests running at once never see half of one.
fs::path CacheFolder() { return fs::temp_directory_path() / ("velmora-test-locales-" + std::to_string(getuid())); }

std::string Generate() {
    std::string localedef;
    for (const char* candidate : {"/usr/bin/localedef", "/usr/sbin/localedef"})
        if (fs::exists(candidate)) localedef = candidate;
    if (localedef.empty()) return "localedef is missing (Debian package libc-bin)";
    if (!fs::exists("/usr/share/i18n/locales/de_DE")) return "the locale sources are missing (Debian package locales)";
    std::error_code ec;
    fs::create_directories(CacheFolder(), ec);
    TempDir scratch;
    // localedef exits with 1 for mere warnings; whether the locale loads is what counts.
    const ProgramRun run = RunProgram(localedef, {"-i", "de_DE", "-f", "UTF-8", scratch.File(kLocale)}, scratch);
    if (!fs::exists(scratch.File(kLocale))) return "localedef failed (" + std::to_string(run.code) + "): " + run.err;
    fs::rename(scratch.File(kLocale), CacheFolder() / kLocale, ec);
    if (LoadFrom(CacheFolder())) return {};
    // The cache may be unwritable; the generated locale is still in the scratch folder then.
    return LoadFrom(scratch.Path()) ? std::string() : "the generated locale does not load";
}

}  // namespace

ScopedGermanNumbers::ScopedGermanNumbers() {
    if (std::setlocale(LC_NUMERIC, kLocale) || LoadFrom(CacheFolder())) {
        active_ = true;
        return;
    }
    const std::string failure = Generate();
    active_ = failure.empty();
    if (!active_) why_ = std::string(kLocale) + " is not installed and could not be generated: " + failure;
}

ScopedGermanNumbers::~ScopedGermanNumbers() {
    if (active_) std::setlocale(LC_NUMERIC, "C");
}
