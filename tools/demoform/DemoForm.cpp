// Shows one form with the controls the program's windows use, captions in
// Chinese, and runs the message loop until the window is closed.
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace {

template <class T> T* Place(TComponent* owner, TWinControl* parent, int x, int y, int w, int h) {
    auto* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

class TfrmDemo : public TForm {
public:
    explicit TfrmDemo(TComponent* AOwner) : TForm(AOwner) {
        TComponentLoading loading(this);
        SetCaption("项目申报 - Corvanta2.0");
        SetBounds(40, 40, 640, 460);
        Font()->SetName("宋体");
        Font()->SetHeight(-12);

        auto* menu = new TMainMenu(this);
        for (const char* caption : {"文件(&A)", "项目申报", "维护", "帮助(&H)"}) {
            auto* item = new TMenuItem(this);
            item->SetCaption(caption);
            menu->Items()->Add(item);
        }
        SetMenu(menu);

        auto* bar = Place<TToolBar>(this, this, 0, 0, 640, 29);
        bar->SetFlat(true);
        bar->SetShowCaptions(true);
        bar->SetList(true);
        for (const char* caption : {"新建(&N)", "修改(&M)", "删除(&D)", "保存(&S)", "取消(&C)"}) {
            auto* button = Place<TToolButton>(this, bar, 0, 0, 60, 22);
            button->SetCaption(caption);
        }

        auto* status = Place<TStatusBar>(this, this, 0, 0, 640, 19);
        status->Panels()->Add()->SetWidth(300);
        status->Panels()->Add()->SetWidth(300);
        status->Panels()->Items(0)->SetText("当前用户：演示");
        status->Panels()->Items(1)->SetText("登陆日期：2026-12-09");

        auto* pages = Place<TPageControl>(this, this, 0, 0, 100, 100);
        pages->SetAlign(alClient);
        auto* sheet = new TTabSheet(this);
        sheet->SetPageControl(pages);
        sheet->SetCaption("基本信息");
        auto* other = new TTabSheet(this);
        other->SetPageControl(pages);
        other->SetCaption("经费预算");

        Place<TLabel>(this, sheet, 12, 16, 90, 17)->SetCaption("项目名称：");
        Place<TEdit>(this, sheet, 100, 12, 380, 21)->SetText("城市科技计划项目申报书");
        Place<TLabel>(this, sheet, 12, 46, 90, 17)->SetCaption("起始年月：");
        auto* start = Place<TMaskEdit>(this, sheet, 100, 42, 110, 21);
        start->SetEditMask("9999年99月;0;_");
        start->SetText("202701");
        Place<TLabel>(this, sheet, 12, 76, 90, 17)->SetCaption("计划类别：");
        auto* kind = Place<TComboBox>(this, sheet, 100, 72, 180, 21);
        kind->SetStyle(csDropDownList);
        for (const char* k : {"重点科技攻关", "软科学研究", "科技型中小企业创新"})
            kind->Items()->Add(k);
        kind->SetItemIndex(0);
        auto* group = Place<TGroupBox>(this, sheet, 12, 106, 300, 70);
        group->SetCaption("单位性质");
        Place<TCheckBox>(this, group, 12, 22, 120, 17)->SetCaption("国有企业");
        auto* privateOwned = Place<TCheckBox>(this, group, 140, 22, 120, 17);
        privateOwned->SetCaption("民营企业");
        privateOwned->SetChecked(true);
        Place<TCheckBox>(this, group, 12, 44, 120, 17)->SetCaption("高等院校");
        auto* ok = Place<TButton>(this, sheet, 400, 300, 75, 25);
        ok->SetCaption("确定");
        ok->SetDefault(true);
        Place<TButton>(this, sheet, 490, 300, 75, 25)->SetCaption("取消");
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
