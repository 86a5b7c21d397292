// The code-table window: the five code tables of the user's database, one
// tab each, and the import that replaces all five from another database file
// at once.
#pragma once

#include "components/FlatPainter.h"
#include "platform/data/ADODB.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/DBGrids.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <array>
#include <string>

class TfrmCode : public TForm {
public:
    explicit TfrmCode(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    std::array<TTabSheet*, 5> TabSheets{};
    // One query and data source per tab, in tab order: JHLB, ZGBM, XZQHDM, JSLY, XKLY.
    std::array<TADOQuery*, 5> Queries{};
    std::array<TDataSource*, 5> DataSources{};
    // The grids; the first, over the plan categories, is dbgmain.
    std::array<TDBGrid*, 5> Grids{};
    TDBGrid* dbgmain = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* edt_filename = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TButton* BtnReturn = nullptr;
    TFlatPainter* FlatPainter1 = nullptr;

    // True when all five tables were replaced by those of FileName; false,
    // with nothing changed, when any of them is missing there or any row
    // does not fit.
    bool ImportCodeTables(const std::string& FileName);

    void FormCreate(TObject* Sender);
    void TabSheetShow(int Index);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void BtnReturnClick(TObject* Sender);
    // Numbers the rows of the plan-category grid in its "序号" column.
    void dbgmainDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
};
