#pragma once

#include "document/viewmodel/GridDim.h"

#include "model/UserLog.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class CDataSourceMgr;
namespace Meal {
class CMealManager;
}

// The grids whose row heights and column widths a profile keeps.
enum class LayoutKind { Diet, Food };

// How the Log tab's day summary shows the day's targets: folded away under its title, and every
// followed nutrient or only those outside their range.
struct SummaryTargetsView {
    bool folded = false;
    bool all = false;
    bool operator==(const SummaryTargetsView&) const = default;
};

// The data of one profile document: the user log and the saved layouts of the profile's two
// grids. Not an IXMLSerialize: reading answers whether the file was a profile at all, which the
// interface's Load cannot say.
class CSingleDayDocData {
public:
    CSingleDayDocData(const Meal::CMealManager* mealList, const CDataSourceMgr* source);
    virtual ~CSingleDayDocData() = default;
    CSingleDayDocData(const CSingleDayDocData&) = delete;
    CSingleDayDocData& operator=(const CSingleDayDocData&) = delete;

    // Under the root: "Profile", "View" with the two layouts, then the application's "Meals".
    void Save(const Xml::XmlElement& root) const;
    // Reads a document element: a "root" whose "app" is "velmora", or an older "Diet" document.
    // False for any other element. Missing required data raises the XML layer's error.
    bool Load(const Xml::XmlElement& documentElement);
    // The same with the days a streaming read of the file took out of its tree (ReadAheadDays).
    bool Load(const Xml::XmlElement& documentElement, NS_Data::CUserLog::DaysReadAhead* readAhead);
    // What hands a profile's days to `readAhead` while its file is parsed: each "LogDay" of the
    // first "Profile" of a "root" whose "app" is "velmora", the element Load reads the log from.
    static Xml::StreamedElements ReadAheadDays(NS_Data::CUserLog::DaysReadAhead& readAhead);

    // What Save writes but the days, which the profile writer streams in after the rest of "Log".
    void SaveWithoutDays(const Xml::XmlElement& root) const;

    // The layouts as a new document has them.
    static CGridDim InitialLayout(LayoutKind kind);

    NS_Data::CUserLog& Log() noexcept { return log_; }
    const NS_Data::CUserLog& Log() const noexcept { return log_; }
    // The day the views show and edit.
    UserLog::CLogDay& CurrentDay() { return *log_.GetCurrentDay(); }
    const UserLog::CLogDay& CurrentDay() const { return *log_.GetCurrentDay(); }
    const std::string& CurrentDate() const { return CurrentDay().date; }
    // The current day's entries; they change through the document's food operations.
    const std::vector<UserLog::CDayFood>& DayFoods() const { return CurrentDay().foods; }

    const CGridDim& Layout(LayoutKind kind) const { return layouts_[Slot(kind)]; }
    void SetLayout(LayoutKind kind, CGridDim layout) { layouts_[Slot(kind)] = std::move(layout); }
    // Kept with the profile as the layouts are: saved with it, never a change to save by itself.
    const SummaryTargetsView& TargetsView() const { return targetsView_; }
    void SetTargetsView(SummaryTargetsView view) { targetsView_ = view; }

protected:
    // For the operations that keep the layouts' rows and columns in step with the log.
    CGridDim& MutableLayout(LayoutKind kind) { return layouts_[Slot(kind)]; }

private:
    // What a newer version wrote into the document element and "View" that this one does not
    // read; written back unchanged.
    struct UnknownOfDocument {
        Xml::UnknownParts root, view;
    };

    static constexpr std::size_t Slot(LayoutKind kind) noexcept { return static_cast<std::size_t>(kind); }

    void SaveParts(const Xml::XmlElement& root, bool withDays) const;

    const Meal::CMealManager* meals_ = nullptr;
    NS_Data::CUserLog log_;
    // In the order they are written: Diet, then Food.
    std::array<CGridDim, 2> layouts_;
    SummaryTargetsView targetsView_;
    UnknownOfDocument unknown_;
};
