#include "dialog_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DialogButtons AddContentAndButtons(QDialog& dialog, QLayout* content, DefaultButton preferred,
                                   bool centred) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("ok"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("cancel"));
    // With Cancel preferred, Enter never presses OK, not even while it has the focus.
    if (preferred == DefaultButton::Cancel)
        ok->setAutoDefault(false);
    ok->setDefault(preferred == DefaultButton::Ok);
    cancel->setDefault(preferred == DefaultButton::Cancel);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    if (centred)
        row->addStretch(1);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(content);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return {ok, cancel};
}
