#include "Welcome.h"

#include "AppContext.h"

#include "core/AppDir.h"

#include <QCommandLinkButton>
#include <QLabel>
#include <QVBoxLayout>

CWelcome::CWelcome(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("welcome"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumWidth(440);
    setMaximumWidth(520);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(6);
    auto* title = new QLabel(QStringLiteral("Welcome to Velmora"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    auto* line = new QLabel(
        QStringLiteral("Log what you eat day by day, and see how each day meets what your body needs."), this);
    line->setWordWrap(true);
    layout->addWidget(line);
    layout->addSpacing(10);

    new_ = new QCommandLinkButton(QStringLiteral("New Profile"),
                                  QStringLiteral("Start a log for yourself or someone you cook for (Ctrl+N)."), this);
    new_->setObjectName(QStringLiteral("welcomeNew"));
    open_ = new QCommandLinkButton(QStringLiteral("Open Profile"),
                                   QStringLiteral("Go on with a profile you saved before (Ctrl+O)."), this);
    open_->setObjectName(QStringLiteral("welcomeOpen"));
    help_ = new QCommandLinkButton(QStringLiteral("Getting Started"),
                                   QStringLiteral("A short guide to the first profile and the first day (F1 for the "
                                                  "whole reference)."),
                                   this);
    help_->setObjectName(QStringLiteral("welcomeHelp"));
    for (QCommandLinkButton* button : {new_, open_, help_}) layout->addWidget(button);

    connect(new_, &QCommandLinkButton::clicked, this, [this] {
        if (run_) run_(Gui::CommandId::FileNew);
    });
    connect(open_, &QCommandLinkButton::clicked, this, [this] {
        if (run_) run_(Gui::CommandId::FileOpen);
    });
    connect(help_, &QCommandLinkButton::clicked, this,
            [] { Gui::OpenHelpPage(AppDir::Get(), "/help/start/start_main.htm"); });
}
