// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded (LD_PRELOAD) into a Qt program whose start-up is timed. When the
// application object is made it starts watching the events; once the first
// top-level window has been exposed, and so painted and flushed, it appends
// "shown <ms>" to the file named by TELKARO_BENCH_SHOWN_FILE, the time read
// from CLOCK_MONOTONIC, the clock of the virtual instrument's log.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

class ShownMarker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (!m_done && event->type() == QEvent::Expose && watched->isWindowType()) {
            auto *window = static_cast<QWindow *>(watched);
            if (window->isTopLevel() && window->isExposed()) {
                m_done = true;
                // The expose event is handled, painting the window, before
                // control returns to the event loop and this runs.
                QTimer::singleShot(0, this, [] { write(monotonicMs()); });
            }
        }
        return false;
    }

private:
    static void write(double ms) {
        const QByteArray path = qgetenv("TELKARO_BENCH_SHOWN_FILE");
        if (path.isEmpty())
            return;
        if (std::FILE *file = std::fopen(path.constData(), "a")) {
            std::fprintf(file, "shown %.3f\n", ms);
            std::fclose(file);
        }
    }

    bool m_done = false;
};

void installShownMarker() {
    auto *marker = new ShownMarker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(marker);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installShownMarker)
