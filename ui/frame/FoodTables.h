#pragma once

#include "AppContext.h"

#include <QObject>

#include <functional>

class CMyFoods;

namespace Gui {

// Tells every open food tree and profile that the user's own foods changed.
class CFoodTablesSignal : public QObject {
    Q_OBJECT
public:
    static CFoodTablesSignal& Instance();

signals:
    void myFoodsChanged();
};

// Runs a change to the user's own foods (`change` answers whether it changed anything). Food
// searches read the food tables from worker threads, so they are stopped first; afterwards every
// open food tree, search and profile sees the new foods.
bool ChangeMyFoods(const CAppContext& app, const std::function<bool(CMyFoods&)>& change);

}  // namespace Gui
