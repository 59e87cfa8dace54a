#pragma once

#include <string>

class CDataSourceMgr;

namespace Nutrient {

// How a nutrient is named and rounded on screen. The standard nutrient table knows about forty
// nutrients; the others a data source carries (starch, the tocopherols, the amino acids...) are
// named and rounded as the data source's own record says.
struct Label {
    std::string name;
    std::string units;
    // Rounds shown values to this many decimals; without any, values are shown as computed.
    bool rounded = false;
    int decimals = 0;
};

// By the standard table, else by the data source's nutrient with that gid; both texts empty
// when neither knows it.
Label LabelOf(int gid, const CDataSourceMgr* source);

// A value of the nutrient (an intake, a value per 100 g) rounded as its label says.
double RoundShown(const Label& label, double value);
double RoundShown(int gid, double value, const CDataSourceMgr* source);

}  // namespace Nutrient
