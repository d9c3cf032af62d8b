// SPDX-License-Identifier: GPL-3.0-or-later
// Any reply taken as a plate data block: the display, the plate text and
// the .dat content Save would write must agree with each other and never
// read outside the block.
#include "app/session_presenter.h"
#include "plate/plate.h"
#include "plate/plate_export.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Plate plate(reply, {});
    SessionPresenter presenter;
    presenter.showPlate(plate);
    const QString text = plate.text();
    // Whole 32-character strips before the final "OK", counted here on their own.
    const qsizetype strips = size >= 2 ? (static_cast<qsizetype>(size) - 2) / 32 : 0;
    if (plate.strips() != strips || text.size() != 48 * strips + 16 ||
        presenter.ОкноПечати().items().size() != 16 * strips || presenter.PlateText() != text)
        std::abort();
    if (plate.isComplete() && (strips > 12 || datContent(plate) != text.toLatin1()))
        std::abort();
    for (qsizetype s = 0; s < strips; ++s)
        for (int r = 0; r < 8; ++r)
            if (plate.hasNumber(s, r) && (plate.number(s, r) < 0 || plate.number(s, r) > 9.999))
                std::abort();
    return 0;
}
