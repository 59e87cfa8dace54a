#pragma once

#include <QListWidget>

// A list whose items the user puts in order by dragging one onto another place of the list. The
// list moves the item's text itself and then tells where it came from and where it was dropped.
class CDragList : public QListWidget {
    Q_OBJECT
public:
    explicit CDragList(QWidget* parent = nullptr);

    // Where a drop at this point of the viewport lands: before the item under it (after it when
    // the point lies in the item's lower half), the item count below the last item, -1 outside.
    int DropIndexAt(const QPoint& viewportPoint) const;
    // Moves the item at `oldIndex` before the item at `dropIndex` (one place earlier when moving
    // down) and reports the drop. A drop index of -1 moves nothing but is still reported.
    void DropItem(int oldIndex, int dropIndex);

signals:
    void itemDropped(int dropIndex, int oldIndex);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
