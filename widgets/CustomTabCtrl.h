#pragma once

#include <QWidget>

#include <array>

class QTabBar;
class QToolButton;

// A strip of tabs along the bottom edge of a window, with buttons that move to the first,
// previous, next and last tab and one that asks to close the window.
//
// A selection the user makes is announced by selectionChanged; the owner may refuse it by putting
// the old selection back with SetCurSel, which never emits.
class CCustomTabCtrl : public QWidget {
    Q_OBJECT
public:
    // Button ids, as the owner names them when it sets their tool tips.
    enum Button { First = -1, Prev = -2, Next = -3, Last = -4, Close = -5 };

    explicit CCustomTabCtrl(QWidget* parent = nullptr);

    int InsertItem(int index, const QString& text);
    int GetItemCount() const;
    QString GetItemText(int index) const;
    int GetCurSel() const;
    // Selects without announcing; false for an index out of range.
    bool SetCurSel(int index);
    void SetButtonToolTip(Button button, const QString& text);
    QToolButton* ButtonAt(Button button) const;
    QTabBar* TabBar() const { return tabs_; }

signals:
    void selectionChanged(int index);
    void closeRequested();

private:
    void Select(int index);
    void UpdateButtons();

    QTabBar* tabs_ = nullptr;
    std::array<QToolButton*, 5> buttons_{};
};
