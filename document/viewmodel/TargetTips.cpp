#include "TargetTips.h"

#include "model/Targets.h"
#include "model/TextFormat.h"

namespace TargetTips {

namespace {

using Targets::Basis;

// What the lower or upper limit of a target was taken from.
std::string Source(const Targets::Target& target, bool upper) {
    switch (target.basis) {
        case Basis::Own: return "your limit";
        case Basis::EER: return upper ? "energy requirement +10 %" : "energy requirement −10 %";
        case Basis::RDA: return upper ? "" : "RDA";
        case Basis::AI: return upper ? "" : "AI";
        case Basis::UL: return upper ? (target.cdrr ? "CDRR" : "UL") : "";
        case Basis::RdaUl: return upper ? (target.cdrr ? "CDRR" : "UL") : "RDA";
        case Basis::AiUl: return upper ? (target.cdrr ? "CDRR" : "UL") : "AI";
        case Basis::None: break;
    }
    return {};
}

}  // namespace

std::string DefaultLimit(const Targets::Target& target, bool upper) {
    if (!target.IsDefault() || (upper ? target.max : target.min) < 0) return {};
    std::string source = Source(target, upper);
    if (source == "CDRR") source += " (Chronic Disease Risk Reduction intake)";
    return "Default target: " + source + ". Type a number to set a limit of your own.";
}

std::string Outside(const Targets::Target& target) {
    const bool under = target.status == Targets::Status::Under;
    if (!under && target.status != Targets::Status::Over) return {};
    const double limit = under ? target.min : target.max;
    std::string text = std::string(under ? "Below the minimum of " : "Above the maximum of ") + TextFormat::G(limit);
    if (!target.units.empty()) text += " " + target.units;
    return text + " (" + Source(target, !under) + ")";
}

}  // namespace TargetTips
