#pragma once

#include "core/xml/JsonSerialize.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Filling the HTML pages' placeholders with JSON, before the page host shows them.
namespace Page {

// Placeholder key, with its percent signs ("%JSON_USERLOG_LOG%"), to the object that answers it.
// Ordered by key, which is the order of the replacements. The sources are not owned.
using PlaceholderTable = std::map<std::string, const IJSONSerialize*>;

// Styled: written by Json::StyledWriter, for people to read. Compact: on one line without
// spaces, what pages get: a day's figures take well under half the text, read that much sooner.
enum class JsonLayout { Styled, Compact };

// The text for the key: a fresh value filled by the source (left null without a source), made
// safe for a <script> block.
std::string PlaceholderJson(const IJSONSerialize* source, const std::string& key,
                            JsonLayout layout = JsonLayout::Styled);

// Each key of the table with the text a page gets for it (compact), in key order.
using PlaceholderValues = std::vector<std::pair<std::string, std::string>>;
PlaceholderValues FillValues(const PlaceholderTable& table);

// Replaces every occurrence of each key in the page, in key order. Inserted JSON is never
// searched again, by its own key or a later one, so a food named like a placeholder stays a name.
std::string FillPlaceholders(const std::string& page, const PlaceholderTable& table);
std::string FillPlaceholders(const std::string& page, const PlaceholderValues& values);

// Writes "<", ">" and "&" as \u003c, \u003e and \u0026. They can only stand inside JSON strings,
// where the escapes mean the same characters; a food named "</script>" can then no longer end
// the script block it is inserted into.
std::string EscapeForScript(const std::string& json);

}  // namespace Page
