#pragma once

#include <json/json.h>

#include <string>

// Objects that describe themselves to the HTML pages: WriteJson fills a value for a placeholder
// key such as "%JSON_USERLOG_LOG%" (with its percent signs). An object leaves the value as it
// was for a key it does not answer.
class IJSONSerialize {
public:
    virtual ~IJSONSerialize() = default;
    // True when the key was one the object answers.
    virtual bool WriteJson(Json::Value& value, const std::string& placeholder) const = 0;
    // Taking data back from a page; no object reads JSON yet.
    virtual bool ReadJson(const Json::Value& /*value*/, const std::string& /*placeholder*/) { return false; }
};
