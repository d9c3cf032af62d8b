// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Bounds on real time or CPU time mean something only on a machine that is
// not slowed down on purpose: they are checked in the runs labelled
// "timing" (TELKARO_TIMING=1, tests/CMakeLists.txt), which the sanitizer
// stage leaves out. Everything else in the same test functions is checked in
// every run.
inline bool timingChecked() {
    return qEnvironmentVariableIsSet("TELKARO_TIMING");
}
