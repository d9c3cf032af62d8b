// SPDX-License-Identifier: GPL-3.0-or-later
// The photometer's replies: command parsing, measurement timing, the data block.

#include "tools/photometer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace instrument {

namespace {

constexpr std::size_t maxLine = 256;

} // namespace

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::vector<std::string> CommandLines::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') {
            if (m_line.size() < maxLine)
                m_line += c;
            continue;
        }
        const auto first = m_line.find_first_not_of(' ');
        if (first != std::string::npos)
            lines.push_back(m_line.substr(first, m_line.find_last_not_of(' ') + 1 - first));
        m_line.clear();
    }
    return lines;
}

std::optional<std::string> Photometer::answer(std::string_view line, double nowMs, char status) {
    if (nowMs < m_busyUntil || line.empty())
        return std::nullopt; // measuring: the instrument does not listen
    std::string body;
    if (line == "E") {
        body = std::string(1, status) + " ";
    } else if (line[0] == 'J') {
        if (!setStrips(line.substr(1)))
            return std::nullopt;
    } else if (line == "Z") {
        ++m_measurement;
        m_busyUntil = nowMs + m_measureMs;
    } else if (line == "X0" || (line.size() > 2 && line[0] == 'X' && line.back() == '0' &&
                                line.find_first_not_of(' ', 1) == line.size() - 1)) {
        body = dataBlock();
    } else {
        return std::nullopt;
    }
    return body + "OK\r\n";
}

// "J n" is acknowledged for any number; only 1..12 changes the strip count.
bool Photometer::setStrips(std::string_view arg) {
    while (!arg.empty() && arg.front() == ' ')
        arg.remove_prefix(1);
    long n = 0;
    const auto *end = arg.data() + arg.size();
    const auto [ptr, ec] = std::from_chars(arg.data(), end, n);
    if (ec != std::errc() || ptr != end)
        return false;
    if (n >= 1 && n <= maxStrips)
        m_strips = static_cast<int>(n);
    return true;
}

// An optical density 0.040..3.500, weighted towards the low end like a real plate.
int Photometer::value(int strip, int row) const {
    const std::uint64_t h = mix(mix(mix(m_seed) ^ m_measurement) ^ (strip * 16 + row));
    const auto a = static_cast<int>(h % 3461);
    const auto b = static_cast<int>((h >> 32) % 3461);
    return 40 + a * b / 3460;
}

std::string Photometer::dataBlock() const {
    // A plate served from a file, up to the strips asked for; else made-up
    // values.
    const bool served = !m_served.empty();
    const std::size_t strips =
        served ? std::min<std::size_t>(m_served.size(), m_strips) : std::size_t(m_strips);
    std::string out;
    for (std::size_t strip = 0; strip < strips; ++strip) {
        for (int row = 0; row < rows; ++row) {
            if (row)
                out += ' ';
            if (served) {
                out += m_served[strip].substr(4 * row, 4);
            } else {
                char digits[8];
                std::snprintf(digits, sizeof digits, "%04d", value(static_cast<int>(strip), row));
                out += digits;
            }
        }
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> readPlateFile(const std::string &path, std::string &why) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        why = "cannot read " + path;
        return {};
    }
    const std::string content((std::istreambuf_iterator<char>(file)), {});
    constexpr int rows = Photometer::rows;
    constexpr std::size_t maxStrips = Photometer::maxStrips;
    const std::size_t lineSize = content.size() / rows;
    const std::size_t strips = lineSize >= 2 ? (lineSize - 2) / 6 : 0;
    if (content.size() % rows != 0 || strips < 1 || strips > maxStrips ||
        lineSize != 6 * strips + 2) {
        why = path + " is not a plate file of 1 to 12 strips";
        return {};
    }
    std::vector<std::string> plate(strips);
    for (int row = 0; row < rows; ++row) {
        const std::string_view line(content.data() + row * lineSize, lineSize);
        if (line.substr(lineSize - 2) != "\r\n") {
            why = path + ": a line does not end with CR LF";
            return {};
        }
        for (std::size_t strip = 0; strip < strips; ++strip) {
            const std::string_view field = line.substr(6 * strip, 6);
            if (field[1] != ',' || field[5] != '\t') {
                why = path + ": a field is not a value and TAB";
                return {};
            }
            plate[strip] += std::string(1, field[0]) + std::string(field.substr(2, 3));
        }
    }
    return plate;
}

} // namespace instrument
