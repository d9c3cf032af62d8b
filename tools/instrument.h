// SPDX-License-Identifier: GPL-3.0-or-later
// One running virtual instrument: the pty, the photometer behind its fault modes, the control
// lines from stdin and the wire log, tied together. The event loop (main.cpp) calls it when the
// line or stdin has something, and when paced bytes are due.
#pragma once

#include "tools/faults.h"
#include "tools/line_output.h"
#include "tools/pty.h"
#include "tools/wire_log.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace instrument {

struct Settings {
    Modes modes;
    int measureMs = 3000;
    std::uint64_t seed = 1;
    std::vector<std::string> plate; // the plate served, per strip; empty: made-up values
    std::string link;               // symlink to the slave; empty: none
    std::string log;                // wire log file; empty: none
};

class Instrument {
public:
    explicit Instrument(const Settings &settings);

    // Opens the log, the pty and the link. Returns an empty string, or what went wrong.
    std::string setUp();
    // Closes the pty and removes the link: the port vanishes.
    void shutdown();

    const std::string &slaveName() const { return m_pty.slaveName(); }
    int lineFd() const { return m_pty.master(); }
    // After "close" or "quit".
    bool quitting() const { return m_quit; }

    // The output towards the program.
    void pump(double now) { m_output.pump(m_pty.master(), m_modes, now, m_log); }
    bool waitsForWritable() const { return m_output.blocked() && m_output.hasOutput(m_modes); }
    void writable() { m_output.unblock(); }
    double msUntilNextByte(double now) const { return m_output.msUntilNextByte(m_modes, now); }

    // Reads what the program sent and answers the commands in it.
    void readLine();
    // Bytes from stdin: carries out every complete control line, until "close" or "quit", and
    // returns the answers to print, "ok <line>" or "error <why>".
    std::vector<std::string> control(std::string_view bytes);

private:
    void command(const std::string &line);

    Settings m_settings;
    Modes m_modes;
    double m_startMs;
    WireLogWriter m_log;
    Pty m_pty;
    SlaveLink m_link;
    LineOutput m_output;
    Responder m_responder;
    CommandLines m_commands;
    std::string m_control;
    bool m_quit = false;
};

} // namespace instrument
