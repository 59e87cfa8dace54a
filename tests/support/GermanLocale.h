#pragma once

#include <string>

// Makes de_DE.UTF-8, whose decimal separator is the comma, the process's numeric locale for the
// life of the object, as the window system does for a German user; the C locale comes back
// afterwards. A machine without the locale gets one generated with localedef into a folder under
// the temporary folder (kept for later runs), so nothing of the system is changed.
class ScopedGermanNumbers {
public:
    ScopedGermanNumbers();
    ~ScopedGermanNumbers();
    ScopedGermanNumbers(const ScopedGermanNumbers&) = delete;
    ScopedGermanNumbers& operator=(const ScopedGermanNumbers&) = delete;

    // False when the locale could neither be found nor made; Why() then says what failed.
    bool Active() const { return active_; }
    const std::string& Why() const { return why_; }

private:
    bool active_ = false;
    std::string why_;
};
