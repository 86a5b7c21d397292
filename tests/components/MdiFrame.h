// One MDI frame for the whole test program: it is the application's main form,
// which document windows need before they can be made.
#pragma once

#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"

#include <string>

namespace componentstest {

inline TForm* MdiFrame() {
    static TForm* frame = [] {
        TForm* form = nullptr;
        Application->CreateForm(form);
        form->SetFormStyle(fsMDIForm);
        form->SetBounds(0, 0, 640, 480);
        form->Show();
        ProcessMessages();
        return form;
    }();
    return frame;
}

// A document window of the frame, shown.
inline TForm* NewDocument(const std::string& Caption) {
    MdiFrame();
    TForm* child = nullptr;
    CreateFormInstance(child, Application);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(Caption);
    child->SetBounds(10, 10, 200, 150);
    child->Show();
    ProcessMessages();
    return child;
}

} // namespace componentstest
