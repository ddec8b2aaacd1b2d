// The Search Results window on its own: each scope, the dialog's parameters and the repeat,
// the hits grouped by file, expanding, the keys and the mouse, opening a hit, Esc during a
// search, and files that could not be searched.

#include "search/zuExFindForm.h"
#include "search/zuSearchResultForm.h"
#include "search/zuSearchResultTree.h"

#include "settings/zentuIniFiles.h"

#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "support/TempDir.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

class FakeHost : public TSearchResultHost {
public:
    bool ActiveDocument(TDocument& document) const override
    {
        if (!Active)
            return false;
        document = *Active;
        return true;
    }
    std::vector<TDocument> OpenDocuments() const override { return Documents; }
    std::string WordAtCaret() const override { return Word; }
    std::string ProjectFolder() const override { return Project; }
    std::string DefaultSearchFolder() const override { return DefaultFolder; }
    TIniFileEx* Settings() const override { return Ini; }
    void OpenFileAtLine(const std::string& fileName, int line) override { Opened.emplace_back(fileName, line); }
    int ShowModal(QDialog& dialog) override
    {
        ++Dialogs;
        if (!Modal) {
            ADD_FAILURE() << "unexpected dialog";
            return QDialog::Rejected;
        }
        return Modal(dialog);
    }
    void ShowResultWindow(TSearchResultForm& window) override
    {
        ++Shown;
        window.show();
    }

    std::optional<TDocument> Active;
    std::vector<TDocument> Documents;
    std::string Word;
    std::string Project;
    std::string DefaultFolder;
    TIniFileEx* Ini = nullptr;
    std::function<int(QDialog&)> Modal;
    std::vector<std::pair<std::string, int>> Opened;
    int Dialogs = 0;
    int Shown = 0;
};

class SearchResultFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(600, 300);
        Host.DefaultFolder = Dir.Path();
    }

    // The next dialogs answer with these choices; `accept` false cancels.
    void Answer(std::function<void(TExFindForm&)> fill, bool accept = true)
    {
        Host.Modal = [fill, accept](QDialog& dialog) {
            auto& form = dynamic_cast<TExFindForm&>(dialog);
            fill(form);
            if (accept)
                form.accept();
            else
                form.reject();
            return form.result();
        };
    }
    // A folder search for `text` in the temporary folder.
    void AnswerFolder(const std::string& text, const std::string& masks = "*.php", bool recurse = true)
    {
        Answer([=, this](TExFindForm& form) {
            form.cmPattern->setEditText(QString::fromStdString(text));
            form.cmPath->setText(QString::fromStdString(Dir.Path()));
            form.cmExtensions->setText(QString::fromStdString(masks));
            form.ckbxSubDirs->setChecked(recurse);
        });
    }
    void AnswerScope(const std::string& text, int scope)
    {
        Answer([=](TExFindForm& form) {
            form.cmPattern->setEditText(QString::fromStdString(text));
            form.SetScope(scope);
        });
    }

    // The rows as the list shows them: a file row by its path relative to the temporary folder
    // ("+" or "-" before it), a hit row by its line number and line.
    std::vector<std::string> RowTexts()
    {
        std::vector<std::string> texts;
        for (PLazyNode node : Form.ResultList->Rows()) {
            if (Form.ResultList->IsFileRow(node)) {
                const TSearchResults* file = Form.ResultList->FileOf(node);
                std::string name = file->FileName;
                if (name.rfind(Dir.Path() + "/", 0) == 0)
                    name = name.substr(Dir.Path().size() + 1);
                texts.push_back((file->Expanded ? "- " : "+ ") + name);
            } else {
                const TSearchResult* hit = Form.ResultList->HitOf(node);
                texts.push_back(std::to_string(hit->LineNo) + ": " + hit->Line);
            }
        }
        return texts;
    }

    PLazyNode Row(size_t index)
    {
        const std::vector<PLazyNode> rows = Form.ResultList->Rows();
        return index < rows.size() ? rows[index] : nullptr;
    }
    QPoint RowPoint(size_t index)
    {
        const TRect r = Form.ResultList->NodeDisplayRect(Row(index), NoColumn, false);
        return QPoint(r.Left + 100, (r.Top + r.Bottom) / 2);
    }

    TempDir Dir;
    FakeHost Host;
    TSearchResultForm Form{nullptr, &Host};
};

} // namespace

