#include "UsdaSource.h"

#include "core/FileUtil.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <vector>

namespace Usda {

namespace fs = std::filesystem;

namespace {

constexpr const char* kJarInDeb = "usr/share/cronometer/usda_sr24.jar";
// The real members are a few megabytes; anything far larger is not this data and is refused
// before it fills the memory.
constexpr la_int64_t kMaxMember = la_int64_t{512} << 20;

struct ArchiveReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReadDeleter>;

std::string ArchiveMessage(archive* a) {
    const char* text = archive_error_string(a);
    return text ? text : "unreadable archive";
}

enum class Format { Ar, Tar, Zip };

ArchiveReader OpenMemory(const std::string& bytes, Format format, const std::string& origin) {
    ArchiveReader a(archive_read_new());
    if (!a) throw ConvertError(origin + ": out of memory");
    switch (format) {
        case Format::Ar: archive_read_support_format_ar(a.get()); break;
        case Format::Tar:
            archive_read_support_format_tar(a.get());
            archive_read_support_format_gnutar(a.get());
            archive_read_support_filter_all(a.get());
            break;
        case Format::Zip: archive_read_support_format_zip(a.get()); break;
    }
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK)
        throw ConvertError(origin + ": " + ArchiveMessage(a.get()));
    return a;
}

// The next entry, or false at the end of the archive.
bool NextEntry(archive* a, archive_entry*& entry, const std::string& origin) {
    const int r = archive_read_next_header(a, &entry);
    if (r == ARCHIVE_EOF) return false;
    if (r < ARCHIVE_WARN) throw ConvertError(origin + ": " + ArchiveMessage(a));
    return true;
}

std::string ReadMember(archive* a, archive_entry* entry, const std::string& what) {
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxMember)
        throw ConvertError(what + ": too large to be USDA food data");
    std::string data;
    if (archive_entry_size_is_set(entry)) data.reserve(static_cast<std::size_t>(archive_entry_size(entry)));
    char buf[64 * 1024];
    for (;;) {
        const la_ssize_t n = archive_read_data(a, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) throw ConvertError(what + ": " + ArchiveMessage(a));
        data.append(buf, static_cast<std::size_t>(n));
        if (static_cast<la_int64_t>(data.size()) > kMaxMember)
            throw ConvertError(what + ": too large to be USDA food data");
    }
    return data;
}

std::string EntryName(archive_entry* entry) {
    const char* p = archive_entry_pathname(entry);
    std::string name = p ? p : "";
    while (name.rfind("./", 0) == 0) name.erase(0, 2);
    while (!name.empty() && name.front() == '/') name.erase(0, 1);
    return name;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// True for the base names the source is made of: the two indexes and NNNNN.xml.
bool IsSourceFileName(const std::string& base) {
    if (base == "foods.index" || base == "deprecated.index") return true;
    if (base.size() != 9 || base.compare(5, 4, ".xml") != 0) return false;
    for (int i = 0; i < 5; ++i)
        if (base[static_cast<std::size_t>(i)] < '0' || base[static_cast<std::size_t>(i)] > '9') return false;
    return true;
}

std::string ReadDiskFile(const fs::path& path) {
    try {
        return FileUtil::ReadFile(path.string());
    } catch (const FileUtil::FileError& e) {
        throw ConvertError(e.what());
    }
}

}  // namespace

CUsdaSource CUsdaSource::Open(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) throw ConvertError(path + ": no such file or folder");
    if (fs::is_directory(status)) return FromFolder(path);

    const std::string bytes = ReadDiskFile(path);
    if (StartsWith(bytes, "!<arch>\n")) return FromDeb(bytes, path);
    if (StartsWith(bytes, std::string("PK\x03\x04", 4))) return FromJar(bytes, path);
    throw ConvertError(path + ": neither a .deb package, a jar nor a folder of USDA food files");
}

