#include "Platform/controls/Keys.h"

#include "Platform/text/TextUtils.h"

#include <QGuiApplication>

namespace {

struct KeyName {
    WORD Key;
    const char* Name;
};

constexpr KeyName KeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
    {VK_OEM_1, ";"}, {VK_OEM_PLUS, "="}, {VK_OEM_COMMA, ","}, {VK_OEM_MINUS, "-"}, {VK_OEM_PERIOD, "."},
    {VK_OEM_2, "/"}, {VK_OEM_3, "`"}, {VK_OEM_4, "["}, {VK_OEM_5, "\\"}, {VK_OEM_6, "]"}, {VK_OEM_7, "'"},
    {VK_MULTIPLY, "Num *"}, {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num Del"},
    {VK_DIVIDE, "Num /"}, {VK_PAUSE, "Pause"}, {VK_SNAPSHOT, "Print Screen"}, {VK_APPS, "Application"},
};

std::string KeyText(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return std::string(1, 'F').append(std::to_string(key - VK_F1 + 1));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return std::string("Num ").append(std::to_string(key - VK_NUMPAD0));
    for (const auto& k : KeyNames)
        if (k.Key == key)
            return k.Name;
    return {};
}

struct QtKeyPair {
    int Qt;
    WORD Vk;
};

constexpr QtKeyPair QtKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU}, {Qt::Key_AltGr, VK_MENU}, {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END}, {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP}, {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Select, VK_SELECT}, {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_Execute, VK_EXECUTE},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Help, VK_HELP},
    {Qt::Key_Meta, VK_LWIN}, {Qt::Key_Super_L, VK_LWIN}, {Qt::Key_Super_R, VK_RWIN}, {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1}, {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7}, {Qt::Key_Asterisk, VK_MULTIPLY},
    // Shifted digits on a US keyboard arrive as their symbols.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

} // namespace

TShortCut ShortCut(WORD key, TShiftState shift)
{
    if ((key & 0xFF00) != 0)
        return 0;
    TShortCut sc = key;
    if (shift.Contains(ssShift))
        sc |= scShift;
    if (shift.Contains(ssCtrl))
        sc |= scCtrl;
    if (shift.Contains(ssAlt))
        sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift)
{
    key = shortCut & 0xFF;
    shift = {};
    if (shortCut & scShift)
        shift.Include(ssShift);
    if (shortCut & scCtrl)
        shift.Include(ssCtrl);
    if (shortCut & scAlt)
        shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut shortCut)
{
    const std::string name = KeyText(shortCut & 0xFF);
    if (name.empty())
        return {};
    std::string s;
    if (shortCut & scShift)
        s += "Shift+";
    if (shortCut & scCtrl)
        s += "Ctrl+";
    if (shortCut & scAlt)
        s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const std::string& text)
{
    TShortCut modifiers = 0;
    std::string_view rest = text;
    for (bool found = true; found;) {
        found = false;
        for (auto [prefix, bit] : {std::pair{"Shift+", scShift}, std::pair{"Ctrl+", scCtrl}, std::pair{"Alt+", scAlt}}) {
            const std::string_view p(prefix);
            if (rest.size() > p.size() && StartsText(p, rest)) {
                modifiers |= bit;
                rest.remove_prefix(p.size());
                found = true;
            }
        }
    }
    for (int key = 0x08; key <= 0xFF; ++key) {
        const std::string name = KeyText(static_cast<WORD>(key));
        if (!name.empty() && SameText(name, rest))
            return static_cast<TShortCut>(key | modifiers);
    }
    return 0;
}

WORD VirtualKeyFromQt(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<WORD>(qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<WORD>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    for (const auto& p : QtKeys)
        if (p.Qt == qtKey)
            return p.Vk;
    return 0;
}

int QtKeyFromVirtualKey(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return key;
    if (key >= VK_F1 && key <= VK_F24)
        return Qt::Key_F1 + (key - VK_F1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return Qt::Key_0 + (key - VK_NUMPAD0);
    for (const auto& p : QtKeys)
        if (p.Vk == key)
            return p.Qt;
    return 0;
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (modifiers & Qt::ShiftModifier)
        s.Include(ssShift);
    if (modifiers & Qt::ControlModifier)
        s.Include(ssCtrl);
    if (modifiers & Qt::AltModifier)
        s.Include(ssAlt);
    if (buttons & Qt::LeftButton)
        s.Include(ssLeft);
    if (buttons & Qt::RightButton)
        s.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        s.Include(ssMiddle);
    return s;
}

Qt::KeyboardModifiers QtModifiersFromShiftState(TShiftState shift)
{
    Qt::KeyboardModifiers m;
    if (shift.Contains(ssShift))
        m |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl))
        m |= Qt::ControlModifier;
    if (shift.Contains(ssAlt))
        m |= Qt::AltModifier;
    return m;
}

QKeySequence ShortCutToKeySequence(TShortCut shortCut)
{
    WORD key = 0;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    const int qtKey = QtKeyFromVirtualKey(key);
    if (qtKey == 0)
        return {};
    return QKeySequence(QKeyCombination(QtModifiersFromShiftState(shift), static_cast<Qt::Key>(qtKey)));
}

TShortCut KeySequenceToShortCut(const QKeySequence& sequence)
{
    if (sequence.isEmpty())
        return 0;
    const QKeyCombination combo = sequence[0];
    return ShortCut(VirtualKeyFromQt(combo.key()), ShiftStateFromQt(combo.keyboardModifiers()));
}

TShiftState CurrentShiftState()
{
    return ShiftStateFromQt(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons());
}
