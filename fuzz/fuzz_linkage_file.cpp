// Fuzzes the linkage file reader: any bytes are either refused with one sentence, or give a
// linkage whose every value is in range and which writes and reads back bit for bit.
#include "linkage_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<cyclar::LinkageFile> file = cyclar::parseLinkageFile(bytes, error);
    if (!file) {
        if (error.isEmpty() || error.contains(QLatin1Char('\n')))
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

    QString again;
    const std::optional<cyclar::LinkageFile> reread =
        cyclar::parseLinkageFile(cyclar::linkageFileText(*file), again);
    if (!reread || reread->view != file->view || reread->speed != file->speed)
        std::abort();
    // Bit for bit, except that a zero keeps no sign in JSON.
    const double before[] = {d.a, d.b, d.c, d.f, d.h, d.k};
    const cyclar::LinkageDimensions& r = reread->dimensions;
    const double after[] = {r.a, r.b, r.c, r.f, r.h, r.k};
    for (int i = 0; i < 6; ++i) {
        if (before[i] != after[i]
            || (before[i] != 0.0 && std::memcmp(&before[i], &after[i], sizeof(double)) != 0))
            std::abort();
    }
    return 0;
}
