// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_list.h"

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSettings;

// The port chooser «Порт прибора»: the serial ports the system finds, and a
// field where any port name or device path can be typed. The list and the
// field follow each other: choosing a port puts its name in the field, and a
// typed name that is in the list selects that port. Its object name is
// ВыборПорта.
class PortChooser : public QDialog {
    Q_OBJECT
public:
    // current: the port the program would open now; it is preselected.
    explicit PortChooser(const QString &current, PortLister ports = availablePorts,
                         QWidget *parent = nullptr);

    // The field's text without surrounding blanks.
    QString chosenPort() const;
    // Asks the lister again and refills the list; the field keeps its text.
    void refresh();

    QListWidget *list() const { return m_list; }
    QLineEdit *field() const { return m_field; }
    QPushButton *refreshButton() const { return m_refresh; }
    QDialogButtonBox *buttons() const { return m_buttons; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectMatchingItem();
    void takeSelectedItem();

    PortLister m_ports;
    QListWidget *m_list;
    QLabel *m_noPorts;
    QLineEdit *m_field;
    QPushButton *m_refresh;
    QDialogButtonBox *m_buttons;
};

// Shows the chooser modally. OK stores the choice as the Port setting and
// returns it; Cancel or closing the window stores nothing and returns an
// empty string.
QString choosePortInDialog(QSettings &store, const QString &current,
                           PortLister ports = availablePorts, QWidget *parent = nullptr);
