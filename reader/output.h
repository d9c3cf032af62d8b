// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

#include "plate/plate_export.h"

#include <QList>
#include <QString>

// This run of telkaro-read, started now: its port (none for convert) and
// its strips (0: those of the first plate).
RunFacts runFacts(const std::optional<QString> &port, int strips);

// Where the plates of a run go, written as they come: after each plate the
// output holds every plate so far, so a run that ends early keeps them.
// A .dat or JSON file is written whole each time, replacing the old one only
// once complete; a CSV file gets its first plate that way and the next ones
// appended (a failed append is cut back). On standard output CSV and .dat go
// out plate by plate, the JSON document once, when the run ends.
class PlateOutput {
public:
    PlateOutput(const ReaderOptions &options, const RunFacts &facts);

    // Before the instrument is asked for anything: whether the output can be
    // written where it goes. Empty, or the reason.
    QString check() const;
    // Writes the run's next plate; empty, or the reason it could not be
    // written.
    QString add(const Plate &plate);
    // The run has ended, however: what is still to be written.
    QString finish();

    const QList<Plate> &plates() const { return m_plates; }

private:
    QString failed(const QString &path, const QString &reason) const;
    QString writeWhole(const QString &path, const QByteArray &content) const;
    QString appendCsv(const QByteArray &lines);

    OutputFormat m_format;
    QString m_path; // empty: standard output
    int m_repeat;
    RunFacts m_facts;
    QList<Plate> m_plates;
    bool m_finished = false;
};
