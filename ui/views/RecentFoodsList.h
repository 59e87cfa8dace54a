#pragma once

#ifndef Q_MOC_RUN
#include "refdata/FoodKey.h"
#endif

#include <QString>
#include <QTreeWidget>

#include <optional>
#include <vector>

// Foods to log again, under headings. A double click or Enter on a food asks for it to be logged;
// one click only selects it, so a click that merely brings the window forward logs nothing. A
// click on its star, Space or "*" asks to star or unstar it. The owner decides what that does and
// gives the rows again; a heading does nothing and the keys pass over it.
class CRecentFoodsList : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { kStar = 0, kName, kLast, kColumnCount };

    struct Row {
        // A heading when not empty; the other fields then don't count.
        QString heading;
        FoodKey food;
        QString name;
        // How much of it a click logs, e.g. "1 cup".
        QString last;
        QString tip;
        bool favourite = false;
    };

    explicit CRecentFoodsList(QWidget* parent = nullptr);

    // The food that was current stays current when it is still there. After a click on a star,
    // rows that come while the pointer stays over the list only change their stars: the new order
    // waits until the pointer leaves, so the row under it is still the one the user aimed at.
    void SetRows(const std::vector<Row>& rows);
    QTreeWidgetItem* ItemOfFood(const FoodKey& food) const;
    std::optional<FoodKey> FoodOfItem(const QTreeWidgetItem* item) const;

signals:
    void foodChosen(int key, int source);
    void starToggled(int key, int source);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Fill(const std::vector<Row>& rows);
    void SetStar(QTreeWidgetItem* item, bool favourite);
    // Shows the rows held back while the pointer was over the list.
    void Release();
    void OnClicked(QTreeWidgetItem* item, int column);
    void OnDoubleClicked(QTreeWidgetItem* item, int column);

    // Set by a click on a star until the pointer leaves: the rows keep their places meanwhile.
    bool holdOrder_ = false;
    std::optional<std::vector<Row>> held_;
};
