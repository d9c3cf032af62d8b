// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument's pseudo-terminal: the master side it answers on, the slave side that the
// program under test opens as its serial port, and the symlink to the slave (--link).
#pragma once

#include <string>

namespace instrument {

class Pty {
public:
    Pty() = default;
    ~Pty() { close(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    // Opens a raw 9600 baud pty with a non-blocking master. On false, error says why.
    bool open(std::string &error);
    // Closes both sides: the slave vanishes, a program holding it open gets an error.
    void close();

    int master() const { return m_master; }
    const std::string &slaveName() const { return m_slaveName; }

private:
    bool fail(std::string &error, const char *what);

    int m_master = -1;
    int m_slave = -1;
    std::string m_slaveName;
};

// A symlink to the slave side for as long as the instrument runs.
class SlaveLink {
public:
    SlaveLink() = default;
    ~SlaveLink() { remove(); }
    SlaveLink(const SlaveLink &) = delete;
    SlaveLink &operator=(const SlaveLink &) = delete;

    // Links path to target, replacing a symlink left over from a run that was killed. Returns
    // an empty string, or what went wrong.
    std::string create(const std::string &path, const std::string &target);
    // Removes the link made by create(); a file that is not a symlink stays.
    void remove();

private:
    std::string m_path;
};

} // namespace instrument
