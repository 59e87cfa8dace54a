#include "support/RunningApp.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>

namespace {

using Gui::CommandId;

struct MenuKey {
    QKeySequence keys;
    CommandId id;
    QString item;
};

// The keys the menus write beside their items ("&Copy\tCtrl+C"), with the item's command.
void CollectMenuKeys(const QMenu* menu, std::vector<MenuKey>& out) {
    for (const QAction* a : menu->actions()) {
        if (a->menu()) {
            CollectMenuKeys(a->menu(), out);
            continue;
        }
        const qsizetype tab = a->text().indexOf('\t');
        if (tab < 0) continue;
        out.push_back({QKeySequence(a->text().mid(tab + 1)), static_cast<CommandId>(a->data().toInt()), a->text()});
    }
}

bool InsidePage(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (qobject_cast<const QWebEngineView*>(widget)) return true;
    return false;
}

// Where the key is typed on a tab: inside the page on the two page tabs, else the widget that
// takes the focus first in the view.
QWidget* FocusTarget(CViewBase* view) {
    if (auto* page = view->findChild<QWebEngineView*>()) return page->focusProxy() ? page->focusProxy() : page;
    QWidget* w = view->nextInFocusChain();
    while (w && w != view && !(view->isAncestorOf(w) && w->isVisible() && w->focusPolicy() & Qt::TabFocus))
        w = w->nextInFocusChain();
    return w && w != view ? w : view;
}

// Puts the page's focus on its first field, where the browser engine claims editing keys for
// itself; answers the field's tag and id.
QString FocusFirstField(QWebEngineView* page) {
    // The answer may come after a timeout, when this function has returned.
    auto answer = std::make_shared<std::pair<bool, QString>>();
    page->page()->runJavaScript(
        QStringLiteral("(function() {"
                       "  var field = document.querySelector('input:not([type=hidden]), select, textarea');"
                       "  if (!field) return '';"
                       "  field.focus();"
                       "  return document.activeElement.tagName + '#' + document.activeElement.id;"
                       "})()"),
        [answer](const QVariant& result) {
            *answer = {true, result.toString()};
        });
    if (!QTest::qWaitFor([&] { return answer->first; }, 5000)) return {};
    return answer->second;
}

class Shortcuts : public ::testing::Test {
protected:
    Shortcuts() {
        EXPECT_TRUE(run.Start());
        doc = run.App().DocManager()->OpenDocumentFile(run.AddProfile("Ann", "Ann"));
        frame = run.Main().ActiveChildFrame();
        run.Main().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&run.Main()));
    }

    // Puts the focus where a key is typed on tab `tab`; answers that widget.
    QWidget* FocusOn(int tab) {
        EXPECT_TRUE(frame->SelectTab(tab));
        QWidget* target = FocusTarget(frame->GetActiveView());
        target->setFocus(Qt::OtherFocusReason);
        QTest::qWait(20);
        if (auto* page = frame->GetActiveView()->findChild<QWebEngineView*>()) field = FocusFirstField(page);
        return QApplication::focusWidget();
    }

    RunningApp run;
    CVelmoraDoc* doc = nullptr;
    CChildFrameBase* frame = nullptr;
    QString field;  // the page's field with the focus
};

TEST_F(Shortcuts, EveryKeyAMenuShowsRunsItsCommandOnEveryTabPagesIncluded) {
    ASSERT_NE(doc, nullptr);
    std::vector<MenuKey> keys;
    for (int menus : {CMainFrame::kNoProfile, CMainFrame::kProfile})
        for (const QMenu* menu : run.Main().Menus(menus)) CollectMenuKeys(menu, keys);
    ASSERT_GE(keys.size(), 9u);

    // The window's key actions report what they would run instead of running it: a real Open or
    // Save As would wait for a person in its dialog.
    std::vector<CommandId> ran;
    for (QAction* action : run.Main().actions()) {
        if (action->shortcut().isEmpty()) continue;
        QObject::disconnect(action, &QAction::triggered, &run.Main(), nullptr);
        QObject::connect(action, &QAction::triggered, &run.Main(),
                         [&ran, action] { ran.push_back(static_cast<CommandId>(action->data().toInt())); });
    }

    for (int tab = 0; tab < frame->TabCount(); ++tab) {
        QWidget* focus = FocusOn(tab);
        ASSERT_NE(focus, nullptr) << frame->TabName(tab);
        EXPECT_EQ(InsidePage(focus), tab < 2) << frame->TabName(tab) << " " << focus->metaObject()->className();
        for (const MenuKey& key : keys) {
            // Whether a command can run now (Paste needs an empty day, Copy a full one) is the
            // commands' own matter; here every key must reach its command.
            for (QAction* action : run.Main().CommandActions(key.id)) action->setEnabled(true);
            ran.clear();
            QTest::keyClick(QApplication::focusWidget(), key.keys[0].key(), key.keys[0].keyboardModifiers());
            EXPECT_EQ(ran, std::vector<CommandId>{key.id})
                << key.item.toStdString() << " on the " << frame->TabName(tab) << " tab, focus in "
                << focus->metaObject()->className() << " " << field.toStdString();
        }
    }
}

TEST_F(Shortcuts, NoTwoCommandsShareAKeyAndNoKeyTakesAMenuLetter) {
    std::map<QString, QString> owner;
    for (const QAction* action : run.Main().findChildren<QAction*>()) {
        for (const QKeySequence& keys : action->shortcuts()) {
            auto [it, added] = owner.emplace(keys.toString(), action->objectName());
            EXPECT_TRUE(added) << keys.toString().toStdString() << ": " << it->second.toStdString() << " and "
                               << action->objectName().toStdString();
        }
    }
    for (int menus : {CMainFrame::kNoProfile, CMainFrame::kProfile})
        for (const QMenu* menu : run.Main().Menus(menus)) {
            const qsizetype amp = menu->title().indexOf('&');
            if (amp < 0) continue;
            const QString alt = QKeySequence(QStringLiteral("Alt+") + menu->title().at(amp + 1).toUpper()).toString();
            EXPECT_EQ(owner.count(alt), 0u) << alt.toStdString() << " opens " << menu->title().toStdString();
        }
}

TEST_F(Shortcuts, KeysTypedInsideAPageRunTheCommandsForReal) {
    ASSERT_NE(doc, nullptr);
    QApplication::clipboard()->clear();
    QWidget* focus = FocusOn(0);
    ASSERT_TRUE(InsidePage(focus));
    ASSERT_EQ(field, QStringLiteral("INPUT#FirstName"));
    run.Main().UpdateCommandUI();

    QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), doc->CopyText());
    EXPECT_FALSE(QApplication::clipboard()->text().isEmpty());

    // F1 brings up the help.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.shell.opened[0].find("/help/reference/index.htm"), std::string::npos);
}

}  // namespace
