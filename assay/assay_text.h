// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

// The assay library's words: English in the sources, translated where the
// program installs a translation. Messages about kits and analyses are
// Assay::tr("…"); the report's texts are AssayReport::tr("…").
class Assay {
    Q_DECLARE_TR_FUNCTIONS(Assay)
};
class AssayReport {
    Q_DECLARE_TR_FUNCTIONS(AssayReport)
};
