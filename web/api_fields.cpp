// The page layouts and the field rules, for the browser's pages.
#include "api_support.h"

#include "design_result_text.h"
#include "field_rules.h"
#include "page_layouts.h"

#include <limits>
#include <optional>

using namespace cyclar;
using web::handOut;

namespace {

constexpr std::string_view fieldNames = "abcfhk";

FieldRange rangeOf(FieldPage page, int field, const LinkageDimensions& held)
{
    if (field < 0 || field >= static_cast<int>(fieldNames.size())) {
        // No such field: a range nothing passes.
        return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    }
    return fieldRange(page, fieldNames[static_cast<std::size_t>(field)], held);
}

const char* layoutFontName(LayoutFont font)
{
    switch (font) {
    case LayoutFont::MsSansSerif8:
        return "msSansSerif8";
    case LayoutFont::TimesNewRomanExtraBold10:
        return "timesNewRomanExtraBold10";
    case LayoutFont::Tahoma8:
        return "tahoma8";
    case LayoutFont::TimesNewRoman12:
        break;
    }
    return "timesNewRoman12";
}

const char* controlKindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::edit:
        return "edit";
    case ControlKind::bitmapButton:
        return "bitmapButton";
    case ControlKind::picture:
        return "picture";
    case ControlKind::sunkenPicture:
        return "sunkenPicture";
    case ControlKind::text:
        return "text";
    case ControlKind::centredText:
        return "centredText";
    case ControlKind::topCentredText:
        return "topCentredText";
    case ControlKind::trackbar:
        return "trackbar";
    case ControlKind::clip:
        return "clip";
    case ControlKind::icon:
        return "icon";
    case ControlKind::pushButton:
        break;
    }
    return "pushButton";
}

std::string quoted(std::string_view text)
{
    return jsonQuoted(std::string(text));
}

} // namespace

/// {"font", "size": [w, h], "controls": [{"kind", "id", "box": [x, y, w, h], "bitmap", "text",
/// "name"}]} of the named page, in dialog units; controls in template order.
const char* cyclar_page_layout(const char* page)
{
    const PageTemplate& layout = pageTemplate(page ? std::string_view(page) : std::string_view());
    std::string out = std::string("{\"font\":\"") + layoutFontName(layout.font) + "\",\"size\":["
                      + std::to_string(layout.width) + "," + std::to_string(layout.height)
                      + "],\"controls\":[";
    bool first = true;
    for (const LayoutControl& c : layout.controls) {
        out += first ? "{" : ",{";
        first = false;
        out += std::string("\"kind\":\"") + controlKindName(c.kind) + "\",\"id\":" + quoted(c.id)
               + ",\"box\":[" + std::to_string(c.x) + "," + std::to_string(c.y) + ","
               + std::to_string(c.w) + "," + std::to_string(c.h)
               + "],\"bitmap\":" + std::to_string(c.bitmap) + ",\"text\":" + quoted(c.text)
               + ",\"name\":" + quoted(c.name) + "}";
    }
    return handOut(out + "]}");
}

/// Dialog units to pixels, horizontally with the layout font's average character width and
/// vertically with its height, rounded as the desktop's pages round them.
int cyclar_dialog_units_x(int units, int averageCharWidth)
{
    return dialogUnitsToPixelsX(units, {averageCharWidth, 1});
}

int cyclar_dialog_units_y(int units, int charHeight)
{
    return dialogUnitsToPixelsY(units, {1, charHeight});
}

/// The number in a field's text, or NaN when the field rules do not take the text (a number
/// that passes is always finite).
double cyclar_parse_number(const char* text)
{
    const std::optional<double> value =
        parseFieldText(text ? std::string_view(text) : std::string_view());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

const char* cyclar_format_number(double value)
{
    return handOut(formatNumber(value));
}

const char* cyclar_message_not_number()
{
    return handOut(std::string(notANumberMessage));
}

const char* cyclar_message_range(double min, double max)
{
    return handOut(rangeMessage(min, max));
}

int cyclar_in_range(double value, double min, double max)
{
    return inRange(value, min, max) ? 1 : 0;
}

/// The order a page reads its fields back in, as their names: page 0 the dimensions page,
/// 1 the animation page.
const char* cyclar_field_order(int page)
{
    return handOut(
        std::string(fieldOrder(page == 0 ? FieldPage::Dimensions : FieldPage::Animation)));
}

/// The range of dimensions page field 0..5 (a, b, c, f, h, k) from the values held now.
double cyclar_dimensions_lower(int field, double a, double b, double c, double f, double h,
                               double k)
{
    return rangeOf(FieldPage::Dimensions, field, LinkageDimensions{a, b, c, f, h, k}).min;
}

double cyclar_dimensions_upper(int field, double a, double b, double c, double f, double h,
                               double k)
{
    return rangeOf(FieldPage::Dimensions, field, LinkageDimensions{a, b, c, f, h, k}).max;
}

/// The animation page's fixed ranges.
double cyclar_animation_lower(int field)
{
    return rangeOf(FieldPage::Animation, field, LinkageDimensions{}).min;
}

double cyclar_animation_upper(int field)
{
    return rangeOf(FieldPage::Animation, field, LinkageDimensions{}).max;
}
