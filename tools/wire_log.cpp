// SPDX-License-Identifier: GPL-3.0-or-later
// The wire log's format: escaping, the start and record lines, the writer and the reader.

#include "tools/wire_log.h"

#include <charconv>
#include <ctime>
#include <system_error>

namespace instrument {

namespace {

constexpr std::string_view startPrefix = "# start ";

std::optional<double> parseMs(std::string_view text) {
    double value = 0;
    const auto *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string formatMs(double ms) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", ms);
    return text;
}

} // namespace

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

std::string escape(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u >= 0x20 && u < 0x7f) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        unsigned value = 0;
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x' && i + 2 < text.size() &&
                   std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                       text.data() + i + 3) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += c; // "\\" and anything unknown stand for the character itself
        }
    }
    return out;
}

std::string startLine(double startMs) {
    return std::string(startPrefix) + formatMs(startMs) + "\n";
}

std::string recordLine(const WireRecord &record) {
    const char *direction = record.direction == Direction::Received ? "RX " : "TX ";
    return direction + formatMs(record.ms) + " " + escape(record.bytes) + "\n";
}

std::optional<double> parseStartLine(std::string_view line) {
    if (!line.starts_with(startPrefix))
        return std::nullopt;
    return parseMs(line.substr(startPrefix.size()));
}

std::optional<WireRecord> parseRecordLine(std::string_view line) {
    WireRecord record;
    if (line.starts_with("RX "))
        record.direction = Direction::Received;
    else if (line.starts_with("TX "))
        record.direction = Direction::Transmitted;
    else
        return std::nullopt;
    const auto timeEnd = line.find(' ', 3);
    if (timeEnd == std::string_view::npos)
        return std::nullopt;
    const auto ms = parseMs(line.substr(3, timeEnd - 3));
    if (!ms)
        return std::nullopt;
    record.ms = *ms;
    record.bytes = unescape(line.substr(timeEnd + 1));
    return record;
}

WireLogWriter::~WireLogWriter() {
    if (m_file)
        std::fclose(m_file);
}

bool WireLogWriter::open(const std::string &path, double startMs) {
    m_startMs = startMs;
    m_file = std::fopen(path.c_str(), "a");
    if (!m_file)
        return false;
    std::fputs(startLine(startMs).c_str(), m_file);
    std::fflush(m_file);
    return true;
}

void WireLogWriter::write(Direction direction, std::string_view bytes) {
    if (!m_file || bytes.empty())
        return;
    const WireRecord record{direction, monotonicMs() - m_startMs, std::string(bytes)};
    std::fputs(recordLine(record).c_str(), m_file);
    std::fflush(m_file);
}

std::vector<WireRecord> WireLogReader::readNew() {
    std::vector<WireRecord> records;
    std::FILE *file = std::fopen(m_path.c_str(), "rb");
    if (!file)
        return records;
    std::string data;
    if (std::fseek(file, static_cast<long>(m_offset), SEEK_SET) == 0) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;)
            data.append(buf, n);
    }
    std::fclose(file);
    data.resize(data.rfind('\n') + 1); // a line still being written waits; npos + 1 is 0
    m_offset += data.size();
    std::string_view rest = data;
    while (!rest.empty()) {
        const auto eol = rest.find('\n');
        const std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol + 1);
        if (const auto start = parseStartLine(line))
            m_startMs = start;
        else if (auto record = parseRecordLine(line))
            records.push_back(std::move(*record));
    }
    return records;
}

} // namespace instrument
