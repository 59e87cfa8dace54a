// Pasting clipboard text into a profile's empty day. Text that fails leaves the day empty and the
// document unchanged; text that is taken copies back out and pastes into another document's
// empty day.

#include "DocumentEnvironment.h"
#include "FuzzSupport.h"

#include "document/ProfileDocument.h"
#include "document/report/PageTemplate.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <string>

namespace {

using Environment = FuzzSupport::DocumentEnvironment;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    Services::SetClock(&env.clock);
    const std::string text(reinterpret_cast<const char*>(data), size);

    CProfileDocument doc(&env.meals, &env.foods);
    const std::string date = doc.CurrentDate();
    const bool pasted = doc.Paste(text);
    if (doc.CurrentDate() != date) FuzzSupport::Fault("pasting moved the day");
    if (!pasted) {
        if (!doc.CurrentDay().IsEmpty() || doc.IsModified()) FuzzSupport::Fault("a failed paste changed the document");
        return 0;
    }
    if (!doc.IsModified()) FuzzSupport::Fault("a paste left the document unmodified");
    // What the views show of the pasted day.
    (void)Page::PlaceholderJson(&doc.Log(), NS_Data::CUserLog::kJsonDay);
    for (const auto& r : doc.Log().Requirements()) (void)doc.Log().GetIntake(r.gid);
    for (const auto& entry : doc.DayFoods()) (void)entry.Amount();
    if (!doc.CanCopy()) return 0;  // the text held an empty day

    // A day copied out pastes into another document's empty day; an empty list the text carried
    // may be left out on the way, but from the second copy on nothing changes.
    std::string previous = doc.CopyText();
    for (int round = 1; round < 3; ++round) {
        CProfileDocument other(&env.meals, &env.foods);
        if (!other.Paste(previous)) FuzzSupport::Fault("a copied day does not paste");
        std::string copied = other.CopyText();
        if (round == 2 && copied != previous)
            FuzzSupport::FaultDiffering("a copied day pastes differently", previous, copied);
        previous = std::move(copied);
    }
    return 0;
}
