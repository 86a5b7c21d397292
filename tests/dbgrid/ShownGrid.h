// A TcvDBGrid on a shown form over the fixture's records, with columns bound
// to the fields named; Prepare sets it up before the data source is given.
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

class TShownGrid {
public:
    TShownGrid(int RowCount, int Height, std::initializer_list<const char*> Fields,
               const std::function<void(TcvDBGrid&)>& Prepare = {})
        : Data(RowCount) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        Form.reset(form);
        Form->SetBounds(20, 20, 500, Height + 100);
        Grid = new TcvDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 400, Height);
        for (const char* name : Fields) {
            TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetDefaultColumnClass());
            column->SetBandIndex(0);
            column->SetFieldName(name);
        }
        if (Prepare) Prepare(*Grid);
        Form->Show();
        SettleActivation();
        Grid->SetDataSource(Data.Source.get());
        UpdateWindow(Grid->Handle());
    }

    void VScroll(int Code) { SendMessage(Grid->Handle(), WM_VSCROLL, WPARAM(Code), 0); }

    TGridData Data;
    std::unique_ptr<TForm> Form;
    TcvDBGrid* Grid = nullptr;
};

} // namespace gridtest
