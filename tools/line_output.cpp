// SPDX-License-Identifier: GPL-3.0-or-later
// The paced, non-blocking output towards the pty.

#include "tools/line_output.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace instrument {

void LineOutput::queue(std::string_view bytes, double now) {
    if (m_out.empty())
        m_nextByteAt = std::max(m_nextByteAt, now);
    m_out += bytes;
}

double LineOutput::msUntilNextByte(const Modes &modes, double now) const {
    if (!modes.pace || m_blocked || !hasOutput(modes))
        return -1;
    return std::max(0.0, m_nextByteAt - now);
}

void LineOutput::pump(int fd, const Modes &modes, double now, WireLogWriter &log) {
    std::size_t budget = 1 << 16; // then return to poll() so commands keep being read
    while (fd >= 0 && !m_blocked && hasOutput(modes) && budget > 0) {
        std::size_t allowed = budget;
        if (modes.pace) {
            if (m_nextByteAt < now - 20 * byteMs)
                m_nextByteAt = now; // the line was held up: resume, do not burst
            if (now < m_nextByteAt)
                return;
            allowed = 1 + static_cast<std::size_t>((now - m_nextByteAt) / byteMs);
        }
        std::string chunk = m_out.substr(0, std::min(allowed, std::size_t{4096}));
        const std::size_t queued = chunk.size();
        while (modes.flood && chunk.size() < std::min(allowed, std::size_t{512}))
            chunk += floodByte(m_floodCount + chunk.size() - queued);
        const ssize_t n = ::write(fd, chunk.data(), chunk.size());
        if (n < 0) {
            m_blocked = (errno == EAGAIN || errno == EWOULDBLOCK || errno == EIO);
            if (errno == EINTR || m_blocked)
                continue;
            return;
        }
        const auto written = static_cast<std::size_t>(n);
        log.write(Direction::Transmitted, std::string_view(chunk).substr(0, written));
        const std::size_t fromQueue = std::min(written, m_out.size());
        m_out.erase(0, fromQueue);
        m_floodCount += written - fromQueue;
        m_nextByteAt += static_cast<double>(written) * byteMs;
        budget -= std::min(budget, written);
    }
}

} // namespace instrument
