#pragma once

// moc can't parse the standard headers these pull in, and needs nothing from them.
#ifndef Q_MOC_RUN
#include "document/viewmodel/TypedNumber.h"
#endif

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace NS_Data {
class CUserLog;
}

// "Fact Manager": edits the profile's fact definitions in place; there is nothing to cancel. The
// built-ins "Weight" and "Extra Energy" can get a target value but can be neither renamed nor
// removed.
class DlgFactManager : public QDialog {
    Q_OBJECT
public:
    DlgFactManager(NS_Data::CUserLog& log, std::string appDir, QWidget* parent = nullptr);

    QTableWidget* List() const { return list_; }
    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* ValueEdit() const { return value_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* NewButton() const { return new_; }
    QPushButton* RemoveButton() const { return remove_; }
    QPushButton* HelpButton() const { return help_; }
    QPushButton* ExitButton() const { return exit_; }

    void OnApply();
    void OnNew();
    void OnRemove();

    // "%G" with the dot whatever the locale, or nothing for an undefined value.
    static QString FormatValue(double value);
    // The undefined value for an empty text, else the number the text spells (with the dot or the
    // locale's decimal separator) when the fact `name` of the log can have it; for any other text
    // the reason it is none.
    static TypedInput ParseValue(const QString& text, const NS_Data::CUserLog& log, const std::string& name);

private:
    int SelectedRow() const;
    void OnSelectionChanged();
    void OnNameEdited();
    void SetRow(int row);
    void ShowNoSelection();

    NS_Data::CUserLog& log_;
    std::string appDir_;
    QTableWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* value_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* exit_ = nullptr;
};
