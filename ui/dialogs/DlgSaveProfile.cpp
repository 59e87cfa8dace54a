#include "DlgSaveProfile.h"

#include "DlgSelectProfile.h"

#include "core/Services.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

std::optional<std::string> FirstBadProfileNameChar(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
        if (ok) continue;
        // A character outside ASCII is shown whole: its lead byte and the continuation bytes.
        std::size_t len = 1;
        while (c >= 0x80 && i + len < name.size() && (static_cast<unsigned char>(name[i + len]) & 0xC0) == 0x80) ++len;
        return name.substr(i, len);
    }
    return std::nullopt;
}

DlgSaveProfile::DlgSaveProfile(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), names_(names) {
    setWindowTitle(QStringLiteral("Save Profile"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("profiles"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("name"));
    save_ = new QPushButton(QStringLiteral("Save"), this);
    save_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);

    auto* existing = new QLabel(QStringLiteral("Existing Profiles:"), this);
    existing->setBuddy(list_);
    auto* nameLabel = new QLabel(QStringLiteral("Profile Name:"), this);
    nameLabel->setBuddy(edit_);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(existing, 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addWidget(nameLabel, 2, 0);
    grid->addWidget(edit_, 3, 0);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->setRowStretch(1, 1);

    std::vector<std::string> sorted = names;
    SortProfileNames(sorted);
    for (const auto& name : sorted) list_->addItem(QString::fromStdString(name));

    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { edit_->setText(item->text()); });
    connect(save_, &QPushButton::clicked, this, &DlgSaveProfile::accept);
    connect(cancel, &QPushButton::clicked, this, &DlgSaveProfile::reject);
    resize(380, 300);
    edit_->setFocus();
}

void DlgSaveProfile::accept() {
    const std::string text = edit_->text().toStdString();
    if (text.empty()) {
        Services::Prompt().Message("Please select profile name.");
        return;
    }
    if (text != chosen_ && std::find(names_.begin(), names_.end(), text) != names_.end()) {
        if (Services::Prompt().Question("Existing profile will be replaced.", Services::Buttons::OkCancel) !=
            Services::Answer::Ok)
            return;
    }
    if (auto bad = FirstBadProfileNameChar(text)) {
        Services::Prompt().Question("Profile name does not support: '" + *bad + "' character",
                                    Services::Buttons::OkCancel);
        return;
    }
    chosen_ = text;
    QDialog::accept();
}
