// SPDX-License-Identifier: GPL-3.0-or-later
// Any reply taken as a plate data block: the display, the plate text and
// the strips Save would write must agree with each other and never read
// outside the block.
#include "core/pane_model.h"
#include "plate/dat_file.h"
#include "plate/plate_block.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    PaneModel pane(0, 0, 12, 8);
    showBlock(pane, block);
    const QString text = buildPlateText(block);
    // Whole 32-character strips before the final "OK", counted here on their own.
    const qsizetype strips = size >= 2 ? (static_cast<qsizetype>(size) - 2) / 32 : 0;
    if (text.size() != 48 * strips + 16 || pane.items().size() != 16 * strips)
        std::abort();
    const int toSave = stripsToSave(block);
    if (toSave < -1 || toSave > 12)
        std::abort();
    if (toSave >= 0 && plateText(block, toSave) != text)
        std::abort();
    return 0;
}
