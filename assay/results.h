// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct Analysis;
struct Kit;
class Plate;

// What a result says of its run beside the analysis.
struct AnalysisRun {
    QString program;
    QString version;
    QString source;       // the port measured on, or the plate file read
    QString kitFile;      // the kit file's name
    QByteArray kitSha256; // of the kit file's bytes, in hex
    QDateTime time;       // when the analysis was made
};

// The results for other programs: one JSON object (numbers with their full
// precision, null where there is none), and CSV, a line per sample (RFC 4180,
// CR LF, numbers rounded for people).
QByteArray analysisJson(const Kit &kit, const Analysis &analysis, const Plate &plate,
                        const AnalysisRun &run);
QByteArray analysisCsvHeader();
QByteArray analysisCsv(const Kit &kit, const Analysis &analysis);
