// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_pane.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

TextPane::TextPane(PaneModel &model, QWidget *parent)
    : QFrame(parent)
    , m_model(&model) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::ButtonText);
    setAutoFillBackground(true);
    connect(m_model, &PaneModel::changed, this, &TextPane::modelChanged);
    updateMetrics();
}

QPointF TextPane::toPixels(double x, double y) const {
    const QRect area = contentsRect();
    if (!m_model)
        return area.topLeft();
    return QPointF(area.left() + (x - m_model->scaleLeft()) * area.width() / m_model->scaleWidth(),
                   area.top() + (y - m_model->scaleTop()) * area.height() / m_model->scaleHeight());
}

void TextPane::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (!m_model)
        return;
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.setFont(font());
    const QColor background = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    for (const PaneModel::Item &item : m_model->items()) {
        const QPointF at = toPixels(item.x, item.y);
        if (at.x() > area.right() || at.y() > area.bottom())
            continue; // placed beyond the drawing area: nothing of it shows
        if (item.kind == PaneModel::Item::Point) {
            painter.setPen(background);
            painter.drawPoint(at);
        } else {
            auto laidOut = m_laidOut.constFind(item.text);
            if (laidOut == m_laidOut.constEnd()) {
                if (m_laidOut.size() >= 1024)
                    m_laidOut.clear(); // bounded: a pane shows about a hundred texts
                QStaticText shaped(shownText(item.text));
                shaped.setTextFormat(Qt::PlainText);
                shaped.prepare(QTransform(), font());
                laidOut = m_laidOut.insert(item.text, shaped);
            }
            painter.setPen(text);
            // A static text is placed by its top left corner, not its baseline.
            painter.drawStaticText(at, *laidOut);
        }
    }
}

void TextPane::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    updateMetrics();
}

void TextPane::changeEvent(QEvent *event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_laidOut.clear();
        updateMetrics();
    }
}

void TextPane::updateMetrics() {
    const QRect area = contentsRect();
    if (!m_model || area.width() <= 0 || area.height() <= 0)
        return;
    const QFontMetricsF metrics(font());
    const double unitsPerPixelX = m_model->scaleWidth() / area.width();
    const double unitsPerPixelY = m_model->scaleHeight() / area.height();
    m_model->setMetrics(metrics.height() * unitsPerPixelY,
                        [metrics, unitsPerPixelX](const QString &s) {
                            return metrics.horizontalAdvance(s) * unitsPerPixelX;
                        });
}

void TextPane::modelChanged() {
    update();
    // A data block draws a hundred texts in one go: the description is
    // brought up to date once, when control returns to the event loop.
    if (!m_descriptionPending) {
        m_descriptionPending = true;
        QTimer::singleShot(0, this, [this] { updateDescription(); });
    }
}

void TextPane::updateDescription() {
    m_descriptionPending = false;
    if (!m_model)
        return;
    const QString description = m_model->readingOrder().join(QLatin1Char('\n'));
    if (description != accessibleDescription())
        setAccessibleDescription(description);
}
