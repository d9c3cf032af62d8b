// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

// The reader's messages: English in the sources, Russian from its
// translation under a Russian locale. ReaderText::tr("…").
class ReaderText {
    Q_DECLARE_TR_FUNCTIONS(ReaderText)
};
