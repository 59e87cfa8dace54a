#include "Commands.h"

#include "core/LoadReport.h"
#include "document/ProfileDocument.h"
#include "document/fileio/ProfileFile.h"
#include "document/fileio/ProfileName.h"
#include "model/Meal.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace Cli {

namespace {

const Meal::CMealManager& Meals() {
    static const Meal::CMealManager meals;
    return meals;
}

std::string TakeFile(std::vector<std::string>& args, const std::string& command) {
    if (args.size() != 1) throw UsageError(command + " needs one profile file");
    return args.front();
}

// A profile as a new document window starts it: today's empty day, the built-in facts and every
// nutrient of the data source followed.
int New(CliContext& ctx, std::vector<std::string>& args) {
    const std::string path = TakeFile(args, "profile new");
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw std::runtime_error("'" + path + "' exists already; it is left as it is");
    CProfileDocument doc(&Meals(), &ctx.DataSource());
    doc.OnNewDocument();
    return doc.OnSaveDocument(path) ? 0 : 1;
}

// Reads the profile as opening it would, and lists what reading had to drop.
int Check(CliContext& ctx, std::vector<std::string>& args) {
    const std::string path = TakeFile(args, "profile check");
    const CDataSourceMgr& source = ctx.DataSource();
    CSingleDayDocData data(&Meals(), &source);
    std::string error;
    if (!ReadProfileFile(data, path, error)) {
        std::cerr << error;
        if (error.empty() || error.back() != '\n') std::cerr << '\n';
        return 1;
    }
    std::cout << LoadReport::FormatLost("", "\t", "\n");
    return 0;
}

// The names the profile choosers offer.
int List(CliContext& ctx, std::vector<std::string>& args) {
    if (!args.empty()) throw UsageError("profile list takes no arguments");
    std::vector<std::string> names = ProfileName::List(ctx.AppDir() + "/profiles");
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) std::cout << name << '\n';
    return 0;
}

}  // namespace

int CmdProfile(CliContext& ctx, std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("profile needs a sub-command: new, check or list");
    const std::string sub = args.front();
    args.erase(args.begin());
    if (sub == "new") return New(ctx, args);
    if (sub == "check") return Check(ctx, args);
    if (sub == "list") return List(ctx, args);
    throw UsageError("unknown profile sub-command '" + sub + "'");
}

}  // namespace Cli
