// Fuzzes the linkage file reader: any bytes are either refused with one sentence, or give a
// linkage whose every value is in range and which writes and reads back bit for bit.
#include "linkage_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<cyclar::LinkageFile> file = cyclar::parseLinkageFile(bytes, error);
    if (!file) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    const cyclar::LinkageDimensions& d = file->dimensions;
    for (double value : {d.a, d.b, d.c, d.f, d.h, d.k}) {
        if (!std::isfinite(value))
            std::abort();
    }
    if (file->view && (std::abs(file->view->turn) > 90 || std::abs(file->view->tilt) > 90))
        std::abort();
    if (file->speed && (*file->speed < 0 || *file->speed > 100))
        std::abort();

    std::string again;
    const std::optional<cyclar::LinkageFile> reread =
        cyclar::parseLinkageFile(cyclar::linkageFileText(*file), again);
    // Bit for bit: a zero is read without its sign, so no value read has one to lose.
    if (!reread || std::memcmp(&reread->dimensions, &file->dimensions, sizeof d) != 0
        || reread->view != file->view || reread->speed != file->speed)
        std::abort();
    return 0;
}