CUsdaSource CUsdaSource::FromFolder(const fs::path& folder) {
    CUsdaSource src;
    fs::path dir = folder;
    // The jar unpacks into a usda_sr24 folder; its parent is accepted as well.
    if (!fs::exists(dir / "foods.index") && fs::exists(dir / "usda_sr24" / "foods.index")) dir /= "usda_sr24";
    if (!fs::is_regular_file(dir / "foods.index"))
        throw ConvertError((folder / "foods.index").string() + ": missing, so this is not a folder of USDA food files");
    src.folder_ = dir;
    src.foodsIndex_ = ReadDiskFile(dir / "foods.index");
    if (fs::exists(dir / "deprecated.index")) src.deprecatedIndex_ = ReadDiskFile(dir / "deprecated.index");
    return src;
}

CUsdaSource CUsdaSource::FromJar(const std::string& bytes, const std::string& origin) {
    ArchiveReader a = OpenMemory(bytes, Format::Zip, origin);
    std::map<std::string, std::string> members;  // full path inside the jar -> text
    archive_entry* entry = nullptr;
    while (NextEntry(a.get(), entry, origin)) {
        if (archive_entry_filetype(entry) != AE_IFREG) continue;
        const std::string name = EntryName(entry);
        const std::size_t slash = name.rfind('/');
        const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
        if (!IsSourceFileName(base)) continue;
        members[name] = ReadMember(a.get(), entry, origin + ": " + name);
    }

    // The folder that holds foods.index is the data; anything beside it elsewhere is not.
    std::string dir;
    bool found = false;
    for (const auto& [name, text] : members) {
        const std::size_t slash = name.rfind('/');
        if ((slash == std::string::npos ? name : name.substr(slash + 1)) == "foods.index") {
            dir = slash == std::string::npos ? "" : name.substr(0, slash + 1);
            found = true;
            break;
        }
    }
    if (!found) throw ConvertError(origin + ": no foods.index in the archive, so it holds no USDA food files");

    CUsdaSource src;
    src.origin_ = origin + ": " + dir;
    for (auto& [name, text] : members) {
        if (!StartsWith(name, dir) || name.find('/', dir.size()) != std::string::npos) continue;
        const std::string base = name.substr(dir.size());
        if (base == "foods.index")
            src.foodsIndex_ = std::move(text);
        else if (base == "deprecated.index")
            src.deprecatedIndex_ = std::move(text);
        else
            src.files_[base] = std::move(text);
    }
    return src;
}

CUsdaSource CUsdaSource::FromDeb(const std::string& bytes, const std::string& origin) {
    ArchiveReader deb = OpenMemory(bytes, Format::Ar, origin);
    std::string dataTar;
    std::string dataName;
    archive_entry* entry = nullptr;
    while (NextEntry(deb.get(), entry, origin)) {
        const std::string name = EntryName(entry);
        if (StartsWith(name, "data.tar")) {
            dataName = name;
            dataTar = ReadMember(deb.get(), entry, origin + ": " + name);
            break;
        }
    }
    if (dataName.empty()) throw ConvertError(origin + ": no data.tar member, so it is not a Debian package");

    const std::string tarOrigin = origin + ": " + dataName;
    ArchiveReader tar = OpenMemory(dataTar, Format::Tar, tarOrigin);
    while (NextEntry(tar.get(), entry, tarOrigin)) {
        if (EntryName(entry) != kJarInDeb) continue;
        const std::string jarOrigin = origin + ": " + kJarInDeb;
        return FromJar(ReadMember(tar.get(), entry, jarOrigin), jarOrigin);
    }
    throw ConvertError(origin + ": the package holds no " + kJarInDeb);
}

std::optional<std::string> CUsdaSource::FoodFile(const std::string& ndb) const {
    const std::string name = ndb + ".xml";
    if (folder_) {
        const fs::path path = *folder_ / name;
        if (!fs::exists(path)) return std::nullopt;
        return ReadDiskFile(path);
    }
    auto it = files_.find(name);
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

std::string CUsdaSource::Describe(const std::string& fileName) const {
    if (folder_) return (*folder_ / fileName).string();
    return origin_ + fileName;
}

}  // namespace Usda
