#include "Commands.h"

#include "model/TextFormat.h"
#include "refdata/PersonalProfile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace Cli {

namespace {

double ParseNumber(const std::string& text, const std::string& what) {
    double d = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(d))
        throw UsageError(what + " must be a number, not '" + text + "'");
    return d;
}

void CheckRange(int value, int low, int high, const std::string& what) {
    if (value < low || value > high)
        throw UsageError(what + " must be an integer from " + std::to_string(low) + " to " + std::to_string(high));
}

}  // namespace

// The energy calculator: the same inputs, checks and defaults as the calculator window.
int CmdEer(CliContext&, std::vector<std::string>& args) {
    CDS_PersonalProfile profile;
    const std::string category = TakeOption(args, "--category").value_or("Female");
    if (category == "Infants")
        profile.category = 0;
    else if (category == "Male")
        profile.category = 2;
    else if (category == "Female")
        profile.category = 3;
    else
        throw UsageError("--category must be Infants, Male or Female, not '" + category + "'");

    const auto age = TakeOption(args, "--age");
    const auto weight = TakeOption(args, "--weight");
    const auto height = TakeOption(args, "--height");
    const auto lifeStyle = TakeOption(args, "--life-style");
    if (!args.empty()) throw UsageError("eer: unexpected argument '" + args.front() + "'");

    profile.age = age ? ParseInt(*age, "--age") : 3;
    profile.weight = weight ? ParseNumber(*weight, "--weight") : 50.0;
    profile.height = height ? ParseInt(*height, "--height") : 160;
    profile.lifeStyle = lifeStyle ? ParseInt(*lifeStyle, "--life-style") : 0;

    CheckRange(profile.height, EnergyEquation::kMinHeightCm, EnergyEquation::kMaxHeightCm, "--height");
    if (!EnergyEquation::WeightInRange(profile.weight))
        throw UsageError("--weight must be above 0 and at most " + TextFormat::G(EnergyEquation::kMaxWeightKg) +
                         " (kg)");
    if (profile.category == 0)
        CheckRange(profile.age, 0, 12, "--age (months)");
    else
        CheckRange(profile.age, 1, 150, "--age (years)");
    CheckRange(profile.lifeStyle, 0, 3, "--life-style");

    std::printf("%g\n", profile.Compute());
    return 0;
}

}  // namespace Cli
