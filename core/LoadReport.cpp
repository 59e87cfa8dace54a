#include "LoadReport.h"

#include <algorithm>
#include <map>
#include <vector>

namespace LoadReport {

namespace {

std::map<std::string, std::vector<std::string>>& Notes() {
    static std::map<std::string, std::vector<std::string>> notes;
    return notes;
}

}  // namespace

void Clear() { Notes().clear(); }

bool IsEmpty() { return Notes().empty(); }

void Add(const std::string& key, const std::string& note) { Notes()[key].push_back(note); }

void AddUnique(const std::string& key, const std::string& note) {
    auto& list = Notes()[key];
    if (std::find(list.begin(), list.end(), note) == list.end()) list.push_back(note);
}

std::string FormatLost(const std::string& keyPrefix, const std::string& notePrefix, const std::string& lineEnd) {
    std::string out;
    for (const auto& [key, notes] : Notes()) {
        out += keyPrefix + key + lineEnd;
        for (const auto& note : notes) out += notePrefix + note + lineEnd;
    }
    return out;
}

}  // namespace LoadReport
