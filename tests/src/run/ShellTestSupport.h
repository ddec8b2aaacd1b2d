#pragma once
// A running shell for the tests: the main window and the editor module over a temporary program
// folder (data/, template/) and a temporary per-user folder, with message boxes, file dialogs,
// the input box and modal dialogs answered by the test.

#include "documents/zuCodeEditorForm.h"
#include "documents/zuEditorModule.h"
#include "app/zuMainForm.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QTest>
#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <utime.h>
#include <vector>

class ShellTest : public ::testing::Test {
protected:
    // Writes the file anew with another modification time, as another program's write would.
    static void Touch(const std::string& path, const std::string& bytes, int secondsLater)
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        file.close();
        struct utimbuf times {};
        times.actime = times.modtime = time(nullptr) + secondsLater;
        ASSERT_EQ(utime(path.c_str(), &times), 0);
    }

    void SetUp() override
    {
        Dir.Write("program/data/AccessDenied.html", "<html>403</html>");
        Dir.Write("program/template/PHP Page.php", "<?php\r\necho 'new';\r\n?>\r\n");
        Dir.Write("program/template/Style Sheet.css", "body {}\r\n");
        Dir.Write("program/project/index.php", "<?php ?>");
        Dir.Write("appdata/.keep", "");
        Dir.Write("work/.keep", "");
        SavedHook = Application()->MessageBoxHook;
        Application()->MessageBoxHook = [this](const TMessageBoxRequest& request) {
            Questions.push_back(request);
            if (Answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << request.Text;
                return int(IDCANCEL);
            }
            const int answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }

    void TearDown() override
    {
        Stop();
        Application()->MessageBoxHook = SavedHook;
        EXPECT_TRUE(Answers.empty()) << Answers.size() << " prepared answers were not used";
    }

public:
    // Starts the shell as the program does: main window, then the editor module.
    void Start()
    {
        Form = std::make_unique<TMainForm>();
        ASSERT_TRUE(Form->FormCreate(ProgramFolder(), AppDataFolder(), DataHomeFolder()));
        Form->resize(900, 600);
        Form->show();
        Module = std::make_unique<TEditorModule>();
        Form->SaveDialog.ExecuteHook = [this](TFileDialog& dialog) { return AnswerFileDialog(dialog); };
        Form->OpenDialog.ExecuteHook = [this](TFileDialog& dialog) { return AnswerFileDialog(dialog); };
        QApplication::processEvents();
    }

    // Ends it as the program does after its loop: documents, module, main window.
    void Stop()
    {
        if (Form)
            Form->DestroyDocuments();
        Module.reset();
        Form.reset();
    }

    std::string ProgramFolder() const { return Dir.Path() + "/program/"; }
    std::string AppDataFolder() const { return Dir.Path() + "/appdata"; }
    std::string DataHomeFolder() const { return Dir.Path() + "/datahome"; }
    // The default project, copied from the program's "project/" at the first start.
    std::string UserProjectFolder() const { return DataHomeFolder() + "/Zentu/project/"; }
    std::string UserFile(const std::string& name) const { return AppDataFolder() + "/Zentu Systems/Zentu/" + name; }
    // A file in the work folder: its full name.
    std::string Work(const std::string& name) const { return Dir.File("work/" + name); }
    std::string WriteWork(const std::string& name, const std::string& bytes) const
    {
        return Dir.Write("work/" + name, bytes);
    }

    // A value of the main settings file, before or after the start.
    void Setting(const std::string& section, const std::string& key, const std::string& value) const
    {
        ForceDirectories(UserFile(""));
        TIniFileEx(UserFile("Zentupad.dat")).WriteString(section, key, value);
    }

    TCodeEditorForm* Open(const std::string& path)
    {
        TCodeEditorForm* document = Form->OpenFile(path, false, 0);
        QApplication::processEvents();
        return document;
    }
    // Closes a document window as the user would; true when it closed.
    bool Close(TCodeEditorForm* document)
    {
        const bool closed = document->close();
        Flush();
        return closed;
    }
    // Lets windows that closed free themselves.
    static void Flush()
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    // Types into the active document's editor.
    void Type(const std::string& text)
    {
        TSrcEdit* editor = Form->ActiveEditor();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, QString::fromUtf8(text.c_str()));
    }
    std::vector<std::string> TabTexts() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Form->FileTabs->TabCount(); ++i)
            texts.push_back(Form->FileTabs->TabText(i));
        return texts;
    }
    std::vector<std::string> QuestionTexts() const
    {
        std::vector<std::string> texts;
        for (const TMessageBoxRequest& q : Questions)
            texts.push_back(q.Text);
        return texts;
    }

    // The next file dialog answers with this name ("" cancels). Unanswered dialogs fail.
    void AnswerNextFileDialog(const std::string& fileName) { FileAnswers.push_back(fileName); }

    TempDir Dir;
    std::unique_ptr<TMainForm> Form;
    std::unique_ptr<TEditorModule> Module;
    std::deque<int> Answers;
    std::vector<TMessageBoxRequest> Questions;
    // The dialogs that were shown, as they were when shown.
    std::vector<TFileDialog> FileDialogs;

private:
    bool AnswerFileDialog(TFileDialog& dialog)
    {
        FileDialogs.push_back(dialog);
        if (FileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        const std::string answer = FileAnswers.front();
        FileAnswers.pop_front();
        if (answer.empty())
            return false;
        dialog.Files = {answer};
        return true;
    }

    std::deque<std::string> FileAnswers;
    std::function<int(const TMessageBoxRequest&)> SavedHook;
};
