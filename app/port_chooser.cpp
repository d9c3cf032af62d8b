// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_chooser.h"

#include "window_position.h"

#include "link/port_choice.h"
#include "link/port_problem.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {
QString portItemText(const PortEntry &port) {
    if (port.description.isEmpty())
        return port.name;
    return port.name + QStringLiteral(" — ") + port.description;
}

// "ttyUSB0" and "/dev/ttyUSB0" open the same port.
bool namesPort(const QString &text, const QString &name) {
    return text == name || text == portPath(name);
}

QString portToolTip(const PortEntry &port) {
    QStringList lines;
    if (!port.manufacturer.isEmpty())
        lines << QStringLiteral("Изготовитель: ") + port.manufacturer;
    if (!port.serialNumber.isEmpty())
        lines << QStringLiteral("Серийный номер: ") + port.serialNumber;
    return lines.join(QLatin1Char('\n'));
}
} // namespace

PortChooser::PortChooser(const QString &current, PortLister ports, QWidget *parent)
    : QDialog(parent)
    , m_ports(std::move(ports))
    , m_list(new QListWidget(this))
    , m_noPorts(
          new QLabel(QStringLiteral("Порты не найдены. Введите имя порта или путь ниже."), this))
    , m_field(new QLineEdit(current, this))
    , m_refresh(new QPushButton(QStringLiteral("О&бновить"), this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("ВыборПорта"));
    setWindowTitle(QStringLiteral("Порт прибора"));
    setMinimumWidth(420);

    auto *explanation =
        new QLabel(QStringLiteral("Выберите последовательный порт, к которому "
                                  "подключён прибор, или введите его имя или путь."),
                   this);
    explanation->setWordWrap(true);
    auto *listLabel = new QLabel(QStringLiteral("&Найденные порты:"), this);
    listLabel->setBuddy(m_list);
    auto *fieldLabel = new QLabel(QStringLiteral("&Имя порта или путь:"), this);
    fieldLabel->setBuddy(m_field);

    m_list->setObjectName(QStringLiteral("списокПортов"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAccessibleName(QStringLiteral("Найденные порты"));
    m_list->setAccessibleDescription(
        QStringLiteral("Последовательные порты, найденные в системе. Выбранный порт "
                       "переносится в поле имени порта."));
    m_noPorts->setObjectName(QStringLiteral("нетПортов"));
    m_noPorts->setWordWrap(true);
    m_field->setObjectName(QStringLiteral("полеПорт"));
    m_field->setAccessibleName(QStringLiteral("Имя порта или путь"));
    m_field->setAccessibleDescription(
        QStringLiteral("Имя порта, например ttyUSB0 или COM3, или путь к устройству, например "
                       "/dev/serial/by-id/… или /dev/pts/3."));
    m_refresh->setObjectName(QStringLiteral("кОбновить"));
    m_refresh->setAccessibleName(QStringLiteral("Обновить список портов"));
    QPushButton *ok = m_buttons->button(QDialogButtonBox::Ok);
    QPushButton *cancel = m_buttons->button(QDialogButtonBox::Cancel);
    ok->setAccessibleName(QStringLiteral("Сохранить порт"));
    cancel->setAccessibleName(QStringLiteral("Отмена"));
    ok->setDefault(true);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_refresh);
    bottom->addStretch();
    bottom->addWidget(m_buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(listLabel);
    layout->addWidget(m_list);
    layout->addWidget(m_noPorts);
    layout->addWidget(fieldLabel);
    layout->addWidget(m_field);
    layout->addLayout(bottom);

    setTabOrder(m_list, m_field);
    setTabOrder(m_field, m_refresh);
    setTabOrder(m_refresh, ok);
    setTabOrder(ok, cancel);

    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { takeSelectedItem(); });
    // Enter on a port reaches the dialog and presses the default button, OK.
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (!chosenPort().isEmpty())
            accept();
    });
    connect(m_field, &QLineEdit::textChanged, this, [this, ok] {
        ok->setEnabled(!chosenPort().isEmpty());
        selectMatchingItem();
    });
    connect(m_refresh, &QPushButton::clicked, this, [this] { refresh(); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ok->setEnabled(!chosenPort().isEmpty());
    refresh();
    if (m_list->count() > 0)
        m_list->setFocus();
    else
        m_field->setFocus();
}

QString PortChooser::chosenPort() const {
    return m_field->text().trimmed();
}

void PortChooser::refresh() {
    const QList<PortEntry> found = m_ports ? m_ports() : QList<PortEntry>();
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const PortEntry &port : found) {
            auto *item = new QListWidgetItem(portItemText(port), m_list);
            item->setData(Qt::UserRole, port.name);
            item->setToolTip(portToolTip(port));
        }
    }
    m_noPorts->setVisible(found.isEmpty());
    selectMatchingItem();
}

void PortChooser::selectMatchingItem() {
    const QString name = chosenPort();
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        if (namesPort(name, item->data(Qt::UserRole).toString())) {
            if (m_list->currentItem() != item || !item->isSelected())
                m_list->setCurrentItem(item);
            m_list->scrollToItem(item);
            return;
        }
    }
    m_list->setCurrentItem(nullptr);
    m_list->clearSelection();
}

void PortChooser::takeSelectedItem() {
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->data(Qt::UserRole).toString();
    if (!namesPort(chosenPort(), name))
        m_field->setText(name);
}

bool PortChooser::eventFilter(QObject *watched, QEvent *event) {
    // With no port selected, Down or Up selects the first port: the list's
    // cursor, put on the first row when the list takes the focus, would
    // otherwise move past it.
    if (watched == m_list && event->type() == QEvent::KeyPress && m_list->count() > 0 &&
        m_list->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            m_list->setCurrentRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString choosePortInDialog(QSettings &store, const QString &current, PortLister ports,
                           QWidget *parent) {
    PortChooser chooser(current, std::move(ports), parent);
    if (chooser.exec() != QDialog::Accepted || chooser.chosenPort().isEmpty())
        return QString();
    const QString port = chooser.chosenPort();
    storePort(store, port);
    return port;
}
