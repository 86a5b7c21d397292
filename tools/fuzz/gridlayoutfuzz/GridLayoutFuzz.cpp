// Fuzz target: the input is read by the three readers of a stored grid look,
// each into a grid with three columns: as the filter's "Criteria" block, as
// the registry's "Filter" value of a stored layout, and as the ini file of a
// stored layout. Anything but a clean exception of the reader is a finding.
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "platform/os/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

const char* const RegistryPath = "\\Software\\Corvanta\\Fuzz\\Grid";

// The registry and the ini file live in one folder for the whole run.
struct TScratchHome {
    std::string Path;
    TScratchHome() {
        char pattern[] = "/tmp/gridlayoutfuzz.XXXXXX";
        Path = mkdtemp(pattern);
        setenv("CORVANTA_HOME", Path.c_str(), 1);
    }
    ~TScratchHome() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

const TScratchHome& Home() {
    static const TScratchHome home;
    return home;
}

std::unique_ptr<TcvDBGrid> MakeGrid() {
    auto grid = std::make_unique<TcvDBGrid>(nullptr);
    grid->SetName("Grid");
    for (const char* field : {"ID", "Name", "Qty"}) {
        TcvDBTreeListColumn* column = grid->CreateColumn(grid->GetDefaultColumnClass());
        column->SetName(std::string("col") + field);
        column->SetFieldName(field);
    }
    return grid;
}

template <class Read> void Guarded(Read Action) {
    try {
        Action();
    } catch (const Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Home();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string bytes(reinterpret_cast<const char*>(Data), Size);
    {
        const auto grid = MakeGrid();
        TMemoryStream block;
        block.WriteBuffer(bytes.data(), Integer(bytes.size()));
        block.SetPosition(0);
        Guarded([&] { grid->Filter()->Criteria()->ReadData(&block); });
    }
    {
        const auto grid = MakeGrid();
        grid->SaveToRegistry(RegistryPath);
        {
            TRegistry registry;
            if (registry.OpenKey(RegistryPath, false)) registry.WriteBinaryData("Filter", bytes.data(), int(Size));
        }
        Guarded([&] { grid->LoadFromRegistry(RegistryPath); });
    }
    {
        const std::string file = Home().Path + "/layout.ini";
        if (FILE* f = std::fopen(file.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        const auto grid = MakeGrid();
        Guarded([&] { grid->LoadFromIniFile(file); });
    }
    return 0;
}
