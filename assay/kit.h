// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit.h"

#include "core/plate_geometry.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What a well is for in a kit's layout.
enum class WellRole { Unused, Blank, Standard, Control, Sample };

// A kit: what its wells hold, and how its answer is reached from their
// densities. Read from a kit file (*.assay.json, "format": "telkaro-assay/1").
struct Kit {
    QString name;
    QString units; // of the concentrations; may be empty
    // The token of each well, rows A to H, strips 1 to 12: BLK, S1…S99, a
    // control (NC, PC or one listed in controls), U1…U999, or "-" (unused).
    std::array<std::array<QString, plateStrips>, plateRows> layout;
    QStringList controls;            // NC and PC always, and those listed
    QMap<QString, double> standards; // token -> concentration
    QMap<QString, QString> sampleNames;
    QMap<QString, double> dilutions; // default 1
    bool subtractBlank = true;

    // Either a cut-off …
    struct Cutoff {
        QString formula;
        double greyZone = 0;       // a fraction of the cut-off, either side
        bool positiveAbove = true; // "positive": "above" or "below"
    };
    std::optional<Cutoff> cutoff;
    // … or a standard curve.
    struct CurveSpec {
        CurveModel model = CurveModel::FourPL;
        Weighting weighting = Weighting::None;
    };
    std::optional<CurveSpec> curve;

    QStringList validity;          // formulas that must all hold
    std::optional<double> cvLimit; // %: a replicate group above it is flagged

    WellRole roleOf(const QString &token) const;
    // The strips the layout uses: the last strip with a well in use (0: none).
    int stripsUsed() const;
    // Every token in use, in the order a result lists them: the blank, the
    // standards by number, the controls as listed, the samples by number.
    QStringList tokens() const;
    // The wells of a token, strip by strip, rows A to H ("A1", "B1", …).
    QStringList wellsOf(const QString &token) const;
    double dilutionOf(const QString &token) const { return dilutions.value(token, 1.0); }
};

struct KitRead {
    std::optional<Kit> kit;
    // What is wrong: the file, the field and what, for a lab person
    // (translatable, context "Assay").
    QString error;
    // The SHA-256 of the kit file's bytes, in hex (loadKit only).
    QByteArray sha256;
};

// A kit from a kit file's content; fileName is what the messages name.
KitRead readKit(const QByteArray &content, const QString &fileName);
// The same from the file itself, read once and safely (an ordinary file, at
// most 1 MiB), with the SHA-256 of what was read.
KitRead loadKit(const QString &path);
// The kit file of a kit, as readKit reads it.
QByteArray kitJson(const Kit &kit);

// The texts of the kit file for a model and a weighting ("4pl", "1/y^2").
QString curveModelName(CurveModel model);
QString weightingName(Weighting weighting);
