// A combo box that shows names and keeps, in the parallel list codes, the code
// stored for each name: codes[i] belongs to Items[i]. The pairing is the
// callers' to keep; the box never checks it and refuses no typed text (the
// windows that use it check the text on exit with their own message).
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"

#include <memory>
#include <string>

class TCodeComboBox : public TComboBox {
public:
    explicit TCodeComboBox(TComponent* AOwner);
    ~TCodeComboBox() override;

    // The box's own list; callers may insert into, clear and search it directly.
    TStringList* codes() const { return FCodes.get(); }
    // Copies Value's strings; the list keeps its identity and the caller its list.
    void SetCodes(TStrings* Value);

    // The code at ItemIndex, or "" when nothing is selected or codes is shorter.
    std::string SelectedCode() const { return GetSelectedCode(); }
    std::string GetSelectedCode() const;
    // Stored only; the selection stays as it is.
    void SetSelectedCode(const std::string& Value) { FSelectedCode = Value; }

private:
    std::unique_ptr<TStringList> FCodes;
    std::string FSelectedCode;
};
