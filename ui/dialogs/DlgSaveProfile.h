#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

// "Save Profile": a name for a profile, new or one of the existing ones.
class DlgSaveProfile : public QDialog {
    Q_OBJECT
public:
    explicit DlgSaveProfile(const std::vector<std::string>& names, QWidget* parent = nullptr);

    // The chosen name after Save; empty before.
    const std::string& ChosenName() const { return chosen_; }
    QListWidget* List() const { return list_; }
    QLineEdit* NameEdit() const { return edit_; }
    QPushButton* SaveButton() const { return save_; }

    void accept() override;

private:
    std::vector<std::string> names_;
    std::string chosen_;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* save_ = nullptr;
};

// The first character of a profile name that is not an ASCII letter, digit or blank, as UTF-8;
// nullopt when every character is allowed.
std::optional<std::string> FirstBadProfileNameChar(const std::string& name);
