// The grid's multi-row selection: the tree list's selection hooks answered
// from the bookmark list, range walks over the dataset, deletion of the
// selected records, the selection kept across reloads, and copy as text.
#include "dbgrid/DBGrid.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"

#include <algorithm>

// Hooks -------------------------------------------------------------------------

bool TCustomcvDBGrid::CanSelectRange() const { return !IsBufferMode(); }

bool TCustomcvDBGrid::CanNodeSelected(TcvTreeListNode* Node) {
    bool allow = true;
    Fire(OnCanNodeSelected, this, Node, allow);
    if (!allow || IsBufferMode() || CanSelectAcrossLevels()) return allow;
    const TcvTreeListNode* anchor = GetSelectionAnchor();
    return !IsGroupNode(Node) && !(anchor && IsGroupNode(anchor));
}

int TCustomcvDBGrid::CompareToSelectionAnchor(const TcvTreeListNode* Node) const {
    if (!IsBufferMode()) return TCustomcvDBTreeListControl::CompareToSelectionAnchor(Node);
    if (!GetDataLink()->Active()) return 0;
    return CompareBookmarks(DataSet()->Bookmark(), FSelectionAnchorBookmark);
}

bool TCustomcvDBGrid::IsNodeSelected(const TcvTreeListNode* Node) const {
    if (SelectedCount() == 0 || !Node) return false;
    TStringList& list = SelectedList();
    if (!IsBufferMode()) {
        if (UseBookmarks()) return list.IndexOfObject(const_cast<TcvTreeListNode*>(Node)) >= 0;
        const Variant& key = static_cast<const TcvDBTreeListControlNode*>(Node)->KeyValue;
        for (int i = 0; i < list.Count(); ++i) {
            const auto* selected = static_cast<const TcvDBTreeListControlNode*>(list.Objects(i));
            if (selected && cvDBCtrl::CompareVariants(selected->KeyValue, key) == 0) return true;
        }
        return false;
    }
    int index = 0;
    return const_cast<TCustomcvDBGrid*>(this)->FindBookmark(RowBookmark(Node), index);
}

void TCustomcvDBGrid::InvalidateSelection() {
    if (!IsBufferMode()) {
        TCustomcvDBTreeListControl::InvalidateSelection();
        return;
    }
    if (SelectedCount() == 0) {
        InvalidateNode(FocusedNode(), false);
        return;
    }
    for (int i = 0; i < Count(); ++i)
        if (IsNodeSelected(Items(i))) InvalidateNode(Items(i), false);
}

std::string TCustomcvDBGrid::NodeBookmark(const TcvTreeListNode* Node) const {
    if (IsBufferMode()) return RowBookmark(Node);
    // A node leaves the selection from its base's destructor, when its own
    // part is gone: it is found by itself then, not by its bookmark.
    return Node->Destroying() ? std::string() : static_cast<const TcvDBGridNode*>(Node)->Bookmark;
}

std::string TCustomcvDBGrid::RowBookmark(const TcvTreeListNode* Node) const {
    if (Node == FocusedNode()) return DataSet()->Bookmark();
    // A row past the window's records (one going as the window shrinks) has none.
    const int row = Node->Index();
    if (row < 0 || row >= GetDataLink()->RecordCount()) return std::string();
    const TActiveRecordScope activeRow(GetDataLink(), row);
    return DataSet()->Bookmark();
}

void TCustomcvDBGrid::SetNodeSelected(TcvTreeListNode* Node, bool Selected) {
    if (!Node || !Options().Contains(egoMultiSelect) || !GetDataLink()->Active()) return;
    // A buffer row going away leaves its record selected.
    if (IsBufferMode() && Node->Destroying()) return;
    TStringList& list = SelectedList();
    if (IsBookmarkSelection()) {
        int index = -1;
        if (Options().Contains(egoExtMultiSelect) && GroupColumnCount() > 0) {
            if (Selected && !CanNodeSelected(Node)) return;
            const std::string bookmark = NodeBookmark(Node);
            index = list.IndexOfObject(Node);
            if ((index >= 0) == Selected) return;
            if (Selected) {
                FindBookmark(bookmark, index);
                list.InsertObject(std::max(index, 0), bookmark, Node);
            } else {
                list.Delete(index);
            }
        } else {
            const std::string bookmark = NodeBookmark(Node);
            if (Selected && !CanNodeSelected(Node)) return;
            if (IsBufferMode() || Selected) {
                if (bookmark.empty() || FindBookmark(bookmark, index) == Selected) return;
            } else {
                index = list.IndexOfObject(Node);
                if (index < 0) return;
            }
            if (Selected)
                list.InsertObject(index, bookmark, IsBufferMode() ? nullptr : Node);
            else
                list.Delete(index);
        }
    } else {
        int index = 0;
        const bool found = FindSelectedNode(Node, index);
        if (Selected && !found && CanNodeSelected(Node))
            list.InsertObject(index, std::string(), Node);
        else if (!Selected && found)
            list.Delete(index);
    }
    InvalidateNode(Node, false);
    TCustomcvTreeList::SetNodeSelected(Node, Selected);
}

