// Key bindings in form streams: "RemovedKeystrokes" and "AddedKeystrokes" relative to the
// defaults, their byte layout and the round trip through a stream.

#include "SrcEdit/Source/commands/SrcEditKeyStream.h"

#include <gtest/gtest.h>

namespace {

const TShiftState Shift{ssShift};
const TShiftState Ctrl{ssCtrl};

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

std::string Short(const std::string& s)
{
    return static_cast<char>(s.size()) + s;
}

class KeyStreamTest : public testing::Test {
protected:
    void SetUp() override
    {
        Reference.ResetToDefaults();
        Keys.ResetToDefaults();
    }

    void RemoveBinding(WORD key, TShiftState shift)
    {
        const int index = Keys.FindSingleKey(key, shift);
        ASSERT_GE(index, 0);
        Keys.Delete(index);
    }

    // Writes the properties of Keys and reads them into a fresh default set.
    void RoundTrip(TSrcEditKeyStrokes& restored)
    {
        TMemoryStream stream;
        WriteKeystrokeProperties(stream, Keys, Reference);
        stream.SetPosition(0);
        restored.ResetToDefaults();
        ReadKeystrokeProperties(stream, restored);
        EXPECT_EQ(stream.Position(), stream.Size());
    }

    TSrcEditKeyStrokes Reference;
    TSrcEditKeyStrokes Keys;
};

} // namespace

TEST_F(KeyStreamTest, EqualBindingsWriteNothing)
{
    TMemoryStream stream;
    EXPECT_FALSE(WriteKeystrokeProperties(stream, Keys, Reference));
    EXPECT_EQ(stream.Size(), 0);
}

TEST_F(KeyStreamTest, MovingContextHelpToCtrlF1StoresOneItemEach)
{
    Keys.Items(Keys.FindSingleKey(VK_F1, {}))->SetShortCut(16496);

    TMemoryStream removed;
    WriteRemovedKeystrokes(removed, Keys, Reference);
    EXPECT_EQ(removed.View(), Bytes({0x0E, 0x01}) + Short("Command") + Bytes({0x07}) + Short("ecContextHelp") +
                                  Short("ShortCut") + Bytes({0x02, 0x70, 0x00, 0x00}));

    TMemoryStream added;
    WriteAddedKeystrokes(added, Keys, Reference);
    EXPECT_EQ(added.View(), Bytes({0x0E, 0x01}) + Short("Command") + Bytes({0x07}) + Short("ecContextHelp") +
                                Short("ShortCut") + Bytes({0x03, 0x70, 0x40, 0x00, 0x00}));

    TMemoryStream both;
    ASSERT_TRUE(WriteKeystrokeProperties(both, Keys, Reference));
    EXPECT_EQ(both.View(), Short("RemovedKeystrokes") + std::string(removed.View()) + Short("AddedKeystrokes") +
                               std::string(added.View()));

    TSrcEditKeyStrokes restored;
    RoundTrip(restored);
    EXPECT_EQ(restored.FindSingleKey(VK_F1, {}), -1);
    ASSERT_GE(restored.FindSingleKey(VK_F1, Ctrl), 0);
    EXPECT_EQ(restored.Items(restored.FindSingleKey(VK_F1, Ctrl))->Command(), ecContextHelp);
    EXPECT_EQ(restored.Count(), 82);
}

TEST_F(KeyStreamTest, CodeEditorRemovesShiftEnterAndF1)
{
    RemoveBinding(VK_RETURN, Shift);
    RemoveBinding(VK_F1, {});

    TMemoryStream added;
    WriteAddedKeystrokes(added, Keys, Reference);
    EXPECT_EQ(added.View(), Bytes({0x0E, 0x00})) << "nothing added";

    TSrcEditKeyStrokes restored;
    RoundTrip(restored);
    EXPECT_EQ(restored.Count(), 80);
    EXPECT_TRUE(restored.SameBindings(Keys));
}

