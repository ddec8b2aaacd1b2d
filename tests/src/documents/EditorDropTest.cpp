// Files dropped on a document's editor, from the explorer or another program: a file opens as a
// document, a folder or a file that is gone is reported, and data that names no file changes
// nothing.

#include "src/run/ShellTestSupport.h"

#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The explorer's file list, with the data of its drags open to the test.
class TDraggingList : public TShellExplorerListview {
public:
    using TShellExplorerListview::TShellExplorerListview;
    std::unique_ptr<QMimeData> DragData()
    {
        std::unique_ptr<QMimeData> data;
        FireCreateDataObject(data);
        return data;
    }
};

struct EditorDrop : ShellTest {
    // Drags the data over the active document's editor and drops it there, as Qt delivers a drag
    // of another program; whether anything took the drop.
    bool DropOnEditor(const QMimeData& data)
    {
        QWidget* target = Form->ActiveEditor()->viewport();
        const QPoint at(60, 30);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), actions, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QApplication::processEvents();
        return drop.isAccepted();
    }
    // What file managers put into a drag of files: their URLs and their paths as text.
    static std::unique_ptr<QMimeData> FilesData(const std::vector<std::string>& paths)
    {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        QStringList text;
        for (const std::string& path : paths) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
            text.push_back(QString::fromStdString(path));
        }
        data->setUrls(urls);
        data->setText(text.join('\n'));
        return data;
    }
};

} // namespace

TEST_F(EditorDrop, FilesDroppedOnTheEditorOpenAsDocumentsAndTheTextStaysAsItWas)
{
    Start();
    Open(WriteWork("edited.php", "<?php echo 1;"));
    const std::string first = WriteWork("my file #1 100%.php", "<?php echo 2;");
    const std::string second = WriteWork("ünïcödé.css", "body {}");
    EXPECT_TRUE(DropOnEditor(*FilesData({first, second})));
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"edited.php", "my file #1 100%.php", "ünïcödé.css"}));
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), second);
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "body {}");
    Form->BringDocumentToFront(Form->Documents().front());
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "<?php echo 1;") << "nothing was inserted";
}

TEST_F(EditorDrop, AFileDraggedFromTheExplorerOpensAsADocument)
{
    Start();
    Open(WriteWork("edited.php", "<?php echo 1;"));
    const std::string dragged = WriteWork("site/page #2.php", "<?php echo 3;");
    TDraggingList list;
    list.SetActive(true);
    list.SetRootFolderCustomPath(QString::fromStdString(Work("site")));
    PLazyNode row = list.HiddenRoot()->ChildHead;
    ASSERT_NE(row, nullptr);
    list.SetNodeSelected(row, true);
    std::unique_ptr<QMimeData> data = list.DragData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasText()) << "the drag also carries text, which must not go into the document";
    EXPECT_TRUE(DropOnEditor(*data));
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"edited.php", "page #2.php"}));
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "<?php echo 3;");
    Form->BringDocumentToFront(Form->Documents().front());
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "<?php echo 1;");
}

TEST_F(EditorDrop, AFolderOrAMissingFileDroppedIsReportedAndOpensNothing)
{
    Start();
    Open(WriteWork("edited.php", "<?php echo 1;"));
    WriteWork("sub/inside.php", "");
    for (const std::string& path : {Work("sub"), Work("gone.php")}) {
        SCOPED_TRACE(path);
        Questions.clear();
        Answers = {IDOK};
        DropOnEditor(*FilesData({path}));
        EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Document " + path + " not found"});
        EXPECT_EQ(TabTexts(), std::vector<std::string>{"edited.php"});
        EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "<?php echo 1;");
    }
}

TEST_F(EditorDrop, DataThatNamesNoLocalFileOpensNothing)
{
    Start();
    Open(WriteWork("edited.php", "<?php echo 1;"));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/index.php"))});
    DropOnEditor(remote);
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"edited.php"});
    EXPECT_EQ(Form->ActiveEditor()->GetAllText(), "<?php echo 1;");
}
