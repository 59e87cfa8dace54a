#pragma once

#include "core/Services.h"

#include <deque>
#include <string>
#include <vector>

// Recording stand-ins for the prompt and the shell. Installed for the life of the object.
class RecordingPrompt : public Services::IPrompt {
public:
    RecordingPrompt() { Services::SetPrompt(this); }
    ~RecordingPrompt() override { Services::SetPrompt(nullptr); }

    void Message(const std::string& text, const std::string&) override { messages.push_back(text); }
    Services::Answer Question(const std::string& text, Services::Buttons, const std::string&) override {
        questions.push_back(text);
        if (answers.empty()) return Services::Answer::Cancel;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<Services::Answer> answers;  // scripted, in order
};

class RecordingShell : public Services::IShell {
public:
    RecordingShell() { Services::SetShell(this); }
    ~RecordingShell() override { Services::SetShell(nullptr); }
    bool Open(const std::string& url) override {
        opened.push_back(url);
        return works;
    }
    std::vector<std::string> opened;
    bool works = true;  // false: as when no browser can be started
};

class ScopedClock {
public:
    explicit ScopedClock(boost::gregorian::date d) : clock_(d) { Services::SetClock(&clock_); }
    ~ScopedClock() { Services::SetClock(nullptr); }
    void Set(boost::gregorian::date d) { clock_.Set(d); }

private:
    Services::FixedClock clock_;
};
