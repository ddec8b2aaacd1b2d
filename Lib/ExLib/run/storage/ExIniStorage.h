#pragma once
// The INI back end of the settings store.
//   TExCustomAppMemoryFileStorage  a file name resolved through a location, the read-only state
//                                  of the file, and when the source is read again
//   TExCustomAppIniStorage         every path is a section (the part before the last
//                                  backslash) and a key; values are kept as text in an
//                                  in-memory INI document
//   TExAppIniFileStorage           loads the document from its file and writes it back whole
//
// Loading never writes the file. The file is written when CommitChanges is called (also
// through AutoFlush), atomically, and never when the store or its file is read-only. Changes
// not yet written are written when the store switches to another file or is destroyed; a
// failure then is reported to the application, never thrown from the destructor.

#include "ExLib/run/storage/ExAppStorage.h"
#include "ExLib/run/storage/ExIniDocument.h"

#include "Platform/files/FileVersion.h"

enum class TFileLocation { flCustom, flWindows, flTemp, flExeFile, flUserFolder };

using TExAppStorageFileNameEvent = std::function<void(TExCustomAppStorage* Sender, std::string& FileName)>;

class TExCustomAppMemoryFileStorage : public TExCustomAppStorage {
public:
    using TExCustomAppStorage::TExCustomAppStorage;

    const std::string& FileName() const { return FFileName; }
    // A name without extension gets the StandardExtension.
    void SetFileName(const std::string& value);
    TFileLocation Location() const { return FLocation; }
    void SetLocation(TFileLocation value);
    const TExAppStorageFileNameEvent& OnGetFileName() const { return FOnGetFileName; }
    void SetOnGetFileName(TExAppStorageFileNameEvent handler);

    // The file the location and the name give; "" when there is none.
    std::string EffectiveFileName() const;
    bool FileMarkedReadOnly() const override { return FFileMarkedReadOnly; }
    // Not in a batch, and the file has not been loaded yet or AutoReload is on.
    bool RefreshDue() const override;
    void RefreshContent() override;

    virtual std::string ContentText() const = 0;
    virtual void SetContentText(const std::string& text) = 0;
    virtual std::string StandardExtension() const { return {}; }
    // The FileName, then the last word of OnGetFileName.
    virtual std::string ResolveCustomFileName() const;

    bool FileLoaded() const { return FFileLoaded; }
    // True while the content holds changes the file does not.
    bool Modified() const { return FModified; }

protected:
    void SetModified(bool value) { FModified = value; }
    void MarkFileLoaded() { FFileLoaded = true; }
    void UpdateReadOnlyMark();
    // Writes the changes not yet written; a failure is reported, never thrown.
    void CommitPendingChanges() noexcept;

private:
    template <class Store>
    void ChangeFileSettings(Store store);

    std::string FFileName;
    TFileLocation FLocation = TFileLocation::flExeFile;
    TExAppStorageFileNameEvent FOnGetFileName;
    bool FFileMarkedReadOnly = false;
    bool FFileLoaded = false;
    bool FModified = false;
};

class TExAppIniStorageOptions : public TExAppStorageOptions {
public:
    TExAppIniStorageOptions() { SetFloatAsString(false); }

    // Texts with line breaks are written with "\n" for each break and "\\" for each backslash;
    // so are texts that hold "\n" or "\\" already, which reading would change otherwise.
    bool ReplaceCRLF() const { return FReplaceCRLF; }
    void SetReplaceCRLF(bool value) { FReplaceCRLF = value; }
    // Texts with blanks or control bytes at either end, or quoted already, are written inside
    // double quotes.
    bool PreserveLeadingTrailingBlanks() const { return FPreserveBlanks; }
    void SetPreserveLeadingTrailingBlanks(bool value) { FPreserveBlanks = value; }

    void Assign(const TPersistent& source) override;

private:
    bool FReplaceCRLF = false;
    bool FPreserveBlanks = false;
};

class TExCustomAppIniStorage : public TExCustomAppMemoryFileStorage {
public:
    using TExCustomAppMemoryFileStorage::TExCustomAppMemoryFileStorage;

    TExAppIniStorageOptions& IniOptions() const;
    // The section of values whose path names none; "" by default.
    const std::string& DefaultSection() const { return FDefaultSection; }
    void SetDefaultSection(const std::string& value) { FDefaultSection = value; }

    // An empty section becomes DefaultSection.
    void SectionAndName(const std::string& path, std::string& section, std::string& name) const override;
    void ListFolders(const std::string& path, TStrings& names, bool listIsValue) override;
    void ListValues(const std::string& path, TStrings& names, bool listIsValue) override;
    bool FolderCheck(const std::string& path, bool listIsValue) override;
    bool FolderExistsAt(const std::string& path) override;
    bool ValueExistsAt(const std::string& path) override;
    void RemoveValueAt(const std::string& path) override;
    // Erases the section of the path and every section below it (at a backslash), ignoring
    // letter case; the empty path erases everything.
    void RemoveTreeAt(const std::string& path) override;
    int RawReadInteger(const std::string& path, int defaultValue) override;
    void RawWriteInteger(const std::string& path, int value) override;
    long double RawReadFloat(const std::string& path, long double defaultValue) override;
    void RawWriteFloat(const std::string& path, long double value) override;
    std::string RawReadString(const std::string& path, const std::string& defaultValue) override;
    void RawWriteString(const std::string& path, const std::string& value) override;
    int RawReadBinary(const std::string& path, void* buffer, int size) override;
    void RawWriteBinary(const std::string& path, const void* buffer, int size) override;
    std::string ContentText() const override;
    void SetContentText(const std::string& text) override;
    std::string StandardExtension() const override { return "ini"; }

    virtual std::string ReadIniValue(const std::string& section, const std::string& key);
    // Without ReplaceCRLF a text is written up to its first line break. A section or key that
    // would load back as another (a line break, blanks or control bytes at its ends; for keys
    // also "=", or a leading "[" or ";") raises EExLibAppStorageError and nothing is written.
    virtual void WriteIniValue(const std::string& section, const std::string& key, const std::string& value);
    virtual void RemoveIniValue(const std::string& section, const std::string& key);
    bool IniValueExists(const std::string& section, const std::string& key);

protected:
    std::unique_ptr<TExCustomAppStorageOptions> OptionsClass() const override;
    // A section that is empty or begins with "." gets DefaultSection in front of it;
    // EExLibAppStorageError "TExAppIniFileStorage.ReadValue: Section undefined" when it still is.
    std::string EffectiveSection(const std::string& section) const;
    TExIniDocument& Document() { return FDocument; }
    const TExIniDocument& Document() const { return FDocument; }

private:
    std::string SectionOfPath(const std::string& path) const;

    std::string FDefaultSection;
    TExIniDocument FDocument;
};

class TExAppIniFileStorage : public TExCustomAppIniStorage {
public:
    using TExCustomAppIniStorage::TExCustomAppIniStorage;
    ~TExAppIniFileStorage() override;

    // Writes the document whole to the effective file, creating its folders; nothing happens
    // without a file name or while read-only.
    void CommitChanges() override;
    // Loads the file when it exists, else empties the document. A document without changes
    // of its own is loaded again only when the file changed since it was loaded or written.
    void RefreshContent() override;

private:
    TFileVersion FVersion;
    std::string FVersionFile; // the file FVersion knows
};
