#include "help/zuHelpRouter.h"

#include "app/zuFolders.h"
#include "help/zuDialogHelp.h"
#include "help/zuHelpBook.h"

#include "Platform/core/Application.h"

#include "Platform/files/FileNames.h"

#include <QCursor>

#include <utility>

namespace {

THelpRouter* TheRouter = nullptr;

constexpr size_t MaxKeyword = 255;

} // namespace

std::intptr_t PackPopupPosition(QPoint position)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(position.y() & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(position.x() & 0xFFFF));
}

THelpRouter::THelpRouter(TComponent* AOwner) : TComponent(AOwner)
{
    if (TheRouter)
        throw EHelpRouterError("Multiple instances of THelpRouter are not allowed");
    TheRouter = this;
    if (TApplication* app = Application()) {
        FSavedApplicationHelp = std::exchange(app->OnHelp, [this](int context) { return ShowProgramContext(context); });
        FDialogHelpKey = std::make_unique<TDialogHelpKey>();
        app->installEventFilter(FDialogHelpKey.get());
    }
}

THelpRouter::~THelpRouter()
{
    if (TheRouter == this) {
        TheRouter = nullptr;
        if (TApplication* app = Application())
            app->OnHelp = std::move(FSavedApplicationHelp);
    }
}

bool THelpRouter::ShowProgramContext(int context)
{
    // why: the book may still be the PHP manual of the last F1 in a document; contexts are ours.
    Helpfile = ProgramHelpBook();
    return HelpCommand(HELP_CONTEXT, context);
}

THelpRouter* THelpRouter::Instance()
{
    return TheRouter;
}

std::string THelpRouter::HelpBookName() const
{
    return Helpfile.empty() ? DefaultHelpfile : Helpfile;
}

bool THelpRouter::EnsureViewer()
{
    if (!FViewer && ViewerFactory)
        FViewer = ViewerFactory();
    return FViewer != nullptr;
}

bool THelpRouter::HelpCommand(int command, std::intptr_t data)
{
    bool callHelp = true;
    bool result = false;
    if (OnHelp)
        result = OnHelp(command, data, callHelp);
    if (!callHelp)
        return result;
    if (ShowType == TShowType::stMain) {
        if (command == HELP_CONTEXTPOPUP)
            command = HELP_CONTEXT;
        else if (command == HELP_SETPOPUP_POS)
            command = 0;
    }
    if (command == HELP_QUIT && !FViewer)
        return true;
    if (command == HELP_SETPOPUP_POS) {
        const auto packed = static_cast<std::uint32_t>(data);
        FPopupPosition = QPoint(static_cast<std::int16_t>(packed & 0xFFFF), static_cast<std::int16_t>(packed >> 16));
        return true;
    }
    if (!EnsureViewer())
        return false;
    return Answer(command, data);
}

bool THelpRouter::Answer(int command, std::intptr_t data)
{
    const THelpBook book(HelpBookName());
    switch (command) {
    case HELP_CONTEXT: {
        const std::optional<QUrl> page = book.Context(static_cast<int>(data));
        return FViewer->ShowPage(page.value_or(book.Contents()));
    }
    case HELP_QUIT:
        FViewer->CloseAll();
        return true;
    case HELP_CONTENTS:
    case HELP_FINDER:
        return FViewer->ShowPage(book.Contents());
    case HELP_CONTEXTPOPUP: {
        const QPoint position = FPopupPosition.isNull() ? QCursor::pos() : FPopupPosition;
        FViewer->ShowPopup(book.PopupText(static_cast<int>(data)), position);
        FPopupPosition = QPoint();
        return true;
    }
    case HELP_TAB:
        return FViewer->ShowPage(data == 0 ? book.Contents() : book.Index());
    case HELP_KEY:
    case HELP_PARTIALKEY:
        return FViewer->ShowPage(book.Index());
    default:
        return false;
    }
}

bool THelpRouter::HelpContents()
{
    return HelpCommand(HELP_TAB, 0);
}

bool THelpRouter::ShowIndex(const std::string& keyword)
{
    const std::string buffer = keyword.substr(0, MaxKeyword);
    return HelpCommand(HELP_KEY, reinterpret_cast<std::intptr_t>(buffer.c_str()));
}

bool THelpRouter::KeywordLookup(const std::string& keyword)
{
    if (HelpType == THelpType::htWinhelp || !EnsureViewer())
        return false;
    const THelpBook book(HelpBookName());
    if (!FViewer->ShowPage(book.Contents()))
        return false;
    if (const std::optional<QUrl> page = book.Keyword(keyword))
        return FViewer->ShowPage(*page);
    FViewer->ShowPage(book.Index());
    return false;
}

std::string ProgramHelpBook()
{
    return IncludeTrailingPathDelimiter(DataFolder) + "help/";
}

bool ShowProgramHelpContents()
{
    THelpRouter* router = THelpRouter::Instance();
    if (!router)
        return false;
    router->Helpfile = ProgramHelpBook();
    return router->HelpContents();
}
