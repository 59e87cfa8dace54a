#include "support/RunningApp.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewIngredients.h"
#include "ui/views/ViewNutrients.h"
#include "widgets/ReportList.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

bool EditsText(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// Where the key is typed on a tab: inside the page on the two page tabs, else the first widget of
// the view that takes the focus and edits no text.
QWidget* FocusTarget(CViewBase* view) {
    if (auto* page = view->findChild<QWebEngineView*>()) return page->focusProxy() ? page->focusProxy() : page;
    QWidget* w = view->nextInFocusChain();
    while (w && w != view &&
           !(view->isAncestorOf(w) && w->isVisible() && w->focusPolicy() & Qt::TabFocus && !EditsText(w)))
        w = w->nextInFocusChain();
    return w && w != view ? w : view;
}

// Runs a script in the page and waits for its answer.
QString RunInPage(QWebEngineView* page, const QString& script) {
    // The answer may come after a timeout, when this function has returned.
    auto answer = std::make_shared<std::pair<bool, QString>>();
    page->page()->runJavaScript(script, [answer](const QVariant& result) { *answer = {true, result.toString()}; });
    if (!QTest::qWaitFor([&] { return answer->first; }, 5000)) return {};
    return answer->second;
}

// Puts the page's focus on its first drop-down, where the browser engine still claims keys such
// as Ctrl+C for itself though no text is edited; answers the field's tag and id.
QString FocusFirstList(QWebEngineView* page) {
    return RunInPage(page, QStringLiteral("(function() {"
                                          "  var field = document.querySelector('select');"
                                          "  if (!field) return '';"
                                          "  field.focus();"
                                          "  return document.activeElement.tagName + '#' + document.activeElement.id;"
                                          "})()"));
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
        if (auto* page = frame->GetActiveView()->findChild<QWebEngineView*>()) field = FocusFirstList(page);
        return QApplication::focusWidget();
    }

    // The window's key actions record what they would run instead of running it: a real Open or
    // Save As would wait for a person in its dialog.
    void RecordKeyCommands() {
        for (QAction* action : run.Main().actions()) {
            if (action->shortcut().isEmpty()) continue;
            QObject::disconnect(action, &QAction::triggered, &run.Main(), nullptr);
            QObject::connect(action, &QAction::triggered, &run.Main(),
                             [this, action] { ran.push_back(static_cast<CommandId>(action->data().toInt())); });
        }
    }

    RunningApp run;
    CVelmoraDoc* doc = nullptr;
    CChildFrameBase* frame = nullptr;
    QString field;  // the page's field with the focus
    std::vector<CommandId> ran;
};

TEST_F(Shortcuts, EveryKeyAMenuShowsRunsItsCommandOnEveryTabPagesIncluded) {
    ASSERT_NE(doc, nullptr);
    std::vector<MenuKey> keys;
    for (int menus : {CMainFrame::kNoProfile, CMainFrame::kProfile})
        for (const QMenu* menu : run.Main().Menus(menus)) CollectMenuKeys(menu, keys);
    ASSERT_GE(keys.size(), 9u);

    RecordKeyCommands();

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
    ASSERT_EQ(field, QStringLiteral("SELECT#ddlDay"));
    run.Main().UpdateCommandUI();

    QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), doc->CopyText());
    EXPECT_FALSE(QApplication::clipboard()->text().isEmpty());

    // F1 brings up the help.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.shell.opened[0].find("/help/reference/index.htm"), std::string::npos);
}

// A text field of a tab, holding "123" with the focus in it: the widget the keys are typed into
// and what the field holds.
struct TextField {
    QWidget* keys = nullptr;
    std::function<QString()> text;
};

// In a text field the keys that edit text edit it, though the window has commands on some of
// them (Ctrl+A Save As, Ctrl+C Copy, Ctrl+Z Undo), which the menus still offer meanwhile.
TEST_F(Shortcuts, InATextFieldTheEditingKeysEditItsText) {
    ASSERT_NE(doc, nullptr);
    ASSERT_FALSE(doc->DayFoods().empty());
    doc->SetFoodWeight(0, doc->DayFoods()[0].weight + 1);  // something to undo
    RecordKeyCommands();
    auto tabOf = [this](const std::string& name) {
        for (int tab = 0; tab < frame->TabCount(); ++tab)
            if (frame->TabName(tab) == name) return tab;
        return -1;
    };

    const std::vector<std::pair<std::string, std::function<TextField()>>> fields = {
        {"Personal's height",
         [&] {
             EXPECT_TRUE(frame->SelectTab(tabOf("Personal")));
             auto* page = frame->GetActiveView()->findChild<QWebEngineView*>();
             QWidget* keys = page->focusProxy() ? page->focusProxy() : page;
             keys->setFocus(Qt::OtherFocusReason);
             RunInPage(page, QStringLiteral("var h = document.getElementById('Height');"
                                            "h.value = '123'; h.focus(); h.setSelectionRange(3, 3); true"));
             return TextField{
                 keys, [page] { return RunInPage(page, QStringLiteral("document.getElementById('Height').value")); }};
         }},
        {"the food search box",
         [&] {
             EXPECT_TRUE(frame->SelectTab(tabOf("Food")));
             QLineEdit& box = static_cast<CViewIngredients*>(frame->GetActiveView())->SearchBox();
             box.setText(QStringLiteral("123"));
             box.setFocus(Qt::OtherFocusReason);
             return TextField{&box, [&box] { return box.text(); }};
         }},
        {"a limit being typed on the Nutrients tab",
         [&] {
             EXPECT_TRUE(frame->SelectTab(tabOf("Nutrients")));
             CReportList* list = static_cast<CViewNutrients*>(frame->GetActiveView())->NutrientList();
             int row = 0;
             while (row < list->rowCount() && !list->IsCellEditable(row, 2)) ++row;
             EXPECT_LT(row, list->rowCount());
             list->setFocus(Qt::OtherFocusReason);
             list->setCurrentCell(row, 2);
             list->editItem(list->item(row, 2));
             auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->currentIndex()));
             EXPECT_NE(editor, nullptr);
             if (!editor) return TextField{};
             editor->setText(QStringLiteral("123"));
             editor->setFocus(Qt::OtherFocusReason);
             return TextField{editor, [editor] { return editor->text(); }};
         }},
    };

    for (const auto& [name, open] : fields) {
        SCOPED_TRACE(name);
        const TextField field = open();
        ASSERT_NE(field.keys, nullptr);
        QTest::qWait(20);
        ran.clear();
        QApplication::clipboard()->clear();
        auto typed = [&](const char* wanted) {
            return QTest::qWaitFor([&] { return field.text() == QLatin1String(wanted); }, 3000);
        };
        QTest::keyClick(field.keys, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field.keys, "9");
        EXPECT_TRUE(typed("9")) << field.text().toStdString();
        QTest::keyClick(field.keys, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(typed("123")) << field.text().toStdString();
        QTest::keyClick(field.keys, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field.keys, Qt::Key_C, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::clipboard()->text() == QLatin1String("123"); }, 3000));
        QTest::keyClick(field.keys, Qt::Key_X, Qt::ControlModifier);
        EXPECT_TRUE(typed(""));
        QTest::keyClick(field.keys, Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(typed("123"));
        EXPECT_EQ(ran, std::vector<CommandId>{});
        run.Main().UpdateCommandUI();
        EXPECT_TRUE(run.Main().IsCommandEnabled(CommandId::EditUndo));
        EXPECT_TRUE(run.Main().IsCommandEnabled(CommandId::FileSaveAs));
    }
}

}  // namespace
