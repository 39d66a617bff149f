// The erase window: the erase run shown in its status list, progress bar and summary.
#include "engine/frmcleannow.h"

#include "ui/Forms.h"
#include "engine/EraseRunner.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Shell.h"
#include "settings/Inifun.h"

namespace bw {

frmcleannow::frmcleannow() : ui::Form("Brightwipe", 440, 370) {}

void frmcleannow::Build() {
    Layout({
        {&Command2, nullptr, "Cancel", 340, 334, 90, 26},
        {&Command1, nullptr, "Erase Now", 240, 334, 90, 26},
        {&Frame1, nullptr, "Status", 10, 8, 420, 228},
        {&List1, &Frame1, "", 10, 20, 400, 198},
        {&Text1, nullptr, "Text1", 10, 334, 60, 20},
        {&Label1, nullptr,
         "Tt's highly recommended that you shut down all other programs when erase the tracks,"
         "Brightwipe can not erase the files which being used by other programs.",
         10, 244, 420, 44},
        {&coolprogressbar1, nullptr, "", 10, 296, 420, 22},
    });
    Text1.SetVisible(false);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    // Esc is Cancel; Enter erases only from the "Erase Now" button itself, never by default.
    SetCancelButton(&Command2);
}

void frmcleannow::Command1_Click() {
    Inifun::WriteIni(platform::ProgramFile("bwsd.dat"), "WINDOWS", "lastclean", platform::NowText());
    cleannow();
}

void frmcleannow::Command2_Click() {
    Unload();
    const EraseHost host = Host();
    if (host.cancelled) host.cancelled();
}

void frmcleannow::AddLine(const std::string& text, bool scroll) {
    List1.AddItem(text);
    if (scroll) {
        List1.Refresh();
        List1.SetListIndex(List1.ListCount() - 1);
    }
}

void frmcleannow::cleannow() {
    const std::string settings = platform::ProgramFile("bwsd.dat");
    const EraseHost host = Host();  // a copy: closing the main window resets the host
    const EraseSelection selection = host.selection ? host.selection() : EraseSelection{};

    Frame1.SetCaption("Erasing In Progress,Please Waiting a few minutes");
    Frame1.Refresh();
    ui::WaitCursor wait;
    run_ = EraseRun{};
    run_.settingsFile = settings;
    run_.mainWindow = host.window ? host.window() : nullptr;
    run_.eraseWindow = hwnd();
    run_.addLine = [this](const std::string& line, bool scroll) { AddLine(line, scroll); };
    Command1.SetEnabled(false);
    List1.Clear();
    AddLine("Please waiting,Begin Erasing", false);

    RunHooks hooks;
    hooks.progress = [this](int position) { coolprogressbar1.SetValue(position); };
    RunItems(run_, selection, RunMode::Erase, hooks);

    coolprogressbar1.SetValue(98);
    if (Inifun::IsOnByText(Inifun::ReadIni(settings, "Additional", "exit"))) {
        // frmtray goes first once the tray exists; then this window and the main window.
        Unload();
        if (host.closeMain) host.closeMain();
        return;
    }

    coolprogressbar1.SetValue(100);
    AddLine("Task complete Successfully!", true);
    std::string released = FormatSize(run_.filesize / 1048576.0);
    platform::MsgBox(hwnd(),
                     "Task complete Successfully! Erased Registry Keys: " + FormatCount(run_.regnum) +
                         " Released HD Space:" + released + "MB",
                     "Task Complete", MB_OK | MB_ICONINFORMATION);
    Show();
    Command1.SetEnabled(true);
    WriteStatistics(settings, run_);
    Frame1.SetCaption("Status");
}

EraseHost& frmcleannow::Host() {
    static EraseHost host;
    return host;
}

}  // namespace bw
