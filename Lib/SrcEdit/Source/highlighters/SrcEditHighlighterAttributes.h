#pragma once
// TSrcHighlighterAttributes: the display style of one kind of token (background, foreground,
// font style) under a fixed name that is also its settings key.

#include "SrcEdit/Source/highlighters/SrcEditRegistry.h"

#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"
#include "Platform/graphics/Graphics.h"

#include <string>

class TSrcHighlighterAttributes : public TPersistent {
public:
    // Both colours clNone (the editor's own), no style.
    explicit TSrcHighlighterAttributes(const std::string& name);

    const std::string& Name() const { return FName; }

    // Setters report a real change through NotifyChanged.
    TColor Background() const { return FBackground; }
    void SetBackground(TColor value);
    TColor Foreground() const { return FForeground; }
    void SetForeground(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);

    // The current values become the defaults against which the stored tests compare.
    void RememberDefaults();
    // A form stream holds a value only when it differs from its remembered default.
    bool IsBackgroundStored() const { return FBackground != FBackgroundDefault; }
    bool IsForegroundStored() const { return FForeground != FForegroundDefault; }
    bool IsStyleStored() const { return FStyle != FStyleDefault; }

    // Copies the three style values, reporting one change when any of them differs.
    void AssignColorsAndStyle(const TSrcHighlighterAttributes& source);
    // From another attribute: its name, then AssignColorsAndStyle.
    void Assign(const TPersistent& source) override;

    virtual void NotifyChanged();
    // Reads the colours of one attribute as another editor keeps them, with palette numbers 0 to
    // 15: in one comma-separated value `name` under `key` (oneValueLayout), or in the values of
    // the key key\name. True only when the attribute was set completely; every error gives false.
    virtual bool ImportRegistryColors(TSrcRegistry& root, const std::string& key, const std::string& name,
                                      bool oneValueLayout);

    // The integers "Background", "Foreground" and "Style" (bits 0 bold, 1 italic, 2 underline,
    // 3 strike-out) under highlighterKey\Name. Reading is false when that key is missing and sets
    // the values only when all three exist as integers.
    bool ReadFromRegistry(TSrcRegistry& root, const std::string& highlighterKey);
    bool WriteToRegistry(TSrcRegistry& root, const std::string& highlighterKey) const;

    TNotifyEvent OnChange;

private:
    bool ImportOneValue(TSrcRegistry& root, const std::string& key, const std::string& name);
    bool ImportSubkey(TSrcRegistry& root, const std::string& key, const std::string& name);

    std::string FName;
    TColor FBackground = clNone;
    TColor FForeground = clNone;
    TFontStyles FStyle;
    TColor FBackgroundDefault = clNone;
    TColor FForegroundDefault = clNone;
    TFontStyles FStyleDefault;
};
