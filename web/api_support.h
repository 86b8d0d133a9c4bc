// What the modules' subject files share: the declarations of every exported function (from
// api_table.inc), the scene a page holds, the text handed to the page, and its JSON numbers.
#pragma once

#include "frame_composition.h"
#include "linkage_model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cyclar {

/// One animation page's scene and the picture it is drawn on.
struct WebScene {
    static constexpr int pictureSize = 480;
    SceneState scene = newScene(LinkageDimensions{}, pictureSize);
    FrameRenderer renderer{pictureSize, pictureSize, PixelOrder::Rgba};
    FramePalette palette;
};

namespace web {

/// Text for the page, held until the next call that hands text out: the page copies it at once.
const char* handOut(std::string text);

/// A number in its shortest round-trip form, so JSON.parse gives the very double the core
/// computed; null for one that is not finite.
std::string jsonNumber(double value);

/// The bytes the page copied into the module's one file buffer (see cyclar_file_buffer).
std::string_view fileBytes(int size);

} // namespace web
} // namespace cyclar

using cyclar::WebScene;

extern "C" {
#define CYCLAR_WEB_API(module, name, result, parameters) result name parameters;
#include "api_table.inc"
#undef CYCLAR_WEB_API
}
