// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSvgRenderer>
#include <QWidget>

// A picture of the assay library's (the standard curve), drawn by Qt SVG to
// the widget's size, its proportions kept.
class SvgPicture : public QWidget {
    Q_OBJECT
public:
    explicit SvgPicture(QWidget *parent = nullptr);

    void setSvg(const QByteArray &svg);
    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer m_renderer;
};
