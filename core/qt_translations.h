// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Installs Qt's own Russian texts (the standard dialogs' buttons and labels,
// the command line's messages) in the application, whatever the system's
// language: the program's interface is Russian. Looked for beside the
// program first, where Qt is deployed with it, then where Qt keeps them.
// False when they were not found; the program then runs with Qt's English.
bool installQtTranslations(QCoreApplication &app);
