// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit.h"

#include "assay_text.h"

#include "formula.h"

#include "plate/dat_file.h"
#include "plate/plate_export.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QString formatName = QStringLiteral("telkaro-assay/1");
const QString blankToken = QStringLiteral("BLK");
const QString unusedToken = QStringLiteral("-");
constexpr qint64 maxKitFileSize = 1024 * 1024;

// A letter and a number from 1 with at most that many digits: S1…S99, U1…U999.
bool isNumbered(const QString &token, QChar letter, int digits) {
    if (token.size() < 2 || token.size() > digits + 1 || token[0] != letter || token[1] == u'0')
        return false;
    for (qsizetype i = 1; i < token.size(); ++i)
        if (token[i] < u'0' || token[i] > u'9')
            return false;
    return true;
}
bool isStandardToken(const QString &token) {
    return isNumbered(token, u'S', 2);
}
bool isSampleToken(const QString &token) {
    return isNumbered(token, u'U', 3);
}
// A control's name: a letter, then letters, digits or _, 32 at most.
bool isName(const QString &name) {
    if (name.isEmpty() || name.size() > 32 || !(name[0].isLetter() && name[0].unicode() < 128))
        return false;
    for (const QChar c : name)
        if (c.unicode() >= 128 || !(c.isLetterOrNumber() || c == u'_'))
            return false;
    return true;
}

int numberOf(const QString &token) {
    return token.mid(1).toInt();
}

const QMap<QString, CurveModel> &models() {
    static const QMap<QString, CurveModel> map = {
        {QStringLiteral("linear"), CurveModel::Linear},
        {QStringLiteral("loglinear"), CurveModel::LogLinear},
        {QStringLiteral("point-to-point"), CurveModel::PointToPoint},
        {QStringLiteral("4pl"), CurveModel::FourPL},
        {QStringLiteral("5pl"), CurveModel::FivePL}};
    return map;
}
const QMap<QString, Weighting> &weightings() {
    static const QMap<QString, Weighting> map = {{QStringLiteral("none"), Weighting::None},
                                                 {QStringLiteral("1/y"), Weighting::InverseY},
                                                 {QStringLiteral("1/y^2"), Weighting::InverseY2}};
    return map;
}

// Reads one kit file; every failure names the field and what is wrong.
class KitReader {
public:
    explicit KitReader(QString fileName)
        : m_file(std::move(fileName)) {}

    KitRead read(const QByteArray &content);

private:
    KitRead fail(const QString &field, const QString &what) const {
        KitRead result;
        result.error = field.isEmpty() ? Assay::tr("%1: %2").arg(m_file, what)
                                       : Assay::tr("%1: field \"%2\": %3").arg(m_file, field, what);
        return result;
    }
    std::optional<KitRead> readLayout(const QJsonObject &root, Kit &kit);
    std::optional<KitRead> readNumbers(const QJsonObject &root, const QString &field,
                                       QMap<QString, double> &into, bool positive);
    std::optional<KitRead> checkFormulas(const Kit &kit);

    QString m_file;
};

std::optional<KitRead> KitReader::readLayout(const QJsonObject &root, Kit &kit) {
    const QJsonValue value = root.value(QStringLiteral("layout"));
    if (!value.isArray())
        return fail(QStringLiteral("layout"), Assay::tr("missing, or not a list of 8 rows"));
    const QJsonArray rows = value.toArray();
    if (rows.size() != plateRows)
        return fail(QStringLiteral("layout"),
                    Assay::tr("has %1 rows; a plate has 8, A to H").arg(rows.size()));
    for (int r = 0; r < plateRows; ++r) {
        const QString row = QString(QChar(u'A' + r));
        if (!rows[r].isString())
            return fail(QStringLiteral("layout"), Assay::tr("row %1 is not a text").arg(row));
        const QStringList tokens =
            rows[r].toString().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (tokens.size() != plateStrips)
            return fail(QStringLiteral("layout"),
                        Assay::tr("row %1 has %2 wells; a row has 12").arg(row).arg(tokens.size()));
        for (int s = 0; s < plateStrips; ++s) {
            const QString &token = tokens[s];
            if (token != unusedToken && kit.roleOf(token) == WellRole::Unused)
                return fail(QStringLiteral("layout"),
                            Assay::tr("unknown token \"%1\" in well %2%3 (BLK, S1…S99, NC, PC, a "
                                      "control listed in \"controls\", U1…U999 or -)")
                                .arg(token, row)
                                .arg(s + 1));
            kit.layout[r][s] = token;
        }
    }
    return std::nullopt;
}

