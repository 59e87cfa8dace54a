#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class DlgCopyFoods;
class QPixmap;

class CVelmoraApp;
namespace Gui {
class DlgFoodEditor;
}

// Pictures of the program for people to look at: the main window with no profile open, then the
// given profile with each of its tabs on show, one PNG file each. Runs inside the event loop and
// ends it, with 0 when every picture was written.
class CScreenshotRunner : public QObject {
    Q_OBJECT
public:
    CScreenshotRunner(CVelmoraApp& app, QString outDir, QString profile);
    ~CScreenshotRunner() override;

    void Start();

private:
    void Next();
    bool Grab(const QString& name);
    // Writes NAME.png into the folder and answers its path; on failure ends the run with a
    // message and answers nothing.
    QString SavePicture(const QPixmap& picture, const QString& name);
    void Finish(int code, const QString& message = {});

    CVelmoraApp& app_;
    QString outDir_;
    QString profile_;
    std::vector<std::function<bool()>> steps_;
    std::size_t step_ = 0;
    std::unique_ptr<Gui::DlgFoodEditor> editor_;
    std::unique_ptr<DlgCopyFoods> copyDialog_;
};