TEST_F(SearchResultFormTest, HitsOfOneFileAreShownAtOnce)
{
    Dir.Write("sub/one.php", "<?php\n  $needle = 1;\n\techo $needle;\n");
    Dir.Write("other.php", "nothing here\n");
    AnswerFolder("needle");
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"- sub/one.php", "2:   $needle = 1;", "3: \techo $needle;"}));
    EXPECT_EQ(Form.ResultList->SelectedRow(), Row(0));
    EXPECT_FALSE(Form.Busy());
    EXPECT_EQ(Host.Shown, 1);
}

TEST_F(SearchResultFormTest, FilesWithHitsAreListedCollapsedAndOrderedByPath)
{
    Dir.Write("b.php", "needle");
    Dir.Write("A/z.php", "Needle\nneedle");
    Dir.Write("c.php", "no");
    Dir.Write("a.inc", "needle");
    AnswerFolder("needle", "*.php;*.PHP");
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ A/z.php", "+ b.php"}));
    const std::vector<TSearchResults*> files = Form.ResultList->Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0]->Hits.size(), 2u);
    // Case-insensitive: the line as the searcher held it, folded.
    EXPECT_EQ(files[0]->Hits[0].Line, "needle");
}

TEST_F(SearchResultFormTest, TheDialogSuppliesTheParametersAndRefreshRepeatsThem)
{
    Dir.Write("a.php", "needle");
    // Cancelled, or without a text or a folder: nothing is searched.
    AnswerFolder("needle");
    Answer([](TExFindForm& form) { form.cmPattern->setEditText("needle"); }, false);
    Form.StartSearch(false);
    Answer([](TExFindForm& form) { form.cmPattern->setEditText(""); });
    Form.StartSearch(false);
    Answer([](TExFindForm& form) {
        form.cmPattern->setEditText("needle");
        form.cmPath->setText("");
    });
    Form.StartSearch(false);
    EXPECT_FALSE(Form.GrepSettings.HaveParameters);
    // Refresh without stored parameters asks as well.
    Form.StartSearch(true);
    EXPECT_EQ(Host.Dialogs, 4);
    EXPECT_TRUE(RowTexts().empty());

    AnswerFolder("needle");
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts().size(), 2u);
    EXPECT_TRUE(Form.GrepSettings.HaveParameters);
    Dir.Write("b.php", "needle");
    Form.acRefresh->trigger();
    EXPECT_EQ(Host.Dialogs, 5);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ a.php", "+ b.php"}));
    // A cancelled search leaves the results as they were.
    Answer([](TExFindForm&) {}, false);
    Form.acSearch->trigger();
    EXPECT_EQ(RowTexts().size(), 2u);
}

TEST_F(SearchResultFormTest, EachScopeSearchesItsFiles)
{
    const std::string one = Dir.Write("docs/one.php", "needle one");
    const std::string two = Dir.Write("docs/two.css", "needle two");
    Dir.Write("project/p.txt", "needle");
    Dir.Write("project/q", "needle");
    Dir.Write("folder/f.php", "needle");
    Dir.Write("folder/g.txt", "needle");

    Host.Active = TSearchResultHost::TDocument{two, true};
    AnswerScope("needle", TGrepSettings::gsCurrentFile);
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"- docs/two.css", "1: needle two"}));

    Host.Documents = {{one, true}, {"Untitled1.php", false}, {two, true}};
    AnswerScope("needle", TGrepSettings::gsOpenDocuments);
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ docs/one.php", "+ docs/two.css"}));
    EXPECT_TRUE(Form.StatusLabel->isVisibleTo(&Form));
    EXPECT_EQ(Form.StatusLabel->text().toStdString(), "1 file(s) could not be searched");
    EXPECT_NE(Form.StatusLabel->toolTip().toStdString().find("Untitled1.php"), std::string::npos);

    // The project's folder with every file when no mask is given.
    Host.Project = Dir.File("project");
    Answer([](TExFindForm& form) {
        form.cmPattern->setEditText("needle");
        form.SetScope(TGrepSettings::gsActiveProject);
        form.cmExtensions->setText(" ");
    });
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ project/p.txt", "+ project/q"}));
    EXPECT_FALSE(Form.StatusLabel->isVisibleTo(&Form));

    // A folder with the PHP files when no mask is given.
    Answer([this](TExFindForm& form) {
        form.cmPattern->setEditText("needle");
        form.cmPath->setText(QString::fromStdString(Dir.File("folder")));
        form.cmExtensions->setText("");
    });
    Form.StartSearch(false);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"- folder/f.php", "1: needle"}));
}

