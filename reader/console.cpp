// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>

#ifdef Q_OS_WIN
// The Windows C runtime's own console calls; Qt has none for this.
#include <fcntl.h>
#include <io.h>
#endif

bool standardErrorIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    // What the descriptor stands for: a terminal is /dev/pts/N or /dev/ttyN.
    const QString target = QFileInfo(QStringLiteral("/proc/self/fd/2")).symLinkTarget();
    return target.startsWith(QLatin1String("/dev/pts/")) ||
           target.startsWith(QLatin1String("/dev/tty")) ||
           target.startsWith(QLatin1String("/dev/console"));
#endif
}

void useBinaryStandardOutput() {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool writeStandardOutput(const QByteArray &bytes) {
    if (!bytes.isEmpty() &&
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) !=
            static_cast<std::size_t>(bytes.size()))
        return false;
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void writeStandardError(const QString &line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}
