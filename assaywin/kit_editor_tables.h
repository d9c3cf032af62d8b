// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assay/kit.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QTableWidget;
class QTableWidgetItem;
class QWidget;

// A number as typed, with a decimal comma or point: "0,5", "0.5", "1e3".
std::optional<double> readNumber(const QString &text);
// A number as the tables show it: the shortest that reads back the same.
QString numberText(double value);

// The standards' concentrations and the samples' names and dilutions, a row
// for each of the layout's tokens. What a token had stays while the session
// lasts, should the token come back to the layout.
class TokenTables : public QObject {
    Q_OBJECT
public:
    explicit TokenTables(QWidget *parent);

    QTableWidget *standards() const { return m_standards; }
    QTableWidget *samples() const { return m_samples; }

    void load(const Kit &kit);
    // The layout's tokens, in the kit's order: the rows follow them.
    void follow(const QStringList &tokens);
    // The concentrations, names and dilutions of the rows into the kit.
    void fillIn(Kit &kit) const;
    // What is missing or wrong in the rows.
    QStringList problems() const;

signals:
    void edited();

private:
    void changed(QTableWidgetItem *item);
    void mark(QTableWidgetItem *item, bool right, const QString &why);

    QTableWidget *m_standards;
    QTableWidget *m_samples;
    // Token -> the text typed for it.
    QMap<QString, QString> m_concentrations;
    QMap<QString, QString> m_names;
    QMap<QString, QString> m_dilutions;
    bool m_showing = false;
};
