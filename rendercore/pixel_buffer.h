// A plain picture in memory: 32-bit pixels, row after row, in one of two byte orders.
#pragma once

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cyclar {

/// An opaque colour, 8 bits a channel. It converts from any colour type with red(), green()
/// and blue() and to any type built from three ints (QColor, for one), so the desktop side can
/// go on naming colours its own way.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    constexpr Rgb() = default;
    constexpr Rgb(int red, int green, int blue)
        : r(static_cast<std::uint8_t>(red)), g(static_cast<std::uint8_t>(green)),
          b(static_cast<std::uint8_t>(blue))
    {
    }
    template <typename Colour>
    requires requires(const Colour& c)
    {
        {
            c.red()
            } -> std::convertible_to<int>;
        {
            c.green()
            } -> std::convertible_to<int>;
        {
            c.blue()
            } -> std::convertible_to<int>;
    }
    constexpr Rgb(const Colour& c) : Rgb(c.red(), c.green(), c.blue()) {}
    template <typename Colour>
    requires(std::constructible_from<Colour, int, int, int> && !std::same_as<Colour, Rgb>) constexpr
    operator Colour() const
    {
        return Colour(int(r), int(g), int(b));
    }
    /// 0x00RRGGBB.
    constexpr std::uint32_t value() const
    {
        return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
    }
    friend constexpr bool operator==(const Rgb& x, const Rgb& y)
    {
        return x.r == y.r && x.g == y.g && x.b == y.b;
    }
};

inline constexpr Rgb white{255, 255, 255};

/// How a pixel's four bytes lie in memory. Alpha is always 255.
enum class PixelOrder {
    /// Bytes R, G, B, A: what a browser's ImageData holds (QImage::Format_RGBX8888).
    Rgba,
    /// One 32-bit word 0xAARRGGBB in the machine's byte order (QImage::Format_RGB32).
    Argb32,
};

/// width x height pixels, row-major, no padding between rows (a row is 4 * width bytes).
/// A size below 1 in either direction is an empty buffer.
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, PixelOrder order = PixelOrder::Rgba);

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelOrder order() const { return m_order; }
    std::size_t pixelCount() const { return m_pixels.size(); }
    std::size_t byteCount() const { return m_pixels.size() * sizeof(std::uint32_t); }

    std::uint32_t* data() { return m_pixels.data(); }
    const std::uint32_t* data() const { return m_pixels.data(); }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(m_pixels.data()); }
    const std::uint8_t* bytes() const
    {
        return reinterpret_cast<const std::uint8_t*>(m_pixels.data());
    }
    std::uint32_t* row(int y)
    {
        return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
    }
    const std::uint32_t* row(int y) const
    {
        return m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
    }

    bool contains(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(m_width)
               && static_cast<unsigned>(y) < static_cast<unsigned>(m_height);
    }

    /// The pixel word of a colour in this buffer's order.
    std::uint32_t word(Rgb colour) const { return packPixel(colour, m_order); }
    Rgb colour(std::uint32_t word) const { return unpackPixel(word, m_order); }

    void fill(Rgb colour);
    /// Takes the other buffer's pixels; both must have the same size and order.
    void copyPixels(const PixelBuffer& from);

    static constexpr std::uint32_t packPixel(Rgb c, PixelOrder order)
    {
        if (order == PixelOrder::Argb32) {
            return 0xFF000000u | c.value();
        }
        if constexpr (std::endian::native == std::endian::little) {
            return 0xFF000000u | std::uint32_t(c.b) << 16 | std::uint32_t(c.g) << 8 | c.r;
        } else {
            return std::uint32_t(c.r) << 24 | std::uint32_t(c.g) << 16 | std::uint32_t(c.b) << 8
                   | 0xFFu;
        }
    }
    static constexpr Rgb unpackPixel(std::uint32_t w, PixelOrder order)
    {
        if (order == PixelOrder::Argb32) {
            return Rgb(int(w >> 16 & 0xFF), int(w >> 8 & 0xFF), int(w & 0xFF));
        }
        if constexpr (std::endian::native == std::endian::little) {
            return Rgb(int(w & 0xFF), int(w >> 8 & 0xFF), int(w >> 16 & 0xFF));
        } else {
            return Rgb(int(w >> 24), int(w >> 16 & 0xFF), int(w >> 8 & 0xFF));
        }
    }

private:
    int m_width = 0;
    int m_height = 0;
    PixelOrder m_order = PixelOrder::Rgba;
    std::vector<std::uint32_t> m_pixels;
};

} // namespace cyclar
