#include "PageTemplate.h"

#include <utility>
#include <vector>

namespace Page {

std::string EscapeForScript(const std::string& json) {
    std::string out;
    out.reserve(json.size());
    for (char c : json) {
        switch (c) {
            case '<': out += "\\u003c"; break;
            case '>': out += "\\u003e"; break;
            case '&': out += "\\u0026"; break;
            default: out += c;
        }
    }
    return out;
}

std::string PlaceholderJson(const IJSONSerialize* source, const std::string& key, JsonLayout layout) {
    Json::Value value;
    if (source) source->WriteJson(value, key);
    if (layout == JsonLayout::Compact) {
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "";
        return EscapeForScript(Json::writeString(builder, value));
    }
    Json::StyledWriter writer;
    return EscapeForScript(writer.write(value));
}

PlaceholderValues FillValues(const PlaceholderTable& table) {
    PlaceholderValues values;
    for (const auto& [key, source] : table)
        if (!key.empty()) values.emplace_back(key, PlaceholderJson(source, key, JsonLayout::Compact));
    return values;
}

std::string FillPlaceholders(const std::string& page, const PlaceholderTable& table) {
    return FillPlaceholders(page, FillValues(table));
}

std::string FillPlaceholders(const std::string& page, const PlaceholderValues& values) {
    // The page as runs of its own text and of inserted JSON; only its own text is searched.
    struct Run {
        std::string text;
        bool inserted;
    };
    std::vector<Run> runs{{page, false}};
    for (const auto& [key, json] : values) {
        if (key.empty()) continue;
        std::vector<Run> next;
        for (Run& run : runs) {
            if (run.inserted) {
                next.push_back(std::move(run));
                continue;
            }
            std::size_t from = 0;
            for (std::size_t at; (at = run.text.find(key, from)) != std::string::npos; from = at + key.size()) {
                next.push_back({run.text.substr(from, at - from), false});
                next.push_back({json, true});
            }
            next.push_back({run.text.substr(from), false});
        }
        runs = std::move(next);
    }
    std::string out;
    for (const Run& run : runs) out += run.text;
    return out;
}

}  // namespace Page
