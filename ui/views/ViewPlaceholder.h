#pragma once

#include "ViewBase.h"

class QLabel;

// The page a tab shows until its own view is built: the tab's name and the day the profile is on.
class CViewPlaceholder : public CViewBase {
    Q_OBJECT
public:
    explicit CViewPlaceholder(const QString& tabName, QWidget* parent = nullptr);

    const QString& TabName() const { return tabName_; }
    // The day line as last loaded, e.g. "Day: 2011-03-05".
    QString DayText() const;

protected:
    bool DoDataExchange(bool save) override;

private:
    QString tabName_;
    QLabel* day_ = nullptr;
};
