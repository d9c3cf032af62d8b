// SPDX-License-Identifier: GPL-3.0-or-later
// What an analysis costs: a full plate with a 4PL curve analysed in process
// (the median of many), and telkaro-read analyze with its report, from spawn
// to files, against telkaro-read convert of the same plate in the same run.
// Prints table rows (bench/table.awk): section, figure, value, unit, compared
// with, ratio, goal, verdict.
//
//   bench_assay TELKARO-READ KIT.assay.json PLATE.dat
#include "assay/analysis.h"
#include "assay/kit.h"
#include "plate/plate.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void row(const char *figure, double value, const char *unit, const QByteArray &against,
         double ratio, const char *goal, bool ok) {
    std::printf("assay\t%s\t%.3f\t%s\t%s\t%.3fx\t%s\t%s\n", figure, value, unit,
                against.constData(), ratio, goal, ok ? "ok" : "OVER");
    std::fflush(stdout);
}

// A whole plate: 8 standards in duplicate (strips 1 and 2) and 40 samples in
// duplicate (strips 3 to 12), densities on a 4PL.
Plate fullPlate(Kit &kit) {
    const double concentrations[] = {0, 2, 5, 10, 25, 50, 100, 200};
    auto density = [](double x) { return 3.0 + (0.05 - 3.0) / (1 + std::pow(x / 30, 1.3)); };
    QByteArray block;
    int sample = 1;
    for (int s = 0; s < 12; ++s) {
        for (int r = 0; r < 8; ++r) {
            double od;
            if (s < 2) {
                kit.layout[r][s] = QStringLiteral("S%1").arg(r + 1);
                kit.standards.insert(kit.layout[r][s], concentrations[r]);
                od = density(concentrations[r]) * (s == 0 ? 0.99 : 1.01);
            } else {
                const int n = sample + r;
                kit.layout[r][s] = QStringLiteral("U%1").arg(n);
                od = density(1.5 * n) * (s % 2 ? 1.01 : 0.99);
            }
            block += QByteArray::number(std::lround(od * 1000)).rightJustified(4, '0');
        }
        if (s >= 2 && s % 2 == 1)
            sample += 8;
    }
    return Plate::fromBlock(block, QDateTime::currentDateTimeUtc());
}

double spawnMs(const QString &program, const QStringList &args) {
    const auto start = std::chrono::steady_clock::now();
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(args.join(' ')), process.readAllStandardError().data());
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: bench_assay TELKARO-READ KIT.assay.json PLATE.dat\n");
        return 2;
    }

    Kit kit;
    kit.name = QStringLiteral("full plate");
    kit.controls = {QStringLiteral("NC"), QStringLiteral("PC")};
    kit.subtractBlank = false;
    kit.curve = Kit::CurveSpec{CurveModel::FourPL, Weighting::None};
    kit.validity = {QStringLiteral("mean(S1) < 0.2"), QStringLiteral("cv(S8) <= 15")};
    const Plate plate = fullPlate(kit);
    std::vector<double> us;
    for (int i = 0; i < 501; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const Analysis analysis = analyse(kit, plate);
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        if (!analysis.curve || analysis.samples.size() != 40)
            qFatal("the full plate was not analysed");
    }
    const double inProcess = median(us) / 1000;
    row("full plate, 4PL, in process (median of 501)", inProcess, "ms", "1 ms", inProcess, "< 1x",
        inProcess < 1);

    const QString reader = args[1];
    QTemporaryDir dir;
    std::vector<double> analyze, convert;
    for (int i = 0; i < 11; ++i) {
        // In turns, so that both see the same machine.
        analyze.push_back(
            spawnMs(reader, {"analyze", "--assay", args[2], args[3], "-o", dir.filePath("r.json"),
                             "--report", dir.filePath("r.html")}));
        convert.push_back(spawnMs(
            reader, {"convert", args[3], "--format", "json", "-o", dir.filePath("p.json")}));
    }
    const double a = median(analyze), c = median(convert);
    row("telkaro-read analyze --report, spawn to files", a, "ms",
        QByteArray::number(c, 'f', 1) + " ms convert", a / c, "<= 1.3x", a / c <= 1.3);
    return 0;
}
