// SPDX-License-Identifier: GPL-3.0-or-later
#include "formula.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

GroupStats groupStats(const QList<double> &densities) {
    GroupStats stats;
    stats.count = int(densities.size());
    if (densities.isEmpty())
        return stats;
    const auto [min, max] = std::minmax_element(densities.begin(), densities.end());
    stats.min = *min;
    stats.max = *max;
    stats.mean = std::accumulate(densities.begin(), densities.end(), 0.0) / stats.count;
    if (stats.count < 2)
        return stats;
    double squares = 0;
    for (double d : densities)
        squares += (d - stats.mean) * (d - stats.mean);
    stats.sd = std::sqrt(squares / (stats.count - 1));
    if (stats.mean != 0)
        stats.cv = *stats.sd / stats.mean * 100;
    return stats;
}

namespace {

enum Function { Mean, Sd, Cv, Min, Max, Count };
const QStringList functionNames = {"mean", "sd", "cv", "min", "max", "count"};

// One use of a group in the formula, as in mean(NC).
struct Call {
    int function;
    QString token;
    qsizetype at;      // where the function's name stands
    qsizetype tokenAt; // where the token stands
};

// A value that cannot be computed; thrown out of muparser's callbacks.
struct Fault {
    QString message;
    qsizetype position = -1;
};

// What the callbacks see: muparser holds each token as its index here.
struct Context {
    QStringList tokens;
    QList<GroupStats> stats;
    QList<Call> calls;
};

FormulaValue failure(const QString &message, qsizetype position) {
    return {false, 0, message, int(position)};
}

double finite(double value) {
    if (!std::isfinite(value))
        throw Fault{QCoreApplication::translate("Assay", "the result is not a finite number")};
    return value;
}

double divide(double a, double b) {
    if (b == 0)
        throw Fault{QCoreApplication::translate("Assay", "division by zero")};
    return finite(a / b);
}

// In place of muparser's own, to catch a division by zero and values out of range.
// muparser's strings are wide where _UNICODE is defined (Windows), narrow
// elsewhere.
#if defined(_UNICODE)
mu::string_type muString(const QString &text) {
    return text.toStdWString();
}
QString fromMuString(const mu::string_type &text) {
    return QString::fromStdWString(text);
}
#else
mu::string_type muString(const QString &text) {
    return text.toStdString();
}
QString fromMuString(const mu::string_type &text) {
    return QString::fromStdString(text);
}
#endif

struct Operator {
    const mu::char_type *name;
    mu::fun_type2 function;
    unsigned priority;
};
const Operator operators[] = {
    {_T("+"), [](double a, double b) { return finite(a + b); }, mu::prADD_SUB},
    {_T("-"), [](double a, double b) { return finite(a - b); }, mu::prADD_SUB},
    {_T("*"), [](double a, double b) { return finite(a * b); }, mu::prMUL_DIV},
    {_T("/"), divide, mu::prMUL_DIV},
    {_T("<"), [](double a, double b) { return double(a < b); }, mu::prCMP},
    {_T("<="), [](double a, double b) { return double(a <= b); }, mu::prCMP},
    {_T(">"), [](double a, double b) { return double(a > b); }, mu::prCMP},
    {_T(">="), [](double a, double b) { return double(a >= b); }, mu::prCMP},
    {_T("=="), [](double a, double b) { return double(a == b); }, mu::prCMP},
    {_T("!="), [](double a, double b) { return double(a != b); }, mu::prCMP},
    {_T("and"), [](double a, double b) { return double(a != 0 && b != 0); }, mu::prLAND},
    {_T("or"), [](double a, double b) { return double(a != 0 || b != 0); }, mu::prLOR},
};

template <int F> double groupFunction(void *data, double index) {
    const auto &context = *static_cast<const Context *>(data);
    const QString &token = context.tokens[qsizetype(index)];
    const GroupStats &stats = context.stats[qsizetype(index)];
    // The error at this function's first use of the token.
    const auto fault = [&](const QString &message, bool atToken) {
        for (const Call &call : context.calls)
            if (call.function == F && call.token == token)
                return Fault{message, atToken ? call.tokenAt : call.at};
        return Fault{message};
    };
    // A group without wells counts 0 wells; it has no other figure.
    if (F != Count && stats.count == 0)
        throw fault(QCoreApplication::translate("Assay", "the group %1 has no well with a density")
                        .arg(token),
                    true);
    if ((F == Sd || F == Cv) && !stats.sd)
        throw fault(QCoreApplication::translate(
                        "Assay", "%1(%2) needs at least two wells of %2 with a density")
                        .arg(functionNames[F], token),
                    false);
    if (F == Cv && !stats.cv)
        throw fault(
            QCoreApplication::translate("Assay", "cv(%1) is not defined: the mean of %1 is 0")
                .arg(token),
            false);
    const double values[] = {stats.mean, stats.sd.value_or(0), stats.cv.value_or(0), stats.min,
                             stats.max,  double(stats.count)};
    return values[F];
}

// What muparser does not check: the characters, the functions, and that
// each token stands alone in one function's parentheses, as in mean(NC).
std::optional<FormulaValue> scan(const QString &formula, const QStringList &known,
                                 QList<Call> &calls) {
    static const QString allowed = QStringLiteral("+-*/()<>=!._ \t\r\n");
    for (qsizetype i = 0; i < formula.size(); ++i) {
        const QChar c = formula[i];
        if (c == u',')
            return failure(QCoreApplication::translate(
                               "Assay", "unexpected comma (numbers take a decimal point: 0.150)"),
                           i);
        if (!(c.unicode() < 128 && c.isLetterOrNumber()) && !allowed.contains(c))
            return failure(QCoreApplication::translate("Assay", "unexpected character “%1”").arg(c),
                           i);
    }
    // Numbers first, so that the e of 1e-3 is no word.
    static const QRegularExpression words(
        QStringLiteral(R"((?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?|[A-Za-z_]\w*)"));
    // An unclosed parenthesis at the end is left to muparser.
    static const QRegularExpression argument(QStringLiteral(R"(\(\s*([A-Za-z_]\w*)\s*(?:\)|$))"));
    qsizetype argumentAt = -1;
    for (auto it = words.globalMatch(formula); it.hasNext();) {
        const auto word = it.next();
        const QString name = word.captured();
        const qsizetype at = word.capturedStart();
        if (name[0].isDigit() || name[0] == u'.' || name == u"and" || name == u"or" ||
            at == argumentAt)
            continue;
        qsizetype open = word.capturedEnd();
        while (open < formula.size() && formula[open].isSpace())
            ++open;
        const int function = int(functionNames.indexOf(name));
        const auto takesOneGroup = [&](qsizetype position) {
            return failure(QCoreApplication::translate(
                               "Assay", "%1 takes one group in its parentheses, as in %1(NC)")
                               .arg(name),
                           position);
        };
        if (open == formula.size() || formula[open] != u'(') {
            if (function >= 0)
                return takesOneGroup(at);
            return failure(QCoreApplication::translate(
                               "Assay", "%1 can stand only in the parentheses of mean, sd, cv, "
                                        "min, max or count, as in mean(%1)")
                               .arg(name),
                           at);
        }
        if (function < 0)
            return failure(QCoreApplication::translate("Assay", "unknown function %1").arg(name),
                           at);
        if (open != word.capturedEnd())
            return failure(
                QCoreApplication::translate("Assay", "no space may stand between %1 and “(”")
                    .arg(name),
                word.capturedEnd());
        const auto call = argument.match(formula, open, QRegularExpression::NormalMatch,
                                         QRegularExpression::AnchorAtOffsetMatchOption);
        if (!call.hasMatch())
            return takesOneGroup(open);
        argumentAt = call.capturedStart(1);
        if (!known.contains(call.captured(1)))
            return failure(QCoreApplication::translate("Assay", "no group %1 in the kit's layout")
                               .arg(call.captured(1)),
                           argumentAt);
        calls.append({function, call.captured(1), at, argumentAt});
    }
    return std::nullopt;
}

FormulaValue syntaxError(const QString &formula, const mu::ParserError &error) {
    // muparser counts a position past the end of the formula for what is missing there.
    const qsizetype at =
        error.GetPos() < 0 ? -1 : std::min<qsizetype>(error.GetPos(), formula.size());
    const QString token = fromMuString(error.GetToken()).trimmed();
    switch (error.GetCode()) {
    case mu::ecMISSING_PARENS:
        return failure(QCoreApplication::translate("Assay", "a closing parenthesis is missing"),
                       at);
    case mu::ecUNEXPECTED_PARENS:
        return failure(QCoreApplication::translate("Assay", "unexpected parenthesis"), at);
    case mu::ecUNEXPECTED_OPERATOR:
        return failure(QCoreApplication::translate("Assay", "unexpected operator “%1”").arg(token),
                       at);
    case mu::ecUNEXPECTED_VAL:
    case mu::ecUNEXPECTED_VAR:
    case mu::ecUNEXPECTED_FUN:
        return failure(
            QCoreApplication::translate("Assay", "an operator is missing before “%1”").arg(token),
            at);
    case mu::ecUNASSIGNABLE_TOKEN:
        // The token runs to the end of the formula: name its first word.
        if (!token.isEmpty())
            return failure(QCoreApplication::translate("Assay", "unexpected “%1”")
                               .arg(token.section(u' ', 0, 0)),
                           at);
        break;
    default:
        break;
    }
    if (at == formula.size())
        return failure(QCoreApplication::translate("Assay", "the formula breaks off at its end"),
                       at);
    return failure(QCoreApplication::translate("Assay", "the formula cannot be read"), at);
}

// With groups, the value; without, the formula is only checked against these tokens.
FormulaValue run(const QString &formula, const QStringList &known, const GroupDensities *groups) {
    if (formula.trimmed().isEmpty())
        return failure(QCoreApplication::translate("Assay", "the formula is empty"), -1);
    Context context;
    if (auto error = scan(formula, known, context.calls))
        return *error;
    for (const Call &call : std::as_const(context.calls)) {
        if (context.tokens.contains(call.token))
            continue;
        context.tokens.append(call.token);
        context.stats.append(groupStats(groups ? groups->value(call.token) : QList{1.0, 2.0}));
    }
    std::vector<double> indices(context.tokens.size());
    try {
        mu::Parser parser;
        parser.ClearFun();
        parser.ClearConst();
        parser.EnableBuiltInOprt(false);
        for (const Operator &o : operators)
            parser.DefineOprt(o.name, o.function, o.priority);
        parser.DefineFunUserData(_T("mean"), groupFunction<Mean>, &context, false);
        parser.DefineFunUserData(_T("sd"), groupFunction<Sd>, &context, false);
        parser.DefineFunUserData(_T("cv"), groupFunction<Cv>, &context, false);
        parser.DefineFunUserData(_T("min"), groupFunction<Min>, &context, false);
        parser.DefineFunUserData(_T("max"), groupFunction<Max>, &context, false);
        parser.DefineFunUserData(_T("count"), groupFunction<Count>, &context, false);
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = double(i);
            parser.DefineVar(muString(context.tokens[qsizetype(i)]), &indices[i]);
        }
        parser.SetExpr(muString(formula));
        // muparser reads the whole formula before it computes anything.
        const double value = finite(parser.Eval());
        return {true, groups ? value : 0, {}, -1};
    } catch (const mu::ParserError &error) {
        return syntaxError(formula, error);
    } catch (const Fault &fault) {
        if (!groups)
            return {true, 0, {}, -1};
        return failure(fault.message, fault.position);
    }
}

} // namespace

FormulaValue evaluateFormula(const QString &formula, const GroupDensities &groups) {
    return run(formula, groups.keys(), &groups);
}

FormulaValue checkFormula(const QString &formula, const QStringList &tokens) {
    return run(formula, tokens, nullptr);
}
