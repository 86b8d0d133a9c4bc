// Animated GIF, encoded in memory: the colour tables, the frames' changed rectangles and LZW.
#pragma once

#include "pixel_buffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cyclar {

/// An animated GIF (89a) of width x height frames that loops forever, each frame shown for
/// `delay` hundredths of a second. The global colour table holds the given colours (white
/// first, as the background); a frame with colours beyond them carries a table of its own (at
/// most 256 colours a frame). Frames after the first carry only the rectangle where they differ
/// from the frame before and are laid over it (no disposal), so every frame shown is the whole
/// picture.
class GifEncoder {
public:
    GifEncoder(int width, int height, const std::vector<Rgb>& colours, int delay);

    /// Adds a frame of width x height pixels in the given order, rows one after another.
    /// False (with the reason) when the frame has another size or more than 256 colours.
    bool addFrame(const std::uint32_t* pixels, int width, int height, PixelOrder order,
                  std::string& error);
    bool addFrame(const PixelBuffer& frame, std::string& error)
    {
        return addFrame(frame.data(), frame.width(), frame.height(), frame.order(), error);
    }
    /// The whole file: what was added, and the trailer. The encoder is done after this.
    std::string finish();
    int frameCount() const { return m_frames; }

private:
    int m_width;
    int m_height;
    int m_delay;
    int m_frames = 0;
    std::vector<std::uint32_t> m_colours;  ///< the global table, as 0xRRGGBB
    std::vector<std::uint32_t> m_previous; ///< the last frame, as 0xRRGGBB
    std::string m_bytes;
};

} // namespace cyclar
