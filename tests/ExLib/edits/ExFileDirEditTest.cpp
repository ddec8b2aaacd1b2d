// File-name and folder edits in a dialog: names with blanks and quotes, invalid names, dropped
// files of any length, several folders, pasted line breaks, and the dialogs behind the button
// with the events around them.

#include "ExLib/run/dialogs/ExBrowseForFolder.h"
#include "ExLib/run/edits/ExFileDirEdit.h"

#include "support/TempDir.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct FileEditFixture : ::testing::Test {
    TempDir temp;
    TCustomForm dialog{nullptr};
    TExFilenameEdit* file = new TExFilenameEdit(&dialog, &dialog);
    TExDirectoryEdit* folder = new TExDirectoryEdit(&dialog, &dialog);

    FileEditFixture()
    {
        dialog.resize(400, 200);
        file->SetBounds(0, 0, 300, 21);
        folder->SetBounds(0, 30, 300, 21);
    }

    // Drops `names` on the edit as a drag from a file manager does.
    static void Drop(QWidget* target, const std::vector<std::string>& names)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& name : names)
            urls << QUrl::fromLocalFile(QString::fromStdString(name));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
};

} // namespace

TEST_F(FileEditFixture, NamesWithBlanksAreQuotedAndReadBackWithoutQuotes)
{
    file->SetFileName("/opt/Program Files/php/php.exe");
    EXPECT_EQ(file->Text(), "\"/opt/Program Files/php/php.exe\"");
    EXPECT_EQ(file->FileName(), "/opt/Program Files/php/php.exe");
    file->AddQuotes = false;
    file->SetFileName("/opt/Program Files/x");
    EXPECT_EQ(file->Text(), "/opt/Program Files/x");
}

TEST_F(FileEditFixture, ATypedPathWithBlanksIsNotCutAtItsFirstBlank)
{
    QTest::keyClicks(file, "/home/me/My Files/x");
    EXPECT_EQ(file->FileName(), "/home/me/My Files/x");
    // A quoted text is read as a command line: its first item.
    file->SetText("\"/home/me/My Files/x\" -f y");
    EXPECT_EQ(file->FileName(), "/home/me/My Files/x");
    file->SetText("   ");
    EXPECT_EQ(file->FileName(), "");
}

TEST_F(FileEditFixture, AnInvalidNameIsRefusedAndAnEmptyOneClears)
{
    file->SetText("kept");
    try {
        file->SetFileName("a?b");
        FAIL() << "no exception";
    } catch (const EComboEditError& e) {
        EXPECT_EQ(e.Message(), "Invalid file name - a?b");
    }
    EXPECT_EQ(file->Text(), "kept");
    file->SetFileName("");
    EXPECT_EQ(file->Text(), "");
}

TEST_F(FileEditFixture, AnExistingFolderReadsWithATrailingSeparatorOnlyWithQuotes)
{
    file->SetText(temp.Path());
    EXPECT_EQ(file->FileName(), temp.Path() + "/");
    file->AddQuotes = false;
    EXPECT_EQ(file->FileName(), temp.Path());
}

TEST_F(FileEditFixture, DroppedFilesFillTheEditWholeAndAMultiSelectEditListsThemAll)
{
    const std::string longName = temp.Path() + "/" + std::string(300, 'n') + ".txt";
    const std::vector<std::string> names = {temp.Write("a.gif", "x"), temp.Write("b.gif", "x"), longName};
    int drops = 0;
    file->OnDropFiles = [&](TObject*) { ++drops; };
    Drop(file, {longName, names[0]});
    EXPECT_EQ(file->FileName(), longName);
    EXPECT_EQ(file->Dialog().Files.Count(), 0);
    file->SetDialogOptions({ofHideReadOnly, ofAllowMultiSelect, ofPathMustExist, ofFileMustExist});
    Drop(file, names);
    EXPECT_EQ(file->FileName(), names[0]);
    ASSERT_EQ(file->Dialog().Files.Count(), 3);
    EXPECT_EQ(file->Dialog().Files[2], longName);
    EXPECT_EQ(drops, 2);

    // A folder edit takes the folder of a dropped file, and only the first name.
    folder->MultipleDirs = true;
    Drop(folder, names);
    EXPECT_EQ(folder->Text(), temp.Path() + "/");
}

