#include "core/xml/Xml.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

using namespace Xml;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

template <class Fn>
std::string LogicErrorOf(Fn fn) {
    try {
        fn();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "(no logic_error)";
}

}  // namespace

TEST(XmlDocument, NewDocumentSavesOnlyTheDeclaration) {
    TempDir dir;
    XmlDocument doc;
    doc.Save(dir.File("empty.xml"));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", dir.Read("empty.xml"));
    EXPECT_EQ("Invalid document root element.", LogicErrorOf([&] { doc.Root(); }));
}

TEST(XmlDocument, NullWrappersReportMisuse) {
    XmlDocument doc;
    doc.AppendChild(doc.CreateElement("root"));
    XmlNode missing = doc.Root().SelectSingleNode("nothing/here");
    EXPECT_TRUE(missing.IsNull());
    XmlElement el = missing;
    EXPECT_TRUE(el.IsNull());
    EXPECT_EQ("Invalid element", LogicErrorOf([&] { el.SetAttribute("a", 1); }));
    EXPECT_EQ("Invalid node", LogicErrorOf([&] { missing.GetText(); }));
    EXPECT_EQ("Invalid node", LogicErrorOf([&] { missing.AddElement("x"); }));

    XmlNodeList none = doc.SelectNodes("root/nothing");
    XmlNode n;
    EXPECT_EQ(0, none.Length());
    EXPECT_FALSE(none.NextNode(n));
    EXPECT_TRUE(none.Item(0).IsNull());
}

TEST(XmlDocument, BuildIndentSaveAndReadBack) {
    TempDir dir;
    XmlDocument doc;
    XmlElement root = doc.CreateElement("root");
    doc.AppendChild(root);
    root.SetAttribute("app", "velmora");
    root.SetAttribute("version", 1);
    XmlElement day = root.AddElement("LogDay");
    day.SetAttribute("ok", true);
    day.SetAttribute("weight", 0.1);
    day.SetAttribute("third", 1.0 / 3.0);
    day.AddTextElement("note", "5 µg <vitamin> & \"more\" &amp;");
    root.AddTextElement("empty", "");
    ASSERT_TRUE(doc.Indent());
    doc.Save(dir.File("a.xml"));

    const std::string written = dir.Read("a.xml");
    EXPECT_THAT(written, StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root"));
    EXPECT_THAT(written, HasSubstr("\n  <LogDay"));
    EXPECT_THAT(written, HasSubstr("\n    <note>5 µg &lt;vitamin&gt; &amp; \"more\" &amp;amp;</note>"));

    XmlDocument back;
    ASSERT_TRUE(back.Load(dir.File("a.xml"))) << back.ParseError();
    XmlElement d = back.Root().SelectSingleNode("LogDay");
    EXPECT_EQ("velmora", back.Root().GetAttribute("app").AsString());
    EXPECT_EQ(1, back.Root().GetAttribute("version").AsInt());
    EXPECT_TRUE(d.GetAttribute("ok").AsBool());
    EXPECT_EQ(0.1, d.GetAttribute("weight").AsDouble());
    EXPECT_EQ(1.0 / 3.0, d.GetAttribute("third").AsDouble());
    EXPECT_EQ("5 µg <vitamin> & \"more\" &amp;", d.SelectSingleNode("note").GetText());

    back.Save(dir.File("b.xml"));
    EXPECT_EQ(written, dir.Read("b.xml"));
}

TEST(XmlDocument, ForeignLayoutIsReindented) {
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<a>\n\t\t<b x='1'>   <c>text</c></b>\n<d>  </d></a>"));
    doc.Indent();
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n  <b x=\"1\">\n    <c>text</c>\n  </b>\n"
        "  <d>  </d>\n</a>\n",
        doc.GetXml());
}

