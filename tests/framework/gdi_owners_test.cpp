// Each GDI owner releases what it holds, exactly once, and nothing else.
#include "framework/gdi_owners_win.h"

#include <gtest/gtest.h>

namespace {

HBITMAP MakeBitmap() {
    return CreateBitmap(4, 4, 1, 32, nullptr);
}

TEST(OwnedGdiObjectTest, DeletesItsObjectAtTheEnd) {
    HBITMAP bitmap = MakeBitmap();
    ASSERT_NE(bitmap, nullptr);
    {
        OwnedBitmap owner(bitmap);
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(OwnedGdiObjectTest, ReleaseGivesUpOwnership) {
    HBITMAP bitmap = nullptr;
    {
        OwnedBitmap owner(MakeBitmap());
        bitmap = owner.Release();
        EXPECT_FALSE(owner);
    }
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(bitmap);
}

TEST(OwnedGdiObjectTest, MovingHandsOverAndResetDeletesTheOldObject) {
    HBITMAP first = MakeBitmap();
    HBITMAP second = MakeBitmap();
    {
        OwnedBitmap source(first);
        OwnedBitmap target(std::move(source));
        EXPECT_FALSE(source);
        EXPECT_EQ(target.Get(), first);

        target.Reset(second);
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));

        OwnedBitmap other(MakeBitmap());
        HBITMAP replaced = other.Get();
        other = std::move(target);
        EXPECT_EQ(GetObjectType(replaced), 0u);
        EXPECT_EQ(other.Get(), second);
    }
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST(OwnedMemoryDcTest, DeletesItsContextAtTheEnd) {
    HDC dc = nullptr;
    {
        OwnedMemoryDc owner;
        ASSERT_TRUE(owner);
        dc = owner.Get();
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(OwnedWindowDcTest, GivesTheScreenContextBack) {
    HDC dc = nullptr;
    {
        OwnedWindowDc owner;
        ASSERT_TRUE(owner);
        dc = owner.Get();
        EXPECT_NE(GetDeviceCaps(dc, BITSPIXEL), 0);
    }
    // Released already: a second release finds nothing to give back.
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
}

TEST(ScopedSelectionTest, PutsThePreviousObjectBack) {
    OwnedMemoryDc dc;
    OwnedBitmap bitmap(MakeBitmap());
    HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        ScopedSelection selection(dc.Get(), bitmap.Get());
        EXPECT_TRUE(selection);
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
    // Deselected, so the owner's deletion succeeds.
    HBITMAP handle = bitmap.Get();
    bitmap.Reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(ScopedSelectionTest, NestedSelectionsUnwindInOrder) {
    OwnedMemoryDc dc;
    OwnedBitmap first(MakeBitmap());
    OwnedBitmap second(MakeBitmap());
    HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        ScopedSelection outer(dc.Get(), first.Get());
        {
            ScopedSelection inner(dc.Get(), second.Get());
            EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), second.Get());
        }
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), first.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
}

TEST(ScopedSelectionTest, AFailedSelectionRestoresNothing) {
    OwnedMemoryDc dc;
    HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    {
        ScopedSelection selection(dc.Get(), nullptr);
        EXPECT_FALSE(selection);
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
    ScopedSelection noContext(nullptr, GetStockObject(BLACK_PEN));
    EXPECT_FALSE(noContext);
}

}  // namespace
