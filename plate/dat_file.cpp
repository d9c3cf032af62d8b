// SPDX-License-Identifier: GPL-3.0-or-later
#include "dat_file.h"

#include "plate_block.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString writeDatFile(const QString &path, const QByteArray &content, const QString &shortWrite) {
    // Unbuffered, so that a short write (a full disk, a size limit) shows up
    // here: a buffered QSaveFile can commit a file cut short without a word.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qsizetype written = 0;
    while (written < content.size()) {
        const qint64 n = file.write(content.constData() + written, content.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        written += n;
    }
    if (file.size() != content.size()) {
        file.cancelWriting();
        return shortWrite;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

DatFileRead readDatFile(const QByteArray &content) {
    DatFileRead result;
    const qsizetype size = content.size();
    const double last = static_cast<double>(size - 16) / 48 - 1;
    qsizetype at = 0;
    for (int r = 0; r < plateRows; ++r) {
        for (qsizetype s = 0; static_cast<double>(s) <= last; ++s) {
            if (at + 6 > size)
                return result;
            result.fields.append({s, r, QString::fromLatin1(content.mid(at, 6))});
            at += 6;
        }
        if (at + 2 > size)
            return result;
        at += 2; // the line end, whatever it holds
    }
    result.complete = true;
    return result;
}

DatFileLoad loadDatFile(const QString &path) {
    return loadOrdinaryFile(path, maxDatFileSize);
}

DatFileLoad loadOrdinaryFile(const QString &path, qint64 maxSize) {
    DatFileLoad load;
    const QFileInfo info(path);
    if (!info.exists()) {
        load.problem = DatFileLoad::Problem::Missing;
        return load;
    }
    if (!info.isFile()) {
        load.problem = DatFileLoad::Problem::NotOrdinary;
        return load;
    }
    if (info.size() > maxSize) {
        load.problem = DatFileLoad::Problem::TooLarge;
        return load;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        load.problem = DatFileLoad::Problem::Unreadable;
        load.reason = file.errorString();
        return load;
    }
    if (file.isSequential()) { // it became something else between the look and the open
        load.problem = DatFileLoad::Problem::NotOrdinary;
        return load;
    }
    load.content = file.read(maxSize + 1);
    if (load.content.size() > maxSize) { // it grew while we looked at it
        load.problem = DatFileLoad::Problem::TooLarge;
        load.content.clear();
    }
    return load;
}
