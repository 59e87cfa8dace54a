#pragma once

#include "ui/commands/CommandTarget.h"

#include "document/viewmodel/TypedNumber.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class CVelmoraDoc;
class QTableWidget;

// A view of a profile: one tab of its window. It holds no data of its own; it moves data between
// the document and its controls, in the load direction when it is shown or the document asks it
// to refresh, and in the save direction when the user leaves it and before any command runs.
class CViewBase : public QWidget, public Gui::CCommandTarget {
    Q_OBJECT
public:
    explicit CViewBase(QWidget* parent = nullptr);

    CVelmoraDoc* GetDocument() const { return document_; }
    void SetDocument(CVelmoraDoc* document) { document_ = document; }

    // save = true stores the controls' contents in the document and answers false, leaving the
    // controls as they are, when they don't validate; save = false shows the document's data.
    bool UpdateData(bool save = true);

    // The first display after the view was made; loads the controls.
    virtual void OnInitialUpdate();
    // The document changed; loads the controls again.
    virtual void OnUpdate();

    // The meal of the entry the user has selected in this view, for the commands that work on a
    // meal; nullopt where the view selects no entry.
    virtual std::optional<std::string> SelectedMeal() const { return std::nullopt; }

    // A word to the user that needs no answer (why a typed text was not taken), in the status bar
    // of the main window the view is in; nowhere when it is in none.
    void ShowStatusMessage(const std::string& text);
    // Takes a word of ShowStatusMessage off the status bar once what it was about is mended;
    // another message on show stays.
    void ClearStatusMessage();

    // Hands a text typed into a cell to `store`. A refused text stays in the cell, marked with
    // the reason until corrected, and the status bar says why; an accepted one clears the mark.
    CellStore StoreTypedCell(QTableWidget& table, int row, int column, const QString& text,
                             const std::function<CellStore(const std::string& typed)>& store);

signals:
    // Asks for a command as if the user chose it: whichever part of the program answers it runs it.
    void commandRequested(Gui::CommandId id);

protected:
    virtual bool DoDataExchange(bool save) = 0;

private:
    CVelmoraDoc* document_ = nullptr;
};
