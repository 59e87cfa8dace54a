#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace Usda {

// Bad input: a source that cannot be read or a file in it that makes no sense. The message names
// the file.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The files of USDA SR24 as Debian's cronometer package carries them: foods.index,
// deprecated.index and one NNNNN.xml per food, all in one folder. They are read from the .deb
// itself, from the jar inside it, or from a folder where someone unpacked the jar.
class CUsdaSource {
public:
    // Raises ConvertError when the path is missing, is none of the three kinds, or holds no
    // foods.index.
    static CUsdaSource Open(const std::string& path);

    const std::string& FoodsIndex() const { return foodsIndex_; }
    // Empty when the source has none: it only lists foods that are left out anyway.
    const std::string& DeprecatedIndex() const { return deprecatedIndex_; }
    // The text of the food file NNNNN.xml (ndb as the five digits); nullopt when it is missing.
    std::optional<std::string> FoodFile(const std::string& ndb) const;
    // How messages name a file of the source, e.g. "pkg.deb: usr/share/cronometer/usda_sr24.jar:
    // usda_sr24/01001.xml".
    std::string Describe(const std::string& fileName) const;

private:
    CUsdaSource() = default;
    static CUsdaSource FromFolder(const std::filesystem::path& folder);
    static CUsdaSource FromJar(const std::string& bytes, const std::string& origin);
    static CUsdaSource FromDeb(const std::string& bytes, const std::string& origin);

    std::string foodsIndex_;
    std::string deprecatedIndex_;
    // Read from disk on demand when the source is a folder; held in memory when it is an archive.
    std::optional<std::filesystem::path> folder_;
    std::string origin_;  // archive path and the folder inside it, ending in "/"
    std::map<std::string, std::string> files_;
};

}  // namespace Usda