std::optional<KitRead> KitReader::readNumbers(const QJsonObject &root, const QString &field,
                                              QMap<QString, double> &into, bool positive) {
    const QJsonValue value = root.value(field);
    if (value.isUndefined())
        return std::nullopt;
    if (!value.isObject())
        return fail(field, Assay::tr("not an object of token and number"));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isDouble() || !std::isfinite(it.value().toDouble()) ||
            it.value().toDouble() < 0 || (positive && it.value().toDouble() <= 0))
            return fail(field, positive
                                   ? Assay::tr("%1 is not a number above 0").arg(it.key())
                                   : Assay::tr("%1 is not a number of 0 or more").arg(it.key()));
        into.insert(it.key(), it.value().toDouble());
    }
    return std::nullopt;
}

std::optional<KitRead> KitReader::checkFormulas(const Kit &kit) {
    const QStringList tokens = kit.tokens();
    auto check = [&](const QString &field, const QString &formula) -> std::optional<KitRead> {
        const FormulaValue checked = checkFormula(formula, tokens);
        if (checked.ok)
            return std::nullopt;
        const QString where = checked.position >= 0
                                  ? Assay::tr("\"%1\" at position %2: %3")
                                        .arg(formula)
                                        .arg(checked.position + 1)
                                        .arg(checked.error)
                                  : Assay::tr("\"%1\": %2").arg(formula, checked.error);
        return fail(field, where);
    };
    if (kit.cutoff)
        if (auto failed = check(QStringLiteral("cutoff"), kit.cutoff->formula))
            return failed;
    for (qsizetype i = 0; i < kit.validity.size(); ++i)
        if (auto failed = check(QStringLiteral("validity[%1]").arg(i + 1), kit.validity[i]))
            return failed;
    return std::nullopt;
}

