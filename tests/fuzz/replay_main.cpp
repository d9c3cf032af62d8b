// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target once over each file given (or each file in each folder
// given), for builds without libFuzzer: the saved inputs become regression
// tests in every build.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char *argv[]) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        QStringList files;
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo::exists(path))
            continue; // no saved inputs of that kind yet
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << path;
        }
        for (const QString &file : files) {
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
                return 1;
            }
            const QByteArray data = input.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                   static_cast<std::size_t>(data.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs ran without a fault\n", inputs);
    return inputs > 0 ? 0 : 1;
}
