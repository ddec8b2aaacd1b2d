#pragma once
// The main settings file "Zentupad.dat" and the key map file "keymap.dat": their sections,
// keys and the defaults that every reader passes; numbered lists; the key map; and the four
// settings files that the main window opens at start and frees at exit.
//
// Values are read from the file each time they are used; nothing here keeps a copy.

#include "settings/zentuIniFiles.h"
#include "app/zuConstants.h"

#include "Platform/controls/Keys.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TFont;
class TStrings;

// A key with its type and the default that its readers pass.
struct TBoolKey {
    std::string_view Section, Key;
    bool Default;
    bool Read(const TIniFileEx& ini) const;
    bool Read(const TIniFileEx& ini, bool defaultValue) const;
    void Write(TIniFileEx& ini, bool value) const;
};

struct TIntKey {
    std::string_view Section, Key;
    int Default;
    int Read(const TIniFileEx& ini) const;
    int Read(const TIniFileEx& ini, int defaultValue) const;
    void Write(TIniFileEx& ini, int value) const;
};

struct TFloatKey {
    std::string_view Section, Key;
    double Default;
    double Read(const TIniFileEx& ini) const;
    double Read(const TIniFileEx& ini, double defaultValue) const;
    void Write(TIniFileEx& ini, double value) const;
};

struct TStringKey {
    std::string_view Section, Key;
    std::string_view Default;
    std::string Read(const TIniFileEx& ini) const;
    std::string Read(const TIniFileEx& ini, const std::string& defaultValue) const;
    void Write(TIniFileEx& ini, const std::string& value) const;
};

struct TColorKey {
    std::string_view Section, Key;
    TColor Default;
    TColor Read(const TIniFileEx& ini) const;
    TColor Read(const TIniFileEx& ini, TColor defaultValue) const;
    void Write(TIniFileEx& ini, TColor value) const;
};

// The reader's font is the default; a missing key or a malformed text leaves it unchanged.
struct TFontSettingKey {
    std::string_view Section, Key;
    void Read(const TIniFileEx& ini, TFont& font) const;
    void Write(TIniFileEx& ini, const TFont& font) const;
};

// File names in the per-user folder.
inline constexpr std::string_view SettingsFileName = "Zentupad.dat";
inline constexpr std::string_view ProjectsFileName = "projects.dat";
inline constexpr std::string_view FTPAccountsFileName = "ftp.dat";
inline constexpr std::string_view KeymapFileName = "keymap.dat";
inline constexpr std::string_view AutoCorrectFileName = "autocorrect.dat";
inline constexpr std::string_view DockLayoutFileName = "docking.dat";

// The GUID text that means "none" (projects, FTP accounts).
inline constexpr std::string_view NullGUIDText = "{00000000-0000-0000-0000-000000000000}";

