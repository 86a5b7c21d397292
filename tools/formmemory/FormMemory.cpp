// Builds a 1000 x 700 form with a six-page page control laid out like a
// document window, shows it, shows every page once, and prints the bytes of
// window images the form's windows hold and the resident memory after each step.
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int PageCount = 6;
constexpr int FieldsPerPage = 8;

double ImageMegabytes(HWND form) {
    size_t bytes = platform_ui::test::BackingImageBytes(form);
    EnumChildWindows(form, [&bytes](HWND child) {
        bytes += platform_ui::test::BackingImageBytes(child);
        return true;
    });
    return static_cast<double>(bytes) / (1024 * 1024);
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

void Report(const char* step, HWND form) {
    std::printf("%-26s images %6.1f MB   resident %6.1f MB\n", step, ImageMegabytes(form), ResidentMegabytes());
}

} // namespace

int main() {
    auto* form = new TForm(Application);
    TPageControl* pages = nullptr;
    {
        TFormBuilder build(form);
        form->SetBounds(0, 0, 1000, 700);
        pages = build.Control<TPageControl>(form, "pages");
        pages->SetAlign(alClient);
        for (int p = 0; p < PageCount; ++p) {
            const std::string page = std::to_string(p + 1);
            TTabSheet* sheet = build.Page(pages, "page" + page, "第" + page + "页");
            auto* head = build.Control<TPanel>(sheet, "head" + page, {0, 0, 100, 120});
            head->SetAlign(alTop);
            auto* group = build.Control<TGroupBox>(sheet, "group" + page, {8, 130, 600, 300}, "基本信息");
            for (int f = 0; f < FieldsPerPage; ++f) {
                const std::string field = page + "_" + std::to_string(f);
                build.Control<TLabel>(group, "label" + field, {12, 24 + f * 30, 90, 17}, "字段：");
                build.Control<TEdit>(group, "edit" + field, {100, 20 + f * 30, 300, 21});
            }
        }
    }
    Report("created", form->Handle());
    form->Show();
    Application->ProcessMessages();
    Report("shown, first page", form->Handle());
    for (int p = 1; p < PageCount; ++p) {
        pages->SetActivePageIndex(p);
        Application->ProcessMessages();
    }
    Report("every page shown once", form->Handle());
    delete form;
    return 0;
}
