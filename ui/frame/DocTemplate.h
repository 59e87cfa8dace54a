#pragma once

#include <string>
#include <vector>

// Decides whether a file can be opened as a profile. Every file that parses as XML is offered;
// one that is already open is recognised so its window comes forward instead.
class CDynamicDocTemplate {
public:
    enum Confidence { noAttempt, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    static constexpr const char* kExtension = ".vlx";

    // Kind 1 reads "Profile" documents as native, kind 2 the "Diet" documents.
    explicit CDynamicDocTemplate(int kind = 2) : kind_(kind) {}
    int Kind() const noexcept { return kind_; }

    // `openPaths` are the files of the open documents; `match` receives the index of the one
    // that is `path` when the answer is yesAlreadyOpen, else -1.
    Confidence MatchDocType(const std::string& path, const std::vector<std::string>& openPaths, int& match) const;

private:
    int kind_;
};

// Whether two paths name the same file (also when one of them does not exist yet).
bool SamePath(const std::string& a, const std::string& b);