void TCustomcvDBGrid::SetSelectionAnchor(TcvTreeListNode* Node) {
    const bool active = GetDataLink()->Active();
    if (IsBufferMode() && active) {
        // The start of a range is a record: a buffer row shows another one
        // as soon as the window scrolls. The tree list keeps the row only as
        // the mark that a range has a start, so a Shift+click reaches
        // SelectNodeRange.
        FSelectionAnchorBookmark = Node ? RowBookmark(Node) : std::string();
        TCustomcvDBTreeListControl::SetSelectionAnchor(Node);
        return;
    }
    if (IsPartialLoadMode() && active) FSelectionAnchorBookmark = DataSet()->Bookmark();
    TCustomcvDBTreeListControl::SetSelectionAnchor(Node);
}

// Ranges --------------------------------------------------------------------------

void TCustomcvDBGrid::SetSelectedBookmarks(const std::vector<std::string>& Bookmarks) {
    TStringList& list = SelectedList();
    list.BeginUpdate();
    const TScopeGuard updated([&list] { list.EndUpdate(); });
    list.Clear();
    list.SetCapacity(int(Bookmarks.size()));
    for (const std::string& bookmark : Bookmarks)
        list.AddObject(bookmark, nullptr);
}

std::vector<std::string> TCustomcvDBGrid::RecordsBetween(const std::string& A, const std::string& B) {
    TDataSet* const data = DataSet();
    const bool aFirst = CompareBookmarks(A, B) <= 0;
    const std::string& last = aFirst ? B : A;
    std::vector<std::string> records;
    for (data->GotoBookmark(aFirst ? A : B);; data->Next()) {
        records.push_back(data->Bookmark());
        if (records.back() == last || data->Eof()) break;
    }
    return records;
}

std::string TCustomcvDBGrid::ValidSelectionAnchor() {
    if (!DataSet()->BookmarkValid(FSelectionAnchorBookmark)) FSelectionAnchorBookmark = DataSet()->Bookmark();
    return FSelectionAnchorBookmark;
}

void TCustomcvDBGrid::SelectRecordRange(bool Backwards, int Count) {
    if (!IsBufferMode() || !Options().Contains(egoMultiSelect) || !GetDataLink()->Active() ||
        DataSet()->IsEmpty())
        return;
    TDataSet* const data = DataSet();
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    // A half-walked range never stays: whatever stops the walk leaves no selection.
    const TUnwindingTest walk;
    const TScopeGuard emptied([this, &walk] {
        if (walk.Unwinding()) ClearSelection();
    });
    {
        const TDisableControlsScope disabled(data);
        const std::string current = data->Bookmark();
        const std::string anchor = ValidSelectionAnchor();
        ClearSelection();
        std::vector<std::string> range;
        if (Count == 0) {
            // From the anchor to the dataset's start or end; the length is
            // known, so a walk over every record never regrows the range.
            data->GotoBookmark(anchor);
            if (const int recNo = data->RecNo(); recNo > 0)
                range.reserve(size_t(Backwards ? recNo : data->RecordCount() - recNo + 1));
            for (; !(Backwards ? data->Bof() : data->Eof()); Backwards ? data->Prior() : data->Next())
                range.push_back(data->Bookmark());
            if (Backwards) std::reverse(range.begin(), range.end());
        } else {
            // To the record Count rows past the current one, whichever side
            // of the anchor that lies.
            data->GotoBookmark(current);
            data->MoveBy(Backwards ? -Count : Count);
            range = RecordsBetween(anchor, data->Bookmark());
        }
        SetSelectedBookmarks(range);
        data->GotoBookmark(current);
    }
    // Moved with the controls listening, the rows scroll as far as a page
    // key would scroll them.
    if (Count > 0)
        data->MoveBy(Backwards ? -Count : Count);
    else if (Backwards)
        data->First();
    else
        data->Last();
    InvalidateSelection();
}

