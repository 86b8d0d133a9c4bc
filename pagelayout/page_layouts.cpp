// The pages' layout table and the dialog-unit conversion.
#include "page_layouts.h"

#include <array>

namespace cyclar {

namespace {

using K = ControlKind;

constexpr LayoutControl titleControls[] = {
    {K::bitmapButton, "IDC_continue", 238, 163, 0, 0, 161, {}, {}},
    {K::clip, "IDC_ANIMATE1", 7, 42, 0, 0, 0, {}, {}},
    {K::picture, "IDC_title", 9, 10, 0, 0, 154, {}, {}},
    {K::bitmapButton, "IDC_help", 251, 227, 0, 0, 163, {}, {}},
    {K::bitmapButton, "IDC_circular", 242, 78, 0, 0, 171, {}, {}},
};

constexpr LayoutControl dimensionsControls[] = {
    {K::edit, "IDC_a", 52, 30, 38, 17, 0, {}, "a"},
    {K::edit, "IDC_b", 52, 51, 38, 17, 0, {}, "b"},
    {K::edit, "IDC_c", 52, 71, 38, 17, 0, {}, "c"},
    {K::edit, "IDC_f", 52, 92, 38, 17, 0, {}, "f"},
    {K::edit, "IDC_k", 52, 134, 38, 17, 0, {}, "k"},
    {K::edit, "IDC_h", 52, 113, 38, 17, 0, {}, "h"},
    {K::bitmapButton, "IDC_submit", 28, 164, 0, 0, 167, {}, {}},
    {K::bitmapButton, "IDCANCEL", 34, 188, 0, 0, 140, {}, {}},
    {K::sunkenPicture, "IDC_cyclar", 123, 16, 0, 0, 175, {}, {}},
    {K::picture, {}, 14, 31, 0, 0, 160, {}, {}},
    {K::picture, {}, 14, 52, 0, 0, 156, {}, {}},
    {K::picture, {}, 15, 73, 0, 0, 157, {}, {}},
    {K::picture, {}, 15, 94, 0, 0, 158, {}, {}},
    {K::picture, {}, 15, 114, 0, 0, 159, {}, {}},
    {K::picture, {}, 15, 134, 0, 0, 155, {}, {}},
    {K::bitmapButton, "IDC_help", 20, 211, 0, 0, 166, {}, {}},
    {K::centredText, {}, 52, 10, 40, 15, 0, "( Degrees ) ", {}},
};

constexpr LayoutControl animationControls[] = {
    {K::trackbar, "IDC_SLIDER1", 358, 202, 101, 17, 0, {}, "Speed"},
    {K::edit, "IDC_h1", 339, 103, 36, 15, 0, {}, "h"},
    {K::edit, "IDC_a", 339, 10, 35, 15, 0, {}, "a"},
    {K::bitmapButton, "IDC_back", 346, 247, 0, 0, 139, {}, {}},
    {K::bitmapButton, "IDCANCEL", 432, 247, 0, 0, 140, {}, {}},
    {K::bitmapButton, "IDC_animate", 336, 227, 0, 0, 141, {}, {}},
    {K::bitmapButton, "IDC_stop", 432, 227, 0, 0, 142, {}, {}},
    {K::edit, "IDC_c", 339, 56, 35, 15, 0, {}, "c"},
    {K::edit, "IDC_f", 339, 79, 36, 15, 0, {}, "f"},
    {K::edit, "IDC_k", 339, 127, 36, 15, 0, {}, "k"},
    {K::edit, "IDC_b1", 339, 33, 35, 14, 0, {}, "b"},
    {K::centredText, {}, 333, 203, 20, 14, 0, "Slow", {}},
    {K::centredText, {}, 464, 203, 19, 14, 0, "Fast", {}},
    {K::text, {}, 379, 8, 72, 17, 0, "The length of left link (a)", {}},
    {K::text, {}, 379, 32, 72, 17, 0, "The length of right link (b)", {}},
    {K::text, {}, 379, 55, 81, 17, 0, "The length of coupler link (c)", {}},
    {K::text, {}, 379, 79, 81, 17, 0, "The length of ground link (f)", {}},
    {K::text,
     {},
     380,
     102,
     106,
     17,
     0,
     "The radial length of coupler point on coupler sphere (h)",
     {}},
    {K::text,
     {},
     380,
     126,
     106,
     17,
     0,
     "The angular position of coupler point on coupler sphere (k)",
     {}},
    {K::bitmapButton, "IDC_help", 379, 267, 0, 0, 166, {}, {}},
    {K::trackbar, "IDC_SLIDER2", 358, 153, 101, 18, 0, {}, "Turn"},
    {K::trackbar, "IDC_SLIDER3", 358, 177, 101, 18, 0, {}, "Tilt"},
    {K::topCentredText, {}, 334, 157, 17, 9, 0, "Left", {}},
    {K::centredText, {}, 464, 157, 20, 11, 0, "Right", {}},
    {K::centredText, {}, 333, 180, 22, 12, 0, "Down", {}},
    {K::centredText, {}, 465, 180, 12, 12, 0, "Up", {}},
};

// The texts are the program's own, quoted as they stand.
constexpr LayoutControl helpControls[] = {
    {K::text,
     "paragraph",
     16,
     9,
     247,
     26,
     0,
     "This software is to animate a spherical four-bar linkage with four revolute joints as the "
     "movie shown in the title page.  The software can also output the coupler curve for any "
     "input coupler point as the red curve in the movie.",
     {}},
    {K::text,
     "paragraph",
     16,
     39,
     250,
     26,
     0,
     "To use this software, click \"continue\" button to enter the second page.  On that page you "
     "can input the dimensions of a spherical four-bar linkage, which include the central angles "
     "of four links and the position of coupler point on the coupler sphere.",
     {}},
    {K::text,
     "paragraph",
     16,
     70,
     248,
     26,
     0,
     "Once you input all dimensions, click \"submit\" button to enter the animation page.  If any "
     "dimension you enter is not appropriate for constructing a spherical four-bar linkage, there "
     "will be a message showing the numerical range for that dimension.",
     {}},
    {K::text,
     "paragraph",
     16,
     101,
     248,
     24,
     0,
     "On the animation page the spherical four-bar linkage and coupler curve will be on a unit "
     "sphere. Click \"animate\" button to animate the linkage.  Click and drag the first two "
     "\"slider control\" buttons to adjust the orientation of the sphere.",
     {}},
    {K::text,
     "paragraph",
     16,
     132,
     257,
     24,
     0,
     "Click \"stop\" button to stop the animation at any position and \"animate\" button to resume "
     "the animation.  Click and drag the third \"slider control\" button to adjust the animation "
     "speed.  All dimensions are also shown in this page. ",
     {}},
    {K::text,
     "paragraph",
     16,
     164,
     239,
     18,
     0,
     "Click \"back\" button to back into the previous page.  The screen will show dimensions you "
     "just input and you can change the dimensions to submit data again.",
     {}},
};

// Plain text: an ampersand here is shown, never taken for an access key. The last line says
// how this edition is built; each edition puts its own words in it.
constexpr LayoutControl aboutControls[] = {
    {K::icon, "icon", 11, 11, 0, 0, 0, {}, {}},
    {K::text, "version", 40, 10, 119, 8, 0, "Orbiqua Version 1.0", {}},
    {K::text,
     {},
     40,
     24,
     180,
     8,
     0,
     "cyclar 1.0.0.1, animation of spherical four-bar linkages",
     {}},
    {K::text, {}, 40, 36, 180, 8, 0, "Made by the cyclar developers", {}},
    {K::text, "built", 40, 48, 180, 8, 0, "Built with Qt, drawn with its own renderer", {}},
    {K::pushButton, "IDOK", 178, 7, 50, 14, 0, "OK", {}},
};

constexpr LayoutControl circularControls[] = {
    {K::clip, "IDC_ANIMATE2", 0, 0, 0, 0, 0, {}, {}},
};

constexpr std::array templates{
    PageTemplate{"title", LayoutFont::TimesNewRomanExtraBold10, 320, 293, titleControls},
    PageTemplate{"dimensions", LayoutFont::MsSansSerif8, 370, 245, dimensionsControls},
    PageTemplate{"animation", LayoutFont::Tahoma8, 498, 293, animationControls},
    PageTemplate{"help", LayoutFont::TimesNewRoman12, 280, 192, helpControls},
    PageTemplate{"about", LayoutFont::MsSansSerif8, 235, 82, aboutControls},
    PageTemplate{"circular", LayoutFont::MsSansSerif8, 162, 151, circularControls},
};

int mulDiv(int value, int numerator, int denominator)
{
    // The product in 64 bits cannot overflow; layout numbers are a few hundred units at most.
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

} // namespace

BaseUnits layoutBaseUnits(LayoutFont font)
{
    switch (font) {
    case LayoutFont::MsSansSerif8:
    case LayoutFont::Tahoma8:
        return {6, 13};
    case LayoutFont::TimesNewRomanExtraBold10:
        return {8, 15};
    case LayoutFont::TimesNewRoman12:
        return {9, 17};
    }
    return {6, 13};
}

int dialogUnitsToPixelsX(int units, BaseUnits base)
{
    return mulDiv(units, base.width, 4);
}

int dialogUnitsToPixelsY(int units, BaseUnits base)
{
    return mulDiv(units, base.height, 8);
}

const PageTemplate& pageTemplate(std::string_view page)
{
    for (const PageTemplate& candidate : templates) {
        if (candidate.page == page) {
            return candidate;
        }
    }
    return templates.front();
}

} // namespace cyclar
