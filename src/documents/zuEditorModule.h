#pragma once
// TEditorModule: what all document editors share. The highlighters with their stored colours
// and file masks, the choice of a highlighter by file extension, the file filters of the Open
// and Save dialogs, the two search engines, the auto-correction, the editor colours, the
// completion list and parameter hints with their data (CodeInsight), and the code timer that
// asks for a re-parse one second after typing stops. The small and large icon lists are the
// shell's system image lists, borrowed and handed back, never destroyed.

#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"

#include <QTimer>

#include <string>
#include <string_view>
#include <vector>

class TCodeInsight;
class TCustomImageList;
class TCustomSrcEdit;
class TSrcAutoCorrect;
class TSrcCssSyn;
class TSrcCustomHighlighter;
class TSrcEditRegexSearch;
class TSrcEditSearch;
class TSrcHighlighterAttributes;
class TSrcHTMLSyn;
class TSrcJavaSyn;
class TSrcJScriptSyn;
class TSrcMultiSyn;
class TSrcPerlSyn;
class TSrcPHPSyn;
class TSrcPythonSyn;
class TSrcSQLSyn;
class TSrcXMLSyn;

class TEditorModule : public TComponent {
public:
    // Runs the creation steps in order; the settings files and the main window exist already.
    explicit TEditorModule(TComponent* AOwner = nullptr);
    ~TEditorModule() override;

    // The highlighters, in component order (the order matters for the choice by extension).
    TSrcMultiSyn* PHP_HTML_XML_CSS_JS = nullptr;
    TSrcPHPSyn* PHP = nullptr;
    TSrcHTMLSyn* HTML = nullptr;
    TSrcSQLSyn* SQL = nullptr;
    TSrcJScriptSyn* JavaScript = nullptr;
    TSrcCssSyn* CSS = nullptr;
    TSrcXMLSyn* XML = nullptr;
    TSrcPerlSyn* Perl = nullptr;
    TSrcJavaSyn* Java = nullptr;
    TSrcPythonSyn* Python = nullptr;
    std::vector<TSrcCustomHighlighter*> Highlighters() const;

    // "(c)" to "©" and "(r)" to "®" until the user's "autocorrect.dat" is loaded.
    TSrcAutoCorrect* AutoCorrection = nullptr;
    TCodeInsight* CodeInsight = nullptr;

    TSrcEditSearch* BasicSearch = nullptr;
    TSrcEditRegexSearch* RegExpSearch = nullptr;

    // Restarted by every key typed in a document.
    QTimer CodeTimer;

    // The editor colours of [Editor].
    TColor SelectionBG = clHighlight;
    TColor SelectionFG = clHighlightText;
    TColor BookmarkBG = 0x00FF0000;
    TColor BookmarkFG = clWindow;
    TColor MatchedLineBG = 0x00F0CAA6;
    TColor MatchedLineFG = clWindow;
    TColor ActiveLineBG = clNone;

    // The first highlighter, in component order, one of whose file masks names the extension
    // (with its dot, letter case ignored); null for none and for an empty extension.
    TSrcCustomHighlighter* HighlighterForExtension(std::string_view extension) const;

    // The SQL dialect from [General], then each highlighter's masks and colours from its
    // section of the main settings file.
    void LoadHighlighterSettings();
    // "All Supported Formats|...|PHP Formats|...|...All Formats|*.*", given to the main
    // window's Open and Save dialogs; the PHP highlighter's filter also goes to the HTTP server.
    void BuildFileFilters();
    const std::string& FileFilter() const { return FFileFilter; }
    void LoadEditorColors();

    // Takes the shell's small and large system image lists.
    void LoadSystemIconLists();
    TCustomImageList* LargeIconList = nullptr;
    TCustomImageList* SmallIconList = nullptr;
    // [AutoCorrection] and the items of "autocorrect.dat" in the per-user folder, when it exists.
    void LoadAutoCorrect();
    // The completion data files of the data folder.
    void LoadCompletionData();
    // Points the auto-correction, the completion and the parameter hints at the editor of the
    // active document.
    void AttachEditor(TCustomSrcEdit* editor);

    void CodeTimerTimer();

private:
    void CreateHighlighters();
    std::string FFileFilter;
};

// The one module of the program, while it exists.
extern TEditorModule* EditorModule;

// The stored form of an attribute: background and foreground as 8 upper-case hexadecimal
// digits each, then one digit each for bold, italic, underline and strike-out.
std::string AttributeText(const TSrcHighlighterAttributes& attribute);
// The key of a scheme of the multi-language highlighter: its name, with "=" written "%3D",
// since a key of the settings file ends at its first "=" (`CSS within style="..."`).
std::string SchemeSettingKey(std::string_view schemeName);
// Applies a stored attribute; a text that is not 20 characters long changes nothing. A colour
// that is not hexadecimal becomes clWindow (background) or clWindowText (foreground).
void ApplyAttributeText(std::string_view text, TSrcHighlighterAttributes& attribute);
