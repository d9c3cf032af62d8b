// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct ReaderOptions;

// analyze --assay KIT PLATE: the kit's answer for a plate file (a .dat file,
// or the JSON telkaro-read writes), written as the options say. Returns the
// exit code.
int analyzeFile(const ReaderOptions &options);
