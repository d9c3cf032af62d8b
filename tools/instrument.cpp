// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual instrument's session: commands from the line, control lines from stdin.

#include "tools/instrument.h"

#include <unistd.h>

namespace instrument {

Instrument::Instrument(const Settings &settings)
    : m_settings(settings)
    , m_modes(settings.modes)
    , m_startMs(monotonicMs())
    , m_responder(settings.seed, settings.measureMs) {
    m_responder.serve(settings.plate); // none: made-up values
}

std::string Instrument::setUp() {
    std::string error;
    if (!m_settings.log.empty() && !m_log.open(m_settings.log, m_startMs))
        return "cannot open log " + m_settings.log;
    if (!m_pty.open(error))
        return "pty " + error;
    if (m_settings.link.empty())
        return {};
    return m_link.create(m_settings.link, m_pty.slaveName());
}

void Instrument::shutdown() {
    m_pty.close();
    m_link.remove();
}

void Instrument::readLine() {
    char buf[4096];
    const ssize_t n = ::read(m_pty.master(), buf, sizeof buf);
    if (n <= 0)
        return;
    const std::string_view bytes(buf, static_cast<std::size_t>(n));
    m_log.write(Direction::Received, bytes);
    for (const std::string &line : m_commands.feed(bytes))
        command(line);
}

void Instrument::command(const std::string &line) {
    if (const auto reply = m_responder.respond(line, monotonicMs(), m_modes))
        m_output.queue(*reply, monotonicMs());
}

std::vector<std::string> Instrument::control(std::string_view bytes) {
    std::vector<std::string> answers;
    m_control += bytes;
    for (auto eol = m_control.find('\n'); eol != std::string::npos && !m_quit;
         eol = m_control.find('\n')) {
        std::string line = m_control.substr(0, eol);
        m_control.erase(0, eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const ControlRequest request = applyControl(line, m_modes);
        switch (request.action) {
        case ControlRequest::Action::None:
            break;
        case ControlRequest::Action::RestartClock:
            m_output.queue("", monotonicMs());
            break;
        case ControlRequest::Action::Send:
            m_output.queue(request.bytes, monotonicMs());
            break;
        case ControlRequest::Action::Close:
            shutdown();
            m_quit = true;
            break;
        case ControlRequest::Action::Quit:
            m_quit = true;
            break;
        }
        answers.push_back(request.error.empty() ? "ok " + line : "error " + request.error);
    }
    return answers;
}

} // namespace instrument
