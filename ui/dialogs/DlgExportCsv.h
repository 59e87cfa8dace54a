#pragma once

#include <QDialog>

#include <string>

class QDateEdit;
class QLabel;
class QRadioButton;

// "Export CSV": whether to write every food entry or each day's totals, and the days to write.
// OK is refused while the first day lies after the last.
class DlgExportCsv : public QDialog {
    Q_OBJECT
public:
    // The range starts as given ("YYYYMMDD" keys).
    DlgExportCsv(const std::string& from, const std::string& to, QWidget* parent = nullptr);

    bool Entries() const;
    std::string From() const;
    std::string To() const;

    QRadioButton* EntriesButton() const { return entries_; }
    QRadioButton* DailyButton() const { return daily_; }
    QDateEdit* FromEdit() const { return from_; }
    QDateEdit* ToEdit() const { return to_; }
    QLabel* ErrorLabel() const { return error_; }

    void accept() override;

private:
    QRadioButton* entries_ = nullptr;
    QRadioButton* daily_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QLabel* error_ = nullptr;
};
