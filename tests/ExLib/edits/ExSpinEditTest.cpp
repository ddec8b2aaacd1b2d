// The spin edit in a dialog: reading and writing its value in the three types, the bounds while
// typing, on steps and on leaving the field, the keys it takes and refuses, decimal separators
// of the user's locale, and the step buttons.

#include "ExLib/run/edits/ExSpinEdit.h"

#include "Platform/controls/Forms.h"
#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Sets the user's locale for one test.
struct ScopedLocale {
    QLocale Saved;
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(Saved); }
};

// A dialog that records the dialog keys it receives.
class Dialog : public TCustomForm {
public:
    Dialog() : TCustomForm(nullptr) { resize(300, 200); }
    std::vector<WPARAM> DialogKeys;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == CM_DIALOGKEY)
            DialogKeys.push_back(m.WParam);
        TCustomForm::WndProc(m);
    }
};

struct SpinEditFixture : ::testing::Test {
    Dialog dialog;
    TExSpinEdit* edit = new TExSpinEdit(&dialog, &dialog);
    int changes = 0;
    int tops = 0;
    int bottoms = 0;

    SpinEditFixture()
    {
        edit->OnChange = [this](TObject*) { ++changes; };
        edit->OnTopClick = [this](TObject*) { ++tops; };
        edit->OnBottomClick = [this](TObject*) { ++bottoms; };
        edit->SetBeepOnError(false);
    }
    void Type(const char* keys) { QTest::keyClicks(edit, keys); }
};

} // namespace

TEST_F(SpinEditFixture, IntValueTruncatesTowardZeroAndUnreadableTextReadsAsTheLowerBound)
{
    edit->SetValueType(TValueType::vtFloat);
    struct Case {
        const char* Text;
        int Int;
    };
    const ScopedLocale c(QLocale::c());
    for (const Case& k : std::vector<Case>{{"12.7", 12}, {"-0.5", 0}, {"-2.7", -2}, {"65535.9", 65535}}) {
        edit->SetText(k.Text);
        EXPECT_EQ(edit->IntValue(), k.Int) << k.Text;
    }
    TExSpinEdit field(nullptr);
    field.SetMinValue(1);
    field.SetText("");
    EXPECT_EQ(field.IntValue(), 1);
    field.SetMinValue(2.5);
    field.SetText("x");
    EXPECT_EQ(field.IntValue(), 2); // rounded half to even
}

TEST_F(SpinEditFixture, TypingBeyondTheUpperBoundCutsToItAtOnce)
{
    edit->SetMaxValue(65535);
    EXPECT_TRUE(edit->CheckMinValue());
    EXPECT_TRUE(edit->CheckMaxValue());
    edit->SetText("6553");
    edit->setCursorPosition(4);
    changes = 0;
    Type("9");
    EXPECT_EQ(edit->Text(), "65535");
    EXPECT_EQ(edit->cursorPosition(), 5); // where typing left it
    EXPECT_EQ(changes, 1);
    // Leading zeros vanish while typing.
    edit->SetText("");
    EXPECT_EQ(edit->Text(), "0");
    edit->setCursorPosition(0);
    Type("7");
    EXPECT_EQ(edit->Text(), "70");
}

TEST_F(SpinEditFixture, TheTimeOutFieldShowsItsLowerBoundWhenEmptied)
{
    edit->SetMinValue(1);
    edit->SetMaxValue(65535);
    edit->CheckOptions = {coCheckOnChange, coCheckOnExit};
    edit->SetValue(60);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "1");
}

TEST_F(SpinEditFixture, CheckValueWithCrossedBoundsTestsTheValueItself)
{
    edit->SetMinValue(10);
    edit->SetMaxValue(5);
    ASSERT_TRUE(edit->CheckMinValue() && edit->CheckMaxValue());
    for (auto [in, out] : std::vector<std::pair<double, double>>{{3, 10}, {7, 5}, {20, 5}, {5, 10}})
        EXPECT_EQ(edit->CheckValue(in), out) << in;
}

