#pragma once

#include "ui/commands/CommandTarget.h"

#include <QFrame>

#include <functional>

class QCommandLinkButton;

// What the main window shows while no profile is open: a word on what the program is for and the
// three ways to begin (a new profile, a saved one, the guide to the first steps).
class CWelcome : public QFrame {
    Q_OBJECT
public:
    explicit CWelcome(QWidget* parent = nullptr);

    // Runs the profile commands of the buttons.
    void SetCommandHandler(std::function<void(Gui::CommandId)> run) { run_ = std::move(run); }

    QCommandLinkButton* NewButton() const { return new_; }
    QCommandLinkButton* OpenButton() const { return open_; }
    QCommandLinkButton* HelpButton() const { return help_; }

private:
    std::function<void(Gui::CommandId)> run_;
    QCommandLinkButton* new_ = nullptr;
    QCommandLinkButton* open_ = nullptr;
    QCommandLinkButton* help_ = nullptr;
};
