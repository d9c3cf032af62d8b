// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assay/kit.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTableWidget>

#include <optional>

// The layout of a kit as the editor holds it: a token a well, "-" unused.
using KitLayout = std::array<std::array<QString, plateStrips>, plateRows>;

// A well of the plate: row 0 to 7 (A to H), strip 0 to 11 (1 to 12).
struct Well {
    int row = 0;
    int strip = 0;
    bool operator==(const Well &) const = default;
    QString name() const { return QChar(u'A' + row) + QString::number(strip + 1); }
};

// How a fill numbers the wells: down each strip, strip after strip, or along
// each row, row after row.
enum class FillOrder { Strips, Rows };

namespace KitTokens {
// The role of a token of the editor's layout: BLK, Sn, Un, "-" (or empty) as
// the kit file has them; any other name is a control.
WellRole roleOf(const QString &token);
// The highest number of standards (99) and samples (999).
int highestNumber(WellRole role);
// "S3", "U12": the token of standard or sample n.
QString numbered(WellRole role, int number);
// Whether a control may be called so in a kit file: a letter, then ASCII
// letters, digits or _, 32 at most, and not BLK, Sn or Un.
bool isControlName(const QString &name);
// The wells in the order a fill takes them.
QList<Well> inOrder(QList<Well> wells, FillOrder order);
// The tokens of a fill of count wells: numbers from first, each given to
// replicates wells in turn. None when the last number is beyond the role's
// highest.
std::optional<QStringList> fill(WellRole role, int first, int replicates, qsizetype count);
} // namespace KitTokens

// The 8 x 12 grid of the layout: rows A to H, strips 1 to 12, each well
// showing its token on its role's colour. Wells are selected with the mouse
// (click, drag, Shift, Ctrl, the headings) and the keyboard (arrows,
// Shift+arrows, Ctrl+A); Tab leaves the grid, Enter asks for the role chosen.
class KitGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit KitGrid(QWidget *parent = nullptr);

    KitLayout plateLayout() const;
    void setPlateLayout(const KitLayout &layout);
    QString token(int row, int strip) const;
    // Gives the wells these tokens, one each, in order.
    void setTokens(const QList<Well> &wells, const QStringList &tokens);
    // The wells selected, strip after strip, rows A to H.
    QList<Well> selectedWells() const;
    void selectWells(const QList<Well> &wells);

    // What a well says to a screen reader: "A1: Sample 3".
    static QString describe(const Well &well, const QString &token);

signals:
    void tokensChanged();
    void assignRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showToken(int row, int strip, const QString &token);
};