TEST_F(SearchResultFormTest, ACurrentDocumentWithoutAFileIsReported)
{
    Host.Active = TSearchResultHost::TDocument{"Untitled2.php", false};
    std::vector<std::string> messages;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&messages](const TMessageBoxRequest& request) {
        messages.push_back(request.Text);
        return IDOK;
    };
    AnswerScope("needle", TGrepSettings::gsCurrentFile);
    Form.StartSearch(false);
    Application()->MessageBoxHook = saved;
    EXPECT_EQ(messages, (std::vector<std::string>{"Document Untitled2.php not found"}));
    EXPECT_TRUE(RowTexts().empty());
}

TEST_F(SearchResultFormTest, RowsExpandAndCollapseByMouseKeysAndCommands)
{
    Dir.Write("a.php", "needle\nneedle");
    Dir.Write("b.php", "x\nneedle");
    AnswerFolder("needle");
    Form.StartSearch(false);
    QWidget* viewport = Form.ResultList->viewport();
    // A click on a file row toggles it when the button is released.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(1));
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ a.php", "- b.php", "2: needle"}));
    EXPECT_EQ(Form.ResultList->SelectedRow(), Row(1));
    // "+", "-" and "=" toggle the selected row.
    QTest::keyClick(Form.ResultList, Qt::Key_Minus);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ a.php", "+ b.php"}));
    QTest::keyClick(Form.ResultList, Qt::Key_Up);
    QTest::keyClick(Form.ResultList, Qt::Key_Equal);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"- a.php", "1: needle", "2: needle", "+ b.php"}));
    QTest::keyClick(Form.ResultList, Qt::Key_Return);
    EXPECT_EQ(RowTexts().size(), 2u);
    Form.acExpand->trigger();
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"- a.php", "1: needle", "2: needle", "- b.php", "2: needle"}));
    Form.acContract->trigger();
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ a.php", "+ b.php"}));
    EXPECT_TRUE(Form.ResultList->isEnabled());
}

TEST_F(SearchResultFormTest, AHitRowOpensItsFileAtTheLine)
{
    const std::string file = Dir.Write("a.php", "x\ny\nneedle");
    AnswerFolder("needle");
    Form.StartSearch(false);
    ASSERT_EQ(RowTexts().size(), 2u);
    QTest::mouseDClick(Form.ResultList->viewport(), Qt::LeftButton, {}, RowPoint(1));
    EXPECT_EQ(Host.Opened, (std::vector<std::pair<std::string, int>>{{file, 3}}));
    QTest::keyClick(Form.ResultList, Qt::Key_Return);
    EXPECT_EQ(Host.Opened.size(), 2u);
    // A double click on a file row toggles it and opens nothing.
    QTest::mouseDClick(Form.ResultList->viewport(), Qt::LeftButton, {}, RowPoint(0));
    EXPECT_EQ(Host.Opened.size(), 2u);
}

TEST_F(SearchResultFormTest, HitRowsShowTheLineWithTheHitHighlighted)
{
    Dir.Write("a.php", "\t  say needle now");
    AnswerFolder("needle");
    Form.StartSearch(false);
    Form.ResultList->SelectRow(Row(0));
    QImage image(Form.ResultList->viewport()->size(), QImage::Format_RGB32);
    Form.ResultList->viewport()->render(&image);
    const int fileRowY = RowPoint(0).y();
    const int hitRowY = RowPoint(1).y();
    EXPECT_EQ(image.pixelColor(image.width() / 2, fileRowY), ToQColor(clBtnFace));
    // The hit stands right of the text before it, on the highlight colour; the row's start is
    // the window colour.
    int highlighted = 0;
    for (int x = 60; x < image.width(); ++x)
        highlighted += image.pixelColor(x, hitRowY) == ToQColor(clHighlight);
    EXPECT_GT(highlighted, 10);
    EXPECT_EQ(image.pixelColor(2, hitRowY), ToQColor(clWindow));
    const TSearchResult::TShownLine shown = Form.ResultList->HitOf(Row(1))->Shown();
    EXPECT_EQ(shown.Text, "say needle now");
    EXPECT_EQ(std::string(shown.Text.substr(shown.HitStart, shown.HitEnd - shown.HitStart)), "needle");
}

