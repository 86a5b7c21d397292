// Edit styles and their controllers, the default controller and the shadow
// brush. Both shared objects are made on first use and freed when the program
// ends.
#include "editors/EditStyle.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Gdi.h"

#include <algorithm>
#include <memory>

namespace {

TcvEditStyleController* DefaultController = nullptr;
bool DefaultControllerEnded = false;

// Frees the default controller when the program ends; made with it, so it
// ends before what the controller was built on.
struct TDefaultControllerEnd {
    ~TDefaultControllerEnd() {
        delete DefaultController;
        DefaultController = nullptr;
        DefaultControllerEnded = true;
    }
};

} // namespace

TcvEditStyleController* cvDefaultEditStyleController() {
    if (!DefaultController && !DefaultControllerEnded) {
        DefaultController = new TcvEditStyleController(nullptr);
        static TDefaultControllerEnd end;
    }
    return DefaultController;
}

HBRUSH cvEditShadowBrush() {
    struct TShadowBrush {
        HBRUSH Handle = CreateSolidBrush(ColorToRGB(clBtnShadow));
        ~TShadowBrush() { DeleteObject(Handle); }
    };
    static const TShadowBrush brush;
    return brush.Handle;
}

// ---- TcvStyleController -----------------------------------------------------

TcvStyleController::TcvStyleController(TComponent* AOwner) : TComponent(AOwner) {}

TcvStyleController::~TcvStyleController() = default;

void TcvStyleController::AddListener(TcvInplaceEdit* Editor) {
    FListeners.push_back(Editor);
}

void TcvStyleController::RemoveListener(TcvInplaceEdit* Editor) {
    auto it = std::find(FListeners.begin(), FListeners.end(), Editor);
    if (it != FListeners.end()) FListeners.erase(it);
}

void TcvStyleController::NotifyListener(TcvInplaceEdit* Editor) {
    Fire(OnStyleChanged, this, Editor);
}

void TcvStyleController::BeginUpdate() {
    ++FUpdateCount;
}

void TcvStyleController::EndUpdate() {
    --FUpdateCount;
    Changed();
}

void TcvStyleController::Changed() {
    if (FUpdateCount > 0 || ComponentState().Contains(csLoading)) return;
    // A refresh may add or remove listeners; tell those present now.
    const std::vector<TcvInplaceEdit*> listeners = FListeners;
    for (TcvInplaceEdit* editor : listeners)
        if (std::find(FListeners.begin(), FListeners.end(), editor) != FListeners.end()) NotifyListener(editor);
}

void TcvStyleController::Loaded() {
    TComponent::Loaded();
    Changed();
}

// ---- TcvEditStyleController -------------------------------------------------

TcvEditStyleController::TcvEditStyleController(TComponent* AOwner) : TcvStyleController(AOwner) {}

template <class T> void TcvEditStyleController::Store(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
}

void TcvEditStyleController::SetBorderColor(TColor Value) {
    Store(FValues.BorderColor, Value);
}
void TcvEditStyleController::SetBorderStyle(TcvEditBorderStyle Value) {
    Store(FValues.BorderStyle, Value);
}
void TcvEditStyleController::SetButtonStyle(TcvEditButtonViewStyle Value) {
    Store(FValues.ButtonStyle, Value);
}
void TcvEditStyleController::SetButtonTransparence(TcvEditButtonTransparence Value) {
    Store(FValues.ButtonTransparence, Value);
}
void TcvEditStyleController::SetEdges(TcvEditEdges Value) {
    Store(FValues.Edges, Value);
}
void TcvEditStyleController::SetHotTrack(bool Value) {
    Store(FValues.HotTrack, Value);
}
void TcvEditStyleController::SetShadow(bool Value) {
    Store(FValues.Shadow, Value);
}

void TcvEditStyleController::SetValues(const TcvEditStyleData& Value) {
    Store(FValues, Value);
}

void TcvEditStyleController::RestoreDefaults() {
    SetValues({});
}

void TcvEditStyleController::NotifyListener(TcvInplaceEdit* Editor) {
    if (Editor->StyleController() && Editor->StyleController() != this) return;
    Editor->PropertiesChanged();
    TcvStyleController::NotifyListener(Editor);
}

void TcvEditStyleController::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TcvEditStyleController*>(Source);
    if (!other) {
        TcvStyleController::Assign(Source);
        return;
    }
    SetValues(other->FValues);
}

// ---- TcvEditStyle -----------------------------------------------------------

TcvEditStyle::TcvEditStyle(TcvInplaceEdit* Editor) : FEditor(Editor) {
    if (TcvEditStyleController* controller = GetDefaultStyleController()) controller->AddListener(FEditor);
}

TcvEditStyle::~TcvEditStyle() {
    if (TcvEditStyleController* controller = GetDefaultStyleController()) controller->RemoveListener(FEditor);
}

