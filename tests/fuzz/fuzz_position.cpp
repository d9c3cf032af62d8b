// SPDX-License-Identifier: GPL-3.0-or-later
// Any stored text read as a window position, in the C and a Russian format.
#include "app/twips.h"
#include "app/window_position.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
        const float value = windowPosition::positionFromText(text, locale);
        if (!std::isfinite(value) || std::abs(value * pixelsPerTwip()) > 32767)
            std::abort();
        // What is written reads back the same.
        if (windowPosition::positionFromText(windowPosition::positionText(value, locale), locale) !=
            value)
            std::abort();
    }
    return 0;
}
