// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes on their way from the instrument to the program: a queue written to the pty's
// master without ever blocking, one 8N1 character at 9600 baud after the other when paced, and
// topped up with flood bytes when flooding. Every chunk written goes to the wire log as TX.
#pragma once

#include "tools/faults.h"
#include "tools/wire_log.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace instrument {

class LineOutput {
public:
    // One 8N1 character at 9600 baud: ten bits.
    static constexpr double byteMs = 10.0 * 1000.0 / 9600.0;

    // Adds bytes to the queue; on an empty queue the byte clock starts again at now.
    void queue(std::string_view bytes, double now);

    bool hasOutput(const Modes &modes) const { return !m_out.empty() || modes.flood; }
    // The last write found the pty full; wait until it is writable, then unblock().
    bool blocked() const { return m_blocked; }
    void unblock() { m_blocked = false; }

    // Milliseconds until the next paced byte is due, or -1 when no timer is needed.
    double msUntilNextByte(const Modes &modes, double now) const;

    // Writes whatever is due to fd, at most 64 KiB a call so that the caller keeps reading.
    void pump(int fd, const Modes &modes, double now, WireLogWriter &log);

private:
    std::string m_out;
    double m_nextByteAt = 0;
    bool m_blocked = false;
    std::uint64_t m_floodCount = 0;
};

} // namespace instrument
