// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "menu_flags.h"
#include "pane_model.h"

#include "core/plate_geometry.h"
#include "plate/plate.h"

#include <QObject>
#include <QString>

class Session;
struct DatFileRead;

// What the main window shows of the session: the status texts and the plate
// in the results pane, and the menus' enabled flags. It listens to the
// session and owns what it shows: the pane's drawing, the menus' flags, the
// plate in the grid and the plate text that Copy puts on the clipboard.
class SessionPresenter : public QObject {
    Q_OBJECT
public:
    explicit SessionPresenter(QObject *parent = nullptr);

    // From here on, what the session tells is shown.
    void listenTo(Session &session);

    PaneModel &ОкноПечати() { return m_pane; }
    const PaneModel &ОкноПечати() const { return m_pane; }
    MenuFlags &menus() { return m_menus; }
    const MenuFlags &menus() const { return m_menus; }
    // The text of the last plate received or file viewed, whichever came later.
    const QString &PlateText() const { return m_plateText; }
    // The plate the grid shows; null when it shows none (a status text, a
    // file viewed).
    const Plate &shownPlate() const { return m_shown; }

    // The status messages.
    void СообщениеСвязь();
    void СообщениеОшибка(char status);
    void showMeasuring();
    void showReading();
    void showPlate(const Plate &plate);
    void showNoAnswer();
    void showUnplugged();
    void showPortBusy();
    // The menus as after loading, for a port that is back.
    void showPortBack();

    // What the Measurement and Read plate commands do to the menus: Save is
    // offered, before any block has come.
    void offerSave();

    // View file: the pane cleared, then the fields read, and, when the file
    // was read to the end, its content as the plate text, Save disabled.
    void showFile(const DatFileRead &read, const QByteArray &content);
    void clearPane();

private:
    void showStatus(double x, const QString &text);

    PaneModel m_pane{0, 0, plateStrips, plateRows}; // a cell a well
    MenuFlags m_menus;
    Plate m_shown;
    QString m_plateText;
};
