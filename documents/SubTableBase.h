// The base of the sub-table editors: a modal window over the child rows of
// one document, which fills the parent key and a key of the child table's
// own counter into new rows and asks before losing an edit. Each editor
// describes its table, columns and required field in a TSubTableLayout.
#pragma once

#include "documents/DocumentToolBar.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"

#include <span>
#include <string>
#include <utility>

class TADODataSet;
class TADOQuery;
class TcvDBGrid;
class TDataSet;
class TDataSource;
class TPanel;
class TSplitter;

// The control classes of an editor's field rows.
enum TSubTableControl {
    scEdit, // data-aware text editor "edt_" + column
    scMemo, // data-aware memo "mem_" + column
};

struct TSubTableLayout {
    const char* FormName;
    const char* Caption;
    const char* Table;
    const char* KeyColumn;
    std::span<const TFieldRow> Fields;
    std::span<const std::pair<const char*, const char*>> ListColumns; // the list's columns: field, caption
    const char* RequiredColumn;                // its editor's text may not be empty
    const char* RequiredMessage;
    int ClientWidth;
    int ClientHeight;
};

class TfrmBase : public TForm, public TDataSetToolBar {
public:
    TfrmBase(TComponent* AOwner, const TSubTableLayout& Layout);
    ~TfrmBase() override;

    // The parent document's key, set before the window shows.
    std::string NXMLXID;

    TcvDBGrid* cvDBGrid1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* Panel1 = nullptr;
    TADODataSet* ADODataSet1 = nullptr;
    TDataSource* DataSource1 = nullptr;
    TADOQuery* ADOQuery1 = nullptr;

    // The next id of the counter TableName, as the data module hands it out.
    Integer GetMaxID(const std::string& TableName);

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DataSetDelete2Execute(TObject* Sender);
    void ADODataSet1BeforeClose(TDataSet* DataSet);
    virtual void ADODataSet1AfterInsert(TDataSet* DataSet);
    virtual void ADODataSet1BeforePost(TDataSet* DataSet);
    virtual void ADODataSet1AfterScroll(TDataSet* DataSet) { (void)DataSet; }
    virtual void DataSource1StateChange(TObject* Sender) { (void)Sender; }

    template <class T = TWinControl> T* Named(const std::string& Name) const {
        return NamedComponent<T>(this, Name);
    }

protected:
    const TSubTableLayout& Layout() const { return FLayout; }
    // Shows Message as an error, focuses Control and aborts the post.
    [[noreturn]] void Refuse(TWinControl* Control, const std::string& Message);

private:
    void BuildForm();
    bool Editing() const;

    const TSubTableLayout& FLayout;
};

// The indicator, unit and committee editors: their layout is all they add.
class TfrmSQJJZB : public TfrmBase {
public:
    explicit TfrmSQJJZB(TComponent* AOwner);
};
class TfrmSQJSZB : public TfrmBase {
public:
    explicit TfrmSQJSZB(TComponent* AOwner);
};
class TfrmSQJSHZB : public TfrmBase {
public:
    explicit TfrmSQJSHZB(TComponent* AOwner);
};
class TfrmSQZYCJDW : public TfrmBase {
public:
    explicit TfrmSQZYCJDW(TComponent* AOwner);
};
class TfrmYSJJZB : public TfrmBase {
public:
    explicit TfrmYSJJZB(TComponent* AOwner);
};
class TfrmYSJSZB : public TfrmBase {
public:
    explicit TfrmYSJSZB(TComponent* AOwner);
};
class TfrmYSJSHZB : public TfrmBase {
public:
    explicit TfrmYSJSHZB(TComponent* AOwner);
};
class TfrmYSWYHRYB : public TfrmBase {
public:
    explicit TfrmYSWYHRYB(TComponent* AOwner);
};

class TComboBox;

// The staff editor: sex, education and title in combo boxes copied by hand,
// education kept in JSZC and title in XL, as stored rows have them.
class TfrmYSXMRYB : public TfrmBase {
public:
    explicit TfrmYSXMRYB(TComponent* AOwner);

    TComboBox* ComboBox1 = nullptr; // XB
    TComboBox* ComboBox2 = nullptr; // JSZC: education
    TComboBox* ComboBox3 = nullptr; // XL: title

    void ADODataSet1BeforePost(TDataSet* DataSet) override;
    void ADODataSet1AfterScroll(TDataSet* DataSet) override;
    void DataSource1StateChange(TObject* Sender) override;
};

// Makes the editor of class T for a sub-table button.
template <class T> TfrmBase* MakeSubTableEditor(TComponent* Owner) {
    return new T(Owner);
}
