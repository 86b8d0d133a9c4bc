// The JSON object writer shared by cyclar-export and the browser.
#include "json_object.h"

#include "design_result_text.h"
#include "linkage_file.h"
#include "linkage_model.h"
#include "significant_text.h"

#include <cmath>

namespace cyclar {

std::string JsonObject::json(double value)
{
    return jsonNumberText(value);
}

void JsonObject::field(const char* key)
{
    if (m_text.size() > 1) {
        m_text += ',';
    }
    m_text += "\n  \"";
    m_text += key;
    m_text += "\": ";
}

void JsonObject::number(const char* key, double value)
{
    field(key);
    m_text += json(value);
}

void JsonObject::vector(const char* key, const SphereVector& v)
{
    field(key);
    m_text += '[';
    m_text += json(v.x);
    m_text += ", ";
    m_text += json(v.y);
    m_text += ", ";
    m_text += json(v.z);
    m_text += ']';
}

void JsonObject::boolean(const char* key, bool value)
{
    field(key);
    m_text += value ? "true" : "false";
}

void JsonObject::string(const char* key, const std::string& value)
{
    field(key);
    m_text += jsonQuoted(value);
}

void JsonObject::nullable(const char* key, const std::optional<std::string>& value)
{
    if (value) {
        string(key, *value);
    } else {
        field(key);
        m_text += "null";
    }
}

void JsonObject::nullable(const char* key, const std::optional<bool>& value)
{
    field(key);
    m_text += value ? (*value ? "true" : "false") : "null";
}

void JsonObject::nullable(const char* key, const std::optional<double>& value)
{
    field(key);
    m_text += value ? json(*value) : std::string("null");
}

} // namespace cyclar
