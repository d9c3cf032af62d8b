// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What telkaro-read ends with; the codes are in its --help and manual page.
namespace exitCode {
constexpr int done = 0;
constexpr int usage = 2;
constexpr int portNotOpened = 3;
constexpr int noAnswer = 4;
constexpr int instrumentError = 5;
constexpr int portLost = 6;
constexpr int outputFailed = 7;
constexpr int inputUnreadable = 8;
constexpr int kitWrong = 9;
constexpr int runInvalid = 10;
constexpr int interrupted = 130;
} // namespace exitCode

enum class ReaderCommand { Status, Measure, ReadPlate, Convert, Analyze };
enum class OutputFormat { Dat, Csv, Json };

struct ReaderOptions {
    ReaderCommand command = ReaderCommand::Status;
    QString port;   // empty: the window's order of choice
    QString file;   // convert: the .dat file; analyze: the .dat or JSON plate file
    QString output; // empty: standard output
    OutputFormat format = OutputFormat::Dat;
    int strips = 12;
    bool stripsGiven = false;
    QString assay;  // the kit file: the plate's analysis is the output
    QString report; // the HTML report's file; empty: none
    int plate = 1;  // analyze: which plate of a JSON file
    int repeat = 1;
    qint64 intervalMs = 0;
    qint64 timeoutMs = 30000;
    bool quiet = false;
};

struct ReaderCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString text; // help, version or the error, ready to print
    ReaderOptions options;
};

ReaderCommandLine parseReaderCommandLine(const QStringList &arguments);

// The name of plate k (1, 2, …) of a series written to path as .dat files:
// "run.dat" gives "run-001.dat", "run-002.dat", …
QString seriesFileName(const QString &path, int k);
