#include "DlgSelectProfile.h"

#include "ui/frame/AppContext.h"

#include "core/Services.h"

#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cctype>

void SortProfileNames(std::vector<std::string>& names) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const std::string la = lower(a), lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
}

DlgSelectProfile::DlgSelectProfile(const std::vector<std::string>& names, const std::string& appDir, QWidget* parent)
    : QDialog(parent), appDir_(appDir) {
    setWindowTitle(QStringLiteral("Select Profile"));
    setSizeGripEnabled(true);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("profiles"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    help_ = new QPushButton(QStringLiteral("Help"), this);

    std::vector<std::string> sorted = names;
    SortProfileNames(sorted);
    for (const auto& name : sorted) list_->addItem(QString::fromStdString(name));
    ok_->setEnabled(!names.empty());

    connect(ok_, &QPushButton::clicked, this, &DlgSelectProfile::accept);
    connect(cancel_, &QPushButton::clicked, this, &DlgSelectProfile::reject);
    connect(help_, &QPushButton::clicked, this, [this] { Gui::OpenHelpPage(appDir_, "/help/start/start_main.htm"); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &DlgSelectProfile::accept);

    const int buttonWidth =
        std::max({ok_->sizeHint().width(), cancel_->sizeHint().width(), help_->sizeHint().width(), 80});
    const int buttonHeight = ok_->sizeHint().height();
    for (QPushButton* b : {ok_, cancel_, help_}) b->resize(buttonWidth, buttonHeight);
    ok_->move(0, 10);
    cancel_->move(0, 10 + buttonHeight + 6);
    help_->move(0, 10 + 2 * (buttonHeight + 6));
    setMinimumSize(buttonWidth + 140, 3 * buttonHeight + 40);
    resize(360, 260);
}

void DlgSelectProfile::accept() {
    if (!ok_->isEnabled()) return;
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) {
        Services::Prompt().Message("Please select profile.");
        return;
    }
    chosen_ = item->text().toStdString();
    QDialog::accept();
}

void DlgSelectProfile::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The buttons keep their size and height and stay 10 pixels from the right edge; the list
    // takes the rest.
    const int width = event->size().width();
    int left = width;
    for (QPushButton* b : {ok_, cancel_, help_}) {
        left = width - b->width() - 10;
        b->move(left, b->y());
    }
    list_->setGeometry(10, 10, std::max(0, left - 20), std::max(0, event->size().height() - 20));
}
