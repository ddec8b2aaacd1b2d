#include "ExLib/run/lists/ExListItems.h"

int TExListItems::Count() const
{
    return FUseInternal ? FInternal.Count() : WindowCount();
}

std::string TExListItems::Get(int index) const
{
    return FUseInternal ? FInternal.Get(index) : WindowGet(index);
}

TObject* TExListItems::GetObject(int index) const
{
    return FUseInternal ? FInternal.GetObject(index) : WindowObject(index);
}

void TExListItems::PutObject(int index, TObject* object)
{
    if (FUseInternal)
        FInternal.PutObject(index, object);
    else
        WindowPutObject(index, object);
}

void TExListItems::Put(int index, const std::string& s)
{
    if (FUseInternal) {
        FInternal.Put(index, s);
        return;
    }
    DetachProvider();
    WindowPut(index, s);
}

void TExListItems::Insert(int index, const std::string& s)
{
    if (FUseInternal) {
        FInternal.Insert(index, s);
        return;
    }
    DetachProvider();
    if (index < 0 || index > WindowCount())
        Error("List index out of bounds (%d)", index);
    WindowInsert(index, s);
}

void TExListItems::Delete(int index)
{
    if (FUseInternal) {
        FInternal.Delete(index);
        return;
    }
    DetachProvider();
    WindowDelete(index);
}

void TExListItems::Clear()
{
    if (FUseInternal) {
        FInternal.Clear();
        return;
    }
    DetachProvider();
    WindowClear();
}

int TExListItems::IndexOf(const std::string& s) const
{
    return FUseInternal ? FInternal.IndexOf(s) : WindowIndexOf(s);
}

void TExListItems::MakeInternal()
{
    FInternal.Clear();
    for (int i = 0; i < WindowCount(); ++i)
        FInternal.AddObject(WindowGet(i), WindowObject(i));
    WindowClear();
    FUseInternal = true;
}

void TExListItems::MakeExternal()
{
    FUseInternal = false;
    WindowClear();
    for (int i = 0; i < FInternal.Count(); ++i)
        WindowPutObject(WindowInsert(WindowCount(), FInternal.Get(i)), FInternal.GetObject(i));
    FInternal.Clear();
}
