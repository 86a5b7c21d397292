// Grids on shown forms: TGridOnForm puts a TcvDBGrid with columns bound to
// the fields named on a shown form and gives it its data source;
// TShownGrid does so over the fixture's records.
#pragma once

#include "dbgrid/DBGrid.h"
#include "tests/dbgrid/GridFixture.h"
#include "tests/platform/ui/WmRecorder.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <functional>
#include <initializer_list>
#include <memory>

namespace gridtest {

class TGridOnForm {
public:
    // A grid of Width x Height; Prepare sets it up (inside the form's loading
    // bracket when FromForm) before the form shows and the grid gets Source.
    TGridOnForm(TDataSource* Source, int Width, int Height, std::initializer_list<const char*> Fields,
                const std::function<void(TcvDBGrid&)>& Prepare, bool FromForm = false) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        Form.reset(form);
        Form->SetBounds(20, 20, Width + 100, Height + 100);
        std::unique_ptr<TComponentLoading> loading;
        if (FromForm) loading = std::make_unique<TComponentLoading>(Form.get());
        Grid = new TcvDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, Width, Height);
        for (const char* name : Fields) {
            TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetDefaultColumnClass());
            column->SetBandIndex(0);
            column->SetFieldName(name);
        }
        if (Prepare) Prepare(*Grid);
        loading.reset();
        Form->Show();
        SettleActivation();
        Grid->SetDataSource(Source);
        UpdateWindow(Grid->Handle());
    }

    std::unique_ptr<TForm> Form;
    TcvDBGrid* Grid = nullptr;
};

// The data comes first so that it outlives the grid.
struct TShownGridData {
    explicit TShownGridData(int RowCount) : Data(RowCount) {}
    TGridData Data;
};

class TShownGrid : public TShownGridData, public TGridOnForm {
public:
    TShownGrid(int RowCount, int Height, std::initializer_list<const char*> Fields,
               const std::function<void(TcvDBGrid&)>& Prepare = {})
        : TShownGridData(RowCount), TGridOnForm(Data.Source.get(), 400, Height, Fields, Prepare) {}

    void VScroll(int Code, int Position = 0) {
        SendMessage(Grid->Handle(), WM_VSCROLL, WPARAM(Code) | WPARAM(Position) << 16, 0);
    }
};

} // namespace gridtest
