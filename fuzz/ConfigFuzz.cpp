// config.xml reading with the program's two sections. Whatever the file holds, reading ends with
// every section usable: the accessors answer or raise the settings' own logic_error, and the
// settings written afterwards read back and write out the same again.

#include "FuzzSupport.h"

#include "core/FileUtil.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

struct Environment {
    Services::FixedClock clock{boost::gregorian::date(2024, 2, 29)};
    FuzzSupport::SilentPrompt prompt;
    FuzzSupport::TempFolder folder;
};

// Reads every setting the program reads at start-up.
void ReadAll(const Config::General::GeneralManager& general, Update::UpdateManager& update) {
    const auto guarded = [](auto&& read) {
        try {
            read();
        } catch (const std::logic_error&) {
            // A parameter of the wrong type or an unreadable boolean: the accessors' documented
            // answer, caught where the program asks.
        }
    };
    guarded([&] { (void)general.GetDataSource(); });
    guarded([&] { (void)general.IsMaximized(); });
    guarded([&] { (void)general.LoadLastProfile(); });
    guarded([&] { (void)general.RunWizard(); });
    guarded([&] { (void)general.UseFullTitle(); });
    guarded([&] { (void)general.SmartHierarchyDepth(); });
    guarded([&] { (void)general.SmartHierarchySize(); });
    (void)update.TimeInterval();
    (void)update.IsCheckDue(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    Services::SetClock(&env.clock);
    Settings::CSettingsMgr settings(env.folder.Path());
    // Unreadable inputs are kept aside when settings are saved; the next input starts afresh.
    for (const auto& entry : std::filesystem::directory_iterator(env.folder.Path()))
        std::filesystem::remove_all(entry.path());
    try {
        FileUtil::WriteFileAtomic(settings.ConfigPath(), std::string(reinterpret_cast<const char*>(data), size));
    } catch (const FileUtil::FileError& e) {
        FuzzSupport::Fault(e.what());
    }

    Config::General::GeneralManager general;
    Update::UpdateManager update;
    settings.AddSection("General", &general);
    settings.AddSection("Update", &update);
    settings.LoadSettings();
    ReadAll(general, update);

    // What the program writes it must read back without complaint; reading fills in defaults, so
    // from the second save on, reading and writing must change nothing.
    std::string previous;
    for (int round = 0; round < 3; ++round) {
        if (round > 0) {
            const int before = env.prompt.messages;
            settings.LoadSettings();
            if (env.prompt.messages != before) FuzzSupport::Fault("written settings do not read back");
        }
        if (!settings.SaveSettings()) FuzzSupport::Fault("settings that were read can't be written");
        std::string text = FileUtil::ReadFile(settings.ConfigPath());
        if (round == 2 && text != previous)
            FuzzSupport::FaultDiffering("reading and saving saved settings changes them", previous, text);
        previous = std::move(text);
    }
    return 0;
}
