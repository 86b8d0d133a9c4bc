// PixelBuffer: allocation, fills and copies.
#include "pixel_buffer.h"

#include <algorithm>
#include <stdexcept>

namespace cyclar {

PixelBuffer::PixelBuffer(int width, int height, PixelOrder order) : m_order(order)
{
    if (width > 0 && height > 0) {
        m_width = width;
        m_height = height;
        m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        packPixel(white, order));
    }
}

void PixelBuffer::fill(Rgb colour)
{
    std::fill(m_pixels.begin(), m_pixels.end(), word(colour));
}

void PixelBuffer::copyPixels(const PixelBuffer& from)
{
    if (from.m_width != m_width || from.m_height != m_height || from.m_order != m_order) {
        throw std::invalid_argument("PixelBuffer::copyPixels: buffers differ in size or order");
    }
    std::copy(from.m_pixels.begin(), from.m_pixels.end(), m_pixels.begin());
}

} // namespace cyclar
