#include "Commands.h"

#include "refdata/DietaryIntakesMgr.h"
#include "refdata/DriCategory.h"

#include <cstdio>

namespace Cli {

namespace {

std::string Required(std::vector<std::string>& args, const char* name) {
    auto value = TakeOption(args, name);
    if (!value) throw UsageError(std::string("dri needs ") + name);
    return *value;
}

void PrintValue(const char* label, float value) {
    if (value == -1.0f)
        std::printf("%s\t\n", label);
    else
        std::printf("%s\t%G\n", label, static_cast<double>(value));
}

}  // namespace

// The reference intakes the nutrients view shows for a person: an empty value where the table
// defines none.
int CmdDri(CliContext&, std::vector<std::string>& args) {
    const std::string categoryName = Required(args, "--category");
    const int age = ParseInt(Required(args, "--age"), "--age");
    const int gid = ParseInt(Required(args, "--gid"), "--gid");
    const std::string editionName = TakeOption(args, "--edition").value_or("current");
    const auto edition = DriEditionFromName(editionName);
    if (!edition) throw UsageError("--edition must be \"current\" or \"original\", not '" + editionName + "'");
    if (!args.empty()) throw UsageError("dri: unexpected argument '" + args.front() + "'");
    const auto category = DriCategoryFromName(categoryName);
    if (!category) {
        std::string names;
        for (int i = 0; i <= 7; ++i) names += std::string(i ? ", " : "") + '"' + DriCategoryName(i) + '"';
        throw UsageError("--category must be one of " + names);
    }

    CDC_DietaryIntakesMgr dri;
    dri.InitializeBuiltIn(*edition);
    float rda = -1, ai = -1, ul = -1;
    if (const DietaryIntake* intake = dri.FindIntake(gid)) intake->GetValues(*category, age, rda, ai, ul);
    PrintValue("RDA", rda);
    PrintValue("AI", ai);
    PrintValue("UL", ul);
    return 0;
}

}  // namespace Cli