TEST_F(SearchResultFormTest, EscapeDuringASearchEndsItAndKeepsTheFilesFound)
{
    constexpr size_t count = 3000;
    for (size_t i = 0; i < count; ++i)
        Dir.Write("tree/" + std::to_string(i % 30) + "/f" + std::to_string(i) + ".php", "needle");
    AnswerFolder("needle");
    bool sent = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, &Form, [&] {
        if (Form.ResultList->Rows().empty())
            return;
        watch.stop();
        sent = true;
        // A second search only shows the window meanwhile.
        Form.StartSearch(false);
        EXPECT_TRUE(Form.ResultList->Locked);
        QTest::keyClick(Form.ResultList, Qt::Key_Escape);
    });
    watch.start();
    Form.StartSearch(false);
    EXPECT_TRUE(sent);
    EXPECT_EQ(Host.Dialogs, 1);
    EXPECT_EQ(Host.Shown, 2);
    const size_t files = RowTexts().size();
    EXPECT_GT(files, 0u);
    EXPECT_LT(files, count);
    EXPECT_FALSE(Form.Busy());
    // Esc when no search runs hides the window.
    EXPECT_TRUE(Form.isVisible());
    QTest::keyClick(Form.ResultList, Qt::Key_Escape);
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(SearchResultFormTest, TogglingIsRefusedWhileASearchRuns)
{
    Dir.Write("a.php", "needle");
    Dir.Write("b.php", "needle");
    AnswerFolder("needle");
    Form.StartSearch(false);
    Form.ResultList->Locked = true;
    Form.ResultList->ToggleFile(Row(0));
    Form.acExpand->trigger();
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"+ a.php", "+ b.php"}));
}

TEST_F(SearchResultFormTest, ClosingTheProgramWindowEndsASearchAndWithoutAHostNothingIsSearched)
{
    constexpr size_t count = 3000;
    for (size_t i = 0; i < count; ++i)
        Dir.Write("tree/" + std::to_string(i % 30) + "/f" + std::to_string(i) + ".php", "needle");
    QWidget program;
    program.show();
    Form.SetHost(&Host, &program);
    AnswerFolder("needle");
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, &Form, [&] {
        if (Form.ResultList->Rows().empty())
            return;
        watch.stop();
        program.close();
    });
    watch.start();
    Form.StartSearch(false);
    EXPECT_FALSE(Form.Busy());
    EXPECT_GT(RowTexts().size(), 0u);
    EXPECT_LT(RowTexts().size(), 1000u);

    // Without a host (as the program is ending) neither command asks or searches.
    Form.SetHost(nullptr, nullptr);
    const int dialogs = Host.Dialogs;
    const int shown = Host.Shown;
    Form.acSearch->trigger();
    Form.acRefresh->trigger();
    EXPECT_EQ(Host.Dialogs, dialogs);
    EXPECT_EQ(Host.Shown, shown);
}

TEST(ExFindForm, OpensWithDefaultsAndKeepsTheHistoryFolderAndMasksOnEveryClose)
{
    TempDir dir;
    TIniFileEx ini(dir.File("Zentupad.dat"));
    ini.WriteString("Find", "0", "older");
    {
        TExFindForm form(&ini, "word", "/default/", nullptr);
        EXPECT_EQ(form.cmPattern->currentText(), "word");
        EXPECT_EQ(form.cmPattern->count(), 1);
        EXPECT_EQ(form.cmPath->text(), "/default/");
        EXPECT_EQ(form.cmExtensions->text(), "*.php");
        EXPECT_EQ(form.Scope(), TGrepSettings::gsFolder);
        EXPECT_FALSE(form.ckbxNoCase->isChecked());
        EXPECT_TRUE(form.cmPath->isEnabled());
        form.SetScope(TGrepSettings::gsActiveProject);
        EXPECT_FALSE(form.cmPath->isEnabled());
        EXPECT_TRUE(form.cmExtensions->isEnabled());
        form.SetScope(TGrepSettings::gsOpenDocuments);
        EXPECT_FALSE(form.cmExtensions->isEnabled());
        form.cmPath->setText("/srv/www/");
        form.cmExtensions->setText("*.inc");
        form.ckbxNoCase->setChecked(true);
        form.reject();
    }
    EXPECT_EQ(ini.ReadString("Find", "0", ""), "word");
    EXPECT_EQ(ini.ReadString("Find", "1", ""), "older");
    EXPECT_EQ(ini.ReadString("Find", "Path", ""), "/srv/www/");
    EXPECT_EQ(ini.ReadString("Find", "Filter", ""), "*.inc");
    TExFindForm again(&ini, "", "/default/", nullptr);
    EXPECT_EQ(again.cmPath->text(), "/srv/www/");
    EXPECT_EQ(again.cmExtensions->text(), "*.inc");
    EXPECT_EQ(again.Scope(), TGrepSettings::gsFolder);
    EXPECT_FALSE(again.ckbxNoCase->isChecked());
    EXPECT_EQ(again.cmPattern->count(), 2);
    EXPECT_EQ(again.cmPattern->lineEdit()->maxLength(), 500);
}
