#include "ViewPlaceholder.h"

#include "ui/frame/VelmoraDoc.h"

#include "model/LogDay.h"

#include <QLabel>
#include <QVBoxLayout>

CViewPlaceholder::CViewPlaceholder(const QString& tabName, QWidget* parent) : CViewBase(parent), tabName_(tabName) {
    setObjectName(QStringLiteral("view") + tabName);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* title = new QLabel(tabName_, this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    day_ = new QLabel(this);
    day_->setAlignment(Qt::AlignCenter);
    layout->addStretch(2);
    layout->addWidget(title);
    layout->addSpacing(8);
    layout->addWidget(day_);
    layout->addStretch(3);
}

QString CViewPlaceholder::DayText() const { return day_->text(); }

bool CViewPlaceholder::DoDataExchange(bool save) {
    if (save) return true;
    QString text;
    if (CVelmoraDoc* doc = GetDocument()) {
        const std::string& key = doc->CurrentDate();
        if (key.size() == 8)
            text = QStringLiteral("Day: %1-%2-%3")
                       .arg(QString::fromStdString(key.substr(0, 4)), QString::fromStdString(key.substr(4, 2)),
                            QString::fromStdString(key.substr(6, 2)));
    }
    day_->setText(text);
    return true;
}