void TCustomcvDBGrid::SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) {
    TDataSet* const data = DataSet();
    if ((data && IsDataSetEditing()) || !IsMultiSelect()) return;
    const bool bookmarks = IsBookmarkSelection() && GetDataLink()->Active();
    if (bookmarks && IsBufferMode()) {
        // The rows are a window: the range is walked over the records from
        // the anchor's to the current one, added to what is selected.
        BeginSelectionChange();
        const TScopeGuard bracket([this] { EndSelectionChange(); });
        {
            const TDisableControlsScope disabled(data);
            const std::string current = data->Bookmark();
            for (const std::string& bookmark : RecordsBetween(ValidSelectionAnchor(), current)) {
                int index = 0;
                if (!FindBookmark(bookmark, index)) SelectedList().InsertObject(index, bookmark, nullptr);
            }
            data->GotoBookmark(current);
        }
        InvalidateSelection();
        return;
    }
    if (!bookmarks || !IsPartialLoadMode()) {
        TCustomcvDBTreeListControl::SelectNodeRange(NodeA, NodeB);
        return;
    }
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    const std::string current = data->Bookmark();
    const bool anchorFirst = CompareBookmarks(FSelectionAnchorBookmark, current) <= 0;
    FRangeLow = anchorFirst ? FSelectionAnchorBookmark : current;
    FRangeHigh = anchorFirst ? current : FSelectionAnchorBookmark;
    // The load keeps what is selected and adds the range's records.
    FRangeReload = true;
    const TScopeGuard reloaded([this] { FRangeReload = false; });
    LoadPartialWindow(0, 0, true);
}

// Keeping the selection across reloads ------------------------------------------

void TCustomcvDBGrid::SaveSelection() {
    TStringList& list = SelectedList();
    if (IsBookmarkSelection()) {
        FSavedBookmarks.clear();
        for (int i = 0; i < list.Count(); ++i)
            FSavedBookmarks.push_back(list.Strings(i));
    } else if (list.Count() > 0 && list.Objects(0)) {
        FValueRecords.clear();
        for (int i = 0; i < list.Count(); ++i)
            FValueRecords.push_back(static_cast<TcvDBTreeListControlNode*>(list.Objects(i))->KeyValue);
        std::sort(FValueRecords.begin(), FValueRecords.end(),
                  [](const Variant& A, const Variant& B) { return cvDBCtrl::CompareVariants(A, B) < 0; });
    }
    // The entries' nodes are about to go; the loaded ones take their place.
    list.Clear();
}

void TCustomcvDBGrid::ReselectLoadedNode(TcvTreeListNode* Node) {
    if (!IsBookmarkSelection()) {
        const Variant& key = static_cast<TcvDBTreeListControlNode*>(Node)->KeyValue;
        const auto found =
            std::lower_bound(FValueRecords.begin(), FValueRecords.end(), key, [](const Variant& A, const Variant& B) {
                return cvDBCtrl::CompareVariants(A, B) < 0;
            });
        if (found == FValueRecords.end() || cvDBCtrl::CompareVariants(*found, key) != 0) return;
        FValueRecords.erase(found);
        Node->SetSelected(true);
        return;
    }
    const std::string& bookmark = static_cast<TcvDBGridNode*>(Node)->Bookmark;
    const auto before = [this](const std::string& A, const std::string& B) { return CompareBookmarks(A, B) < 0; };
    const auto saved = std::lower_bound(FSavedBookmarks.begin(), FSavedBookmarks.end(), bookmark, before);
    const bool wasSelected = saved != FSavedBookmarks.end() && *saved == bookmark;
    bool select = wasSelected;
    if (FRangeReload) {
        if (bookmark == FSelectionAnchorBookmark) TCustomcvDBTreeListControl::SetSelectionAnchor(Node);
        select = select || (CompareBookmarks(FRangeLow, bookmark) <= 0 && CompareBookmarks(bookmark, FRangeHigh) <= 0 &&
                            CanNodeSelected(Node));
    }
    if (wasSelected) FSavedBookmarks.erase(saved);
    int index = 0;
    if (select && !FindBookmark(bookmark, index)) SelectedList().InsertObject(index, bookmark, Node);
}

