#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The start-up window: the program's picture, the step under way and a progress bar (0 to 50)
// while the food data loads.
class DLG_Logo : public QWidget {
    Q_OBJECT
public:
    explicit DLG_Logo(QWidget* parent = nullptr);

    void SetStatus(const QString& text);
    void SetProgress(int position);

    QString Status() const;
    int Progress() const;

private:
    void Flush();

    QLabel* picture_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

// The picture of the start-up window, with "Velmora, v <version>" written on it.
QPixmap SplashPicture(const QSize& size, const QString& versionLine);
