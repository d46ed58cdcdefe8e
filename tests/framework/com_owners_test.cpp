// The COM owners balance what they take: the scope uninitialises exactly what it initialised,
// and the interface owner releases its one reference.
#include "framework/com_owners_win.h"

#include <gtest/gtest.h>

namespace {

// Counts the releases made on it; nothing is ever really freed.
class CountingUnknown : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        return 1;
    }
    int releases = 0;
};

// COM is not initialised on the thread when CoInitialize reports S_OK rather than S_FALSE.
bool ComWasUninitialised() {
    const HRESULT result = CoInitialize(nullptr);
    CoUninitialize();
    return result == S_OK;
}

TEST(ComScopeTest, UninitialisesWhatItInitialised) {
    {
        ComScope outer;
        ASSERT_TRUE(outer);
        EXPECT_EQ(outer.Result(), S_OK);
        {
            ComScope inner;  // COM is initialised already: S_FALSE, which must be matched too
            EXPECT_TRUE(inner);
            EXPECT_EQ(inner.Result(), S_FALSE);
        }
        EXPECT_FALSE(ComWasUninitialised());
    }
    EXPECT_TRUE(ComWasUninitialised());
}

TEST(ComScopeTest, FailedInitialisationIsNotUndone) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
        ComScope scope;  // the other apartment kind: RPC_E_CHANGED_MODE
        EXPECT_FALSE(scope);
    }
    // The multithreaded initialisation is still there: one more CoUninitialize ends it.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_TRUE(ComWasUninitialised());
}

TEST(OwnedComInterfaceTest, ReleasesItsReferenceOnceAndHandsItOverWhenMoved) {
    CountingUnknown object;
    {
        OwnedComInterface<IUnknown> owner;
        *owner.Receive() = &object;
        EXPECT_EQ(owner.Get(), &object);
        OwnedComInterface<IUnknown> target(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(object.releases, 0);
    }
    EXPECT_EQ(object.releases, 1);

    OwnedComInterface<IUnknown> refilled;
    *refilled.Receive() = &object;
    *refilled.Receive() = &object;  // a new creation first releases what was held
    EXPECT_EQ(object.releases, 2);
    refilled.Reset();
    EXPECT_EQ(object.releases, 3);
    EXPECT_FALSE(refilled);
}

}  // namespace
