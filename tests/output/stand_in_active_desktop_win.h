// A stand-in for the shell's Active Desktop object, for tests of the Active Desktop item: the
// two desktop item options and a list of items, kept in memory, with every call recorded.
//
// While it lives it is registered in the test process for the Active Desktop class, so the
// program's own CoCreateInstance reaches it unchanged. COM must be initialised on the thread
// that makes it, for as long as it lives (the registration belongs to that apartment).
//
// Items are told apart by their id, which the stand-in gives each item it adds; so items may
// share a source, as on a real desktop. Calls are recorded as short texts: "CreateInstance" for
// each creation of an object, then
//   "GetDesktopItemOptions", "SetDesktopItemOptions components=1 active=1",
//   "GetDesktopItem 2", "AddDesktopItem", "ModifyDesktopItem 3 0x200", "RemoveDesktopItem 3",
//   "ApplyChanges 0x7", and "NotImplemented" for any other method.
#pragma once

#include <windows.h>

#include <wininet.h>  // before shlobj.h, which sizes the item record by the URL length limit

#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class StandInActiveDesktop {
  public:
    StandInActiveDesktop();
    ~StandInActiveDesktop();
    StandInActiveDesktop(const StandInActiveDesktop&) = delete;
    StandInActiveDesktop& operator=(const StandInActiveDesktop&) = delete;

    // The state, set up by the test before the program's call and read after it.
    void SetOptions(bool enableComponents, bool activeDesktop);
    COMPONENTSOPT Options() const;
    // Puts an item at the end of the list and returns its id.
    DWORD PutItem(const std::u16string& source, bool shown, int type = COMP_TYPE_PICTURE);
    std::vector<COMPONENT> Items() const;
    // The record the last AddDesktopItem call passed, as it was passed.
    std::optional<COMPONENT> LastAdded() const;

    // Misbehaviour on demand: the method of that name answers `result` from now on, and does
    // nothing. "CreateInstance" makes the creation of the object fail.
    void Fail(const std::string& method, HRESULT result = E_FAIL);
    // Removals report success but leave the item where it is.
    void KeepItemsOnRemoval();

    std::vector<std::string> Calls() const;
    void ClearCalls();
    // Objects created through the class and not yet released; the stand-in checks at its end
    // that none is left.
    int LiveObjects() const;

    // The state shared by the objects, and the class object that makes them.
    struct Shell;

  private:
    std::unique_ptr<Shell> shell_;
    DWORD registration_ = 0;
};

// The item's source as text.
std::u16string SourceOf(const COMPONENT& item);