TEST(XmlDocument, PathsWithChildStepsAndNamePredicates) {
    XmlDocument doc;
    ASSERT_TRUE(
        doc.LoadXml("<settings><section name='General'><param name='a'/><param name='b'/></section>"
                    "<section name='Update'><param name='c'/></section></settings>"));
    XmlElement update = doc.Root().SelectSingleNode("section[@name='Update']");
    ASSERT_FALSE(update.IsNull());
    EXPECT_EQ("c", XmlElement(update.SelectSingleNode("param")).GetAttribute("name").AsString());

    XmlNodeList params = doc.SelectNodes("settings/section/param");
    std::vector<std::string> names;
    for (XmlNode n; params.NextNode(n);) names.push_back(XmlElement(n).GetAttribute("name").AsString());
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), names);
    EXPECT_THROW(doc.SelectNodes("section[@name="), XmlError);
}

TEST(XmlElement, AttributesWithAndWithoutDefaults) {
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml("<e n='12' t='text'>body</e>"));
    XmlElement e = doc.Root();
    EXPECT_EQ("fallback", e.GetAttribute("missing", "fallback").AsString());
    EXPECT_EQ(7, e.GetAttribute("missing", 7).AsInt());
    EXPECT_EQ(12, e.GetAttribute("n", 7).AsInt());
    EXPECT_TRUE(e.GetAttribute("missing").IsAbsent());
    EXPECT_THROW(e.GetAttribute("missing").AsString(), XmlError);
    EXPECT_THROW(e.GetAttribute("t").AsInt(), XmlError);
    EXPECT_THROW(XmlElement(e.SelectSingleNode("text()")), XmlError);
}

struct ValueCase {
    const char* text;
    double number;  // NaN: not a number
    int integer;
    int boolean;  // -1: not a boolean
};

class XmlValueConversion : public ::testing::TestWithParam<ValueCase> {};

TEST_P(XmlValueConversion, TextConvertsAsVariantsDo) {
    const ValueCase& c = GetParam();
    XmlValue v(c.text);
    if (std::isnan(c.number)) {
        EXPECT_THROW(v.AsDouble(), XmlError);
        EXPECT_THROW(v.AsInt(), XmlError);
    } else {
        EXPECT_EQ(c.number, v.AsDouble());
        EXPECT_EQ(c.integer, v.AsInt());
    }
    if (c.boolean < 0)
        EXPECT_THROW(v.AsBool(), XmlError);
    else
        EXPECT_EQ(c.boolean == 1, v.AsBool());
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Table, XmlValueConversion,
                         ::testing::Values(ValueCase{"12", 12, 12, 1}, ValueCase{" 7 ", 7, 7, 1},
                                           ValueCase{"-3", -3, -3, 1}, ValueCase{"0", 0, 0, 0},
                                           ValueCase{"-1", -1, -1, 1}, ValueCase{"1.5", 1.5, 2, 1},
                                           ValueCase{"2.5", 2.5, 2, 1}, ValueCase{"1e3", 1000, 1000, 1},
                                           ValueCase{"true", kNaN, 0, 1}, ValueCase{"True", kNaN, 0, 1},
                                           ValueCase{"false", kNaN, 0, 0}, ValueCase{"False", kNaN, 0, 0},
                                           ValueCase{"", kNaN, 0, -1}, ValueCase{"abc", kNaN, 0, -1},
                                           ValueCase{"12abc", kNaN, 0, -1}, ValueCase{"yes", kNaN, 0, -1}));

TEST(XmlValue, WrittenFormsReadBack) {
    for (double d : {0.1, 1e-300, 123456789.125, -0.0, 1.0 / 3.0, 5e20})
        EXPECT_EQ(d, XmlValue(XmlValue(d).AsString()).AsDouble()) << d;
    EXPECT_EQ("true", XmlValue(true).AsString());
    EXPECT_EQ("false", XmlValue(false).AsString());
    EXPECT_EQ("-42", XmlValue(-42).AsString());
    EXPECT_EQ(0.5f, XmlValue("0.5").AsFloat());
}

TEST(XmlDocument, MalformedAndMissingFilesDoNotLoad) {
    TempDir dir;
    dir.Write("bad.xml", "<root>\n  <open>\n</root>");
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(dir.File("missing.xml")));
    EXPECT_FALSE(doc.Load(dir.File("bad.xml")));
    EXPECT_THAT(doc.ParseError(), HasSubstr("bad.xml:3:"));
    EXPECT_FALSE(doc.LoadXml(""));
    EXPECT_FALSE(doc.LoadXml("<a></b>"));
}

