#pragma once
// TGraphicExpertForm: the "Insert Image" dialog. The user picks a picture; the dialog previews
// it, fills in its width, height and an alternate text, and OK inserts an HTML img tag into the
// active document at the caret, its source written relative to the document's folder and the
// tag in the letter case of the settings. PNG, GIF and TIFF files are recognised by their
// content and load through the system's own readers, other pictures by their extension.

#include "Platform/graphics/Picture.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class TCodeEditorForm;
class TExFilenameEdit;
class TExSpinEdit;

// The image's path relative to the document's file: the leading folders both share are dropped,
// each remaining folder of the document adds "../". A document without a folder of its own
// (untitled, or not a local file) keeps the full path.
std::string RelativeImagePath(const std::string& documentFile, const std::string& imageFile);

// What the tag's src holds for the box's text: an absolute path becomes relative to a document
// that has a folder of its own; for one without (untitled, or not a local file) it becomes a
// file URL, since a bare file-system path would name a place on the web server.
std::string ImageSourceFor(const std::string& documentFile, const std::string& boxText);

// The name part of a file-name box's text, without enclosing double quotes.
std::string AltTextOf(const std::string& boxText);

struct TImageTagValues {
    std::string Source;
    int Width = 0, Height = 0, Border = 0, HSpace = 0, VSpace = 0;
    std::string Alt;
    std::string Align;
};

// <img src="..." width=".." height=".." border=".." alt="..."[ hspace][ vspace][ align]> with
// backslashes of the source turned into slashes and the source and alternate text escaped for
// HTML, in upper case outside the quoted values unless `lowerCase`.
std::string BuildImageTag(const TImageTagValues& values, bool lowerCase);

class TGraphicExpertForm : public QDialog {
public:
    // The document that receives the tag; its file name anchors the relative path.
    explicit TGraphicExpertForm(TCodeEditorForm* document, QWidget* parent = nullptr);
    ~TGraphicExpertForm() override;

    TExFilenameEdit* FileNameEdit = nullptr;
    QLineEdit* AltText = nullptr;
    TExSpinEdit* HeightEdit = nullptr;
    TExSpinEdit* WidthEdit = nullptr;
    TExSpinEdit* HSpaceEdit = nullptr;
    TExSpinEdit* VSpaceEdit = nullptr;
    TExSpinEdit* BorderEdit = nullptr;
    QComboBox* AlignEdit = nullptr;
    QLabel* Preview = nullptr;
    // Why the chosen file shows no picture; empty while there is nothing to say.
    QLabel* SourceMessage = nullptr;
    TPicture Picture;

    // The box's change: preview the chosen file, then the relative path, the size and the
    // alternate text. A file that cannot be shown says so and clears the preview, the size and
    // the alternate text; a path that names no file yet (typing) changes nothing.
    void FileNameEditChange();
    // OK: the tag replaces the selection of the document's editor, then the dialog closes.
    void DoInsertImage();
    // Whether tags are written in lower case ([General] TagCase 0); read when OK is pressed.
    std::function<bool()> LowerCaseTags;

private:
    TExSpinEdit* MakeSpinEdit();
    void ShowRefusal(const std::string& file, const std::string& reason);
    std::string DocumentFile() const;

    TCodeEditorForm* FDocument;
    bool FSettingPath = false;
};
