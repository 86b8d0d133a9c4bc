// SVG drawing: pens as groups, polylines through pixel centres, the label as pixel outlines.
#include "svg_surface.h"

#include "label_face.h"
#include "significant_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace cyclar {

namespace {

void appendNumber(std::string& out, long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// Every coordinate is a whole or half pixel (the centres of pixels, halfway between two): written
// exactly, as "12" or "12.5", from twice its value.
void appendHalves(std::string& out, long long twice)
{
    if (twice < 0) {
        out += '-';
        twice = -twice;
    }
    appendNumber(out, twice / 2);
    if (twice % 2 != 0) {
        out += ".5";
    }
}

// The centre of pixel v along one axis, in halves of a pixel.
long long centre(int v)
{
    return 2LL * v + 1;
}

std::string hexColour(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.r, colour.g, colour.b);
    return text;
}

} // namespace

SvgSurface::SvgSurface(int width, int height) : m_width(width), m_height(height) {}

void SvgSurface::selectPen(const PenSpec& pen)
{
    flush();
    closeGroup();
    m_pen = pen;
}

void SvgSurface::openPenGroup()
{
    if (m_groupOpen) {
        return;
    }
    // A square cap covers the end pixels as the raster does; joins are mitred like pixels.
    m_body += "<g fill=\"none\" stroke=\"" + hexColour(m_pen.colour) + "\" stroke-width=\"";
    appendNumber(m_body, static_cast<long long>(std::max(1, m_pen.width)));
    m_body += "\" stroke-linecap=\"square\" stroke-linejoin=\"miter\">\n";
    m_groupOpen = true;
}

void SvgSurface::closeGroup()
{
    if (m_groupOpen) {
        m_body += "</g>\n";
        m_groupOpen = false;
    }
}

void SvgSurface::moveTo(int x, int y)
{
    flush();
    m_currentX = x;
    m_currentY = y;
}

void SvgSurface::lineTo(int x, int y)
{
    if (m_pointCount == 0) {
        appendHalves(m_points, centre(m_currentX));
        m_points += ',';
        appendHalves(m_points, centre(m_currentY));
        m_pointCount = 1;
    }
    m_points += ' ';
    appendHalves(m_points, centre(x));
    m_points += ',';
    appendHalves(m_points, centre(y));
    ++m_pointCount;
    m_currentX = x;
    m_currentY = y;
}

void SvgSurface::flush()
{
    if (m_pointCount > 1) {
        openPenGroup();
        m_body += "<polyline points=\"" + m_points + "\"/>\n";
    }
    m_points.clear();
    m_pointCount = 0;
}

void SvgSurface::ellipse(int left, int top, int right, int bottom)
{
    flush();
    openPenGroup();
    m_body += "<ellipse fill=\"#ffffff\" cx=\"";
    appendHalves(m_body, (centre(left) + centre(right)) / 2);
    m_body += "\" cy=\"";
    appendHalves(m_body, (centre(top) + centre(bottom)) / 2);
    m_body += "\" rx=\"";
    appendHalves(m_body, std::abs(static_cast<long long>(right) - left));
    m_body += "\" ry=\"";
    appendHalves(m_body, std::abs(static_cast<long long>(bottom) - top));
    m_body += "\"/>\n";
}

void SvgSurface::rectangle(int left, int top, int right, int bottom)
{
    flush();
    openPenGroup();
    m_body += "<rect fill=\"#ffffff\" x=\"";
    appendHalves(m_body, centre(left));
    m_body += "\" y=\"";
    appendHalves(m_body, centre(top));
    m_body += "\" width=\"";
    appendNumber(m_body, static_cast<long long>(right) - 1 - left);
    m_body += "\" height=\"";
    appendNumber(m_body, static_cast<long long>(bottom) - 1 - top);
    m_body += "\"/>\n";
}