TEST(XmlDocument, HostileDocumentsFailWithoutExpandingOrReading) {
    TempDir dir;
    dir.Write("secret.txt", "top secret");
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
        "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
        "<!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">"
        "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">"
        "<!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">"
        "<!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">"
        "<!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">"
        "<!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">"
        "<!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">"
        "<!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">"
        "]><lolz>&lol9;</lolz>";
    const std::string xxe =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + dir.File("secret.txt") + "\">]><r>&x;</r>";
    const std::string externalDtd = "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"" + dir.File("secret.txt") + "\"><r/>";
    for (const std::string& text : {laughs, xxe, externalDtd}) {
        XmlDocument doc;
        EXPECT_FALSE(doc.LoadXml(text));
        dir.Write("hostile.xml", text);
        EXPECT_FALSE(doc.Load(dir.File("hostile.xml")));
        EXPECT_THROW(doc.Root(), std::logic_error);
    }
}

// A document type declaration that declares internal general entities only is read, with the
// entities replaced; one that reaches outside the document is refused saying so.
TEST(XmlDocument, DocumentTypeDeclarationsWithInternalEntitiesOnly) {
    TempDir dir;
    dir.Write("secret.txt", "top secret");
    const std::string secret = dir.File("secret.txt");
    const std::string refused = "external references in a document type declaration are not accepted";
    const struct {
        const char* what;
        std::string text;
        std::string reason;  // empty: read
    } cases[] = {
        {"internal entities",
         "<!DOCTYPE a [<!ENTITY nbsp \"&#160;\"><!ENTITY who \"J &amp; K\">]><a n='1&nbsp;2'>&who;&nbsp;</a>", ""},
        {"no subset",
         "<!DOCTYPE a><a n='1\xC2\xA0"
         "2'>J &amp; K\xC2\xA0</a>",
         ""},
        {"SYSTEM subset", "<!DOCTYPE a SYSTEM \"" + secret + "\"><a/>", refused},
        {"PUBLIC subset", "<!DOCTYPE a PUBLIC \"-//X//Y\" \"" + secret + "\"><a/>", refused},
        {"external entity", "<!DOCTYPE a [<!ENTITY s SYSTEM \"" + secret + "\">]><a>&s;</a>", refused},
        {"public entity", "<!DOCTYPE a [<!ENTITY s PUBLIC \"-//X//Y\" \"" + secret + "\">]><a>&s;</a>", refused},
        {"parameter entity", "<!DOCTYPE a [<!ENTITY % p \"<!ENTITY q 'x'>\"> %p;]><a>&q;</a>", refused},
        {"unparsed entity",
         "<!DOCTYPE a [<!NOTATION n SYSTEM \"x\"><!ENTITY u SYSTEM \"" + secret + "\" NDATA n>]><a/>", refused},
        {"undeclared entity", "<!DOCTYPE a [<!ENTITY nbsp \"&#160;\">]><a>&mdash;</a>", "Entity 'mdash' not defined"},
    };
    for (const auto& c : cases) {
        XmlDocument fromText, fromFile;
        dir.Write("doc.xml", c.text);
        if (c.reason.empty()) {
            ASSERT_TRUE(fromText.LoadXml(c.text)) << c.what << ": " << fromText.ParseError();
            ASSERT_TRUE(fromFile.Load(dir.File("doc.xml"))) << c.what << ": " << fromFile.ParseError();
            for (const XmlDocument* doc : {&fromText, &fromFile}) {
                EXPECT_EQ("J & K\xC2\xA0", doc->Root().GetText()) << c.what;
                EXPECT_EQ(
                    "1\xC2\xA0"
                    "2",
                    doc->Root().GetAttribute("n").AsString())
                    << c.what;
            }
            continue;
        }
        EXPECT_FALSE(fromText.LoadXml(c.text)) << c.what;
        EXPECT_THAT(fromText.ParseError(), HasSubstr(c.reason)) << c.what;
        EXPECT_FALSE(fromFile.Load(dir.File("doc.xml"))) << c.what;
        EXPECT_THAT(fromFile.ParseError(), AllOf(StartsWith(dir.File("doc.xml") + ":"), HasSubstr(c.reason))) << c.what;
        EXPECT_THAT(fromFile.ParseError(), Not(HasSubstr("top secret"))) << c.what;
    }
}

