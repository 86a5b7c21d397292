// The wrapper column asks its reference column for the row, and behaves as
// a plain column without one.
#include "dbgrid/GridColumns.h"

#include <gtest/gtest.h>

namespace {

TEST(DBColumnWrapperTest, TheEditButtonShowsAsTheReferenceColumnSays) {
    TcvDBGridWrapperColumn wrapper(nullptr);
    TcvDBGridPickColumn pick(nullptr);
    TcvDBTreeListColumn* reference = nullptr;
    wrapper.OnGetReferenceColumn = [&reference](TObject*, TcvTreeListNode*, TcvDBTreeListColumn*& Column) {
        Column = reference;
    };
    const struct {
        const char* Name;
        bool Referenced;
        TcvShowButtonStyle Style;
        bool Default;
        bool Shown;
    } cases[] = {
        {"no reference: a plain column shows none", false, TcvShowButtonStyle::sbAlways, true, false},
        {"always", true, TcvShowButtonStyle::sbAlways, false, true},
        {"never", true, TcvShowButtonStyle::sbNone, true, false},
        {"the editor's own answer", true, TcvShowButtonStyle::sbDefault, true, true},
    };
    for (const auto& c : cases) {
        reference = c.Referenced ? &pick : nullptr;
        pick.SetShowButtonStyle(c.Style);
        EXPECT_EQ(wrapper.ShowsEditButton(c.Default), c.Shown) << c.Name;
    }
}

} // namespace
