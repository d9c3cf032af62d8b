// SPDX-License-Identifier: GPL-3.0-or-later
#include "svg_picture.h"

#include <QPainter>

#include <cmath>

SvgPicture::SvgPicture(QWidget *parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(200, 150);
}

void SvgPicture::setSvg(const QByteArray &svg) {
    if (svg.isEmpty())
        m_renderer.load(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
    else
        m_renderer.load(svg);
    updateGeometry();
    update();
}

QSize SvgPicture::sizeHint() const {
    return QSize(420, heightForWidth(420));
}

int SvgPicture::heightForWidth(int width) const {
    const QSizeF box = m_renderer.viewBoxF().size();
    if (box.isEmpty())
        return width * 3 / 4;
    return static_cast<int>(std::lround(width * box.height() / box.width()));
}

void SvgPicture::paintEvent(QPaintEvent *) {
    const QSizeF box = m_renderer.viewBoxF().size();
    if (!m_renderer.isValid() || box.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    // As large as fits, in the middle.
    const QSizeF shown = box.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                        shown);
    m_renderer.render(&painter, target);
}
