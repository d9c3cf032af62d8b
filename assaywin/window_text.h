// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

// The assay window's words outside its QObject classes: English in the
// sources, Russian from the program's translation. WindowText::tr("…").
class WindowText {
    Q_DECLARE_TR_FUNCTIONS(WindowText)
};
