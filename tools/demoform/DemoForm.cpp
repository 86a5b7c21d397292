// Shows one form with the controls the program's windows use, captions in
// Chinese, and runs the message loop until the window is closed.
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace {

class TfrmDemo : public TForm {
public:
    explicit TfrmDemo(TComponent* AOwner) : TForm(AOwner) {
        TFormBuilder build(this);
        SetCaption("项目申报 - Corvanta2.0");
        SetBounds(40, 40, 640, 460);
        Font()->SetName("宋体");
        Font()->SetHeight(-12);

        auto* menu = build.Component<TMainMenu>("");
        for (const char* caption : {"文件(&A)", "项目申报", "维护", "帮助(&H)"})
            build.MenuItem(menu->Items(), "", caption);
        SetMenu(menu);

        auto* bar = build.Control<TToolBar>(this, "", {0, 0, 640, 29});
        bar->SetFlat(true);
        bar->SetShowCaptions(true);
        bar->SetList(true);
        for (const char* caption : {"新建(&N)", "修改(&M)", "删除(&D)", "保存(&S)", "取消(&C)"})
            build.Control<TToolButton>(bar, "", {0, 0, 60, 22}, caption);

        auto* status = build.Control<TStatusBar>(this, "", {0, 0, 640, 19});
        status->Panels()->Add()->SetWidth(300);
        status->Panels()->Add()->SetWidth(300);
        status->Panels()->Items(0)->SetText("当前用户：演示");
        status->Panels()->Items(1)->SetText("登陆日期：2026-12-09");

        auto* pages = build.Control<TPageControl>(this, "", {0, 0, 100, 100});
        pages->SetAlign(alClient);
        auto* sheet = build.Page(pages, "", "基本信息");
        build.Page(pages, "", "经费预算");

        build.Control<TLabel>(sheet, "", {12, 16, 90, 17}, "项目名称：");
        build.Control<TEdit>(sheet, "", {100, 12, 380, 21}, "城市科技计划项目申报书");
        build.Control<TLabel>(sheet, "", {12, 46, 90, 17}, "起始年月：");
        auto* start = build.Control<TMaskEdit>(sheet, "", {100, 42, 110, 21});
        start->SetEditMask("9999年99月;0;_");
        start->SetText("202701");
        build.Control<TLabel>(sheet, "", {12, 76, 90, 17}, "计划类别：");
        auto* kind = build.Control<TComboBox>(sheet, "", {100, 72, 180, 21});
        kind->SetStyle(csDropDownList);
        for (const char* k : {"重点科技攻关", "软科学研究", "科技型中小企业创新"})
            kind->Items()->Add(k);
        kind->SetItemIndex(0);
        auto* group = build.Control<TGroupBox>(sheet, "", {12, 106, 300, 70}, "单位性质");
        build.Control<TCheckBox>(group, "", {12, 22, 120, 17}, "国有企业");
        auto* privateOwned = build.Control<TCheckBox>(group, "", {140, 22, 120, 17}, "民营企业");
        privateOwned->SetChecked(true);
        build.Control<TCheckBox>(group, "", {12, 44, 120, 17}, "高等院校");
        auto* ok = build.Control<TButton>(sheet, "", {400, 300, 75, 25}, "确定");
        ok->SetDefault(true);
        build.Control<TButton>(sheet, "", {490, 300, 75, 25}, "取消");
    }
};

TfrmDemo* frmDemo = nullptr;

} // namespace

int main() {
    Application->SetTitle("Corvanta2.0");
    Application->CreateForm(frmDemo);
    Application->Run();
    return 0;
}
