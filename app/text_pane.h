// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pane_model.h"

#include <QFrame>
#include <QHash>
#include <QPointer>
#include <QStaticText>

// A picture pane with a sunken border that shows a PaneModel, kept by its
// owner: everything drawn stays until the pane is cleared and is repainted
// from the model whenever the window needs it; a model that is gone shows
// nothing. The pane is accessible: its description holds the texts it
// shows, one per line, in reading order.
class TextPane : public QFrame {
    Q_OBJECT
public:
    explicit TextPane(PaneModel &model, QWidget *parent = nullptr);

    PaneModel &model() { return *m_model; }
    const PaneModel &model() const { return *m_model; }

    // The pixel position of a point of the user coordinate system.
    QPointF toPixels(double x, double y) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateMetrics();
    void modelChanged();
    void updateDescription();

    QPointer<PaneModel> m_model;
    bool m_descriptionPending = false;
    // Each text as laid out for the pane's font, kept between paints.
    QHash<QString, QStaticText> m_laidOut;
};
