#include "DlgLogo.h"

#include "Version.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QRadialGradient>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kWidth = 490;
constexpr int kPictureHeight = 350;

void Leaf(QPainter& p, QPointF base, double length, double angleDeg, const QColor& color) {
    p.save();
    p.translate(base);
    p.rotate(angleDeg);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.cubicTo(length * 0.3, -length * 0.32, length * 0.75, -length * 0.3, length, 0);
    leaf.cubicTo(length * 0.75, length * 0.3, length * 0.3, length * 0.32, 0, 0);
    QLinearGradient shade(0, -length * 0.3, 0, length * 0.3);
    shade.setColorAt(0, color.lighter(125));
    shade.setColorAt(1, color.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(leaf);
    p.setPen(QPen(color.darker(140), length / 45.0));
    p.drawLine(QPointF(length * 0.05, 0), QPointF(length * 0.9, 0));
    p.restore();
}

void Slice(QPainter& p, QPointF center, double r, const QColor& rind, const QColor& flesh) {
    p.setPen(Qt::NoPen);
    p.setBrush(rind);
    p.drawEllipse(center, r, r);
    p.setBrush(flesh);
    p.drawEllipse(center, r * 0.86, r * 0.86);
    p.setPen(QPen(rind.lighter(130), r * 0.05));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(center, center + QPointF(std::cos(a) * r * 0.8, std::sin(a) * r * 0.8));
    }
}

}  // namespace

QPixmap SplashPicture(const QSize& size, const QString& versionLine) {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double w = size.width(), h = size.height();

    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, QColor(22, 78, 72));
    sky.setColorAt(1, QColor(12, 44, 52));
    p.fillRect(QRectF(0, 0, w, h), sky);

    // A plate seen from above, off to the right, with greens and citrus on it.
    const QPointF plate(w * 0.76, h * 0.60);
    const double pr = h * 0.34;
    QRadialGradient shadow(plate + QPointF(6, 10), pr * 1.1);
    shadow.setColorAt(0.85, QColor(0, 0, 0, 90));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(plate + QPointF(6, 10), pr * 1.1, pr * 1.1);
    QRadialGradient china(plate - QPointF(pr * 0.3, pr * 0.3), pr * 1.4);
    china.setColorAt(0, QColor(255, 255, 252));
    china.setColorAt(1, QColor(214, 222, 220));
    p.setBrush(china);
    p.drawEllipse(plate, pr, pr);
    p.setPen(QPen(QColor(200, 210, 208), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(plate, pr * 0.74, pr * 0.74);

    Leaf(p, plate + QPointF(-pr * 0.55, pr * 0.15), pr * 0.85, -35, QColor(76, 153, 70));
    Leaf(p, plate + QPointF(-pr * 0.45, pr * 0.35), pr * 0.75, -5, QColor(104, 170, 60));
    Leaf(p, plate + QPointF(-pr * 0.2, pr * 0.55), pr * 0.6, -60, QColor(58, 128, 78));
    Slice(p, plate + QPointF(pr * 0.28, -pr * 0.28), pr * 0.26, QColor(236, 160, 30), QColor(250, 206, 96));
    Slice(p, plate + QPointF(pr * 0.42, pr * 0.12), pr * 0.2, QColor(206, 70, 60), QColor(238, 120, 100));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 60, 140));
    for (const QPointF& d : {QPointF(0.05, 0.0), QPointF(-0.06, -0.08), QPointF(0.0, -0.17), QPointF(-0.13, 0.02)})
        p.drawEllipse(plate + d * pr, pr * 0.065, pr * 0.065);

    // The name and what the program is for.
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(static_cast<int>(h * 0.13));
    p.setFont(title);
    p.setPen(QColor(244, 240, 226));
    p.drawText(QPointF(w * 0.06, h * 0.44), QStringLiteral("Velmora"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(static_cast<int>(h * 0.048));
    p.setFont(sub);
    p.setPen(QColor(186, 214, 200));
    p.drawText(QPointF(w * 0.065, h * 0.53), QStringLiteral("Personal diet log"));
    p.setPen(QPen(QColor(236, 160, 30), 2));
    p.drawLine(QPointF(w * 0.065, h * 0.475), QPointF(w * 0.28, h * 0.475));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(230, 236, 232));
    p.drawText(QPointF(300, 25), versionLine);
    p.end();
    return pm;
}

DLG_Logo::DLG_Logo(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(QStringLiteral("Velmora"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    picture_ = new QLabel(this);
    picture_->setPixmap(SplashPicture(QSize(kWidth, kPictureHeight),
                                      QStringLiteral("Velmora, v %1").arg(QString::fromLatin1(GetProgramVersion()))));
    layout->addWidget(picture_);

    auto* footer = new QWidget(this);
    footer->setAutoFillBackground(true);
    QPalette pal = footer->palette();
    pal.setColor(QPalette::Window, QColor(12, 44, 52));
    pal.setColor(QPalette::WindowText, QColor(214, 228, 222));
    footer->setPalette(pal);
    auto* footerLayout = new QVBoxLayout(footer);
    footerLayout->setContentsMargins(12, 6, 12, 8);
    footerLayout->setSpacing(4);
    status_ = new QLabel(footer);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    status_->setMinimumWidth(1);
    footerLayout->addWidget(status_);
    progress_ = new QProgressBar(footer);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 50);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(8);
    footerLayout->addWidget(progress_);
    layout->addWidget(footer);

    setFixedWidth(kWidth);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void DLG_Logo::SetStatus(const QString& text) {
    // Long paths are shortened in the middle, so the window keeps its size.
    status_->setText(status_->fontMetrics().elidedText(text, Qt::ElideMiddle, kWidth - 24));
    status_->setToolTip(text);
    Flush();
}

void DLG_Logo::SetProgress(int position) {
    progress_->setValue(position);
    Flush();
}

QString DLG_Logo::Status() const { return status_->toolTip(); }
int DLG_Logo::Progress() const { return progress_->value(); }

void DLG_Logo::Flush() {
    // Loading runs on this thread, so the window is drawn now rather than when loading ends.
    if (isVisible()) repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
