// The vector backend of the drawing steps: an SVG document written as text, with no fonts.
#pragma once

#include "drawing_surface.h"
#include "frame_composition.h"

#include <string>
#include <string_view>

namespace cyclar {

/// Writes the drawing steps as SVG elements in a width x height coordinate system whose unit is
/// the picture's pixel. Pixel (x, y) covers [x, x + 1) x [y, y + 1), so vectors go through the
/// pixels' centres and each vertex lies where the raster sets its pixel. Each pen is a group of
/// its own (stroke and stroke-width); polylines are gathered and written whole. The label is
/// drawn as the outlines of the face's pixels, so it looks the same wherever the file is opened,
/// whatever fonts the machine has.
class SvgSurface final : public DrawingSurface {
public:
    SvgSurface(int width, int height);
    SvgSurface(const SvgSurface&) = delete;
    SvgSurface& operator=(const SvgSurface&) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    void selectPen(const PenSpec& pen) override;
    void setTextColor(Rgb colour) override { m_textColour = colour; }
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void textOut(int x, int y, std::string_view text) override;

    /// The body so far: the elements drawn, the open pen group closed.
    std::string elements();

private:
    void flush();
    void openPenGroup();
    void closeGroup();

    int m_width;
    int m_height;
    std::string m_body;
    std::string m_points; ///< the polyline being gathered
    int m_pointCount = 0;
    PenSpec m_pen{Rgb(0, 0, 0), 1};
    bool m_groupOpen = false;
    Rgb m_textColour{0, 0, 0};
    int m_currentX = 0;
    int m_currentY = 0;
};

/// The frame the scene stands on (see composeFrame) as a whole SVG document of 480 x 480
/// picture pixels, on white, titled "cyclar", with the label as its description. Records in the
/// schedule what every paint records.
std::string frameSvgDocument(SceneState& scene, const FramePalette& palette = FramePalette());

/// The same document with the linkage in the pose of these joints (see composePose).
std::string poseSvgDocument(SceneState& scene, const SphereVector& A1, const SphereVector& B1,
                            const SphereVector& P, const FramePalette& palette = FramePalette());

} // namespace cyclar
