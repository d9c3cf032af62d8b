// SPDX-License-Identifier: GPL-3.0-or-later
// bench_cycle: measurement cycles of the whole program (Main, the window, the
// session, the serial link) against the virtual instrument pacing its replies
// at 9600 baud and finishing a measurement at once (--pace --measure-ms 0
// --bare-ok). Each cycle is timed from the Measurement command to the results
// pane painted with the grid, and set against the floor the protocol allows:
//
//   floor = bytes on the wire both ways / 960 per second
//         + the 500 ms pause before the data request
//         + the wait for the next poll, taken from the instrument's log (the
//           link timer ticks 500 ms after "Z"; what is left of that interval
//           once Z and its OK have crossed the line)
//
// The instrument's log (its clock is CLOCK_MONOTONIC, as the program's) splits
// the cycle into what the line and the protocol take and what the program
// takes. Cycles: TELKARO_BENCH_CYCLES (default 7), after one unmeasured cycle
// that sends the strip count. Prints table rows as telkaro-bench-process does.
#include "app/frm_main.h"
#include "app/menu_flags.h"
#include "app/program.h"
#include "app/text_pane.h"
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/session.h"
#include "tests/support/virtual_instrument.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr double kByteMs = 1000.0 / 960; // one 8N1 character at 9600 baud

double steadyMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QByteArray fmt(double value, int decimals) {
    return QByteArray::number(value, 'f', decimals);
}

void row(const QByteArray &figure, const QByteArray &value, const QByteArray &unit,
         const QByteArray &against, const QByteArray &ratio, const QByteArray &goal,
         const QByteArray &verdict) {
    std::printf("cycle\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", figure.constData(), value.constData(),
                unit.constData(), against.constData(), ratio.constData(), goal.constData(),
                verdict.constData());
    std::fflush(stdout);
}

// Records, on the instrument's clock, when the results pane has been painted
// with the data block: the first paint once the session is done.
class GridPainted : public QObject {
public:
    GridPainted(const Session &session, double clockOffset)
        : m_session(session)
        , m_offset(clockOffset) {}

    void arm() {
        m_armed = true;
        m_at = 0;
    }
    double at() const { return m_at; }
    QEventLoop loop;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (m_armed && event->type() == QEvent::Paint &&
            m_session.state() == SessionState::StateDone) {
            m_armed = false;
            // Runs once the paint event has been handled.
            QTimer::singleShot(0, this, [this] {
                m_at = steadyMs() - m_offset;
                loop.quit();
            });
        }
        return false;
    }

private:
    const Session &m_session;
    double m_offset;
    bool m_armed = false;
    double m_at = 0;
};

struct Cycle {
    double total = 0;     // command to grid painted
    double floor = 0;     // the protocol's floor
    double pollWait = 0;  // from the end of Z's reply on the line to the poll's arrival
    double program = 0;   // total less the poll interval, the pause and the instrument's output
    double toCommand = 0; // command to "Z" at the instrument
    double afterLast = 0; // last character of the block sent to grid painted
    double pauseOver = 0; // data request later than 500 ms after the status's last character
    double cpu = 0;       // CPU time of this process
    int bytes = 0;
};

