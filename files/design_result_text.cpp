// The design's answer as JSON, laid out for reading: one candidate per block.
#include "design_result_text.h"

#include "linkage_file.h"
#include "significant_text.h"

#include <cstdio>

namespace cyclar {

std::string jsonQuoted(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (static_cast<unsigned char>(ch) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(ch));
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + '"';
}

namespace {

std::string candidateJson(const DesignCandidate& c, TaskKind kind)
{
    const auto number = [](double value) { return fileNumberText(value); };
    const LinkageDimensions& d = c.dims;
    std::string out = "    {\"dims\": {\"a\": " + number(d.a) + ", \"b\": " + number(d.b)
                      + ", \"c\": " + number(d.c) + ", \"f\": " + number(d.f) + ", \"h\": "
                      + number(d.h) + ", \"k\": " + number(d.k) + "},\n     \"placement\": [";
    for (std::size_t r = 0; r < 3; ++r) {
        out += (r == 0 ? "[" : ", [") + number(c.placement[r][0]) + ", " + number(c.placement[r][1])
               + ", " + number(c.placement[r][2]) + "]";
    }
    out += "],\n     \"positions\": [";
    for (std::size_t i = 0; i < c.positions.size(); ++i) {
        out += (i == 0 ? "{\"input\": " : ", {\"input\": ") + number(c.positions[i].input)
               + ", \"branch\": " + std::to_string(c.positions[i].branch) + "}";
    }
    out += "],\n     \"type\": " + jsonQuoted(c.type) + ",\n     \"defects\": [";
    for (std::size_t i = 0; i < c.defects.size(); ++i) {
        out += (i == 0 ? "" : ", ") + jsonQuoted(defectText(c.defects[i]));
    }
    out += "],\n     \"transmission\": [" + number(c.transmission[0]) + ", "
           + number(c.transmission[1]) + "],\n     \"mechanism\": " + std::to_string(c.mechanism);
    if (kind == TaskKind::Function) {
        out += ", \"rmsError\": " + number(c.rmsError) + ", \"maxError\": " + number(c.maxError);
    }
    return out + "}";
}

} // namespace

std::string designResultJson(const DesignResult& result)
{
    std::string out = "{\"kind\": ";
    out += result.kind == TaskKind::Function ? "\"function\"" : "\"motion\"";
    out += ",\n \"candidates\": [";
    for (std::size_t i = 0; i < result.candidates.size(); ++i) {
        out += (i == 0 ? "\n" : ",\n") + candidateJson(result.candidates[i], result.kind);
    }
    out += result.candidates.empty() ? "],\n" : "\n ],\n";
    out += " \"reason\": "
           + (result.reason.empty() ? std::string("null") : jsonQuoted(result.reason)) + "}\n";
    return out;
}

namespace {

std::string pointList(const std::vector<SphereVector>& points)
{
    std::string out = "[";
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SphereVector& p = points[i];
        out += (i == 0 ? "[" : ",\n   [") + jsonNumberText(p.x) + ", " + jsonNumberText(p.y) + ", "
               + jsonNumberText(p.z) + "]";
    }
    return out + "]";
}

} // namespace

std::string solutionMapJson(const SolutionMap& map)
{
    std::string out = "{\"centrePoints\": " + pointList(map.centrePoints) + ",\n";
    out += " \"circlePoints\": " + pointList(map.circlePoints) + ",\n";
    out += " \"parameter\": [";
    for (std::size_t i = 0; i < map.parameter.size(); ++i) {
        out += (i == 0 ? "" : i % 8 == 0 ? ",\n   " : ", ") + jsonNumberText(map.parameter[i]);
    }
    return out + "]}\n";
}

} // namespace cyclar
