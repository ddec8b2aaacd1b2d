#pragma once
// TExportForm: "Export" writes the active document, coloured by a chosen highlighter, as an
// HTML, RTF or TeX document to a file and/or the clipboard.

#include "app/zuDialogs.h"

#include "SrcEdit/Source/export/SrcEditExportHTML.h"
#include "SrcEdit/Source/export/SrcEditExportRTF.h"
#include "SrcEdit/Source/export/SrcEditExportTeX.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TCustomSrcEdit;
class TSrcCustomHighlighter;

class TExportForm : public QDialog {
public:
    // `highlighters` in component order; the editor's own one is chosen at first.
    TExportForm(const TCustomSrcEdit& editor, const std::string& fileName,
                const std::vector<TSrcCustomHighlighter*>& highlighters, QWidget* parent = nullptr);
    ~TExportForm() override;

    TSrcExporterHTML ExportHTML;
    TSrcExporterRTF ExportRTF;
    TSrcExporterTeX ExportTeX;

    QComboBox* cmExportFormat = nullptr;
    QComboBox* cmSyntaxScheme = nullptr;
    QLineEdit* edFileName = nullptr;
    QPushButton* BrowseButton = nullptr;
    QCheckBox* ckFile = nullptr;
    QCheckBox* ckClipboard = nullptr;
    QPushButton* ExportButton = nullptr;
    QLabel* Comment = nullptr;
    TFileDialog SaveDialog{TFileDialog::TKind::dkSave};

    // The "Export" button: false when the dialog stays open.
    bool Export();
    TSrcCustomExporter& ChosenExporter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormatChanged(int index);
    void Browse();

    const TCustomSrcEdit& FEditor;
    std::vector<TSrcCustomHighlighter*> FHighlighters;
};
