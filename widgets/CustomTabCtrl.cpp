#include "CustomTabCtrl.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>

namespace {

int Slot(CCustomTabCtrl::Button button) { return -static_cast<int>(button) - 1; }

// Small glyphs drawn for the buttons: "|<", "<", ">", ">|" and a cross.
QIcon ButtonIcon(CCustomTabCtrl::Button button, const QColor& color) {
    QIcon icon;
    for (int size : {12, 24}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 12.0, size / 12.0);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        auto triangle = [&](bool left, double x) {
            QPainterPath path;
            if (left) {
                path.moveTo(x + 4, 2.5);
                path.lineTo(x, 6);
                path.lineTo(x + 4, 9.5);
            } else {
                path.moveTo(x, 2.5);
                path.lineTo(x + 4, 6);
                path.lineTo(x, 9.5);
            }
            path.closeSubpath();
            p.drawPath(path);
        };
        switch (button) {
            case CCustomTabCtrl::First:
                p.drawRect(QRectF(2.5, 2.5, 1.5, 7));
                triangle(true, 4.5);
                break;
            case CCustomTabCtrl::Prev: triangle(true, 4); break;
            case CCustomTabCtrl::Next: triangle(false, 4); break;
            case CCustomTabCtrl::Last:
                triangle(false, 3);
                p.drawRect(QRectF(8, 2.5, 1.5, 7));
                break;
            case CCustomTabCtrl::Close: {
                QPen pen(color, 1.6, Qt::SolidLine, Qt::RoundCap);
                p.setPen(pen);
                p.drawLine(QPointF(3, 3), QPointF(9, 9));
                p.drawLine(QPointF(9, 3), QPointF(3, 9));
                break;
            }
        }
        p.end();
        icon.addPixmap(pm, QIcon::Normal);
        QPixmap disabled = pm;
        QPainter d(&disabled);
        d.setCompositionMode(QPainter::CompositionMode_SourceIn);
        d.fillRect(disabled.rect(), QColor(170, 170, 170));
        d.end();
        icon.addPixmap(disabled, QIcon::Disabled);
    }
    return icon;
}

}  // namespace

CCustomTabCtrl::CCustomTabCtrl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 2, 0);
    layout->setSpacing(0);

    tabs_ = new QTabBar(this);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    tabs_->setUsesScrollButtons(true);
    tabs_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(tabs_, 1, Qt::AlignTop);

    const QColor glyph = palette().color(QPalette::ButtonText);
    for (Button b : {First, Prev, Next, Last, Close}) {
        auto* button = new QToolButton(this);
        button->setAutoRaise(true);
        button->setIcon(ButtonIcon(b, glyph));
        button->setIconSize(QSize(12, 12));
        button->setFocusPolicy(Qt::NoFocus);
        if (b == Close) layout->addSpacing(6);
        layout->addWidget(button, 0, Qt::AlignVCenter);
        buttons_[static_cast<std::size_t>(Slot(b))] = button;
    }
    connect(ButtonAt(First), &QToolButton::clicked, this, [this] { Select(0); });
    connect(ButtonAt(Prev), &QToolButton::clicked, this, [this] { Select(GetCurSel() - 1); });
    connect(ButtonAt(Next), &QToolButton::clicked, this, [this] { Select(GetCurSel() + 1); });
    connect(ButtonAt(Last), &QToolButton::clicked, this, [this] { Select(GetItemCount() - 1); });
    connect(ButtonAt(Close), &QToolButton::clicked, this, &CCustomTabCtrl::closeRequested);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        UpdateButtons();
        emit selectionChanged(index);
    });
    UpdateButtons();
}

int CCustomTabCtrl::InsertItem(int index, const QString& text) {
    int at = 0;
    {
        // The first tab inserted becomes current by itself; that is not the user's choice.
        QSignalBlocker block(tabs_);
        at = tabs_->insertTab(index, text);
    }
    UpdateButtons();
    return at;
}

int CCustomTabCtrl::GetItemCount() const { return tabs_->count(); }
QString CCustomTabCtrl::GetItemText(int index) const { return tabs_->tabText(index); }
int CCustomTabCtrl::GetCurSel() const { return tabs_->currentIndex(); }

bool CCustomTabCtrl::SetCurSel(int index) {
    if (index < 0 || index >= tabs_->count()) return false;
    {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(index);
    }
    UpdateButtons();
    return true;
}

void CCustomTabCtrl::SetButtonToolTip(Button button, const QString& text) { ButtonAt(button)->setToolTip(text); }

QToolButton* CCustomTabCtrl::ButtonAt(Button button) const {
    return buttons_.at(static_cast<std::size_t>(Slot(button)));
}

void CCustomTabCtrl::Select(int index) {
    if (index < 0 || index >= tabs_->count() || index == tabs_->currentIndex()) return;
    tabs_->setCurrentIndex(index);  // announces through currentChanged
}

void CCustomTabCtrl::UpdateButtons() {
    const int cur = GetCurSel();
    const int count = GetItemCount();
    ButtonAt(First)->setEnabled(cur > 0);
    ButtonAt(Prev)->setEnabled(cur > 0);
    ButtonAt(Next)->setEnabled(cur >= 0 && cur < count - 1);
    ButtonAt(Last)->setEnabled(cur >= 0 && cur < count - 1);
}
