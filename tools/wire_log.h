// SPDX-License-Identifier: GPL-3.0-or-later
// The wire log of telkaro-instrument (--log FILE): the bytes the instrument received from the
// program (RX) and wrote to it (TX), one line a chunk, with the time. The instrument writes it;
// the tests and the benchmarks read it back with WireLogReader. Plain C++ and POSIX.
//
//   # start 81234.567      CLOCK_MONOTONIC in milliseconds when the instrument started
//   RX 0.512 E\r\n         milliseconds since then, a space, the bytes escaped
//   TX 0.530 0 OK\r\n
//
// Escaped bytes: printable ASCII stands for itself, except the backslash; then \\ \r \n \t, and
// \xHH with capital hex digits for every other byte. A line never holds a raw CR or LF.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace instrument {

// Milliseconds on CLOCK_MONOTONIC, the clock the log is stamped with.
double monotonicMs();

std::string escape(std::string_view bytes);
// The reverse of escape(). A backslash before any other character, or at the very end, stands
// for that character; "\x" without two hex digits stands for "x".
std::string unescape(std::string_view text);

enum class Direction { Received, Transmitted };

struct WireRecord {
    Direction direction = Direction::Received;
    double ms = 0; // since the instrument started
    std::string bytes;
};

// One line of the log, with its '\n'.
std::string startLine(double startMs);
std::string recordLine(const WireRecord &record);
// One line without its '\n'; nothing when the line is not of that kind.
std::optional<double> parseStartLine(std::string_view line);
std::optional<WireRecord> parseRecordLine(std::string_view line);

// Appends to the log file; every record is flushed at once so that readers see it.
class WireLogWriter {
public:
    WireLogWriter() = default;
    ~WireLogWriter();
    WireLogWriter(const WireLogWriter &) = delete;
    WireLogWriter &operator=(const WireLogWriter &) = delete;

    // Opens the file for appending and writes the start line; startMs is on monotonicMs().
    bool open(const std::string &path, double startMs);
    // Writes one record stamped now; nothing when the log is not open or bytes is empty.
    void write(Direction direction, std::string_view bytes);

private:
    std::FILE *m_file = nullptr;
    double m_startMs = 0;
};

// Reads a log that is still being written, a piece at a time.
class WireLogReader {
public:
    explicit WireLogReader(std::string path)
        : m_path(std::move(path)) {}

    // The records completed since the last call, in order. A line still being written is left
    // for a later call; a missing file reads as empty.
    std::vector<WireRecord> readNew();
    // The start line's time, once it has been read.
    std::optional<double> startMs() const { return m_startMs; }

private:
    std::string m_path;
    std::uint64_t m_offset = 0;
    std::optional<double> m_startMs;
};

} // namespace instrument
