#pragma once

#include "engine/path_text.h"
#include "support/faulty_ops.h"
#include "support/plain_controls.h"
#include "support/temp_folder.h"
#include "window/form1.h"

#include <gtest/gtest.h>
#include <memory>

namespace vorlund::test {

inline std::string text(const std::filesystem::path& path)
{
    return displayPath(path.lexically_normal().make_preferred());
}

// Works in `folder`, made for it, and goes back when it goes: Windows removes no folder that is
// some process's working folder.
class WorkingFolder
{
public:
    explicit WorkingFolder(const std::filesystem::path& folder)
    {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(m_before); }

private:
    std::filesystem::path m_before = std::filesystem::current_path();
};

// The window's logic over plain controls, fresh folders and a store in memory, in a working
// folder of its own. Two folders stand for two drives. Nothing is loaded until the test says so.
class Window
{
public:
    Window()
    {
        for (const auto& folder : {download, destination, driveA, driveB})
            std::filesystem::create_directories(folder);
    }

    Form1& form()
    {
        if (!m_form)
            m_form = std::make_unique<Form1>(
                Form1Controls{view, Drive1, Drive2, Dir1, Dir2, Text1, Text2},
                Form1Services{[this] { return now; }, settings,
                              [this](const std::string& prompt, MsgBoxStyle, const std::string&) {
                                  boxes.push_back(prompt);
                              },
                              &ops, client});
        return *m_form;
    }
    // Loads the window and chooses the two folders, as a user would on a first run.
    Form1& loadedWithFolders()
    {
        form().Form_Load();
        Dir1.setPath(text(download));
        Dir2.setPath(text(destination));
        return form();
    }
    // A tick of Timer1 and the moves it starts.
    void pass()
    {
        form().Timer1_Tick();
        ASSERT_TRUE(view.runPostedUntil([this] { return !view.locked; })) << "the pass never ended";
    }

    TempFolder root;
    std::filesystem::path download = root / "download";
    std::filesystem::path destination = root / "destination";
    std::filesystem::path working = root / "working";
    std::filesystem::path driveA = root / "driveA";
    std::filesystem::path driveB = root / "driveB";
    WorkingFolder inWorking{working};
    FaultyOps ops;
    MemorySettings settings;
    PlainView view;
    PlainDriveList Drive1{{text(driveA), text(driveB)}};
    PlainDriveList Drive2{{text(driveA), text(driveB)}};
    PlainDirList Dir1;
    PlainDirList Dir2;
    PlainTextBox Text1;
    PlainTextBox Text2;
    // No client unless a test sets one: an empty path starts nothing.
    Client client{"vorlund test client", ""};
    std::vector<std::string> boxes;
    std::string now = "6-12-2026 19:24:47";

private:
    std::unique_ptr<Form1> m_form;
};

} // namespace vorlund::test
