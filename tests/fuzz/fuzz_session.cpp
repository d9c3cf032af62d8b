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
    int strips = 12;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0xFF || i + 1 == size) {
            rig.receive(QByteArray(1, static_cast<char>(data[i])));
        } else {
            const std::uint8_t op = data[++i];
            switch (op % 8) {
            case 0:
                if (rig.timer->enabled)
                    rig.tick();
                break;
            case 1:
                if (rig.menus().isAvailable(Menu::менюИзмерение))
                    rig.measure(strips);
                break;
            case 2:
                if (rig.menus().isAvailable(Menu::менюФайлЧтениеПлашки))
                    rig.readPlate();
                break;
            case 3:
                rig.clock->now += 100 * (op / 8);
                break;
            case 4:
                strips = 1 + (op / 8) % 12;
                break;
            case 5:
                rig.port->open = false;
                rig.session->handlePortLost();
                break;
            case 6:
                if (!rig.port->open) {
                    rig.port->open = true;
                    rig.session->handlePortBack();
                }
                break;
            default:
                rig.receive(QByteArray(1, static_cast<char>(0xFF)));
                break;
            }
        }
        const auto state = static_cast<qint16>(rig.session->state());
        check((state >= 0 && state <= 6) || state == 10);
        check(rig.session->RxBuffer().size() <= rxBufferLimit);
        check(rig.session->DeviceStripCount() >= 0 && rig.session->DeviceStripCount() <= 12);
        check(rig.port->lines.isEmpty() || isCommandLine(rig.port->lines.last()));
    }
    return 0;
}
