// SPDX-License-Identifier: GPL-3.0-or-later
// The fault modes: control lines, and how a reply is changed on its way out.

#include "tools/faults.h"

#include "tools/wire_log.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

namespace instrument {

ControlRequest applyControl(const std::string &line, Modes &modes) {
    const auto space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
    ControlRequest request;
    bool *flag = word == "silent"    ? &modes.silent
                 : word == "bare"    ? &modes.bare
                 : word == "pace"    ? &modes.pace
                 : word == "lower"   ? &modes.lower
                 : word == "garbage" ? &modes.garbage
                 : word == "flood"   ? &modes.flood
                                     : nullptr;
    long stall = -1;
    const auto *argEnd = arg.data() + arg.size();
    const auto parsed = std::from_chars(arg.data(), argEnd, stall);
    if (flag) {
        if (arg != "on" && arg != "off")
            request.error = word + " wants on or off";
        else
            *flag = arg == "on";
        if (word == "flood" || word == "pace")
            request.action = ControlRequest::Action::RestartClock;
    } else if (word == "status" && arg.size() == 1) {
        modes.status = arg[0];
    } else if (word == "stall" && parsed.ec == std::errc() && parsed.ptr == argEnd && stall >= 0) {
        modes.stallAfter = stall;
    } else if (word == "send") {
        request.action = ControlRequest::Action::Send;
        request.bytes = unescape(arg);
    } else if (word == "close") {
        request.action = ControlRequest::Action::Close;
    } else if (word == "quit") {
        request.action = ControlRequest::Action::Quit;
    } else {
        request.error = "unknown command: " + line;
    }
    if (!request.error.empty())
        request.action = ControlRequest::Action::None;
    return request;
}

Responder::Responder(std::uint64_t seed, int measureMs)
    : m_photometer(seed, measureMs)
    , m_garbleState(mix(seed ^ 0x6A72ull)) {}

std::optional<std::string> Responder::respond(std::string_view line, double nowMs, Modes &modes) {
    if (modes.silent)
        return std::nullopt;
    std::optional<std::string> reply = m_photometer.answer(line, nowMs, modes.status);
    if (!reply)
        return std::nullopt;
    if (modes.bare)
        reply->resize(reply->size() - 2); // every reply ends with CR LF
    if (modes.lower)
        for (char &c : *reply)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (modes.garbage)
        reply = garble(*reply, m_garbleState);
    if (modes.stallAfter >= 0) {
        reply->resize(std::min(reply->size(), static_cast<std::size_t>(modes.stallAfter)));
        modes.stallAfter = -1;
    }
    return reply;
}

std::string garble(std::string_view reply, std::uint64_t &state) {
    // Each entry is one piece of junk; "\xD0\x9F" is a Cyrillic letter in UTF-8.
    static constexpr std::string_view junk[] = {
        " ",    ",",    ".",    "-",    "+",    "!",    "/",        "#",
        "a",    "e",    "q",    "x",    "z",    "\t",   "\x01",     "\x07",
        "\x1b", "\x7f", "\xff", "\x80", "\xfe", "\xc3", "\xd0\x9f", {"\0", 1}};
    constexpr std::size_t junkCount = sizeof junk / sizeof junk[0];
    std::string out;
    for (std::size_t i = 0; i < reply.size(); ++i) {
        out += reply[i];
        if (i + 1 == reply.size())
            break;
        state = mix(state);
        const int pieces = 1 + static_cast<int>(state % 2);
        for (int p = 0; p < pieces; ++p)
            out += junk[(state >> (8 + 8 * p)) % junkCount];
    }
    return out;
}

char floodByte(std::uint64_t i) {
    static constexpr std::string_view bytes = "0123456789ABCDEFGHIJKLMN"; // never "OK"
    return bytes[i % bytes.size()];
}

} // namespace instrument
