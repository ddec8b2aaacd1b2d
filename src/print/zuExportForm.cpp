#include "print/zuExportForm.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* Extensions[] = {".html", ".rtf", ".tex"};

} // namespace

TExportForm::TExportForm(const TCustomSrcEdit& editor, const std::string& fileName,
                         const std::vector<TSrcCustomHighlighter*>& highlighters, QWidget* parent)
    : QDialog(parent), FEditor(editor), FHighlighters(highlighters)
{
    setWindowTitle(QStringLiteral("Export"));
    for (TSrcCustomExporter* exporter : {static_cast<TSrcCustomExporter*>(&ExportHTML),
                                         static_cast<TSrcCustomExporter*>(&ExportRTF),
                                         static_cast<TSrcCustomExporter*>(&ExportTeX)}) {
        exporter->SetTitle("Untitled");
        exporter->SetUseBackground(false);
    }
    auto* layout = new QVBoxLayout(this);
    auto* header = new QLabel(QStringLiteral("<b>Export Syntax Highlighted Code</b>"), this);
    Comment = new QLabel(this);
    layout->addWidget(header);
    layout->addWidget(Comment);
    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* form = new QFormLayout(options);
    cmExportFormat = new QComboBox(options);
    cmExportFormat->addItems({QStringLiteral("HTML"), QStringLiteral("Rich Text Format (RTF)"), QStringLiteral("(La)TeX")});
    cmExportFormat->setToolTip(QStringLiteral("Select output format"));
    form->addRow(QStringLiteral("Export Format"), cmExportFormat);
    cmSyntaxScheme = new QComboBox(options);
    cmSyntaxScheme->setToolTip(QStringLiteral("Select the syntax highlighting scheme"));
    for (TSrcCustomHighlighter* h : FHighlighters) {
        std::string name = h->Name();
        std::replace(name.begin(), name.end(), '_', '+');
        cmSyntaxScheme->addItem(QStr(name));
    }
    const auto own = std::find(FHighlighters.begin(), FHighlighters.end(), editor.Highlighter());
    cmSyntaxScheme->setCurrentIndex(own == FHighlighters.end() ? -1 : static_cast<int>(own - FHighlighters.begin()));
    form->addRow(QStringLiteral("Syntax Scheme"), cmSyntaxScheme);
    auto* fileRow = new QHBoxLayout;
    edFileName = new QLineEdit(options);
    edFileName->setReadOnly(true);
    edFileName->setMinimumWidth(360);
    edFileName->setToolTip(QStringLiteral("Select the filename for exported code"));
    edFileName->setText(QStr(ChangeFileExt(ExpandFileName(fileName), Extensions[0])));
    BrowseButton = new QPushButton(QStringLiteral("..."), options);
    BrowseButton->setFixedWidth(32);
    fileRow->addWidget(edFileName, 1);
    fileRow->addWidget(BrowseButton);
    form->addRow(QStringLiteral("File Name"), fileRow);
    ckFile = new QCheckBox(QStringLiteral("Export To File"), options);
    ckFile->setToolTip(QStringLiteral("Export syntax highlighted code to specified file"));
    ckFile->setChecked(true);
    ckClipboard = new QCheckBox(QStringLiteral("Export To Clipboard"), options);
    ckClipboard->setToolTip(QStringLiteral("Export syntax highlighted code to clipboard"));
    form->addRow(ckFile);
    form->addRow(ckClipboard);
    layout->addWidget(options);
    auto* buttons = new QHBoxLayout;
    ExportButton = new QPushButton(QStringLiteral("Export"), this);
    ExportButton->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    buttons->addStretch();
    buttons->addWidget(ExportButton);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    for (QWidget* w : std::initializer_list<QWidget*>{cmExportFormat, cmSyntaxScheme, edFileName, ckFile, ckClipboard})
        w->installEventFilter(this);
    connect(cmExportFormat, &QComboBox::currentIndexChanged, this, [this](int index) { FormatChanged(index); });
    connect(BrowseButton, &QPushButton::clicked, this, [this] { Browse(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] {
        try {
            if (Export())
                accept();
        } catch (...) {
            HandleCurrentException();
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

TExportForm::~TExportForm() = default;

bool TExportForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* w = qobject_cast<QWidget*>(watched))
            Comment->setText(w->toolTip());
    return QDialog::eventFilter(watched, event);
}

void TExportForm::FormatChanged(int index)
{
    if (index >= 0 && index < 3)
        edFileName->setText(QStr(ChangeFileExt(StdStr(edFileName->text()), Extensions[index])));
}

void TExportForm::Browse()
{
    SaveDialog.Filter = ExportHTML.DefaultFilter() + "|" + ExportRTF.DefaultFilter() + "|" + ExportTeX.DefaultFilter() + "|";
    SaveDialog.FileName = StdStr(edFileName->text());
    if (SaveDialog.Execute(this) && !SaveDialog.Files.empty())
        edFileName->setText(QStr(SaveDialog.Files.front()));
}

TSrcCustomExporter& TExportForm::ChosenExporter()
{
    switch (cmExportFormat->currentIndex()) {
    case 1: return ExportRTF;
    case 2: return ExportTeX;
    default: return ExportHTML;
    }
}

bool TExportForm::Export()
{
    const std::string fileName = StdStr(edFileName->text());
    if (ckFile->isChecked() && FileExists(fileName) &&
        ShowMessageBox(Format("A file named %s already exists.\r\nDo you wish to overwrite it?", {fileName}),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (!ckFile->isChecked() && !ckClipboard->isChecked())
        return true;
    const int scheme = cmSyntaxScheme->currentIndex();
    if (scheme < 0 || scheme >= static_cast<int>(FHighlighters.size())) {
        ShowMessageBox("Select the syntax highlighting scheme", MB_OK | MB_ICONWARNING);
        return false;
    }
    TSrcCustomExporter& exporter = ChosenExporter();
    exporter.SetFont(&FEditor.Font());
    exporter.SetHighlighter(FHighlighters[static_cast<size_t>(scheme)]);
    exporter.SetDocumentMode(true);
    try {
        exporter.ExportLines(FEditor.Lines());
    } catch (const EAbort&) {
        ShowMessageBox("The document is empty: there is nothing to export", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (ckFile->isChecked())
        exporter.WriteToFile(fileName);
    if (ckClipboard->isChecked())
        exporter.PutOnClipboard();
    return true;
}
