// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct ReaderOptions;

// convert FILE.dat: the file read as View file reads it, within its limits,
// and written as the options say. Returns the exit code.
int convertFile(const ReaderOptions &options);
