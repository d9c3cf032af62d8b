// SPDX-License-Identifier: GPL-3.0-or-later
#include "pane_model.h"

#include <algorithm>
#include <cmath>

PaneModel::PaneModel(double scaleLeft, double scaleTop, double scaleWidth, double scaleHeight,
                     QObject *parent)
    : QObject(parent)
    , m_left(scaleLeft)
    , m_top(scaleTop)
    , m_width(scaleWidth)
    , m_height(scaleHeight)
    , m_x(scaleLeft)
    , m_y(scaleTop) {}

void PaneModel::setMetrics(double lineHeight, std::function<double(const QString &)> textWidth) {
    m_lineHeight = lineHeight;
    m_textWidth = std::move(textWidth);
}

void PaneModel::Cls() {
    m_items.clear();
    m_x = m_left;
    m_y = m_top;
    told();
}

void PaneModel::PSet(double x, double y) {
    m_items.append({Item::Point, x, y, QString()});
    m_x = x;
    m_y = y;
    told();
}

void PaneModel::printJoined(const QString &text) {
    if (!text.isEmpty())
        m_items.append({Item::Text, m_x, m_y, text});
    if (m_textWidth)
        m_x += m_textWidth(shownText(text));
    told();
}

void PaneModel::Print(const QString &text) {
    if (!text.isEmpty())
        m_items.append({Item::Text, m_x, m_y, text});
    m_x = m_left;
    m_y += m_lineHeight;
    told();
}

QStringList PaneModel::readingOrder() const {
    QList<const Item *> shown;
    for (const Item &item : m_items) {
        if (item.kind != Item::Text || shownText(item.text).trimmed().isEmpty())
            continue;
        if (item.x < m_left || item.x >= m_left + m_width || item.y < m_top ||
            item.y >= m_top + m_height)
            continue;
        shown.append(&item);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Item *a, const Item *b) {
        return a->y != b->y ? a->y < b->y : a->x < b->x;
    });
    QStringList texts;
    texts.reserve(shown.size());
    for (const Item *item : shown)
        texts.append(shownText(item->text).trimmed());
    return texts;
}

QString PaneModel::textAt(double x, double y) const {
    constexpr double eps = 1e-9;
    for (auto it = m_items.crbegin(); it != m_items.crend(); ++it) {
        if (it->kind == Item::Text && std::abs(it->x - x) < eps && std::abs(it->y - y) < eps)
            return it->text;
    }
    return QString();
}

QString shownText(const QString &text) {
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (c.category() != QChar::Other_Control)
            shown.append(c);
    }
    return shown;
}

void PaneModel::told() {
    if (m_batch == 0)
        emit changed();
}
