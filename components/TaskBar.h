// The main window's bar of document buttons: one grouped tool button per open
// MDI child, pressed when its window is active. A task hooks its form's
// OnActivate (and still runs the handler that was there before); removing the
// task gives the form that handler back, so nothing calls a freed task.
#pragma once

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <vector>

class TTaskBar;
class TTask;

using TTaskList = std::vector<std::unique_ptr<TTask>>;

// One open document window and its button on the bar.
class TTask {
public:
    TTask(TCustomForm* AForm, TTaskList* ATaskList, TTaskBar* ABar, int ImageIndex);
    ~TTask();
    TTask(const TTask&) = delete;
    TTask& operator=(const TTask&) = delete;

    TCustomForm* Form() const { return FForm; }
    TToolButton* Button() const { return FButton; }
    // Serves both the button's click and the form's activation.
    void ActivateForm(TObject* Sender);
    // Puts the form's earlier OnActivate back, unless someone hooked it after us.
    void RestoreActivateHandler();

private:
    void ReleaseButtons();

    TCustomForm* FForm;
    TToolButton* FButton = nullptr;
    TTaskBar* FBar = nullptr;
    TTaskList* FTaskList = nullptr;
    TNotifyEvent FPrevOnActivate;
};

class TTaskBar : public TToolBar {
public:
    explicit TTaskBar(TComponent* AOwner);
    ~TTaskBar() override;

    // Ignores a missing form and a form that has a button already.
    void AddTask(TCustomForm* Form, int ImageIndex);
    // Frees the form's button (if any); the bar keeps its visibility.
    void RemoveTask(TCustomForm* Form);

    int Count() const { return FCount; }
    bool Showed() const { return FShowed; }
    void SetShowed(bool Value);

protected:
    // A form freed without RemoveTask takes its task (and button) with it.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void TakeTask(TTaskList::iterator Position);

    int FCount = 0;
    bool FShowed = true;
    TTaskList FTasks;
};
