#pragma once

#include "ViewBase.h"

#include "ui/web/WebControlBase.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

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
    // Frames the refused fields (id, reason) in red and says why; clears the frames and the word
    // of an earlier refusal once the fields are taken.
    void ShowRefusals(const std::vector<std::pair<std::string, std::string>>& refusals);

    QSplitter* splitter_ = nullptr;
    CWebControlBase* page_ = nullptr;
    QTextEdit* notes_ = nullptr;
    // The last rendering got the person's data onto the page.
    bool pageHoldsData_ = false;
    // Fields of the page on show are framed as refused.
    bool marked_ = false;
};
