// The form builder: what it makes is owned by the form, named, parented and
// placed; the loading bracket it holds ends with one Loaded each; a table of
// fields lands on its pages and groups with a label beside each control.
#include "platform/ui/FormBuilder.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Counts its Loaded calls and remembers whether it was made inside a bracket.
class TLoadProbe : public TComponent {
public:
    explicit TLoadProbe(TComponent* AOwner) : TComponent(AOwner) {}
    int LoadedCount = 0;

protected:
    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCount;
    }
};

std::unique_ptr<TForm> NewForm() {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    return std::unique_ptr<TForm>(form);
}

void ExpectBounds(const TControl* Control, const TBounds& Bounds) {
    EXPECT_EQ(Control->Left(), Bounds.Left);
    EXPECT_EQ(Control->Top(), Bounds.Top);
    EXPECT_EQ(Control->Width(), Bounds.Width);
    EXPECT_EQ(Control->Height(), Bounds.Height);
}

} // namespace

TEST(FormBuilder, MakesComponentsOwnedNamedParentedAndPlaced) {
    auto form = NewForm();
    TFormBuilder build(form.get());

    auto* group = build.Control<TGroupBox>(form.get(), "GroupBox1", {8, 8, 300, 120}, "用户信息");
    EXPECT_EQ(group->Owner(), form.get());
    EXPECT_EQ(group->Name(), "GroupBox1");
    EXPECT_EQ(group->Parent(), form.get());
    ExpectBounds(group, {8, 8, 300, 120});
    EXPECT_EQ(group->Caption(), "用户信息");
    auto* edit = build.Control<TEdit>(group, "edt_name", {70, 20, 110, 21});
    EXPECT_EQ(edit->Parent(), group);
    EXPECT_EQ(form->FindComponent("edt_name"), edit);
    ExpectBounds(edit, {70, 20, 110, 21});
    auto* panel = build.Control<TPanel>(form.get(), "Panel1");
    EXPECT_EQ(panel->Parent(), form.get());

    auto* pages = build.Control<TPageControl>(form.get(), "PageControl1", {0, 130, 300, 100});
    auto* page = build.Page(pages, "TabSheet1", "基本信息");
    EXPECT_EQ(page->Owner(), form.get());
    EXPECT_EQ(page->PageControl(), pages);
    EXPECT_EQ(page->PageIndex(), 0);
    EXPECT_EQ(page->Caption(), "基本信息");

    auto* list = build.Component<TActionList>("ActionList1");
    EXPECT_EQ(list->Owner(), form.get());
    auto* action = build.Action(list, "ActionExit", "退出", ShortCut(VK_F4, {}));
    EXPECT_EQ(action->Owner(), form.get());
    EXPECT_EQ(action->ActionList(), list);
    EXPECT_EQ(action->Caption(), "退出");
    EXPECT_EQ(action->ShortCut(), ShortCut(VK_F4, {}));

    auto* menu = build.Component<TMainMenu>("MainMenu1");
    auto* file = build.MenuItem(menu->Items(), "FileMenu", "文件(&A)");
    auto* exit = build.MenuItem(file, "N7", action);
    EXPECT_EQ(file->Owner(), form.get());
    EXPECT_EQ(file->Parent(), menu->Items());
    EXPECT_EQ(file->Caption(), "文件(&A)");
    EXPECT_EQ(exit->Parent(), file);
    EXPECT_EQ(exit->Name(), "N7");
    EXPECT_EQ(exit->Action(), action);
    EXPECT_EQ(exit->Caption(), "退出");
}

TEST(FormBuilder, EveryComponentGetsLoadedOnceWhenTheBuildEnds) {
    TLoadProbe root(nullptr);
    TLoadProbe* part = nullptr;
    {
        TFormBuilder build(&root);
        part = build.Component<TLoadProbe>("Part");
        EXPECT_TRUE(root.ComponentState().Contains(csLoading));
        EXPECT_TRUE(part->ComponentState().Contains(csLoading));
        EXPECT_EQ(root.LoadedCount, 0);
        EXPECT_EQ(part->LoadedCount, 0);
    }
    EXPECT_EQ(root.LoadedCount, 1);
    EXPECT_EQ(part->LoadedCount, 1);
    EXPECT_FALSE(part->ComponentState().Contains(csLoading));
}

namespace {

enum TFieldClass { fcText, fcYear };

const TFieldFactory FieldFactories[] = {
    [](TFormBuilder& Build, TWinControl* Parent, const TFieldRow& Row) -> TControl* {
        return Build.Control<TEdit>(Parent, std::string("edt_") + Row.Column, Row.Position);
    },
    [](TFormBuilder& Build, TWinControl* Parent, const TFieldRow& Row) -> TControl* {
        auto* year = Build.Control<TMaskEdit>(Parent, std::string("met_") + Row.Column, Row.Position);
        year->SetEditMask("9999年;0;_");
        return year;
    },
};

// A document window's fields: some in a group of a page, some on a page itself.
const TFieldRow Fields[] = {
    {"XMMC", fcText, "项目名称：", "Page0", "GroupBox1", 10, {90, 20, 300, 21}},
    {"SBNF", fcYear, "申报年份：", "Page0", "", 10, {90, 160, 100, 21}},
    {"ZTC1", fcText, "主题词：", "Page1", "", 20, {90, 20, 200, 21}},
};

const TControl* LabelOn(const TWinControl* Parent, const std::string& Caption) {
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (auto* label = dynamic_cast<const TLabel*>(Parent->Controls(i)); label && label->Caption() == Caption)
            return label;
    return nullptr;
}

} // namespace

TEST(FormBuilder, LaysOutFieldsFromATableOnTheirPagesAndGroups) {
    auto form = NewForm();
    TFormBuilder build(form.get());
    auto* pages = build.Control<TPageControl>(form.get(), "pgc_main", {0, 0, 500, 300});
    auto* page0 = build.Page(pages, "Page0", "概况");
    auto* page1 = build.Page(pages, "Page1", "研究内容及预期成果");
    auto* group = build.Control<TGroupBox>(page0, "GroupBox1", {8, 8, 480, 120}, "项目概况");

    const struct {
        const TFieldRow& Row;
        const char* Name;
        TWinControl* Parent;
    } expected[] = {{Fields[0], "edt_XMMC", group}, {Fields[1], "met_SBNF", page0}, {Fields[2], "edt_ZTC1", page1}};
    for (const auto& field : expected) {
        SCOPED_TRACE(field.Name);
        TControl* control = build.Field(field.Row, FieldFactories);
        EXPECT_EQ(control, form->FindComponent(field.Name));
        EXPECT_EQ(control->Parent(), field.Parent);
        ExpectBounds(control, field.Row.Position);

        const TControl* label = LabelOn(field.Parent, field.Row.Label);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->Left(), field.Row.LabelLeft);
        EXPECT_LE(label->Left() + label->Width(), control->Left());
        EXPECT_GE(label->Top(), control->Top());
        EXPECT_LT(label->Top(), control->Top() + control->Height());
    }
    EXPECT_EQ(dynamic_cast<TMaskEdit*>(form->FindComponent("met_SBNF"))->EditMask(), "9999年;0;_");

    const TFieldRow astray{"DWMC", fcText, "单位名称：", "Page0", "GroupBox9", 10, {90, 50, 300, 21}};
    EXPECT_THROW(build.Field(astray, FieldFactories), EComponentError);
}
