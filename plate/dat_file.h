// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A .dat data file holds the plate text: 8 lines, a 6-character field
// (value and TAB) per strip, CR LF after each line.

// Writes the file so that it is either complete or untouched: an existing
// file of that name stays as it was when anything fails. Returns an empty
// string on success, else the reason: the system's words, or shortWrite when
// the system took less than the whole content without saying why. Any
// content is written so, the other export formats' too.
QString writeDatFile(const QString &path, const QByteArray &content,
                     const QString &shortWrite = QStringLiteral("файл записан не полностью"));

// What reading a data file by its fixed counts gives: the fields in reading
// order with their cells, and whether the counts were read to the end.
struct DatFileRead {
    struct Field {
        qsizetype s;
        int r;
        QString text; // 6 characters: the value and its TAB
    };
    QList<Field> fields;
    bool complete = false;
};

// Reads the file content by fixed counts: 6 characters a field, 2 a line
// end, 8 lines, the number of strips from the size ((size - 16) / 48 - 1 is
// the last strip index). Stops where the content runs out.
DatFileRead readDatFile(const QByteArray &content);

// Files larger than this cannot be plate files (a full plate is 592 bytes).
constexpr qint64 maxDatFileSize = 1024 * 1024;

// A data file's content, read safely: only an ordinary file is opened (a
// FIFO, a device, a socket or a folder could block the program in open() or
// in a read for good, or never end), it is looked at again once open, and
// no more is read than a plate file can be.
struct DatFileLoad {
    enum class Problem {
        None,
        Missing,     // no such file
        NotOrdinary, // a folder, a FIFO, a device, a socket
        Unreadable,  // the system would not open it: reason says why
        TooLarge,    // over maxDatFileSize
    };
    Problem problem = Problem::None;
    QString reason; // the system's words, for Unreadable
    QByteArray content;
};
DatFileLoad loadDatFile(const QString &path);
// The same for any small file that must be read so: a kit file, say.
DatFileLoad loadOrdinaryFile(const QString &path, qint64 maxSize);
