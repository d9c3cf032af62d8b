// SPDX-License-Identifier: GPL-3.0-or-later
// Any byte stream through the receive step and the dispatch, in every state,
// with link timer ticks, menu commands, clock jumps and a vanishing port
// interleaved. Escape byte 0xFF introduces an event; everything else is a
// received character.
#include "link/receive_step.h"
#include "tests/session_rig.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool isCommandLine(const QByteArray &line) {
    static const QList<QByteArray> fixed = {"E\r\n", "Z\r\n", "X 0\r\n", "X0\r\n"};
    if (fixed.contains(line))
        return true;
    for (int n = 1; n <= 12; ++n)
        if (line == "J " + QByteArray::number(n) + "\r\n")
            return true;
    return false;
}

void check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    SessionRig rig;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0xFF || i + 1 == size) {
            rig.receive(QByteArray(1, static_cast<char>(data[i])));
        } else {
            const std::uint8_t op = data[++i];
            switch (op % 8) {
            case 0:
                if (rig.timer.enabled)
                    rig.tick();
                break;
            case 1:
                if (rig.menus.isAvailable(Menu::менюИзмерение))
                    rig.session.менюИзмерение_Click();
                break;
            case 2:
                if (rig.menus.isAvailable(Menu::менюФайлЧтениеПлашки))
                    rig.session.менюФайлЧтениеПлашки_Click();
                break;
            case 3:
                rig.clock.now += 100 * (op / 8);
                break;
            case 4:
                rig.moduleState.StripCount = static_cast<qint16>(1 + (op / 8) % 12);
                break;
            case 5:
                rig.port.open = false;
                rig.session.onPortLost();
                break;
            case 6:
                if (!rig.port.open) {
                    rig.port.open = true;
                    rig.session.onPortBack();
                }
                break;
            default:
                rig.receive(QByteArray(1, static_cast<char>(0xFF)));
                break;
            }
        }
        const auto state = static_cast<qint16>(rig.moduleState.SessionState);
        check((state >= 0 && state <= 6) || state == 10);
        check(rig.moduleState.MeasureAfterStrip == true16 ||
              rig.moduleState.MeasureAfterStrip == false16);
        check(rig.moduleState.RxBuffer.size() <= rxBufferLimit);
        check(rig.moduleState.StripCount >= 1 && rig.moduleState.StripCount <= 12);
        check(rig.port.lines.isEmpty() || isCommandLine(rig.port.lines.last()));
    }
    return 0;
}
