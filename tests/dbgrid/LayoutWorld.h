// The world of the stored-look tests: the fixture's records behind a data
// source named "Source", grids made beside it under one owner, and the
// component stream of anything in it.
#pragma once

#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridLayout.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "tests/dbgrid/GridFixture.h"

#include <string>

namespace gridtest {

inline std::string Stream(TComponent* Instance) {
    TStringStream stream;
    WriteComponent(&stream, Instance);
    return stream.DataString();
}

class TLayoutWorld {
public:
    explicit TLayoutWorld(int RowCount) : FData(RowCount) {
        cvLayout::RegisterClasses();
        FSource->SetName("Source");
        FSource->SetDataSet(FData.Query.get());
    }

    // A grid named Name, without a data source.
    TcvDBGrid* MakeGrid(const std::string& Name) {
        auto* grid = new TcvDBGrid(&FForm);
        grid->SetName(Name);
        return grid;
    }

    TGridData FData;
    TComponent FForm{nullptr};
    TDataSource* FSource = new TDataSource(&FForm);
};

} // namespace gridtest
