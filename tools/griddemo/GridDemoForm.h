// The grid demo's form: a document list as the document windows show it, a
// grid aligned left over a query of the list, whole rows highlighted, several
// rows selectable, sorting by a header click, one column of each of the five
// classes those windows use and a hidden key column.
#pragma once

#include "platform/ui/Forms.h"

#include <string>

class TADOConnection;
class TADOQuery;
class TcvDBGrid;
class TDataSource;
class TPopupMenu;

// How the grid gets its rows.
enum class TGridDemoMode { Buffer, Memory, Partial };

class TfrmGridDemo : public TForm {
public:
    explicit TfrmGridDemo(TComponent* AOwner);
    // Makes the list in a new SQLite file (a few hundred documents) and
    // opens it in the grid in that mode.
    void OpenDocuments(const std::string& FileName, TGridDemoMode Mode);
    // Columns of each name's topic and kind, grouped on the group panel, each
    // group row counting its documents and summing their amounts; the summary
    // footer with the count and the total; a filter button on every header.
    void GroupByTopicAndKind();
    // The export loop of the document windows: the key of every selected
    // row, read with the dataset moved onto it.
    std::string SelectedKeys() const;

    TcvDBGrid* grdDocuments = nullptr;

private:
    TADOConnection* FConnection = nullptr;
    TADOQuery* qryDocuments = nullptr;
    TDataSource* dsDocuments = nullptr;
    TPopupMenu* pmDocuments = nullptr;
};