KitRead KitReader::read(const QByteArray &content) {
    if (content.trimmed().isEmpty())
        return fail(QString(), Assay::tr("the file is empty"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(QString(), Assay::tr("not JSON: %1 at character %2")
                                   .arg(error.errorString())
                                   .arg(error.offset + 1));
    if (!document.isObject())
        return fail(QString(), Assay::tr("not a kit: the file holds no JSON object"));
    const QJsonObject root = document.object();
    const QString format = root.value(QStringLiteral("format")).toString();
    if (format != formatName)
        return fail(QStringLiteral("format"),
                    format.isEmpty() ? Assay::tr("missing; a kit file says \"%1\"").arg(formatName)
                                     : Assay::tr("\"%1\" is not \"%2\"").arg(format, formatName));
    Kit kit;
    kit.name = root.value(QStringLiteral("name")).toString().trimmed();
    if (kit.name.isEmpty())
        return fail(QStringLiteral("name"), Assay::tr("missing or empty"));
    kit.units = root.value(QStringLiteral("units")).toString();

    kit.controls = {QStringLiteral("NC"), QStringLiteral("PC")};
    const QJsonValue controls = root.value(QStringLiteral("controls"));
    if (!controls.isUndefined() && !controls.isArray())
        return fail(QStringLiteral("controls"), Assay::tr("not a list of names"));
    for (const QJsonValue &control : controls.toArray()) {
        const QString name = control.toString();
        if (!isName(name) || name == blankToken || isStandardToken(name) || isSampleToken(name))
            return fail(
                QStringLiteral("controls"),
                Assay::tr("\"%1\" cannot name a control (a letter, then letters, digits or _; "
                          "not BLK, Sn or Un)")
                    .arg(name));
        if (!kit.controls.contains(name))
            kit.controls.append(name);
    }
    if (auto failed = readLayout(root, kit))
        return *failed;

    if (auto failed = readNumbers(root, QStringLiteral("standards"), kit.standards, false))
        return *failed;
    if (auto failed = readNumbers(root, QStringLiteral("dilution"), kit.dilutions, true))
        return *failed;
    const QJsonObject samples = root.value(QStringLiteral("samples")).toObject();
    for (auto it = samples.begin(); it != samples.end(); ++it)
        kit.sampleNames.insert(it.key(), it.value().toString());

    const QStringList tokens = kit.tokens();
    QMap<double, QString> byConcentration;
    for (const QString &token : tokens) {
        if (kit.roleOf(token) != WellRole::Standard)
            continue;
        if (!kit.standards.contains(token))
            return fail(QStringLiteral("standards"),
                        Assay::tr("the standard %1 of the layout has no concentration").arg(token));
        const double concentration = kit.standards.value(token);
        if (byConcentration.contains(concentration))
            return fail(QStringLiteral("standards"),
                        Assay::tr("%1 and %2 have the same concentration, %3")
                            .arg(byConcentration.value(concentration), token)
                            .arg(concentration));
        byConcentration.insert(concentration, token);
    }

    const QString blank = root.value(QStringLiteral("blank")).toString(QStringLiteral("none"));
    if (blank != QLatin1String("subtract") && blank != QLatin1String("none"))
        return fail(QStringLiteral("blank"),
                    Assay::tr("\"%1\" is neither \"subtract\" nor \"none\"").arg(blank));
    kit.subtractBlank = blank == QLatin1String("subtract");
    if (kit.subtractBlank && !tokens.contains(blankToken))
        return fail(QStringLiteral("blank"),
                    Assay::tr("\"subtract\", but the layout has no BLK well"));

    const bool hasCutoff = root.contains(QStringLiteral("cutoff"));
    const bool hasCurve = root.contains(QStringLiteral("curve"));
    if (hasCutoff == hasCurve)
        return fail(QString(), Assay::tr("a kit has either \"cutoff\" or \"curve\", not %1")
                                   .arg(hasCutoff ? Assay::tr("both") : Assay::tr("neither")));
    if (hasCutoff) {
        Kit::Cutoff cutoff;
        cutoff.formula = root.value(QStringLiteral("cutoff")).toString();
        if (cutoff.formula.trimmed().isEmpty())
            return fail(QStringLiteral("cutoff"), Assay::tr("not a formula"));
        const QJsonValue greyZone = root.value(QStringLiteral("greyzone"));
        cutoff.greyZone = greyZone.toDouble(0);
        if (!greyZone.isUndefined() &&
            (!greyZone.isDouble() || cutoff.greyZone < 0 || cutoff.greyZone >= 1))
            return fail(QStringLiteral("greyzone"),
                        Assay::tr("not a fraction from 0 up to 1 (0.10 is 10 %)"));
        const QString positive =
            root.value(QStringLiteral("positive")).toString(QStringLiteral("above"));
        if (positive != QLatin1String("above") && positive != QLatin1String("below"))
            return fail(QStringLiteral("positive"),
                        Assay::tr("\"%1\" is neither \"above\" nor \"below\"").arg(positive));
        cutoff.positiveAbove = positive == QLatin1String("above");
        kit.cutoff = cutoff;
    } else {
        const QJsonObject curve = root.value(QStringLiteral("curve")).toObject();
        const QString model = curve.value(QStringLiteral("model")).toString();
        if (!models().contains(model))
            return fail(
                QStringLiteral("curve"),
                Assay::tr("model \"%1\" is not linear, loglinear, point-to-point, 4pl or 5pl")
                    .arg(model));
        const QString weighting =
            curve.value(QStringLiteral("weighting")).toString(QStringLiteral("none"));
        if (!weightings().contains(weighting))
            return fail(QStringLiteral("curve"),
                        Assay::tr("weighting \"%1\" is not none, 1/y or 1/y^2").arg(weighting));
        kit.curve = Kit::CurveSpec{models().value(model), weightings().value(weighting)};
        int distinct = int(byConcentration.size());
        if (kit.curve->model == CurveModel::LogLinear && byConcentration.contains(0.0))
            --distinct; // a standard at 0 takes no part in a log-linear fit
        const int needed = parameterCount(kit.curve->model);
        if (distinct < needed)
            return fail(QStringLiteral("curve"),
                        Assay::tr("the model %1 needs at least %2 standards of different "
                                  "concentrations; the layout has %3")
                            .arg(model)
                            .arg(needed)
                            .arg(distinct));
    }

    const QJsonValue validity = root.value(QStringLiteral("validity"));
    if (!validity.isUndefined() && !validity.isArray())
        return fail(QStringLiteral("validity"), Assay::tr("not a list of formulas"));
    for (const QJsonValue &rule : validity.toArray()) {
        if (!rule.isString() || rule.toString().trimmed().isEmpty())
            return fail(QStringLiteral("validity"), Assay::tr("a rule is not a formula"));
        kit.validity.append(rule.toString());
    }
    const QJsonValue cvLimit = root.value(QStringLiteral("cv_limit"));
    if (!cvLimit.isUndefined()) {
        if (!cvLimit.isDouble() || cvLimit.toDouble() <= 0)
            return fail(QStringLiteral("cv_limit"), Assay::tr("not a percentage above 0"));
        kit.cvLimit = cvLimit.toDouble();
    }
    if (auto failed = checkFormulas(kit))
        return *failed;
    return KitRead{kit, QString(), QByteArray()};
}
} // namespace

WellRole Kit::roleOf(const QString &token) const {
    if (token == blankToken)
        return WellRole::Blank;
    if (isStandardToken(token))
        return WellRole::Standard;
    if (isSampleToken(token))
        return WellRole::Sample;
    if (controls.contains(token))
        return WellRole::Control;
    return WellRole::Unused;
}

int Kit::stripsUsed() const {
    int used = 0;
    for (int r = 0; r < plateRows; ++r)
        for (int s = 0; s < plateStrips; ++s)
            if (!layout[r][s].isEmpty() && layout[r][s] != unusedToken)
                used = std::max(used, s + 1);
    return used;
}

QStringList Kit::tokens() const {
    QStringList found;
    for (int s = 0; s < plateStrips; ++s)
        for (int r = 0; r < plateRows; ++r)
            if (!layout[r][s].isEmpty() && layout[r][s] != unusedToken &&
                !found.contains(layout[r][s]))
                found.append(layout[r][s]);
    auto rank = [this](const QString &token) {
        switch (roleOf(token)) {
        case WellRole::Blank:
            return std::pair(0, 0);
        case WellRole::Standard:
            return std::pair(1, numberOf(token));
        case WellRole::Control:
            return std::pair(2, int(controls.indexOf(token)));
        case WellRole::Sample:
            return std::pair(3, numberOf(token));
        case WellRole::Unused:
            break;
        }
        return std::pair(4, 0);
    };
    std::vector<std::pair<std::pair<int, int>, QString>> ranked;
    ranked.reserve(std::size_t(found.size()));
    for (const QString &token : found)
        ranked.emplace_back(rank(token), token);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList sorted;
    sorted.reserve(found.size());
    for (auto &entry : ranked)
        sorted.append(std::move(entry.second));
    return sorted;
}

QStringList Kit::wellsOf(const QString &token) const {
    QStringList wells;
    for (int s = 0; s < plateStrips; ++s)
        for (int r = 0; r < plateRows; ++r)
            if (layout[r][s] == token)
                wells.append(wellName(s, r));
    return wells;
}

KitRead readKit(const QByteArray &content, const QString &fileName) {
    return KitReader(fileName).read(content);
}

KitRead loadKit(const QString &path) {
    const DatFileLoad load = loadOrdinaryFile(path, maxKitFileSize);
    KitRead result;
    switch (load.problem) {
    case DatFileLoad::Problem::None:
        result = readKit(load.content, path);
        result.sha256 = QCryptographicHash::hash(load.content, QCryptographicHash::Sha256).toHex();
        return result;
    case DatFileLoad::Problem::Missing:
        result.error = Assay::tr("%1: no such file").arg(path);
        break;
    case DatFileLoad::Problem::NotOrdinary:
        result.error = Assay::tr("%1: not an ordinary file").arg(path);
        break;
    case DatFileLoad::Problem::TooLarge:
        result.error = Assay::tr("%1: too large to be a kit file (over 1 MiB)").arg(path);
        break;
    case DatFileLoad::Problem::Unreadable:
        result.error = Assay::tr("%1: %2").arg(path, load.reason);
        break;
    }
    return result;
}

QString curveModelName(CurveModel model) {
    return models().key(model);
}

QString weightingName(Weighting weighting) {
    return weightings().key(weighting);
}

QByteArray kitJson(const Kit &kit) {
    QJsonObject root;
    root.insert(QStringLiteral("format"), formatName);
    root.insert(QStringLiteral("name"), kit.name);
    if (!kit.units.isEmpty())
        root.insert(QStringLiteral("units"), kit.units);
    QJsonArray rows;
    for (int r = 0; r < plateRows; ++r) {
        QStringList row;
        for (int s = 0; s < plateStrips; ++s)
            row.append(kit.layout[r][s].isEmpty() ? unusedToken : kit.layout[r][s]);
        rows.append(row.join(QLatin1Char(' ')));
    }
    root.insert(QStringLiteral("layout"), rows);
    const QStringList extra = kit.controls.mid(2);
    if (!extra.isEmpty())
        root.insert(QStringLiteral("controls"), QJsonArray::fromStringList(extra));
    auto numbers = [](const QMap<QString, double> &map) {
        QJsonObject object;
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), it.value());
        return object;
    };
    if (!kit.standards.isEmpty())
        root.insert(QStringLiteral("standards"), numbers(kit.standards));
    if (!kit.sampleNames.isEmpty()) {
        QJsonObject names;
        for (auto it = kit.sampleNames.begin(); it != kit.sampleNames.end(); ++it)
            names.insert(it.key(), it.value());
        root.insert(QStringLiteral("samples"), names);
    }
    if (!kit.dilutions.isEmpty())
        root.insert(QStringLiteral("dilution"), numbers(kit.dilutions));
    root.insert(QStringLiteral("blank"),
                kit.subtractBlank ? QStringLiteral("subtract") : QStringLiteral("none"));
    if (kit.cutoff) {
        root.insert(QStringLiteral("cutoff"), kit.cutoff->formula);
        root.insert(QStringLiteral("greyzone"), kit.cutoff->greyZone);
        root.insert(QStringLiteral("positive"),
                    kit.cutoff->positiveAbove ? QStringLiteral("above") : QStringLiteral("below"));
    }
    if (kit.curve) {
        QJsonObject curve;
        curve.insert(QStringLiteral("model"), curveModelName(kit.curve->model));
        curve.insert(QStringLiteral("weighting"), weightingName(kit.curve->weighting));
        root.insert(QStringLiteral("curve"), curve);
    }
    if (!kit.validity.isEmpty())
        root.insert(QStringLiteral("validity"), QJsonArray::fromStringList(kit.validity));
    if (kit.cvLimit)
        root.insert(QStringLiteral("cv_limit"), *kit.cvLimit);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