// The log from the command on: "Z", its OK, the poll, the status, the data
// request, the block. Times are when the instrument read or wrote the bytes.
bool analyse(const QList<VirtualInstrument::Event> &events, double click, double painted,
             Cycle &c) {
    struct Reply {
        double sent = 0;     // instrument read the command
        double lastByte = 0; // instrument wrote the reply's last byte
    };
    std::vector<Reply> replies;
    QByteArray reply;
    int bytes = 0;
    for (const auto &e : events) {
        if (e.ms < click)
            continue;
        bytes += static_cast<int>(e.bytes.size());
        if (e.rx) {
            replies.push_back({e.ms, 0});
            reply.clear();
        } else if (!replies.empty()) {
            reply += e.bytes;
            if (reply.endsWith("OK") && replies.back().lastByte == 0) {
                replies.back().lastByte = e.ms;
                if (replies.size() == 3)
                    break;
            }
        }
    }
    if (replies.size() != 3 || replies[2].lastByte == 0)
        return false;
    const Reply &z = replies[0], &e = replies[1], &x = replies[2];
    // A byte written at t is on the line until t + one character time.
    c.pollWait = e.sent - (z.lastByte + kByteMs);
    c.bytes = bytes;
    c.floor = bytes * kByteMs + 500 + c.pollWait;
    c.total = painted - click;
    c.toCommand = z.sent - click;
    c.afterLast = painted - x.lastByte;
    c.pauseOver = x.sent - e.lastByte - 500;
    const double instrumentOutput = (e.lastByte - e.sent) + (x.lastByte - x.sent);
    c.program = c.total - 500 - 500 - instrumentOutput;
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TELKARO"));
    QApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QApplication::setQuitOnLastWindowClosed(false);
    const int cycles = std::max(1, qEnvironmentVariableIntValue("TELKARO_BENCH_CYCLES") > 0
                                       ? qEnvironmentVariableIntValue("TELKARO_BENCH_CYCLES")
                                       : 7);

    VirtualInstrument instrument;
    if (!instrument.start({"--pace", "--measure-ms", "0", "--bare-ok"})) {
        std::fprintf(stderr, "bench_cycle: %s\n", qPrintable(instrument.lastError()));
        return 1;
    }
    SettingsStore().clear();
    qputenv("TELKARO_PORT", instrument.portName().toLocal8Bit());
    std::unique_ptr<frmMain> window = Main();
    const Session &session = window->program().link.session();
    if (!instrument.waitFor([&] { return session.state() == SessionState::StateLinked; }, 10000)) {
        std::fprintf(stderr, "bench_cycle: no link\n");
        return 1;
    }
    const double clockNow = instrument.clockMs();
    GridPainted painted(session, steadyMs() - clockNow);
    window->ОкноПечати()->installEventFilter(&painted);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &painted.loop, [&painted] { painted.loop.exit(1); });

    std::vector<Cycle> results;
    for (int i = 0; i <= cycles; ++i) {
        // Idle between cycles, as an operator would be.
        QTimer::singleShot(300, &painted.loop, [&painted] { painted.loop.quit(); });
        painted.loop.exec();

        const double click = instrument.clockMs();
        const double cpu0 = cpuMs();
        painted.arm();
        guard.start(15000);
        window->action(Menu::менюИзмерение)->trigger();
        const int failed = painted.loop.exec();
        guard.stop();
        const double cpu = cpuMs() - cpu0;
        if (failed || session.RxBuffer().size() != 12 * 32 + 2) {
            std::fprintf(stderr, "bench_cycle: cycle %d did not end with a full plate\n", i);
            return 1;
        }
        if (i == 0)
            continue; // sent the strip count first
        Cycle c;
        if (!analyse(instrument.events(), click, painted.at(), c)) {
            std::fprintf(stderr, "bench_cycle: cycle %d: unexpected exchange in the log\n", i);
            return 1;
        }
        c.cpu = cpu;
        std::fprintf(stderr,
                     "cycle %d: %.1f ms, floor %.1f ms (%d bytes, poll wait %.1f ms), program "
                     "%.1f ms (command->Z %.2f, pause over %.2f, last char->painted %.2f), CPU "
                     "%.1f ms\n",
                     i, c.total, c.floor, c.bytes, c.pollWait, c.program, c.toCommand, c.pauseOver,
                     c.afterLast, c.cpu);
        results.push_back(c);
    }

    auto med = [&](double Cycle::*field) {
        std::vector<double> v;
        for (const Cycle &c : results)
            v.push_back(c.*field);
        return median(v);
    };
    const QByteArray n = " (median of " + QByteArray::number(cycles) + ")";
    std::vector<double> ratios;
    for (const Cycle &c : results)
        ratios.push_back(c.total / c.floor);
    const double ratio = median(ratios);
    row("command to grid painted" + n, fmt(med(&Cycle::total), 1), "ms",
        "floor " + fmt(med(&Cycle::floor), 1) + " ms (" + QByteArray::number(results[0].bytes) +
            " bytes, poll wait " + fmt(med(&Cycle::pollWait), 1) + " ms)",
        fmt(ratio, 4) + "x", "<= 1.02x", ratio <= 1.02 ? "ok" : "OVER");
    row("program's time: total - 2 x 500 ms - paced replies", fmt(med(&Cycle::program), 1), "ms",
        "floor", fmt(med(&Cycle::program) / med(&Cycle::floor), 4), "-", "-");
    row("  command to Z at the instrument", fmt(med(&Cycle::toCommand), 2), "ms", "-", "-", "-",
        "-");
    row("  data request after the status, beyond 500 ms", fmt(med(&Cycle::pauseOver), 2), "ms", "-",
        "-", "-", "-");
    row("  block's last character written to grid painted", fmt(med(&Cycle::afterLast), 2), "ms",
        "-", "-", "-", "-");
    row("CPU time of the program per cycle", fmt(med(&Cycle::cpu), 1), "ms", "cycle",
        fmt(med(&Cycle::cpu) / med(&Cycle::total), 4), "-", "-");
    window.reset();
    return 0;
}
