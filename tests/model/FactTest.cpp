#include "model/FactManager.h"

#include "support/XmlFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace UserLog;
using Xml::XmlDocument;

namespace {

std::vector<std::string> Names(const CFactManager& m) {
    std::vector<std::string> out;
    for (const CFactReference& d : m.Definitions()) out.push_back(d.name);
    return out;
}

// ---- Definitions ---------------------------------------------------------------------------

TEST(FactManager, NewManagerHoldsTheBuiltIns) {
    CFactManager m;
    ASSERT_EQ(2, m.Count());
    EXPECT_EQ("Weight", m.At(0).name);
    EXPECT_EQ("kg", m.At(0).units);
    EXPECT_FALSE(IsDefined(m.At(0).value));
    EXPECT_EQ("Extra Energy", m.At(1).name);
    EXPECT_EQ("kcal", m.At(1).units);
    EXPECT_FALSE(IsDefined(m.At(1).value));
}

TEST(FactManager, GetBuiltInCopiesOnlyTheBuiltIns) {
    CFactManager m;
    m.At(0).value = 72;
    m.AddOrUpdate({"Waist", 80, "cm"});
    CFactReference weight = m.GetBuiltIn(0);
    weight.value = 1;
    EXPECT_DOUBLE_EQ(72, m.At(0).value);
    EXPECT_EQ("Extra Energy", m.GetBuiltIn(1).name);
    for (int index : {-1, 2, 3}) {
        try {
            m.GetBuiltIn(index);
            ADD_FAILURE() << index;
        } catch (const std::logic_error& e) {
            EXPECT_STREQ("Undefined fact requested.", e.what());
        }
    }
}

TEST(FactManager, ResetBuiltInsKeepsTheirTargetsAndDropsTheRest) {
    CFactManager m;
    m.At(0) = {"Mass", 80, "lb"};
    m.At(1).value = 250;
    m.AddOrUpdate({"Sleep", 8, "h"});
    m.ResetBuiltIns();
    ASSERT_EQ(2, m.Count());
    EXPECT_EQ("Weight", m.At(0).name);
    EXPECT_EQ("kg", m.At(0).units);
    EXPECT_DOUBLE_EQ(80, m.At(0).value);
    EXPECT_DOUBLE_EQ(250, m.At(1).value);
}

TEST(FactManager, AddOrUpdateMatchesNamesExactly) {
    CFactManager m;
    EXPECT_EQ(2, m.AddOrUpdate({"Sleep", 8, "h"}));
    EXPECT_EQ(3, m.AddOrUpdate({"sleep", 7, "h"}));
    EXPECT_EQ(2, m.AddOrUpdate({"Sleep", 7.5, "hours"}));
    EXPECT_EQ(0, m.AddOrUpdate({"Weight", 150, "lb"}));
    EXPECT_EQ((std::vector<std::string>{"Weight", "Extra Energy", "Sleep", "sleep"}), Names(m));
    EXPECT_DOUBLE_EQ(7.5, m.At(2).value);
    EXPECT_EQ("hours", m.At(2).units);
    EXPECT_EQ("lb", m.At(0).units);
    EXPECT_EQ(3, m.FindDefinition("sleep"));
    EXPECT_EQ(-1, m.FindDefinition("Sleep "));
}

TEST(FactManager, RemoveAtKeepsBuiltInsAndChecksTheIndex) {
    CFactManager m;
    m.AddOrUpdate({"New Fact 1", kUndefinedValue, ""});
    m.AddOrUpdate({"New Fact 2", kUndefinedValue, ""});
    m.AddOrUpdate({"New Fact 3", kUndefinedValue, ""});
    EXPECT_TRUE(m.RemoveAt(3));
    EXPECT_FALSE(m.RemoveAt(4));
    EXPECT_FALSE(m.RemoveAt(-1));
    EXPECT_FALSE(m.RemoveAt(0));
    EXPECT_FALSE(m.RemoveAt(1));
    EXPECT_EQ((std::vector<std::string>{"Weight", "Extra Energy", "New Fact 1", "New Fact 3"}), Names(m));
}

// ---- XML -----------------------------------------------------------------------------------

TEST(FactXml, FactsWriteTheirValueOnlyWhenDefined) {
    XmlFixture xml;
    CFact("Weight", 70.5).Save(xml.root);
    CFact("Sleep", kUndefinedValue).Save(xml.root);
    CFactReference("Waist", kUndefinedValue, "").Save(xml.root);
    EXPECT_EQ(R"(<root>
  <Fact name="Weight" value="70.5"/>
  <Fact name="Sleep"/>
  <FactReference>
    <Fact name="Waist"/>
  </FactReference>
</root>)",
              xml.root.GetXml());
}

