// SPDX-License-Identifier: GPL-3.0-or-later
// The photometer's command set, as the instrument answers it on its serial line:
//   E      status: "<status character> OK"
//   J n    number of strips to read, 1..12 (any other number is acknowledged and ignored)
//   Z      start a measurement; the instrument does not listen until it is over
//   X 0    the data block: per strip eight values "dddd" apart by one space, then CR LF
// Every reply ends with OK CR LF; an unknown command gets no answer at all. The values come from
// the seed and the number of measurements made. No I/O here: the caller passes the time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace instrument {

// Splits what arrives on the line into command lines: CR or LF ends a line, spaces around it
// go, blank lines are dropped, and a line keeps at most its first 256 bytes.
class CommandLines {
public:
    std::vector<std::string> feed(std::string_view bytes);

private:
    std::string m_line;
};

class Photometer {
public:
    static constexpr int maxStrips = 12;
    static constexpr int rows = 8;

    Photometer(std::uint64_t seed, int measureMs)
        : m_seed(seed)
        , m_measureMs(measureMs) {}

    // The reply to one command line (as CommandLines gives it) at nowMs, or nothing when the
    // instrument does not answer. status is the character an E reply carries.
    std::optional<std::string> answer(std::string_view line, double nowMs, char status);

    // From now on the data block holds this plate rather than made-up values: per strip the
    // 32 characters of its eight wells, rows A to H. As many of its strips are sent as the
    // strip count asks for (all twelve when the plate has more).
    void serve(std::vector<std::string> strips) { m_served = std::move(strips); }

private:
    bool setStrips(std::string_view arg);
    int value(int strip, int row) const;
    std::string dataBlock() const;

    std::uint64_t m_seed;
    int m_measureMs;
    int m_strips = maxStrips;
    std::uint64_t m_measurement = 0;
    double m_busyUntil = 0;
    std::vector<std::string> m_served;
};

// The strips of a plate file as the program saves it (.dat: 8 lines, a field "d,ddd" and TAB
// per strip, CR LF), each as its 32 well characters; empty, with the reason in why, when the
// file cannot be read or is not laid out so.
std::vector<std::string> readPlateFile(const std::string &path, std::string &why);

// A 64-bit mixing function (splitmix64's finaliser): the source of every made-up value.
std::uint64_t mix(std::uint64_t x);

} // namespace instrument
