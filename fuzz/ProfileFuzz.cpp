// The profile reader (current profiles and the older "Diet" documents) on any file, opened as the
// program opens a profile and shown as its views and reports show it. A file it accepts must
// survive the round trip the user makes by saving: written, it reads back, and once
// saved by the program, opening and saving it again gives the same bytes.

#include "DocumentEnvironment.h"
#include "FuzzSupport.h"

#include "document/ProfileDocument.h"
#include "document/SingleDayDocData.h"
#include "document/fileio/ProfileFile.h"
#include "document/report/PageTemplate.h"
#include "document/report/ReportDocument.h"
#include "document/report/TargetsJson.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

struct Environment : FuzzSupport::DocumentEnvironment {
    FuzzSupport::TempFolder folder;
    CDC_DietaryIntakesMgr intakes = [] {
        CDC_DietaryIntakesMgr m;
        m.InitializeBuiltIn(DriEdition::Current);
        return m;
    }();
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the views and reports compute from an open profile.
void ShowEverything(const CProfileDocument& doc) {
    const NS_Data::CUserLog& log = doc.Log();
    const std::string today = log.GetCurrentDay()->date;
    (void)log.Personal().AgeAt(today);
    (void)log.Personal().DriCategoryAt(today);
    (void)log.Personal().DriAgeAt(today);
    const EnergyInputs inputs = log.GetEnergyInputs();
    std::string description;
    (void)log.Personal().EnergyRequirement(inputs, description);
    (void)log.Personal().EnergyDetails(inputs);
    for (const char* key : {NS_Data::CUserLog::kJsonLog, NS_Data::CUserLog::kJsonDay, NS_Data::CUserLog::kJsonMeasures})
        (void)Page::PlaceholderJson(&log, key);
    std::vector<UserLog::CNutrientRequirement> limits;
    log.GetEffectiveRequirements(limits);
    for (const auto& r : limits) (void)log.GetIntake(r.gid);
    // Targets from any person and any day: the dashboard, the calendar marks and the report.
    const CTargetsJson targets(log);
    for (const char* key : {CTargetsJson::kJsonDayTargets, CTargetsJson::kJsonMonthStatus})
        (void)Page::PlaceholderJson(&targets, key);
    for (const auto& entry : log.GetCurrentDay()->foods) {
        (void)entry.Amount();
        (void)entry.UnitName();
    }
    Xml::XmlDocument report;
    Report::BuildReportDocument(doc, Report::kSummaryTemplate, report);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    static FuzzSupport::MemoryFile file;
    Services::SetClock(&env.clock);
    file.Set(data, size);

    CProfileDocument doc(&env.meals, &env.foods);
    doc.Log().SetTargetOptions({&env.intakes, true});
    const int messages = env.prompt.messages;
    if (!doc.OnOpenDocument(file.Path())) {
        const std::string& error = env.prompt.last;
        if (env.prompt.messages != messages + 1 ||
            (error.rfind("Can't open file:\n", 0) != 0 && error.rfind("Can't load file:\n", 0) != 0))
            FuzzSupport::Fault("a profile that fails to open is not reported: " + error);
        return 0;
    }
    ShowEverything(doc);
    std::string error;

    // Reading is lenient and a profile opens on a day of its own choosing, so the first save may
    // differ from the file read; from then on opening and saving must change nothing.
    const std::string saved = env.folder.Path() + "/profile";
    std::string previous;
    for (int round = 0; round < 3; ++round) {
        std::unique_ptr<CSingleDayDocData> reread;
        const CSingleDayDocData* from = &doc;
        if (round > 0) {
            reread = std::make_unique<CSingleDayDocData>(&env.meals, &env.foods);
            if (!ReadProfileFile(*reread, saved, error))
                FuzzSupport::Fault("a saved profile does not read back: " + error);
            from = reread.get();
        }
        try {
            WriteProfileFile(*from, saved);
        } catch (const std::exception& e) {
            FuzzSupport::Fault(std::string("a profile that was read can't be written: ") + e.what());
        }
        std::string text = Slurp(saved);
        if (round == 2 && text != previous)
            FuzzSupport::FaultDiffering("opening and saving a saved profile changes it", previous, text);
        previous = std::move(text);
    }
    return 0;
}