// Users edit the report templates; one that declares &nbsp; for its output is used.
TEST(XmlNode, StyleSheetDeclaringAnEntityTransforms) {
    XmlDocument sheet;
    ASSERT_TRUE(
        sheet.LoadXml("<!DOCTYPE xsl:stylesheet [<!ENTITY nbsp \"&#160;\">]>"
                      "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                      "<xsl:output method='xml' omit-xml-declaration='yes' encoding='UTF-8'/>"
                      "<xsl:template match='/r'><p>a&nbsp;b</p></xsl:template></xsl:stylesheet>"))
        << sheet.ParseError();
    XmlDocument report;
    ASSERT_TRUE(report.LoadXml("<r/>"));
    std::string out;
    ASSERT_TRUE(report.AsNode().TransformNode(sheet.AsNode(), out));
    EXPECT_EQ(
        "<p>a\xC2\xA0"
        "b</p>\n",
        out);
}

// libxml2 needs time growing with the square of the attributes of one element, so an element
// with more than the bound is refused before parsing. Markup that only looks like attributes
// (in values, comments, CDATA, the document type declaration) does not count, wherever the
// text is cut into pieces.
TEST(XmlDocument, ElementsWithTooManyAttributesAreRefused) {
    const auto attributes = [](int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += " a" + std::to_string(i) + "='1'";
        return out;
    };
    const int most = AttributeBound::kMaxAttributes;
    const std::string equalSigns(static_cast<std::size_t>(most) + 1, '=');
    const struct {
        std::string text;
        bool refused;
    } cases[] = {
        {"<r><e" + attributes(most) + "/></r>", false},
        {"<r><e" + attributes(most + 1) + "/></r>", true},
        {"<r" + attributes(most + 1) + ">", true},
        {"<r a='" + equalSigns + "' b=\"" + equalSigns + "\"/>", false},
        {"<r><!-- <e " + equalSigns + " --></r>", false},
        {"<r><![CDATA[ <e " + equalSigns + " ]]></r>", false},
        {"<?pi " + equalSigns + "?><r/>", false},
        {"<!DOCTYPE r [<!ENTITY x '<e " + equalSigns + "'>]><r/>", false},
        {"<r>" + equalSigns + "</r>", false},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{7}, c.text.size()}) {
            AttributeBound bound;
            bool ok = true;
            for (std::size_t at = 0; at < c.text.size(); at += piece)
                ok = bound.Feed(c.text.data() + at, std::min(piece, c.text.size() - at)) && ok;
            EXPECT_EQ(c.refused, !ok) << c.text.substr(0, 60) << " in pieces of " << piece;
        }
    }
    TempDir dir;
    dir.Write("many.xml", cases[1].text);
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(dir.File("many.xml")));
    EXPECT_EQ(dir.File("many.xml") + ": an element has more than " + std::to_string(most) + " attributes",
              doc.ParseError());
    EXPECT_FALSE(doc.LoadXml(cases[1].text));
    ASSERT_TRUE(doc.LoadXml(cases[0].text)) << doc.ParseError();
    EXPECT_EQ("1", doc.Root().ChildElement("e").GetAttribute("a" + std::to_string(most - 1)).AsString());
}

TEST(XmlNode, TransformWithStyleSheet) {
    XmlDocument sheet;
    ASSERT_TRUE(
        sheet.LoadXml("<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                      "<xsl:output method='html'/>"
                      "<xsl:template match='/report'><p><xsl:value-of select='@title'/>: "
                      "<xsl:value-of select='count(item)'/></p></xsl:template></xsl:stylesheet>"));
    XmlDocument report;
    ASSERT_TRUE(report.LoadXml("<report title='Daily &amp; more'><item/><item/></report>"));
    std::string html;
    EXPECT_TRUE(report.AsNode().TransformNode(sheet.AsNode(), html));
    EXPECT_EQ("<p>Daily &amp; more: 2</p>\n", html);

    XmlDocument notSheet;
    ASSERT_TRUE(notSheet.LoadXml("<plain/>"));
    EXPECT_THROW(report.AsNode().TransformNode(notSheet.AsNode(), html), XmlError);
}