TEST(FactXml, FactReadsDefaults) {
    XmlDocument doc;
    CFact f("x", 1);
    f.Load(XmlFixture::Parse(doc, "<Fact/>"));
    EXPECT_EQ("?", f.name);
    EXPECT_FALSE(IsDefined(f.value));
}

TEST(FactXml, ManagerRoundTrip) {
    XmlFixture xml;
    CFactManager saved;
    saved.At(0).value = 68.25;
    saved.AddOrUpdate({"Waist", 80, "cm"});
    saved.AddOrUpdate({"Mood", kUndefinedValue, ""});
    saved.Save(xml.root);

    XmlDocument back;
    CFactManager read;
    read.AddOrUpdate({"Stale", 1, ""});
    read.Load(xml.Reparsed(back, "FactManager"));
    ASSERT_EQ((std::vector<std::string>{"Weight", "Extra Energy", "Waist", "Mood"}), Names(read));
    EXPECT_DOUBLE_EQ(68.25, read.At(0).value);
    EXPECT_EQ("kg", read.At(0).units);
    EXPECT_FALSE(IsDefined(read.At(1).value));
    EXPECT_DOUBLE_EQ(80, read.At(2).value);
    EXPECT_EQ("cm", read.At(2).units);
    EXPECT_EQ("", read.At(3).units);
    EXPECT_FALSE(IsDefined(read.At(3).value));
}

TEST(FactXml, ManagerMergesByNameIntoTheBuiltIns) {
    XmlDocument doc;
    CFactManager m;
    m.Load(XmlFixture::Parse(doc, R"(<FactManager>
        <FactReference units="cm"><Fact name="Waist" value="80"/></FactReference>
        <FactReference units="lb"><Fact name="Weight" value="150"/></FactReference>
        <FactReference/>
        <FactReference units="in"><Fact name="Waist" value="31"/></FactReference>
      </FactManager>)"));
    ASSERT_EQ((std::vector<std::string>{"Weight", "Extra Energy", "Waist", ""}), Names(m));
    EXPECT_EQ("lb", m.At(0).units);
    EXPECT_DOUBLE_EQ(150, m.At(0).value);
    EXPECT_EQ("kcal", m.At(1).units);
    EXPECT_EQ("in", m.At(2).units);
    EXPECT_DOUBLE_EQ(31, m.At(2).value);
    EXPECT_FALSE(IsDefined(m.At(3).value));
}

// ---- A day's facts -------------------------------------------------------------------------

TEST(DayFacts, SetAppendsOnceThenReplaces) {
    CDayFacts day;
    EXPECT_EQ(nullptr, day.Find("Weight"));
    day.Set("Weight", 70);
    day.Set("Sleep", 7);
    day.Set("Weight", 71.5);
    ASSERT_EQ(2u, day.Count());
    EXPECT_EQ("Weight", day.Items()[0].name);
    EXPECT_DOUBLE_EQ(71.5, day.Find("Weight")->value);
    EXPECT_EQ(nullptr, day.Find("weight"));

    EXPECT_TRUE(day.Remove("Weight"));
    EXPECT_FALSE(day.Remove("Weight"));
    ASSERT_EQ(1u, day.Count());
    EXPECT_EQ("Sleep", day.Items()[0].name);
}

TEST(DayFacts, RoundTripThroughTheDayElement) {
    XmlFixture xml;
    CDayFacts saved;
    saved.Set("Weight", 70.125);
    saved.Set("Mood", kUndefinedValue);
    Xml::XmlElement dayElement = xml.root.AddElement("LogDay");
    dayElement.AddElement("Food");
    saved.Save(dayElement);

    XmlDocument back;
    CDayFacts read;
    read.Set("Stale", 1);
    read.Load(xml.Reparsed(back, "LogDay"));
    ASSERT_EQ(2u, read.Count());
    EXPECT_EQ("Weight", read.Items()[0].name);
    EXPECT_DOUBLE_EQ(70.125, read.Items()[0].value);
    EXPECT_EQ("Mood", read.Items()[1].name);
    EXPECT_FALSE(IsDefined(read.Items()[1].value));
}

TEST(DayFacts, LoadKeepsRepeatedNamesInFileOrder) {
    XmlDocument doc;
    CDayFacts day;
    day.Load(
        XmlFixture::Parse(doc, R"(<LogDay date="20100615"><Fact name="A" value="1"/><Food><Fact name="nested"/></Food>
        <Fact name="A" value="2"/><Fact value="3"/></LogDay>)"));
    ASSERT_EQ(3u, day.Count());
    EXPECT_DOUBLE_EQ(1, day.Find("A")->value);
    EXPECT_DOUBLE_EQ(2, day.Items()[1].value);
    EXPECT_EQ("?", day.Items()[2].name);
}

}  // namespace
