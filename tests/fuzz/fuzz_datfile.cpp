// SPDX-License-Identifier: GPL-3.0-or-later
// Any file content read as a .dat file by its fixed counts.
#include "plate/dat_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DatFileRead read = readDatFile(content);
    qsizetype used = 0;
    for (const auto &field : read.fields) {
        if (field.text.size() != 6 || field.r < 0 || field.r > 7 || field.s < 0)
            std::abort();
        used += 6;
    }
    // Files of 16 bytes or more are always read to the end of the counts.
    if (read.complete != (content.size() >= 16) || used > content.size())
        std::abort();
    return 0;
}
