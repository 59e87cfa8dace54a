#pragma once

#include <string>
#include <vector>

// Profiles are chosen by name and stored as files of that name in the profiles folder. These rules
// keep a name from reaching outside that folder, and keep the program's own files out of the list.
namespace ProfileName {

constexpr const char* kEmptyName = "Please select profile name.";
constexpr const char* kRefusedCharacter = "Profile name does not support: '%c' character";

// Empty when the name may be used; otherwise the message for the user: kEmptyName, or
// kRefusedCharacter with the first character that is not an ASCII letter, digit or blank (a
// character outside ASCII shown whole).
std::string Problem(const std::string& name);

// The file of a valid name in the folder; an empty text for a name that Problem refuses.
std::string PathOf(const std::string& profilesFolder, const std::string& name);

// The profiles in the folder, in the order the file system gives them: regular files without an
// extension, leaving out hidden files (temporary files of a save) and the backups saved profiles
// leave behind. Empty when the folder can't be read.
std::vector<std::string> List(const std::string& profilesFolder);

}  // namespace ProfileName
