// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Standard output and standard error as the reader uses them.

// Whether standard error is a terminal (progress goes only there).
bool standardErrorIsTerminal();
// Standard output carries data byte for byte: no CR added before LF on
// Windows. Called once at start.
void useBinaryStandardOutput();
// Writes to standard output and flushes; false when it failed (a closed pipe,
// a full disk).
bool writeStandardOutput(const QByteArray &bytes);
// One line on standard error, UTF-8, flushed.
void writeStandardError(const QString &line);
