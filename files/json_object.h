// A JSON object written key by key for people to read: what cyclar-export prints and the
// browser reads, from one writer.
#pragma once

#include <optional>
#include <string>

namespace cyclar {

struct SphereVector;

/// One key a line; numbers in their shortest round-trip form (a minus zero keeps its sign), null
/// for one that is not finite; strings escaped as JSON asks.
class JsonObject {
public:
    void number(const char* key, double value);
    void vector(const char* key, const SphereVector& v);
    void boolean(const char* key, bool value);
    void string(const char* key, const std::string& value);
    void nullable(const char* key, const std::optional<std::string>& value);
    void nullable(const char* key, const std::optional<bool>& value);
    void nullable(const char* key, const std::optional<double>& value);
    template <typename Numbers> void numbers(const char* key, const Numbers& values)
    {
        field(key);
        m_text += '[';
        bool first = true;
        for (const double value : values) {
            if (!first) {
                m_text += ", ";
            }
            m_text += json(value);
            first = false;
        }
        m_text += ']';
    }
    std::string finish() const { return m_text + "\n}\n"; }

    /// A number as the object writes it.
    static std::string json(double value);

private:
    void field(const char* key);
    std::string m_text = "{";
};

} // namespace cyclar
