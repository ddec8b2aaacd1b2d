#pragma once
// THelpRouter: every help request of the program passes through it. It keeps the help book
// (`Helpfile`), answers the help commands (contents, context, keyword, pop-up, quit) with pages
// of that book, and hands the pages to a viewer: the help window for local pages, the user's
// browser for web pages. The viewer is made on the first request that needs it. One router
// exists at a time; while it exists it is the application's help (TApplication::HelpContext shows
// the program's page of a context) and F1 in a dialog shows that dialog's page.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"

#include <QPoint>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

ZENTU_DECLARE_EXCEPTION(EHelpRouterError, Exception);

// The help commands of the class library.
enum : int {
    HELP_CONTEXT = 1,
    HELP_QUIT = 2,
    HELP_CONTENTS = 3,
    HELP_CONTEXTPOPUP = 8,
    HELP_FINDER = 11,
    HELP_SETPOPUP_POS = 13,
    HELP_TAB = 15,
    HELP_KEY = 257,
    HELP_PARTIALKEY = 261,
};

enum class THelpType { htWinhelp, htHTMLhelp, htMixedMode };
enum class TShowType { stDefault, stMain, stPopup };

// What shows help pages.
class THelpViewer {
public:
    virtual ~THelpViewer() = default;
    // True when the page could be shown.
    virtual bool ShowPage(const QUrl& page) = 0;
    virtual void ShowPopup(const std::string& text, QPoint position) = 0;
    virtual void CloseAll() = 0;
};

class TDialogHelpKey;

class THelpRouter : public TComponent {
public:
    // Raises EHelpRouterError "Multiple instances of THelpRouter are not allowed" while another
    // router exists.
    explicit THelpRouter(TComponent* AOwner);
    ~THelpRouter() override;
    static THelpRouter* Instance();

    THelpType HelpType = THelpType::htWinhelp;
    TShowType ShowType = TShowType::stDefault;
    // The help book: a folder, a page or a web address (THelpBook).
    std::string Helpfile;
    // Used when Helpfile is empty.
    std::string DefaultHelpfile;
    // Kept for the help book's pop-up texts, which live in its map.
    std::string CHMPopupTopics = "CSHelp.txt";
    bool ValidateID = false;
    // Asked first for every command; clearing `callHelp` ends the request there.
    std::function<bool(int command, std::intptr_t data, bool& callHelp)> OnHelp;

    // Makes the viewer on the first need; tests give their own.
    std::function<std::unique_ptr<THelpViewer>()> ViewerFactory;
    bool ViewerLoaded() const { return FViewer != nullptr; }
    THelpViewer* Viewer() const { return FViewer.get(); }

    // The application's help event: true when the command was answered. `data` is the context
    // number, the keyword (a const char*), a packed pop-up position, or 0.
    bool HelpCommand(int command, std::intptr_t data);
    // Command 15 with 0: the book's contents.
    bool HelpContents();
    // The book's index (at most 255 characters of the keyword are used).
    bool ShowIndex(const std::string& keyword);
    // The book's page for the keyword, else its index; true when the keyword had a page.
    bool KeywordLookup(const std::string& keyword);

private:
    bool Answer(int command, std::intptr_t data);
    bool EnsureViewer();
    std::string HelpBookName() const;

    // The program's page of a context, for the application's help.
    bool ShowProgramContext(int context);

    std::unique_ptr<THelpViewer> FViewer;
    QPoint FPopupPosition;
    std::function<bool(int context)> FSavedApplicationHelp;
    std::unique_ptr<TDialogHelpKey> FDialogHelpKey;
};

// Packs a pop-up position for command 13 as two 16-bit coordinates.
std::intptr_t PackPopupPosition(QPoint position);

// The program's own help book: the "help/" folder of the data folder.
std::string ProgramHelpBook();
// Points the router at the program's help and shows its contents; false without a router.
bool ShowProgramHelpContents();
