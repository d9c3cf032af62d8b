// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole program and its virtual instrument, started as the operator
// would, for end-to-end tests.
#include "app/frm_main.h"
#include "app/pane_model.h"
#include "app/program.h"
#include "app/strip_dialog.h"
#include "app/text_pane.h"
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/link_timer.h"
#include "link/serial_link.h"
#include "link/session.h"
#include "tests/support/virtual_instrument.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>

#include <memory>

struct LiveProgram {
    VirtualInstrument instrument;
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
        window = Main();
        return window->program().link.MSComm1().isOpen();
    }
    bool start(const QStringList &options) { return startInstrument(options) && startProgram(); }

    bool waitForState(SessionState state, int timeoutMs = 10000) {
        return instrument.waitFor([&] { return this->state() == state; }, timeoutMs);
    }
    Session &session() { return window->program().link.session(); }
    SessionState state() { return session().state(); }
    SessionPresenter &presenter() { return window->program().presenter; }
    void choose(Menu item) { window->action(item)->trigger(); }
    // The strip count dialog, as the operator uses it.
    void chooseStripCount(int strips) {
        window->менюНастройка_Click();
        window->dialog()->комбоСтрип()->setCurrentIndex(strips - 1);
        window->dialog()->кНастройкаОК()->click();
    }
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
