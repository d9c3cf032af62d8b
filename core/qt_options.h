// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCommandLineParser;

// The options the window system takes for itself (-platform offscreen,
// -style fusion, ...): accepted by a window program's parser, hidden from
// its help, and used by QApplication.
void addQtOptions(QCommandLineParser &parser);
