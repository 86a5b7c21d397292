// editorbench: paints N cells into a memory DC as a grid does, through each
// editor class's DrawCell from one view data per class in turn (made once by
// an editor of the class, then only moved from cell to cell), and then the
// same texts with bare ExtTextOut, so the cost of the editor layer shows.
// Usage: editorbench [N]   (default 20000; QT_QPA_PLATFORM=offscreen without a display)
// The first line is the editors' figure; the second the bare one.
#include "editors/BlobEdit.h"
#include "editors/ButtonEdit.h"
#include "editors/CalcEdit.h"
#include "editors/CheckEdit.h"
#include "editors/CurrencyEdit.h"
#include "editors/DateEdit.h"
#include "editors/ExEdtr.h"
#include "editors/GraphicEdit.h"
#include "editors/HyperLinkEdit.h"
#include "editors/ImageEdit.h"
#include "editors/MemoEdit.h"
#include "editors/PickEdit.h"
#include "editors/PictureValue.h"
#include "editors/SpinEdit.h"
#include "editors/TextEdit.h"
#include "editors/TimeEdit.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Gdi.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int CellWidth = 140;
constexpr int CellHeight = 36;
constexpr int Columns = 10;
constexpr int Rows = 30;

// One column of the grid: the view data its editor made, and the text the cell shows.
struct TBenchColumn {
    const TcvInplaceEditClass* Class;
    std::unique_ptr<TcvEditViewData> ViewData;
    std::string Shown;
};

TBenchColumn ColumnOf(TcvInplaceEdit* Editor, std::string Shown) {
    Editor->SetBounds(0, 0, CellWidth, CellHeight);
    return {&Editor->EditorClass(), Editor->CreateViewData(false), std::move(Shown)};
}

std::vector<TBenchColumn> MakeColumns(TComponent* Owner) {
    std::vector<TBenchColumn> columns;

    auto* text = new TcvInplaceTextEdit(Owner);
    text->SetEditValue(std::string("城市科技计划 P000123"));
    columns.push_back(ColumnOf(text, "城市科技计划 P000123"));

    auto* memo = new TcvInplaceMemoEdit(Owner);
    memo->SetWordWrap(true);
    const std::string note = "项目备注：一行写不下的说明文字在单元格里折行显示";
    memo->SetEditValue(note);
    columns.push_back(ColumnOf(memo, note));

    auto* date = new TcvInplaceDateEdit(Owner);
    date->SetDate(EncodeDate(2026, 12, 9));
    columns.push_back(ColumnOf(date, date->Text()));

    auto* currency = new TcvInplaceCurrencyEdit(Owner);
    currency->SetDisplayFormat(",0.00");
    currency->SetEditValue(1234567.5);
    columns.push_back(ColumnOf(currency, "1,234,567.50"));

    auto* check = new TcvInplaceCheckEdit(Owner);
    check->SetCaption("已审核");
    check->SetEditValue(1);
    columns.push_back(ColumnOf(check, "已审核"));

    auto* button = new TcvInplaceButtonEdit(Owner);
    button->Buttons()->Add()->SetKind(bkDown);
    button->SetEditValue(std::string("附件.doc"));
    columns.push_back(ColumnOf(button, "附件.doc"));

    auto* calc = new TcvInplaceCalcEdit(Owner);
    calc->SetEditValue(std::string("12.5"));
    columns.push_back(ColumnOf(calc, "12.5"));

    auto* link = new TcvInplaceHyperLinkEdit(Owner);
    link->SetEditValue(std::string("www.example.cn"));
    columns.push_back(ColumnOf(link, "www.example.cn"));

    auto* spin = new TcvInplaceSpinEdit(Owner);
    spin->SetValue(12);
    columns.push_back(ColumnOf(spin, "12"));

    auto* time = new TcvInplaceTimeEdit(Owner);
    time->SetEditValue(EncodeTime(8, 30, 0, 0));
    columns.push_back(ColumnOf(time, "08:30:00"));

    auto* image = new TcvInplaceImageEdit(Owner);
    image->Values()->Add("1");
    image->Values()->Add("2");
    image->Descriptions()->Add("通过");
    image->Descriptions()->Add("不通过");
    image->SetEditValue(std::string("2"));
    columns.push_back(ColumnOf(image, "不通过"));
    auto* pick = new TcvInplacePickEdit(Owner);
    pick->SetEditValue(std::string("重点科技攻关"));
    columns.push_back(ColumnOf(pick, "重点科技攻关"));
    auto* mru = new TcvInplaceMRUEdit(Owner);
    mru->SetEditValue(std::string("软科学研究"));
    columns.push_back(ColumnOf(mru, "软科学研究"));

    TPicture picture;
    picture.Bitmap()->SetSize(48, 32);
    std::string pictureValue;
    cvExEdtr::SavePictureToString(&picture, pictureValue);
    auto* graphic = new TcvInplaceGraphicEdit(Owner);
    graphic->SetStretch(true);
    graphic->SetEditValue(pictureValue);
    columns.push_back(ColumnOf(graphic, "(GRAPHIC)"));
    auto* memoBlob = new TcvInplaceBlobEdit(Owner);
    memoBlob->SetEditValue(note);
    columns.push_back(ColumnOf(memoBlob, "(MEMO)"));
    auto* pictureBlob = new TcvInplaceBlobEdit(Owner);
    pictureBlob->SetBlobKind(bkvPicture);
    pictureBlob->SetEditValue(pictureValue);
    columns.push_back(ColumnOf(pictureBlob, "(GRAPHIC)"));
    return columns;
}

double Milliseconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TRect CellRect(int Index) {
    const int column = Index % Columns, row = Index / Columns % Rows;
    return {column * CellWidth, row * CellHeight, (column + 1) * CellWidth, (row + 1) * CellHeight};
}

void PrintFigure(const char* Prefix, int Cells, double Ms) {
    std::printf("%scells=%d ms=%.1f cells_per_s=%.0f\n", Prefix, Cells, Ms, Cells * 1000.0 / Ms);
}

} // namespace

int main(int argc, char** argv) {
    const int cells = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;

    HDC dc = CreateCompatibleDC(nullptr); // first: it brings up the application the fonts need
    HBITMAP bitmap = CreateBitmap(Columns * CellWidth, Rows * CellHeight, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    cvExEdtr::TUnitScope editorsUnit;
    TComponent owner(nullptr);
    std::vector<TBenchColumn> columns = MakeColumns(&owner);

    const double editorsMs = Milliseconds([&] {
        for (int i = 0; i < cells; ++i) {
            TBenchColumn& column = columns[static_cast<size_t>(i) % columns.size()];
            column.ViewData->Bounds = CellRect(i);
            column.Class->DrawCell(dc, *column.ViewData, nullptr);
        }
    });

    HGDIOBJ oldFont = SelectObject(dc, columns.front().ViewData->Font);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const double bareMs = Milliseconds([&] {
        for (int i = 0; i < cells; ++i) {
            const std::string& text = columns[static_cast<size_t>(i) % columns.size()].Shown;
            const TRect cell = CellRect(i);
            ExtTextOut(dc, cell.Left + 2, cell.Top + 2, ETO_CLIPPED | ETO_OPAQUE, &cell, text.c_str(),
                       static_cast<int>(text.size()), nullptr);
        }
    });
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);

    PrintFigure("", cells, editorsMs);
    PrintFigure("ExtTextOut ", cells, bareMs);
    return 0;
}
