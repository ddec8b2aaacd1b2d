// The image insert dialog: relative paths, the tag it builds and inserts, and the preview.

#include "experts/zuGraphicExpertForm.h"

#include "src/run/ShellTestSupport.h"

#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <sys/stat.h>

namespace {

const std::string Corpus = ZENTU_TEST_SOURCE_DIR "/../imageformats/corpus/files/";

struct TPathCase {
    const char* Document;
    const char* Image;
    const char* Expected;
};

TEST(GraphicExpert, RelativePaths)
{
    const TPathCase cases[] = {
        {"/site/pages/index.php", "/site/images/logo.png", "../images/logo.png"},
        {"/site/index.php", "/site/logo.png", "logo.png"},
        {"/site/a/b/index.php", "/other/x.gif", "../../../other/x.gif"},
        // paths are compared with their letter case
        {"/Site/index.php", "/site/logo.png", "../site/logo.png"},
        // an untitled document has no folder to start from
        {"Untitled1.php", "/pics/a.gif", "/pics/a.gif"},
    };
    for (const TPathCase& c : cases)
        EXPECT_EQ(RelativeImagePath(c.Document, c.Image), c.Expected) << c.Document << " " << c.Image;
    EXPECT_EQ(AltTextOf("../images/logo.png"), "logo.png");
}

TEST(GraphicExpert, SourceNeverNamesAFileSystemPath)
{
    const TPathCase cases[] = {
        {"/site/pages/index.php", "/site/images/logo.png", "../images/logo.png"},
        // what the box holds that is not a path from the root stays as typed
        {"/site/index.php", "images/logo.png", "images/logo.png"},
        {"/site/index.php", "http://example.com/a.png", "http://example.com/a.png"},
        // a document without a folder gets a URL that says the picture is a local file
        {"Untitled1.php", "/pics/a b.gif", "file:///pics/a%20b.gif"},
        {"", "/pics/a.gif", "file:///pics/a.gif"},
    };
    for (const TPathCase& c : cases)
        EXPECT_EQ(ImageSourceFor(c.Document, c.Image), c.Expected) << c.Document << " " << c.Image;
    EXPECT_EQ(AltTextOf("\"/a b/c d.png\""), "c d.png");
}

struct TTagCase {
    const char* Name;
    TImageTagValues Values;
    bool Lower;
    const char* Expected;
};

TEST(GraphicExpert, TagAttributesInOrder)
{
    const TTagCase cases[] = {
        {"Plain", {"../images/logo.png", 120, 60, 0, 0, 0, "logo.png", ""}, true,
         "<img src=\"../images/logo.png\" width=\"120\" height=\"60\" border=\"0\" alt=\"logo.png\">"},
        {"SpacingAndAlign", {"a.gif", 1, 2, 3, 5, 0, "a", "middle"}, true,
         "<img src=\"a.gif\" width=\"1\" height=\"2\" border=\"3\" alt=\"a\" hspace=\"5\" align=\"middle\">"},
        {"Vertical", {"a.gif", 1, 2, 0, 0, 4, "a", ""}, true,
         "<img src=\"a.gif\" width=\"1\" height=\"2\" border=\"0\" alt=\"a\" vspace=\"4\">"},
        {"UpperCase", {"Pics\\Logo.PNG", 1, 2, 0, 0, 0, "Logo", "top"}, false,
         "<IMG SRC=\"Pics/Logo.PNG\" WIDTH=\"1\" HEIGHT=\"2\" BORDER=\"0\" ALT=\"Logo\" ALIGN=\"top\">"},
        // the source and the alternate text are data, never markup
        {"Escaped", {"a&b\"c.png", 1, 1, 0, 0, 0, "x\" onerror=\"alert(1)<b>", ""}, true,
         "<img src=\"a&amp;b&quot;c.png\" width=\"1\" height=\"1\" border=\"0\" "
         "alt=\"x&quot; onerror=&quot;alert(1)&lt;b&gt;\">"},
    };
    for (const TTagCase& c : cases)
        EXPECT_EQ(BuildImageTag(c.Values, c.Lower), c.Expected) << c.Name;
}

struct GraphicExpertDialog : ShellTest {};

std::string TextOf(const TCodeEditorForm& document)
{
    std::string text = document.Editor()->GetAllText();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

TEST_F(GraphicExpertDialog, PreviewsAndInsertsTheTagReplacingTheSelection)
{
    Start();
    const std::string image = Dir.Write("work/images/tiled.tif", ReadWholeFile(Corpus + "rgb-tiled.tif"));
    TCodeEditorForm* document = Open(WriteWork("pages/index.php", "<p>old</p>"));
    document->Editor()->SelectAllText();
    TGraphicExpertForm dialog(document, Form.get());
    dialog.FileNameEdit->SetText(image);
    EXPECT_EQ(dialog.FileNameEdit->Text(), "../images/tiled.tif");
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 37);
    EXPECT_EQ(dialog.HeightEdit->IntValue(), 23);
    EXPECT_EQ(dialog.AltText->text().toStdString(), "tiled.tif");
    ASSERT_TRUE(dialog.Preview->pixmap().toImage().width() == 37);
    dialog.HSpaceEdit->SetIntValue(5);
    dialog.AlignEdit->setCurrentText(QStringLiteral("middle"));
    dialog.LowerCaseTags = [] { return true; };
    dialog.DoInsertImage();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(TextOf(*document), "<img src=\"../images/tiled.tif\" width=\"37\" height=\"23\" border=\"0\" "
                                          "alt=\"tiled.tif\" hspace=\"5\" align=\"middle\">");
}

TEST_F(GraphicExpertDialog, EachReaderAndThePlatformPreviewThroughContent)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("index.php", ""));
    for (const char* name : {"palette200.gif", "rgba8.png", "bilevel-g3.tif"}) {
        TGraphicExpertForm dialog(document, Form.get());
        dialog.FileNameEdit->SetText(WriteWork(name, ReadWholeFile(Corpus + name)));
        EXPECT_EQ(dialog.WidthEdit->IntValue(), 37) << name;
        EXPECT_EQ(dialog.FileNameEdit->Text(), name);
    }
    // a JPEG named .png is neither detected nor loadable by its extension: nothing changes
    QImage jpeg(4, 3, QImage::Format_RGB32);
    jpeg.fill(Qt::red);
    ASSERT_TRUE(jpeg.save(QString::fromStdString(Work("photo.jpg")), "JPEG"));
    QFile::copy(QString::fromStdString(Work("photo.jpg")), QString::fromStdString(Work("photo.png")));
    TGraphicExpertForm dialog(document, Form.get());
    dialog.FileNameEdit->SetText(Work("photo.png"));
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 0);
    EXPECT_EQ(dialog.AltText->text().toStdString(), "");
    // the same JPEG by its own extension previews through the platform's JPEG class
    dialog.FileNameEdit->SetText(Work("photo.jpg"));
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 4);
    EXPECT_EQ(dialog.AltText->text().toStdString(), "photo.jpg");
}

