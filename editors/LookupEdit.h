// The lookup editor: a drop-down editor whose value is a key and whose text is
// the list text of the record with that key. The list comes either from a
// lookup field's own definition (lookup dataset, key fields, result field) or
// from the editor's ListSource, KeyFieldName and ListFieldName. The text is
// never typed: a typed character (input-method text too) searches the list by
// prefix and takes the key of the record found.
#pragma once

#include "editors/Container.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/DBCtrls.h"

#include <string>

class TDataSet;

// The list a lookup editor drops down: the popup data list with the editors'
// popup frame and shadow.
class TPopupDBLookupListBox : public TPopupDataList {
public:
    explicit TPopupDBLookupListBox(TComponent* AOwner);

    TcvPopupBorder BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TcvPopupBorder Value);
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value);
    int ShadowSize() const { return FShadowSize; }

    void WndProc(TMessage& Message) override;

protected:
    // The frame's height on both sides, the shadow included.
    int GetBorderSize() override;
    void CreateParams(TCreateParams& Params) override;

private:
    TcvPopupBorder FBorderStyle = pbDefault;
    bool FShadow = false;
    int FShadowSize = 2;
};

// The list work of the lookup editor over any dataset.
namespace cvLookupList {

// The first name of a ";"-separated list of field names.
std::string FirstFieldName(const std::string& Names);
// Moves DataSet to the first record whose ListField starts with Text, case
// ignored; false (the cursor where Locate left it) when there is none or the
// search fails.
bool LocateByText(TDataSet* DataSet, const std::string& ListField, const std::string& Text);
// The ListField text of the record whose KeyFields equal Key; empty when the
// dataset is closed or has no such record. Moves the cursor there.
std::string TextForKey(TDataSet* DataSet, const std::string& KeyFields, const std::string& ListField,
                       const Variant& Key);
// The record Delta records from the one whose KeyFields equal Key (from the
// first record when none does) becomes current.
void StepFromKey(TDataSet* DataSet, const std::string& KeyFields, const Variant& Key, int Delta);

} // namespace cvLookupList
