#include "experts/zuGraphicExpertForm.h"

#include "common/zuFunctions.h"
#include "documents/zuCodeEditorForm.h"
#include "settings/zuSettings.h"

#include "imageformats/common/FileFormatList.h"

#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/text/Format.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

std::vector<std::string> Segments(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

std::string EscapeHtml(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string RelativeImagePath(const std::string& documentFile, const std::string& imageFile)
{
    // why: Linux paths have no drives; an untitled document has no folder to start from.
    if (documentFile.empty() || documentFile[0] != '/' || imageFile.empty() || imageFile[0] != '/')
        return imageFile;
    std::vector<std::string> document = Segments(documentFile);
    document.pop_back();
    const std::vector<std::string> image = Segments(imageFile);
    std::size_t shared = 0;
    while (shared < document.size() && shared + 1 < image.size() && document[shared] == image[shared])
        ++shared;
    std::string relative;
    for (std::size_t i = shared; i < document.size(); ++i)
        relative += "../";
    for (std::size_t i = shared; i < image.size(); ++i)
        relative += image[i] + (i + 1 < image.size() ? "/" : "");
    return relative;
}

std::string ImageSourceFor(const std::string& documentFile, const std::string& boxText)
{
    if (boxText.empty() || boxText[0] != '/')
        return boxText;
    if (!documentFile.empty() && documentFile[0] == '/')
        return RelativeImagePath(documentFile, boxText);
    return QUrl::fromLocalFile(QString::fromStdString(boxText)).toString(QUrl::FullyEncoded).toStdString();
}

std::string AltTextOf(const std::string& boxText)
{
    std::string name = boxText.substr(boxText.rfind('/') == std::string::npos ? 0 : boxText.rfind('/') + 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    else
        std::erase(name, '"');
    return name;
}

std::string BuildImageTag(const TImageTagValues& values, bool lowerCase)
{
    std::string source = values.Source;
    std::replace(source.begin(), source.end(), '\\', '/');
    std::string tag = Format("<img src=\"%s\" width=\"%d\" height=\"%d\" border=\"%d\" alt=\"%s\"",
                             {EscapeHtml(source), values.Width, values.Height, values.Border, EscapeHtml(values.Alt)});
    if (values.HSpace > 0)
        tag = Format("%s hspace=\"%d\"", {tag, values.HSpace});
    if (values.VSpace > 0)
        tag = Format("%s vspace=\"%d\"", {tag, values.VSpace});
    if (!values.Align.empty())
        tag = Format("%s align=\"%s\"", {tag, values.Align});
    tag += ">";
    return ChangeTagCase(tag, lowerCase);
}

TGraphicExpertForm::TGraphicExpertForm(TCodeEditorForm* document, QWidget* parent)
    : QDialog(parent, Qt::Tool), FDocument(document)
{
    setWindowTitle(QStringLiteral("Insert Image"));
    LowerCaseTags = [] { return !SettingsFile || Settings::General::TagCase.Read(*SettingsFile) == 0; };

    FileNameEdit = new TExFilenameEdit(nullptr, this);
    FileNameEdit->SetDialogKind(TFileDialogKind::dkOpenPicture);
    FileNameEdit->SetFilter("All Web Graphics|*.jpg;*.jpeg;*.jpe;*.jfif;*.gif;*.png;*.bmp;*.tiff;*.tif");
    FileNameEdit->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect, ofPathMustExist, ofFileMustExist});
    FileNameEdit->AddQuotes = false;
    FileNameEdit->OnChange = [this](TObject*) { FileNameEditChange(); };
    auto* sourceLabel = new QLabel(QStringLiteral("&Image Source"), this);
    sourceLabel->setBuddy(FileNameEdit);

    auto* attributes = new QGroupBox(QStringLiteral("Image Attributes"), this);
    auto* form = new QFormLayout(attributes);
    AltText = new QLineEdit(attributes);
    HeightEdit = MakeSpinEdit();
    WidthEdit = MakeSpinEdit();
    HSpaceEdit = MakeSpinEdit();
    VSpaceEdit = MakeSpinEdit();
    BorderEdit = MakeSpinEdit();
    AlignEdit = new QComboBox(attributes);
    AlignEdit->addItems({QStringLiteral("bottom"), QStringLiteral("left"), QStringLiteral("middle"),
                         QStringLiteral("right"), QStringLiteral("top")});
    AlignEdit->setCurrentIndex(-1);
    form->addRow(QStringLiteral("&Alternate Text"), AltText);
    form->addRow(QStringLiteral("&Height"), HeightEdit);
    form->addRow(QStringLiteral("&Width"), WidthEdit);
    form->addRow(QStringLiteral("&Horizontal Spacing"), HSpaceEdit);
    form->addRow(QStringLiteral("&Vertical Spacing"), VSpaceEdit);
    form->addRow(QStringLiteral("&Border Size"), BorderEdit);
    form->addRow(QStringLiteral("&Alignment"), AlignEdit);

    auto* scroll = new QScrollArea(this);
    Preview = new QLabel(scroll);
    Preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setWidget(Preview);
    scroll->setMinimumSize(260, 220);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { DoInsertImage(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    SourceMessage = new QLabel(this);
    SourceMessage->setWordWrap(true);
    SourceMessage->setTextFormat(Qt::PlainText);
    SourceMessage->hide();

    auto* left = new QVBoxLayout;
    left->addWidget(sourceLabel);
    left->addWidget(FileNameEdit);
    left->addWidget(SourceMessage);
    left->addWidget(attributes);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(scroll, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    resize(640, 360);
}

TGraphicExpertForm::~TGraphicExpertForm() = default;

TExSpinEdit* TGraphicExpertForm::MakeSpinEdit()
{
    auto* edit = new TExSpinEdit(nullptr, this);
    edit->SetMinValue(0);
    edit->SetMaxValue(65535);
    edit->SetAlignment(TAlignment::taCenter);
    edit->SetIntValue(0);
    return edit;
}

std::string TGraphicExpertForm::DocumentFile() const
{
    return FDocument ? FDocument->FileName() : std::string();
}

void TGraphicExpertForm::ShowRefusal(const std::string& file, const std::string& reason)
{
    Picture.SetGraphic(nullptr);
    Preview->setPixmap(QPixmap());
    Preview->resize(1, 1);
    HeightEdit->SetIntValue(0);
    WidthEdit->SetIntValue(0);
    AltText->clear();
    SourceMessage->setText(QString::fromStdString(Format("Unable to show %s: %s", {file, reason})));
    SourceMessage->show();
}

void TGraphicExpertForm::FileNameEditChange()
{
    if (FSettingPath)
        return;
    const std::string file = FileNameEdit->FileName();
    SourceMessage->clear();
    SourceMessage->hide();
    std::error_code error;
    const auto type = std::filesystem::status(file, error).type();
    // why: a path being typed names no file or a folder on its way to one
    if (file.empty() || error || type == std::filesystem::file_type::not_found ||
        type == std::filesystem::file_type::directory)
        return;
    // why: opening a pipe or a device for reading would wait for a writer that never comes
    if (type != std::filesystem::file_type::regular) {
        ShowRefusal(file, "not a regular file");
        return;
    }
    try {
        InitImgLibFormats();
        if (const TGraphicClass cls = FileFormatList()->GraphicClassOfFile(file)) {
            std::unique_ptr<TGraphic> image = cls->Create();
            image->LoadFromFile(file);
            Picture.SetGraphic(image.get());
        } else {
            Picture.LoadFromFile(file);
        }
    } catch (const std::exception& e) {
        ShowRefusal(file, e.what());
        return;
    }
    const QImage shown = Picture.Graphic() ? Picture.Graphic()->ToQImage() : QImage();
    Preview->setPixmap(QPixmap::fromImage(shown));
    Preview->resize(std::max(1, Picture.Width()), std::max(1, Picture.Height()));
    // why: showing the relative path is not a new choice of file
    FSettingPath = true;
    FileNameEdit->SetText(RelativeImagePath(DocumentFile(), file));
    FSettingPath = false;
    HeightEdit->SetIntValue(Picture.Height());
    WidthEdit->SetIntValue(Picture.Width());
    AltText->setText(QString::fromStdString(AltTextOf(FileNameEdit->Text())));
}

void TGraphicExpertForm::DoInsertImage()
{
    TImageTagValues values;
    values.Source = ImageSourceFor(DocumentFile(), FileNameEdit->Text());
    values.Width = WidthEdit->IntValue();
    values.Height = HeightEdit->IntValue();
    values.Border = BorderEdit->IntValue();
    values.HSpace = HSpaceEdit->IntValue();
    values.VSpace = VSpaceEdit->IntValue();
    values.Alt = AltText->text().toStdString();
    if (AlignEdit->currentIndex() >= 0)
        values.Align = AlignEdit->currentText().toStdString();
    const std::string tag = BuildImageTag(values, LowerCaseTags());
    if (FDocument && FDocument->Editor())
        FDocument->Editor()->SetSelectedText(tag);
    accept();
}
