#pragma once

#include <string>

namespace Targets {
struct Target;
}

// The tool tips the grids give a target: where a default limit comes from, and why a total is
// coloured.
namespace TargetTips {

// For a Min (`upper` false) or Max cell showing a default limit: "Default target: RDA. Type a
// number to set a limit of your own."; empty when the target has no default limit there.
std::string DefaultLimit(const Targets::Target& target, bool upper);

// For a total outside its target: "Below the minimum of 46 g (RDA)"; empty inside it or without one.
std::string Outside(const Targets::Target& target);

}  // namespace TargetTips
