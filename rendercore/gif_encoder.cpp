// GIF encoding: header, loop extension, per-frame control and image blocks, variable-width LZW.
#include "gif_encoder.h"

#include <algorithm>
#include <array>

namespace cyclar {

namespace {

void put16(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// Bits a colour table of this many entries is indexed with (its size is 2^bits, at least 2).
int tableBits(std::size_t colours)
{
    int bits = 1;
    while ((std::size_t{1} << bits) < colours) {
        ++bits;
    }
    return bits;
}

void putTable(std::string& out, const std::vector<std::uint32_t>& colours, int bits)
{
    for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
        const std::uint32_t c = i < colours.size() ? colours[i] : 0u;
        out += static_cast<char>((c >> 16) & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>(c & 0xFF);
    }
}

// Codes packed low bit first into data sub-blocks of up to 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::string& out) : m_out(out) {}
    void put(int code, int size)
    {
        m_bits |= static_cast<std::uint32_t>(code) << m_count;
        m_count += size;
        while (m_count >= 8) {
            byte(static_cast<char>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void finish()
    {
        if (m_count > 0) {
            byte(static_cast<char>(m_bits & 0xFF));
        }
        if (m_used > 0) {
            m_out += static_cast<char>(m_used);
            m_out.append(m_block.data(), m_used);
        }
        m_out += '\0';
    }

private:
    void byte(char value)
    {
        m_block[m_used++] = value;
        if (m_used == 255) {
            m_out += static_cast<char>(255);
            m_out.append(m_block.data(), m_used);
            m_used = 0;
        }
    }
    std::string& m_out;
    std::array<char, 255> m_block{};
    std::size_t m_used = 0;
    std::uint32_t m_bits = 0;
    int m_count = 0;
};

// LZW over colour indices of `bits` bits: a clear code first, codes widening as the table
// grows, a clear when it holds 4095 entries, the end code last.
void compress(std::string& out, const std::vector<std::uint8_t>& indices, int bits)
{
    const int minimum = std::max(2, bits);
    out += static_cast<char>(minimum);
    const int clear = 1 << minimum;
    const int end = clear + 1;
    constexpr int maxCode = 4095;
    constexpr std::size_t tableSize = 8192;
    // Open addressing: key (prefix << 8 | index) + 1, 0 for an empty slot.
    std::vector<std::uint32_t> keys(tableSize, 0);
    std::vector<std::uint16_t> codes(tableSize, 0);
    const auto slotOf = [&](std::uint32_t key) {
        std::size_t slot = (key * 2654435761u) >> 19 & (tableSize - 1);
        while (keys[slot] != 0 && keys[slot] != key) {
            slot = (slot + 1) & (tableSize - 1);
        }
        return slot;
    };

    CodeWriter writer(out);
    int next = end + 1;
    int size = minimum + 1;
    const auto emit = [&](int code) {
        writer.put(code, size);
        if (next >= (1 << size) && size < 12) {
            ++size;
        }
    };
    emit(clear);
    int prefix = -1;
    for (const std::uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8 | index) + 1;
        const std::size_t slot = slotOf(key);
        if (keys[slot] == key) {
            prefix = codes[slot];
            continue;
        }
        emit(prefix);
        if (next >= maxCode) {
            emit(clear);
            std::fill(keys.begin(), keys.end(), 0u);
            next = end + 1;
            size = minimum + 1;
        } else {
            keys[slot] = key;
            codes[slot] = static_cast<std::uint16_t>(next++);
        }
        prefix = index;
    }
    if (prefix >= 0) {
        emit(prefix);
    }
    emit(end);
    writer.finish();
}

} // namespace

GifEncoder::GifEncoder(int width, int height, const std::vector<Rgb>& colours, int delay)
    : m_width(std::clamp(width, 1, 65535)), m_height(std::clamp(height, 1, 65535)),
      m_delay(std::clamp(delay, 0, 65535))
{
    for (const Rgb& colour : colours) {
        if (std::find(m_colours.begin(), m_colours.end(), colour.value()) == m_colours.end()
            && m_colours.size() < 256) {
            m_colours.push_back(colour.value());
        }
    }
    if (m_colours.empty()) {
        m_colours.push_back(white.value());
    }
    const int bits = tableBits(m_colours.size());
    m_bytes = "GIF89a";
    put16(m_bytes, m_width);
    put16(m_bytes, m_height);
    m_bytes += static_cast<char>(0x80 | (7 << 4) | (bits - 1)); // a global table, 8-bit colour
    m_bytes += '\0';                                            // background: the first colour
    m_bytes += '\0';                                            // square pixels
    putTable(m_bytes, m_colours, bits);
    // Loop forever (the application extension every browser and viewer honours).
    m_bytes += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
    m_bytes += std::string("\0\0\0", 3);
}

bool GifEncoder::addFrame(const std::uint32_t* pixels, int width, int height, PixelOrder order,
                          std::string& error)
{
    if (width != m_width || height != m_height) {
        error = "a frame is not " + std::to_string(m_width) + " x " + std::to_string(m_height)
                + " pixels";
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint32_t> now(count);
    for (std::size_t i = 0; i < count; ++i) {
        now[i] = PixelBuffer::unpackPixel(pixels[i], order).value();
    }

    // The smallest rectangle holding every pixel that changed (the whole picture for the first
    // frame; one pixel when nothing changed, as a frame needs an image).
    int left = 0, top = 0, right = width - 1, bottom = height - 1;
    if (!m_previous.empty()) {
        left = width;
        top = -1;
        right = -1;
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* a =
                now.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            const std::uint32_t* b =
                m_previous.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            if (std::equal(a, a + width, b)) {
                continue;
            }
            if (top < 0) {
                top = y;
            }
            bottom = y;
            int first = 0;
            while (a[first] == b[first]) {
                ++first;
            }
            int last = width - 1;
            while (a[last] == b[last]) {
                --last;
            }
            left = std::min(left, first);
            right = std::max(right, last);
        }
        if (top < 0) {
            left = top = right = bottom = 0;
        }
    }

    // Colours outside the global table get a table of their own for this frame.
    std::vector<std::uint32_t> colours = m_colours;
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(right - left + 1)
                    * static_cast<std::size_t>(bottom - top + 1));
    std::uint32_t lastColour = colours.front();
    std::uint8_t lastIndex = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const std::uint32_t colour =
                now[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)
                    + static_cast<std::size_t>(x)];
            if (colour != lastColour) {
                auto found = std::find(colours.begin(), colours.end(), colour);
                if (found == colours.end()) {
                    if (colours.size() == 256) {
                        error = "a frame has more than 256 colours";
                        return false;
                    }
                    colours.push_back(colour);
                    found = colours.end() - 1;
                }
                lastColour = colour;
                lastIndex = static_cast<std::uint8_t>(found - colours.begin());
            }
            indices.push_back(lastIndex);
        }
    }
    m_previous = std::move(now);

    // Graphic control: drawn over the frame before, this frame's delay, no transparency.
    m_bytes += "\x21\xF9\x04\x04";
    put16(m_bytes, m_delay);
    m_bytes += '\xFF';
    m_bytes += '\0';
    const bool local = colours.size() > m_colours.size();
    const int bits = tableBits(local ? colours.size() : m_colours.size());
    m_bytes += '\x2C';
    put16(m_bytes, left);
    put16(m_bytes, top);
    put16(m_bytes, right - left + 1);
    put16(m_bytes, bottom - top + 1);
    m_bytes += static_cast<char>(local ? 0x80 | (bits - 1) : 0);
    if (local) {
        putTable(m_bytes, colours, bits);
    }
    compress(m_bytes, indices, bits);
    ++m_frames;
    return true;
}

std::string GifEncoder::finish()
{
    m_bytes += '\x3B';
    return std::move(m_bytes);
}

} // namespace cyclar
