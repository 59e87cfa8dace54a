#include "RecentFileList.h"

#include "DocTemplate.h"

#include <QSettings>

namespace {

constexpr const char* kSection = "Recent File List";

QString EntryKey(int i) { return QStringLiteral("File%1").arg(i + 1); }

}  // namespace

void CRecentFileList::ReadList() {
    QSettings settings(QStringLiteral("Orrindale"), QStringLiteral("Velmora"));
    settings.beginGroup(kSection);
    entries_.clear();
    for (int i = 0; i < size_; ++i) {
        const QString value = settings.value(EntryKey(i)).toString();
        if (!value.isEmpty()) entries_.push_back(value.toStdString());
    }
}

void CRecentFileList::WriteList() const {
    QSettings settings(QStringLiteral("Orrindale"), QStringLiteral("Velmora"));
    settings.remove(kSection);
    settings.beginGroup(kSection);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        settings.setValue(EntryKey(static_cast<int>(i)), QString::fromStdString(entries_[i]));
}

void CRecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    std::erase_if(entries_, [&](const std::string& e) { return SamePath(e, path); });
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > static_cast<std::size_t>(size_)) entries_.resize(static_cast<std::size_t>(size_));
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < entries_.size()) entries_.erase(entries_.begin() + index);
}