TEST_F(GraphicExpertDialog, ARefusedPictureSaysWhyAndClearsWhatThePreviousOneFilledIn)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("pages/index.php", ""));
    const std::string good = WriteWork("images/logo.png", ReadWholeFile(Corpus + "rgb8.png"));
    const std::string refused = WriteWork("images/fax.tif", ReadWholeFile(Corpus + "bilevel-g4.unsupported.tif"));
    TGraphicExpertForm dialog(document, Form.get());
    dialog.FileNameEdit->SetText(good);
    ASSERT_EQ(dialog.WidthEdit->IntValue(), 37);
    EXPECT_TRUE(dialog.SourceMessage->text().isEmpty());
    dialog.FileNameEdit->SetText(refused);
    EXPECT_EQ(dialog.SourceMessage->text().toStdString(),
              "Unable to show " + refused + ": Cannot load image. The compression scheme is not supported for TIF/TIFF files.");
    EXPECT_TRUE(dialog.SourceMessage->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 0);
    EXPECT_EQ(dialog.HeightEdit->IntValue(), 0);
    EXPECT_EQ(dialog.AltText->text().toStdString(), "");
    EXPECT_TRUE(dialog.Preview->pixmap().isNull());
    EXPECT_EQ(dialog.Picture.Graphic(), nullptr);
    // OK still inserts the chosen picture, named from the document's folder
    dialog.LowerCaseTags = [] { return true; };
    dialog.DoInsertImage();
    EXPECT_EQ(TextOf(*document), "<img src=\"../images/fax.tif\" width=\"0\" height=\"0\" border=\"0\" alt=\"\">");
    // a good picture afterwards takes the message away
    TGraphicExpertForm again(document, Form.get());
    again.FileNameEdit->SetText(refused);
    again.FileNameEdit->SetText(good);
    EXPECT_TRUE(again.SourceMessage->text().isEmpty());
    EXPECT_FALSE(again.SourceMessage->isVisibleTo(&again));
}

TEST_F(GraphicExpertDialog, APipeIsRefusedWithoutWaitingForAWriter)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("index.php", ""));
    const std::string pipe = Work("picture.png");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    TGraphicExpertForm dialog(document, Form.get());
    dialog.FileNameEdit->SetText(pipe);
    EXPECT_EQ(dialog.SourceMessage->text().toStdString(), "Unable to show " + pipe + ": not a regular file");
}

TEST_F(GraphicExpertDialog, TypingAPathPreviewsThePicture)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("index.php", ""));
    const std::string image = WriteWork("logo.png", ReadWholeFile(Corpus + "rgb8-interlaced.png"));
    TGraphicExpertForm dialog(document, Form.get());
    dialog.show();
    QTest::keyClicks(dialog.FileNameEdit, QString::fromStdString(image));
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 37);
    EXPECT_EQ(dialog.FileNameEdit->Text(), "logo.png");
}

TEST_F(GraphicExpertDialog, TypingAtAnOrdinaryPaceKeepsEveryKey)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("pages/index.php", ""));
    const std::string image = WriteWork("images/photo-of-the-site.png", ReadWholeFile(Corpus + "rgb8.png"));
    WriteWork("images/photo-other.png", "x");
    WriteWork("images/picture.png", "x");
    TGraphicExpertForm dialog(document, Form.get());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.FileNameEdit->setFocus();
    // why: the completion list opens and closes between keys typed at this pace
    QTest::keyClicks(dialog.FileNameEdit, QString::fromStdString(image), Qt::NoModifier, 40);
    EXPECT_EQ(dialog.FileNameEdit->Text(), "../images/photo-of-the-site.png");
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 37);
}

TEST_F(GraphicExpertDialog, InsertImageCommandOpensTheDialogAndCancelInsertsNothing)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("index.php", "text"));
    bool shown = false;
    Form->ModalHook = [&](QDialog& dialog) {
        shown = dynamic_cast<TGraphicExpertForm*>(&dialog) != nullptr;
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(Form->acInsertGraphics->isEnabled());
    Form->acInsertGraphics->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(TextOf(*document), "text");
}

} // namespace
