// TcvTreeListColumn: a column of the tree-list control. Columns belong to
// their form and register with one control, whose list order is their
// absolute index. A column places itself in a band row, carries its header
// and cell appearance, and names the in-place editor class that paints,
// measures and edits its cells. Properties with a computed default
// (Alignment, Caption, Color, Font, MaxLength, ReadOnly, Width) read that
// default until they are set explicitly.
#pragma once

#include "editors/TextEdit.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/StdCtrls.h"
#include "treelist/cvTL.h"

#include <functional>
#include <memory>
#include <string>

class TcvEditViewData;
class TcvInplaceEdit;
class TcvInplaceEditClass;
class TcvTreeListColumn;
class TcvTreeListNode;
class TCustomcvTreeListControl;
struct TcvTreeListCellViewData;

using TcvTLCustomDrawCell =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode,
                       TcvTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow, std::string& AText,
                       TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TcvTLCustomDrawHeader = std::function<void(TObject* Sender, TcvTreeListColumn* AColumn, TCanvas* ACanvas,
                                                 const TRect& ARect, std::string& AText, TColor& AColor, TFont* AFont,
                                                 TAlignment& AAlignment, TcvTreeListColumnSort& ASorted, bool& ADone)>;

// The column's editor: the text editor under the tree list's own name.
class TcvInplaceTreeListTextEdit : public TcvInplaceTextEdit {
public:
    explicit TcvInplaceTreeListTextEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceTextEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// The properties whose explicit values stand against their defaults.
enum TcvTreeListColumnAssignedValue {
    cavAlignment,
    cavCaption,
    cavReadOnly,
    cavWidth,
    cavColor,
    cavFont,
    cavMaxLength
};
using TcvTreeListColumnAssignedValues = TSet<TcvTreeListColumnAssignedValue>;

class TcvTreeListColumn : public TComponent {
public:
    explicit TcvTreeListColumn(TComponent* AOwner);
    // Its cell texts leave the nodes and the column leaves its control.
    ~TcvTreeListColumn() override;

