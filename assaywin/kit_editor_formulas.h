// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A formula's line and, under it, the library's verdict on it, checked as it
// is typed against the tokens of the layout.
class FormulaField : public QWidget {
    Q_OBJECT
public:
    explicit FormulaField(QWidget *parent = nullptr);

    QLineEdit *edit() const { return m_edit; }
    QLabel *verdict() const { return m_verdict; }
    QString formula() const;
    void setFormula(const QString &formula);
    void setTokens(const QStringList &tokens);
    // What names the line to a screen reader: "Cut-off formula".
    void setName(const QString &name);
    // Empty when the formula is right, else the library's message and where.
    QString problem() const { return m_problem; }

signals:
    void edited();

private:
    void check();

    QLineEdit *m_edit;
    QLabel *m_verdict;
    QStringList m_tokens;
    QString m_problem;
};

// The validity rules: one formula a row, each with its verdict and a button
// that removes it, and a button that adds a row.
class RuleList : public QWidget {
    Q_OBJECT
public:
    explicit RuleList(QWidget *parent = nullptr);

    QStringList rules() const;
    void setRules(const QStringList &rules);
    void setTokens(const QStringList &tokens);
    QList<FormulaField *> fields() const;
    // "Validity rule 2: …" for each rule that is wrong.
    QStringList problems() const;

    FormulaField *addRule(const QString &formula = {});
    void removeRule(qsizetype index);

signals:
    void edited();

private:
    void renumber();

    struct Row {
        QWidget *widget;
        FormulaField *field;
        QPushButton *remove;
    };
    QList<Row> m_rows;
    QVBoxLayout *m_list;
    QPushButton *m_add;
    QStringList m_tokens;
};
