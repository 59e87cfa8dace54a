#include "DragList.h"

#include <QDropEvent>

CDragList::CDragList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The drop moves the text itself; a move action would make the view remove the dragged item
    // a second time when the drag ends.
    setDefaultDropAction(Qt::CopyAction);
}

int CDragList::DropIndexAt(const QPoint& viewportPoint) const {
    if (!viewport()->rect().contains(viewportPoint)) return -1;
    const QModelIndex index = indexAt(viewportPoint);
    if (!index.isValid()) return count();
    const QRect rect = visualRect(index);
    return viewportPoint.y() >= rect.center().y() ? index.row() + 1 : index.row();
}

void CDragList::DropItem(int oldIndex, int dropIndex) {
    if (oldIndex >= 0 && oldIndex < count() && dropIndex >= 0 && dropIndex <= count()) {
        const int target = oldIndex < dropIndex ? dropIndex - 1 : dropIndex;
        if (target != oldIndex) {
            QListWidgetItem* moved = takeItem(oldIndex);
            insertItem(target, moved);
            setCurrentRow(target);
        }
    }
    emit itemDropped(dropIndex, oldIndex);
}

void CDragList::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDragList::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() != this) {
        event->ignore();
        return;
    }
    QListWidget::dragMoveEvent(event);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CDragList::dropEvent(QDropEvent* event) {
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int oldIndex = currentRow();
    const int dropIndex = DropIndexAt(event->position().toPoint());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    DropItem(oldIndex, dropIndex);
}