namespace Settings {

namespace Application {
inline constexpr std::string_view Section = "Application";
inline constexpr TStringKey LastFile{Section, "LastFile", ""};
inline constexpr TStringKey Project{Section, "Project", NullGUIDText};
// The default is the user's home folder (the readers pass it).
inline constexpr TStringKey LastPath{Section, "LastPath", ""};
} // namespace Application

inline constexpr std::string_view RecentFilesSection = "RecentFiles";
inline constexpr int MaxSavedRecentFiles = 16;

namespace Editor {
inline constexpr std::string_view Section = "Editor";
inline constexpr TBoolKey WordWrap{Section, "WordWrap", false};
inline constexpr TBoolKey ColumnMode{Section, "ColumnMode", true};
inline constexpr TBoolKey AutoIndent{Section, "AutoIndent", true};
inline constexpr TBoolKey HomeKey{Section, "HomeKey", true};
inline constexpr TBoolKey GroupUndo{Section, "GroupUndo", true};
inline constexpr TBoolKey HalfPageScroll{Section, "HalfPageScroll", false};
inline constexpr TBoolKey LineNumbers{Section, "LineNumbers", true};
inline constexpr TBoolKey RightMouseMovesCursor{Section, "RightMouseMovesCursor", false};
inline constexpr TBoolKey ScrollPastEOF{Section, "ScrollPastEOF", false};
inline constexpr TBoolKey ScrollPastEOL{Section, "ScrollPastEOL", true};
inline constexpr TBoolKey SmartTabDelete{Section, "SmartTabDelete", true};
inline constexpr TBoolKey SmartTabs{Section, "SmartTabs", true};
inline constexpr TBoolKey SpecialChars{Section, "SpecialChars", false};
inline constexpr TBoolKey TabIndent{Section, "TabIndent", true};
inline constexpr TBoolKey TabsToSpaces{Section, "TabsToSpaces", true};
inline constexpr TBoolKey TrimTrailingSpaces{Section, "TrimTrailingSpaces", false};
inline constexpr TBoolKey UndoAfterSave{Section, "UndoAfterSave", true};
inline constexpr TBoolKey MatchBrackets{Section, "MatchBrackets", true};
// Automatic closing of "{", "[", "(", the double quote and the single quote, in this order.
inline constexpr TBoolKey Close[5] = {{Section, "Close1", true}, {Section, "Close2", true}, {Section, "Close3", true},
                                      {Section, "Close4", true}, {Section, "Close5", true}};
inline constexpr TIntKey LineSpacing{Section, "LineSpacing", 0};
inline constexpr TIntKey MaxUndo{Section, "MaxUndo", 1024};
inline constexpr TIntKey RightMarginAt{Section, "RightMarginAt", 80};
inline constexpr TIntKey TabWidth{Section, "TabWidth", 8};
inline constexpr TFontSettingKey Font{Section, "Font"};
inline constexpr TColorKey SelectionBG{Section, "SelectionBG", clHighlight};
inline constexpr TColorKey SelectionFG{Section, "SelectionFG", clHighlightText};
inline constexpr TColorKey BookmarkBG{Section, "BookmarkBG", 0x00FF0000};
inline constexpr TColorKey BookmarkFG{Section, "BookmarkFG", clWindow};
inline constexpr TColorKey MatchedLineBG{Section, "MatchedLineBG", 0x00F0CAA6};
inline constexpr TColorKey MatchedLineFG{Section, "MatchedLineFG", clWindow};
inline constexpr TColorKey ActiveLineBG{Section, "ActiveLineBG", clNone};
} // namespace Editor

namespace General {
inline constexpr std::string_view Section = "General";
// 0 "Prompt For Reload", 1 "Always Reload", 2 "Ignore".
inline constexpr TIntKey Reload{Section, "Reload", 0};
// 0 CR LF, 1 LF, 2 CR.
inline constexpr TIntKey LineEnding{Section, "LineEnding", 1};
inline constexpr TIntKey SQLDialect{Section, "SQLDialect", 3};
// 0 "lowercase", 1 "UPPERCASE".
inline constexpr TIntKey TagCase{Section, "TagCase", 0};
inline constexpr TIntKey MaxMRU{Section, "MaxMRU", 16};
inline constexpr TStringKey DateTimeFormat{Section, "DateTimeFormat", "dd/mm/yyyy [hh:nn:ss]"};
} // namespace General

namespace Backup {
inline constexpr std::string_view Section = "Backup";
inline constexpr TBoolKey AutomaticSave{Section, "AutomaticSave", false};
// 0 at start; the options dialog shows 1 when the key is missing.
inline constexpr TIntKey SaveInterval{Section, "SaveInterval", 0};
inline constexpr TBoolKey DisableAutoSaveUntitled{Section, "DisableAutoSaveUntitled", true};
inline constexpr TBoolKey DisableAutoSaveFTP{Section, "DisableAutoSaveFTP", true};
inline constexpr TBoolKey BackupLocalFiles{Section, "BackupLocalFiles", false};
inline constexpr TBoolKey UseBackupPath{Section, "UseBackupPath", false};
// Saving passes the system's temporary folder as the default; the options dialog passes "".
inline constexpr TStringKey LocalBackupPath{Section, "LocalBackupPath", ""};
} // namespace Backup

namespace CodeInsight {
inline constexpr std::string_view Section = "CodeInsight";
inline constexpr TBoolKey CodeCompletion{Section, "CodeCompletion", true};
inline constexpr TBoolKey HTMLCompletion{Section, "HTMLCompletion", true};
inline constexpr TBoolKey CSSCompletion{Section, "CSSCompletion", true};
inline constexpr TBoolKey ParameterHints{Section, "ParameterHints", true};
inline constexpr TBoolKey DisplayDescription{Section, "DisplayDescription", true};
// Milliseconds, 100 to 1500; the pop-ups' own delay is 500.
inline constexpr TIntKey Delay{Section, "Delay", 500};
} // namespace CodeInsight

namespace Environment {
inline constexpr std::string_view Section = "Environment";
inline constexpr TStringKey CGI{Section, "CGI", ""};
inline constexpr TStringKey INI{Section, "INI", ""};
inline constexpr TStringKey Documentation{Section, "Documentation", ""};
} // namespace Environment

namespace HTTPServer {
inline constexpr std::string_view Section = "HTTPServer";
inline constexpr TIntKey Port{Section, "Port", 7905};
inline constexpr TIntKey TimeOut{Section, "TimeOut", 30};
inline constexpr TStringKey IndexFiles{Section, "IndexFiles", sDefaultIndexFiles};
inline constexpr TStringKey ServerURL{Section, "ServerURL", "http://127.0.0.1:80/"};
inline constexpr TStringKey DocumentPath{Section, "DocumentPath", ""};
inline constexpr TStringKey AccessLog{Section, "AccessLog", ""};
inline constexpr TStringKey ErrorLog{Section, "ErrorLog", ""};
} // namespace HTTPServer

// Each highlighter's section is named by the highlighter; its file masks are under this key.
inline constexpr std::string_view HighlighterFilterKey = "Filter";

namespace AutoCorrection {
inline constexpr std::string_view Section = "AutoCorrection";
inline constexpr TBoolKey Enabled{Section, "Enabled", true};
inline constexpr TBoolKey IgnoreCase{Section, "IgnoreCase", true};
inline constexpr TBoolKey MaintainCase{Section, "MaintainCase", true};
inline constexpr TBoolKey MouseDown{Section, "MouseDown", false};
} // namespace AutoCorrection

// [Print]: the defaults are the print component's values at start.
namespace Print {
inline constexpr std::string_view Section = "Print";
inline constexpr TBoolKey PColored{Section, "PColored", false};
inline constexpr TBoolKey PSyntax{Section, "PSyntax", true};
inline constexpr TBoolKey PLineNumbers{Section, "PLineNumbers", false};
inline constexpr TBoolKey PNumbersInMargin{Section, "PNumbersInMargin", false};
inline constexpr TBoolKey PWrapped{Section, "PWrapped", true};
inline constexpr TIntKey MUnit{Section, "MUnit", 0};
inline constexpr TFloatKey MTop{Section, "MTop", 25};
inline constexpr TFloatKey MLeft{Section, "MLeft", 25};
inline constexpr TFloatKey MBottom{Section, "MBottom", 25};
inline constexpr TFloatKey MRight{Section, "MRight", 15};
inline constexpr TFloatKey MHeader{Section, "MHeader", 15};
inline constexpr TFloatKey MFooter{Section, "MFooter", 15};
inline constexpr TFloatKey MGutter{Section, "MGutter", 0};
inline constexpr TBoolKey MMirror{Section, "MMirror", false};
inline constexpr TStringKey HString{Section, "HString", ""};
inline constexpr TBoolKey HMirrorPosition{Section, "HMirrorPosition", false};
inline constexpr TColorKey HLineColor{Section, "HLineColor", clBlack};
inline constexpr TColorKey HShadedColor{Section, "HShadedColor", clSilver};
inline constexpr TBoolKey HLine{Section, "HLine", true};
inline constexpr TBoolKey HBox{Section, "HBox", false};
inline constexpr TBoolKey HShadow{Section, "HShadow", false};
inline constexpr TStringKey FString{Section, "FString", ""};
inline constexpr TBoolKey FMirrorPosition{Section, "FMirrorPosition", false};
inline constexpr TColorKey FLineColor{Section, "FLineColor", clBlack};
inline constexpr TColorKey FShadedColor{Section, "FShadedColor", clSilver};
inline constexpr TBoolKey FLine{Section, "FLine", true};
inline constexpr TBoolKey FBox{Section, "FBox", false};
inline constexpr TBoolKey FShadow{Section, "FShadow", false};
} // namespace Print

// Numbered list of extensions with their dot (".php").
inline constexpr std::string_view AssociatedFileTypesSection = "AssociatedFileTypes";

namespace Find {
inline constexpr std::string_view Section = "Find";
inline constexpr int MaxHistory = 16;
// The default is the program's project folder (the readers pass it).
inline constexpr TStringKey Path{Section, "Path", ""};
inline constexpr TStringKey Filter{Section, "Filter", "*.php"};
} // namespace Find

inline constexpr std::string_view ReplaceSection = "Replace";

namespace Compare {
inline constexpr std::string_view Section = "Compare";
inline constexpr TColorKey AddColor{Section, "AddColor", 0x00F0CCA8};
inline constexpr TColorKey ModColor{Section, "ModColor", 0x006FFB8A};
inline constexpr TColorKey DelColor{Section, "DelColor", 0x00BB77FF};
inline constexpr TFontSettingKey Font{Section, "Font"};
inline constexpr TBoolKey Horizontal{Section, "Horizontal", false};
inline constexpr TStringKey File1{Section, "File1", ""};
inline constexpr TStringKey File2{Section, "File2", ""};
} // namespace Compare

namespace FTPClient {
inline constexpr std::string_view Section = "FTP Client";
inline constexpr TIntKey ProxyType{Section, "ProxyType", 0};
inline constexpr TStringKey ProxyHost{Section, "ProxyHost", ""};
inline constexpr TStringKey ProxyUser{Section, "ProxyUser", ""};
inline constexpr TStringKey ProxyPass{Section, "ProxyPass", ""};
inline constexpr TIntKey ProxyPort{Section, "ProxyPort", 21};
inline constexpr TStringKey LastSession{Section, "Last Session", NullGUIDText};
} // namespace FTPClient

// "keymap.dat": one key per action, named by the action, value the shortcut code.
inline constexpr std::string_view KeymapSection = "Keymap";

} // namespace Settings

