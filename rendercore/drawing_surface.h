// What a picture is drawn through: pens, polylines, ellipses, rectangles and label text.
#pragma once

#include "pixel_buffer.h"

#include <string_view>

namespace cyclar {

/// Where polylines go: a move starts one, each line extends it to the given pixel.
class LineSink {
public:
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;

protected:
    ~LineSink() = default;
};

/// A solid pen: width in pixels and colour.
struct PenSpec {
    Rgb colour;
    int width = 1;
};

/// The drawing steps a frame is made of, in pixel coordinates of a width x height picture.
/// The raster buffer is one implementation; a vector backend can be another.
class DrawingSurface : public LineSink {
public:
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void selectPen(const PenSpec& pen) = 0;
    virtual void setTextColor(Rgb colour) = 0;
    /// Outline in the current pen through the box's edges (left..right, top..bottom), filled white.
    /// A pen w pixels wide lays a w x w square on each pixel of the one-pixel outline.
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    /// Covers [left, right) x [top, bottom): white inside, outline in the current pen.
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    /// One line of printable ASCII in the label face, its cell's top-left corner at (x, y), on
    /// an opaque white cell.
    virtual void textOut(int x, int y, std::string_view text) = 0;
    /// Text from now on is drawn with each pixel of the face as a factor x factor block
    /// (a picture drawn at that scale). Surfaces that do not draw pixels ignore it.
    virtual void setTextScale(int factor) { static_cast<void>(factor); }

protected:
    ~DrawingSurface() = default;
};

} // namespace cyclar
