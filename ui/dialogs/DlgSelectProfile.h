#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

// "Select Profile": picks one of the existing profiles by name.
class DlgSelectProfile : public QDialog {
    Q_OBJECT
public:
    DlgSelectProfile(const std::vector<std::string>& names, const std::string& appDir, QWidget* parent = nullptr);

    // The chosen name after OK; empty before.
    const std::string& ChosenName() const { return chosen_; }
    QListWidget* List() const { return list_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string appDir_;
    std::string chosen_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
};

// The names in the order the profile lists show them: letter case does not count, then it does.
void SortProfileNames(std::vector<std::string>& names);
