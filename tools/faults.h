// SPDX-License-Identifier: GPL-3.0-or-later
// The fault modes of the virtual instrument, set by options and switched through stdin:
//   status C     the status character in E replies
//   silent       no answer at all; commands are not even carried out
//   bare         no CR LF after the final OK
//   pace         replies at the speed of 9600 baud 8N1
//   lower        replies in lower case
//   garbage      junk between the bytes of a reply (nothing in '0'..'Z', never CR or LF)
//   stall N      the next reply stops after N bytes
//   flood        an endless stream of bytes in '0'..'N' (never "OK") fills an idle line
//   send TEXT    raw bytes; close (the port vanishes) and quit end the instrument
#pragma once

#include "tools/photometer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace instrument {

struct Modes {
    char status = '0';
    bool silent = false;
    bool bare = false;
    bool pace = false;
    bool lower = false;
    bool garbage = false;
    bool flood = false;
    long stallAfter = -1; // cut the next reply after this many bytes; -1: no stall pending
};

// What a control line asks for beyond a change of the modes.
struct ControlRequest {
    enum class Action { None, RestartClock, Send, Close, Quit };
    Action action = Action::None;
    std::string bytes; // for Send: unescaped as in the wire log
    std::string error; // not empty: the line was refused and nothing changed
};

// Applies one control line ("lower on", "stall 3", "send 1 OK\r\n", ...) to modes.
ControlRequest applyControl(const std::string &line, Modes &modes);

// The photometer behind the fault modes.
class Responder {
public:
    Responder(std::uint64_t seed, int measureMs);

    // The bytes that go on the line for one command line, or nothing. Takes up a pending stall.
    std::optional<std::string> respond(std::string_view line, double nowMs, Modes &modes);
    // The plate the data block holds (Photometer::serve).
    void serve(std::vector<std::string> strips) { m_photometer.serve(std::move(strips)); }

private:
    Photometer m_photometer;
    std::uint64_t m_garbleState;
};

// Puts one or two pieces of junk between every two bytes of reply; state drives the choice.
std::string garble(std::string_view reply, std::uint64_t &state);

// Byte i of the flood.
char floodByte(std::uint64_t i);

} // namespace instrument
