#include "dat_file.h"

#include "plate_block.h"

#include <QSaveFile>

int СтриповДляЗаписи(const QByteArray &rxBuffer) {
    for (int k = 0; k <= 12; ++k) {
        if (rxBuffer.mid(qsizetype(РазмерСтрипа) * k, 2) == "OK")
            return rxBuffer.size() == qsizetype(РазмерСтрипа) * k + 2 ? k : -1;
    }
    return -1;
}

QString ЗаписатьФайлДанных(const QString &path, const QByteArray &content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

ПрочитанныйФайл ПрочитатьФайлДанных(const QByteArray &content) {
    ПрочитанныйФайл result;
    const qsizetype size = content.size();
    const double last = static_cast<double>(size - 16) / 48 - 1;
    qsizetype at = 0;
    for (int r = 0; r < ЧислоРядов; ++r) {
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
