// The builder's pages, menu items, actions and table fields.
#include "platform/ui/FormBuilder.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace {

// A label beside a single-line control starts this far below the control's
// top, so that their texts stand on one line.
constexpr int LabelDrop = 4;
constexpr int LabelHeight = 13;

} // namespace

TTabSheet* TFormBuilder::Page(TPageControl* Pages, const std::string& Name, const std::string& Caption) {
    auto* page = Component<TTabSheet>(Name);
    page->SetPageControl(Pages);
    page->SetCaption(Caption);
    return page;
}

TMenuItem* TFormBuilder::MenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption) {
    auto* item = Component<TMenuItem>(Name);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

TMenuItem* TFormBuilder::MenuItem(TMenuItem* Parent, const std::string& Name, TAction* Action) {
    auto* item = Component<TMenuItem>(Name);
    item->SetAction(Action);
    Parent->Add(item);
    return item;
}

TAction* TFormBuilder::Action(TActionList* List, const std::string& Name, const std::string& Caption,
                              TShortCut ShortCut) {
    auto* action = Component<TAction>(Name);
    action->SetActionList(List);
    action->SetCaption(Caption);
    action->SetShortCut(ShortCut);
    return action;
}

TControl* TFormBuilder::Field(const TFieldRow& Row, std::span<const TFieldFactory> Factories) {
    const std::string parentName = *Row.Group ? Row.Group : Row.Page;
    auto* parent = dynamic_cast<TWinControl*>(FForm->FindComponent(parentName));
    if (!parent) throw EComponentError("No page or group named " + parentName);
    const TBounds& position = Row.Position;
    Control<TLabel>(parent, "", {Row.LabelLeft, position.Top + LabelDrop, position.Left - Row.LabelLeft, LabelHeight},
                    Row.Label);
    return Factories[static_cast<size_t>(Row.ControlClass)](*this, parent, Row);
}
