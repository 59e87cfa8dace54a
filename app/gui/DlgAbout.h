#pragma once

#include <QDialog>

class CHyperLink;

// "About Velmora": the product line and links to the company and its support address.
class DLG_About : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCompanyUrl = "https://www.orrindale.com";
    static constexpr const char* kSupportAddress = "support@orrindale.com";

    explicit DLG_About(QWidget* parent = nullptr);

    CHyperLink* CompanyLink() const { return company_; }
    CHyperLink* MailLink() const { return mail_; }

private:
    CHyperLink* company_ = nullptr;
    CHyperLink* mail_ = nullptr;
};