void TCustomcvDBGrid::DiscardSavedSelection() {
    // A partial window holds only some records: the selected ones outside it
    // stay selected, without a node.
    if (IsPartialLoadMode() && IsBookmarkSelection() && GetDataLink()->Active())
        for (const std::string& bookmark : FSavedBookmarks) {
            int index = 0;
            if (DataSet()->BookmarkValid(bookmark) && !FindBookmark(bookmark, index))
                SelectedList().InsertObject(index, bookmark, nullptr);
        }
    FValueRecords.clear();
    FSavedBookmarks.clear();
}

void TCustomcvDBGrid::SyncSelectionWithDataSet() {
    if (!FOptionsDB.Contains(edgoSyncSelection) || !IsMultiSelect() || !IsBookmarkSelection() ||
        !FDataLink->Active() || InSelectionChange() || IsDataSetEditing() || !FocusedNode())
        return;
    int index = 0;
    if (FindBookmark(DataSet()->Bookmark(), index)) return;
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    ClearSelection();
    SetNodeSelected(FocusedNode(), true);
}

// Deleting ----------------------------------------------------------------------

void TCustomcvDBGrid::DeleteSelection() {
    ResetSelectionPending();
    TDataSet* const data = DataSet();
    const TDisableControlsScope disabled(data);
    const TScopeGuard emptied([this] { ClearSelection(); });
    TStringList& list = SelectedList();
    std::vector<std::string> bookmarks;
    for (int i = 0; i < list.Count(); ++i)
        bookmarks.push_back(list.Strings(i));
    for (const std::string& bookmark : bookmarks) {
        // Another control may have deleted the record meanwhile.
        if (!data->BookmarkValid(bookmark)) continue;
        data->GotoBookmark(bookmark);
        data->Delete();
    }
}

// Copy as text --------------------------------------------------------------------

void TCustomcvDBGrid::SaveRecordsToStrings(TStrings* Strings, bool SelectedOnly) const {
    std::string line;
    GetHeaderLineText(line);
    Strings->Add(line);
    TDataSet* const data = DataSet();
    const TDisableControlsScope disabled(data);
    const std::string current = data->Bookmark();
    const TScopeGuard back([data, &current] {
        if (data->BookmarkValid(current)) data->GotoBookmark(current);
    });
    // The visible columns with their fields, in visible order.
    std::vector<std::pair<const TcvDBTreeListColumn*, TField*>> cells;
    for (int visible = 0; visible < GetVisibleColumnCount(); ++visible) {
        const TcvDBTreeListColumn* column = DBColumns(GetAbsoluteIndex(visible));
        cells.emplace_back(column, column ? data->FindField(column->FieldName()) : nullptr);
    }
    const auto addRecord = [Strings, &line, &cells] {
        line.clear();
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) line += '\t';
            const auto [column, field] = cells[i];
            if (field) line += column->GetCopyText(field->Value(), field->DisplayText());
        }
        Strings->Add(line);
    };
    if (!SelectedOnly) {
        for (data->First(); !data->Eof(); data->Next())
            addRecord();
        return;
    }
    for (int i = 0; i < SelectedCount(); ++i) {
        const std::string bookmark = GetSelectedRow(i);
        if (!data->BookmarkValid(bookmark)) continue;
        data->GotoBookmark(bookmark);
        addRecord();
    }
}

void TCustomcvDBGrid::SaveAllToStrings(TStrings* Strings) const {
    if (IsBufferMode() && GetDataLink()->Active())
        SaveRecordsToStrings(Strings, false);
    else
        TCustomcvDBTreeListControl::SaveAllToStrings(Strings);
}

void TCustomcvDBGrid::SaveSelectedToStrings(TStrings* Strings) const {
    if (IsBufferMode() && GetDataLink()->Active() && IsMultiSelect())
        SaveRecordsToStrings(Strings, true);
    else
        TCustomcvDBTreeListControl::SaveSelectedToStrings(Strings);
}
