#pragma once

#include "ViewBase.h"

#include "ui/web/WebControlBase.h"

#include <QString>

class CPersonalData;
class CVelmoraDoc;
class QSplitter;
class QTextEdit;

// The "Personal" tab: the person's data in a page, with the notes below it. The page is
// rendered again at every refresh, so what the user typed reaches the profile only through the
// save direction, which runs when the tab is left and before every command.
class CViewPersonal : public CViewBase {
    Q_OBJECT
public:
    explicit CViewPersonal(QWidget* parent = nullptr);
    ~CViewPersonal() override;

    void OnInitialUpdate() override;

    CWebControlBase& Page() { return *page_; }
    QTextEdit& Notes() { return *notes_; }

    // The body mass index as the page first shows it: "NaN" without a height.
    static QString BmiText(const CPersonalData& person);

protected:
    bool DoDataExchange(bool save) override;

private:
    // The save direction proper: the page's fields into the person, in one call.
    void TakePage(CVelmoraDoc& doc);

    QSplitter* splitter_ = nullptr;
    CWebControlBase* page_ = nullptr;
    QTextEdit* notes_ = nullptr;
    // The last rendering got the person's data onto the page.
    bool pageHoldsData_ = false;
};
