// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plate.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// Plates written for other programs to read: CSV (RFC 4180) and JSON, with
// well names ("A1" … "H12"), numbers with a decimal point and times in
// ISO 8601 UTC. The plate text and .dat content stay as they are.

// "A1" for strip 0, row 0; "H12" for strip 11, row 7.
QString wellName(qsizetype s, int r);
// The well's four characters as a number, "1.234", when all four are
// digits; an empty string otherwise.
QString wellNumber(const Plate &plate, qsizetype s, int r);
// A CSV field (RFC 4180): quoted where it holds a comma, a quote or a line
// end, in UTF-8.
QByteArray csvField(const QString &text);
// The SHA-256 of the plate's block (its whole strips, without "OK"), in hex.
QByteArray blockSha256(const Plate &plate);
// ISO 8601 in UTC with milliseconds: "2026-12-09T22:15:03.120Z".
QString isoTime(const QDateTime &time);

// The CSV header line, and one line per well of a plate in the order A1, B1,
// …, H1, A2, …, the plate's place in its run (1, 2, …) first; every line
// ends with CR LF.
QByteArray csvHeader();
QByteArray csvLines(const Plate &plate, int number);

// What a JSON document says about the run beside its plates.
struct RunFacts {
    QString program;
    QString version;
    std::optional<QString> port; // none when no port was used
    int strips = 0;
    QDateTime started;
};
// The whole document: the run's facts and every plate so far (numbered 1, 2,
// … in their order), each with its block's SHA-256, its values by well name
// (null where not a number) and its texts as the window shows them. Wells in
// the order A1, B1, …
QByteArray jsonDocument(const RunFacts &run, const QList<Plate> &plates);

// The .dat content of a plate: the plate text, as Save writes it.
QByteArray datContent(const Plate &plate);

// The block behind a .dat file's content, for writing it in another form:
// the four characters of each well, strip by strip. Empty, with the reason in
// *why, when the content is not a complete plate file of 1 to 12 strips as
// Save writes them.
QByteArray blockFromDat(const QByteArray &content, QString *why);

// Plate n (1, 2, …) of a JSON document as jsonDocument writes it: its wells'
// texts and its time. Null, with the reason in *why, when the content is not
// such a document or has no plate n.
Plate plateFromJson(const QByteArray &content, int n, QString *why);
