// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole program and its virtual instrument, started as the operator
// would, for end-to-end tests.
#include "app/frm_main.h"
#include "app/program.h"
#include "app/settings.h"
#include "app/text_pane.h"
#include "core/module1.h"
#include "core/pane_model.h"
#include "core/settings_store.h"
#include "tests/support/virtual_instrument.h"

#include <QAction>
#include <QFile>
#include <QSettings>

#include <memory>

struct LiveProgram {
    VirtualInstrument instrument;
    Модуль1 moduleState;
    std::unique_ptr<frmMain> window;

    bool startInstrument(const QStringList &options) {
        SettingsStore().clear();
        if (!instrument.start(options)) {
            qWarning() << instrument.lastError();
            return false;
        }
        qputenv("TELKARO_PORT", instrument.portName().toLocal8Bit());
        return true;
    }
    bool startProgram() {
        window.reset(Main(moduleState));
        return window->program().MSComm1.isOpen();
    }
    bool start(const QStringList &options) { return startInstrument(options) && startProgram(); }

    bool waitForState(SessionState state, int timeoutMs = 10000) {
        return instrument.waitFor([&] { return moduleState.SessionState == state; }, timeoutMs);
    }
    void choose(Menu item) { window->action(item)->trigger(); }
    PaneModel &pane() { return window->ОкноПечати()->model(); }

    // The lines the program wrote, in order, each with its CR.
    QList<QByteArray> lines() const {
        QList<QByteArray> result = instrument.received().split('\n');
        result.removeLast();
        return result;
    }
    // The reply bytes sent after the last data request, as the program keeps them.
    QByteArray lastBlock() const {
        QByteArray block;
        for (const auto &event : instrument.events()) {
            if (event.rx && event.bytes.startsWith('X'))
                block.clear();
            else if (!event.rx)
                block += event.bytes;
        }
        QByteArray kept;
        for (char c : block)
            if (c >= '0' && c <= 'Z')
                kept += c;
        return kept;
    }
};

// AddressSanitizer holds freed memory back for a while, so resident memory
// says nothing about growth under it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool memoryIsMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool memoryIsMeasurable = false;
#else
constexpr bool memoryIsMeasurable = true;
#endif
#else
constexpr bool memoryIsMeasurable = true;
#endif

// Resident memory of this process in KiB (0 where the system does not say).
inline qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}
