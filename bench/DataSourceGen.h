#pragma once

#include <string>

// Writes a data source of `foods` foods shaped like a converted USDA file: indented, a few dozen
// top-level groups (some with subgroups), a portion title table, about 50 nutrient values and a
// few units per food, names made of comma-separated words. The same arguments give the same file.
void WriteBenchDataSource(const std::string& path, int foods);