TEST(XmlDocument, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    dir.Write("keep.xml", "<old/>");
    XmlDocument doc;
    doc.AppendChild(doc.CreateElement("new"));
    EXPECT_THROW(doc.Save(dir.File("no-such-folder/x.xml")), XmlError);
    std::filesystem::create_directory(dir.Path() / "folder.xml");
    EXPECT_THROW(doc.Save(dir.File("folder.xml")), XmlError);
    EXPECT_EQ("<old/>", dir.Read("keep.xml"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_THAT(entry.path().filename().string(), ::testing::Not(StartsWith(".")));
}

// Elements handed over during the parse: in the order of the file, each whole when handed over,
// only at their path below the root; those taken are gone from the tree, the others stay.
TEST(XmlDocument, StreamedElementsAreHandedOverWholeAndTakenOutOfTheTree) {
    TempDir dir;
    dir.Write("log.xml",
              "<root><Log><Day n='1'><Food/></Day><Note/><Day n='2' keep='1'/><Day n='3'/></Log>"
              "<Other><Log><Day n='4'/></Log></Other><Log><Day n='5'/></Log></root>");
    std::vector<std::string> seen;
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(dir.File("log.xml"), {{"Log", "Day"}, [&seen](const XmlElement& day) {
                                                   seen.push_back(day.GetAttribute("n").AsString() +
                                                                  (day.ChildElement("Food") ? "+food" : ""));
                                                   return !day.HasAttribute("keep");
                                               }}));
    EXPECT_EQ(seen, (std::vector<std::string>{"1+food", "2", "3", "5"}));
    // The tree without its indentation.
    std::string tree;
    std::istringstream lines(doc.Root().GetXml());
    for (std::string line; std::getline(lines >> std::ws, line);) tree += line;
    EXPECT_EQ(tree,
              "<root><Log><Note/><Day n=\"2\" keep=\"1\"/></Log><Other><Log><Day n=\"4\"/></Log></Other>"
              "<Log/></root>");
}

TEST(XmlDocument, StreamedElementsOfADocumentDeclaringEntitiesStayInTheTree) {
    TempDir dir;
    dir.Write("entities.xml",
              "<!DOCTYPE root [<!ENTITY day '<Day n=\"e\"/>'>]><root><Log>&day;<Day n='1'/>&day;</Log></root>");
    int handed = 0;
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(dir.File("entities.xml"), {{"Log", "Day"}, [&handed](const XmlElement&) {
                                                        ++handed;
                                                        return true;
                                                    }}));
    EXPECT_EQ(handed, 0);
    EXPECT_EQ(doc.Root().ChildElement("Log").ChildElements("Day").size(), 3u);
}

TEST(XmlDocument, StreamedElementsStopAtAnErrorOrABrokenFile) {
    TempDir dir;
    dir.Write("log.xml", "<root><Log><Day n='1'/><Day n='2'/><Day n='3'/></Log></root>");
    dir.Write("broken.xml", "<root><Log><Day n='1'/><Day n='2'/></Log>");
    std::vector<std::string> seen;
    const StreamedElements failing{{"Log", "Day"}, [&seen](const XmlElement& day) -> bool {
                                       seen.push_back(day.GetAttribute("n").AsString());
                                       if (seen.size() == 2) throw XmlError(XmlError::Conversion, "day two");
                                       return true;
                                   }};
    XmlDocument doc;
    EXPECT_THROW(
        {
            try {
                doc.Load(dir.File("log.xml"), failing);
            } catch (const XmlError& e) {
                EXPECT_STREQ(e.what(), "day two");
                throw;
            }
        },
        XmlError);
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2"}));

    seen.clear();
    XmlDocument broken;
    EXPECT_FALSE(broken.Load(dir.File("broken.xml"), {{"Log", "Day"}, [&seen](const XmlElement& day) {
                                                          seen.push_back(day.GetAttribute("n").AsString());
                                                          return true;
                                                      }}));
    EXPECT_THAT(broken.ParseError(), StartsWith(dir.File("broken.xml") + ":"));
}
