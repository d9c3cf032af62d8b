// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// What a text pane shows: a user coordinate system laid over its drawing
// area, a drawing position, and the retained list of everything drawn since
// the pane was last cleared. Text is placed the way the panes have always
// worked: set a point (in the background colour), which makes it the drawing
// position, then print; a print that ends its line returns to the left edge,
// one text line lower.
class PaneModel : public QObject {
    Q_OBJECT
public:
    struct Item {
        enum Kind { Point, Text };
        Kind kind;
        double x;
        double y;
        QString text;
    };

    PaneModel(double scaleLeft, double scaleTop, double scaleWidth, double scaleHeight,
              QObject *parent = nullptr);

    double scaleLeft() const { return m_left; }
    double scaleTop() const { return m_top; }
    double scaleWidth() const { return m_width; }
    double scaleHeight() const { return m_height; }

    // Text metrics in user units, supplied by whoever renders the pane.
    void setMetrics(double lineHeight, std::function<double(const QString &)> textWidth);
    double lineHeight() const { return m_lineHeight; }

    // Draws what fn draws, telling of the change once, at its end: a plate's
    // hundred values are one change.
    template <typename F> void batch(F &&fn) {
        ++m_batch;
        fn();
        if (--m_batch == 0)
            emit changed();
    }

    void Cls();
    void PSet(double x, double y);
    void Print(const QString &text);       // the text, then a line end
    void printJoined(const QString &text); // the text with no line end after it
    void printLine() { Print(QString()); } // an empty line

    double currentX() const { return m_x; }
    double currentY() const { return m_y; }

    const QList<Item> &items() const { return m_items; }

    // The texts visible in the pane, in reading order (top to bottom, then
    // left to right), with surrounding blanks and control characters removed;
    // texts placed outside the drawing area are not shown and not listed.
    QStringList readingOrder() const;

    // The text drawn with its top-left corner at (x, y), or a null string.
    QString textAt(double x, double y) const;

signals:
    // After every change; the widget repaints from it.
    void changed();

private:
    void told();

    double m_left;
    double m_top;
    double m_width;
    double m_height;
    double m_x;
    double m_y;
    double m_lineHeight = 1.0;
    std::function<double(const QString &)> m_textWidth;
    QList<Item> m_items;
    int m_batch = 0;
};

// A text as the pane renders it: control characters (the TAB that ends a
// field read back from a data file, for one) take no room and show nothing.
QString shownText(const QString &text);
