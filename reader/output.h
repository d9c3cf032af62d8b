// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

#include "plate/plate_export.h"

#include <QList>
#include <QString>

// This run of telkaro-read, started now: its port (none for convert) and
// its strips (0: those of the first plate).
RunFacts runFacts(const std::optional<QString> &port, int strips);

// Where a run's plates go: each written as it comes.
class RunOutput {
public:
    virtual ~RunOutput() = default;
    // Before the instrument is asked for anything: whether the output can be
    // written where it goes. Empty, or the reason.
    virtual QString check() const = 0;
    // Writes the run's next plate; empty, or the reason it could not be
    // written (failureCode says the exit code).
    virtual QString add(const Plate &plate) = 0;
    // The run has ended, however: what is still to be written.
    virtual QString finish() = 0;
    virtual int failureCode() const;
    // A plate was written whose answer is not to be relied on (exit 10).
    virtual bool anyInvalid() const { return false; }
};

// Whether a file can be written there (not a folder; a file beside it can be
// made): empty, or the reason.
QString checkWritable(const QString &path);
// Writes the whole file, replacing an old one only once complete: empty, or
// the reason.
QString writeWholeFile(const QString &path, const QByteArray &content);

// Where the plates of a run go, written as they come: after each plate the
// output holds every plate so far, so a run that ends early keeps them.
// A .dat or JSON file is written whole each time, replacing the old one only
// once complete; a CSV file gets its first plate that way and the next ones
// appended (a failed append is cut back). On standard output CSV and .dat go
// out plate by plate, the JSON document once, when the run ends.
class PlateOutput : public RunOutput {
public:
    PlateOutput(const ReaderOptions &options, const RunFacts &facts);

    QString check() const override;
    QString add(const Plate &plate) override;
    QString finish() override;

    const QList<Plate> &plates() const { return m_plates; }

private:
    QString appendCsv(const QByteArray &lines);

    OutputFormat m_format;
    QString m_path; // empty: standard output
    int m_repeat;
    RunFacts m_facts;
    QList<Plate> m_plates;
    bool m_finished = false;
};