template <class T> void TcvEditStyle::Store(TcvEditStyleValue Bit, T& Field, T Value) {
    if (FAssignedValues.Contains(Bit) && Field == Value) return;
    Field = Value;
    FAssignedValues += Bit;
    Changed();
}

void TcvEditStyle::SetAssignedValues(TcvEditStyleValues Value) {
    if (FAssignedValues == Value) return;
    FAssignedValues = Value;
    Changed();
}

TColor TcvEditStyle::BorderColor() const {
    return FAssignedValues.Contains(svBorderColor) ? FValues.BorderColor : GetDefaultBorderColor();
}
void TcvEditStyle::SetBorderColor(TColor Value) {
    Store(svBorderColor, FValues.BorderColor, Value);
}
TcvEditBorderStyle TcvEditStyle::BorderStyle() const {
    return FAssignedValues.Contains(svBorderStyle) ? FValues.BorderStyle : GetDefaultBorderStyle();
}
void TcvEditStyle::SetBorderStyle(TcvEditBorderStyle Value) {
    Store(svBorderStyle, FValues.BorderStyle, Value);
}
TcvEditButtonViewStyle TcvEditStyle::ButtonStyle() const {
    return FAssignedValues.Contains(svButtonStyle) ? FValues.ButtonStyle : GetDefaultButtonStyle();
}
void TcvEditStyle::SetButtonStyle(TcvEditButtonViewStyle Value) {
    Store(svButtonStyle, FValues.ButtonStyle, Value);
}
TcvEditButtonTransparence TcvEditStyle::ButtonTransparence() const {
    return FAssignedValues.Contains(svButtonTransparence) ? FValues.ButtonTransparence : GetDefaultButtonTransparence();
}
void TcvEditStyle::SetButtonTransparence(TcvEditButtonTransparence Value) {
    Store(svButtonTransparence, FValues.ButtonTransparence, Value);
}
TcvEditEdges TcvEditStyle::Edges() const {
    return FAssignedValues.Contains(svEdges) ? FValues.Edges : GetDefaultEdges();
}
void TcvEditStyle::SetEdges(TcvEditEdges Value) {
    Store(svEdges, FValues.Edges, Value);
}
bool TcvEditStyle::HotTrack() const {
    return FAssignedValues.Contains(svHotTrack) ? FValues.HotTrack : GetDefaultHotTrack();
}
void TcvEditStyle::SetHotTrack(bool Value) {
    Store(svHotTrack, FValues.HotTrack, Value);
}
bool TcvEditStyle::Shadow() const {
    return FAssignedValues.Contains(svShadow) ? FValues.Shadow : GetDefaultShadow();
}
void TcvEditStyle::SetShadow(bool Value) {
    Store(svShadow, FValues.Shadow, Value);
}

void TcvEditStyle::Changed() {
    if (FEditor) FEditor->PropertiesChanged();
}

const TcvEditStyleController* TcvEditStyle::SourceController() const {
    if (FEditor && FEditor->StyleController()) return FEditor->StyleController();
    return GetDefaultStyleController();
}

TColor TcvEditStyle::GetDefaultBorderColor() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->BorderColor() : TcvEditStyleData{}.BorderColor;
}
TcvEditBorderStyle TcvEditStyle::GetDefaultBorderStyle() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->BorderStyle() : TcvEditStyleData{}.BorderStyle;
}
TcvEditButtonViewStyle TcvEditStyle::GetDefaultButtonStyle() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->ButtonStyle() : TcvEditStyleData{}.ButtonStyle;
}
TcvEditButtonTransparence TcvEditStyle::GetDefaultButtonTransparence() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->ButtonTransparence() : TcvEditStyleData{}.ButtonTransparence;
}
TcvEditEdges TcvEditStyle::GetDefaultEdges() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->Edges() : TcvEditStyleData{}.Edges;
}
bool TcvEditStyle::GetDefaultHotTrack() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->HotTrack() : TcvEditStyleData{}.HotTrack;
}
bool TcvEditStyle::GetDefaultShadow() const {
    const TcvEditStyleController* c = SourceController();
    return c ? c->Shadow() : TcvEditStyleData{}.Shadow;
}

TcvEditStyleController* TcvEditStyle::GetDefaultStyleController() const {
    return cvDefaultEditStyleController();
}

void TcvEditStyle::RestoreDefaults() {
    FAssignedValues = {};
    Changed();
}

void TcvEditStyle::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TcvEditStyle*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    SetBorderColor(other->BorderColor());
    SetBorderStyle(other->BorderStyle());
    SetButtonStyle(other->ButtonStyle());
    SetButtonTransparence(other->ButtonTransparence());
    SetEdges(other->Edges());
    SetHotTrack(other->HotTrack());
    SetShadow(other->Shadow());
}
