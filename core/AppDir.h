#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The application folder: where config.xml, profiles/, log.txt and the export files live.
namespace AppDir {

struct Inputs {
    std::optional<std::string> option;  // --app-dir DIR
    std::optional<std::string> env;     // VELMORA_HOME
    std::string exeDir;                 // folder of the running program
    std::string dataHome;               // $XDG_DATA_HOME, or ~/.local/share
    std::string installedData;          // read-only data of an installation (seeds a new folder)
};

// --app-dir, else VELMORA_HOME, else the program's folder when it holds config.xml (build tree,
// portable use), else <data home>/velmora, set up from the installation (SetUp). The result has
// no trailing separator.
std::string Resolve(const Inputs& in);

// A folder that can't be the application folder: it holds files of its own, is no folder, or
// can't be made.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The read-only data a new folder is set up from: the installation's when it holds config.xml,
// else the program's folder when that does (a build tree, portable use); empty when neither does.
std::string SeedDir(const Inputs& in);

// Makes `dir` an application folder: creates it, copies the seed's config.xml when it has none,
// links the seed's report templates and help, and makes a foods folder of its own holding a link
// to each food table of the seed (the user's own foods are written there, never into the
// installation). Only what is missing is added, so every start brings what a newer installation
// added. Throws Refused when the folder can't be made.
void SetUp(const std::string& dir, const std::string& seed);

// Resolve, and a folder named by --app-dir or VELMORA_HOME set up as the default one is. Such a
// folder is refused (Refused) when it holds no config.xml and anything the program does not write
// there.
std::string ResolveAndSetUp(const Inputs& in);

// Inputs from the environment and the running program, with the given --app-dir value.
Inputs FromEnvironment(const std::optional<std::string>& option);

// Resolved once at start-up; Get() before Set() resolves from the environment without option.
void Set(const std::string& dir);
const std::string& Get();

std::string ExecutableDir();

// A read-only file of the program's data ("/xslt/HTML.xsl", "/help/reference/index.htm"): the
// one in `appDir` when it is there, else the one beside the running program (a build tree), else
// the installed one; a folder named with --app-dir needs to hold only the user's own files. When
// none exists, the path in `appDir`, so that a message names where it was looked for first.
std::string SharedFile(const std::string& appDir, const std::string& relative);
// The same with the folders to look in after `appDir` given.
std::string SharedFile(const std::string& appDir, const std::string& relative,
                       const std::vector<std::string>& fallbacks);

}  // namespace AppDir
