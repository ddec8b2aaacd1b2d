#pragma once
// The items of a list control (combo box, list box): in the control's window, or in memory while
// a data provider shows its rows there. Writes to the window's items first detach a linked
// provider; a descendant gives access to the window's items.

#include "Platform/text/Strings.h"

class TExListItems : public TStrings {
public:
    int Count() const override;
    std::string Get(int index) const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(const std::string& s) const override;

    bool UseInternal() const { return FUseInternal; }
    // Moves the window's items, with their objects, into memory.
    virtual void MakeInternal();
    // Moves them back into the window.
    virtual void MakeExternal();

protected:
    virtual int WindowCount() const = 0;
    virtual std::string WindowGet(int index) const = 0;
    // EListError "List index out of bounds (%d)" outside the items.
    virtual TObject* WindowObject(int index) const = 0;
    virtual void WindowPutObject(int index, TObject* object) = 0;
    virtual void WindowPut(int index, const std::string& s) = 0;
    // Returns where the string went (a sorted window may put it elsewhere).
    virtual int WindowInsert(int index, const std::string& s) = 0;
    virtual void WindowDelete(int index) = 0;
    virtual void WindowClear() = 0;
    virtual int WindowIndexOf(const std::string& s) const = 0;
    virtual void DetachProvider() = 0;
    TStringList& Internal() { return FInternal; }

private:
    TStringList FInternal;
    bool FUseInternal = false;
};
