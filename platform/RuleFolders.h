// Where the folder variables of cleaning rules (%AppData%, %ProgramFiles%, %Temp%...) lead on
// this computer, read from the shell's folders and the environment, and which Windows this is.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace bw::platform::rulefolders {

// The folders the variable `name` (without its percent signs, any letter case) stands for here,
// each absolute and without a trailing backslash, in the order a rule should try them:
//  - AppData, LocalAppData, UserProfile, Documents, Music, Pictures, Video, WinDir, SystemRoot,
//    ProgramData and CommonAppData come from the shell (SHGetFolderPathW), so they are known on
//    Windows XP too, where the environment lacks LocalAppData and ProgramData; on XP ProgramData
//    and CommonAppData are "All Users\Application Data", Documents "My Documents".
//  - ProgramFiles and CommonProgramFiles are both program folders on 64-bit Windows: this
//    program is 32-bit, so the shell gives the x86 one, and ProgramW6432 / CommonProgramW6432
//    add the 64-bit one; on 32-bit Windows there is one.
//  - LocalLowAppData is the LocalAppDataLow known folder (Vista and later).
//  - Temp and Tmp are GetTempPathW's folder.
//  - SystemDrive and HomeDrive are a bare drive ("C:", no backslash); Public, AllUsersProfile,
//    ProgramFiles(x86), ProgramW6432 come from the environment.
//  - UserName gives the user's name (a folder name, not a path).
//  - RootDir, which the rules' own checker accepts but nobody documents, is never defined.
// Empty when the variable is unknown, not defined on this computer (Public on XP), or reads as
// something that is not an absolute folder: such a variable never turns into a path.
std::vector<std::wstring> VariableValues(std::string_view name);

// The folder a rule's "%WinDir%\System32" stands for when it is not System32 by that name: on
// 64-bit Windows this 32-bit program is shown SysWOW64 as System32, and the real System32, which
// rules mean, is reached as "<Windows folder>\Sysnative". That path there, without a trailing
// backslash; empty where System32 is itself (32-bit Windows, XP without the Sysnative alias).
std::wstring NativeSystemFolder();

// The Windows version (RtlGetVersion, so Windows 8.1 and later are not reported as 8).
struct WindowsVersion {
    unsigned major = 0, minor = 0, build = 0;
};
WindowsVersion CurrentWindowsVersion();

}  // namespace bw::platform::rulefolders
