#include "ProfileName.h"

#include "ProfileFile.h"

#include <filesystem>
#include <system_error>

namespace ProfileName {

namespace {

bool Accepted(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
}

// The bytes of the UTF-8 character starting at `at`, or the one byte when it starts none.
std::string CharacterAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (at + length > text.size()) return text.substr(at, 1);
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return text.substr(at, 1);
    return text.substr(at, length);
}

}  // namespace

std::string Problem(const std::string& name) {
    if (name.empty()) return kEmptyName;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (Accepted(static_cast<unsigned char>(name[i]))) continue;
        const std::string format = kRefusedCharacter;
        const std::size_t at = format.find("%c");
        return format.substr(0, at) + CharacterAt(name, i) + format.substr(at + 2);
    }
    return {};
}

std::string PathOf(const std::string& profilesFolder, const std::string& name) {
    if (!Problem(name).empty()) return {};
    return (std::filesystem::path(profilesFolder) / name).string();
}

std::vector<std::string> List(const std::string& profilesFolder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(profilesFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (name.find('.') != std::string::npos) continue;
        if (name.ends_with(ProfileBackupPath(""))) continue;
        names.push_back(name);
    }
    return names;
}

}  // namespace ProfileName
