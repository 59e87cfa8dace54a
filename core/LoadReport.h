#pragma once

#include <string>

// What readers had to drop or could not use while loading a file, kept process-wide under a key
// text so that it can be shown to the user afterwards. Keys come out in ascending text order.
namespace LoadReport {

void Clear();
bool IsEmpty();
// Appends the note under the key.
void Add(const std::string& key, const std::string& note);
// Appends the note only when the key's list does not already hold an equal note.
void AddUnique(const std::string& key, const std::string& note);
// For each key: keyPrefix + key + lineEnd, then for each note notePrefix + note + lineEnd.
std::string FormatLost(const std::string& keyPrefix, const std::string& notePrefix, const std::string& lineEnd);

}  // namespace LoadReport