void SvgSurface::textOut(int x, int y, std::string_view text)
{
    flush();
    closeGroup();
    const LabelFace& face = labelFace();
    const long long cellWidth = std::max(1, face.textWidth(text));
    // The opaque cell, then each row's runs of inked pixels as little rectangles, clipped to the
    // cell as the raster clips them.
    m_body +=
        "<g role=\"img\" aria-label=\"" + markupEscaped(text) + "\">\n<rect fill=\"#ffffff\" x=\"";
    appendNumber(m_body, static_cast<long long>(x));
    m_body += "\" y=\"";
    appendNumber(m_body, static_cast<long long>(y));
    m_body += "\" width=\"";
    appendNumber(m_body, cellWidth);
    m_body += "\" height=\"";
    appendNumber(m_body, static_cast<long long>(face.height));
    m_body += "\"/>\n<path fill=\"" + hexColour(m_textColour) + "\" d=\"";
    const long long cellLeft = x;
    const long long cellRight = static_cast<long long>(x) + cellWidth;
    const long long cellTop = y;
    const long long cellBottom = static_cast<long long>(y) + face.height;
    face.layOut(text, [&](const LabelGlyphImage& g, long long glyphX) {
        const int rowBytes = (g.width + 7) / 8;
        for (int gy = 0; gy < g.height; ++gy) {
            const long long py = static_cast<long long>(y) + g.top + gy;
            if (py < cellTop || py >= cellBottom) {
                continue;
            }
            const std::uint8_t* bits = face.bits + g.offset + gy * rowBytes;
            const auto inked = [&](int gx) {
                const long long px = x + glyphX + g.left + gx;
                return (bits[gx / 8] & (0x80 >> (gx % 8))) != 0 && px >= cellLeft && px < cellRight;
            };
            for (int gx = 0; gx < g.width;) {
                if (!inked(gx)) {
                    ++gx;
                    continue;
                }
                int end = gx + 1;
                while (end < g.width && inked(end)) {
                    ++end;
                }
                m_body += 'M';
                appendNumber(m_body, x + glyphX + g.left + gx);
                m_body += ' ';
                appendNumber(m_body, py);
                m_body += 'h';
                appendNumber(m_body, static_cast<long long>(end - gx));
                m_body += "v1h-";
                appendNumber(m_body, static_cast<long long>(end - gx));
                m_body += 'z';
                gx = end;
            }
        }
    });
    m_body += "\"/>\n</g>\n";
}

std::string SvgSurface::elements()
{
    flush();
    closeGroup();
    return m_body;
}

namespace {

// A whole document around the drawing steps `compose` writes on a 480 x 480 surface.
template <typename Compose>
std::string svgDocument(const SceneState& scene, const FramePalette& palette, Compose compose)
{
    constexpr int size = 480;
    FramePalette vectors = palette;
    vectors.scale = 1; // vectors have no device pixels
    SvgSurface surface(size, size);
    compose(surface, vectors);
    std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"480\" "
        "height=\"480\" viewBox=\"0 0 480 480\">\n<title>cyclar</title>\n<desc>";
    document += markupEscaped(classificationLabel(scene.model));
    document += "</desc>\n<rect fill=\"#ffffff\" x=\"0\" y=\"0\" width=\"480\" height=\"480\"/>\n";
    document += surface.elements();
    document += "</svg>\n";
    return document;
}

} // namespace

std::string frameSvgDocument(SceneState& scene, const FramePalette& palette)
{
    return svgDocument(scene, palette, [&scene](SvgSurface& surface, const FramePalette& vectors) {
        composeFrame(surface, scene, vectors);
    });
}

std::string poseSvgDocument(SceneState& scene, const SphereVector& A1, const SphereVector& B1,
                            const SphereVector& P, const FramePalette& palette)
{
    return svgDocument(scene, palette, [&](SvgSurface& surface, const FramePalette& vectors) {
        composePose(surface, scene, A1, B1, P, vectors);
    });
}

} // namespace cyclar
