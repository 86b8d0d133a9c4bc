// Layout of a line of label text: advances plus kerning.
#include "label_face.h"

namespace cyclar {

int LabelFace::kern(char first, char second) const
{
    for (int i = 0; i < kerningCount; ++i) {
        if (kerning[i].first == first && kerning[i].second == second) {
            return kerning[i].adjustment;
        }
    }
    return 0;
}

int LabelFace::textWidth(std::string_view text) const
{
    const long long width = (layOut(text, [](const LabelGlyphImage&, long long) {}) + 32) >> 6;
    // A label is a few dozen characters; anything that would not fit an int is cut off.
    return width > (1 << 24) ? (1 << 24) : static_cast<int>(width);
}

} // namespace cyclar
