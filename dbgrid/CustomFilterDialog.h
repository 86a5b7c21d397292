// The custom filter dialog: one column of a grid filtered by one or two
// conditions joined by AND or OR. Each condition is an operator code chosen
// in a TcvFilterDialogComboEdit and a value typed in an editor of the
// column's filter editor class; confirming replaces the column's conditions
// in the grid's criteria.
#pragma once

#include "editors/ImageEdit.h"
#include "platform/ui/Forms.h"

#include <string>

class TBevel;
class TButton;
class TcvDBGridCriteria;
class TcvDBTreeListColumn;
class TLabel;
class TRadioButton;

// The dialog's operator codes: the items' values are the codes as decimal text.
enum TcvFilterDialogCode {
    fdcEquals,
    fdcNotEquals,
    fdcGreater,
    fdcGreaterEqual,
    fdcLess,
    fdcLessEqual,
    fdcBlanks,
    fdcNonBlanks,
};
inline constexpr int cvFilterDialogCodeCount = 8;
// The second chooser's value while it adds no condition.
inline constexpr const char* cvNoFilterDialogCode = "-1";

// The operator chooser: an image editor that lives as an ordinary control.
class TcvFilterDialogComboEdit : public TcvInplaceImageEdit {
public:
    explicit TcvFilterDialogComboEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceImageEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TfmCustomDialog : public TForm {
public:
    // The form as designed: labels, the placeholders that give the bounds of
    // the choosers and value editors, the radio buttons and the buttons.
    explicit TfmCustomDialog(TComponent* AOwner);

    TLabel* lblTitle = nullptr;
    TLabel* LColumnName = nullptr;
    TBevel* bvlLine = nullptr;
    TLabel* cbOperator1 = nullptr;
    TLabel* Edit1 = nullptr;
    TRadioButton* rbAnd = nullptr;
    TRadioButton* rbOr = nullptr;
    TLabel* cbOperator2 = nullptr;
    TLabel* Edit2 = nullptr;
    TLabel* lblSingle = nullptr;
    TLabel* lblSeries = nullptr;
    TButton* btnOK = nullptr;
    TButton* btnCancel = nullptr;

    // Made for the column by Prepare, at the placeholders' bounds.
    TcvFilterDialogComboEdit* Operator1 = nullptr;
    TcvFilterDialogComboEdit* Operator2 = nullptr;
    TcvInplaceEdit* Value1 = nullptr;
    TcvInplaceEdit* Value2 = nullptr;

    // Takes the grid's font, the column's caption, its allowed codes and two
    // editors of its filter editor class; then loads the column's first
    // condition in Criteria (and its group's second child) when it has one.
    void Prepare(TcvDBGridCriteria* Criteria, TcvDBTreeListColumn* Column);
    // Replaces the column's conditions in Criteria by the dialog's.
    void Apply(TcvDBGridCriteria* Criteria) const;

private:
    // Closing with OK: each value in use must convert to the column's value
    // type, else the editor takes the focus and "Invalid value" is raised.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    TcvDBTreeListColumn* FColumn = nullptr;
};

// Builds, loads and shows the dialog for Column modally, and frees it. True
// when the user confirmed with OK: the column's conditions in Criteria were
// replaced. Cancel leaves Criteria untouched.
bool ShowCustomDialog(TcvDBGridCriteria* Criteria, TcvDBTreeListColumn* Column);
