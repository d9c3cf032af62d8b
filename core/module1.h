// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Session states of the exchange with the instrument. The names are used
// unqualified, as the rest of the module state is.
enum class SessionState : qint16 {
    StateAwaitLink = 0,
    StateLinked = 1,
    StateAwaitStripAck = 2,
    StateAwaitMeasureAck = 3,
    StateMeasuring = 4,
    StateAwaitData = 5,
    StateFault = 6,
    StateDone = 10,
};
using enum SessionState;

// Booleans of the shared state are 16-bit integers, True = -1 and False = 0.
constexpr qint16 true16 = -1;
constexpr qint16 false16 = 0;

// The state shared by the window, the instrument link and the plate results.
// One instance lives for the whole run; Main() sets the session defaults.
struct Модуль1 {
    qint16 StripCount = 0; // strips to measure, 1..12
    ::SessionState SessionState = StateAwaitLink;
    qint16 MeasureAfterStrip = 0; // start measuring once the strip count is acknowledged
    qint16 DeviceStripCount = 0;  // strip count last sent to the instrument
    QByteArray RxBuffer;          // accepted reply characters since the last command
    QByteArray LastCommand;       // last command line written, CR LF included
    QString PlateText;            // plate text of the last data block or viewed file
};
