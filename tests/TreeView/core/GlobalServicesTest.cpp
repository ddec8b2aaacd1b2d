// The tree view's process-wide services: the clipboard-format registry, the errors, the check
// image sets and the text shortening.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTCheckImages.h"
#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LTGlobals.h"

#include "Platform/graphics/ImgList.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {
std::vector<std::string> Names(const TFormatEtcArray& formats)
{
    std::vector<std::string> names;
    for (const TFormatEtc& f : formats)
        names.push_back(ClipboardFormatName(f.cfFormat));
    return names;
}
} // namespace

TEST(GlobalServices, FormatsOfATreeClassInPriorityOrder)
{
    TTestTree tree; // the first tree sets the registry up
    const TClipboardFormatList& list = RegisteredTreeFormats();
    EXPECT_EQ(Names(list.FormatsForClass(&CustomLazyStringTreeClass)),
              (std::vector<std::string>{"Lazy Tree Data", "HTML Format", "Rich Text Format Without Objects",
                                        "Rich Text Format", "CSV", "Unicode text", "Plain text"}));
    EXPECT_EQ(Names(list.FormatsForClass(&BaseLazyTreeClass)), (std::vector<std::string>{"Lazy Tree Data"}));
    const std::vector<std::string> allowed{"csv", "Plain text"};
    EXPECT_EQ(Names(list.FormatsForClass(&CustomLazyStringTreeClass, &allowed)),
              (std::vector<std::string>{"CSV", "Plain text"}));
    const auto found = list.FindByDescription("csv");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->FormatId, CSVFormatId);
    EXPECT_EQ(found->TreeClass, &CustomLazyStringTreeClass);
    EXPECT_FALSE(list.FindByDescription("nothing").has_value());
}

TEST(GlobalServices, StandardAndRegisteredFormatNames)
{
    EXPECT_EQ(ClipboardFormatName(13), "Unicode text");
    EXPECT_EQ(RegisterClipboardFormat("Lazy Tree Data"), RegisterClipboardFormat("Lazy Tree Data"));
    EXPECT_GE(RegisterClipboardFormat("Some Format"), 0xC000);
    EXPECT_EQ(MimeTypeOfFormat(RegisterClipboardFormat("Lazy Tree Data")), "application/x-zentu-lazy-tree-data");
    EXPECT_EQ(MimeTypeOfFormat(CF_TEXT), "text/plain");
    TClipboardFormatList list;
    RegisteredTreeFormats();
    const std::size_t before = RegisteredTreeFormats().Entries().size();
    RegisterTreeClipboardFormat(0, &BaseLazyTreeClass, 1);
    EXPECT_EQ(RegisteredTreeFormats().Entries().size(), before) << "id 0 registers nothing";
}

TEST(GlobalServices, TreeErrorsCarryTheirNumber)
{
    for (int number = 2000; number <= 2008; ++number) {
        try {
            RaiseTreeError(number);
        } catch (const ELazyTreeError& e) {
            EXPECT_EQ(e.HelpContext(), number);
            EXPECT_FALSE(std::string(e.what()).empty());
        }
    }
    EXPECT_STREQ(TreeErrorMessage(2008),
                 "Cannot set initial user data because there is not enough user data space allocated.");
}

TEST(GlobalServices, CheckImageSetsHoldTwentyFiveImages)
{
    TTestTree tree;
    for (TCheckImageKind kind : {TCheckImageKind::ckLightCheck, TCheckImageKind::ckDarkCheck,
                                 TCheckImageKind::ckLightTick, TCheckImageKind::ckDarkTick, TCheckImageKind::ckFlat,
                                 TCheckImageKind::ckXP, TCheckImageKind::ckSystem, TCheckImageKind::ckSystemFlat}) {
        const TCustomImageList* set = CheckImagesForKind(kind);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->Count(), 25);
        EXPECT_EQ(set->Width(), set->Height());
    }
    EXPECT_EQ(CheckImagesForKind(TCheckImageKind::ckCustom), nullptr);
    EXPECT_EQ(UtilityGlyphSet()->Count(), 9);
    // Checked and unchecked look different.
    const TCustomImageList* light = CheckImagesForKind(TCheckImageKind::ckLightCheck);
    EXPECT_NE(light->Image(9), light->Image(13));
}

TEST(GlobalServices, OwningTreeAndRectangles)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    tree.SetNodeChildCount(tree.Root(0), 1);
    EXPECT_EQ(OwningTreeOf(tree.Child(tree.Root(0), 0)), &tree);
    EXPECT_EQ(OwningTreeOf(tree.HiddenRoot()), &tree);
    EXPECT_EQ(NormalizeRect({10, 20, 0, 5}), (TRect{0, 5, 10, 20}));
}

TEST(GlobalServices, ShorteningWithAnEllipsis)
{
    const QFontMetrics metrics(QFont("DejaVu Sans", 10));
    const int ellipsis = metrics.horizontalAdvance("...");
    EXPECT_EQ(ShortenWithEllipsis(metrics, "abc", ellipsis - 1, false), "");
    EXPECT_EQ(ShortenWithEllipsis(metrics, "a", ellipsis + 50, false), "...") << "at most N - 1 characters stay";
    const QString text = "Hello wonderful world";
    const QString left = ShortenWithEllipsis(metrics, text, 60, false);
    EXPECT_TRUE(left.endsWith("..."));
    EXPECT_LE(metrics.horizontalAdvance(left), 60);
    EXPECT_TRUE(text.startsWith(left.chopped(3)));
    const QString right = ShortenWithEllipsis(metrics, text, 60, true);
    EXPECT_TRUE(right.startsWith("..."));
    EXPECT_TRUE(text.endsWith(right.mid(3)));
    EXPECT_EQ(ShortenWithEllipsis(metrics, "ab", 500, true), "...ab");
}
