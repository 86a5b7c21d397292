// The task bar and its tasks. The form's OnActivate is replaced by a hook that
// carries its task, so removal can tell whether the handler is still ours.
#include "components/TaskBar.h"

#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

namespace {
// The OnActivate a task installs; its type lets a task recognise its own hook.
struct TTaskActivateHook {
    TTask* Task;
    void operator()(TObject* Sender) const { Task->ActivateForm(Sender); }
};
} // namespace

TTask::TTask(TCustomForm* AForm, TTaskList* ATaskList, TTaskBar* ABar, int ImageIndex) : FForm(AForm) {
    FPrevOnActivate = FForm->OnActivate;
    FForm->OnActivate = TTaskActivateHook{this};
    FTaskList = ATaskList;
    ReleaseButtons();
    FButton = new TToolButton(ABar);
    FButton->SetCaption(FForm->Caption());
    FButton->SetImageIndex(ImageIndex);
    FButton->OnClick = [this](TObject* Sender) { ActivateForm(Sender); };
    FButton->SetParent(ABar);
    FButton->SetGrouped(true);
    FButton->SetAllowAllUp(true);
    FButton->SetDown(true);
    FBar = ABar;
}

TTask::~TTask() {
    delete FButton;
}

void TTask::RestoreActivateHandler() {
    const auto* hook = FForm->OnActivate.target<TTaskActivateHook>();
    if (hook && hook->Task == this) FForm->OnActivate = FPrevOnActivate;
}

void TTask::ReleaseButtons() {
    for (const auto& task : *FTaskList)
        if (task->FButton->Down()) task->FButton->SetDown(false);
}

void TTask::ActivateForm(TObject* Sender) {
    ReleaseButtons();
    if (auto* button = dynamic_cast<TToolButton*>(Sender)) {
        button->SetDown(true);
    } else {
        for (const auto& task : *FTaskList)
            if (task->FForm == Sender) {
                task->FButton->SetDown(true);
                break;
            }
    }
    SendMessage(FForm->Handle(), WM_NCACTIVATE, 1, 0);
    SendMessage(FForm->Handle(), WM_CHILDACTIVATE, 0, 0);
    // The window's focus activates the form; a form's own SetFocus would ask
    // its parent form, which a document window does not have.
    if (IsWindowVisible(FForm->Handle())) ::SetFocus(FForm->Handle());
    FForm->BringToFront();
    if (FForm->WindowState() == wsMinimized) FForm->SetWindowState(wsNormal);
    if (FPrevOnActivate) FPrevOnActivate(Sender);
}

TTaskBar::TTaskBar(TComponent* AOwner) : TToolBar(AOwner) {
    SetShowCaptions(true);
    SetList(true);
}

TTaskBar::~TTaskBar() {
    // Forms still listed are alive (a freed form has left the list), so they
    // get their own handlers back before the tasks go.
    for (const auto& task : FTasks)
        task->RestoreActivateHandler();
    while (!FTasks.empty())
        TakeTask(FTasks.end() - 1);
}

void TTaskBar::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove)
        for (auto it = FTasks.begin(); it != FTasks.end(); ++it)
            if ((*it)->Form() == AComponent) {
                TakeTask(it);
                break;
            }
    TToolBar::Notification(AComponent, Operation);
}

void TTaskBar::AddTask(TCustomForm* Form, int ImageIndex) {
    if (!Form) return;
    for (const auto& task : FTasks)
        if (task->Form() == Form) return;
    FTasks.push_back(std::make_unique<TTask>(Form, &FTasks, this, ImageIndex));
    Form->FreeNotification(this);
    FCount = static_cast<int>(FTasks.size());
    if (FCount >= 1 && !Visible() && FShowed) SetVisible(true);
}

void TTaskBar::RemoveTask(TCustomForm* Form) {
    if (Form) {
        for (auto it = FTasks.begin(); it != FTasks.end(); ++it)
            if ((*it)->Form() == Form) {
                (*it)->RestoreActivateHandler();
                Form->RemoveFreeNotification(this);
                TakeTask(it);
                break;
            }
    }
    FCount = static_cast<int>(FTasks.size());
}

void TTaskBar::TakeTask(TTaskList::iterator Position) {
    // Out of the list before it is freed: freeing its button notifies this bar.
    std::unique_ptr<TTask> task = std::move(*Position);
    FTasks.erase(Position);
    FCount = static_cast<int>(FTasks.size());
}

void TTaskBar::SetShowed(bool Value) {
    if (Value == FShowed) return;
    SetVisible(!(FShowed || FCount < 1));
    FShowed = Value;
}
