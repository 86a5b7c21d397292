// The demo's flat pop-up window, built as the program's pop-up windows are.
#include "tools/editordemo/FlatPopup.h"

#include "components/FlatPainter.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/StdCtrls.h"

TfrmFlatPopup::TfrmFlatPopup(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmFlatPopup");
    SetCaption("平面弹出窗口");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(330);
    SetClientHeight(200);
    Font()->SetName("宋体");
    Font()->SetHeight(-12);

    build.Control<TLabel>(this, "", {12, 15, 60, 17}, "名称：");
    build.Control<TEdit>(this, "edtName", {72, 12, 240, 21}, "城市科技计划");
    build.Control<TLabel>(this, "", {12, 45, 60, 17}, "类别：");
    auto* kind = build.Control<TComboBox>(this, "cboKind", {72, 42, 240, 21});
    for (const char* item : {"企业", "高校", "科研院所"})
        kind->Items()->Add(item);
    kind->SetItemIndex(0);
    auto* group = build.Control<TGroupBox>(this, "grpOptions", {12, 74, 300, 80}, "选项");
    auto* check = build.Control<TCheckBox>(group, "chkShared", {12, 22, 120, 20}, "共享");
    check->SetChecked(true);
    build.Control<TRadioButton>(group, "rdoLocal", {12, 48, 120, 20}, "本地");
    auto* remote = build.Control<TRadioButton>(group, "rdoRemote", {150, 48, 120, 20}, "远程");
    remote->SetChecked(true);
    auto* ok = build.Control<TButton>(this, "btnOk", {150, 164, 75, 25}, "确定");
    ok->SetModalResult(mrOk);
    auto* cancel = build.Control<TButton>(this, "btnCancel", {236, 164, 75, 25}, "取消");
    cancel->SetModalResult(mrCancel);

    FlatPainter1 = build.Component<TFlatPainter>("FlatPainter1");
    FlatPainter1->SetActive(true);
}
