#pragma once
// TEnvironmentOptionsForm: "Environment Options", where the PHP interpreter, its php.ini and
// the PHP manual are, which extensions count as PHP, the built-in server's port, time-out and
// default documents, and the address, document root and logs of another web server. "&Apply"
// gives the values to the running program (moving a running server to a new port), writes
// them to the main settings file and closes; "&Cancel" changes nothing.

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class TExDirectoryEdit;
class TExFilenameEdit;
class TExPageControl;
class TExSpinEdit;
class TJvgWizardHeader;

class TEnvironmentOptionsForm : public QDialog {
public:
    // Shows the values in use: the environment record, the editor module's PHP highlighter,
    // the server module (or the settings file without one) and the settings file.
    explicit TEnvironmentOptionsForm(QWidget* parent = nullptr);
    ~TEnvironmentOptionsForm() override;

    TJvgWizardHeader* HeaderPanel = nullptr;
    TExPageControl* PageControl = nullptr;
    TExFilenameEdit* edCGIExecutable = nullptr;
    TExFilenameEdit* edHelpFile = nullptr;
    QLineEdit* edFilter = nullptr;
    TExFilenameEdit* edPHPIniFile = nullptr;
    TExSpinEdit* edServerPort = nullptr;
    TExSpinEdit* edTimeOut = nullptr;
    QLineEdit* edIndexFiles = nullptr;
    QLineEdit* edServerURL = nullptr;
    TExDirectoryEdit* edServerPath = nullptr;
    TExFilenameEdit* edAccessLog = nullptr;
    TExFilenameEdit* edErrorLog = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The header's comment line: the hint of the field that has the focus.
    std::string HeaderComment() const;

    // "&Apply": gives, writes and closes with the result OK.
    void Apply();

private:
    void CreateControls();
    void LoadValues();
    void FocusChanged(QWidget* now);

    // The fields with their hints, for the header.
    std::vector<std::pair<QWidget*, const char*>> FHints;
    QMetaObject::Connection FFocusConnection;
};