    // Virtual operations.
    // A text editor's text goes into the node's cell; Value gets the cell value.
    virtual void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value);
    // The editor changed or validates its value: the control's edit event,
    // then the column's; neither while the control loads a value into it.
    virtual void DoChange(TObject* Sender);
    virtual void DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept);
    virtual bool HasCustomDrawCell() const { return bool(OnCustomDrawCell); }
    virtual void DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                                  bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor, TFont* AFont,
                                  TAlignment& AAlignment, bool& ADone);
    virtual bool HasCustomDrawColumnHeader() const { return bool(OnCustomDrawColumnHeader); }
    virtual void DoCustomDrawColumnHeader(TCanvas* ACanvas, const TRect& ARect, std::string& AText, TColor& AColor,
                                          TFont* AFont, TAlignment& AAlignment, TcvTreeListColumnSort& ASorted,
                                          bool& ADone);
    // Marks the font as set and relays out.
    virtual void FontChanged();
    // The class object that paints, measures and edits this column's cells.
    virtual const TcvInplaceEditClass& GetEditorClass() const;
    // The node's cell text at this column's index.
    virtual std::string GetDisplayText(TcvTreeListNode* Node) const;
    virtual bool IsEditorEnabled() const { return !FDisableEditor; }
    // Editing. The column's settings go into the editor (read-only state,
    // change and validate events, a text editor's text settings), and the
    // node's cell text into its text; Value receives that text.
    virtual void InitEditor(TcvInplaceEdit* Editor);
    virtual void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value);
    // Whether the cell shows an edit button (hot tracking asks); none here.
    virtual bool HasEditButton() const { return false; }
    // Whether the open editor shows its edit button, given the editor's own
    // answer; none here.
    virtual bool ShowsEditButton(bool Default) const { return (void)Default, false; }
    // The cursor over a hot cell; the column leaves it.
    virtual void GetCellCursor(TcvTreeListNode* Node, TCursor& Cursor) const { (void)Node, (void)Cursor; }
    // The fixed index while a wrapper forwards to this column, else the list
    // position; -1 without a control.
    virtual int GetIndex() const;
    virtual int GetCellImageKind() const { return 0; }
    // The text shown for Value (a check column's state text, an image
    // column's description); the text itself here.
    virtual void ConvertDisplayText(const Variant& Value, std::string& Text) const { (void)Value, (void)Text; }
    // What an export writes for Value; left empty here, which keeps the
    // display text.
    virtual void GetExportText(const Variant& Value, bool HTML, std::string& Result) const {
        (void)Value, (void)HTML, (void)Result;
    }
    // A cell copied as text: its display text converted, unless the export
    // text replaces it.
    std::string GetCopyText(const Variant& Value, std::string Text) const;
    // One view data of the editor class's kind, refilled for every cell.
    TcvEditViewData* GetViewData() const;
    virtual bool IsMemoColumn() const { return false; }
    // Turns the tree list's cell description into the editor's view data.
    virtual void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell);
    // With inverted selection: a strip of Brush above and below the cell
    // (and at the row's ends), taken off R.
    static void DrawInvertSelectFrame(HDC DC, TRect& R, HBRUSH Brush, bool LeftEdge, bool RightEdge);
    // Moves the column (and the nodes' cell texts) to another absolute index.
    virtual void SetIndex(int Value);
    virtual TAlignment GetDefaultAlignment() const { return taLeftJustify; }
    virtual std::string GetDefaultCaption() const { return {}; }
    virtual int GetDefaultMaxLength() const { return 0; }
    virtual bool GetDefaultReadOnly() const { return false; }
    virtual int GetDefaultWidth() const { return 100; }
    // The width of the node's cell text in the canvas font.
    virtual int GetCellTextWidth(TCanvas* Canvas, TcvTreeListNode* Node) const;
    virtual void RestoreDefaults();

    // From another column, inside its control's update bracket: the
    // explicitly set values and the placement; editor settings and events
    // are not copied.
    void Assign(TPersistent* Source) override;
    // The control relays out (whole) or rethinks this column.
    void Changed(bool WholeLayout);
    TCustomcvTreeListControl* TreeList() const { return FTreeList; }
    // Leaves the old control and joins the new one, last in its order.
    void SetTreeList(TCustomcvTreeListControl* Value);
    // The control's font, unless the column's own was set.
    void SyncFont();
    // The node being painted or measured by this column; nullptr otherwise.
    TcvTreeListNode* PaintingNode() const { return FPaintingNode; }
    void SetPaintingNode(TcvTreeListNode* Value) { FPaintingNode = Value; }
    // Set by wrapper columns while they forward to this one; -1 otherwise.
    void SetFixedIndex(int Value) { FFixedIndex = Value; }
    bool IsAssigned(TcvTreeListColumnAssignedValue Value) const { return FAssignedValues.Contains(Value); }
    // The streamed extras: the position among the sorted columns, and the
    // row the user chose.
    int LoadedSortOrder() const { return FLoadedSortOrder; }
    void SetSortedOrder(int Value) { FLoadedSortOrder = Value; }
    int StoredRowIndex() const { return FStoredRowIndex; }
    void SetStoredRowIndex(int Value) { FStoredRowIndex = Value; }

    // Published properties.
    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    std::string Caption() const;
    void SetCaption(const std::string& Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    TColor Color() const;
    void SetColor(TColor Value);
    // The colour an unset Color follows: the control's.
    TColor DefaultColor() const;
    bool DisableCaption() const { return FDisableCaption; }
    void SetDisableCaption(bool Value);
    bool DisableCustomizing() const { return FDisableCustomizing; }
    void SetDisableCustomizing(bool Value);
    bool DisableDragging() const { return FDisableDragging; }
    void SetDisableDragging(bool Value) { FDisableDragging = Value; }
    bool DisableEditor() const { return FDisableEditor; }
    void SetDisableEditor(bool Value) { FDisableEditor = Value; }
    bool DisableFilter() const { return FDisableFilter; }
    void SetDisableFilter(bool Value);
    // Made from the control's font on first use; follows it until set.
    TFont* Font() const;
    void SetFont(TFont* Value);
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment Value);
    // Made on first read; nullptr frees it.
    TBitmap* HeaderGlyph() const;
    void SetHeaderGlyph(TBitmap* Value);
    bool HasHeaderGlyph() const { return FHeaderGlyph != nullptr; }
    int MaxLength() const;
    void SetMaxLength(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    // Also True while the control's editors are read-only.
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    // The column's own setting, whatever the control says.
    bool OwnReadOnly() const { return IsAssigned(cavReadOnly) ? FReadOnly : GetDefaultReadOnly(); }
    bool Sizing() const { return FSizing; }
    void SetSizing(bool Value);
    TcvTreeListColumnSort Sorted() const { return FSorted; }
    // Registers the column among the control's sort keys, or takes it out
    // for csNone; while the control loads the value is only stored.
    void SetSorted(TcvTreeListColumnSort Value);
    // The column's place among the sort keys; -1 when it is none.
    int GetSortedOrder() const;
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    TTextLayout VertAlignment() const { return FVertAlignment; }
    void SetVertAlignment(TTextLayout Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return IsAssigned(cavWidth) ? FWidth : GetDefaultWidth(); }
    // Raised to MinWidth; the default width stays "default".
    void SetWidth(int Value);
    // Stores the width as set, raised to MinWidth, without a notification.
    void SizeWidth(int Value);
    int BandIndex() const { return FBandIndex; }
    // Clamped to -1 .. band count - 1.
    void SetBandIndex(int Value);
    // The stored row, limited by the control's header rows: raising them
    // brings the column back to the row it asked for.
    int RowIndex() const;
    void SetRowIndex(int Value);
    // Shown columns before this one in its band row.
    int ColIndex() const;
    // Moves the column to that place of its band row.
    void SetColIndex(int Value);
    int HeaderMaxLineCount() const { return FHeaderMaxLineCount; }
    void SetHeaderMaxLineCount(int Value);

    TNotifyEvent OnChange;
    TcvTLCustomDrawCell OnCustomDrawCell;
    TcvTLCustomDrawHeader OnCustomDrawColumnHeader;
    TcvEditValidateEvent OnValidate;

private:
    // The band moves and the placement write BandIndex and the stored row
    // directly, without notifications.
    friend class TcvTreeListBand;
    friend class TCustomcvTreeListControl;
    void SetAssigned(TcvTreeListColumnAssignedValue Value) { FAssignedValues.Include(Value); }
    // Copies the control's font without firing the font's change handler.
    void CopyControlFont() const;

    TCustomcvTreeListControl* FTreeList = nullptr;
    TcvTreeListColumnAssignedValues FAssignedValues;
    TAlignment FAlignment = taLeftJustify;
    std::string FCaption;
    TEditCharCase FCharCase = ecNormal;
    TColor FColor = clWindow;
    bool FDisableCaption = false;
    bool FDisableCustomizing = false;
    bool FDisableDragging = false;
    bool FDisableEditor = false;
    bool FDisableFilter = false;
    mutable std::unique_ptr<TFont> FFont;
    TAlignment FHeaderAlignment = taLeftJustify;
    mutable std::unique_ptr<TBitmap> FHeaderGlyph;
    int FMaxLength = 0;
    int FMinWidth = 20;
    bool FOEMConvert = false;
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    bool FSizing = true;
    TcvTreeListColumnSort FSorted = csNone;
    bool FTabStop = true;
    TTextLayout FVertAlignment = tlTop;
    bool FVisible = true;
    int FWidth = 100;
    int FBandIndex = -1;
    int FStoredRowIndex = 0;
    int FHeaderMaxLineCount = 1;
    int FLoadedSortOrder = -1;
    int FFixedIndex = -1;
    TcvTreeListNode* FPaintingNode = nullptr;
    mutable std::unique_ptr<TcvEditViewData> FViewData; // made on first use
};
