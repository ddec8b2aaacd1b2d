// The images of the commands: the icon theme of the desktop or the program's fallback theme,
// drawn images where no theme has one, and never the platform's stand-in pictures.

#include "app/zuActionImages.h"
#include "src/run/ShellTestSupport.h"

#include <QToolBar>

namespace {

// Restores the program-wide theme settings a test changes.
struct ThemeGuard {
    QString Theme = QIcon::themeName();
    QString Fallback = QIcon::fallbackThemeName();
    ~ThemeGuard()
    {
        QIcon::setThemeName(Theme);
        QIcon::setFallbackThemeName(Fallback);
    }
};

// Pixels that are not transparent in the image at `size`.
int PaintedPixels(const QIcon& icon, int size)
{
    const QImage image = icon.pixmap(size).toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return painted;
}

struct ActionImages : ShellTest {};

} // namespace

TEST(ActionImageTheme, TheFallbackThemeServesWhenTheDesktopHasNone)
{
    struct Case {
        const char* Desktop;
        const char* Used;
    };
    for (const Case& c : std::vector<Case>{{"", "Tango"}, {"hicolor", "Tango"}, {"Adwaita", "Adwaita"}}) {
        SCOPED_TRACE(c.Desktop);
        ThemeGuard guard;
        QIcon::setThemeName(QString::fromLatin1(c.Desktop));
        UseIconThemeOfDesktopOrFallback();
        EXPECT_EQ(QIcon::themeName().toStdString(), c.Used);
        EXPECT_EQ(QIcon::fallbackThemeName().toStdString(), "Tango") << "it fills the gaps of the desktop's";
    }
}

TEST(ActionImageTheme, ThemeImagesByNameAndDrawnOnesWhereNoThemeHasThem)
{
    ThemeGuard guard;
    QIcon::setThemeName(QString());
    UseIconThemeOfDesktopOrFallback();
    ASSERT_TRUE(QIcon::hasThemeIcon(QStringLiteral("edit-cut"))) << "the Tango theme is installed with the program";
    for (const char* name : {"edit-cut", "edit-undo", "document-save", "media-playback-start"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ActionImage(name).name().toStdString(), name);
    }
    for (const char* name : {"document-save-all", "document-close"}) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(QIcon::hasThemeIcon(QString::fromLatin1(name)));
        const QIcon drawn = ActionImage(name);
        EXPECT_GT(PaintedPixels(drawn, 24), 24 * 24 / 4);
        EXPECT_GT(PaintedPixels(drawn, 16), 16 * 16 / 4);
    }
    // Without any theme the drawn ones are still there, and the others are left empty rather
    // than shown as some other picture.
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    QIcon::setFallbackThemeName(QStringLiteral("no-such-theme"));
    EXPECT_GT(PaintedPixels(ActionImage("document-save-all"), 24), 24 * 24 / 4);
    EXPECT_TRUE(ActionImage("edit-cut").isNull());
}

TEST_F(ActionImages, EveryToolBarButtonShowsItsCommandsOwnImage)
{
    ThemeGuard guard;
    Start();
    const auto* bar = Form->findChild<QToolBar*>(QStringLiteral("ToolBar"));
    ASSERT_NE(bar, nullptr);
    int buttons = 0;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        // The Open button is a widget of its own that carries the command.
        const auto* command = dynamic_cast<TAction*>(action);
        if (!command)
            continue;
        SCOPED_TRACE(command->Name());
        ++buttons;
        EXPECT_FALSE(command->icon().isNull());
        EXPECT_GT(PaintedPixels(command->icon(), 24), 0);
    }
    EXPECT_GE(buttons, 10);
    EXPECT_EQ(Form->acCut->icon().name().toStdString(), "edit-cut");
    EXPECT_EQ(Form->acUndo->icon().name().toStdString(), "edit-undo");
}
