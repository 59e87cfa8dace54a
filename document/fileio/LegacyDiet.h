#pragma once

#include "core/xml/Xml.h"

namespace NS_Data {
class CUserLog;
}

// Reads a "Diet" document of earlier program versions (one day, its foods as full food records,
// the requirements by nutrient name) into the log. The load report is emptied first; foods and
// nutrients that can't be used are noted there under "Unknown nutrient", "Removed nutrient",
// "Unknown data source for food" and "Unknown key for food". Afterwards the log follows every
// nutrient of the data source.
bool ReadLegacyDiet(NS_Data::CUserLog& log, const Xml::XmlElement& diet);