TEST_F(SpinEditFixture, AZeroUpperBoundOnAFieldFromZeroSwitchesBothChecksOff)
{
    edit->SetMaxValue(100);
    edit->SetMaxValue(0);
    EXPECT_FALSE(edit->CheckMinValue());
    EXPECT_FALSE(edit->CheckMaxValue());
    edit->SetValue(-5);
    EXPECT_EQ(edit->Text(), "-5");
    edit->SetValue(500);
    edit->SetMaxValue(100);
    EXPECT_EQ(edit->Text(), "100");
    EXPECT_TRUE(edit->CheckMinValue() && edit->CheckMaxValue());

    // The same bound again does not rewrite the text.
    edit->CheckOptions = {};
    edit->SetText("0042");
    edit->SetMaxValue(100);
    EXPECT_EQ(edit->Text(), "0042");
}

TEST_F(SpinEditFixture, StepsStopAtTheBoundButStillReportTheClick)
{
    edit->SetMaxValue(10);
    edit->SetValue(9);
    changes = 0;
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), "10");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tops, 1);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), "10");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tops, 2);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Text(), "9");
    EXPECT_EQ(bottoms, 1);
}

TEST_F(SpinEditFixture, EachWheelNotificationStepsOnceWhateverItsSize)
{
    const auto wheel = [&](int delta) {
        edit->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16, 0);
    };
    wheel(360);
    EXPECT_EQ(edit->Text(), "1");
    wheel(1);
    EXPECT_EQ(edit->Text(), "2");
    wheel(0);
    EXPECT_EQ(edit->Text(), "1");
    wheel(-720);
    EXPECT_EQ(edit->Text(), "0");
}

TEST_F(SpinEditFixture, AReadOnlyFieldChangesOnNoStepAndReportsNone)
{
    edit->setReadOnly(true);
    QTest::keyClick(edit, Qt::Key_Up);
    edit->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(120) << 16, 0);
    edit->UpClick(nullptr);
    edit->DownClick(nullptr);
    EXPECT_EQ(edit->Text(), "0");
    EXPECT_EQ(tops + bottoms, 0);
}

TEST_F(SpinEditFixture, WithTheEditorDisabledOnlyTheButtonsChangeTheValue)
{
    edit->EditorEnabled = false;
    edit->setCursorPosition(1);
    Type("5");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "0");
    edit->UpClick(nullptr);
    EXPECT_EQ(edit->Text(), "1");
    QApplication::clipboard()->setText("42");
    edit->selectAll();
    edit->Perform(WM_PASTE);
    edit->Perform(WM_CUT);
    EXPECT_EQ(edit->Text(), "1");
}

TEST_F(SpinEditFixture, WithoutClipboardCommandsNoClipboardKeyHasAnEffect)
{
    edit->SetClipboardCommands({});
    edit->SetValue(77);
    QApplication::clipboard()->setText("untouched");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
    QApplication::clipboard()->setText("5");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "77");
}

TEST_F(SpinEditFixture, FloatFieldsFollowTheLocalesDecimalSeparator)
{
    const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    edit->CheckOptions = {};
    edit->SetValueType(TValueType::vtFloat);
    edit->SetValue(1234.5);
    EXPECT_EQ(edit->Text(), "1234,50");
    edit->SetThousands(true);
    EXPECT_EQ(edit->Text(), "1.234,50");
    EXPECT_DOUBLE_EQ(edit->Value(), 1234.5);
    edit->SetThousands(false);

    // "." types the locale's separator; a second one moves the caret behind the first.
    edit->SetText("12");
    edit->setCursorPosition(2);
    Type(".");
    EXPECT_EQ(edit->Text(), "12,");
    edit->setCursorPosition(0);
    Type(",");
    EXPECT_EQ(edit->Text(), "12,");
    EXPECT_EQ(edit->cursorPosition(), 3);
    Type("5e");
    Type("e");
    EXPECT_EQ(edit->Text(), "12,5e");
    Type("2");
    EXPECT_DOUBLE_EQ(edit->Value(), 1250);
}