TEST_F(KeyStreamTest, UserCommandsAndSecondKeysRoundTrip)
{
    TSrcEditKeyStroke* pair = Keys.Add();
    pair->SetCommand(ecUserFirst + 4);
    pair->SetShortCut(0x4000 | 'K');
    pair->SetShortCut2(0x4000 | 'B');
    Keys.AddBinding(ecUpperCase, 'U', {ssCtrl, ssAlt});

    TMemoryStream added;
    WriteAddedKeystrokes(added, Keys, Reference);
    // why: a command without a name is stored as its number (1005 = 0x03ED)
    EXPECT_NE(added.View().find(Short("Command") + Bytes({0x03, 0xED, 0x03})), std::string_view::npos);
    EXPECT_NE(added.View().find(Short("ShortCut2")), std::string_view::npos);

    TSrcEditKeyStrokes restored;
    RoundTrip(restored);
    EXPECT_TRUE(restored.SameBindings(Keys));
    EXPECT_EQ(restored.FindKeyPair('K', Ctrl, 'B', Ctrl), 82);
}

TEST_F(KeyStreamTest, RemovedItemMustMatchTheCommandToo)
{
    // The stream says F1 was bound to ecUndo; the editor binds F1 to ecContextHelp, so it stays.
    TSrcEditKeyStrokes removed;
    removed.AddBinding(ecUndo, VK_F1, {});
    TSrcEditKeyStrokes empty;
    TMemoryStream stream;
    WriteAddedKeystrokes(stream, removed, empty);
    stream.SetPosition(0);
    ReadRemovedKeystrokes(stream, Keys);
    EXPECT_EQ(Keys.Count(), 82);
    EXPECT_GE(Keys.FindSingleKey(VK_F1, {}), 0);
}

TEST_F(KeyStreamTest, ReadingStopsBeforeOtherPropertiesAndSkipsOtherValues)
{
    RemoveBinding(VK_F1, {});
    TMemoryStream stream;
    WriteKeystrokeProperties(stream, Keys, Reference);
    stream.WriteString(Short("TabWidth") + Bytes({0x02, 0x04}));
    stream.SetPosition(0);

    TSrcEditKeyStrokes restored;
    restored.ResetToDefaults();
    ReadKeystrokeProperties(stream, restored);
    EXPECT_TRUE(restored.SameBindings(Keys));
    EXPECT_EQ(stream.Position(), stream.Size() - 11) << "left at \"TabWidth\"";

    // A value that is not a collection is passed over and changes nothing.
    TMemoryStream odd;
    odd.WriteString(Short("AddedKeystrokes") + Bytes({0x06}) + Short("text") + Short("RemovedKeystrokes") +
                    Bytes({0x01, 0x02, 0x05, 0x00}));
    odd.SetPosition(0);
    ReadKeystrokeProperties(odd, restored);
    EXPECT_EQ(odd.Position(), odd.Size());
    EXPECT_TRUE(restored.SameBindings(Keys));
}

TEST_F(KeyStreamTest, DamagedStreamsRaiseAndLeaveTheBindingsAlone)
{
    RemoveBinding(VK_F1, {});
    TMemoryStream whole;
    WriteRemovedKeystrokes(whole, Keys, Reference);
    const std::string bytes(whole.View());

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated", bytes.substr(0, bytes.size() - 3)},
        {"unknown command name",
         Bytes({0x0E, 0x01}) + Short("Command") + Bytes({0x07}) + Short("ecNoSuch") + Bytes({0x00, 0x00})},
        {"unknown property", Bytes({0x0E, 0x01}) + Short("Colour") + Bytes({0x02, 0x01, 0x00, 0x00})},
        {"shortcut out of range", Bytes({0x0E, 0x01}) + Short("ShortCut") + Bytes({0x04, 0, 0, 1, 0, 0x00, 0x00})},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        TStringStream stream(data);
        TSrcEditKeyStrokes target;
        target.ResetToDefaults();
        EXPECT_THROW(ReadRemovedKeystrokes(stream, target), EStreamError);
        EXPECT_TRUE(target.SameBindings(Reference));
    }
}
