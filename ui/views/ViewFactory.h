#pragma once

#include "ViewBase.h"

#include <functional>
#include <memory>
#include <string>

// The view of a tab by the tab's name: "Personal", "Log", "Diet", "Energy", "Food", "Nutrients"
// and "Analysis"; null for any other name.
std::unique_ptr<CViewBase> CreateViewByName(const std::string& name);

using ViewFactory = std::function<std::unique_ptr<CViewBase>(const std::string& name)>;
