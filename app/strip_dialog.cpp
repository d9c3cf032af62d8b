// SPDX-License-Identifier: GPL-3.0-or-later
#include "strip_dialog.h"

#include "twips.h"
#include "window_font.h"

#include <QComboBox>
#include <QPushButton>

StripCountDialog::StripCountDialog(int stripCount, QWidget *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)
    , m_stripCount(stripCount)
    , m_combo(new QComboBox(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmНастройка"));
    setWindowTitle(QStringLiteral("Число стрипов"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(windowFont());
    setFixedSize(twipsToPixels(2340), twipsToPixels(690));

    m_combo->setObjectName(QStringLiteral("комбоСтрип"));
    m_combo->setGeometry(twipsRect(180, 150, 615, 315));
    m_combo->addItems({QStringLiteral("  1"), QStringLiteral("  2"), QStringLiteral("  3"),
                       QStringLiteral("  4"), QStringLiteral("  5"), QStringLiteral("  6"),
                       QStringLiteral("  7"), QStringLiteral("  8"), QStringLiteral("  9"),
                       QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")});

    m_ok->setObjectName(QStringLiteral("кНастройкаОК"));
    m_ok->setGeometry(twipsRect(1020, 150, 1125, 345));
    QFont regular = windowFont();
    regular.setBold(false);
    m_ok->setFont(regular);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { кНастройкаОК_Click(); });

    setTabOrder(m_ok, m_combo);
    m_ok->setFocus();
    Form_Load();
}

void StripCountDialog::Form_Load() {
    m_combo->setCurrentIndex(m_stripCount - 1);
}

void StripCountDialog::кНастройкаОК_Click() {
    m_stripCount = m_combo->currentIndex() + 1;
    hide();
    emit stripCountChosen(m_stripCount);
}
