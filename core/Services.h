#pragma once

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <optional>
#include <string>

// Everything the program asks of its surroundings goes through these interfaces, so that the
// window system, the browser and the calendar can be replaced: by Qt in the application, by
// recording fakes in tests.
namespace Services {

enum class Answer { Ok, Yes, No, Cancel };
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };

// Message boxes. Every message text of the program passes through here.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    virtual void Message(const std::string& text, const std::string& title = {}) = 0;
    virtual Answer Question(const std::string& text, Buttons buttons = Buttons::YesNo,
                            const std::string& title = {}) = 0;
};

// Opening a URL or file with the desktop's default handler.
class IShell {
public:
    virtual ~IShell() = default;
    virtual bool Open(const std::string& url) = 0;
    // The same with the shell's numeric answer: above 32 when an application took the URL, else
    // an error code that the XML export explains to the user. A shell that can only tell success
    // from failure answers 33, or 31 (no application for the file type).
    virtual int OpenWithCode(const std::string& url) { return Open(url) ? 33 : 31; }
};

// Choosing a file to open.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // `filter` is in "Name (*.ext)|*.ext|...||" form; nullopt when the user cancels.
    virtual std::optional<std::string> OpenFile(const std::string& initialPath, const std::string& defaultExt,
                                                const std::string& filter) = 0;
};

// "Today" decides which day a new log opens on, ages and update checks.
class IClock {
public:
    virtual ~IClock() = default;
    virtual boost::gregorian::date Today() const = 0;
};

// The installed services. Until something is installed: messages go to standard error, questions
// answer No, nothing is opened, no file is chosen and the clock is the system's local date.
IPrompt& Prompt();
IShell& Shell();
IFileChooser& FileChooser();
const IClock& Clock();
boost::gregorian::date Today();

// Installs a service (nullptr restores the default); the caller keeps ownership.
void SetPrompt(IPrompt* prompt);
void SetShell(IShell* shell);
void SetFileChooser(IFileChooser* chooser);
void SetClock(const IClock* clock);

// A clock that always answers the same date (velmora-cli --today, tests).
class FixedClock : public IClock {
public:
    explicit FixedClock(boost::gregorian::date d) : date_(d) {}
    boost::gregorian::date Today() const override { return date_; }
    void Set(boost::gregorian::date d) { date_ = d; }

private:
    boost::gregorian::date date_;
};

// "YYYYMMDD" to a date; nullopt when the text is not a valid date in that form.
std::optional<boost::gregorian::date> ParseDateKey(const std::string& text);

}  // namespace Services
