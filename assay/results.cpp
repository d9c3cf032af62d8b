// SPDX-License-Identifier: GPL-3.0-or-later
#include "results.h"

#include "analysis.h"
#include "kit.h"

#include "plate/plate.h"
#include "plate/plate_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonValue number(const std::optional<double> &value) {
    return value && std::isfinite(*value) ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QString roleName(WellRole role) {
    switch (role) {
    case WellRole::Blank:
        return QStringLiteral("blank");
    case WellRole::Standard:
        return QStringLiteral("standard");
    case WellRole::Control:
        return QStringLiteral("control");
    case WellRole::Sample:
        return QStringLiteral("sample");
    case WellRole::Unused:
        break;
    }
    return QStringLiteral("unused");
}

QJsonObject curveObject(const Curve &curve) {
    QJsonObject parameters;
    static const char *const logistic[] = {"a", "b", "c", "d", "g"};
    switch (curve.model) {
    case CurveModel::FourPL:
    case CurveModel::FivePL:
        for (std::size_t i = 0; i < curve.parameters.size() && i < 5; ++i)
            parameters.insert(QLatin1String(logistic[i]), curve.parameters[i]);
        break;
    case CurveModel::Linear:
    case CurveModel::LogLinear:
        parameters.insert(QStringLiteral("m"), curve.parameters.at(0));
        parameters.insert(QStringLiteral("q"), curve.parameters.at(1));
        break;
    case CurveModel::PointToPoint:
        break;
    }
    QJsonObject object;
    object.insert(QStringLiteral("model"), curveModelName(curve.model));
    object.insert(QStringLiteral("parameters"), parameters);
    object.insert(QStringLiteral("r2"), curve.r2);
    if (curve.model == CurveModel::PointToPoint) {
        QJsonArray knots;
        for (const CurvePoint &knot : curve.knots)
            knots.append(QJsonArray{knot.x, knot.y});
        object.insert(QStringLiteral("knots"), knots);
    }
    return object;
}

QString rounded(const std::optional<double> &value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QString();
}
} // namespace

QByteArray analysisJson(const Kit &kit, const Analysis &analysis, const Plate &plate,
                        const AnalysisRun &run) {
    QJsonObject root;
    root.insert(QStringLiteral("program"), run.program);
    root.insert(QStringLiteral("version"), run.version);
    root.insert(QStringLiteral("time"), isoTime(run.time));
    root.insert(QStringLiteral("source"), run.source);
    root.insert(QStringLiteral("plate_time"), isoTime(plate.received()));
    root.insert(QStringLiteral("assay"), kit.name);
    root.insert(QStringLiteral("assay_file"), run.kitFile);
    root.insert(QStringLiteral("assay_sha256"), QString::fromLatin1(run.kitSha256));
    root.insert(QStringLiteral("block_sha256"), QString::fromLatin1(blockSha256(plate)));
    root.insert(QStringLiteral("valid"), analysis.valid);
    root.insert(QStringLiteral("problems"), QJsonArray::fromStringList(analysis.problems));
    root.insert(QStringLiteral("notes"), QJsonArray::fromStringList(analysis.notes));
    root.insert(QStringLiteral("units"), kit.units);
    root.insert(QStringLiteral("blank"), number(analysis.blank));
    QJsonArray rules;
    for (const RuleResult &rule : analysis.rules) {
        QJsonObject object{{QStringLiteral("rule"), rule.rule},
                           {QStringLiteral("value"), number(rule.value)},
                           {QStringLiteral("held"), rule.held}};
        if (!rule.error.isEmpty())
            object.insert(QStringLiteral("error"), rule.error);
        rules.append(object);
    }
    root.insert(QStringLiteral("rules"), rules);
    if (kit.cutoff)
        root.insert(QStringLiteral("cutoff"), number(analysis.cutoff));
    if (kit.curve)
        root.insert(QStringLiteral("curve"), analysis.curve
                                                 ? QJsonValue(curveObject(*analysis.curve))
                                                 : QJsonValue(QJsonValue::Null));
    QJsonArray groups;
    for (const GroupResult &group : analysis.groups) {
        QJsonArray od;
        qsizetype measured = 0;
        for (const QString &well : group.wells)
            od.append(group.missing.contains(well) ? QJsonValue(QJsonValue::Null)
                                                   : QJsonValue(group.od.at(measured++)));
        QJsonObject object{
            {QStringLiteral("token"), group.token},
            {QStringLiteral("role"), roleName(group.role)},
            {QStringLiteral("wells"), QJsonArray::fromStringList(group.wells)},
            {QStringLiteral("od"), od},
            {QStringLiteral("mean"),
             number(group.stats.count > 0 ? std::optional(group.stats.mean) : std::nullopt)},
            {QStringLiteral("sd"), number(group.stats.sd)},
            {QStringLiteral("cv"), number(group.stats.cv)},
            {QStringLiteral("flags"), QJsonArray::fromStringList(group.flags)}};
        if (group.role == WellRole::Standard) {
            object.insert(QStringLiteral("concentration"), number(group.concentration));
            object.insert(QStringLiteral("back_calculated"), number(group.backCalculated));
            object.insert(QStringLiteral("recovery"), number(group.recovery));
        }
        groups.append(object);
    }
    root.insert(QStringLiteral("groups"), groups);
    QJsonArray samples;
    for (const SampleResult &sample : analysis.samples) {
        QJsonObject object{{QStringLiteral("token"), sample.token},
                           {QStringLiteral("name"), sample.name},
                           {QStringLiteral("wells"), QJsonArray::fromStringList(sample.wells)},
                           {QStringLiteral("mean"), number(sample.mean)},
                           {QStringLiteral("cv"), number(sample.cv)},
                           {QStringLiteral("dilution"), sample.dilution},
                           {QStringLiteral("flags"), QJsonArray::fromStringList(sample.flags)}};
        if (kit.cutoff) {
            object.insert(QStringLiteral("s_co"), number(sample.sCo));
            object.insert(QStringLiteral("verdict"), sample.verdict == Verdict::None
                                                         ? QJsonValue(QJsonValue::Null)
                                                         : QJsonValue(verdictName(sample.verdict)));
        } else {
            object.insert(QStringLiteral("concentration"), number(sample.concentration));
            object.insert(QStringLiteral("range"), sample.range == Range::Within
                                                       ? QJsonValue(QJsonValue::Null)
                                                       : QJsonValue(rangeName(sample.range)));
        }
        samples.append(object);
    }
    root.insert(QStringLiteral("samples"), samples);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray analysisCsvHeader() {
    return "token,name,wells,mean,cv,s_co_or_concentration,verdict_or_range,flags\r\n";
}

QByteArray analysisCsv(const Kit &kit, const Analysis &analysis) {
    QByteArray lines;
    for (const SampleResult &sample : analysis.samples) {
        const QString value = kit.cutoff ? rounded(sample.sCo, 2)
                              : sample.concentration
                                  ? QString::number(*sample.concentration, 'g', 4)
                                  : QString();
        const QString call = kit.cutoff ? verdictName(sample.verdict) : rangeName(sample.range);
        lines += csvField(sample.token) + ',' + csvField(sample.name) + ',' +
                 csvField(sample.wells.join(QLatin1Char(' '))) + ',' +
                 csvField(rounded(sample.mean, 3)) + ',' + csvField(rounded(sample.cv, 1)) + ',' +
                 csvField(value) + ',' + csvField(call) + ',' +
                 csvField(sample.flags.join(QLatin1Char(';'))) + "\r\n";
    }
    return lines;
}
