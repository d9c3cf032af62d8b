// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"
#include "output.h"

#include "assay/kit.h"
#include "assay/results.h"

#include <optional>

// A kit for a run, read before the instrument is asked for anything: the
// kit and what a result says of the run, or why it cannot be used.
struct RunKit {
    std::optional<Kit> kit;
    AnalysisRun run;
    QString error;
};
RunKit loadRunKit(const QString &path, const QString &source);

// Each plate analysed by the kit and written as results (JSON or CSV) and,
// when asked, a report; a series goes to NAME-001.json, NAME-002.json, …
// (on standard output, one document after another).
class AnalysisOutput : public RunOutput {
public:
    AnalysisOutput(const ReaderOptions &options, Kit kit, AnalysisRun run);

    QString check() const override;
    QString add(const Plate &plate) override;
    QString finish() override { return QString(); }
    int failureCode() const override { return m_failureCode; }
    bool anyInvalid() const override { return m_invalid; }

private:
    QString pathOf(const QString &path, int number) const;

    OutputFormat m_format;
    QString m_path;
    QString m_report;
    int m_repeat;
    Kit m_kit;
    AnalysisRun m_run;
    int m_plates = 0;
    int m_failureCode = exitCode::outputFailed;
    bool m_invalid = false;
};
