#pragma once

#include <QDialog>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace Config {
class ConfigManager;
class Param;
}  // namespace Config
namespace Settings {
class CSettingsMgr;
}

// "Velmora Settings": every registered settings section with its writable parameters as rows of
// controls chosen by type. It knows no particular setting: choices and editors come from the
// sections. Exit writes the rows back and offers to save; any other way out discards.
class DlgSettings : public QDialog {
    Q_OBJECT
public:
    // Builds the rows of one section's parameters, tracking which control shows which parameter.
    class ConfigUIBuilder {
    public:
        // The controls of one parameter's row; those the type does not use stay null.
        struct Row {
            Config::Param* param = nullptr;
            Config::ConfigManager* section = nullptr;
            QLabel* label = nullptr;
            QLineEdit* edit = nullptr;
            QCheckBox* check = nullptr;
            QComboBox* choice = nullptr;
            QLabel* info = nullptr;
            QPushButton* button = nullptr;  // "..." or "View/Modify"
            // Where the row stands, so that entries a list's editor adds go below it.
            QWidget* page = nullptr;
            QGridLayout* grid = nullptr;
            int depth = 0;
        };

        // Adds the rows of the section's parameters to `page`. std::logic_error for a parameter
        // of no known type.
        void AddSection(Config::ConfigManager& section, QWidget* page, QGridLayout* grid);
        // "a.b" for the parameter b under a.
        const Row* Find(const std::string& path) const;
        // Writes every changed row into its parameter and marks the section modified.
        void WriteBack();
        // The rows in the order they were made.
        const std::vector<std::string>& Paths() const { return order_; }

    private:
        void AddParam(Config::Param& param, int depth);
        Row& NewRow(Config::Param& param, const std::string& path);
        void OnButton(const std::string& path);

        std::map<std::string, Row> rows_;
        std::vector<std::string> order_;
        std::string prefix_;
        Config::ConfigManager* section_ = nullptr;
        QWidget* page_ = nullptr;
        QGridLayout* grid_ = nullptr;
        int nextRow_ = 0;
        bool editorChanged_ = false;
        friend class DlgSettings;
    };

    // std::logic_error when a section holds a parameter that cannot be shown.
    DlgSettings(Settings::CSettingsMgr& settings, std::string appDir, QWidget* parent = nullptr);
    ~DlgSettings() override;

    QTreeWidget* Tree() const { return tree_; }
    QStackedWidget* Pages() const { return pages_; }
    QPushButton* ExitButton() const { return exit_; }
    QPushButton* HelpButton() const { return help_; }
    const ConfigUIBuilder& Builder() const { return *builder_; }

    void OnExit();
    void reject() override;

private:
    Settings::CSettingsMgr& settings_;
    std::string appDir_;
    std::unique_ptr<ConfigUIBuilder> builder_;
    QTreeWidget* tree_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QPushButton* exit_ = nullptr;
    QPushButton* help_ = nullptr;
};