TEST_F(FileEditFixture, APastedLineBreakCutsTheTextAndChangesItOnce)
{
    std::vector<std::string> changes;
    for (TExFileDirEdit* edit : std::vector<TExFileDirEdit*>{file, folder}) {
        changes.clear();
        edit->OnChange = [&](TObject* sender) { changes.push_back(static_cast<TExFileDirEdit*>(sender)->Text()); };
        QApplication::clipboard()->setText("a\r\nb");
        edit->Perform(WM_PASTE);
        EXPECT_EQ(edit->Text(), "a");
        EXPECT_EQ(changes, std::vector<std::string>{"a"});
    }
}

TEST_F(FileEditFixture, AFolderEditCollectsSeveralFolders)
{
    QDir(QString::fromStdString(temp.Path())).mkpath("a");
    QDir(QString::fromStdString(temp.Path())).mkpath("b");
    EXPECT_EQ(folder->DialogKind, TDirDialogKind::dkWin32);
    folder->MultipleDirs = true;
    folder->SetText(temp.File("a"));
    QTimer::singleShot(0, [&] {
        auto* window = dynamic_cast<TExBrowseWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->SelectedPath(), temp.File("a"));
        EXPECT_TRUE(window->HasNewFolderButton()); // sdAllowCreate: the new style
        EXPECT_TRUE(window->SelectPath(temp.File("b")));
        window->Confirm();
    });
    folder->InnerButtonClick();
    EXPECT_EQ(folder->Text(), temp.File("a") + ";" + temp.File("b"));
    EXPECT_EQ(folder->InitialDir, temp.File("b"));
    EXPECT_EQ(folder->LongFormText(), temp.File("a") + ";" + temp.File("b"));

    // A text that names no existing folder starts the browser at the root.
    folder->SetText(temp.File("missing"));
    QTimer::singleShot(0, [&] {
        auto* window = dynamic_cast<TExBrowseWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->SelectedPath(), "/");
        window->reject();
    });
    folder->InnerButtonClick();
    EXPECT_EQ(folder->Text(), temp.File("missing"));
}

TEST_F(FileEditFixture, TheEventsAroundTheDialogMayCancelOrChangeTheResult)
{
    int opened = 0;
    folder->OnBeforeDialog = [&](TObject*, std::string& name, bool& action) {
        EXPECT_EQ(name, "typed");
        action = false;
    };
    folder->SetText("typed");
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget()) {
            ++opened;
            QApplication::activeModalWidget()->close();
        }
    });
    folder->InnerButtonClick();
    QApplication::processEvents();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(folder->Text(), "typed");

    // The file dialog: the chosen name, quoted, unless the after-event discards it.
    const std::string chosen = temp.Write("with blank.php", "x");
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->selectFile(QString::fromStdString(chosen));
        QMetaObject::invokeMethod(box, "accept", Qt::DirectConnection);
    });
    std::string reported;
    file->OnAfterDialog = [&](TObject*, std::string& name, bool& action) {
        reported = name;
        EXPECT_TRUE(action);
    };
    file->SetText(temp.File("start.php"));
    file->InnerButtonClick();
    EXPECT_EQ(reported, chosen);
    EXPECT_EQ(file->Text(), "\"" + chosen + "\"");
    EXPECT_EQ(file->Dialog().InitialDir, temp.Path() + "/");
}

TEST(FileFilters, PipeSeparatedPairsBecomeNameFilters)
{
    EXPECT_EQ(NameFiltersOf("All Web Graphics|*.jpg;*.gif|PHP.INI|*.ini"),
              (QStringList{"All Web Graphics (*.jpg *.gif)", "PHP.INI (*.ini)"}));
    EXPECT_TRUE(NameFiltersOf("").isEmpty());
}
