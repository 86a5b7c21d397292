// Dataset actions: a data link tells the action about every change of the
// dataset's state, position or content, and the action re-checks itself.
#include "platform/ui/DBActns.h"

#include "platform/data/DB.h"

class TDataSetActionLink : public TDataLink {
public:
    explicit TDataSetActionLink(TDataSetAction* Action) : FAction(Action) {}

    // Leaves the data source without telling the action, which is being
    // destroyed and can no longer answer for its kind.
    void Detach() {
        FAction = nullptr;
        SetDataSource(nullptr);
    }

protected:
    void ActiveChanged() override { UpdateAction(); }
    void EditingChanged() override { UpdateAction(); }
    void DataSetChanged() override {
        TDataLink::DataSetChanged();
        UpdateAction();
    }
    void DataSetScrolled(Integer Distance) override {
        TDataLink::DataSetScrolled(Distance);
        UpdateAction();
    }

private:
    void UpdateAction() {
        if (FAction) FAction->Update();
    }

    TDataSetAction* FAction;
};

namespace {
bool InEditModes(const TDataSet* d) {
    return d->State() == dsEdit || d->State() == dsInsert;
}
} // namespace

TDataSetAction::TDataSetAction(TComponent* AOwner)
    : TAction(AOwner), FLink(std::make_unique<TDataSetActionLink>(this)) {}

TDataSetAction::~TDataSetAction() {
    FLink->Detach();
}

TDataSource* TDataSetAction::DataSource() const {
    return FLink->DataSource();
}

void TDataSetAction::SetDataSource(TDataSource* Value) {
    FLink->SetDataSource(Value);
    Update();
}

TDataSet* TDataSetAction::DataSet() const {
    return FLink->DataSet();
}

bool TDataSetAction::Update() {
    if (TAction::Update()) return true;
    if (TDataSet* d = DataSet())
        SetEnabled(CanRun(d));
    else if (DataSource() || !UpdateActionOnFocus(this))
        SetEnabled(false);
    return true;
}

bool TDataSetAction::Execute() {
    Update();
    if (!Enabled()) return false;
    if (OnExecute || (ActionList() && ActionList()->OnExecute)) return TAction::Execute();
    if (TDataSet* d = DataSet())
        Run(d);
    else
        ExecuteActionOnFocus(this);
    return true;
}

bool TDataSetAction::HandlesTarget(TObject* Target) {
    auto* source = dynamic_cast<TDataSource*>(Target);
    return source && source->DataSet() && (!DataSource() || DataSource() == source);
}

void TDataSetAction::ExecuteTarget(TObject* Target) {
    TDataSet* d = static_cast<TDataSource*>(Target)->DataSet();
    if (CanRun(d)) Run(d);
}

void TDataSetAction::UpdateTarget(TObject* Target) {
    SetEnabled(CanRun(static_cast<TDataSource*>(Target)->DataSet()));
}

bool TDataSetInsert::CanRun(TDataSet* d) const {
    return d->Active() && d->CanModify() && !InEditModes(d);
}
void TDataSetInsert::Run(TDataSet* d) {
    d->Insert();
}

bool TDataSetDelete::CanRun(TDataSet* d) const {
    return d->Active() && !(d->Bof() && d->Eof()) && d->CanModify();
}
void TDataSetDelete::Run(TDataSet* d) {
    d->Delete();
}

bool TDataSetEdit::CanRun(TDataSet* d) const {
    return d->Active() && d->CanModify() && !InEditModes(d);
}
void TDataSetEdit::Run(TDataSet* d) {
    d->Edit();
}

bool TDataSetPost::CanRun(TDataSet* d) const {
    return InEditModes(d);
}
void TDataSetPost::Run(TDataSet* d) {
    d->Post();
}

bool TDataSetCancel::CanRun(TDataSet* d) const {
    return InEditModes(d);
}
void TDataSetCancel::Run(TDataSet* d) {
    d->Cancel();
}

bool TDataSetRefresh::CanRun(TDataSet* d) const {
    return d->Active();
}
void TDataSetRefresh::Run(TDataSet* d) {
    d->Refresh();
}