// Replaces `list` by the values of the keys "0", "1", ... up to the first missing number.
void ReadNumberedList(const TIniFileEx& ini, std::string_view section, TStrings& list);
// Erases the section, then writes the first `maxCount` items (all when negative) as "0",
// "1", ... in order; the keys named in `keepKeys` are written back with the values they had.
// The file is rewritten once for all of it.
void WriteNumberedList(TIniFileEx& ini, std::string_view section, const TStrings& list, int maxCount,
                       const std::vector<std::string_view>& keepKeys = {});

// The shortcut of an action from [Keymap]: the stored code, or `builtIn` when the key is
// missing or holds no shortcut code (0 stands for no shortcut).
TShortCut ReadKeymapShortCut(const TIniFileEx& keymap, std::string_view actionName, TShortCut builtIn);
// Erases [Keymap] and writes every action's shortcut, also those that are 0, in one rewrite.
void WriteKeymap(TIniFileEx& keymap, const std::vector<std::pair<std::string, TShortCut>>& shortcuts);

// The four settings files, from OpenSettingsFiles to CloseSettingsFiles; null otherwise.
extern TIniFileEx* SettingsFile;
extern TIniFileEx* ProjectsFile;
extern TIniFileEx* FTPAccountsFile;
extern TIniFileEx* KeymapFile;

// Creates the main settings, projects, FTP accounts and key map files, in this order, on
// their files in `userFolder` (which ends with "/"). Nothing is written until a value is.
void OpenSettingsFiles(const std::string& userFolder);
// Frees them in the order of their creation.
void CloseSettingsFiles();