TEST_F(SpinEditFixture, HexadecimalValuesRoundTripInThirtyTwoBits)
{
    edit->CheckOptions = {};
    edit->SetValueType(TValueType::vtHex);
    edit->SetValue(255);
    EXPECT_EQ(edit->Text(), "FF");
    edit->SetText("ff");
    EXPECT_EQ(edit->Value(), 255);
    // Negative values are written in the width they are read in.
    edit->SetValue(-1);
    EXPECT_EQ(edit->Text(), "FFFFFFFF");
    EXPECT_EQ(edit->Value(), -1);
    edit->SetValue(-255);
    EXPECT_EQ(edit->Text(), "FFFFFF01");
    EXPECT_EQ(edit->IntValue(), -255);
    edit->SetText("1FFFFFFFF");
    EXPECT_EQ(edit->Value(), 0); // unreadable: the lower bound

    TExSpinEdit other(nullptr);
    for (auto [from, to] : std::vector<std::pair<double, double>>{{0.5, 1}, {2.5, 2}, {3.5, 4}}) {
        other.SetValueType(TValueType::vtInteger);
        other.SetIncrement(from);
        other.SetValueType(TValueType::vtHex);
        EXPECT_EQ(other.Increment(), to) << from;
    }
}

TEST_F(SpinEditFixture, EnterReachesTheDialogAndIsNotInsertedEscapeIsPassedOn)
{
    edit->SetValue(5);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), "5");
    EXPECT_NE(std::find(dialog.DialogKeys.begin(), dialog.DialogKeys.end(), WPARAM(13)), dialog.DialogKeys.end());
    EXPECT_NE(std::find(dialog.DialogKeys.begin(), dialog.DialogKeys.end(), WPARAM(27)), dialog.DialogKeys.end());
}

TEST_F(SpinEditFixture, LeavingTheFieldOutOfRangeCutsOrComplainsAndKeepsTheFocus)
{
    auto* next = new TExSpinEdit(&dialog, &dialog);
    next->move(0, 40);
    edit->SetMaxValue(100);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    edit->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));

    // Cropping: the value is cut to the bound when the field is left.
    edit->CheckOptions = {coCheckOnExit, coCropBeyondLimit};
    edit->SetText("500");
    next->SetFocus();
    EXPECT_EQ(edit->Text(), "100");

    // Without cropping: the range error, the text selected and the focus back in the field.
    edit->SetFocus();
    edit->CheckOptions = {coCheckOnExit};
    edit->SetText("500");
    std::vector<std::string> messages;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&](const TMessageBoxRequest& r) {
        messages.push_back(r.Text);
        return IDOK;
    };
    next->SetFocus();
    QApplication::processEvents();
    Application()->MessageBoxHook = saved;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Value must be between 0 and 100", 0), 0u);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->SelText(), "500");
}

TEST_F(SpinEditFixture, TheUpDownButtonsStepAndReturnToTheMiddle)
{
    edit->SetButtonKind(TSpinButtonKind::bkStandard);
    TExUpDown* upDown = edit->UpDown();
    ASSERT_NE(upDown, nullptr);
    EXPECT_EQ(upDown->Width(), TExCustomSpinEdit::DefaultButtonWidth());
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(3, 2));
    EXPECT_EQ(edit->Text(), "1");
    EXPECT_EQ(upDown->Position(), 0);
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(3, upDown->Height() - 2));
    QTest::mouseClick(upDown, Qt::LeftButton, {}, QPoint(3, upDown->Height() - 2));
    EXPECT_EQ(edit->Text(), "-1");
    EXPECT_EQ(tops, 1);
    EXPECT_EQ(bottoms, 2);
    // The text stops before the buttons.
    EXPECT_EQ(edit->textMargins().right(), upDown->Width() + 2);

    // The drawn buttons step the same way.
    edit->SetButtonKind(TSpinButtonKind::bkDiagonal);
    ASSERT_NE(edit->SpinButton(), nullptr);
    EXPECT_EQ(edit->UpDown(), nullptr);
    QTest::mouseClick(edit->SpinButton(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(edit->Text(), "0");
}
