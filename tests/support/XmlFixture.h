#pragma once

#include "core/xml/Xml.h"

#include <gtest/gtest.h>

#include <string>

// A document with an empty root to save model objects under, and the way back: the text a save
// produced, parsed again, as a file would be.
struct XmlFixture {
    Xml::XmlDocument doc;
    Xml::XmlElement root;

    XmlFixture() {
        root = doc.CreateElement("root");
        doc.AppendChild(root);
    }

    // The root of a freshly parsed document holding `xml`.
    static Xml::XmlElement Parse(Xml::XmlDocument& into, const std::string& xml) {
        EXPECT_TRUE(into.LoadXml(xml)) << into.ParseError();
        return into.Root();
    }

    // The first element of that name under the root of the saved text, read back.
    Xml::XmlElement Reparsed(Xml::XmlDocument& into, const std::string& name) const {
        return Parse(into, doc.GetXml()).ChildElement(name);
    }
};
