// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_export.h"

#include "dat_file.h"
#include "plate_block.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// Characters the instrument can send: "0" to "Z".
bool isBlockCharacter(char c) {
    return c >= '0' && c <= 'Z';
}

QByteArray jsonString(const QString &text) {
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x20) {
            out += QByteArray("\\u") + QByteArray::number(u, 16).rightJustified(4, '0');
        } else {
            out += QString(c).toUtf8();
        }
    }
    return out + '"';
}
} // namespace

QString wellName(qsizetype s, int r) {
    return QChar(u'A' + r) + QString::number(s + 1);
}

QString wellNumber(const Plate &plate, qsizetype s, int r) {
    if (!plate.hasNumber(s, r))
        return QString();
    const QByteArray field = plate.field(s, r);
    return QString::fromLatin1(field.left(1) + '.' + field.mid(1));
}

QByteArray csvField(const QString &text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\r') ||
        field.contains('\n')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

QByteArray blockSha256(const Plate &plate) {
    return QCryptographicHash::hash(plate.block(), QCryptographicHash::Sha256).toHex();
}

QString isoTime(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QByteArray csvHeader() {
    return "plate,time,well,row,strip,value,text\r\n";
}

QByteArray csvLines(const Plate &plate, int plateNumber) {
    QByteArray lines;
    const QByteArray number = QByteArray::number(plateNumber);
    const QByteArray time = csvField(isoTime(plate.received()));
    for (qsizetype s = 0; s < plate.strips(); ++s) {
        for (int r = 0; r < plateRows; ++r) {
            lines += number + ',' + time + ',' + csvField(wellName(s, r)) + ',' +
                     csvField(QString(QChar(u'A' + r))) + ',' + QByteArray::number(s + 1) + ',' +
                     csvField(wellNumber(plate, s, r)) + ',' + csvField(plate.valueText(s, r)) +
                     "\r\n";
        }
    }
    return lines;
}

QByteArray jsonDocument(const RunFacts &run, const QList<Plate> &plates) {
    QByteArray out = "{\n";
    out += "  \"program\": " + jsonString(run.program) + ",\n";
    out += "  \"version\": " + jsonString(run.version) + ",\n";
    out += "  \"port\": " + (run.port ? jsonString(*run.port) : QByteArray("null")) + ",\n";
    out += "  \"strips\": " + QByteArray::number(run.strips) + ",\n";
    out += "  \"started\": " + jsonString(isoTime(run.started)) + ",\n";
    out += "  \"plates\": [";
    for (qsizetype k = 0; k < plates.size(); ++k) {
        const Plate &plate = plates[k];
        QByteArray values;
        QByteArray texts;
        for (qsizetype s = 0; s < plate.strips(); ++s) {
            for (int r = 0; r < plateRows; ++r) {
                const QByteArray sep = values.isEmpty() ? "\n" : ",\n";
                const QByteArray name = "        " + jsonString(wellName(s, r)) + ": ";
                const QString number = wellNumber(plate, s, r);
                values += sep + name + (number.isEmpty() ? QByteArray("null") : number.toLatin1());
                texts += sep + name + jsonString(plate.valueText(s, r));
            }
        }
        out += k == 0 ? "\n" : ",\n";
        out += "    {\n";
        out += "      \"plate\": " + QByteArray::number(k + 1) + ",\n";
        out += "      \"time\": " + jsonString(isoTime(plate.received())) + ",\n";
        out += "      \"block_sha256\": \"" + blockSha256(plate) + "\",\n";
        out += "      \"values\": {" + values + "\n      },\n";
        out += "      \"text\": {" + texts + "\n      }\n";
        out += "    }";
    }
    out += plates.isEmpty() ? "]\n" : "\n  ]\n";
    return out + "}\n";
}

QByteArray datContent(const Plate &plate) {
    return plate.text().toLatin1();
}

QByteArray blockFromDat(const QByteArray &content, QString *why) {
    const auto fail = [why](const char *reason) {
        if (why)
            *why = QCoreApplication::translate("PlateExport", reason);
        return QByteArray();
    };
    if (content.isEmpty())
        return fail(QT_TRANSLATE_NOOP("PlateExport", "the file is empty"));
    if (content.size() > maxDatFileSize)
        return fail(QT_TRANSLATE_NOOP("PlateExport",
                                      "the file is too large to be a plate file (over 1 MiB)"));
    const DatFileRead read = readDatFile(content);
    if (!read.complete)
        return fail(QT_TRANSLATE_NOOP("PlateExport",
                                      "the file ends before its last line: it is cut short"));
    const qsizetype lineSize = content.size() / plateRows;
    const qsizetype count = (lineSize - 2) / 6;
    if (content.size() % plateRows != 0 || (lineSize - 2) % 6 != 0 || count < 1 ||
        count > plateStrips || read.fields.size() != count * plateRows)
        return fail(QT_TRANSLATE_NOOP(
            "PlateExport",
            "the file's size is not that of a plate file of 1 to 12 strips: it is cut "
            "short or not a plate file"));
    for (int r = 0; r < plateRows; ++r) {
        if (content.mid(lineSize * r + lineSize - 2, 2) != "\r\n")
            return fail(QT_TRANSLATE_NOOP(
                "PlateExport", "a line does not end with CR LF: it is not a plate file"));
    }
    QByteArray block(stripBlockSize * count, '\0');
    for (const DatFileRead::Field &field : read.fields) {
        const QByteArray text = field.text.toLatin1();
        if (field.text.size() != 6 || text[1] != ',' || text[5] != '\t' ||
            !isBlockCharacter(text[0]) || !isBlockCharacter(text[2]) ||
            !isBlockCharacter(text[3]) || !isBlockCharacter(text[4]))
            return fail(QT_TRANSLATE_NOOP(
                "PlateExport",
                "a field is not a well value followed by TAB: it is not a plate file"));
        const qsizetype at = stripBlockSize * field.s + wellFieldSize * field.r;
        block[at] = text[0];
        block[at + 1] = text[2];
        block[at + 2] = text[3];
        block[at + 3] = text[4];
    }
    return block;
}

Plate plateFromJson(const QByteArray &content, int n, QString *why) {
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return Plate();
    };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return fail(QCoreApplication::translate("PlateExport", "not a plate file, nor JSON"));
    const QJsonArray plates = document.object().value(QStringLiteral("plates")).toArray();
    if (n < 1 || n > plates.size())
        return fail(
            QCoreApplication::translate("PlateExport", "the file has no plate %1 (it has %2)")
                .arg(n)
                .arg(plates.size()));
    const QJsonObject plate = plates.at(n - 1).toObject();
    const QJsonObject texts = plate.value(QStringLiteral("text")).toObject();
    const qsizetype strips = texts.size() / plateRows;
    if (strips < 1 || strips > plateStrips || texts.size() != strips * plateRows)
        return fail(QCoreApplication::translate("PlateExport",
                                                "plate %1 does not hold 1 to 12 whole strips")
                        .arg(n));
    QByteArray block;
    for (qsizetype s = 0; s < strips; ++s) {
        for (int r = 0; r < plateRows; ++r) {
            const QByteArray text = texts.value(wellName(s, r)).toString().toLatin1();
            if (text.size() != 5 || text[1] != ',' ||
                !std::all_of(text.begin(), text.end(),
                             [](char c) { return c == ',' || isBlockCharacter(c); }))
                return fail(
                    QCoreApplication::translate("PlateExport", "plate %1: well %2 is not a value")
                        .arg(n)
                        .arg(wellName(s, r)));
            block += text.left(1) + text.mid(2);
        }
    }
    const QDateTime time =
        QDateTime::fromString(plate.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    return Plate::fromBlock(block, time);
}
