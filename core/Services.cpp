#include "Services.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <iostream>

namespace Services {

namespace {

class ConsolePrompt : public IPrompt {
public:
    void Message(const std::string& text, const std::string& title) override {
        std::cerr << (title.empty() ? "" : title + ": ") << text << '\n';
    }
    Answer Question(const std::string& text, Buttons buttons, const std::string& title) override {
        Message(text, title);
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
};

class NoShell : public IShell {
public:
    bool Open(const std::string&) override { return false; }
};

class NoFileChooser : public IFileChooser {
public:
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

class SystemClock : public IClock {
public:
    boost::gregorian::date Today() const override { return boost::gregorian::day_clock::local_day(); }
};

ConsolePrompt g_consolePrompt;
NoShell g_noShell;
NoFileChooser g_noFileChooser;
SystemClock g_systemClock;

IPrompt* g_prompt = &g_consolePrompt;
IShell* g_shell = &g_noShell;
IFileChooser* g_chooser = &g_noFileChooser;
const IClock* g_clock = &g_systemClock;

}  // namespace

IPrompt& Prompt() { return *g_prompt; }
IShell& Shell() { return *g_shell; }
IFileChooser& FileChooser() { return *g_chooser; }
const IClock& Clock() { return *g_clock; }
boost::gregorian::date Today() { return g_clock->Today(); }

void SetPrompt(IPrompt* prompt) { g_prompt = prompt ? prompt : &g_consolePrompt; }
void SetShell(IShell* shell) { g_shell = shell ? shell : &g_noShell; }
void SetFileChooser(IFileChooser* chooser) { g_chooser = chooser ? chooser : &g_noFileChooser; }
void SetClock(const IClock* clock) { g_clock = clock ? clock : &g_systemClock; }

std::optional<boost::gregorian::date> ParseDateKey(const std::string& text) {
    if (text.size() != 8) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    try {
        return boost::gregorian::date(static_cast<unsigned short>(std::stoi(text.substr(0, 4))),
                                      static_cast<unsigned short>(std::stoi(text.substr(4, 2))),
                                      static_cast<unsigned short>(std::stoi(text.substr(6, 2))));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace Services
