// SPDX-License-Identifier: GPL-3.0-or-later
// The pseudo-terminal and the symlink to its slave side.

#include "tools/pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace instrument {

namespace {

void unlinkIfSymlink(const std::string &path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        unlink(path.c_str());
}

} // namespace

bool Pty::open(std::string &error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 || !ptsname(m_master))
        return fail(error, "posix_openpt");
    m_slaveName = ptsname(m_master);
    // Holding the slave open keeps the master readable and writable while the program under
    // test has not opened the port yet (or has closed it again).
    m_slave = ::open(m_slaveName.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    if (m_slave < 0 || tcgetattr(m_slave, &tio) != 0)
        return fail(error, "slave");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0 ||
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail(error, "termios");
    return true;
}

void Pty::close() {
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

bool Pty::fail(std::string &error, const char *what) {
    error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

std::string SlaveLink::create(const std::string &path, const std::string &target) {
    remove();
    unlinkIfSymlink(path); // left over from a run that was killed
    if (symlink(target.c_str(), path.c_str()) != 0)
        return "cannot create link " + path + ": " + std::strerror(errno);
    m_path = path;
    return {};
}

void SlaveLink::remove() {
    if (!m_path.empty())
        unlinkIfSymlink(m_path);
    m_path.clear();
}

} // namespace instrument
